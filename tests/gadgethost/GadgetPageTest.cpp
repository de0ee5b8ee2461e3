// The gadget page in the real browser engine, shown by the host over the gadget
// library and the store of the gadget's whole-program tests (make_gadget_store.cpp):
// what it asks the library for, and what each of its links does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/GadgetHostRig.h"

using wendra::test::GadgetHostRig;
namespace fs = std::filesystem;

namespace {

// A script expression: the link of the list whose address starts so, clicked.
std::string click(const std::string& href) {
    std::string quoted;
    for (const char c : href) quoted += c == '\'' ? std::string("\\'") : std::string(1, c);
    return "document.querySelector('#idTable a[href^=\"" + quoted + "\"]').click()";
}

const char* kDescriptions = "[...document.querySelectorAll('#idTable td:nth-child(2)')].map(t => t.textContent).join('|')";
// What the page asks the library for when it draws: days, rows, past events shown, top row.
const char* kAsked = "JSON.stringify([priorWarning, maxRows, expandPast, topRow])";

// A day from today as the list writes it, "12-Mar-26", or with its weekday as the
// countdown does ("Thu 12-Mar-26").
std::string listDay(int offset, const char* format = "%a %d-%b-%y") {
    const std::time_t now = std::time(nullptr);
    std::tm day = *std::localtime(&now);
    day.tm_mday += offset;
    std::mktime(&day);
    char text[32];
    std::strftime(text, sizeof text, format, &day);
    return text;
}
std::string tomorrow() { return listDay(1, "%d-%b-%y"); }

class GadgetPage : public ::testing::Test {
protected:
    // The user's settings name the prepared store's folder as the data and install folder.
    GadgetPage() {
        fs::create_directories(prog);
        EXPECT_EQ(std::system(("'" WENDRA_MAKE_GADGET_STORE "' '" + prog.string() + "' >/dev/null").c_str()), 0);
        writeSettings("");
    }
    void writeSettings(const std::string& more) {
        std::ofstream(rig.folder() / "config" / "WendraWin_A.ini")
            << "[Main]\nDataDir=" << prog.string() << "/\nInstallDir=" << prog.string() << "/\n" << more;
    }
    void start(const std::vector<std::string>& args) {
        ASSERT_TRUE(rig.start(args));
        drawn = rig.waitForDrawAfter(0);
        ASSERT_GT(drawn, 0) << rig.errors();
        // From now on only what the test does draws the list: the change of minute
        // would pass for any redrawing the test waits for.
        EXPECT_EQ(rig.eval("clearTimeout(minuteTimer)"), "undefined");
    }
    // Runs the expression and waits for the list it makes the page draw again.
    void andRedraw(const std::string& expression) {
        EXPECT_EQ(rig.eval(expression), "undefined") << expression;
        const int before = drawn;
        drawn = rig.waitForDrawAfter(before);
        ASSERT_GT(drawn, before) << expression << "\n" << rig.errors();
    }

