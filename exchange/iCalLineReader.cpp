#include "exchange/iCalLineReader.h"

#include <algorithm>

#include "exchange/Cp1252.h"

namespace wendra {

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}

iCalLineReader::iCalLineReader(std::string_view bytes) : bytes_(bytes) {
    if (bytes_.starts_with(kByteOrderMark)) {
        pos_ = kByteOrderMark.size();
        byteOrderMark_ = true;
    }
}

std::string_view iCalLineReader::peekRaw(std::size_t& following) const {
    std::size_t end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n') ++end;
    following = end;
    if (following < bytes_.size()) {
        if (bytes_[following] == '\r' && following + 1 < bytes_.size() && bytes_[following + 1] == '\n')
            following += 2;
        else
            following += 1;
    }
    return bytes_.substr(pos_, end - pos_);
}

bool iCalLineReader::appendRaw(std::string& raw, std::string_view piece) {
    // Counted in bytes of input; an upper-half Windows-1252 byte takes two or
    // three bytes of UTF-8, which may go a little past the bound but never
    // without one.
    const std::size_t room = kMaxLineBytes - raw.size();
    const bool fits = piece.size() <= room;
    raw.append(piece.substr(0, room));
    return fits;
}

std::optional<iCalLineReader::Line> iCalLineReader::next(int versionMajor) {
    if (atEnd()) return std::nullopt;
    Line line;
    std::string raw;
    std::size_t following = 0;
    line.overlong = !appendRaw(raw, peekRaw(following));
    pos_ = following;
    while (!atEnd()) {
        const std::string_view piece = peekRaw(following);
        if (piece.empty() || (piece.front() != ' ' && piece.front() != '\t')) break;
        pos_ = following;
        if (line.overlong) continue;
        line.overlong = !appendRaw(raw, versionMajor < 2 ? piece : piece.substr(1));
    }
    line.text = versionMajor >= 2 || byteOrderMark_ ? utf8OrCp1252ToUtf8(raw) : cp1252ToUtf8(raw);
    std::replace_if(line.text.begin(), line.text.end(), [](char c) { return c == '\t' || c == '\0'; }, ' ');
    return line;
}

}  // namespace wendra
