#pragma once

#include <filesystem>
#include <vector>

#include "platform/sound/Sound.h"

namespace wendra {

// A player for tests: it records what was played and "plays" until the test calls
// finish(), so the caller's state while a sound is going can be looked at.
class SoundRecorder final : public Sound {
public:
    void play(const std::filesystem::path& file, Finished finished) override;
    void stop() override;
    bool isPlaying() const override { return playing_; }

    // Ends the current sound as if it had reached its end. False when none plays.
    bool finish();

    // Acts as a machine without a sound device or without the file: every play
    // calls back at once, before play() returns. It is still recorded.
    void setSilent(bool silent) { silent_ = silent; }

    // Every file given to play(), in order.
    const std::vector<std::filesystem::path>& plays() const { return plays_; }
    int stopCount() const { return stops_; }

private:
    bool end();

    std::vector<std::filesystem::path> plays_;
    Finished finished_;
    bool playing_ = false;
    bool silent_ = false;
    int stops_ = 0;
};

}  // namespace wendra
