#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/settings/FileSettingsStore.h"
#include "platform/settings/MemorySettingsStore.h"
#include "store/DefaultFont.h"
#include "store/clsSettings.h"
#include "tests/support/TempFolder.h"

using namespace wendra;
using settings::FileSettingsStore;
using settings::MemorySettingsStore;
using test::TempFolder;

namespace {

const std::string kProgramFolder = "/opt/wendrawin";

std::string text(bool v) { return v ? "true" : "false"; }
std::string text(std::int32_t v) { return std::to_string(v); }

// One setting: where it is stored, how the program writes and reads it, its
// default, a value other than the default with the text stored for it, and
// whether every read goes to the store.
struct Setting {
    const char* name;
    const char* section;
    const char* key;
    std::function<bool(clsSettings&)> writeOther;
    std::function<std::string(const clsSettings&)> read;
    std::string defaultRead;
    std::string storedText;
    std::string otherRead;
    bool everyRead = false;
};

#define FLAG(Prop, Sec, Key, Def)                                                                           \
    Setting {                                                                                               \
        #Prop, Sec, Key, [](clsSettings& s) { return s.set##Prop(!(Def)); },                                \
            [](const clsSettings& s) { return text(s.Prop()); }, text(Def), (Def) ? "False" : "True", text(!(Def)) \
    }
#define NUMBER(Prop, Sec, Key, Def, Other, Every)                                                  \
    Setting {                                                                                      \
        #Prop, Sec, Key, [](clsSettings& s) { return s.set##Prop(Other); },                        \
            [](const clsSettings& s) { return text(static_cast<std::int32_t>(s.Prop())); }, text(Def), \
            std::to_string(Other), std::to_string(Other), Every                                    \
    }

const std::vector<Setting>& allSettings() {
    static const std::vector<Setting> table = {
        FLAG(Installed, "Main", "Installed", false),
        FLAG(ModeWendraWin, "Mode", "WendraWin", true),
        FLAG(ModeOutlook, "Mode", "Outlook", false),
        FLAG(ModeSync, "Mode", "Sync", true),
        NUMBER(ViewDate, "View", "Date", -9, 1200, false),
        NUMBER(ViewDayOfWeek, "View", "DayOfWeek", -9, -1, false),
        NUMBER(ViewWendra, "View", "Wendra", -9, 100000, false),
        NUMBER(ViewTime, "View", "Time", -9, 0, false),
        FLAG(MergeDates, "View", "MergeDates", true),
        FLAG(MergeDaysOfWeek, "View", "MergeDaysOfWeek", true),
        FLAG(MergeWendra, "View", "MergeWendra", true),
        FLAG(ViewHeadings, "View", "Headings", true),
        FLAG(ViewLongDesc, "View", "LongDescription", false),
        NUMBER(Height, "View", "Height", 4785, 3000, false),
        NUMBER(Width, "View", "Width", 6000, 7215, false),
        NUMBER(Top, "View", "Top", 0, -120, false),
        NUMBER(Left, "View", "Left", -999, 2400, false),
        Setting{"FontName", "View", "FontName", [](clsSettings& s) { return s.setFontName(" Mono = odd "); },
                [](const clsSettings& s) { return s.FontName(); }, std::string(kDefaultFontName), " Mono = odd ",
                " Mono = odd "},
        NUMBER(FontSize, "View", "FontSize", kDefaultFontSize, 11, false),
        FLAG(FontBold, "View", "FontBold", false),
        FLAG(FontItalic, "View", "FontItalic", false),
        FLAG(Alarm, "View", "Alarm", true),
        NUMBER(ViewCountdown, "View", "Countdown", 0, 2, false),
        NUMBER(PriorWarning, "Options", "PriorWarning", 30, 400, true),
        NUMBER(PastEventHours, "Options", "PastEventHours", 2, 12, true),
        NUMBER(CommPort, "Options", "CommPort", -1, 4, false),
        NUMBER(SyncSetting, "Outlook", "SyncSetting", 0, 3, false),
        Setting{"UpdateVersion", "Main", "UpdateVersion", [](clsSettings& s) { return s.incrementUpdateVersion(); },
                [](const clsSettings& s) { return text(static_cast<std::int32_t>(s.getUpdateVersion())); }, "0", "1",
                "1", true},
        Setting{"InstallDir", "Main", "InstallDir", [](clsSettings& s) { return s.setInstallDir("/usr/lib/wendra"); },
                [](const clsSettings& s) { return s.InstallDir(); }, kProgramFolder + "/", "/usr/lib/wendra",
                "/usr/lib/wendra/"},
        Setting{"DataDir", "Main", "DataDir", [](clsSettings& s) { return s.setDataDir("/home/u/My Data"); },
                [](const clsSettings& s) { return s.DataDir(); }, kProgramFolder, "/home/u/My Data",
                "/home/u/My Data"},
    };
    return table;
}

template <class F>
int inChildProcess(F body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

class clsSettingsFile : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder.path() / "WendraWin_A.ini"; }
    std::optional<std::string> stored(const char* section, const char* key) const {
        return FileSettingsStore(folder.path()).querySetting("WendraWin_A", section, key);
    }
    void storeText(const char* section, const char* key, const char* value) {
        ASSERT_TRUE(FileSettingsStore(folder.path()).saveSetting("WendraWin_A", section, key, value));
    }

