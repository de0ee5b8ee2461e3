#include "platform/outlook/CalendarFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/outlook/Errors.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook {

namespace fs = std::filesystem;

namespace {

// How long a version swapped out is watched for a writer that opened it just
// before the swap: opening to write in place truncates it at once.
constexpr auto kSwapWatch = std::chrono::milliseconds(2);
// A calendar of a lifetime of appointments is a few megabytes; a file far
// larger is not one to read into memory or to replace.
constexpr off_t kMaxCalendarSize = 256 * 1024 * 1024;

[[noreturn]] void fail(long number, const std::string& what, const fs::path& file, int error = 0) {
    std::string text = what + ": " + file.string();
    if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
    throw Error(number, text, kErrorSource);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; a delayed write error shows here.
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

int openFile(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

FileStamp stampFrom(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modified = st.st_mtim;
    return s;
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

fs::path folderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

// The name of our temporary files beside a calendar, up to mkostemp's six
// letters: marked as ours, so that a clean-up never takes another program's.
std::string temporaryPrefix(const fs::path& target) { return "." + target.filename().string() + ".wendra-"; }

FileStamp lstampOf(const std::string& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) return {};
    return stampFrom(st);
}

fs::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return {};
}

}  // namespace

fs::path defaultCalendarFile() {
    if (const char* named = std::getenv(kCalendarFileVariable); named && *named) return named;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data && fs::path(data).is_absolute())
        return fs::path(data) / "WendraWin" / "Outlook.ics";
    const fs::path home = homeFolder();
    if (home.empty()) return {};
    return home / ".local" / "share" / "WendraWin" / "Outlook.ics";
}

bool FileStamp::operator==(const FileStamp& o) const {
    if (exists != o.exists) return false;
    if (!exists) return true;
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
}

FileStamp stampOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return stampFrom(st);
}

FileHold::~FileHold() {
    if (fd_ >= 0) ::close(fd_);
}

FileHold& FileHold::operator=(FileHold&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHold holdFile(const fs::path& file, FileStamp& stamp) {
    stamp = {};
    const int fd = openFile(file.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return FileHold();
    struct stat st {};
    if (::fstat(fd, &st) == 0) stamp = stampFrom(st);
    return FileHold(fd);
}

std::optional<std::string> readCalendarFile(const fs::path& file, FileStamp& stamp, FileHold* hold) {
    stamp = {};
    Descriptor fd(openFile(file.c_str(), O_RDONLY | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT) return std::nullopt;
        fail(err::kCalendarUnreadable, "The calendar file cannot be opened", file, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) fail(err::kCalendarUnreadable, "The calendar file cannot be read", file, errno);
    if (!S_ISREG(st.st_mode)) fail(err::kCalendarUnreadable, "The calendar is not a plain file", file);
    if (st.st_size > kMaxCalendarSize) fail(err::kCalendarUnreadable, "The calendar file is too large", file);
    std::string text;
    text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail(err::kCalendarUnreadable, "The calendar file cannot be read", file, errno);
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > static_cast<std::size_t>(kMaxCalendarSize))
            fail(err::kCalendarUnreadable, "The calendar file is too large", file);
    }
    stamp = stampFrom(st);
    if (hold) *hold = FileHold(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
    return text;
}

fs::path writeTarget(const fs::path& file) {
    fs::path at = file;
    // A loop of links ends the walk where it is; opening it then fails with its own reason.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(at, ec))) break;
        fs::path next = fs::read_symlink(at, ec);
        if (ec) break;
        at = next.is_relative() ? at.parent_path() / next : next;
    }
    return at;
}

void checkWritable(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return;  // a new calendar: its folder decides
    // The superuser may write anything; a file without any write permission is still meant to stay.
    const bool writable = ::geteuid() == 0 ? (st.st_mode & 0222) != 0 : ::access(target.c_str(), W_OK) == 0;
    if (!writable) fail(err::kCalendarReadOnly, "The calendar file is read-only", target);
}

PendingFile::PendingFile(const fs::path& target, std::string_view text) : target_(target) {
    const fs::path folder = folderOf(target);
    std::error_code ec;
    if (!fs::is_directory(folder, ec) && !fs::create_directories(folder, ec) && !fs::is_directory(folder, ec))
        fail(err::kCalendarWrite, "The calendar's folder cannot be made", folder, ec.value());

    // The new file keeps the old one's permissions and, as far as this user may
    // give them, its owner and group (the superuser writing a user's calendar);
    // a new calendar is the user's alone.
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    const mode_t mode = existed ? old.st_mode & 07777 : 0600;

    temporary_ = (folder / temporaryPrefix(target)).string() + "XXXXXX";
    Descriptor fd(::mkostemp(temporary_.data(), O_CLOEXEC));
    if (fd.get() < 0) fail(err::kCalendarWrite, "The calendar file cannot be written", folder, errno);
    struct stat st {};
    // A delayed write error shows at close, so the version kept open is a second descriptor.
    const int kept = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
    hold_ = FileHold(kept);
    if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd.get(), old.st_uid, old.st_gid) != 0)
        (void)!::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
    const bool written = kept >= 0 && writeAll(fd.get(), text) && ::fchmod(fd.get(), mode) == 0 &&
                         ::fsync(fd.get()) == 0 && ::fstat(fd.get(), &st) == 0 && fd.close();
    if (!written) {
        const int why = errno;
        ::unlink(temporary_.c_str());
        fail(err::kCalendarWrite, "The calendar file cannot be written", target, why);
    }
    written_ = stampFrom(st);
}

