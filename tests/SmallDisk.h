// A small file system of its own for tests of full and read-only disks: a
// tmpfs of a few pages mounted at a new folder, unmounted again by the
// destructor.  Mounting needs root; elsewhere Ready() is false and Why()
// says so, and the test skips itself:
//   SmallDisk disk(64);
//   if (!disk.Ready()) GTEST_SKIP() << disk.Why();
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

class SmallDisk {
public:
    explicit SmallDisk(std::size_t kib)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-disk-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) {
            m_why = "cannot make a folder: " + std::string(std::strerror(errno));
            return;
        }
        m_dir = tmpl;
        const std::string options = "size=" + std::to_string(kib) + "k,mode=0755";
        if (::mount("tqrvn-test", m_dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            m_why = "a full or read-only disk is made by mounting a small tmpfs, which needs root (" +
                    std::string(std::strerror(errno)) + ")";
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_dir.c_str(), MNT_DETACH);
        if (!m_dir.empty())
            ::rmdir(m_dir.c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Ready() const { return m_mounted; }
    const std::string& Why() const { return m_why; }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

    // Takes every free block with a filler file; false when that failed.
    bool Fill()
    {
        FILE* f = std::fopen(Path(".filler").c_str(), "wb");
        if (f == nullptr)
            return false;
        std::setvbuf(f, nullptr, _IONBF, 0);
        const std::vector<char> block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), f) == block.size()) {
        }
        // Whatever fits of a last, shorter piece.
        while (std::fwrite(block.data(), 1, 1, f) == 1) {
        }
        std::fclose(f);
        return true;
    }
    // Frees the blocks that Fill took.
    void Empty() { ::unlink(Path(".filler").c_str()); }

    // The files stay readable; every write fails with EROFS.
    bool MakeReadOnly()
    {
        return ::mount(nullptr, m_dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // The names in the folder other than the filler, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(m_dir))
            if (e.path().filename() != ".filler")
                out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::string m_dir;
    std::string m_why;
    bool m_mounted = false;
};
