// Runs every input of the property-exchange fuzz corpus through the fuzz
// target: each must load or be refused without a crash, and keep the
// target's round-trip checks.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(PropExchangeFuzzCorpus, EveryInputPassesTheFuzzTarget) {
    const std::filesystem::path corpus(TQRVN_FUZZ_CORPUS);
    ASSERT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()), 0);
        ++inputs;
    }
    EXPECT_GE(inputs, 10);
}

}  // namespace