PendingFile::~PendingFile() {
    // Only our own version: after a swap another writer's file may stand under that name.
    if (!placed_ && lstampOf(temporary_) == written_) ::unlink(temporary_.c_str());
}

bool PendingFile::replace(const FileStamp& read) {
    const auto placed = [&] {
        placed_ = true;
        // The rename lasts a crash only once the folder is on disk; the new text is
        // in place either way, so this is no failure of the write.
        Descriptor dir(openFile(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY));
        if (dir.get() >= 0) ::fsync(dir.get());
        return true;
    };
    const auto unsupported = [](int e) { return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP || e == ENOTSUP; };
    const auto failed = [&](int why) { fail(err::kCalendarWrite, "The calendar file cannot be written", target_, why); };
    if (!read.exists) {
        // A new calendar goes only where there is still none.
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) return placed();
        if (errno == EEXIST) return false;
        if (!unsupported(errno)) failed(errno);
        if (stampOf(target_).exists) return false;
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) failed(errno);
        return placed();
    }
    // Looked at right before, then swapped in one step, and the version swapped
    // out looked at again a moment later: the one that was read, unchanged,
    // goes; another writer's that came between the two goes straight back, and
    // so does the old version when a writer that had just opened it to write in
    // place changed it.
    if (!(stampOf(target_) == read)) return false;
    if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
        std::this_thread::sleep_for(kSwapWatch);
        if (lstampOf(temporary_) == read) {
            ::unlink(temporary_.c_str());
            return placed();
        }
        // Back only over our own version. A writer that saved once more in the
        // meantime put its newest in place, over the older one we hold, as it
        // would have without us; ours is written again from its newest.
        if (!(stampOf(target_) == written_)) {
            ::unlink(temporary_.c_str());
            return false;
        }
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) != 0 &&
            ::rename(temporary_.c_str(), target_.c_str()) != 0)
            failed(errno);
        return false;
    }
    if (!unsupported(errno)) failed(errno);
    // A file system that swaps nothing: the check came right before the rename.
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) failed(errno);
    return placed();
}

void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = temporaryPrefix(target);
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            stale.push_back(it->path());
    }
    if (stale.empty()) return;
    try {
        CalendarLock lock(target, std::chrono::milliseconds(0));
        for (const fs::path& file : stale) ::unlink(file.c_str());
    } catch (const Error&) {
        // A writer is at work: the next connection clears them.
    }
}

CalendarLock::CalendarLock(const fs::path& target, std::chrono::milliseconds patience) {
    const fs::path folder = folderOf(target);
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path lockFile = folder / ("." + target.filename().string() + ".lock");
    // Readable by all, and taken through a descriptor open for reading where
    // writing is not allowed: a lock file another user made keeps no one out.
    fd_ = openFile(lockFile.c_str(), O_RDWR | O_CREAT, 0644);
    if (fd_ < 0 && errno == EACCES) fd_ = openFile(lockFile.c_str(), O_RDONLY);
    if (fd_ < 0) fail(err::kCalendarWrite, "The calendar's lock file cannot be made", lockFile, errno);
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        if (std::chrono::steady_clock::now() >= giveUp) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const int why = errno;
    ::close(fd_);
    fd_ = -1;
    fail(err::kCalendarWrite, "Another program keeps the calendar locked", target, why == EWOULDBLOCK ? 0 : why);
}

CalendarLock::~CalendarLock() {
    if (fd_ >= 0) ::close(fd_);  // the only descriptor: closing it drops the lock
}

}  // namespace wendra::outlook
