#include "exchange/iCalLineReader.h"

#include <algorithm>

#include "exchange/Cp1252.h"

namespace wendra {

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

void iCalLineReader::appendClean(Line& line, std::string_view raw) {
    // Bytes decode one to one, so the room left is counted in bytes of input;
    // an upper-half byte takes two or three bytes of UTF-8, which may go a
    // little past the bound but never without one.
    const std::size_t room = line.text.size() < kMaxLineBytes ? kMaxLineBytes - line.text.size() : 0;
    if (raw.size() > room) {
        raw = raw.substr(0, room);
        line.overlong = true;
    }
    std::string piece = cp1252ToUtf8(raw);
    std::replace_if(piece.begin(), piece.end(), [](char c) { return c == '\t' || c == '\0'; }, ' ');
    line.text += piece;
}

std::optional<iCalLineReader::Line> iCalLineReader::next(int versionMajor) {
    if (atEnd()) return std::nullopt;
    Line line;
    std::size_t following = 0;
    appendClean(line, peekRaw(following));
    pos_ = following;
    while (!atEnd()) {
        const std::string_view raw = peekRaw(following);
        if (raw.empty() || (raw.front() != ' ' && raw.front() != '\t')) break;
        pos_ = following;
        if (line.overlong) continue;
        appendClean(line, versionMajor < 2 ? raw : raw.substr(1));
    }
    return line;
}

}  // namespace wendra
