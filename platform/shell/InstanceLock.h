#pragma once

#include <filesystem>
#include <string_view>

namespace wendra::shell {

enum class InstanceClaim {
    Claimed,      // this process holds the lock (now or from an earlier claim)
    HeldElsewhere,  // another process holds it: another copy of the program runs
    Unavailable,  // the lock file cannot be made or locked: nobody can tell
};

// A per-user lock that only one process at a time can hold: an exclusive flock on a
// file. The kernel lets go of the lock when the process ends in any way, a crash or
// a kill included, so a copy that died never keeps the next one from starting; the
// file itself may stay behind and means nothing.
class InstanceLock {
public:
    explicit InstanceLock(std::filesystem::path file);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting. Making the file's folder is the only thing
    // written besides the file.
    InstanceClaim claim();
    bool held() const { return fd_ >= 0; }
    void release();
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    int fd_ = -1;
};

// Where a user's lock lives: $XDG_RUNTIME_DIR when it names an absolute folder that
// exists (private to the user and emptied at logout), else the fallback folder (the
// settings folder).
std::filesystem::path instanceLockFile(const std::filesystem::path& fallbackFolder,
                                       std::string_view name = "WendraWin.lock");

}  // namespace wendra::shell
