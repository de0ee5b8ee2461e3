#include "platform/process/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace wendra::process {

namespace {

// What a child tells the parent through the start pipe. Records are written whole in
// one write of a few bytes, which a pipe never splits.
struct Record {
    char kind;  // 'P' the detached program's pid, 'F' a failed fork, 'E' a failed exec,
                // 'X' the exit code of a detached program that ended while watched
    int value;
};

int retryWaitpid(pid_t pid, int* status, int flags) {
    int rc;
    do rc = ::waitpid(pid, status, flags);
    while (rc < 0 && errno == EINTR);
    return rc;
}

ExitCode exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 128;
}

std::string errorText(int error) { return std::strerror(error); }

// The argument vector, built before the fork: the child may only call what is safe
// between fork and exec, and allocating is not.
class ArgumentVector {
public:
    explicit ArgumentVector(const Command& command) {
        texts_.push_back(command.program.string());
        texts_.insert(texts_.end(), command.arguments.begin(), command.arguments.end());
        for (std::string& t : texts_) pointers_.push_back(t.data());
        pointers_.push_back(nullptr);
    }
    const char* program() const { return texts_.front().c_str(); }
    char* const* argv() { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

class Pipe {
public:
    Pipe() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return fds_[0] >= 0; }
    int readEnd() const { return fds_[0]; }
    int writeEnd() const { return fds_[1]; }
    void closeRead() { closeOne(fds_[0]); }
    void closeWrite() { closeOne(fds_[1]); }

private:
    static void closeOne(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    int fds_[2];
};

class DevNull {
public:
    DevNull() : fd_(::open("/dev/null", O_RDWR | O_CLOEXEC)) {}
    ~DevNull() {
        if (fd_ >= 0) ::close(fd_);
    }
    DevNull(const DevNull&) = delete;
    DevNull& operator=(const DevNull&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// Where a child's output goes when the command names a file for it.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& file)
        : fd_(file.empty() ? -1 : ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600)),
          error_(fd_ < 0 && !file.empty() ? "cannot open " + file.string() + ": " + errorText(errno) : std::string()) {}
    ~OutputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    int fd() const { return fd_; }
    // Why the file named could not be made; empty when it was, or none was named.
    const std::string& error() const { return error_; }

private:
    int fd_;
    std::string error_;
};

// In the child, after the fork: only calls that are safe there.
void sendRecord(int fd, char kind, int value) {
    const Record r{kind, value};
    (void)!::write(fd, &r, sizeof r);
}

[[noreturn]] void execChild(ArgumentVector& args, int reportFd, int nullFd, int outputFd, bool quiet, bool detached) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &dfl, nullptr);
    if (nullFd >= 0) {
        if (detached) ::dup2(nullFd, STDIN_FILENO);
        if (quiet && outputFd < 0) {
            ::dup2(nullFd, STDOUT_FILENO);
            ::dup2(nullFd, STDERR_FILENO);
        }
    }
    if (outputFd >= 0) {
        ::dup2(outputFd, STDOUT_FILENO);
        ::dup2(outputFd, STDERR_FILENO);
    }
    // Descriptors of ours that were opened without close-on-exec stay ours.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    ::execv(args.program(), args.argv());
    sendRecord(reportFd, 'E', errno);
    ::_exit(127);
}

// In the go-between of a detached start: waits for the program until it ends or the
// watch has passed, and reports an end. Only calls that are safe after a fork.
void watchProgram(pid_t program, int reportFd, std::chrono::milliseconds watch) {
    timespec start{};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    const long long limitNs = static_cast<long long>(watch.count()) * 1000000LL;
    for (;;) {
        int status = 0;
        if (::waitpid(program, &status, WNOHANG) == program) {
            sendRecord(reportFd, 'X', exitCodeOf(status));
            return;
        }
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const long long passed = (now.tv_sec - start.tv_sec) * 1000000000LL + (now.tv_nsec - start.tv_nsec);
        if (passed >= limitNs) return;
        const timespec step{0, 5 * 1000 * 1000};
        ::nanosleep(&step, nullptr);
    }
}

// Reads the records until every writer has gone (the exec closed the pipe, or the
// child ended).
std::vector<Record> readRecords(int fd) {
    std::vector<Record> records;
    Record r{};
    for (;;) {
        const ssize_t n = ::read(fd, &r, sizeof r);
        if (n < 0 && errno == EINTR) continue;
        if (n != static_cast<ssize_t>(sizeof r)) break;
        records.push_back(r);
    }
    return records;
}

