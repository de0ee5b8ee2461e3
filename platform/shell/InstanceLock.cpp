#include "platform/shell/InstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <system_error>
#include <utility>

namespace wendra::shell {

namespace fs = std::filesystem;

InstanceLock::InstanceLock(fs::path file) : file_(std::move(file)) {}

InstanceLock::~InstanceLock() { release(); }

InstanceClaim InstanceLock::claim() {
    if (fd_ >= 0) return InstanceClaim::Claimed;
    if (file_.empty()) return InstanceClaim::Unavailable;
    std::error_code ec;
    if (file_.has_parent_path()) fs::create_directories(file_.parent_path(), ec);
    const int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return InstanceClaim::Unavailable;
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        fd_ = fd;
        return InstanceClaim::Claimed;
    }
    const int why = errno;
    ::close(fd);
    return why == EWOULDBLOCK ? InstanceClaim::HeldElsewhere : InstanceClaim::Unavailable;
}

void InstanceLock::release() {
    if (fd_ < 0) return;
    ::close(fd_);  // closing the only descriptor drops the lock
    fd_ = -1;
}

fs::path instanceLockFile(const fs::path& fallbackFolder, std::string_view name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        const fs::path folder(runtime);
        std::error_code ec;
        if (folder.is_absolute() && fs::is_directory(folder, ec)) return folder / fs::path(name);
    }
    return fallbackFolder / fs::path(name);
}

}  // namespace wendra::shell
