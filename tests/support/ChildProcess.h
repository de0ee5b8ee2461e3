#pragma once

// A second program for tests that need one: a forked child that runs a function
// and ends with its answer as exit code, and a gate the parent opens to let one
// or more children go on at once. The child touches nothing of the parent's
// (its own store, its own connection) and ends with _exit, so no destructor of
// the parent's objects runs twice.

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace wendra::test {

// A pipe: children wait() until the parent open()s it, and can tell the parent
// they are ready through a second pipe.
class Gate {
public:
    Gate() {
        if (::pipe(go_) != 0 || ::pipe(ready_) != 0) go_[0] = go_[1] = ready_[0] = ready_[1] = -1;
    }
    ~Gate() {
        for (int fd : {go_[0], go_[1], ready_[0], ready_[1]})
            if (fd >= 0) ::close(fd);
    }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    // In a child: says it is ready, then waits for the gate to open.
    void readyAndWait() const {
        char c = 'r';
        (void)!::write(ready_[1], &c, 1);
        (void)!::read(go_[0], &c, 1);
    }
    // In the parent: waits until n children are ready.
    void awaitReady(int n) const {
        char c;
        for (int i = 0; i < n; ++i) (void)!::read(ready_[0], &c, 1);
    }
    // In the parent: lets n waiting children go.
    void open(int n) const {
        for (int i = 0; i < n; ++i) (void)!::write(go_[1], "g", 1);
    }

private:
    int go_[2];
    int ready_[2];
};

class ChildProcess {
public:
    explicit ChildProcess(const std::function<int()>& body) {
        pid_ = ::fork();
        if (pid_ == 0) ::_exit(body());
    }
    ~ChildProcess() {
        if (pid_ > 0 && !waited_) wait();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // The child's exit code; -1 when it did not end normally.
    int wait() {
        int status = 0;
        waited_ = true;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    bool waited_ = false;
};

}  // namespace wendra::test
