#include "platform/shell/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

namespace wendra::shell {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return errno != 0 ? std::error_code(errno, std::generic_category()) : std::make_error_code(std::errc::io_error);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now: a delayed write error shows in the answer.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// A temporary file beside the target, filled by fill, then renamed over it.
std::error_code replaceWith(const fs::path& target, mode_t mode, const std::function<bool(int)>& fill) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) return lastError();
    std::error_code failure;
    if (!fill(fd.get()) || ::fchmod(fd.get(), mode) != 0 || ::fsync(fd.get()) != 0) failure = lastError();
    if (!fd.close() && !failure) failure = lastError();
    if (!failure && ::rename(temporary.c_str(), target.c_str()) != 0) failure = lastError();
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    // The rename lasts a crash only once the folder is on disk; the new file is in
    // place either way.
    if (Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir.get() >= 0) ::fsync(dir.get());
    return {};
}

}  // namespace

std::error_code replaceFileWithText(const fs::path& target, std::string_view text, mode_t mode) {
    return replaceWith(target, mode, [&](int fd) { return writeAll(fd, text.data(), text.size()); });
}

std::error_code replaceFileWithCopy(const fs::path& source, const fs::path& target, mode_t mode) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return lastError();
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) return lastError();
    if (!S_ISREG(st.st_mode)) return std::make_error_code(std::errc::invalid_argument);
    return replaceWith(target, mode, [&](int out) {
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) return true;
            if (!writeAll(out, buffer, static_cast<std::size_t>(n))) return false;
        }
    });
}

}  // namespace wendra::shell
