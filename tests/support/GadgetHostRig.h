#pragma once

// The gadget host run as a program: its own settings, data (component
// registration) and runtime folders, the offscreen platform, and its test hook,
// through which a test runs script expressions in the gadget page and reads their
// JSON answers.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/shell/ComponentRegistry.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace wendra::test {

class GadgetHostRig {
public:
    // The host program, and the library to register for clsHTML (none: unregistered).
    GadgetHostRig(std::filesystem::path host, std::filesystem::path library) : host_(std::move(host)) {
        for (const char* sub : {"config", "data", "run"}) std::filesystem::create_directories(dir_ / sub);
        std::filesystem::permissions(dir_ / "run", std::filesystem::perms::owner_all);
        if (!library.empty())
            shell::ComponentRegistry(dir_ / "data" / "WendraWin").registerClass("WendraGadget.clsHTML", library);
        env_["XDG_CONFIG_HOME"] = (dir_ / "config").string();
        env_["XDG_DATA_HOME"] = (dir_ / "data").string();
        env_["XDG_RUNTIME_DIR"] = (dir_ / "run").string();
        env_["QT_QPA_PLATFORM"] = "offscreen";
        env_["WENDRA_GADGET_TEST_HOOK"] = "1";
        // The sanitizer's leak report would be about Qt's and Chromium's allocations.
        env_["ASAN_OPTIONS"] = "detect_leaks=0";
    }
    ~GadgetHostRig() { stop(); }
    GadgetHostRig(const GadgetHostRig&) = delete;
    GadgetHostRig& operator=(const GadgetHostRig&) = delete;

    const std::filesystem::path& folder() const { return dir_.path(); }
    void setEnv(const std::string& name, const std::string& value) { env_[name] = value; }

    bool start(const std::vector<std::string>& args = {}) {
        int in[2], out[2];
        if (::pipe(in) != 0) return false;
        if (::pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const std::string errLog = (dir_ / "host.err").string();
        posix_spawn_file_actions_addopen(&actions, 2, errLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);

        std::vector<std::string> argStrings{host_.string()};
        argStrings.insert(argStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : argStrings) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::map<std::string, std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry(*e);
            const auto eq = entry.find('=');
            if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        for (const auto& [k, v] : env_) env[k] = v;
        std::vector<std::string> envStrings;
        for (const auto& [k, v] : env) envStrings.push_back(k + "=" + v);
        std::vector<char*> envp;
        for (std::string& e : envStrings) envp.push_back(e.data());
        envp.push_back(nullptr);

        const int rc = ::posix_spawn(&pid_, host_.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toHost_ = in[1];
        fromHost_ = out[0];
        if (rc != 0) pid_ = -1;
        return rc == 0;
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
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < end) {
            const std::string answer = eval("drawCount");
            if (!answer.empty() && answer[0] >= '0' && answer[0] <= '9' && std::stoi(answer) > count)
                return std::stoi(answer);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return count;
    }

    // Ends the host; its exit status (-1 when it was killed or not started).
    int stop() {
        if (pid_ <= 0) return -1;
        ::close(toHost_);
        ::close(fromHost_);
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Runs the host to its end, for a command line that ends it at once.
    int runToEnd(const std::vector<std::string>& args) {
        if (!start(args)) return -1;
        ::close(toHost_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        ::close(fromHost_);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string errors() const {
        std::string text;
        if (FILE* f = std::fopen((dir_ / "host.err").c_str(), "r")) {
            char buffer[4096];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }

private:
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
    std::map<std::string, std::string> env_;
    pid_t pid_ = -1;
    int toHost_ = -1;
    int fromHost_ = -1;
    std::string buffer_;
};

}  // namespace wendra::test
