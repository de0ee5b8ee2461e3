#pragma once

// Bytes in, whole messages out: the device's messages cut from what the serial
// line delivers, however the line splits or joins them.
//
// A message ends with one of five end lines. An end line counts only where a
// line begins (at the very start, or after CR, LF or NUL) and only when the
// line holds nothing else but blanks or tabs after it: it is followed by CR, LF,
// NUL or, for now, nothing.
// So "END:VCALENDAR" inside a description never cuts an event in two, and of
// two messages in one read the one that ends first comes out first.
//
// The text held while a message is incomplete is bounded: beyond the limit the
// oldest text is dropped up to a line start (and reported), so a line that
// sends junk for ever costs memory once and recovers as soon as a good
// message follows. A message up to half the limit always survives junk before it.

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wendra {

enum class MessageKind { SyncTime, SyncData, Confirm, VCalendar, SyncCancel };

// One kind of message: the line that ends it and the file its copy goes to.
struct MessageMarker {
    MessageKind kind;
    std::string_view endLine;
    std::string_view fileName;
};

// The five kinds, in the order the exchange lists them.
const std::array<MessageMarker, 5>& messageMarkers();
const MessageMarker& markerOf(MessageKind kind);

struct FramedMessage {
    MessageKind kind;
    // From the first character of the message through the last of its end line.
    // The line ends (CR, LF, NUL) left over from the message before are not in it.
    std::string text;
};

class MessageFramer {
public:
    // A list of 100,000 events, with ids of some length, is a few megabytes.
    static constexpr std::size_t kDefaultLimit = std::size_t{16} << 20;

    explicit MessageFramer(std::size_t limit = kDefaultLimit);

    // Takes the bytes as they came and cuts every message they complete. A
    // cancel drops everything after it that had come with it: what follows a
    // cancel belongs to the exchange the device gave up.
    void append(std::string_view bytes);

    // The oldest message cut and not yet taken.
    std::optional<FramedMessage> next();
    bool hasMessage() const { return !ready_.empty(); }

    // The incomplete text held for the next bytes.
    std::size_t pendingBytes() const { return buffer_.size() - head_; }
    // Everything dropped for want of room since the framer was made.
    std::size_t droppedBytes() const { return dropped_; }

    // Runs after each drop with the number of bytes dropped.
    std::function<void(std::size_t bytes)> onDropped;

private:
    void scan(std::size_t from);
    // Whether buffer_[start, end) is a whole end line; its kind then.
    std::optional<MessageKind> endLineAt(std::size_t start, std::size_t end) const;
    void cut(MessageKind kind, std::size_t end);
    void discardAll();
    void shed(std::size_t upTo);
    void drop(std::size_t to);
    void compact();

    std::size_t limit_;
    std::string buffer_;
    std::size_t head_ = 0;       // where the incomplete message begins
    std::size_t lineStart_ = 0;  // where the line being read begins
    // The line being read did not begin at a line start (text before it was
    // dropped, or an end line stood right before it): it is no end line.
    bool midLine_ = false;
    std::size_t dropped_ = 0;
    std::deque<FramedMessage> ready_;
};

// The bytes that carry one text to the device: the text and one zero byte.
std::string frameOutgoing(std::string_view text);

}  // namespace wendra
