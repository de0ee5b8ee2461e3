#include "platform/settings/FileSettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/settings/IniDocument.h"
#include "platform/settings/Names.h"

namespace wendra::settings {

namespace fs = std::filesystem;

namespace {

// A settings file is a few hundred bytes; anything this large is not one of ours
// and is neither read nor replaced.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded (a delayed write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

int openRetry(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do fd = ::open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

enum class ReadResult { ok, missing, failed };

// Reads the whole file; a missing file is an empty one, anything else that keeps
// it from being read (a folder, a device, no permission, too large) is a failure.
ReadResult readFile(const fs::path& path, std::string& text, mode_t* mode = nullptr) {
    text.clear();
    Fd fd(openRetry(path.c_str(), O_RDONLY | O_NONBLOCK));
    if (!fd) return errno == ENOENT ? ReadResult::missing : ReadResult::failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) return ReadResult::failed;
    if (mode) *mode = st.st_mode & 07777;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadResult::failed;
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > static_cast<std::size_t>(kMaxFileSize)) return ReadResult::failed;
    }
    return ReadResult::ok;
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

bool syncFolder(const fs::path& folder) {
    Fd fd(openRetry(folder.c_str(), O_RDONLY | O_DIRECTORY));
    return fd && ::fsync(fd.get()) == 0;
}

// Replaces target by a new file with the given text, in one rename.
bool replaceFile(const fs::path& target, std::string_view text, mode_t mode) {
    const fs::path folder = target.parent_path();
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    Fd fd(::mkstemp(pattern.data()));
    if (!fd) return false;
    ::fcntl(fd.get(), F_SETFD, FD_CLOEXEC);
    const bool written = writeAll(fd.get(), text) && ::fchmod(fd.get(), mode) == 0 && ::fsync(fd.get()) == 0 &&
                         fd.close() && ::rename(pattern.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(pattern.c_str());
        return false;
    }
    // The rename is only durable once the folder itself is on disk; the new text is
    // in place either way, so a failure here is not a failed save.
    syncFolder(folder);
    return true;
}

// Where to write: the file itself, or what it links to, so that a settings file
// kept elsewhere through a symbolic link stays a link.
fs::path writeTarget(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    fs::path target = fs::read_symlink(path, ec);
    if (ec) return path;
    if (target.is_relative()) target = path.parent_path() / target;
    return target;
}

// Keeps a settings text that holds lines the rewrite drops as <file>.bad, or, when
// that holds an earlier copy of another text, the first of <file>.bad.2 to .bad.9
// that is free or holds this text (the last is reused when all hold others).
bool keepUnreadable(const fs::path& file, const std::string& text, mode_t mode) {
    constexpr int kCopies = 9;
    fs::path copy;
    for (int n = 1; n <= kCopies; ++n) {
        copy = file;
        copy += n == 1 ? ".bad" : ".bad." + std::to_string(n);
        std::string held;
        const ReadResult read = readFile(copy, held);
        if (read == ReadResult::missing) break;
        if (read == ReadResult::ok && held == text) return true;  // kept already
    }
    return replaceFile(copy, text, mode);
}

bool ensureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return true;
    if (!fs::create_directories(folder, ec) && !fs::is_directory(folder, ec)) return false;
    // A configuration folder we had to make is the user's alone.
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    return true;
}

}  // namespace

fs::path userConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && fs::path(xdg).is_absolute()) return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) home = pw->pw_dir;
    }
    if (!home || !*home) return {};
    return fs::path(home) / ".config";
}

FileSettingsStore::FileSettingsStore(fs::path folder) : folder_(std::move(folder)) {}

FileSettingsStore FileSettingsStore::forCurrentUser() { return FileSettingsStore(userConfigFolder()); }

fs::path FileSettingsStore::fileFor(std::string_view app) const {
    if (folder_.empty() || !isUsableAppName(app)) return {};
    return folder_ / (std::string(app) + ".ini");
}

std::optional<std::string> FileSettingsStore::querySetting(std::string_view app, std::string_view section,
                                                           std::string_view key) const {
    const fs::path path = fileFor(app);
    if (path.empty()) return std::nullopt;
    std::string text;
    // No lock is needed: a writer replaces the file in one rename, so this sees
    // the old text or the new one, whole.
    if (readFile(path, text) != ReadResult::ok) return std::nullopt;
    return IniDocument::parse(text).value(section, key);
}

bool FileSettingsStore::update(std::string_view app, const std::function<bool(IniDocument&)>& change) {
    const fs::path path = fileFor(app);
    if (path.empty() || !ensureFolder(folder_)) return false;

    const fs::path lockPath = folder_ / (std::string(app) + ".ini.lock");
    Fd lock(openRetry(lockPath.c_str(), O_RDWR | O_CREAT, 0600));
    if (!lock) return false;
    int locked;
    do locked = ::flock(lock.get(), LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) return false;

    const fs::path target = writeTarget(path);
    std::string text;
    mode_t mode = 0600;
    const ReadResult read = readFile(target, text, &mode);
    // A file that exists but cannot be read is left alone: writing it anew would
    // throw away every setting it holds.
    if (read == ReadResult::failed) return false;

    IniDocument doc = IniDocument::parse(text);
    if (!change(doc)) return true;  // nothing to change, nothing to write
    // The new text holds only what could be read: the old one is kept beside it
    // first, so a hand-edited or damaged line is never lost without a copy.
    if (doc.droppedLines() > 0 && !keepUnreadable(target, text, mode)) return false;
    return replaceFile(target, doc.render(), mode);
    // The lock goes with the descriptor, after the rename.
}

bool FileSettingsStore::saveSetting(std::string_view app, std::string_view section, std::string_view key,
                                    std::string_view value) {
    if (!isUsableName(section) || !isUsableName(key)) return false;
    return update(app, [&](IniDocument& doc) {
        if (doc.value(section, key) == value) return false;
        doc.set(section, key, value);
        return true;
    });
}

bool FileSettingsStore::deleteSetting(std::string_view app, std::string_view section, std::string_view key) {
    if (fileFor(app).empty()) return false;
    std::error_code ec;
    if (!fs::exists(fileFor(app), ec)) return true;  // nothing stored, and no folder or lock file made for it
    return update(app, [&](IniDocument& doc) { return doc.erase(section, key); });
}

bool FileSettingsStore::deleteSection(std::string_view app, std::string_view section) {
    if (fileFor(app).empty()) return false;
    std::error_code ec;
    if (!fs::exists(fileFor(app), ec)) return true;
    return update(app, [&](IniDocument& doc) { return doc.eraseSection(section); });
}

}  // namespace wendra::settings
