#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

#include "platform/sound/QtSound.h"

using namespace std::chrono_literals;
using wendra::QtSound;
using wendra::QtSoundOptions;

namespace {

// Long enough for the alarm to end by itself on a machine with a sound card, and for
// the watchdog (its length and the margin) on one where the end is never reported.
constexpr int kWaitMs = 10000;

// The player itself even where there is no sound card, with a short watchdog.
const QtSoundOptions kDriven{std::chrono::milliseconds(500), false};

bool haveAudioDevice() { return !QMediaDevices::audioOutputs().isEmpty(); }

class SoundQt : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("wendra-sound-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

}  // namespace

TEST_F(SoundQt, AMissingFileIsSilentAndCallsBackAtOnce) {
    QtSound sound;
    int done = 0;
    sound.play(dir_ / "QVRAlarm.wav", [&] { ++done; });
    EXPECT_EQ(done, 1) << "before play returns, so the caller can put its caption back";
    EXPECT_FALSE(sound.isPlaying());

    sound.play(dir_, [&] { ++done; });  // a folder is no file either
    EXPECT_EQ(done, 2);
    QTest::qWait(100);
    EXPECT_EQ(done, 2) << "no second callback later";
}

TEST_F(SoundQt, WithoutAnAudioDeviceTheAlarmIsSilentAtOnce) {
    if (haveAudioDevice()) GTEST_SKIP() << "this machine has a sound device";
    QtSound sound;
    int done = 0;
    sound.play(WENDRA_ALARM_FILE, [&] { ++done; });
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(sound.isPlaying());
}

TEST_F(SoundQt, TheAlarmEndsAndCallsBackOnce) {
    for (const QtSoundOptions& options : {QtSoundOptions{}, kDriven}) {
        QtSound sound(options);
        int done = 0;
        sound.play(WENDRA_ALARM_FILE, [&] { ++done; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done > 0; }, kWaitMs));
        EXPECT_FALSE(sound.isPlaying());
        QTest::qWait(100);
        EXPECT_EQ(done, 1);

        // The player is ready for the next alarm.
        sound.play(WENDRA_ALARM_FILE, [&] { ++done; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done > 1; }, kWaitMs));
        EXPECT_EQ(done, 2);
    }
}

TEST_F(SoundQt, AFileThatIsNoSoundCallsBackFromTheLoop) {
    const auto bad = dir_ / "QVRAlarm.wav";
    std::ofstream(bad) << "this is not a wave file";
    QtSound sound(kDriven);
    int done = 0;
    sound.play(bad, [&] { ++done; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done > 0; }, 40000));
    EXPECT_FALSE(sound.isPlaying());
    EXPECT_EQ(done, 1);
}

TEST_F(SoundQt, StopEndsTheSoundAndLateSignalsAreIgnored) {
    QtSound sound(kDriven);
    int first = 0, second = 0;
    sound.play(WENDRA_ALARM_FILE, [&] { ++first; });
    ASSERT_TRUE(sound.isPlaying()) << "the end of a sound is never reported inside play()";
    sound.stop();
    EXPECT_EQ(first, 1);
    EXPECT_FALSE(sound.isPlaying());

    // What the first sound still reports must not end the second one.
    sound.play(WENDRA_ALARM_FILE, [&] { ++second; });
    sound.play(WENDRA_ALARM_FILE, [&] { ++second; });  // replaces the one going
    EXPECT_EQ(second, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second > 1; }, kWaitMs));
    QTest::qWait(200);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

TEST_F(SoundQt, ACallbackMayPlayAgainAndDestroyingDropsTheCallback) {
    auto sound = std::make_unique<QtSound>(kDriven);
    int done = 0;
    sound->play(WENDRA_ALARM_FILE, [&] {
        ++done;
        sound->play(WENDRA_ALARM_FILE, [&] { ++done; });
    });
    sound->stop();
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(sound->isPlaying()) << "the sound started from the callback is going";
    sound.reset();
    QTest::qWait(200);
    EXPECT_EQ(done, 1);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
