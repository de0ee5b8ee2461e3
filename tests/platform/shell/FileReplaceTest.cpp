// Files replaced in one step: whole content, the mode asked for whatever the umask,
// nothing left behind, a missing source touching nothing, and a program replaced
// while it runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/process/Process.h"
#include "platform/shell/FileReplace.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace wendra::shell {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_mode & 07777;
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }

private:
    mode_t old_;
};

TEST(FileReplace, TheNewContentAndModeArriveWholeAndNothingIsLeftBeside) {
    test::TempFolder dir;
    const ScopedUmask strict(077);
    const fs::path target = dir / "entry";
    std::ofstream(target) << "an older and much longer content than the new one\n";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const std::string binary("a\0b\nc", 5);

    ASSERT_FALSE(replaceFileWithText(target, binary, 0755));
    EXPECT_EQ(test::fileText(target), binary);
    EXPECT_EQ(modeOf(target), 0755u);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"entry"});

    const fs::path source = dir / "source";
    std::ofstream(source) << std::string(200000, 'x');  // more than one buffer
    ASSERT_FALSE(replaceFileWithCopy(source, target, 0644));
    EXPECT_EQ(test::fileText(target), test::fileText(source));
    EXPECT_EQ(modeOf(target), 0644u);
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"entry", "source"}));
}

TEST(FileReplace, WhatCannotBeCopiedLeavesTheTargetAsItWas) {
    test::TempFolder dir;
    const fs::path target = dir / "target";
    std::ofstream(target) << "kept";
    fs::create_directory(dir / "a-folder");

    EXPECT_EQ(replaceFileWithCopy(dir / "missing", target, 0755), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(replaceFileWithCopy(dir / "a-folder", target, 0755));
    EXPECT_EQ(test::fileText(target), "kept");
    EXPECT_TRUE(replaceFileWithText(dir / "no-folder" / "target", "x", 0644));
    EXPECT_FALSE(fs::exists(dir / "no-folder"));
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"a-folder", "target"}));
}

TEST(FileReplace, AProgramIsReplacedWhileItRuns) {
    test::TempFolder dir;
    const fs::path program = dir / "program";
    ASSERT_FALSE(replaceFileWithCopy("/bin/sleep", program, 0755));
    process::SystemLauncher launcher;
    process::Started running = launcher.start(process::Command{program, {"30"}});
    ASSERT_NE(running.process, nullptr) << running.error;
    // Writing into the running file is refused; this is what the rename gets round.
    const int fd = ::open(program.c_str(), O_WRONLY);
    EXPECT_LT(fd, 0);
    EXPECT_EQ(errno, ETXTBSY);
    if (fd >= 0) ::close(fd);

    EXPECT_FALSE(replaceFileWithCopy("/bin/true", program, 0755));
    EXPECT_EQ(test::fileText(program), test::fileText("/bin/true"));
    EXPECT_EQ(running.process->poll(), std::nullopt) << "the running copy goes on";
    ::kill(running.process->pid(), SIGTERM);
    EXPECT_EQ(running.process->wait(), 128 + SIGTERM);
    EXPECT_TRUE(launcher.run(process::Command{program, {}}).succeeded()) << "the new program runs";
}

}  // namespace
}  // namespace wendra::shell
