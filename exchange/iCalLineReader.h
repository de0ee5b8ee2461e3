#pragma once

// The lines of one message held in memory, as the calendar reader sees them:
// continuation lines (those that begin with a blank or a tab) joined to the
// line before, tabs and NUL characters made blanks, the text turned into
// UTF-8. A line ends at CR LF, LF or a lone CR. A UTF-8 byte-order mark at the
// start of the message is no part of its first line.
//
// Folding and code page follow the calendar's version, which the reader
// learns while it reads: below 2 (vCalendar 1.0, or no version read yet) a
// continuation keeps its leading blank and the text is the device's
// Windows-1252; from 2 on that blank is dropped and a line that is valid UTF-8
// is taken as UTF-8 (as is every such line after a byte-order mark), any other
// as Windows-1252. A line is decoded once it is joined, since a fold may cut a
// UTF-8 sequence, and folded when it is taken, so a VERSION line already rules
// the line after it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wendra {

class iCalLineReader {
public:
    // A joined line longer than this is cut there and marked `overlong`.
    static constexpr std::size_t kMaxLineBytes = 256 * 1024;

    struct Line {
        std::string text;
        bool overlong = false;
    };

    explicit iCalLineReader(std::string_view bytes);

    bool atEnd() const { return pos_ >= bytes_.size(); }
    // The next joined line; nullopt once the message is read.
    std::optional<Line> next(int versionMajor);

private:
    // The raw line at pos_ without its line end, and where the one after begins.
    std::string_view peekRaw(std::size_t& following) const;
    // Appends the raw bytes within the bound; false once the line is overlong.
    static bool appendRaw(std::string& raw, std::string_view piece);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool byteOrderMark_ = false;
};

}  // namespace wendra
