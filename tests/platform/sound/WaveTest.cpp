#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/sound/Wave.h"

using wendra::readWaveInfo;
using wendra::WaveInfo;

namespace {

void put16(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
std::uint32_t get32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{static_cast<unsigned char>(s[at + i])} << (8 * i);
    return v;
}
std::int16_t sample(const std::string& s, std::size_t at) {
    const auto lo = static_cast<unsigned char>(s[at]), hi = static_cast<unsigned char>(s[at + 1]);
    return static_cast<std::int16_t>(lo | (hi << 8));
}

// The pieces of a wave file, so each case can spoil one of them.
struct WaveParts {
    std::uint16_t format = 1, channels = 2, blockAlign = 4, bits = 16;
    std::uint32_t rate = 8000, byteRate = 32000;
    std::string before;  // chunks before the format chunk
    std::string between;  // chunks between the format and data chunks
    std::uint32_t dataBytes = 8000;  // a quarter of a second
    bool dataFirst = false;

    std::string chunkFmt() const {
        std::string c = "fmt ";
        put32(c, 16);
        put16(c, format);
        put16(c, channels);
        put32(c, rate);
        put32(c, byteRate);
        put16(c, blockAlign);
        put16(c, bits);
        return c;
    }
    std::string chunkData() const {
        std::string c = "data";
        put32(c, dataBytes);
        c.append(dataBytes, '\0');
        return c;
    }
    std::string bytes() const {
        const std::string chunks = dataFirst ? chunkData() + chunkFmt() : chunkFmt() + between + chunkData();
        const std::string body = "WAVE" + before + chunks;
        std::string s = "RIFF";
        put32(s, static_cast<std::uint32_t>(body.size()));
        return s + body;
    }
};

std::optional<WaveInfo> parse(const std::string& bytes) {
    std::istringstream in(bytes);
    return readWaveInfo(in, bytes.size());
}

std::string chunk(const std::string& tag, const std::string& content) {
    std::string c = tag;
    put32(c, static_cast<std::uint32_t>(content.size()));
    c += content;
    if (content.size() % 2) c += '\0';
    return c;
}

}  // namespace

TEST(SoundWaveHeader, ReadsFormatAndLength) {
    const auto info = parse(WaveParts{}.bytes());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format, 1);
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->sampleRate, 8000u);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_EQ(info->frames(), 2000u);
    EXPECT_EQ(info->duration().count(), 250);
}

TEST(SoundWaveHeader, SkipsOtherChunksAndTheirPadding) {
    WaveParts w;
    w.before = chunk("LIST", "abc");  // odd length: one pad byte follows
    w.between = chunk("fact", "wxyz");
    const auto info = parse(w.bytes());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->dataBytes, 8000u);
}

TEST(SoundWaveHeader, RefusesWhatIsNoSoundOrDoesNotAddUp) {
    const std::string good = WaveParts{}.bytes();
    ASSERT_TRUE(parse(good));

    EXPECT_FALSE(parse(""));
    EXPECT_FALSE(parse("RIFF"));
    EXPECT_FALSE(parse(good.substr(0, 30))) << "cut inside the format chunk";
    EXPECT_FALSE(parse(good.substr(0, good.size() - 10))) << "cut inside the data";

    std::string notRiff = good;
    notRiff.replace(0, 4, "RIFX");
    EXPECT_FALSE(parse(notRiff));
    std::string notWave = good;
    notWave.replace(8, 4, "AVI ");
    EXPECT_FALSE(parse(notWave));

    std::string wrongSize = good;
    wrongSize[4] = static_cast<char>(wrongSize[4] + 2);
    EXPECT_FALSE(parse(wrongSize)) << "RIFF size and file size disagree";

    WaveParts w;
    w.blockAlign = 2;
    EXPECT_FALSE(parse(w.bytes())) << "block size not channels times sample size";
    w = {};
    w.byteRate = 16000;
    EXPECT_FALSE(parse(w.bytes())) << "byte rate not rate times block size";
    w = {};
    w.channels = 0;
    w.blockAlign = 0;
    w.byteRate = 0;
    EXPECT_FALSE(parse(w.bytes()));
    w = {};
    w.format = 2;  // ADPCM: not samples we can time
    EXPECT_FALSE(parse(w.bytes()));
    w = {};
    w.dataFirst = true;
    EXPECT_FALSE(parse(w.bytes())) << "data before its format";
    w = {};
    w.dataBytes = 7999;
    EXPECT_FALSE(parse(w.bytes())) << "half a frame";

    // A data chunk that claims more than the file holds.
    std::string longData = good;
    const auto at = longData.find("data") + 4;
    longData[at + 2] = 1;
    EXPECT_FALSE(parse(longData));
}

TEST(SoundWaveHeader, MissingFileGivesNothing) {
    EXPECT_FALSE(readWaveInfo(std::filesystem::path("/nonexistent/QVRAlarm.wav")));
}

// The alarm file that the build puts beside the programs.
TEST(SoundAlarmFile, IsAShortCleanMonoTone) {
    std::ifstream in(WENDRA_ALARM_FILE, std::ios::binary);
    ASSERT_TRUE(in) << WENDRA_ALARM_FILE;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(get32(bytes, 4) + 8, bytes.size());

    const auto info = readWaveInfo(std::filesystem::path(WENDRA_ALARM_FILE));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format, 1);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->sampleRate, 22050u);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_GE(info->duration().count(), 500);
    EXPECT_LT(info->duration().count(), 2000);

    // The samples are the last dataBytes of the file, as the generator writes no trailing chunk.
    ASSERT_EQ(bytes.size() - info->dataBytes, 44u);
    const std::size_t first = 44, count = info->dataBytes / 2;
    int peak = 0;
    for (std::size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(int{sample(bytes, first + 2 * i)}));
    EXPECT_GT(peak, 8000) << "loud enough to be heard";
    EXPECT_LT(peak, 32767) << "never clipped";
    // It fades in and out, so neither end clicks.
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_LT(std::abs(int{sample(bytes, first + 2 * i)}), 600) << "start, sample " << i;
        EXPECT_LT(std::abs(int{sample(bytes, first + 2 * (count - 1 - i))}), 600) << "end, sample " << i;
    }
}
