// The gadget page in the real browser engine, shown by the host over the test
// double of the library: what it draws, and what each of its links does.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/FileText.h"
#include "tests/support/GadgetHostRig.h"

using wendra::test::GadgetHostRig;

namespace {

// The double's log: one line a call.
std::vector<std::string> calls(const std::filesystem::path& log) {
    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string lastCall(const std::filesystem::path& log) {
    const auto lines = calls(log);
    return lines.empty() ? "" : lines.back();
}

// A script expression: the link of the list whose address starts so, clicked.
std::string click(const std::string& href) {
    std::string quoted;
    for (const char c : href) quoted += c == '\'' ? std::string("\\'") : std::string(1, c);
    return "document.querySelector('#idTable a[href^=\"" + quoted + "\"]').click()";
}

const char* kDescriptions = "[...document.querySelectorAll('#idTable td:nth-child(2)')].map(t => t.textContent).join('|')";

class GadgetPage : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& args) {
        rig.setEnv("WENDRA_GADGET_DOUBLE_LOG", log.string());
        ASSERT_TRUE(rig.start(args));
        drawn = rig.waitForDrawAfter(0);
        ASSERT_GT(drawn, 0) << rig.errors();
    }
    // Runs the expression and waits for the list it makes the page draw again.
    void andRedraw(const std::string& expression) {
        EXPECT_EQ(rig.eval(expression), "undefined") << expression;
        const int before = drawn;
        drawn = rig.waitForDrawAfter(before);
        ASSERT_GT(drawn, before) << expression << "\n" << rig.errors();
    }

    GadgetHostRig rig{WENDRA_GADGET_HOST, WENDRA_GADGET_DOUBLE};
    std::filesystem::path log = rig.folder() / "calls.log";
    int drawn = 0;
};

