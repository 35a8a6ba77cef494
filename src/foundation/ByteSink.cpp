#include "foundation/ByteSink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "foundation/Exception.h"

namespace kl {

FileSink::FileSink(const std::filesystem::path& path, unsigned mode) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd_ < 0) fail(errno);
}

FileSink::~FileSink() {
    if (fd_ >= 0) ::close(fd_);
}

void FileSink::fail(int error) const {
    raise(exception_names::FileWriteError,
          "Could not write \"" + path_.string() + "\": " + std::strerror(error) + ".");
}

void FileSink::write(std::string_view bytes) {
    if (fd_ < 0) fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        if (n == 0) fail(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
        written_ += static_cast<std::size_t>(n);
    }
}

void FileSink::synchronize() {
    if (fd_ < 0) fail(EBADF);
    if (::fsync(fd_) != 0) fail(errno);
}

void FileSink::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(errno);
}

}  // namespace kl
