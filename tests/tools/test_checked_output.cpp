// The tool's checked output to files: whole or not at all, every failed
// write reported with its reason.
#include "../SmallDisk.h"
#include "checked_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CheckedOutput, AFileAppearsOnlyWhenFinished) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-out-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const std::string file = tmpl + "/rows.csv";
    std::ofstream(file) << "old rows\n";
    {
        tqrvn::CheckedOutput out(file);
        for (int i = 0; i < 100000; ++i) {
            out.stream() << "row " << i << "\n";
        }
        EXPECT_TRUE(out.ok());
        EXPECT_EQ(ReadAll(file), "old rows\n") << "nothing shows before Finish";
        // Destroyed unfinished: abandoned.
    }
    EXPECT_EQ(ReadAll(file), "old rows\n");

    tqrvn::CheckedOutput out(file);
    out.stream() << "new rows\n";
    ASSERT_TRUE(out.Finish()) << out.Error();
    EXPECT_EQ(ReadAll(file), "new rows\n");
    std::ostringstream err;
    EXPECT_EQ(tqrvn::FinishOutput(out, 0, err), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmpl), {}), 1) << "no temporary file";
    std::filesystem::remove_all(tmpl);
}

TEST(CheckedOutput, AFullDiskStopsTheStreamAndKeepsTheOldFile) {
    SmallDisk disk(64);
    if (!disk.Ready()) {
        GTEST_SKIP() << disk.Why();
    }
    const std::string file = disk.Path("rows.csv");
    std::ofstream(file) << "old rows\n";
    ASSERT_TRUE(disk.Fill());
    tqrvn::CheckedOutput out(file);
    for (int i = 0; i < 100000 && out.stream(); ++i) {
        out.stream() << "row " << i << "\n";
    }
    EXPECT_FALSE(out.stream()) << "the stream stops at the first failed write";
    std::ostringstream err;
    EXPECT_EQ(tqrvn::FinishOutput(out, 0, err), 1);
    EXPECT_EQ(err.str(), "tqrvn: cannot write " + file + ": No space left on device\n");
    EXPECT_EQ(ReadAll(file), "old rows\n");
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"rows.csv"});
}

TEST(CheckedOutput, AFileThatCannotBeCreatedIsBadFromTheStart) {
    tqrvn::CheckedOutput out("/no/such/folder/rows.csv");
    EXPECT_FALSE(out.stream());
    EXPECT_FALSE(out.ok());
    std::ostringstream err;
    EXPECT_EQ(tqrvn::FinishOutput(out, 2, err), 2) << "a command's own failure status is kept";
    EXPECT_EQ(err.str(), "tqrvn: cannot write /no/such/folder/rows.csv: No such file or directory\n");
}

}  // namespace
