#include "platform/sound/Wave.h"

#include <array>
#include <fstream>
#include <string_view>
#include <system_error>

namespace wendra {

namespace {

// A RIFF file is little-endian whatever the machine is.
template <std::size_t N>
std::uint32_t littleEndian(const std::array<unsigned char, N>& b, std::size_t at, std::size_t bytes) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

template <std::size_t N>
bool readExactly(std::istream& in, std::array<unsigned char, N>& b) {
    in.read(reinterpret_cast<char*>(b.data()), N);
    return in.gcount() == static_cast<std::streamsize>(N);
}

template <std::size_t N>
bool tagIs(const std::array<unsigned char, N>& b, std::size_t at, std::string_view tag) {
    for (std::size_t i = 0; i < 4; ++i)
        if (b[at + i] != static_cast<unsigned char>(tag[i])) return false;
    return true;
}

bool formatAgrees(const WaveInfo& w) {
    if (w.channels == 0 || w.sampleRate == 0 || w.bitsPerSample == 0) return false;
    if (w.blockAlign != w.channels * ((w.bitsPerSample + 7) / 8)) return false;
    return w.format == 1 || w.format == 3 || w.format == 0xFFFE;
}

}  // namespace

std::chrono::milliseconds WaveInfo::duration() const {
    if (sampleRate == 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(frames() * 1000 / sampleRate);
}

std::optional<WaveInfo> readWaveInfo(std::istream& in, std::uint64_t size) {
    std::array<unsigned char, 12> riff{};
    if (size < riff.size() || !readExactly(in, riff)) return std::nullopt;
    if (!tagIs(riff, 0, "RIFF") || !tagIs(riff, 8, "WAVE")) return std::nullopt;
    // The RIFF size counts everything after its own field; a writer may leave one pad byte off.
    const std::uint64_t riffEnd = std::uint64_t{littleEndian(riff, 4, 4)} + 8;
    if (riffEnd != size && riffEnd != size + 1) return std::nullopt;

    WaveInfo info;
    bool haveFormat = false;
    std::uint64_t at = riff.size();
    while (at + 8 <= size) {
        std::array<unsigned char, 8> chunk{};
        if (!readExactly(in, chunk)) return std::nullopt;
        const std::uint32_t length = littleEndian(chunk, 4, 4);
        at += 8;
        if (length > size - at) return std::nullopt;  // a chunk must lie inside the file
        if (tagIs(chunk, 0, "fmt ")) {
            std::array<unsigned char, 16> fmt{};
            if (length < fmt.size() || !readExactly(in, fmt)) return std::nullopt;
            info.format = static_cast<std::uint16_t>(littleEndian(fmt, 0, 2));
            info.channels = static_cast<std::uint16_t>(littleEndian(fmt, 2, 2));
            info.sampleRate = littleEndian(fmt, 4, 4);
            const std::uint32_t byteRate = littleEndian(fmt, 8, 4);
            info.blockAlign = static_cast<std::uint16_t>(littleEndian(fmt, 12, 2));
            info.bitsPerSample = static_cast<std::uint16_t>(littleEndian(fmt, 14, 2));
            if (!formatAgrees(info) || byteRate != std::uint64_t{info.sampleRate} * info.blockAlign)
                return std::nullopt;
            haveFormat = true;
            in.seekg(static_cast<std::streamoff>(length - fmt.size()), std::ios::cur);
        } else if (tagIs(chunk, 0, "data")) {
            if (!haveFormat || length % info.blockAlign != 0) return std::nullopt;
            info.dataBytes = length;
            return info;
        } else {
            in.seekg(static_cast<std::streamoff>(length), std::ios::cur);
        }
        if (!in) return std::nullopt;
        at += length + (length & 1);  // chunks are padded to an even size
        if (length & 1) in.seekg(1, std::ios::cur);
    }
    return std::nullopt;
}

std::optional<WaveInfo> readWaveInfo(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return readWaveInfo(in, size);
}

}  // namespace wendra
