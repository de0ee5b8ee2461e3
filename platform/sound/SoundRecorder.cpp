#include "platform/sound/SoundRecorder.h"

#include <utility>

namespace wendra {

// The callback is taken out before it runs, so it may start the next sound.
bool SoundRecorder::end() {
    if (!playing_) return false;
    playing_ = false;
    Finished done = std::exchange(finished_, nullptr);
    if (done) done();
    return true;
}

void SoundRecorder::play(const std::filesystem::path& file, Finished finished) {
    end();
    plays_.push_back(file);
    finished_ = std::move(finished);
    playing_ = true;
    if (silent_) end();
}

void SoundRecorder::stop() {
    ++stops_;
    end();
}

bool SoundRecorder::finish() { return end(); }

}  // namespace wendra
