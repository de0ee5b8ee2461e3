#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/settings/FileSettingsStore.h"
#include "platform/settings/MemorySettingsStore.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ChildProcess.h"

using namespace wendra::settings;
namespace fs = std::filesystem;

namespace {

constexpr const char* kApp = "WendraWin_A";

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

using wendra::test::ChildProcess;
using wendra::test::TempFolder;

}  // namespace

// ---- what both stores promise -------------------------------------------------

template <class Store>
class SettingsStoreContract : public ::testing::Test {
protected:
    std::unique_ptr<SettingsStore> make() {
        if constexpr (std::is_same_v<Store, FileSettingsStore>)
            return std::make_unique<FileSettingsStore>(folder.path());
        else
            return std::make_unique<MemorySettingsStore>();
    }
    TempFolder folder;
};

using StoreTypes = ::testing::Types<FileSettingsStore, MemorySettingsStore>;
TYPED_TEST_SUITE(SettingsStoreContract, StoreTypes);

TYPED_TEST(SettingsStoreContract, SavesReadsAndDeletes) {
    auto store = this->make();
    EXPECT_EQ(store->getSetting(kApp, "View", "Date", "-9"), "-9");
    EXPECT_FALSE(store->querySetting(kApp, "View", "Date"));

    ASSERT_TRUE(store->saveSetting(kApp, "View", "Date", "1200"));
    ASSERT_TRUE(store->saveSetting(kApp, "View", "Time", ""));
    ASSERT_TRUE(store->saveSetting(kApp, "Main", "Installed", "True"));
    EXPECT_EQ(store->getSetting(kApp, "view", "DATE", "-9"), "1200");
    EXPECT_EQ(store->getSetting(kApp, "View", "Time", "-9"), "");  // stored empty is not missing
    EXPECT_FALSE(store->querySetting("OtherApp", "View", "Date"));

    ASSERT_TRUE(store->saveSetting(kApp, "View", "date", "1300"));
    EXPECT_EQ(store->querySetting(kApp, "View", "Date"), "1300");

    EXPECT_TRUE(store->deleteSetting(kApp, "View", "Date"));
    EXPECT_FALSE(store->querySetting(kApp, "View", "Date"));
    EXPECT_EQ(store->querySetting(kApp, "View", "Time"), "");
    EXPECT_TRUE(store->deleteSetting(kApp, "View", "Date"));  // already gone

    EXPECT_TRUE(store->deleteSection(kApp, "view"));
    EXPECT_FALSE(store->querySetting(kApp, "View", "Time"));
    EXPECT_EQ(store->querySetting(kApp, "Main", "Installed"), "True");
}

TYPED_TEST(SettingsStoreContract, RefusesNamesItCouldNotReadBack) {
    auto store = this->make();
    EXPECT_FALSE(store->saveSetting(kApp, "", "Key", "v"));
    EXPECT_FALSE(store->saveSetting(kApp, "Main", "", "v"));
    EXPECT_FALSE(store->saveSetting(kApp, std::string("Ma\0in", 5), "Key", "v"));
    EXPECT_FALSE(store->saveSetting("", "Main", "Key", "v"));
    EXPECT_FALSE(store->saveSetting("../escape", "Main", "Key", "v"));
    EXPECT_FALSE(store->saveSetting("..", "Main", "Key", "v"));
    EXPECT_FALSE(store->querySetting("../escape", "Main", "Key"));
}

TYPED_TEST(SettingsStoreContract, AwkwardValuesComeBackAsSaved) {
    auto store = this->make();
    const std::vector<std::string> values = {" padded ", "a=b", "one\ntwo", "back\\slash", "[x]", ";c", ""};
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_TRUE(store->saveSetting(kApp, "Main", "k" + std::to_string(i), values[i]));
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(store->querySetting(kApp, "Main", "k" + std::to_string(i)), values[i]);
}

// ---- the file ---------------------------------------------------------------

