// Desktop entries: the quoting of an Exec argument, the exact text of an entry, what
// cannot be written, and desktop-file-validate's verdict on awkward paths.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/process/Process.h"
#include "platform/shell/DesktopEntry.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace wendra::shell {
namespace {

namespace fs = std::filesystem;

struct QuoteCase {
    const char* argument;
    const char* expected;
};

TEST(DesktopEntry, AnExecArgumentIsQuotedOnlyWhereTheFormatReservesACharacter) {
    const QuoteCase cases[] = {
        {"/opt/WendraWin/WendraWin", "/opt/WendraWin/WendraWin"},
        {"/home/ann/My Programs/WendraWin", "\"/home/ann/My Programs/WendraWin\""},
        {"/home/ann/Wendra(win)/WendraWin", "\"/home/ann/Wendra(win)/WendraWin\""},
        {"/x/a\"b", "\"/x/a\\\"b\""},
        {"/x/$HOME", "\"/x/\\$HOME\""},
        {"/x/a`b", "\"/x/a\\`b\""},
        {"/x/a\\b", "\"/x/a\\\\b\""},
        {"/x/it's", "\"/x/it's\""},
        {"/x/a;b&c|d", "\"/x/a;b&c|d\""},
        {"/x/~ann/#1?*", "\"/x/~ann/#1?*\""},
        {"/x/50%", "/x/50%%"},
        {"/x/50% off", "\"/x/50%% off\""},
        {"/x/über", "/x/über"},
        {"", "\"\""},
    };
    for (const QuoteCase& c : cases) EXPECT_EQ(execArgument(c.argument), c.expected) << c.argument;
}

TEST(DesktopEntry, TheEntryTextWithABackslashWrittenTwiceOverInExec) {
    const Shortcut shortcut{"Wendra(win)", "/home/ann/My (old) Pro\\grams/WendraWin",
                            "/home/ann/My (old) Pro\\grams/icons/WendraWin.png"};
    EXPECT_EQ(desktopEntryText(shortcut),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.4\n"
              "Name=Wendra(win)\n"
              "Exec=\"/home/ann/My (old) Pro\\\\\\\\grams/WendraWin\"\n"
              "Icon=/home/ann/My (old) Pro\\\\grams/icons/WendraWin.png\n"
              "Terminal=false\n"
              "Categories=Office;Calendar;\n");
}

TEST(DesktopEntry, TextsThatAnEntryCannotHoldAreRefusedAndNothingIsWritten) {
    test::TempFolder dir;
    const Shortcut cases[] = {
        {"Wendra(win)", "/x/Wendra\nWin", "/x/i.png"},
        {"Wendra(win)", "/x/Wendra\tWin", "/x/i.png"},
        {"Wendra(win)", "/x/Wendra\xff", "/x/i.png"},
        {"Wendra(win)", "/x/WendraWin", "/x/i\r.png"},
        {"Wendra\x1b(win)", "/x/WendraWin", "/x/i.png"},
        {"", "/x/WendraWin", "/x/i.png"},
        {"Wendra(win)", "", "/x/i.png"},
    };
    for (const Shortcut& s : cases) {
        EXPECT_EQ(desktopEntryText(s), std::nullopt) << s.program;
        EXPECT_EQ(writeDesktopEntry(dir / "e.desktop", s), std::errc::invalid_argument);
    }
    EXPECT_FALSE(fs::exists(dir / "e.desktop"));
}

TEST(DesktopEntry, WritingMakesTheMissingFoldersAndRewritesTheSameBytes) {
    test::TempFolder dir;
    const fs::path file = dir / "data" / "applications" / "Brevant" / "Wendra(win).desktop";
    const Shortcut shortcut{"Wendra(win)", "/opt/w/WendraWin", "/opt/w/icons/WendraWin.png"};
    ASSERT_FALSE(writeDesktopEntry(file, shortcut));
    const std::string first = test::fileText(file);
    EXPECT_EQ(first, *desktopEntryText(shortcut));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_FALSE(writeDesktopEntry(file, shortcut));
    EXPECT_EQ(test::fileText(file), first);

    // A file where the folder should be.
    std::ofstream(dir / "Desktop") << "not a folder";
    EXPECT_TRUE(writeDesktopEntry(dir / "Desktop" / "Wendra(win).desktop", shortcut));
}

TEST(DesktopEntry, DesktopFileValidateAcceptsEntriesForAwkwardPaths) {
    const fs::path validator = "/usr/bin/desktop-file-validate";
    if (!fs::exists(validator)) GTEST_SKIP() << "desktop-file-validate is not installed";
    test::TempFolder dir;
    const char* folders[] = {
        "/home/ann/.local/lib/WendraWin",
        "/home/ann/My Programs/Wendra(win)",
        "/srv/a\"b/$c`d\\e",
        "/srv/50% 'off'; & more|<>~#?*",
        "/srv/Größe",
    };
    int n = 0;
    for (const char* folder : folders) {
        const fs::path file = dir / ("entry" + std::to_string(++n) + ".desktop");
        ASSERT_FALSE(writeDesktopEntry(file, Shortcut{"Wendra(win)", fs::path(folder) / "WendraWin",
                                                      fs::path(folder) / "icons" / "WendraWin.png"}));
        process::Command check{validator, {file.string()}};
        EXPECT_TRUE(process::SystemLauncher().run(check).succeeded()) << folder << "\n" << test::fileText(file);
    }
}

}  // namespace
}  // namespace wendra::shell