    TempFolder folder;
};

}  // namespace

TEST_F(clsSettingsFile, AnEmptyStoreGivesEveryDefaultAndReadingStoresNothing) {
    FileSettingsStore store(folder.path());
    clsSettings s(store, kProgramFolder);
    for (const Setting& setting : allSettings()) EXPECT_EQ(setting.read(s), setting.defaultRead) << setting.name;
    EXPECT_EQ(s.DeleteSetting(), 0);
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(clsSettingsFile, EverySettingIsStoredUnderItsKeyAndReadBackByAnotherProcess) {
    {
        FileSettingsStore store(folder.path());
        clsSettings writer(store, kProgramFolder);
        for (const Setting& setting : allSettings()) ASSERT_TRUE(setting.writeOther(writer)) << setting.name;
        ASSERT_TRUE(writer.setDLLInfo_Gadget("1.0.7 - /usr/lib/wendra/gadget"));
        ASSERT_TRUE(writer.setDeleteSetting(5));
    }
    for (const Setting& setting : allSettings())
        EXPECT_EQ(stored(setting.section, setting.key), setting.storedText) << setting.name;
    EXPECT_EQ(stored("Main", "DLLInfoGadget"), "1.0.7 - /usr/lib/wendra/gadget");
    EXPECT_EQ(stored("Outlook", "DeleteSetting"), "5");

    // Another process with its own store and settings reads every value back.
    const int mismatches = inChildProcess([&] {
        FileSettingsStore store(folder.path());
        clsSettings reader(store, "/elsewhere");
        int bad = 0;
        for (const Setting& setting : allSettings()) bad += setting.read(reader) != setting.otherRead;
        return bad;
    });
    EXPECT_EQ(mismatches, 0);
}

TEST_F(clsSettingsFile, CachedSettingsKeepTheirValueWhileEveryReadOnesFollowTheOtherProcess) {
    FileSettingsStore store(folder.path());
    const clsSettings mine(store, kProgramFolder);
    for (const Setting& setting : allSettings()) ASSERT_EQ(setting.read(mine), setting.defaultRead) << setting.name;

    ASSERT_EQ(inChildProcess([&] {
                  FileSettingsStore own(folder.path());
                  clsSettings other(own, kProgramFolder);
                  int failed = 0;
                  for (const Setting& setting : allSettings()) failed += !setting.writeOther(other);
                  return failed;
              }),
              0);

    for (const Setting& setting : allSettings()) {
        const std::string expected = setting.everyRead ? setting.otherRead : setting.defaultRead;
        EXPECT_EQ(setting.read(mine), expected) << setting.name;
    }
    // A new instance reads what the other process stored.
    const clsSettings fresh(store, kProgramFolder);
    for (const Setting& setting : allSettings()) EXPECT_EQ(setting.read(fresh), setting.otherRead) << setting.name;
}

TEST(clsSettingsCache, AWriteIsReadBackWithoutAskingTheStore) {
    MemorySettingsStore store;
    clsSettings s(store, kProgramFolder);
    s.setViewDate(1200);
    s.setFontName("Serif");
    s.setInstallDir("/a/b");
    store.resetCounts();
    EXPECT_EQ(s.ViewDate(), 1200);
    EXPECT_EQ(s.FontName(), "Serif");
    EXPECT_EQ(s.InstallDir(), "/a/b/");
    EXPECT_EQ(store.reads(), 0);

    // The store is asked once for a cached setting, whatever it holds.
    store.saveSetting("WendraWin_A", "View", "Time", "abc");
    store.resetCounts();
    EXPECT_EQ(s.ViewTime(), -9);
    EXPECT_EQ(s.ViewTime(), -9);
    EXPECT_EQ(s.Alarm(), true);
    EXPECT_EQ(s.Alarm(), true);
    EXPECT_EQ(store.reads(), 2);
    // ... and every time for the ones read anew.
    s.PriorWarning();
    s.PriorWarning();
    s.getUpdateVersion();
    EXPECT_EQ(store.reads(), 5);
}

TEST(clsSettingsCache, ARefusedWriteIsReportedAndTheProgramKeepsItsChoice) {
    MemorySettingsStore store;
    clsSettings s(store, kProgramFolder);
    store.failWrites(true);
    EXPECT_FALSE(s.setAlarm(false));
    EXPECT_FALSE(s.Alarm());
    EXPECT_FALSE(s.setPriorWarning(10));
    EXPECT_EQ(s.PriorWarning(), 30);  // read anew, and nothing was stored
    EXPECT_FALSE(s.incrementUpdateVersion());
    store.failWrites(false);
    EXPECT_TRUE(s.setAlarm(true));
}

TEST_F(clsSettingsFile, StoredTextsThatDoNotConvertGiveTheDefault) {
    storeText("View", "Date", "abc");
    storeText("View", "DayOfWeek", "99999999999");  // beyond 32 bits
    storeText("View", "Wendra", "1440.5");           // rounds half to even
    storeText("View", "Time", " 1500 ");
    storeText("View", "FontSize", "big");
    storeText("View", "Countdown", "40000");  // beyond 16 bits
    storeText("View", "Alarm", "maybe");
    storeText("View", "Headings", "false");
    storeText("View", "MergeDates", "0");
    storeText("Main", "Installed", "-1");
    storeText("Options", "PriorWarning", "");
    storeText("Options", "PastEventHours", "3.5");
    storeText("Main", "UpdateVersion", "x");

    FileSettingsStore store(folder.path());
    const clsSettings s(store, kProgramFolder);
    EXPECT_EQ(s.ViewDate(), -9);
    EXPECT_EQ(s.ViewDayOfWeek(), -9);
    EXPECT_EQ(s.ViewWendra(), 1440);
    EXPECT_EQ(s.ViewTime(), 1500);
    EXPECT_EQ(s.FontSize(), kDefaultFontSize);
    EXPECT_EQ(s.ViewCountdown(), 0);
    EXPECT_TRUE(s.Alarm());
    EXPECT_FALSE(s.ViewHeadings());
    EXPECT_FALSE(s.MergeDates());
    EXPECT_TRUE(s.Installed());
    EXPECT_EQ(s.PriorWarning(), 30);
    EXPECT_EQ(s.PastEventHours(), 4);
    EXPECT_EQ(s.getUpdateVersion(), 0);
}

TEST_F(clsSettingsFile, InstallDirAlwaysEndsWithOneSeparator) {
    FileSettingsStore store(folder.path());
    storeText("Main", "InstallDir", "/usr/lib/wendra");
    EXPECT_EQ(clsSettings(store, kProgramFolder).InstallDir(), "/usr/lib/wendra/");
    storeText("Main", "InstallDir", "/usr/lib/wendra/");
    EXPECT_EQ(clsSettings(store, kProgramFolder).InstallDir(), "/usr/lib/wendra/");
    // An empty text would put the program's files at the root of the disk.
    storeText("Main", "InstallDir", "");
    EXPECT_EQ(clsSettings(store, kProgramFolder).InstallDir(), kProgramFolder + "/");
    EXPECT_EQ(clsSettings(store, kProgramFolder + "/").InstallDir(), kProgramFolder + "/");
    // DataDir is kept as stored.
    storeText("Main", "DataDir", "/srv/wendra/");
    EXPECT_EQ(clsSettings(store, kProgramFolder).DataDir(), "/srv/wendra/");
}

TEST_F(clsSettingsFile, DeleteSettingAlwaysReadsZero) {
    storeText("Outlook", "DeleteSetting", "1");
    FileSettingsStore store(folder.path());
    clsSettings s(store, kProgramFolder);
    EXPECT_EQ(s.DeleteSetting(), 0);
    EXPECT_TRUE(s.setDeleteSetting(5));
    EXPECT_EQ(s.DeleteSetting(), 0);
    EXPECT_EQ(stored("Outlook", "DeleteSetting"), "5");
}

TEST_F(clsSettingsFile, TheUpdateCounterRunsFromOneTo10001AndStartsAgain) {
    FileSettingsStore store(folder.path());
    clsSettings s(store, kProgramFolder);
    const std::vector<std::pair<const char*, const char*>> steps = {
        {"10000", "10001"}, {"10001", "1"}, {"0", "1"},   {"9", "10"},
        {"20000", "1"},     {"-5", "1"},    {"abc", "1"}, {"32767", "1"},
    };
    for (const auto& [before, after] : steps) {
        storeText("Main", "UpdateVersion", before);
        ASSERT_TRUE(s.incrementUpdateVersion());
        EXPECT_EQ(stored("Main", "UpdateVersion"), after) << "from " << before;
    }
    ASSERT_TRUE(store.deleteSetting("WendraWin_A", "Main", "UpdateVersion"));
    ASSERT_TRUE(s.incrementUpdateVersion());
    EXPECT_EQ(s.getUpdateVersion(), 1);
}

TEST(clsSettingsCounter, AFullCycleVisitsEveryValueOnce) {
    MemorySettingsStore store;
    clsSettings s(store, kProgramFolder);
    std::vector<int> seen(10002, 0);
    for (int i = 0; i < 10001 * 2; ++i) {
        ASSERT_TRUE(s.incrementUpdateVersion());
        const int v = s.getUpdateVersion();
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 10001);
        ++seen[static_cast<std::size_t>(v)];
    }
    EXPECT_EQ(seen[0], 0);
    for (int v = 1; v <= 10001; ++v) ASSERT_EQ(seen[static_cast<std::size_t>(v)], 2) << v;
}
