// RVN::AtomicFile: a file written whole or not at all.
//
// The new content goes to a temporary file in the target's folder,
// "<target>.tqrvn-tmp-XXXXXX".  Commit flushes it to the disk (fsync),
// renames it over the target and syncs the folder, so that the target holds
// either all its old bytes or all the new ones, whatever happens meanwhile:
// a full disk, a read-only folder, a killed process, a machine that stops.
// On any failure, and when the object is destroyed without a Commit, the
// temporary file is removed and the target is left as it was.
//
// A writer holds a lock on its temporary file while it lives.  Open removes
// the temporaries of the same target that no writer holds any more (left by
// a killed process), so they never pile up.
//
// An existing target that the process may not write is refused (EACCES,
// EROFS) rather than replaced.  A target that exists and is not a regular
// file (a character device such as /dev/null, a pipe) cannot be replaced:
// it is written in place, with every write and the final close checked.
//
// Every operation returns false on failure; Error() then names the file and
// the reason ("out.xml: No space left on device") and ErrorNumber() holds
// the system's error number.  After a failure the object does nothing more
// until it is opened again.
#pragma once

#include "TQRVNBaseExport.h"

#include <string>
#include <string_view>

namespace RVN {

class TQRVNBASE_API AtomicFile {
public:
    explicit AtomicFile(std::string target);
    // Abandons an uncommitted temporary file.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Removes stale temporaries of the target and creates a new one (with
    // the target's permissions when it exists, else 0666 less the umask).
    bool Open();
    // Writes all the bytes (retrying short writes).
    bool Write(std::string_view bytes);
    // Syncs the temporary file and renames it over the target.  With
    // replace = false an existing target is kept and Commit fails with
    // EEXIST.  The temporary file is gone afterwards either way.
    bool Commit(bool replace = true);
    // Removes the temporary file; the target stays as it was.
    void Abandon();

    bool IsOpen() const { return m_fd >= 0; }
    // The open file descriptor of the temporary file (-1 when not open),
    // for code that writes through its own buffer; it stays owned here.
    int Descriptor() const { return m_fd; }
    // The temporary file's path, for a writer that opens files by name (a
    // database engine); "" when not open.
    const std::string& TempPath() const { return m_temp; }
    const std::string& Target() const { return m_target; }

    const std::string& Error() const { return m_error; }
    int ErrorNumber() const { return m_errno; }

private:
    bool Fail(const std::string& what, int error);
    void RemoveStaleTemporaries() const;
    bool CreateTemporary();

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    bool m_inPlace = false;  // the target is a device or a pipe, written directly
    std::string m_error;
    int m_errno = 0;
};

// Replaces the file at path with content through an AtomicFile.  False with
// the reason in *error (when given) on failure; the old file is then intact.
TQRVNBASE_API bool ReplaceFileContent(const std::string& path, std::string_view content,
                                      std::string* error = nullptr);

}  // namespace RVN
