#pragma once

// The gadget host run as a program: its own settings, data (component
// registration) and runtime folders, the offscreen platform, and its test hook,
// through which a test runs script expressions in the gadget page and reads their
// JSON answers.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/shell/ComponentRegistry.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

class GadgetHostRig {
public:
    // The host program, and the library to register for clsHTML (none: unregistered).
    GadgetHostRig(std::filesystem::path host, const std::filesystem::path& library) : host_(std::move(host)) {
        for (const char* sub : {"config", "data", "run"}) std::filesystem::create_directories(dir_ / sub);
        std::filesystem::permissions(dir_ / "run", std::filesystem::perms::owner_all);
        if (!library.empty())
            shell::ComponentRegistry(dir_ / "data" / "WendraWin").registerClass("WendraGadget.clsHTML", library);
    }
    ~GadgetHostRig() { stop(); }
    GadgetHostRig(const GadgetHostRig&) = delete;
    GadgetHostRig& operator=(const GadgetHostRig&) = delete;

    const std::filesystem::path& folder() const { return dir_.path(); }

    bool start(const std::vector<std::string>& args = {}) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return false;
        pid_ = ::fork();
        if (pid_ == 0) {
            const int err = ::open((dir_ / "host.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::dup2(err, 2);
            for (int fd : {in[0], in[1], out[0], out[1], err}) ::close(fd);
            ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (dir_ / "data").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("LC_ALL", "C", 1);  // the list's month names in English
            ::setenv("WENDRA_GADGET_TEST_HOOK", "1", 1);
            // The sanitizer's leak report would be about Qt's and Chromium's allocations.
            ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            std::vector<std::string> line{host_.string()};
            line.insert(line.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : line) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(host_.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toHost_ = in[1];
        fromHost_ = out[0];
        return pid_ > 0;
    }

    // The answer to one expression: its value as JSON, "undefined", "!" and the
    // error, or "(no answer)" when the host said nothing for the time given.
    std::string eval(const std::string& expression, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        const std::string line = expression + "\n";
        if (::write(toHost_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "(no answer)";
        return readLine(timeout);
    }

    // Asks until the expression answers the value or the time is up; the last answer.
    std::string waitFor(const std::string& expression, const std::string& value,
                        std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::string answer;
        do {
            answer = eval(expression);
            if (answer == value) return answer;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (std::chrono::steady_clock::now() < end);
        return answer;
    }

    // The page's drawn-list count, once it moved past the count given.
    int waitForDrawAfter(int count) {
        if (waitFor("drawCount > " + std::to_string(count), "true") != "true") return count;
        return std::stoi(eval("drawCount"));
    }

    // Ends the host; its exit status (-1 when it was killed or not started).
    int stop() {
        if (pid_ <= 0) return -1;
        ::kill(pid_, SIGTERM);
        return reap();
    }

    // Runs the host to its end, for a command line that ends it at once.
    int runToEnd(const std::vector<std::string>& args) { return start(args) ? reap() : -1; }

    std::string errors() const { return fileText(dir_ / "host.err"); }

private:
    int reap() {
        ::close(toHost_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        ::close(fromHost_);  // only now: the host may still be writing its answer
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string readLine(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const auto nl = buffer_.find('\n'); nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return "(no answer)";
            pollfd p{fromHost_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return "(no answer)";
            char chunk[4096];
            const ssize_t n = ::read(fromHost_, chunk, sizeof chunk);
            if (n <= 0) return "(no answer)";
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    TempFolder dir_;
    std::filesystem::path host_;
    pid_t pid_ = -1;
    int toHost_ = -1;
    int fromHost_ = -1;
    std::string buffer_;
};

}  // namespace wendra::test
