// Replays the corpora of the database fuzz targets through the targets
// themselves: every input must be read or refused without a crash and keep
// the targets' invariants (a broken one aborts).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int TqrvnFuzzCriteria(const std::uint8_t* data, std::size_t size);
extern "C" int TqrvnFuzzSavedRecordset(const std::uint8_t* data, std::size_t size);
extern "C" int TqrvnFuzzBitmap(const std::uint8_t* data, std::size_t size);

namespace {

int Replay(const char* folder, int (*target)(const std::uint8_t*, std::size_t))
{
    const std::filesystem::path corpus = std::filesystem::path(TQRVN_FUZZ_CORPUS_ROOT) / folder;
    EXPECT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(target(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()), 0);
        ++inputs;
    }
    return inputs;
}

TEST(DbFuzzCorpus, CriteriaFiltersAndSortOrders) { EXPECT_GE(Replay("db_criteria", TqrvnFuzzCriteria), 20); }

TEST(DbFuzzCorpus, SavedRecordsets) { EXPECT_GE(Replay("db_saved_recordset", TqrvnFuzzSavedRecordset), 10); }

TEST(DbFuzzCorpus, Bitmaps) { EXPECT_GE(Replay("db_bitmap", TqrvnFuzzBitmap), 9); }

}  // namespace
