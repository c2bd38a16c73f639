#include "db/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RVN {

namespace {

// Temporary files are "<target>" + kTempMark + kSuffixLength random
// characters, so that the stale ones of a target can be told from any other
// file of its folder.
constexpr const char* kTempMark = ".tqrvn-tmp-";
constexpr std::size_t kSuffixLength = 6;
// Attempts at a free temporary name before giving up (a clash of two random
// suffixes is already rare).
constexpr int kNameAttempts = 32;

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomSuffix()
{
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string out;
    for (std::size_t i = 0; i < kSuffixLength; ++i)
        out += kChars[pick(source)];
    return out;
}

// The file a replacement writes: the target itself, or for a symbolic link
// the file it points to (the link is kept).
std::string ResolvedTarget(const std::string& target)
{
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return target;
    char* real = ::realpath(target.c_str(), nullptr);
    if (real == nullptr)
        return target;
    std::string out(real);
    std::free(real);
    return out;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // A file system that cannot sync a folder has nothing to sync there.
    (void)::fsync(fd);
    ::close(fd);
}

// Moves from over to; without replace an existing `to` is kept (EEXIST).
int Rename(const std::string& from, const std::string& to, bool replace)
{
    if (replace)
        return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the no-replace rename: a hard link fails on an
    // existing name as well.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile() { Abandon(); }

bool AtomicFile::Fail(const std::string& what, int error)
{
    Abandon();
    m_errno = error;
    m_error = what + ": " + std::strerror(error);
    return false;
}

void AtomicFile::Abandon()
{
    if (m_fd >= 0) {
        if (!m_inPlace)
            ::unlink(m_temp.c_str());
        ::close(m_fd);
    }
    m_fd = -1;
    m_temp.clear();
    m_inPlace = false;
}

void AtomicFile::RemoveStaleTemporaries() const
{
    const std::string resolved = ResolvedTarget(m_target);
    const std::string folder = FolderOf(resolved);
    const std::string prefix = BaseNameOf(resolved) + kTempMark;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A living writer holds its lock; one that was killed holds none.
        struct stat st {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_nlink > 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

bool AtomicFile::CreateTemporary()
{
    const std::string resolved = ResolvedTarget(m_target);
    struct stat old {};
    const bool exists = ::stat(resolved.c_str(), &old) == 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string temp = resolved + kTempMark + RandomSuffix();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return Fail(m_target, errno);
        }
        // Another writer's clean-up may have taken the file between its
        // creation and the lock: then it is gone, and another name is tried.
        struct stat st {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &st) != 0 || st.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_temp = temp;
        if (exists) {
            // The replacement keeps the old file's permissions and, where
            // the process may give it, its owner.
            (void)::fchmod(fd, old.st_mode & 07777);
            if (old.st_uid != st.st_uid || old.st_gid != st.st_gid)
                (void)::fchown(fd, old.st_uid, old.st_gid);
        }
        return true;
    }
    return Fail(m_target, EEXIST);
}

bool AtomicFile::Open()
{
    Abandon();
    m_error.clear();
    m_errno = 0;
    if (m_target.empty())
        return Fail("(no file name)", ENOENT);
    struct stat st {};
    if (::stat(m_target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return Fail(m_target, EISDIR);
        // A file the process may not write is not replaced behind its back.
        if (::access(m_target.c_str(), W_OK) != 0)
            return Fail(m_target, errno);
        if (!S_ISREG(st.st_mode)) {
            const int fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
            if (fd < 0)
                return Fail(m_target, errno);
            m_fd = fd;
            m_inPlace = true;
            return true;
        }
    }
    RemoveStaleTemporaries();
    return CreateTemporary();
}

bool AtomicFile::Write(std::string_view bytes)
{
    if (m_fd < 0)
        return m_errno != 0 ? false : Fail(m_target, EBADF);
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail(m_target, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AtomicFile::Commit(bool replace)
{
    if (m_fd < 0)
        return m_errno != 0 ? false : Fail(m_target, EBADF);
    if (m_inPlace) {
        const int fd = m_fd;
        m_fd = -1;
        m_inPlace = false;
        if (::close(fd) != 0)
            return Fail(m_target, errno);
        return true;
    }
    if (::fsync(m_fd) != 0)
        return Fail(m_target, errno);
    // Renamed while the lock is still held, so that no clean-up of another
    // writer can take the finished file away first.
    const std::string resolved = ResolvedTarget(m_target);
    const int moved = Rename(m_temp, resolved, replace);
    if (moved != 0)
        return Fail(m_target, moved);
    m_temp.clear();
    const int fd = m_fd;
    m_fd = -1;
    const bool closed = ::close(fd) == 0;
    const int closeError = errno;
    SyncFolder(FolderOf(resolved));
    return closed ? true : Fail(m_target, closeError);
}

bool ReplaceFileContent(const std::string& path, std::string_view content, std::string* error)
{
    AtomicFile file(path);
    const bool ok = file.Open() && file.Write(content) && file.Commit();
    if (!ok && error != nullptr)
        *error = file.Error();
    return ok;
}

}  // namespace RVN