    GadgetHostRig rig{WENDRA_GADGET_HOST, WENDRA_GADGET_LIBRARY};
    fs::path prog = rig.folder() / "prog";
    int drawn = 0;
};

TEST_F(GadgetPage, ListsPagesFoldsEditsAndStartsTheMainProgram) {
    // The main program the clock icon starts: it notes that it ran, and ends.
    std::ofstream(prog / "WendraWinVista") << "#!/bin/sh\ntouch \"$0.ran\"\n";
    fs::permissions(prog / "WendraWinVista", fs::perms::owner_all);
    start({"--prior-warning", "14"});
    EXPECT_EQ(rig.eval(kAsked), R"("[14,10,false,0]")");
    // Row 0 is the summary of the past events.
    EXPECT_EQ(rig.eval(kDescriptions),
              R"("Today's reminder|Dentist|Weekly review|Event 01|Event 02|Event 03|Event 04|Event 05|Event 06")");

    // The countdown of today's row: the quote the list turned shows as the text it is.
    EXPECT_EQ(rig.eval(click("javascript:showCountdown(")), "undefined");
    EXPECT_EQ(rig.eval("document.getElementById('countdown').hidden"), "false");
    EXPECT_EQ(rig.eval("document.getElementById('countdownDescription').textContent"), R"("Today`s reminder")");
    EXPECT_EQ(rig.eval("document.getElementById('countdownLeft').textContent"), R"("today")");
    EXPECT_EQ(rig.eval("document.getElementById('countdownWhen').textContent"), "\"" + listDay(0) + "\"");

    andRedraw(click("javascript:goForward"));
    EXPECT_EQ(rig.eval(kAsked), R"("[14,10,false,10]")");
    // The last page: the review's third week lies beyond the fourteen days.
    EXPECT_EQ(rig.eval(kDescriptions), R"("Weekly review|Event 07|Event 08|Event 09|Event 10|Event 11|Event 12")");
    // Its forward arrow turns to no empty page (the lookahead's answer comes before the redraw's).
    EXPECT_EQ(rig.eval("goForward()"), "undefined");
    andRedraw("draw()");
    EXPECT_EQ(rig.eval(kAsked), R"("[14,10,false,10]")");
    andRedraw(click("javascript:goBack"));
    EXPECT_EQ(rig.eval(kAsked), R"("[14,10,false,0]")");

    andRedraw(click("javascript:expandPastEvents"));
    EXPECT_EQ(rig.eval(kAsked), R"("[14,10,true,0]")");
    EXPECT_EQ(rig.eval("document.querySelectorAll('#idTable td[bgcolor=Red]').length"), "2");
    EXPECT_EQ(rig.eval("!!document.querySelector('#idTable img[src=\"shrink.ico\"]')"), "true");
    // Every icon the list names is there for the page.
    EXPECT_EQ(rig.eval("[...document.images].filter(i => !i.complete || i.naturalWidth === 0).length"), "0");

    // A description opens the editor on its occurrence, and the list is drawn again
    // after. The page's call is noted on its way; the library is handed no id, for
    // which it opens no window, as none could be closed here.
    EXPECT_EQ(rig.eval("(f => { window.edits = []; gadget.doEdit = (...a) => { edits.push(a.join('|')); f('', a[1], a[2]); }; })(gadget.doEdit)"),
              "undefined");
    andRedraw(click("javascript:editEvent('4'"));  // the dentist, tomorrow at 09:30
    EXPECT_EQ(rig.eval("edits.join()"), "\"4|" + tomorrow() + " 09:30|N\"");

    // The main program's end reaches the page as onDataChanged.
    andRedraw(click("javascript:startQVR"));
    EXPECT_TRUE(fs::exists(prog / "WendraWinVista.ran"));

    EXPECT_EQ(rig.eval(click("javascript:displayHelp")), "undefined");
    EXPECT_EQ(rig.eval("document.getElementById('help').hidden"), "false");
    EXPECT_EQ(rig.stop(), -1);  // still running until ended
}

TEST_F(GadgetPage, TheSettingsGiveThePriorWarningAndErrorsAreShown) {
    writeSettings("[Options]\nPriorWarning=21\n");
    start({});
    EXPECT_EQ(rig.eval(kAsked), R"("[21,10,false,0]")");
    // No main program in the install folder.
    EXPECT_EQ(rig.eval("startQVR()"), "undefined");
    const std::string error = "\"Error 53: File not found: " + (prog / "WendraWinVista").string() + "\"";
    EXPECT_EQ(rig.waitFor("document.getElementById('status').textContent", error), error);

    // The countdown's words and its date in the list's forms, against a fixed now
    // (Monday 3 March 2031, 12:00, unless the case names another).
    struct Case {
        const char* when;
        bool hasTime;
        const char* text;
        const char* date;
        const char* now = "2031,2,3,12,0,0";
    };
    for (const Case& c : {Case{"2031,2,5,14,30,0", true, "in 2 days 2 hours 30 minutes", "Wed 05-Mar-31 14:30"},
                          Case{"2031,2,3,13,0,0", true, "in 1 hour", "Mon 03-Mar-31 13:00"},
                          Case{"2031,2,3,12,0,30", true, "NOW", "Mon 03-Mar-31 12:00"},
                          Case{"2031,2,3,11,59,0", true, "1 minute ago", "Mon 03-Mar-31 11:59"},
                          // The list's row says 2h 00m: the changes of minute are counted.
                          Case{"2031,2,3,14,0,0", true, "in 2 hours", "Mon 03-Mar-31 14:00", "2031,2,3,12,0,30"},
                          Case{"2031,2,3,12,0,0", true, "NOW", "Mon 03-Mar-31 12:00", "2031,2,3,12,0,59"},
                          Case{"2031,2,3,0,0,0", false, "today", "Mon 03-Mar-31"},
                          Case{"2031,2,4,0,0,0", false, "tomorrow", "Tue 04-Mar-31"},
                          Case{"2031,11,1,0,0,0", false, "in 273 days", "Mon 01-Dec-31"},
                          Case{"2031,2,1,0,0,0", false, "2 days ago", "Sat 01-Mar-31"}}) {
        const std::string when = std::string("new Date(") + c.when + "), " + (c.hasTime ? "true" : "false");
        EXPECT_EQ(rig.eval("countdownText(" + when + ", new Date(" + c.now + "))"), std::string("\"") + c.text + "\"")
            << c.when;
        EXPECT_EQ(rig.eval("whenText(" + when + ")"), std::string("\"") + c.date + "\"") << c.when;
    }
}

TEST_F(GadgetPage, WithoutItsLibraryThePageSaysWhy) {
    // A registration naming a library that is gone: the one beside the host serves.
    GadgetHostRig stale{WENDRA_GADGET_HOST, "/nonexistent/libWendraGadget.so"};
    ASSERT_TRUE(stale.start());
    EXPECT_GT(stale.waitForDrawAfter(0), 0) << stale.errors();
    EXPECT_EQ(stale.eval("document.getElementById('status').textContent"), R"("")") << stale.errors();
    stale.stop();

    // A host alone in its folder: no library loads, and the page says what mends it.
    wendra::test::TempFolder alone;
    const fs::path host = alone.path() / "WendraGadgetHost";
    fs::copy_file(WENDRA_GADGET_HOST, host);
    fs::copy(fs::path(WENDRA_GADGET_HOST).parent_path() / "gadget", alone.path() / "gadget", fs::copy_options::recursive);
    GadgetHostRig missing{host, "/nonexistent/libWendraGadget.so"};
    ASSERT_TRUE(missing.start({"--install"}));
    const std::string why = missing.waitFor(
        "(t => t.indexOf('/nonexistent/') > 0 && t.endsWith('Running WendraWinCreator again mends it.'))"
        "(document.getElementById('status').textContent)",
        "true");
    EXPECT_EQ(why, "true") << missing.errors();
    EXPECT_NE(missing.errors().find("The Wendra(win) gadget library could not be loaded"), std::string::npos);
    // --install made the session start the gadget at every login.
    const std::string entry =
        wendra::test::fileText(missing.folder() / "config" / "autostart" / "WendraGadgetHost.desktop");
    EXPECT_NE(entry.find("Exec=" + host.string() + "\n"), std::string::npos) << entry;

    EXPECT_EQ(rig.runToEnd({"--help"}), 0);
    EXPECT_EQ(rig.runToEnd({"--rows", "0"}), 2);
    EXPECT_NE(rig.errors().find("--rows takes a number"), std::string::npos);
}

}  // namespace