TEST(SettingsFileStore, OneFileAnApplicationReadAfreshByEveryInstance) {
    TempFolder folder;
    FileSettingsStore writer(folder.path());
    FileSettingsStore reader(folder.path());
    EXPECT_EQ(writer.fileFor(kApp), folder.path() / "WendraWin_A.ini");
    EXPECT_TRUE(writer.fileFor("a/b").empty());

    ASSERT_TRUE(writer.saveSetting(kApp, "Options", "PriorWarning", "30"));
    EXPECT_EQ(reader.querySetting(kApp, "Options", "PriorWarning"), "30");
    ASSERT_TRUE(writer.saveSetting(kApp, "Options", "PriorWarning", "45"));
    EXPECT_EQ(reader.querySetting(kApp, "Options", "PriorWarning"), "45");

    ASSERT_TRUE(writer.saveSetting("Other", "Options", "PriorWarning", "7"));
    EXPECT_EQ(readText(folder.path() / "WendraWin_A.ini"), "[Options]\nPriorWarning=45\n");
    EXPECT_EQ(readText(folder.path() / "Other.ini"), "[Options]\nPriorWarning=7\n");

    // An edit by hand (or by any other writer) is seen by the next read.
    writeText(folder.path() / "WendraWin_A.ini", "[Options]\nPriorWarning=99\n");
    EXPECT_EQ(reader.querySetting(kApp, "Options", "PriorWarning"), "99");
}

TEST(SettingsFileStore, ReadingAndDeletingMissingKeysLeaveNoTrace) {
    TempFolder folder;
    const fs::path config = folder.path() / "not" / "yet";
    FileSettingsStore store(config);
    EXPECT_EQ(store.getSetting(kApp, "Main", "Installed", "False"), "False");
    EXPECT_TRUE(store.deleteSetting(kApp, "Main", "Installed"));
    EXPECT_TRUE(store.deleteSection(kApp, "Main"));
    EXPECT_FALSE(fs::exists(folder.path() / "not"));

    // The first save makes the folder, for the user alone.
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "Installed", "True"));
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(store.querySetting(kApp, "Main", "Installed"), "True");
}

TEST(SettingsFileStore, DamagedFileGivesWhatItHoldsAndIsMendedByTheNextSave) {
    TempFolder folder;
    const fs::path file = folder.path() / "WendraWin_A.ini";
    static const char damaged[] =
        "\x00\x01\xFF\xFE junk\n[View]\nDate=1200\nnonsense\n[Main\nInstalled=True\n[Options]\n"
        "PriorWarning=14\n\x7F=\n";
    writeText(file, std::string(damaged, sizeof damaged - 1));
    FileSettingsStore store(folder.path());
    EXPECT_EQ(store.querySetting(kApp, "View", "Date"), "1200");
    EXPECT_EQ(store.querySetting(kApp, "Options", "PriorWarning"), "14");
    EXPECT_FALSE(store.querySetting(kApp, "Main", "Installed"));

    ASSERT_TRUE(store.saveSetting(kApp, "View", "Time", "900"));
    EXPECT_EQ(readText(file), "[View]\nDate=1200\nTime=900\n\n[Options]\nPriorWarning=14\n\\x7F=\n");
    // What could not be read is in the copy kept before the rewrite.
    EXPECT_EQ(readText(folder.path() / "WendraWin_A.ini.bad"), std::string(damaged, sizeof damaged - 1));
}

