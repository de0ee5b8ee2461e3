// The serial link of the main window with the port's double: the port state in
// panel 2 and its click, the receive path (every whole message in arrival order,
// one at a time, never one inside another), the cancel, the poll, the copies,
// the answer to the device's clock and sending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/serial/FakeSerialPort.h"
#include "tests/exchange/peer/DeviceMessages.h"
#include "tests/support/LinkRig.h"

using namespace wendra;
namespace peer = wendra::peer;
using test::syncTimeReply;

namespace {

constexpr const char* kOk300 = "X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:300";

class CommLink : public ::testing::Test {
protected:
    frmMain& start(int commPort = 3) { return rig.start(commPort); }
    // The device sends one message and the zero byte after it.
    void deliver(const std::string& text, bool raiseEvent = true) {
        ASSERT_TRUE(port.deliver(text + std::string(1, '\0'), raiseEvent));
    }
    static std::string sent(const std::string& text) { return text + std::string(1, '\0'); }

    FakeSerialPort port;
    test::LinkRig rig{port};
};

// ---- the port and panel 2 ----------------------------------------------------------------------------------

TEST_F(CommLink, ThePanelShowsThePortAsItIsNotAsTheSettingWishes) {
    struct Case {
        int setting;
        bool opens;
        const char* text;
        const char* image;
    };
    const Case cases[] = {
        {3, true, "COM3  (Open)", "imgCommOK"},
        {-1, true, "COM: None", ""},
        {0, true, "COM: None", ""},        // port 0 is never opened
        {7, false, "COM7  (Error)", "imgCommErr"},  // and a later look does not call it open
    };
    for (const auto& c : cases) {
        FakeSerialPort p;
        if (!c.opens) p.failOpen(c.setting, SerialError{2, "No such file or directory"});
        test::LinkRig r(p);
        frmMain& f = r.start(c.setting);
        EXPECT_EQ(r.panel(), c.text) << c.setting;
        EXPECT_EQ(r.panelImage(), c.image) << c.setting;
        EXPECT_EQ(p.isOpen(), c.setting >= 1 && c.opens) << c.setting;
        f.showCommStatus();
        EXPECT_EQ(r.panel(), c.text) << c.setting << " looked at again";
        EXPECT_TRUE(r.ui.messages.calls().empty()) << "the start-up opens without a message";
    }
}

TEST_F(CommLink, ClickingPanelTwoClosesAndReopensThePortAndPanelOneDoesNothing) {
    frmMain& f = start(3);
    ASSERT_EQ(port.opens(), std::vector<int>{3});
    rig.panelTexts.clear();
    std::vector<std::string> imagesWhileClosing;
    const auto watch = f.StatusBar1.subscribe([&] {
        if (rig.panel().starts_with("Closing")) imagesWhileClosing.push_back(rig.panelImage());
    });

    EXPECT_TRUE(f.StatusBar1.click(1));
    EXPECT_EQ(port.opens(), std::vector<int>{3});
    EXPECT_TRUE(f.StatusBar1.click(2));
    // The text stands until the window has had its turn to draw it; a second click
    // meanwhile changes nothing.
    EXPECT_EQ(rig.panel(), "Closing COM3...");
    EXPECT_EQ(f.mousePointer(), ui::MousePointer::Hourglass);
    f.StatusBar1.click(2);
    EXPECT_EQ(port.closeCount(), 0);
    rig.ui.timers.advance(frmMain::kClosePortDelayMs);
    EXPECT_EQ(rig.panelTexts, (std::vector<std::string>{"Closing COM3...", "COM3  (Open)"}));
    EXPECT_FALSE(imagesWhileClosing.empty());
    for (const auto& image : imagesWhileClosing) EXPECT_EQ(image, "imgCommErr");
    EXPECT_EQ(port.closeCount(), 1);
    EXPECT_EQ(port.opens(), (std::vector<int>{3, 3}));
    EXPECT_EQ(f.mousePointer(), ui::MousePointer::Default);

    // The line fails now: the click shows it, quietly.
    port.failOpen(3, SerialError{16, "Port already open"});
    rig.clickCommPanel();
    EXPECT_EQ(rig.panel(), "COM3  (Error)");
    EXPECT_FALSE(port.isOpen());
    // With no port open the click only tries again.
    rig.panelTexts.clear();
    rig.clickCommPanel();
    EXPECT_EQ(rig.panelTexts, std::vector<std::string>{});
    EXPECT_EQ(port.closeCount(), 2);
    EXPECT_TRUE(rig.ui.messages.calls().empty());
}

// ---- receiving ---------------------------------------------------------------------------------------------------

TEST_F(CommLink, EveryMessageOfOneReadIsHandledOnceInTheOrderItCame) {
    start();
    // A confirmation before any other message finds a reader all the same.
    deliver(peer::confirmMessage("dev-1", "11", "P-6"));
    EXPECT_NE(rig.form->messageImport().moImport(), nullptr);
    // A confirmation and a clock in one read: the confirmation used to go into the
    // clock's copy, and be lost.
    const std::string confirm = peer::confirmMessage("dev-1", "12", "P-7");
    const std::string early = peer::syncTimeMessage("20260311T100500");
    const std::string event = peer::vcalMessage("P-9", "Dentist");
    const std::string late = peer::syncTimeMessage("20260311T095950");
    ASSERT_TRUE(port.deliver(sent(confirm) + sent(early) + sent(event) + sent(late)));

    EXPECT_EQ(port.writes(), (std::vector<std::string>{
                                 sent(syncTimeReply(kOk300)),
                                 sent(syncTimeReply("X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:-10")),
                             }));
    EXPECT_EQ(rig.copy("KSPoConfirm.txt"), confirm);
    EXPECT_EQ(rig.copy("SyncTime.txt"), late);
    EXPECT_EQ(rig.copy("KSPo.vcal"), event);
    EXPECT_EQ(rig.panel(), frmMain::kTextSyncInProgress);
}

TEST_F(CommLink, AMessageInPiecesIsHandledWhenItsLastPieceCameAndIncomingDataShowsMeanwhile) {
    start();
    const std::string message = sent(peer::syncTimeMessage("20260311T100500"));
    const std::size_t endLineDone = message.find("X-KSP-END:SYNC-TIME") + 19;
    rig.panelTexts.clear();
    for (std::size_t at = 0; at < message.size(); at += 7) {
        ASSERT_TRUE(port.deliver(message.substr(at, 7)));
        EXPECT_EQ(port.writes().size(), at + 7 >= endLineDone ? 1u : 0u) << "after byte " << at + 7;
    }
    EXPECT_EQ(port.writes(), std::vector<std::string>{sent(syncTimeReply(kOk300))});
    // Each incomplete piece shows "Incoming data..." only while it is handled.
    ASSERT_GE(rig.panelTexts.size(), 3u);
    EXPECT_EQ(rig.panelTexts[0], frmMain::kTextIncomingData);
    EXPECT_EQ(rig.panelTexts[1], "COM3  (Open)");
    EXPECT_EQ(rig.panelTexts.back(), frmMain::kTextSyncInProgress);
}

TEST_F(CommLink, AReceiveInsideAMessagesHandlingWaitsUntilThatMessageIsDone) {
    frmMain& f = start();
    // The refused clock beeps half way through its handling; the device's next
    // message arrives right then and raises the receive event again.
    bool nested = false;
    rig.onBeep = [&] {
        if (nested) return;
        nested = true;
        deliver(peer::syncTimeMessage("20260311T100500"));
        EXPECT_TRUE(port.writes().empty()) << "the second message was handled inside the first";
    };
    deliver(peer::syncTimeMessage("20260311T100500", "2"));
    EXPECT_TRUE(nested);
    EXPECT_EQ(port.writes(), (std::vector<std::string>{sent(syncTimeReply("X-QVR-SYNC-STATUS:INCOMPATIBLE-VERSION")),
                                                        sent(syncTimeReply(kOk300))}));
    EXPECT_TRUE(f.frameError.visible());
}

TEST_F(CommLink, ACancelEndsTheExchangeAndTheRestOfItsReadAndSlowsThePoll) {
    frmMain& f = start();
    // An exchange under way: the first of two requests went out, the second waits.
    deliver(peer::syncDataMessage("dev-1", 2));
    ASSERT_EQ(port.writes().size(), 1u);
    ASSERT_NE(f.deviceSync(), nullptr);
    ASSERT_EQ(f.deviceSync()->session()->queue.size(), 1u);

    ASSERT_TRUE(port.deliver(sent(peer::syncTimeMessage("20260311T100500")) + sent(peer::cancelMessage()) +
                             sent(peer::syncTimeMessage("20260311T100100"))));
    EXPECT_EQ(port.writes().size(), 2u);
    EXPECT_EQ(port.writes().back(), sent(syncTimeReply(kOk300)));
    EXPECT_TRUE(f.deviceSync()->session()->queue.empty());
    EXPECT_FALSE(f.deviceSync()->sessionOpen());
    EXPECT_EQ(f.timerCheckComm1.interval(), frmMain::kPollAfterCancelMs);
    EXPECT_EQ(rig.panel(), "COM3  (Open)");
    EXPECT_EQ(rig.copy("SyncCancel.txt"), peer::cancelMessage());

    // The device starts again.
    deliver(peer::syncTimeMessage("20260311T100100"));
    EXPECT_EQ(port.writes().size(), 3u);
    EXPECT_EQ(f.timerCheckComm1.interval(), frmMain::kPollAfterReceiveMs);
}

TEST_F(CommLink, AFolderThatCannotTakeTheCopiesLosesNoMessage) {
    frmMain& f = start();
    std::ofstream(rig.dir / "file") << "not a folder";
    f.messageFolder = rig.dir / "file";
    deliver(peer::syncDataMessage("dev-1", 2));
    ASSERT_EQ(port.writes().size(), 1u);
    ASSERT_TRUE(port.deliver(sent(peer::syncTimeMessage("20260311T100500")) + sent(peer::cancelMessage())));
    EXPECT_EQ(port.writes().back(), sent(syncTimeReply(kOk300)));
    EXPECT_FALSE(f.deviceSync()->sessionOpen());
    EXPECT_EQ(f.timerCheckComm1.interval(), frmMain::kPollAfterCancelMs);
}

TEST_F(CommLink, MegabytesOfJunkCostNoMoreThanTheirBufferAndTheNextMessageIsAnswered) {
    start();
    const std::string junk(64 * 1024, 'j');
    for (std::size_t n = 0; n <= MessageFramer::kDefaultLimit; n += junk.size()) ASSERT_TRUE(port.deliver(junk));
    EXPECT_TRUE(port.writes().empty());
    EXPECT_EQ(rig.form->StatusBar1.text(1), frmMain::kTextMessageDropped) << "the user hears of it";
    deliver("\r\n" + peer::syncTimeMessage("20260311T100500"));
    EXPECT_EQ(port.writes(), std::vector<std::string>{sent(syncTimeReply(kOk300))});
    EXPECT_LE(rig.copy("SyncTime.txt").size(), MessageFramer::kDefaultLimit + 64);
}

TEST_F(CommLink, ThePollStartsWithTheFirstReceiveAndTakesWhatWaitsUnannounced) {
    frmMain& f = start();
    EXPECT_EQ(f.timerCheckComm1.interval(), 0);
    EXPECT_FALSE(f.timerCheckComm1.running());
    deliver(peer::syncTimeMessage("20260311T100500"), false);
    rig.ui.timers.advance(5000);
    EXPECT_TRUE(port.writes().empty()) << "no poll before the first receive event";

    port.deliver(std::string(1, '\0'));  // the first receive event: a stray zero byte
    EXPECT_EQ(port.writes().size(), 1u) << "what waited came with it";
    EXPECT_EQ(f.timerCheckComm1.interval(), frmMain::kPollAfterReceiveMs);
    deliver(peer::syncTimeMessage("20260311T100500"), false);
    rig.ui.timers.advance(999);
    EXPECT_EQ(port.writes().size(), 1u);
    rig.ui.timers.advance(1);
    EXPECT_EQ(port.writes().size(), 2u) << "the poll took it a second after the receive";
    EXPECT_TRUE(f.timerCheckComm1.running());
}

TEST_F(CommLink, TheDevicesClockAndVersionAreAnsweredAndARefusalIsToldAndBeeped) {
    struct Case {
        const char* time;
        const char* version;
        std::string status;
        const char* banner;  // nullptr: none
    };
    const Case cases[] = {
        {"20260311T101500", "1.0", "X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:900", nullptr},
        {"20260311T094459", "1", "X-QVR-SYNC-STATUS:INCOMPATIBLE-TIME",
         "The time difference between PC and remote sync device is too large. In order to sync successfully ensure "
         "the time on PC and sync device are approximately in line with each other. Maximum time difference allowed "
         "is 15 minutes."},
        {"20260311T100000", "2", "X-QVR-SYNC-STATUS:INCOMPATIBLE-VERSION",
         "Cannot sync with remote device. This version of Wendra(win) is incompatible with the version of Wendra(go) "
         "on the remote device."},
        {"20260311T100000", "", "X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:0", nullptr},
    };
    for (const auto& c : cases) {
        FakeSerialPort p;
        test::LinkRig r(p);
        frmMain& f = r.start(3);
        std::string message = peer::syncTimeMessage(c.time, c.version);
        if (*c.version == '\0') message = peer::lines({"X-KSP-BEGIN:SYNC-TIME", std::string("X-KSP-TIME:") + c.time,
                                                       "X-KSP-END:SYNC-TIME"});
        ASSERT_TRUE(p.deliver(sent(message)));
        EXPECT_EQ(p.writes(), std::vector<std::string>{sent(syncTimeReply(c.status))}) << c.time;
        EXPECT_EQ(r.beeps, c.banner ? 1 : 0) << c.time;
        EXPECT_EQ(f.frameError.visible(), c.banner != nullptr) << c.time;
        if (c.banner) {
            EXPECT_EQ(f.lblError.caption(), c.banner);
            EXPECT_EQ(r.panel(), "COM3  (Open)") << "a refusal shows the port again";
        }
    }
}

// ---- sending -------------------------------------------------------------------------------------------------------

TEST_F(CommLink, SendingEndsTheTextWithOneZeroByteAndEveryFailureIsAnswered) {
    frmMain& f = start();
    EXPECT_TRUE(f.commSend("BEGIN:QVR-EXPORT-END\r\nEND:QVR-EXPORT-END"));
    EXPECT_EQ(port.writes(), std::vector<std::string>{sent("BEGIN:QVR-EXPORT-END\r\nEND:QVR-EXPORT-END")});

    EXPECT_FALSE(f.commSend(std::string("A\0B", 3))) << "a zero byte inside would end it early";
    port.failWrites(true);
    EXPECT_FALSE(f.commSend("A"));
    port.failWrites(false);
    rig.setCommPort(-1);
    f.openCommPort(false);
    EXPECT_FALSE(f.commSend("A")) << "no port";
    EXPECT_EQ(port.writes().size(), 1u);
}

}  // namespace
