#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/serial/FakeSerialPort.h"

using wendra::FakeSerialPort;

TEST(SerialFake, DeliversOnlyToAnOpenPort) {
    FakeSerialPort port;
    int events = 0;
    std::string seen;
    port.setReceiveHandler([&] {
        ++events;
        seen += port.readAll();
    });
    EXPECT_FALSE(port.deliver("lost"));
    ASSERT_TRUE(port.open(2));
    EXPECT_TRUE(port.deliver(std::string("a\0b", 3)));
    EXPECT_EQ(events, 1);
    EXPECT_EQ(seen, std::string("a\0b", 3));

    // Bytes that come without an event wait for the owner's poll.
    EXPECT_TRUE(port.deliver("later", false));
    EXPECT_EQ(events, 1);
    EXPECT_EQ(port.bytesWaiting(), 5u);
    port.close();
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.closeCount(), 1);
}

TEST(SerialFake, OpensAndWritesFailWhereTheTestSays) {
    FakeSerialPort port;
    port.failOpen(4, {ENOENT, "/dev/ttyS3: No such file or directory"});
    EXPECT_FALSE(port.open(4));
    EXPECT_EQ(port.portNumber(), 4);
    EXPECT_EQ(port.lastError().number, ENOENT);
    EXPECT_FALSE(port.open(0));
    EXPECT_FALSE(port.write("x")) << "not open";
    ASSERT_TRUE(port.open(1));
    EXPECT_EQ(port.opens(), (std::vector<int>{4, 0, 1}));

    EXPECT_TRUE(port.write(std::string("ok\0", 3)));
    port.failWrites(true);
    EXPECT_FALSE(port.write("no"));
    ASSERT_EQ(port.writes().size(), 1u);
    EXPECT_EQ(port.writes()[0], std::string("ok\0", 3));
}
