#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gadget/host/HostOptions.h"

using namespace wendra::gadgethost;

namespace {

TEST(HostOptions, TheLineOrTheDefaults) {
    struct Case {
        std::vector<std::string> args;
        int priorWarning;
        int rows;
        bool install;
    };
    const std::vector<Case> cases{
        {{}, 30, 10, false},
        {{"--prior-warning", "7"}, 7, 10, false},
        {{"--prior-warning=0", "--rows=-1"}, 0, -1, false},
        {{"--rows", "32767", "--install"}, 30, 32767, true},
        {{"--install", "--prior-warning", "32767", "--rows", "1"}, 32767, 1, true},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = parseHostOptions(c.args, 30);
        ASSERT_TRUE(parsed.options) << testing::PrintToString(c.args) << ": " << parsed.error;
        EXPECT_EQ(parsed.options->priorWarning, c.priorWarning) << testing::PrintToString(c.args);
        EXPECT_EQ(parsed.options->rows, c.rows) << testing::PrintToString(c.args);
        EXPECT_EQ(parsed.options->install, c.install) << testing::PrintToString(c.args);
    }
}

TEST(HostOptions, AWrongLineIsRefusedWithItsReason) {
    const std::vector<std::vector<std::string>> wrong{
        {"--rows", "0"},           {"--rows", "-2"},         {"--rows", "32768"},
        {"--rows"},                {"--prior-warning", "-1"}, {"--prior-warning", "7days"},
        {"--prior-warning="},      {"--install=yes"},         {"list.html"},
    };
    for (const auto& args : wrong) {
        const ParsedOptions parsed = parseHostOptions(args, 30);
        EXPECT_FALSE(parsed.options) << testing::PrintToString(args);
        EXPECT_FALSE(parsed.error.empty()) << testing::PrintToString(args);
    }
    const ParsedOptions help = parseHostOptions({"--rows", "5", "--help"}, 30);
    EXPECT_TRUE(help.help);
    EXPECT_FALSE(help.options);
}

}  // namespace
