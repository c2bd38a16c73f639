// Where the library looks for its catalog: a copy of the library is loaded
// from fake layouts built in a temporary folder, since the folders are those
// of the library's own file.
#include "catalog/RVNDataBase.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using PathFunction = bool (*)(std::string&);

// The mangled name of one of the library's functions, for dlsym.
std::string SymbolOf(void* function) {
    Dl_info info{};
    return dladdr(function, &info) && info.dli_sname ? info.dli_sname : "";
}

class CatalogLocation : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        // A second copy of the library defines every global again, which
        // AddressSanitizer reports as a one-definition violation; the normal
        // build runs these cases.
        GTEST_SKIP() << "loads a second copy of the library";
#endif
        Dl_info info{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(&RVN::GetDataSourceFileName), &info), 0);
        library_ = fs::canonical(info.dli_fname);
        std::string tmpl = (fs::temp_directory_path() / "tqrvn-layout-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root_ = tmpl;
    }
    void TearDown() override {
        for (void* h : handles_) {
            dlclose(h);
        }
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    // Copies the library into folder and loads it under the path as written
    // (which may hold doubled slashes); returns one of its functions.
    PathFunction Load(const std::string& folder, const std::string& asWritten, void* function) {
        fs::create_directories(folder);
        fs::copy_file(library_, folder + "/" + library_.filename().string(),
                      fs::copy_options::overwrite_existing);
        void* h = dlopen((asWritten + library_.filename().string()).c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(h, nullptr) << dlerror();
        if (!h) {
            return nullptr;
        }
        handles_.push_back(h);
        return reinterpret_cast<PathFunction>(dlsym(h, SymbolOf(function).c_str()));
    }

    fs::path library_;
    std::string root_;
    std::vector<void*> handles_;
};

TEST_F(CatalogLocation, NextToTheLibraryOrInTheUserFolderOfTheHost) {
    const std::string app = root_ + "/App";
    const std::string bin = app + "/Bin";
    PathFunction dataSource =
        Load(bin, bin + "/", reinterpret_cast<void*>(&RVN::GetDataSourceFileName));
    ASSERT_NE(dataSource, nullptr);
    std::string file;
    EXPECT_TRUE(dataSource(file));
    EXPECT_EQ(file, bin + "/RVNDatasource.mdb");

    auto working = reinterpret_cast<PathFunction>(
        dlsym(handles_.back(), SymbolOf(reinterpret_cast<void*>(&RVN::IsWorkingWithRVN)).c_str()));
    auto rvnDir = reinterpret_cast<PathFunction>(
        dlsym(handles_.back(), SymbolOf(reinterpret_cast<void*>(&RVN::GetRVNDir)).c_str()));
    ASSERT_NE(working, nullptr);
    ASSERT_NE(rvnDir, nullptr);
    std::string exe = "unchanged";
    EXPECT_FALSE(working(exe));
    EXPECT_EQ(exe, "unchanged");
    std::string dir;
    EXPECT_FALSE(rvnDir(dir));
    EXPECT_EQ(dir, app + "/");

    std::ofstream(app + "/TqRVN.exe") << "host";
    EXPECT_TRUE(working(exe));
    EXPECT_EQ(exe, app + "/TqRVN.exe");
    EXPECT_TRUE(rvnDir(dir));
    EXPECT_TRUE(dataSource(file));
    EXPECT_EQ(file, app + "/User/RVNDatasource.mdb");
}

TEST_F(CatalogLocation, DoubledSlashesStillFindTheParentFolder) {
    const std::string app = root_ + "/Host";
    PathFunction dataSource = Load(app + "/Lib", app + "//Lib//",
                                   reinterpret_cast<void*>(&RVN::GetDataSourceFileName));
    ASSERT_NE(dataSource, nullptr);
    std::ofstream(app + "/TqRVN.exe") << "host";
    std::string file;
    EXPECT_TRUE(dataSource(file));
    EXPECT_EQ(fs::path(file).lexically_normal(), fs::path(app + "/User/RVNDatasource.mdb"));
}

} // namespace
