#pragma once

// The calendar file on disk: where it lives, reading it whole, the lock that
// orders writers, and replacing it in one rename so that a reader (this
// program, another copy of it, another calendar program) sees the old text or
// the new one, never half of either.

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
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

// The file that a write replaces: the file itself, or what it links to, so a
// calendar kept elsewhere through a symbolic link stays a link.
std::filesystem::path writeTarget(const std::filesystem::path& file);

// Writes text to a temporary file beside the target, then renames it over the
// target. Raises a calendar error on failure, leaving the target as it was.
void replaceCalendarFile(const std::filesystem::path& target, const std::string& text);

// The exclusive lock of every writer of one calendar file (a lock file beside
// it); waits up to a few seconds for another writer, then raises.
class CalendarLock {
public:
    explicit CalendarLock(const std::filesystem::path& file);
    ~CalendarLock();
    CalendarLock(const CalendarLock&) = delete;
    CalendarLock& operator=(const CalendarLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace wendra::outlook
