// The serial link over a real pseudo-terminal pair: the main window's port is the
// termios port, opened through the COM<n> folder of WENDRA_COM_DEVICES (the
// README's mapping), and the device peer on the other end sends its messages in
// chunks of random sizes and reads the zero-terminated replies.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <string>

#include "platform/serial/TtySerialPort.h"
#include "tests/exchange/peer/DeviceMessages.h"
#include "tests/exchange/peer/DevicePeer.h"
#include "tests/support/ComDevices.h"
#include "tests/support/LinkRig.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
using namespace std::chrono_literals;
namespace peer = wendra::peer;
using test::syncTimeReply;

namespace {

class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok()) << "no pseudo-terminal";
        ASSERT_TRUE(device.linkAs(links.path(), 5));
    }
    // The device sends, each chunk read by the program on its own, as its event
    // loop would: the port is polled after every write.
    void send(const std::string& message, std::size_t maxChunk) {
        peer::Chunking c;
        c.maxChunk = maxChunk;
        c.pause = 0us;
        c.afterChunk = [this] { port.poll(20ms); };
        ASSERT_TRUE(device.sendMessage(message, c));
        port.poll(20ms);
    }

    test::TempFolder links;
    test::ComDevices env{links.path()};
    TtySerialPort port;  // the program's own mapping: WENDRA_COM_DEVICES
    peer::DevicePeer device{42};
    test::LinkRig rig{port};
};

TEST_F(PtyLink, ChunkedMessagesAreAnsweredInOrderWithZeroTerminatedReplies) {
    frmMain& f = rig.start(5);
    ASSERT_TRUE(port.isOpen()) << port.lastError().description;
    EXPECT_EQ(rig.panel(), "COM5  (Open)");

    send(peer::syncTimeMessage("20260311T100500"), 9);
    EXPECT_EQ(device.receiveReply(2s), syncTimeReply("X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:300"));
    EXPECT_EQ(rig.panel(), frmMain::kTextSyncInProgress);

    // The list, an event and a confirmation, each answered with the next request in
    // turn; the clock after them is answered once.
    const auto requested = [](const std::optional<std::string>& block, const std::string& id) {
        return block && block->find("X-QVR-METHOD:REQUEST>\r\nBEGIN:VEVENT\r\nUID:" + id + "\r\n") != std::string::npos;
    };
    send(peer::syncDataMessage("dev-1", 40), 64);
    EXPECT_TRUE(requested(device.receiveReply(2s), "P-1"));
    send(peer::vcalMessage("P-1", "Dentist"), 3);
    EXPECT_TRUE(requested(device.receiveReply(2s), "P-2"));
    send(peer::confirmMessage("dev-1", "1", "P-4"), 200);
    EXPECT_TRUE(requested(device.receiveReply(2s), "P-3"));
    send(peer::syncTimeMessage("20260311T095950"), 1);
    EXPECT_EQ(device.receiveReply(2s), syncTimeReply("X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:-10"));
    EXPECT_FALSE(device.receiveReply(50ms).has_value());
    EXPECT_EQ(rig.copy("SyncData.txt"), peer::syncDataMessage("dev-1", 40));
    EXPECT_TRUE(f.commSend("BEGIN:QVR-EXPORT-END\r\nEND:QVR-EXPORT-END"));
    EXPECT_EQ(device.receiveReply(2s), "BEGIN:QVR-EXPORT-END\r\nEND:QVR-EXPORT-END");
}

TEST_F(PtyLink, ThePanelFollowsOpenErrorCloseAndReopen) {
    frmMain& f = rig.start(5);
    EXPECT_EQ(rig.panel(), "COM5  (Open)");
    EXPECT_EQ(rig.panelImage(), "imgCommOK");

    // COM6 has no device in the folder.
    rig.setCommPort(6);
    EXPECT_FALSE(f.openCommPort(true));
    EXPECT_EQ(rig.panel(), "COM6  (Error)");
    EXPECT_EQ(rig.panelImage(), "imgCommErr");
    ASSERT_EQ(rig.ui.messages.calls().size(), 1u);
    EXPECT_TRUE(rig.ui.messages.last().text.starts_with("Error opening serial communications port, COM6\r\n\r\n"
                                                         "Reported error=" +
                                                         (links / "COM6").string()))
        << rig.ui.messages.last().text;
    EXPECT_FALSE(f.commSend("A"));

    // Back to COM5 by a click on the panel, then a click that closes and reopens it.
    rig.setCommPort(5);
    rig.clickCommPanel();
    EXPECT_EQ(rig.panel(), "COM5  (Open)");
    rig.panelTexts.clear();
    rig.clickCommPanel();
    EXPECT_EQ(rig.panelTexts, (std::vector<std::string>{"Closing COM5...", "COM5  (Open)"}));
    ASSERT_TRUE(port.isOpen());

    send(peer::syncTimeMessage("20260311T100500"), 16);
    EXPECT_EQ(device.receiveReply(2s), syncTimeReply("X-QVR-SYNC-STATUS:OK\r\nX-QVR-TIME-DIFF:300"));
}

}  // namespace