TEST(SettingsFileStore, AFileWithUnreadableLinesIsKeptOnceBeforeItIsRewritten) {
    TempFolder folder;
    const fs::path file = folder.path() / "WendraWin_A.ini";
    const fs::path bad = folder.path() / "WendraWin_A.ini.bad";
    FileSettingsStore store(folder.path());
    const auto entries = [&] { return folderEntries(folder.path()); };
    const std::vector<std::string> plain = {"WendraWin_A.ini", "WendraWin_A.ini.lock"};

    // Comments and blank lines are no damage: no copy.
    writeText(file, "; written by hand\n\n[Main]\nA=1\n");
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "B", "2"));
    EXPECT_EQ(entries(), plain);

    // A save that changes nothing writes nothing, and keeps nothing.
    const std::string damaged = "[Main]\nA=1\nB=2\nlost line\n";
    writeText(file, damaged);
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "B", "2"));
    EXPECT_EQ(entries(), plain);
    EXPECT_EQ(readText(file), damaged);

    // The first save that rewrites it keeps it first; later saves find nothing to keep.
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "C", "3"));
    EXPECT_EQ(readText(bad), damaged);
    EXPECT_EQ(readText(file), "[Main]\nA=1\nB=2\nC=3\n");
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "C", "4"));
    EXPECT_EQ(readText(bad), damaged);

    // A later damage does not replace the earlier copy; the same text is kept once.
    const std::string again = "[Main]\nA=1\n[Main\nB=lost too\n";
    writeText(file, again);
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "D", "5"));
    EXPECT_EQ(readText(bad), damaged);
    EXPECT_EQ(readText(folder.path() / "WendraWin_A.ini.bad.2"), again);
    writeText(file, again);
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "D", "6"));
    EXPECT_EQ(entries(), (std::vector<std::string>{"WendraWin_A.ini", "WendraWin_A.ini.bad", "WendraWin_A.ini.bad.2",
                                                   "WendraWin_A.ini.lock"}));
    EXPECT_EQ(readText(file), "[Main]\nA=1\nD=6\n");
}

TEST(SettingsFileStore, AFileItCannotReadIsNeverOverwritten) {
    TempFolder folder;
    const fs::path file = folder.path() / "WendraWin_A.ini";
    fs::create_directory(file);
    writeText(file / "keep", "x");
    FileSettingsStore store(folder.path());
    EXPECT_FALSE(store.querySetting(kApp, "Main", "Installed"));
    EXPECT_FALSE(store.saveSetting(kApp, "Main", "Installed", "True"));
    EXPECT_FALSE(store.deleteSetting(kApp, "Main", "Installed"));
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(readText(file / "keep"), "x");
}

TEST(SettingsFileStore, ReplacesTheFileWholeAndLeavesNoTemporaryFiles) {
    TempFolder folder;
    const fs::path file = folder.path() / "WendraWin_A.ini";
    FileSettingsStore store(folder.path());
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "A", "1"));
    ::chmod(file.c_str(), 0640);
    // A reader that opened the old file goes on reading it whole: nothing is written in place.
    std::ifstream oldReader(file, std::ios::binary);

    for (int i = 0; i < 20; ++i) ASSERT_TRUE(store.saveSetting(kApp, "Main", "B", std::to_string(i)));
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"WendraWin_A.ini", "WendraWin_A.ini.lock"}));
    std::stringstream oldText;
    oldText << oldReader.rdbuf();
    EXPECT_EQ(oldText.str(), "[Main]\nA=1\n");
    EXPECT_EQ(readText(file), "[Main]\nA=1\nB=19\n");

    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);  // with the permissions the user gave the old one

    // Saving what is already stored does not touch the file.
    ASSERT_TRUE(store.saveSetting(kApp, "main", "b", "19"));
    struct stat same {};
    ASSERT_EQ(::stat(file.c_str(), &same), 0);
    EXPECT_EQ(same.st_ino, after.st_ino);
}

TEST(SettingsFileStore, AFileKeptElsewhereThroughALinkStaysLinked) {
    TempFolder folder;
    fs::create_directory(folder.path() / "dotfiles");
    const fs::path real = folder.path() / "dotfiles" / "wendra.ini";
    writeText(real, "[Main]\nA=1\n");
    fs::create_directory(folder.path() / "config");
    fs::create_symlink("../dotfiles/wendra.ini", folder.path() / "config" / "WendraWin_A.ini");

    FileSettingsStore store(folder.path() / "config");
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "B", "2"));
    EXPECT_TRUE(fs::is_symlink(folder.path() / "config" / "WendraWin_A.ini"));
    EXPECT_EQ(readText(real), "[Main]\nA=1\nB=2\n");
    EXPECT_EQ(folderEntries(folder.path() / "dotfiles"), std::vector<std::string>{"wendra.ini"});
}

