#include "db/provider/LockWait.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace RVNADO::detail {

namespace {

// The pause between two tries for a lock, in microseconds: short, so that a
// waiter finds the lock free soon after it is let go, and random, so that
// waiters do not keep retrying in step.
constexpr long kShortestPause = 500;
constexpr long kLongestPause = 4000;

struct flock Range(short type, off_t byte)
{
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = byte;
    range.l_len = 1;
    return range;
}

}  // namespace

void LockWait::Attach(sqlite3* db, const std::string& path)
{
    Detach();
    m_random.seed(std::random_device{}());
    sqlite3_busy_handler(db, &LockWait::OnBusy, this);
    struct stat st {};
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (::stat(path.c_str(), &st) != 0)
        return;
    m_byte = static_cast<off_t>(st.st_ino & 0x3FFFFFFFFFFFFFFFull);
    m_folder = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

void LockWait::Detach()
{
    Mark(false);
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
}

bool LockWait::OthersWait() const
{
    struct flock probe = Range(F_WRLCK, m_byte);
    return m_folder >= 0 && ::fcntl(m_folder, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

void LockWait::Mark(bool waiting)
{
    if (m_folder < 0 || waiting == m_marked)
        return;
    struct flock range = Range(waiting ? F_RDLCK : F_UNLCK, m_byte);
    if (::fcntl(m_folder, F_OFD_SETLK, &range) == 0)
        m_marked = waiting;
}

void LockWait::Pause(std::chrono::steady_clock::duration left)
{
    std::uniform_int_distribution<long> pick(kShortestPause, kLongestPause);
    const std::chrono::steady_clock::duration pause = std::chrono::microseconds(pick(m_random));
    std::this_thread::sleep_for(pause < left ? pause : left);
}

void LockWait::BeforeBegin()
{
    m_beginning = true;
    if (OthersWait()) {
        Mark(true);
        Pause(std::chrono::microseconds(kLongestPause));
    }
}

void LockWait::AfterBegin()
{
    m_beginning = false;
    Mark(false);
}

int LockWait::OnBusy(void* self, int count)
{
    LockWait& wait = *static_cast<LockWait*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0)
        wait.m_start = now;
    const auto left = wait.m_timeout - (now - wait.m_start);
    if (left <= std::chrono::steady_clock::duration::zero())
        return 0;
    if (wait.m_beginning)
        wait.Mark(true);
    wait.Pause(left);
    return 1;
}

}  // namespace RVNADO::detail
