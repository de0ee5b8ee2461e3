#include "platform/sound/QtSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <fstream>
#include <system_error>
#include <utility>

#include "platform/sound/Wave.h"

namespace wendra {

namespace {
// When the header cannot tell how long the sound is, this bounds the wait.
constexpr std::chrono::milliseconds kUnknownLength = std::chrono::seconds(30);
}  // namespace

struct QtSound::Impl {
    explicit Impl(QtSoundOptions o) : options(o) {
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] { end(); });
    }

    ~Impl() {
        QObject::disconnect(&effect, nullptr, nullptr, nullptr);
        effect.stop();
    }

    // One effect object for the player's life: its signals are cut off when a sound
    // ends, so a late signal of an old sound can never end the next one.
    void end() {
        if (!playing) return;
        playing = false;
        watchdog.stop();
        QObject::disconnect(&effect, nullptr, nullptr, nullptr);
        effect.stop();
        Finished done = std::exchange(finished, nullptr);
        if (done) done();  // last: it may start the next sound
    }

    void start(const std::filesystem::path& file) {
        const auto info = readWaveInfo(file);
        watchdog.start(std::chrono::duration_cast<std::chrono::milliseconds>(
                           (info ? info->duration() : kUnknownLength) + options.margin));

        // Loading again every time picks up a replaced file and clears an old error.
        effect.setSource(QUrl());
        QObject::connect(&effect, &QSoundEffect::statusChanged, [this] {
            if (effect.status() == QSoundEffect::Error) end();
        });
        QObject::connect(&effect, &QSoundEffect::playingChanged, [this] {
            if (!effect.isPlaying()) end();
        });
        effect.setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
        effect.play();
        if (effect.status() == QSoundEffect::Error) end();
    }

    QtSoundOptions options;
    QSoundEffect effect;
    QTimer watchdog;
    Finished finished;
    bool playing = false;
};

QtSound::QtSound(QtSoundOptions options) : impl_(std::make_unique<Impl>(options)) {}
QtSound::~QtSound() = default;

void QtSound::play(const std::filesystem::path& file, Finished finished) {
    impl_->end();
    impl_->finished = std::move(finished);
    impl_->playing = true;
    // The decoder reports a missing file only later. Without an output the effect
    // may never report an end at all, and the effect learns of the missing device only
    // once the device list has been read; so both are settled here, silently.
    std::error_code ec;
    const bool readable = std::filesystem::is_regular_file(file, ec) && std::ifstream(file, std::ios::binary);
    if (!readable || (impl_->options.silentWithoutDevice && QMediaDevices::audioOutputs().isEmpty())) {
        impl_->end();
        return;
    }
    impl_->start(file);
}

void QtSound::stop() { impl_->end(); }

bool QtSound::isPlaying() const { return impl_->playing; }

}  // namespace wendra
