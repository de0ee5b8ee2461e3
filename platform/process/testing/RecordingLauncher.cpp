#include "platform/process/testing/RecordingLauncher.h"

#include <algorithm>
#include <utility>

namespace wendra::process::testing {

struct RecordingLauncher::State {
    Script script;
    std::vector<Event> events;
    int nextPid = 1000;
    int running = 0;
    int mostRunning = 0;
};

namespace {

class RecordedProcess final : public RunningProcess {
public:
    RecordedProcess(std::shared_ptr<RecordingLauncher::State> state, Command command, RecordingLauncher::Answer answer,
                    int pid)
        : state_(std::move(state)), command_(std::move(command)), answer_(std::move(answer)), pid_(pid) {}

    int pid() const override { return pid_; }
    std::optional<ExitCode> poll() override {
        if (!ended_ && answer_.pollsWhileRunning > 0) {
            --answer_.pollsWhileRunning;
            return std::nullopt;
        }
        return end();
    }
    ExitCode wait() override { return end(); }

private:
    ExitCode end() {
        if (!ended_) {
            ended_ = true;
            --state_->running;
            state_->events.push_back({RecordingLauncher::Event::Kind::Ended, command_, answer_.exitCode});
        }
        return answer_.exitCode;
    }
    std::shared_ptr<RecordingLauncher::State> state_;
    Command command_;
    RecordingLauncher::Answer answer_;
    int pid_;
    bool ended_ = false;
};

}  // namespace

RecordingLauncher::RecordingLauncher(Script script) : state_(std::make_shared<State>()) {
    state_->script = std::move(script);
}

RecordingLauncher::~RecordingLauncher() = default;

Started RecordingLauncher::start(const Command& command) {
    const Answer answer = state_->script ? state_->script(command) : Answer{};
    if (!answer.startError.empty()) {
        state_->events.push_back({Event::Kind::FailedToStart, command});
        return Started{nullptr, answer.startError};
    }
    state_->events.push_back({Event::Kind::Started, command});
    state_->mostRunning = std::max(state_->mostRunning, ++state_->running);
    return Started{std::make_unique<RecordedProcess>(state_, command, answer, state_->nextPid++), {}};
}

StartedDetached RecordingLauncher::startDetached(const Command& command, std::chrono::milliseconds watch) {
    const Answer answer = state_->script ? state_->script(command) : Answer{};
    if (!answer.startError.empty()) {
        state_->events.push_back({Event::Kind::FailedToStart, command});
        return StartedDetached{-1, answer.startError};
    }
    state_->events.push_back({Event::Kind::StartedDetached, command});
    return StartedDetached{state_->nextPid++, {}, watch.count() > 0 ? answer.endsWhileWatched : std::nullopt};
}

const std::vector<RecordingLauncher::Event>& RecordingLauncher::events() const { return state_->events; }

std::vector<Command> RecordingLauncher::detachedStarts() const {
    std::vector<Command> out;
    for (const Event& e : state_->events)
        if (e.kind == Event::Kind::StartedDetached) out.push_back(e.command);
    return out;
}

int RecordingLauncher::mostRunningAtOnce() const { return state_->mostRunning; }

}  // namespace wendra::process::testing
