// Output of the tool with every write checked: standard output, or a file
// written whole or not at all.
//
//   tqrvn::CheckedOutput out;                 // standard output
//   tqrvn::CheckedOutput file("rows.csv");    // a file (RVN::AtomicFile)
//   file.stream() << ...;                     // any number of writes
//   return tqrvn::FinishOutput(file, status, std::cerr);
//
// The first write that fails (a full disk, /dev/full, a closed pipe, a
// closed descriptor) puts the stream in its bad state, so that later writes
// do nothing and `if (!out.stream())` tells the caller to stop; the error is
// kept with its reason.  Finish writes out what is buffered and closes: for
// standard output it closes descriptor 1 and checks that too; for a file it
// syncs the file and renames it over the target, which an unfinished or
// failed output never touches.
#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace tqrvn {

class CheckedOutput {
public:
    /// Standard output (descriptor 1).
    CheckedOutput();
    /// The file at path, written whole or not at all.  A file that cannot be
    /// created leaves the stream bad from the start, with the reason in Error().
    explicit CheckedOutput(const std::string& path);
    /// An unfinished file is abandoned: the target stays as it was.
    ~CheckedOutput();
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    std::ostream& stream();
    /// No write has failed so far.
    bool ok() const;
    /// Writes out the buffer and closes (for a file: sync and rename); true
    /// when every byte reached its destination.  Once only.
    bool Finish();
    /// "cannot write PATH: reason" (standard output is named "the output");
    /// "" while nothing failed.
    const std::string& Error() const;

    struct Buffer;

private:
    std::unique_ptr<Buffer> m_buffer;
    std::unique_ptr<std::ostream> m_stream;
};

/// Finishes out and returns status; when the output failed, prints
/// "tqrvn: <error>" on err and returns 1 (a failed write is an error even
/// when the command itself succeeded; a command's own non-zero status is kept).
int FinishOutput(CheckedOutput& out, int status, std::ostream& err);

/// The same for what went through std::cout and C's stdout (the command-line
/// parser's help and messages): flushes them and checks for a failed write.
int FinishStdout(int status, std::ostream& err);

}  // namespace tqrvn
