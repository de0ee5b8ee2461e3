#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/settings/IniDocument.h"

using namespace wendra::settings;

namespace {

const std::vector<std::string>& awkwardTexts() {
    static const std::vector<std::string> texts = {
        "",
        "plain",
        " leading",
        "trailing ",
        "  both  ",
        " ",
        "a=b=c",
        "=",
        "two\nlines",
        "crlf\r\nend\r\n",
        "\ttabbed\t",
        "back\\slash",
        "ends with a backslash\\",
        "\\n is not a line break here",
        "\\x41 is not an A",
        "[looks like a section]",
        "]",
        ";like a comment",
        "#like a comment",
        "mid;dle#marks",
        std::string("nul\0inside", 10),
        "\x01\x1f\x7f",
        "Caf\xC3\xA9 \xE2\x80\x99quoted\xE2\x80\x99",
        "C:/Program Files/WendraWin/",
    };
    return texts;
}

std::size_t lineCount(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

}  // namespace

TEST(SettingsIni, EveryAwkwardValueRoundTripsOnOneLine) {
    IniDocument doc;
    const auto& texts = awkwardTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) doc.set("Main", "k" + std::to_string(i), texts[i]);
    const std::string file = doc.render();
    EXPECT_EQ(lineCount(file), texts.size() + 1);  // the header and one line a key

    const IniDocument back = IniDocument::parse(file);
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(back.value("Main", "k" + std::to_string(i)), texts[i]) << i;
}

TEST(SettingsIni, AwkwardNamesRoundTripToo) {
    IniDocument doc;
    const auto& texts = awkwardTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].empty()) continue;
        doc.set(texts[i], texts[i], std::to_string(i));
    }
    const IniDocument back = IniDocument::parse(doc.render());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].empty()) continue;
        EXPECT_EQ(back.value(texts[i], texts[i]), std::to_string(i)) << i;
    }
}

TEST(SettingsIni, UnescapeKeepsWhatIsNoEscape) {
    EXPECT_EQ(unescapeIniText("a\\qb"), "a\\qb");
    EXPECT_EQ(unescapeIniText("\\x4"), "\\x4");
    EXPECT_EQ(unescapeIniText("\\xZZ"), "\\xZZ");
    EXPECT_EQ(unescapeIniText("end\\"), "end\\");
    EXPECT_EQ(unescapeIniText("\\x3d\\x3D"), "==");
    EXPECT_EQ(unescapeIniText("\\s\\t\\n\\r\\\\"), " \t\n\r\\");
}

TEST(SettingsIni, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    IniDocument doc;
    doc.set("View", "FontName", "Serif");
    doc.set("VIEW", "fontname", "Mono");
    EXPECT_EQ(doc.value("view", "FONTNAME"), "Mono");
    EXPECT_EQ(doc.sectionNames(), std::vector<std::string>{"View"});
    EXPECT_EQ(doc.keyNames("View"), std::vector<std::string>{"FontName"});
    EXPECT_EQ(doc.render(), "[View]\nFontName=Mono\n");
}

TEST(SettingsIni, ReadsHandWrittenFiles) {
    const IniDocument doc = IniDocument::parse(
        "\xEF\xBB\xBF; written by hand\r\n"
        "[Main]\r\n"
        "  Installed = True  \r\n"
        "\r\n"
        "# a comment\n"
        "[ View ]\n"
        "Date=1200\n"
        "Date=1300\n"
        "FontName=\n"
        "[Main]\n"
        "DataDir=/home/u/wendra\n");
    EXPECT_EQ(doc.value("Main", "Installed"), "True");
    EXPECT_EQ(doc.value("View", "Date"), "1300");  // the later line wins
    EXPECT_EQ(doc.value("View", "FontName"), "");  // present, empty
    EXPECT_EQ(doc.value("Main", "DataDir"), "/home/u/wendra");
    EXPECT_FALSE(doc.value("Main", "Missing"));
    EXPECT_FALSE(doc.value("Nowhere", "Installed"));
}

TEST(SettingsIni, DamagedLinesAreSkipped) {
    const IniDocument doc = IniDocument::parse(
        "orphan=before any section\n"
        "[Main]\n"
        "no equals sign here\n"
        "=no key\n"
        "Good=1\n"
        "[broken header\n"
        "Lost=under the damaged header\n"
        "[]\n"
        "AlsoLost=under an empty header\n"
        "[Options]\n"
        "PriorWarning=30\n"
        "\x01\x02garbage\xFF\n"
        "Tail=last line without a break");
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"Main", "Options"}));
    EXPECT_EQ(doc.keyNames("Main"), std::vector<std::string>{"Good"});
    EXPECT_EQ(doc.value("Options", "PriorWarning"), "30");
    EXPECT_EQ(doc.value("Options", "Tail"), "last line without a break");
    EXPECT_FALSE(doc.value("Main", "Lost"));
    EXPECT_FALSE(doc.value("Main", "AlsoLost"));
    // Every line above but the headers it kept and the three keys: eight.
    EXPECT_EQ(doc.droppedLines(), 8u);
}

TEST(SettingsIni, CountsWhatARewriteWouldDrop) {
    struct Case {
        const char* text;
        std::size_t dropped;
    };
    const Case cases[] = {
        {"", 0},
        {"\xEF\xBB\xBF[Main]\r\nA=1\r\n", 0},
        {"; note\n# note\n\n   \n[Main]\nA=1\n[Main]\nB=2\n", 0},
        {"[Main]\nA=1\nA=2\n", 1},
        {"A=1\n", 1},
        {"[Main]\njunk\n", 1},
        {"[Main\nA=1\nB=2\n", 3},
        {"[Main]\n=1\n", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(IniDocument::parse(c.text).droppedLines(), c.dropped) << c.text;
}

TEST(SettingsIni, AnyBytesParseAndSettleAfterOneRewrite) {
    std::mt19937 random(20240305);
    static const char bytes[] = "[]=\\;# \t\r\nabcAB01x\xC3\xA9\x00\x7f";
    const std::string alphabet(bytes, sizeof bytes - 1);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int size = static_cast<int>(random() % 200);
        for (int i = 0; i < size; ++i) text += alphabet[random() % alphabet.size()];
        const IniDocument first = IniDocument::parse(text);
        const std::string rendered = first.render();
        // What the program writes back reads as what it read.
        const IniDocument second = IniDocument::parse(rendered);
        ASSERT_EQ(second.render(), rendered) << round;
        // Nor does what it writes ever count as damaged (so no copy is kept of it).
        ASSERT_EQ(second.droppedLines(), 0u) << round;
        for (const auto& s : first.sectionNames())
            for (const auto& k : first.keyNames(s)) ASSERT_EQ(second.value(s, k), first.value(s, k)) << round;
    }
}

TEST(SettingsIni, EraseDropsEmptySections) {
    IniDocument doc;
    doc.set("Main", "A", "1");
    doc.set("Main", "B", "2");
    doc.set("View", "C", "3");
    EXPECT_TRUE(doc.erase("main", "a"));
    EXPECT_FALSE(doc.erase("Main", "A"));
    EXPECT_EQ(doc.value("Main", "B"), "2");
    EXPECT_TRUE(doc.erase("Main", "B"));
    EXPECT_EQ(doc.sectionNames(), std::vector<std::string>{"View"});
    EXPECT_TRUE(doc.eraseSection("VIEW"));
    EXPECT_FALSE(doc.eraseSection("View"));
    EXPECT_TRUE(doc.empty());
    EXPECT_EQ(doc.render(), "");
}