TEST(SettingsFileStore, AReaderNeverSeesHalfAFile) {
    TempFolder folder;
    // Large values, so that a write in place would be seen half done.
    const std::string a(200000, 'a');
    const std::string b(200000, 'b');
    FileSettingsStore store(folder.path());
    ASSERT_TRUE(store.saveSetting(kApp, "Main", "Big", a));

    ChildProcess writer([&] {
        FileSettingsStore own(folder.path());
        for (int i = 0; i < 60; ++i)
            if (!own.saveSetting(kApp, "Main", "Big", i % 2 ? a : b)) return 1;
        return 0;
    });
    int torn = 0;
    for (int i = 0; i < 400; ++i) {
        const auto v = store.querySetting(kApp, "Main", "Big");
        if (!v || (*v != a && *v != b)) ++torn;
    }
    EXPECT_EQ(writer.wait(), 0);
    EXPECT_EQ(torn, 0);
}

TEST(SettingsFileStore, TwoProcessesWritingAtOnceLoseNothing) {
    TempFolder folder;
    constexpr int kProcesses = 4;
    constexpr int kKeys = 40;
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(std::make_unique<ChildProcess>([&, p] {
            FileSettingsStore own(folder.path());
            for (int k = 0; k < kKeys; ++k) {
                const std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
                if (!own.saveSetting(kApp, p % 2 ? "Main" : "View", key, std::to_string(p * 1000 + k))) return 1;
            }
            return 0;
        }));
    }
    for (auto& c : children) EXPECT_EQ(c->wait(), 0);

    FileSettingsStore store(folder.path());
    int lost = 0;
    for (int p = 0; p < kProcesses; ++p)
        for (int k = 0; k < kKeys; ++k) {
            const std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
            if (store.querySetting(kApp, p % 2 ? "Main" : "View", key) != std::to_string(p * 1000 + k)) ++lost;
        }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"WendraWin_A.ini", "WendraWin_A.ini.lock"}));
}

// ---- where the file lives ---------------------------------------------------

class SettingsConfigFolder : public ::testing::Test {
protected:
    void SetUp() override {
        save("XDG_CONFIG_HOME", xdg_);
        save("HOME", home_);
    }
    void TearDown() override {
        restore("XDG_CONFIG_HOME", xdg_);
        restore("HOME", home_);
    }

private:
    static void save(const char* name, std::optional<std::string>& into) {
        if (const char* v = std::getenv(name)) into = v;
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> xdg_, home_;
};

TEST_F(SettingsConfigFolder, FollowsXdgConfigHomeElseHome) {
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(userConfigFolder(), fs::path("/tmp/cfg"));
    EXPECT_EQ(FileSettingsStore::forCurrentUser().fileFor(kApp), fs::path("/tmp/cfg/WendraWin_A.ini"));
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: to be ignored
    EXPECT_EQ(userConfigFolder(), fs::path("/home/someone/.config"));
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(userConfigFolder(), fs::path("/home/someone/.config"));
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(userConfigFolder(), fs::path("/home/someone/.config"));
}

// ---- the double ---------------------------------------------------------------

TEST(SettingsMemoryStore, CountsAndRefusesWhenTold) {
    MemorySettingsStore store;
    EXPECT_TRUE(store.empty());
    store.getSetting(kApp, "Main", "A", "x");
    store.querySetting(kApp, "Main", "A");
    EXPECT_EQ(store.reads(), 2);
    EXPECT_EQ(store.writes(), 0);
    EXPECT_TRUE(store.empty());

    store.failWrites(true);
    EXPECT_FALSE(store.saveSetting(kApp, "Main", "A", "1"));
    EXPECT_FALSE(store.querySetting(kApp, "Main", "A"));
    store.failWrites(false);
    EXPECT_TRUE(store.saveSetting(kApp, "Main", "A", "1"));
    EXPECT_EQ(store.writes(), 2);
    EXPECT_FALSE(store.empty());
}
