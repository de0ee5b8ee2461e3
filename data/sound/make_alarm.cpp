// Writes the alarm sound QVRAlarm.wav: a soft two-note chime, struck twice.
// 16-bit PCM, mono, 22050 Hz, about 1.5 seconds. Every note rises and falls
// smoothly, so the sound starts and ends without a click.
//
// Usage: wendra_make_alarm <output file>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kAttack = 0.012;   // seconds of raised-cosine rise
constexpr double kRelease = 0.040;  // seconds of raised-cosine fall at the note's end

struct Note {
    double start;     // seconds from the beginning
    double length;    // seconds
    double pitch;     // Hz
    double loudness;  // 0..1 of full scale
};

// A fifth apart (A5 then E6), the pair struck twice; loud enough to be heard,
// well below full scale so the overtone never clips.
constexpr Note kNotes[] = {
    {0.00, 0.30, 880.0, 0.45},
    {0.32, 0.40, 1318.5, 0.40},
    {0.80, 0.30, 880.0, 0.45},
    {1.12, 0.40, 1318.5, 0.40},
};
constexpr double kTotal = 1.60;

double raisedCosine(double x) { return 0.5 - 0.5 * std::cos(std::numbers::pi * x); }

double envelope(double t, double length) {
    double e = std::exp(-3.0 * t / length);  // a struck note fades as it sounds
    if (t < kAttack) e *= raisedCosine(t / kAttack);
    if (t > length - kRelease) e *= raisedCosine((length - t) / kRelease);
    return e;
}

std::vector<std::int16_t> render() {
    const auto frames = static_cast<std::size_t>(kTotal * kRate);
    std::vector<double> mix(frames, 0.0);
    for (const Note& n : kNotes) {
        const auto first = static_cast<std::size_t>(n.start * kRate);
        const auto count = static_cast<std::size_t>(n.length * kRate);
        for (std::size_t i = 0; i <= count && first + i < frames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double w = 2.0 * std::numbers::pi * n.pitch * t;
            // A quiet octave overtone makes it a chime rather than a test tone.
            mix[first + i] += n.loudness * envelope(t, n.length) * (0.85 * std::sin(w) + 0.15 * std::sin(2.0 * w));
        }
    }
    std::vector<std::int16_t> pcm(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        pcm[i] = static_cast<std::int16_t>(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32767.0));
    }
    return pcm;
}

// RIFF is little-endian whatever the machine is.
void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::string waveFile(const std::vector<std::int16_t>& pcm) {
    constexpr std::uint32_t kChannels = 1, kBits = 16;
    constexpr std::uint32_t kBlock = kChannels * kBits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * kBlock);
    std::string out;
    out += "RIFF";
    put32(out, 4 + (8 + 16) + (8 + dataBytes));
    out += "WAVE";
    out += "fmt ";
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, kChannels);
    put32(out, kRate);
    put32(out, kRate * kBlock);
    put16(out, kBlock);
    put16(out, kBits);
    out += "data";
    put32(out, dataBytes);
    for (std::int16_t s : pcm) put16(out, static_cast<std::uint16_t>(s));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    const std::string bytes = waveFile(render());
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
