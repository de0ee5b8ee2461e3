// The framer: whole messages out of the bytes however the line splits and joins
// them, end lines only where a line holds nothing else, a bounded buffer that
// recovers from junk, and a cancel that drops what came after it; and the copy
// each message leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "exchange/MessageFramer.h"
#include "exchange/MessageImport.h"
#include "tests/exchange/peer/DeviceMessages.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
namespace peer = wendra::peer;

namespace {

// A message as the framer hands it on: its text without the CR LF after its end line.
std::string cutText(std::string message) {
    while (!message.empty() && (message.back() == '\r' || message.back() == '\n')) message.pop_back();
    return message;
}

struct Sent {
    MessageKind kind;
    std::string text;
};

const std::array<Sent, 4> kSamples{{
    {MessageKind::SyncTime, peer::syncTimeMessage("20260311T100500")},
    {MessageKind::SyncData, peer::syncDataMessage("dev-1", 3)},
    {MessageKind::Confirm, peer::confirmMessage("dev-1", "12", "P-7")},
    {MessageKind::VCalendar, peer::vcalMessage("P-9", "Dentist")},
}};

// Every message the reads give, taken after each read as the receive path does.
std::vector<FramedMessage> feed(MessageFramer& framer, const std::vector<std::string>& reads) {
    std::vector<FramedMessage> out;
    for (const auto& r : reads) {
        framer.append(r);
        while (auto m = framer.next()) out.push_back(std::move(*m));
    }
    return out;
}

std::vector<std::string> chunks(const std::string& bytes, std::size_t maxChunk, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> size(1, maxChunk);
    std::vector<std::string> out;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min(size(random), bytes.size() - at);
        out.push_back(bytes.substr(at, n));
        at += n;
    }
    return out;
}

void expectMessages(const std::vector<FramedMessage>& got, const std::vector<const Sent*>& sent,
                    const std::string& label) {
    ASSERT_EQ(got.size(), sent.size()) << label;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(got[i].kind, sent[i]->kind) << label << " #" << i;
        EXPECT_EQ(got[i].text, cutText(sent[i]->text)) << label << " #" << i;
    }
}

// ---- splits and joins ------------------------------------------------------------------------------

TEST(Framer, AMessageInPiecesComesOutOnceAsSoonAsItsEndLineIsComplete) {
    for (const Sent& s : kSamples) {
        const std::size_t endLineDone = s.text.size() - 2;  // before its CR LF
        for (std::size_t maxChunk : {1u, 7u, 64u, 4096u}) {
            MessageFramer framer;
            std::vector<FramedMessage> got;
            std::size_t sent = 0;
            for (const auto& piece : chunks(s.text, maxChunk, static_cast<unsigned>(maxChunk))) {
                framer.append(piece);
                sent += piece.size();
                while (auto m = framer.next()) got.push_back(std::move(*m));
                EXPECT_EQ(got.size(), sent >= endLineDone ? 1u : 0u) << s.text << " after " << sent;
            }
            expectMessages(got, {&s}, "chunks of " + std::to_string(maxChunk));
        }
    }
    // Split in two anywhere, the end line too.
    const Sent& s = kSamples[0];
    for (std::size_t at = 0; at <= s.text.size(); ++at) {
        MessageFramer framer;
        expectMessages(feed(framer, {s.text.substr(0, at), s.text.substr(at)}), {&s}, "split at " + std::to_string(at));
    }
}

TEST(Framer, MessagesInOneReadComeOutEachOnceInTheirOrderWhateverTheirKindsAndWhatLiesBetween) {
    // Every order of two and of three kinds: the message that ends first comes
    // first, whatever the order the kinds are listed in. Zero bytes and blank
    // lines between them stay out of them.
    std::array<int, 4> order{0, 1, 2, 3};
    do {
        for (std::size_t count : {2u, 3u}) {
            std::string read = std::string("\0\r\n", 3);
            std::vector<const Sent*> sent;
            std::string label;
            for (std::size_t i = 0; i < count; ++i) {
                const Sent& s = kSamples[static_cast<std::size_t>(order[i])];
                read += s.text + std::string("\0\0\r\n", 4);
                sent.push_back(&s);
                label += std::to_string(order[i]);
            }
            MessageFramer framer;
            expectMessages(feed(framer, {read}), sent, "order " + label);
            MessageFramer bytewise;
            expectMessages(feed(bytewise, chunks(read, 1, 0)), sent, "bytewise " + label);
        }
    } while (std::next_permutation(order.begin(), order.end()));
}

