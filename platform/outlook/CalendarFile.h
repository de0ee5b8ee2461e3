#pragma once

// The calendar file on disk: where it lives, reading it whole, the lock that
// orders writers, and replacing it in one rename so that a reader (this
// program, another copy of it, another calendar program) sees the old text or
// the new one, never half of either.

#include <sys/types.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace wendra::outlook {

// The environment variable that names another calendar file.
inline constexpr const char* kCalendarFileVariable = "WENDRAWIN_CALENDAR";

// $WENDRAWIN_CALENDAR when set, else $XDG_DATA_HOME/WendraWin/Outlook.ics
// (~/.local/share when XDG_DATA_HOME is unset or relative); empty when neither
// the variable nor a home folder is known.
std::filesystem::path defaultCalendarFile();

// What identifies one version of the file: a writer's rename gives a new inode,
// and an editor writing in place changes the size or the modification time.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::timespec modified{};
    bool operator==(const FileStamp& other) const;
};

FileStamp stampOf(const std::filesystem::path& file);

// Keeps one version of the file open. While it is held its inode cannot be
// given to a newer version, so a stamp taken from it never matches a file that
// replaced it, however quickly that came.
class FileHold {
public:
    FileHold() = default;
    explicit FileHold(int fd) : fd_(fd) {}
    ~FileHold();
    FileHold(FileHold&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileHold& operator=(FileHold&& other) noexcept;
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// The whole file and its stamp; nullopt when it is missing. Raises a calendar
// error when it exists but cannot be read (a folder, no permission, too large).
// With `hold`, the file stays open in it.
std::optional<std::string> readCalendarFile(const std::filesystem::path& file, FileStamp& stamp,
                                            FileHold* hold = nullptr);
// Opens the file as it is now, for its stamp and to hold it.
FileHold holdFile(const std::filesystem::path& file, FileStamp& stamp);

// The file that a write replaces and whose lock it takes: the file itself, or
// what its symbolic links lead to, so a calendar kept elsewhere through a link
// stays a link and every writer meets at one lock.
std::filesystem::path writeTarget(const std::filesystem::path& file);

// Raises a calendar error when the user may not write the file: a rename needs
// only the folder, but a calendar its owner made read-only stays as it is.
void checkWritable(const std::filesystem::path& target);

// A new version of the calendar, written beside its target and on disk but not
// yet in place; the temporary file goes again unless it was put in place.
// Raises a calendar error when it cannot be written.
class PendingFile {
public:
    PendingFile(const std::filesystem::path& target, std::string_view text);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Puts the new version in the place of the one that was read in one step,
    // as long as the file is still that version; answers false, leaving another
    // writer's newer version in place, when it is not. The caller keeps the
    // version read open (a FileHold), so no other file can take its inode.
    bool replace(const FileStamp& read);
    // The new version's stamp, and the new version kept open.
    const FileStamp& stamp() const { return written_; }
    FileHold takeHold() { return std::move(hold_); }

private:
    std::filesystem::path target_;
    std::string temporary_;
    FileStamp written_;
    FileHold hold_;
    bool placed_ = false;
};

// Removes the temporary files of writes that were cut short (the writer was
// killed) beside the target: only those this program names so and its user
// owns, and only under the lock, taken without waiting, so that no writer of
// ours is using one.
void removeStaleTemporaries(const std::filesystem::path& target);

// The exclusive lock of every writer of one calendar file (a lock file beside
// the target); waits up to `patience` for another writer, then raises.
class CalendarLock {
public:
    static constexpr std::chrono::milliseconds kPatience{10000};
    explicit CalendarLock(const std::filesystem::path& target, std::chrono::milliseconds patience = kPatience);
    ~CalendarLock();
    CalendarLock(const CalendarLock&) = delete;
    CalendarLock& operator=(const CalendarLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace wendra::outlook
