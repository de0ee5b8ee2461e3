#pragma once

#include <filesystem>
#include <functional>

namespace wendra {

// Plays a wave file and tells when it is over. The alarm only needs to know when
// the sound has ended, so that it can put the window caption back.
class Sound {
public:
    using Finished = std::function<void()>;

    virtual ~Sound() = default;

    // Starts playing `file`. `finished` runs exactly once for this play: when the sound
    // reaches its end, when it is stopped or replaced by another play, or when it cannot
    // sound at all (no such file, a file that cannot be read, no audio device). The last
    // case is silent and may call back before play() returns, so callers must be ready
    // for that. Destroying the player drops a pending callback without running it.
    virtual void play(const std::filesystem::path& file, Finished finished) = 0;

    // Ends the current sound, if any; its callback runs before stop() returns.
    virtual void stop() = 0;

    virtual bool isPlaying() const = 0;
};

}  // namespace wendra
