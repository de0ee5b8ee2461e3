#include "exchange/MessageFramer.h"

#include <algorithm>

#include "exchange/ExchangeTexts.h"

namespace wendra {

namespace {

const std::array<MessageMarker, 5> kMarkers{{
    {MessageKind::SyncTime, texts::kEndSyncTime, texts::kFileSyncTime},
    {MessageKind::SyncData, texts::kEndSyncData, texts::kFileSyncData},
    {MessageKind::Confirm, texts::kEndConfirm, texts::kFileConfirm},
    {MessageKind::VCalendar, texts::kEndVCalendar, texts::kFileVCalendar},
    {MessageKind::SyncCancel, texts::kEndSyncCancel, texts::kFileSyncCancel},
}};

// A line ends at CR, LF or NUL; the device puts a NUL after a message too.
bool endsLine(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// The first line end at or after i, or n. The test on the byte's value first
// keeps the common case (printable text) to one comparison.
std::size_t findLineEnd(const char* data, std::size_t i, std::size_t n) {
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c <= '\r' && endsLine(static_cast<char>(c))) return i;
    }
    return n;
}

}  // namespace

const std::array<MessageMarker, 5>& messageMarkers() { return kMarkers; }

const MessageMarker& markerOf(MessageKind kind) {
    for (const auto& m : kMarkers)
        if (m.kind == kind) return m;
    return kMarkers.front();  // not reached: every kind has its marker
}

MessageFramer::MessageFramer(std::size_t limit) : limit_(std::max<std::size_t>(limit, 64)) {}

void MessageFramer::append(std::string_view bytes) {
    if (bytes.empty()) return;
    const std::size_t from = buffer_.size();
    buffer_.append(bytes);
    scan(from);
    if (pendingBytes() > limit_) shed(buffer_.size());
    compact();
}

std::optional<FramedMessage> MessageFramer::next() {
    if (ready_.empty()) return std::nullopt;
    FramedMessage m = std::move(ready_.front());
    ready_.pop_front();
    return m;
}

void MessageFramer::scan(std::size_t from) {
    const char* data = buffer_.data();
    const std::size_t n = buffer_.size();
    std::size_t i = from;
    while (i < n) {
        const std::size_t t = findLineEnd(data, i, n);
        if (t == n) break;
        if (!midLine_) {
            if (const auto kind = endLineAt(lineStart_, t)) {
                cut(*kind, t);
                if (*kind == MessageKind::SyncCancel) return discardAll();
            }
        }
        midLine_ = false;
        lineStart_ = t + 1;
        if (lineStart_ - head_ > limit_) shed(lineStart_);
        i = t + 1;
    }
    // The last line, with no line end yet: an end line here is taken now, and
    // whatever comes next continues its line.
    if (!midLine_ && lineStart_ < n) {
        if (const auto kind = endLineAt(lineStart_, n)) {
            cut(*kind, n);
            lineStart_ = n;
            midLine_ = true;
            if (*kind == MessageKind::SyncCancel) discardAll();
        }
    }
}

std::optional<MessageKind> MessageFramer::endLineAt(std::size_t start, std::size_t end) const {
    std::string_view line(buffer_.data() + start, end - start);
    // Blanks and tabs after the marker are no text of the line: the reader passes
    // over them too, and a message whose end line had one would run into the next.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    for (const auto& m : kMarkers)
        if (line == m.endLine) return m.kind;
    return std::nullopt;
}

void MessageFramer::cut(MessageKind kind, std::size_t end) {
    std::size_t start = head_;
    while (start < end && endsLine(buffer_[start])) ++start;
    ready_.push_back({kind, buffer_.substr(start, end - start)});
    head_ = end;
}

void MessageFramer::discardAll() {
    // The next bytes continue the last line discarded, unless it had ended.
    if (buffer_.size() > head_) midLine_ = !endsLine(buffer_.back());
    buffer_.clear();
    head_ = lineStart_ = 0;
}

void MessageFramer::shed(std::size_t upTo) {
    // Down to half the limit, so that junk streaming in is dropped in a few large
    // steps rather than a line at a time.
    const std::size_t target = upTo - limit_ / 2;
    std::size_t to = buffer_.size();
    for (std::size_t k = target - 1; k < lineStart_; ++k) {
        if (endsLine(buffer_[k])) {
            to = k + 1;
            break;
        }
    }
    if (to == buffer_.size()) {
        if (lineStart_ >= target) {
            to = lineStart_;
        } else {
            // One line longer than half the limit, still going: no end line can
            // be in it, so all of it goes, and what follows is still that line.
            lineStart_ = to;
            midLine_ = true;
        }
    }
    drop(to);
}

void MessageFramer::drop(std::size_t to) {
    const std::size_t n = to - head_;
    head_ = to;
    dropped_ += n;
    if (n > 0 && onDropped) onDropped(n);
}

void MessageFramer::compact() {
    if (head_ == 0) return;
    if (head_ < buffer_.size() && head_ < buffer_.size() / 2) return;
    buffer_.erase(0, head_);
    lineStart_ -= head_;
    head_ = 0;
}

std::string frameOutgoing(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 1);
    out.append(text);
    out.push_back('\0');
    return out;
}

}  // namespace wendra