TEST_F(GadgetPage, ListsPagesFoldsEditsAndStartsTheMainProgram) {
    start({"--prior-warning", "14"});
    EXPECT_EQ(calls(log).front(), "createHTML 14 10 fold 0");
    // Row 0 is the summary of the past events; its row is the red one.
    EXPECT_EQ(rig.eval(kDescriptions),
              R"("Event 1|Event 2|Tom's \"party\" \\ <b>loud</b>|Event 4|Event 5|Event 6|Event 7|Event 8|Event 9")");
    EXPECT_EQ(rig.eval("document.querySelector('#idTable td[bgcolor=red]').textContent"), R"("2 past events")");
    EXPECT_EQ(rig.eval("document.querySelector('#idTable b')"), "null");

    andRedraw(click("javascript:goForward"));
    EXPECT_EQ(lastCall(log), "createHTML 14 10 fold 10");
    EXPECT_EQ(rig.eval(kDescriptions),
              R"("Event 10|Event 11|Event 12|Event 13|Event 14|Event 15|Event 16|Event 17|Event 18|Event 19")");
    andRedraw(click("javascript:goBack"));
    EXPECT_EQ(lastCall(log), "createHTML 14 10 fold 0");

    andRedraw(click("javascript:expandPastEvents"));
    EXPECT_EQ(lastCall(log), "createHTML 14 10 expand 0");
    EXPECT_EQ(rig.eval("document.querySelectorAll('#idTable td[bgcolor=Red]').length"), "2");
    EXPECT_EQ(rig.eval("!!document.querySelector('#idTable img[src=\"shrink.ico\"]')"), "true");
    // Every icon the list names is there for the page.
    EXPECT_EQ(rig.eval("[...document.images].filter(i => !i.complete || i.naturalWidth === 0).length"), "0");

    // The countdown of the third row: the description shows as the text it is.
    EXPECT_EQ(rig.eval(click("javascript:showCountdown(2031,3,5,")), "undefined");
    EXPECT_EQ(rig.eval("document.getElementById('countdown').hidden"), "false");
    EXPECT_EQ(rig.eval("document.getElementById('countdownDescription').textContent"),
              R"("Tom`s `party` \\ <b>loud</b>")");
    EXPECT_EQ(rig.eval("document.querySelector('#countdown b')"), "null");
    EXPECT_EQ(rig.eval("/^in \\d+ days$/.test(document.getElementById('countdownLeft').textContent)"), "true");

    // A description opens the editor on its occurrence; the list is drawn again after.
    andRedraw(click("javascript:editEvent('4'"));
    EXPECT_EQ(calls(log).at(calls(log).size() - 2), "doEdit 4|06/03/31|Y");
    EXPECT_NE(rig.eval(kDescriptions).find("Event 4 (edited)"), std::string::npos);

    // The main program's saves reach the page as onDataChanged.
    andRedraw(click("javascript:startQVR"));
    EXPECT_EQ(calls(log).at(calls(log).size() - 2), "startQVR");

    EXPECT_EQ(rig.eval(click("javascript:displayHelp")), "undefined");
    EXPECT_EQ(rig.eval("document.getElementById('help').hidden"), "false");
    EXPECT_EQ(rig.stop(), -1);  // still running until ended
}

TEST_F(GadgetPage, TheSettingsGiveThePriorWarningAndErrorsAreShown) {
    std::ofstream(rig.folder() / "config" / "WendraWin_A.ini") << "[Options]\nPriorWarning=21\n";
    rig.setEnv("WENDRA_GADGET_DOUBLE_NO_PROGRAM", "1");
    start({});
    EXPECT_EQ(calls(log).front(), "createHTML 21 10 fold 0");
    EXPECT_EQ(rig.eval("startQVR()"), "undefined");
    EXPECT_EQ(rig.waitFor("document.getElementById('status').textContent", R"("Error 53: File not found")"),
              R"("Error 53: File not found")");

    // The countdown's words, against a fixed now (Monday 3 March 2031, 12:00).
    struct Case {
        const char* when;
        bool hasTime;
        const char* text;
    };
    for (const Case& c : {Case{"2031,2,5,14,30,0", true, "in 2 days 2 hours 30 minutes"},
                          Case{"2031,2,3,13,0,0", true, "in 1 hour"},
                          Case{"2031,2,3,12,0,30", true, "NOW"},
                          Case{"2031,2,3,11,59,0", true, "1 minute ago"},
                          Case{"2031,2,3,0,0,0", false, "today"},
                          Case{"2031,2,4,0,0,0", false, "tomorrow"},
                          Case{"2031,2,1,0,0,0", false, "2 days ago"}}) {
        EXPECT_EQ(rig.eval(std::string("countdownText(new Date(") + c.when + "), " + (c.hasTime ? "true" : "false") +
                           ", new Date(2031,2,3,12,0,0))"),
                  std::string("\"") + c.text + "\"")
            << c.when;
    }
}

TEST_F(GadgetPage, WithoutItsLibraryThePageSaysWhy) {
    GadgetHostRig missing{WENDRA_GADGET_HOST, "/nonexistent/libWendraGadget.so"};
    ASSERT_TRUE(missing.start({"--install"}));
    const std::string why = missing.waitFor("document.getElementById('status').textContent.indexOf('/nonexistent/') > 0",
                                            "true");
    EXPECT_EQ(why, "true") << missing.errors();
    EXPECT_NE(missing.errors().find("The Wendra(win) gadget library could not be loaded"), std::string::npos);
    // --install made the session start the gadget at every login.
    const std::string entry =
        wendra::test::fileText(missing.folder() / "config" / "autostart" / "WendraGadgetHost.desktop");
    EXPECT_NE(entry.find("Exec=" + std::filesystem::path(WENDRA_GADGET_HOST).string() + "\n"), std::string::npos)
        << entry;

    EXPECT_EQ(rig.runToEnd({"--help"}), 0);
    EXPECT_EQ(rig.runToEnd({"--rows", "0"}), 2);
    EXPECT_NE(rig.errors().find("--rows takes a number"), std::string::npos);
}

}  // namespace
