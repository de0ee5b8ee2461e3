#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/process/Process.h"

namespace wendra::process::testing {

// A launcher that starts nothing: it writes down every start and every end, in the
// order they happen, and answers each command as the test's script says.
class RecordingLauncher final : public Launcher {
public:
    struct Answer {
        ExitCode exitCode = 0;
        std::string startError;     // not empty: the start fails with this text
        int pollsWhileRunning = 0;  // how many polls answer "still running" first
        // A detached start that is watched: the program ends within the watch, with this code.
        std::optional<ExitCode> endsWhileWatched{};
    };
    using Script = std::function<Answer(const Command&)>;

    struct Event {
        enum class Kind { Started, StartedDetached, FailedToStart, Ended };
        Kind kind;
        Command command;
        ExitCode exitCode = 0;  // of an Ended event
    };

    // Without a script every command starts and ends with 0 at once.
    explicit RecordingLauncher(Script script = {});
    ~RecordingLauncher() override;

    Started start(const Command& command) override;
    StartedDetached startDetached(const Command& command, std::chrono::milliseconds watch = {}) override;

    const std::vector<Event>& events() const;
    // The commands given to startDetached, in order.
    std::vector<Command> detachedStarts() const;
    // The most children that were running at one time.
    int mostRunningAtOnce() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace wendra::process::testing
