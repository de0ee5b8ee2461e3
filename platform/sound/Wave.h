#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>

namespace wendra {

// What the header of a RIFF wave file says about its sound.
struct WaveInfo {
    std::uint16_t format = 0;  // 1 PCM, 3 IEEE float, 0xFFFE extensible
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t blockAlign = 0;  // bytes of one frame, all channels
    std::uint32_t dataBytes = 0;   // size of the sample data

    std::uint64_t frames() const { return blockAlign ? dataBytes / blockAlign : 0; }
    std::chrono::milliseconds duration() const;
};

// Reads and checks the header of a wave file of `size` bytes: the RIFF and WAVE tags,
// a RIFF size that matches the file, a format chunk whose rates and block size agree,
// and a data chunk that lies inside the file. Unknown chunks are skipped. Anything
// else, or a stream that ends early, gives no value.
std::optional<WaveInfo> readWaveInfo(std::istream& in, std::uint64_t size);
std::optional<WaveInfo> readWaveInfo(const std::filesystem::path& file);

}  // namespace wendra
