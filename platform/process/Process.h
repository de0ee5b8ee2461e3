#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wendra::process {

// A program to start: an absolute path (the folders of PATH are never searched, so
// a program beside ours cannot be mistaken for one of the same name elsewhere) and
// its arguments, handed over as they are, with no shell between.
struct Command {
    std::filesystem::path program;
    std::vector<std::string> arguments;
    // The child's standard output and error go nowhere, for a helper whose answer
    // is its exit code alone.
    bool quiet = false;
    // Not empty: the child's standard output and error go to this file, made afresh
    // at the start, and not to ours (whatever quiet says). A file that cannot be
    // made fails the start. Written at its end, so a copy still writing from an
    // earlier start leaves no gap in it.
    std::filesystem::path output{};
};

// The exit code of a process that ended by itself; one killed by signal n answers
// 128 + n, as a shell reports it.
using ExitCode = int;

// A started child of this process.
class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    virtual int pid() const = 0;
    // The exit code once the process has ended; nothing while it runs. Never waits.
    virtual std::optional<ExitCode> poll() = 0;
    // Waits for the end.
    virtual ExitCode wait() = 0;
    // A descriptor that becomes readable once the process has ended, for an event
    // loop to watch instead of polling; -1 where the system gives none. It belongs
    // to the handle.
    virtual int endDescriptor() const { return -1; }
};

struct Started {
    std::unique_ptr<RunningProcess> process;  // empty when the program did not start
    std::string error;                         // why not, as the system words it
};

struct StartedDetached {
    int pid = -1;  // -1 when the program did not start
    std::string error;
    // The program ended while its start watched it, with this code.
    std::optional<ExitCode> ended{};
    bool ok() const { return pid > 0; }
};

struct RunResult {
    std::optional<ExitCode> exitCode;  // empty when the program did not start
    std::string error;
    bool succeeded() const { return exitCode == 0; }
};

// Starts programs. A program that cannot be started (missing, not executable, not a
// program at all) is reported by the start itself, never as an exit code.
class Launcher {
public:
    virtual ~Launcher() = default;
    // A child to poll or wait for. The handle going away neither ends nor waits for it.
    virtual Started start(const Command& command) = 0;
    // A program that lives on its own: in a session of its own, no child of ours, its
    // input from /dev/null, so it outlives this process and is never left as a zombie
    // of it. With a watch the start returns once the program has ended or the watch
    // has passed, so a program that fails at once is told from one that runs on.
    virtual StartedDetached startDetached(const Command& command, std::chrono::milliseconds watch = {}) = 0;
    // Starts and waits for the end.
    RunResult run(const Command& command);
};

// Starts real processes (fork and exec; the exec's own failure comes back through a
// pipe, so a missing program fails the start and not the exit code).
class SystemLauncher final : public Launcher {
public:
    Started start(const Command& command) override;
    StartedDetached startDetached(const Command& command, std::chrono::milliseconds watch = {}) override;
};

}  // namespace wendra::process