// A process descriptor (Linux 5.3 on): readable once the process has ended, and
// still naming it while it waits unreaped, so it is never another process's.
int openProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        return static_cast<int>(fd);
    }
#else
    (void)pid;
#endif
    return -1;
}

class SystemProcess final : public RunningProcess {
public:
    explicit SystemProcess(pid_t pid) : pid_(pid), endFd_(openProcessDescriptor(pid)) {}
    ~SystemProcess() override {
        // An ended child is reaped; one still running goes on by itself.
        if (!ended_) poll();
        if (endFd_ >= 0) ::close(endFd_);
    }
    SystemProcess(const SystemProcess&) = delete;
    SystemProcess& operator=(const SystemProcess&) = delete;
    int pid() const override { return pid_; }
    int endDescriptor() const override { return endFd_; }
    std::optional<ExitCode> poll() override {
        if (ended_) return code_;
        int status = 0;
        const int rc = retryWaitpid(pid_, &status, WNOHANG);
        if (rc == 0) return std::nullopt;
        return finish(rc == pid_ ? exitCodeOf(status) : 128);
    }
    ExitCode wait() override {
        if (ended_) return code_;
        int status = 0;
        const int rc = retryWaitpid(pid_, &status, 0);
        return finish(rc == pid_ ? exitCodeOf(status) : 128);
    }

private:
    ExitCode finish(ExitCode code) {
        ended_ = true;
        code_ = code;
        return code;
    }
    pid_t pid_;
    int endFd_;
    bool ended_ = false;
    ExitCode code_ = 0;
};

}  // namespace

RunResult Launcher::run(const Command& command) {
    Started started = start(command);
    if (!started.process) return RunResult{std::nullopt, started.error};
    return RunResult{started.process->wait(), {}};
}

Started SystemLauncher::start(const Command& command) {
    ArgumentVector args(command);
    DevNull null;
    const OutputFile output(command.output);
    if (!output.error().empty()) return Started{nullptr, output.error()};
    Pipe report;
    if (!report.ok()) return Started{nullptr, errorText(errno)};
    const pid_t pid = ::fork();
    if (pid < 0) return Started{nullptr, errorText(errno)};
    if (pid == 0) execChild(args, report.writeEnd(), null.fd(), output.fd(), command.quiet, false);
    report.closeWrite();
    const std::vector<Record> records = readRecords(report.readEnd());
    if (!records.empty() && records.front().kind == 'E') {
        int status = 0;
        retryWaitpid(pid, &status, 0);
        return Started{nullptr, errorText(records.front().value)};
    }
    return Started{std::make_unique<SystemProcess>(pid), {}};
}

StartedDetached SystemLauncher::startDetached(const Command& command, std::chrono::milliseconds watch) {
    ArgumentVector args(command);
    DevNull null;
    const OutputFile output(command.output);
    if (!output.error().empty()) return StartedDetached{-1, output.error()};
    Pipe report;
    if (!report.ok()) return StartedDetached{-1, errorText(errno)};
    const pid_t middle = ::fork();
    if (middle < 0) return StartedDetached{-1, errorText(errno)};
    if (middle == 0) {
        // A session of its own, away from our terminal and our process group; the
        // program is then forked once more, so its parent is gone (at once, or when
        // the watch is over) and the system adopts it.
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) execChild(args, report.writeEnd(), null.fd(), output.fd(), command.quiet, true);
        if (program < 0) {
            sendRecord(report.writeEnd(), 'F', errno);
        } else {
            sendRecord(report.writeEnd(), 'P', program);
            if (watch.count() > 0) watchProgram(program, report.writeEnd(), watch);
        }
        ::_exit(0);
    }
    report.closeWrite();
    const std::vector<Record> records = readRecords(report.readEnd());
    int status = 0;
    retryWaitpid(middle, &status, 0);
    StartedDetached result;
    for (const Record& r : records) {
        if (r.kind == 'P') result.pid = r.value;
        if (r.kind == 'X') result.ended = r.value;
        if (r.kind == 'F' || r.kind == 'E') return StartedDetached{-1, errorText(r.value)};
    }
    if (!result.ok()) result.error = "the program was not started";
    return result;
}

}  // namespace wendra::process
