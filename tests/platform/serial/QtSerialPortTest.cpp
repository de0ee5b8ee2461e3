#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <string>

#include "platform/serial/QtSerialPort.h"
#include "tests/platform/serial/PseudoTerminal.h"

using serialtest::DeviceFolder;
using serialtest::PseudoTerminal;
using wendra::QtSerialPort;

namespace {

constexpr int kWaitMs = 2000;

class SerialQt : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok()) << "no pseudo-terminal";
        folder.link(3, device.terminal());
    }

    PseudoTerminal device;
    DeviceFolder folder;
};

}  // namespace

TEST_F(SerialQt, TheEventLoopRunsTheReceiveHandler) {
    QtSerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3)) << port.lastError().description;
    int events = 0;
    std::string seen;
    port.setReceiveHandler([&] {
        ++events;
        seen += port.readAll();
    });

    ASSERT_TRUE(device.send(std::string("BEGIN\0", 6)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 6; }, kWaitMs));
    EXPECT_EQ(seen, std::string("BEGIN\0", 6));
    const int afterFirst = events;
    EXPECT_GE(afterFirst, 1);

    ASSERT_TRUE(device.send("END"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 9; }, kWaitMs));
    EXPECT_GT(events, afterFirst);

    // The port answers on the same line.
    ASSERT_TRUE(port.write(std::string("ACK\0", 4)));
    EXPECT_EQ(device.receive(4), std::string("ACK\0", 4));
}

TEST_F(SerialQt, AHandlerThatReopensThePortKeepsReceiving) {
    QtSerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3));
    std::string seen;
    int reopened = 0;
    port.setReceiveHandler([&] {
        seen += port.readAll();
        if (reopened++ == 0) {
            port.close();
            ASSERT_TRUE(port.open(3));
        }
    });
    ASSERT_TRUE(device.send("one"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return reopened > 0; }, kWaitMs));
    EXPECT_TRUE(port.isOpen());

    ASSERT_TRUE(device.send("two"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen == "onetwo"; }, kWaitMs)) << seen;
}

TEST_F(SerialQt, AHungUpLineIsLeftAloneUntilReopened) {
    QtSerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3));
    int events = 0;
    port.setReceiveHandler([&] { ++events; });
    device.hangUp();
    QTest::qWait(200);
    EXPECT_EQ(events, 0) << "a hang-up is no data";
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(port.write("x"));

    // The owner's way back: a new line on the same port number.
    PseudoTerminal fresh;
    ASSERT_TRUE(fresh.ok());
    std::filesystem::remove(wendra::devicePath(3, folder.path()));
    folder.link(3, fresh.terminal());
    ASSERT_TRUE(port.open(3));
    ASSERT_TRUE(fresh.send("hi"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return events > 0; }, kWaitMs));
    EXPECT_EQ(port.readAll(), "hi");
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
