#include "checked_output.h"

#include "db/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <cstring>
#include <streambuf>
#include <unistd.h>
#include <vector>

namespace tqrvn {

namespace {
// Bytes gathered before each write to the descriptor.
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

// A stream buffer over a descriptor that remembers the first failed write.
struct CheckedOutput::Buffer final : std::streambuf {
    int fd = STDOUT_FILENO;
    std::unique_ptr<RVN::AtomicFile> file;  // null for standard output
    std::string name = "the output";
    std::vector<char> data = std::vector<char>(kBufferSize);
    std::string error;
    bool wrote = false;
    bool finished = false;

    Buffer() { setp(data.data(), data.data() + data.size()); }

    void Fail(int errorNumber) {
        if (error.empty()) {
            error = "cannot write " + name + ": " + std::strerror(errorNumber);
        }
    }

    // Writes out the pending bytes; false once anything failed.
    bool Drain() {
        const char* p = pbase();
        std::size_t left = static_cast<std::size_t>(pptr() - pbase());
        setp(data.data(), data.data() + data.size());
        if (!error.empty()) {
            return false;
        }
        while (left > 0) {
            const ssize_t n = ::write(fd, p, left);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                Fail(n < 0 ? errno : EIO);
                return false;
            }
            wrote = true;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return true;
    }

    int_type overflow(int_type c) override {
        if (!Drain()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return Drain() ? 0 : -1; }
};

CheckedOutput::CheckedOutput()
    : m_buffer(std::make_unique<Buffer>()), m_stream(std::make_unique<std::ostream>(m_buffer.get())) {}

CheckedOutput::CheckedOutput(const std::string& path) : CheckedOutput() {
    m_buffer->name = path;
    m_buffer->file = std::make_unique<RVN::AtomicFile>(path);
    if (!m_buffer->file->Open()) {
        m_buffer->Fail(m_buffer->file->ErrorNumber());
        m_stream->setstate(std::ios::badbit);
        return;
    }
    m_buffer->fd = m_buffer->file->Descriptor();
}

CheckedOutput::~CheckedOutput() = default;

std::ostream& CheckedOutput::stream() { return *m_stream; }

bool CheckedOutput::ok() const { return m_buffer->error.empty(); }

const std::string& CheckedOutput::Error() const { return m_buffer->error; }

bool CheckedOutput::Finish() {
    Buffer& b = *m_buffer;
    if (b.finished) {
        return ok();
    }
    b.finished = true;
    if (!b.Drain()) {
        m_stream->setstate(std::ios::badbit);
        if (b.file) {
            b.file->Abandon();
        }
        return false;
    }
    if (b.file) {
        if (!b.file->Commit()) {
            b.Fail(b.file->ErrorNumber());
            return false;
        }
        return true;
    }
    // Closing standard output reports what a network file system could not
    // write; with nothing written there is nothing to report.
    if (::close(STDOUT_FILENO) != 0 && b.wrote && errno != EINTR) {
        b.Fail(errno);
        return false;
    }
    return true;
}

int FinishOutput(CheckedOutput& out, int status, std::ostream& err) {
    if (out.Finish()) {
        return status;
    }
    err << "tqrvn: " << out.Error() << "\n";
    return status != 0 ? status : 1;
}

int FinishStdout(int status, std::ostream& err) {
    errno = 0;
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && std::cout && !std::ferror(stdout)) {
        return status;
    }
    err << "tqrvn: cannot write the output: " << std::strerror(error != 0 ? error : EIO) << "\n";
    return status != 0 ? status : 1;
}

}  // namespace tqrvn
