// The system launcher against real programs (/bin/sh scripts): exit codes, starts
// that fail, polling a child that still runs, arguments handed over untouched, quiet
// children, and a detached program that is nobody's child.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/process/Process.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace wendra::process {
namespace {

namespace fs = std::filesystem;

Command shell(const std::string& script, std::vector<std::string> args = {}) {
    Command c{"/bin/sh", {"-c", script, "sh"}};
    c.arguments.insert(c.arguments.end(), args.begin(), args.end());
    return c;
}

// Waits up to five seconds for a file a child writes.
bool awaitFile(const fs::path& file) {
    for (int i = 0; i < 500; ++i) {
        if (fs::exists(file) && fs::file_size(file) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

struct ExitCase {
    const char* script;
    ExitCode expected;
};

TEST(SystemLauncher, RunAnswersTheExitCodeOrTheSignalAsAShellDoes) {
    const ExitCase cases[] = {
        {"exit 0", 0},
        {"exit 3", 3},
        {"exit 255", 255},
        {"kill -TERM $$", 128 + SIGTERM},
        {"kill -KILL $$", 128 + SIGKILL},
    };
    SystemLauncher launcher;
    for (const ExitCase& c : cases) {
        const RunResult r = launcher.run(shell(c.script));
        ASSERT_TRUE(r.exitCode.has_value()) << c.script << ": " << r.error;
        EXPECT_EQ(*r.exitCode, c.expected) << c.script;
        EXPECT_EQ(r.succeeded(), c.expected == 0) << c.script;
    }
}

TEST(SystemLauncher, AProgramThatCannotRunFailsTheStartNotTheExitCode) {
    test::TempFolder dir;
    const fs::path plain = dir / "not-a-program";
    std::ofstream(plain) << "just text\n";
    fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path folder = dir / "a-folder";
    fs::create_directory(folder);

    const fs::path cases[] = {dir / "missing", plain, folder, "sh" /* a bare name: PATH is not searched */};
    SystemLauncher launcher;
    for (const fs::path& program : cases) {
        const Started s = launcher.start(Command{program, {}});
        EXPECT_EQ(s.process, nullptr) << program;
        EXPECT_FALSE(s.error.empty()) << program;
        const StartedDetached d = launcher.startDetached(Command{program, {}});
        EXPECT_FALSE(d.ok()) << program;
        EXPECT_FALSE(d.error.empty()) << program;
        const RunResult r = launcher.run(Command{program, {}});
        EXPECT_FALSE(r.exitCode.has_value()) << program;
        EXPECT_FALSE(r.succeeded()) << program;
    }
}

TEST(SystemLauncher, PollSaysRunningUntilTheChildEndsThenKeepsItsCode) {
    test::TempFolder dir;
    const fs::path go = dir / "go";
    SystemLauncher launcher;
    Started s = launcher.start(shell(R"(while [ ! -e "$1" ]; do sleep 0.01; done; exit 7)", {go.string()}));
    ASSERT_NE(s.process, nullptr) << s.error;
    EXPECT_GT(s.process->pid(), 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.process->poll(), std::nullopt);
    std::ofstream(go) << "go";
    std::optional<ExitCode> code;
    for (int i = 0; i < 500 && !code; ++i) {
        code = s.process->poll();
        if (!code) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(code, 7);
    EXPECT_EQ(s.process->poll(), 7);
    EXPECT_EQ(s.process->wait(), 7);
}

TEST(SystemLauncher, ArgumentsReachTheProgramAsTheyAreWithNoShellBetween) {
    test::TempFolder dir;
    const fs::path out = dir / "args";
    const std::vector<std::string> args = {"a b", "c\"d", "", "$HOME", "*", "e'f;g|h", "x\ny"};
    std::vector<std::string> all{out.string()};
    all.insert(all.end(), args.begin(), args.end());
    SystemLauncher launcher;
    ASSERT_TRUE(launcher.run(shell(R"(f=$1; shift; for a; do printf '[%s]' "$a"; done > "$f")", all)).succeeded());
    std::string expected;
    for (const std::string& a : args) expected += "[" + a + "]";
    EXPECT_EQ(test::fileText(out), expected);
}

TEST(SystemLauncher, AQuietChildWritesNothingToOurOutput) {
    for (const bool quiet : {false, true}) {
        test::TempFolder dir;
        const fs::path caught = dir / "caught";
        // Our own standard output and error go to a file while the child runs.
        fflush(stdout);
        fflush(stderr);
        const int savedOut = ::dup(STDOUT_FILENO);
        const int savedErr = ::dup(STDERR_FILENO);
        {
            std::ofstream(caught).close();
            const int fd = ::open(caught.c_str(), O_WRONLY | O_APPEND);
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
            ::close(fd);
        }
        Command c = shell("echo out; echo err >&2; exit 4");
        c.quiet = quiet;
        const RunResult r = SystemLauncher().run(c);
        ::dup2(savedOut, STDOUT_FILENO);
        ::dup2(savedErr, STDERR_FILENO);
        ::close(savedOut);
        ::close(savedErr);
        EXPECT_EQ(r.exitCode, 4) << "quiet " << quiet;
        EXPECT_EQ(test::fileText(caught), quiet ? "" : "out\nerr\n") << "quiet " << quiet;
    }
}

TEST(SystemLauncher, ADetachedProgramIsNoChildOfOursAndHasASessionOfItsOwn) {
    test::TempFolder dir;
    const fs::path out = dir / "who";
    SystemLauncher launcher;
    Command c = shell(R"(read line; echo "$$ $PPID $line" > "$1.tmp"; mv "$1.tmp" "$1"; exec sleep 30)", {out.string()});
    c.quiet = true;  // it must not hold the test's output open
    const StartedDetached d = launcher.startDetached(c);
    ASSERT_TRUE(d.ok()) << d.error;
    ASSERT_TRUE(awaitFile(out));
    std::istringstream who(test::fileText(out));
    int pid = 0;
    int parent = 0;
    std::string readFromInput;
    who >> pid >> parent >> readFromInput;
    EXPECT_EQ(pid, d.pid);
    EXPECT_NE(parent, ::getpid());
    EXPECT_TRUE(readFromInput.empty()) << "its input is /dev/null, which reads as empty";
    EXPECT_NE(::getsid(d.pid), ::getsid(0));
    // The go-between child is reaped: nothing is left for us to wait for.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(::kill(d.pid, SIGTERM), 0) << "it ran on by itself";
}

}  // namespace
}  // namespace wendra::process
