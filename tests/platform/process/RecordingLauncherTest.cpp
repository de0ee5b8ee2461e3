// The recording launcher that other tests lean on: it must tell apart children run
// one after another from children left running together, and poll as scripted.
#include <gtest/gtest.h>

#include "platform/process/testing/RecordingLauncher.h"

namespace wendra::process::testing {
namespace {

using Kind = RecordingLauncher::Event::Kind;

TEST(RecordingLauncher, CountsChildrenRunningTogetherAndWritesDownEachEnd) {
    RecordingLauncher launcher;
    launcher.run(Command{"/a", {}});
    launcher.run(Command{"/b", {}});
    EXPECT_EQ(launcher.mostRunningAtOnce(), 1);

    Started c = launcher.start(Command{"/c", {}});
    Started d = launcher.start(Command{"/d", {}});
    EXPECT_EQ(launcher.mostRunningAtOnce(), 2);
    d.process->wait();
    c.process->wait();
    c.process->wait();  // a second wait ends nothing more

    std::vector<std::pair<Kind, std::string>> seen;
    for (const auto& e : launcher.events()) seen.emplace_back(e.kind, e.command.program.string());
    const std::vector<std::pair<Kind, std::string>> expected = {
        {Kind::Started, "/a"}, {Kind::Ended, "/a"}, {Kind::Started, "/b"}, {Kind::Ended, "/b"},
        {Kind::Started, "/c"}, {Kind::Started, "/d"}, {Kind::Ended, "/d"}, {Kind::Ended, "/c"},
    };
    EXPECT_EQ(seen, expected);
}

TEST(RecordingLauncher, AnswersAsScripted) {
    RecordingLauncher launcher([](const Command& c) {
        if (c.program == "/missing") return RecordingLauncher::Answer{0, "No such file or directory"};
        return RecordingLauncher::Answer{5, {}, 2};
    });
    const RunResult missing = launcher.run(Command{"/missing", {}});
    EXPECT_FALSE(missing.exitCode.has_value());
    EXPECT_EQ(missing.error, "No such file or directory");
    EXPECT_FALSE(launcher.startDetached(Command{"/missing", {}}).ok());

    Started s = launcher.start(Command{"/slow", {}});
    EXPECT_EQ(s.process->poll(), std::nullopt);
    EXPECT_EQ(s.process->poll(), std::nullopt);
    EXPECT_EQ(s.process->poll(), 5);
    EXPECT_TRUE(launcher.startDetached(Command{"/slow", {"x"}}).ok());
    ASSERT_EQ(launcher.detachedStarts().size(), 1u);
    EXPECT_EQ(launcher.detachedStarts()[0].arguments, std::vector<std::string>{"x"});
}

}  // namespace
}  // namespace wendra::process::testing