// ---- where an end line counts ---------------------------------------------------------------------------

TEST(Framer, AnEndLineCountsOnlyAsALineOfItsOwnWithTheExactText) {
    struct Case {
        const char* line;  // one line of an event, then the event's real end
        bool cuts;         // whether the line itself ends a message
    };
    const Case cases[] = {
        {"SUMMARY:END:VCALENDAR", false},
        {"DESCRIPTION:meet\\nEND:VCALENDAR\\nthere", false},
        {" END:VCALENDAR", false},  // a folded line's continuation
        {"END:VCALENDARS", false},
        {"END:VCALENDAR ", true},  // blanks and tabs after the marker
        {"X-KSP-END:CONFIRM \t ", true},
        {"end:vcalendar", false},
        {"XX-KSP-END:SYNC-DATA", false},
        {"END:VCALENDAR", true},
        {"X-KSP-END:CONFIRM", true},
    };
    for (const auto& c : cases) {
        const std::string text =
            "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + std::string(c.line) + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        MessageFramer framer;
        const auto got = feed(framer, chunks(text, 5, 1));
        ASSERT_EQ(got.size(), c.cuts ? 2u : 1u) << c.line;
        if (!c.cuts) {
            EXPECT_EQ(got[0].text, cutText(text)) << c.line;
        }
    }
    // After CR, LF or a zero byte, and before any of them or the end of what came.
    for (const std::string& before : {std::string("\r"), std::string("\n"), std::string(1, '\0')}) {
        for (const std::string& after : {std::string("\r"), std::string(1, '\0'), std::string()}) {
            MessageFramer framer;
            const auto got = feed(framer, {"X-KSP-BEGIN:SYNC-TIME" + before + "X-KSP-END:SYNC-TIME" + after});
            ASSERT_EQ(got.size(), 1u);
            EXPECT_EQ(got[0].text, "X-KSP-BEGIN:SYNC-TIME" + before + "X-KSP-END:SYNC-TIME");
        }
    }
    // An end line taken at the end of one read is over: what the next read adds to
    // that line makes no end line of it.
    MessageFramer framer;
    const auto got = feed(framer, {"BEGIN:VCALENDAR\r\nEND:VCALENDAR", "X-KSP-END:SYNC-TIME\r\n", "END:VCALENDAR\r\n"});
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].text, "X-KSP-END:SYNC-TIME\r\nEND:VCALENDAR");
}

// ---- size and junk ---------------------------------------------------------------------------------------

TEST(Framer, AListOf100000EventsComesOutWhole) {
    const std::string list = peer::syncDataMessage("dev-1", 100000);
    ASSERT_GT(list.size(), 3'000'000u);
    MessageFramer framer;
    const auto got = feed(framer, chunks(list, 1 << 16, 3));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].text.size(), cutText(list).size());
    EXPECT_EQ(framer.droppedBytes(), 0u);
}

