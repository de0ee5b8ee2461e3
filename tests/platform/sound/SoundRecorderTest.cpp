#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sound/SoundRecorder.h"

using wendra::SoundRecorder;

TEST(SoundRecorder, PlaysUntilTheTestFinishesIt) {
    SoundRecorder sound;
    int done = 0;
    sound.play("/x/QVRAlarm.wav", [&] { ++done; });
    EXPECT_TRUE(sound.isPlaying());
    EXPECT_EQ(done, 0);
    ASSERT_EQ(sound.plays().size(), 1u);
    EXPECT_EQ(sound.plays()[0], "/x/QVRAlarm.wav");

    EXPECT_TRUE(sound.finish());
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(sound.isPlaying());
    EXPECT_FALSE(sound.finish()) << "nothing left to finish";
    sound.stop();
    EXPECT_EQ(done, 1) << "a callback runs once only";
}

TEST(SoundRecorder, StopAndANewPlayEndTheSoundThatIsGoing) {
    SoundRecorder sound;
    std::vector<std::string> events;
    sound.play("a.wav", [&] { events.push_back("a done"); });
    sound.play("b.wav", [&] { events.push_back("b done"); });
    EXPECT_EQ(events, std::vector<std::string>{"a done"});
    EXPECT_TRUE(sound.isPlaying());
    sound.stop();
    EXPECT_EQ(events, (std::vector<std::string>{"a done", "b done"}));
    EXPECT_EQ(sound.stopCount(), 1);
    EXPECT_EQ(sound.plays().size(), 2u);
}

TEST(SoundRecorder, ACallbackMayStartTheNextSound) {
    SoundRecorder sound;
    int second = 0;
    sound.play("a.wav", [&] { sound.play("b.wav", [&] { ++second; }); });
    sound.finish();
    EXPECT_TRUE(sound.isPlaying()) << "b is going";
    EXPECT_EQ(second, 0);
    sound.finish();
    EXPECT_EQ(second, 1);
}

TEST(SoundRecorder, SilentCallsBackBeforePlayReturns) {
    SoundRecorder sound;
    sound.setSilent(true);
    bool playingDuringCallback = true;
    bool done = false;
    sound.play("a.wav", [&] {
        done = true;
        playingDuringCallback = sound.isPlaying();
    });
    EXPECT_TRUE(done);
    EXPECT_FALSE(playingDuringCallback);
    EXPECT_FALSE(sound.isPlaying());
    EXPECT_EQ(sound.plays().size(), 1u);
}
