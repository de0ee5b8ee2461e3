#pragma once

#include <chrono>
#include <memory>

#include "platform/sound/Sound.h"

namespace wendra {

struct QtSoundOptions {
    // How long past its own length a sound may go before the watchdog ends it.
    std::chrono::milliseconds margin = std::chrono::seconds(3);
    // On a machine that lists no audio output, a play is silent and calls back at once.
    // Tests turn this off to drive the player itself where there is no sound card.
    bool silentWithoutDevice = true;
};

// The desktop player, on Qt Multimedia. It needs a running Qt event loop to report
// the end of a sound. A file that is missing or unreadable, or a machine without an
// audio device, calls back at once; a file the decoder refuses calls back from the
// event loop as soon as that shows. Should the end never be reported, a watchdog ends
// the sound once its own length and the margin have gone by.
class QtSound final : public Sound {
public:
    explicit QtSound(QtSoundOptions options = {});
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void play(const std::filesystem::path& file, Finished finished) override;
    void stop() override;
    bool isPlaying() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace wendra