// A framer of 1 MiB shows how any bound behaves, in a test of a few megabytes.
TEST(Framer, A40KBListComesOutWholeAfterAnyJunkAndTheBufferStaysBounded) {
    constexpr std::size_t kLimit = std::size_t{1} << 20;
    std::string lines;
    while (lines.size() < 2'000'000) lines += "JUNK 0123456789 END:VCALENDAR and more of it\r\n";
    struct Case {
        const char* label;
        std::string junk;
        std::size_t maxRead;
    };
    const Case cases[] = {
        {"no junk", "", 1000},
        {"lines, one read", lines, lines.size() * 2},
        {"lines, 64 KB reads", lines, 65536},
        {"no line end, 64 KB reads", std::string(2'000'000, 'x'), 65536},
        {"no line end, one read", std::string(2'000'000, 'x'), 4'000'000},
    };
    const Sent list{MessageKind::SyncData, peer::syncDataMessage("dev-1", 1400)};
    ASSERT_GT(list.text.size(), 40'000u);
    for (const auto& c : cases) {
        MessageFramer framer(kLimit);
        std::size_t drops = 0, mostHeld = 0;
        framer.onDropped = [&](std::size_t) { ++drops; };
        std::vector<FramedMessage> got;
        const std::string all = c.junk + "\r\n" + list.text;
        for (std::size_t at = 0; at < all.size(); at += c.maxRead) {
            framer.append(std::string_view(all).substr(at, c.maxRead));
            mostHeld = std::max(mostHeld, framer.pendingBytes());
            while (auto m = framer.next()) got.push_back(std::move(*m));
        }
        ASSERT_EQ(got.size(), 1u) << c.label;
        EXPECT_TRUE(got[0].text.ends_with(cutText(list.text))) << c.label;
        EXPECT_LE(got[0].text.size(), kLimit + 64) << c.label;
        EXPECT_LE(mostHeld, kLimit) << c.label;
        if (c.junk.empty()) {
            EXPECT_EQ(framer.droppedBytes(), 0u);
        } else {
            EXPECT_GE(framer.droppedBytes(), c.junk.size() - kLimit) << c.label;
            EXPECT_GE(drops, 1u) << c.label;
            EXPECT_LE(drops, 8u) << c.label << ": dropped in large steps";
        }
        expectMessages(feed(framer, {kSamples[0].text}), {&kSamples[0]}, c.label);
    }
}

// ---- cancel -----------------------------------------------------------------------------------------------

TEST(Framer, ACancelDropsWhatCameWithItAfterItButNotWhatComesLater) {
    const std::string after = "X-KSP-BEGIN:SYNC-TIME\r\nX-KSP-VERSION:1.0\r\n" + kSamples[2].text;
    const Sent cancel{MessageKind::SyncCancel, peer::cancelMessage()};
    for (const std::string& tail : {std::string("\r\n") + after, std::string()}) {
        MessageFramer framer;
        std::string read = kSamples[0].text + cancel.text;
        if (tail.empty()) read = cutText(read);  // the cancel's end line last of all
        expectMessages(feed(framer, {read + tail}), {&kSamples[0], &cancel}, "with tail " + tail);
        EXPECT_EQ(framer.pendingBytes(), 0u);
        expectMessages(feed(framer, {"\r\n" + kSamples[3].text}), {&kSamples[3]}, "after the cancel");
    }
}

// ---- the copy ---------------------------------------------------------------------------------------------

TEST(MessageCopy, EachKindGoesToItsFileInPlaceOfTheOlderCopyAndAFolderThatCannotBeWrittenSaysSo) {
    test::TempFolder dir;
    const std::pair<MessageKind, const char*> files[] = {{MessageKind::SyncTime, "SyncTime.txt"},
                                                          {MessageKind::SyncData, "SyncData.txt"},
                                                          {MessageKind::Confirm, "KSPoConfirm.txt"},
                                                          {MessageKind::VCalendar, "KSPo.vcal"},
                                                          {MessageKind::SyncCancel, "SyncCancel.txt"}};
    for (const auto& [kind, name] : files) {
        const std::string bytes = "first \xE9\r\nEND";
        ASSERT_TRUE(extractToFile(dir / "sync", {kind, bytes + " longer than the second"})) << name;
        ASSERT_TRUE(extractToFile(dir / "sync", {kind, bytes})) << name;
        std::ifstream in(dir / "sync" / name, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes + "\r\n") << name;
    }
    std::ofstream(dir / "plain") << "a file, not a folder";
    EXPECT_FALSE(extractToFile(dir / "plain", {MessageKind::SyncTime, "x"}));
    EXPECT_FALSE(extractToFile({}, {MessageKind::SyncTime, "x"}));
}

}  // namespace
