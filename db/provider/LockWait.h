// How a connection waits for another writer's lock on the catalog file.
// Internal to the library.
//
// The engine reports a lock held by another connection as busy and asks
// OnBusy whether to try again.  A waiting connection retries after a short
// random pause (0.5 to 4 ms) until its timeout has passed: no waiter keeps a
// slow fixed rhythm that newcomers always beat, and waiters that retry at
// once do not keep meeting each other.
//
// A connection that begins a write transaction while other writers wait for
// one yields first: it joins them for one pause, so that a program writing
// in a loop does not take the lock again every time it lets go of it, and
// the waiters take turns with it.  Waiting writers make themselves known by
// a shared lock on one byte of the catalog's folder (the byte at the
// catalog's inode number), which every process on the machine sees.  The
// catalog file itself is never opened here: closing a second descriptor of
// it would drop the engine's own locks on it.
#pragma once

#include <chrono>
#include <random>
#include <string>
#include <sys/types.h>

struct sqlite3;

namespace RVNADO::detail {

class LockWait {
public:
    LockWait() = default;
    ~LockWait() { Detach(); }
    LockWait(const LockWait&) = delete;
    LockWait& operator=(const LockWait&) = delete;

    // Serves the engine connection db, open on the file at path.
    void Attach(sqlite3* db, const std::string& path);
    void Detach();
    // How long one statement waits for a lock in all.
    void SetTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Bracket the start of an outer write transaction (BEGIN IMMEDIATE).
    void BeforeBegin();
    void AfterBegin();

private:
    static int OnBusy(void* self, int count);
    bool OthersWait() const;
    void Mark(bool waiting);
    void Pause(std::chrono::steady_clock::duration left);

    int m_folder = -1;   // the catalog's folder, -1 when it could not be opened
    off_t m_byte = 0;    // the byte of m_folder that marks a waiting writer
    bool m_marked = false;
    bool m_beginning = false;
    std::chrono::milliseconds m_timeout{5000};
    std::chrono::steady_clock::time_point m_start;
    std::minstd_rand m_random;
};

}  // namespace RVNADO::detail
