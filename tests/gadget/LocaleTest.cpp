// The library's list under another language: its month names in the date
// cells, and one form of date in the store's statements. A program of its own,
// since the list reads the names of the months once.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "tests/support/EnvironmentOverride.h"
#include "tests/support/GadgetRig.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {
namespace {

namespace fs = std::filesystem;

// A locale with other month names, made for the test where the system has none.
class GermanLocale {
public:
    GermanLocale() {
        const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder_ / "de_DE.UTF-8").string() +
                                    "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !fs::exists(folder_ / "de_DE.UTF-8")) return;
        path_.set("LOCPATH", folder_.path().c_str());
        ok_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~GermanLocale() { std::setlocale(LC_ALL, "C"); }
    bool ok() const { return ok_; }

private:
    TempFolder folder_;
    EnvironmentOverride path_;
    bool ok_ = false;
};

TEST(GadgetLocale, UnderAnotherLanguageTheListShowsItsMonthsAndTheStoreWritesOneForm) {
    GermanLocale german;
    if (!german.ok()) GTEST_SKIP() << "no German locale can be made here";
    GadgetRig rig(DateTime::ymd(2026, 3, 11, 10, 0));
    EXPECT_EQ(clsDataQVR::sqlDate(DateTime::ymd(2026, 3, 5, 14, 7, 9)), "#5 Mar 2026 14:07:09#");
    rig.save(oneOff("Ostern", DateTime::ymd(2026, 3, 14), true));
    clsCalEvent old = oneOff("Vorbei", DateTime::ymd(2026, 3, 7), true);
    old.setAutoDelete("1");
    const std::string oldId = rig.save(old);
    // The query's dates and the auto-delete's save went through the store.
    const std::string html = rig.html(30, -1, false, 0);
    EXPECT_NE(html.find("editEvent('1','14-M\xC3\xA4r-26','Y')"), std::string::npos) << html;
    EXPECT_FALSE(rig.found(oldId).has_value());
}

}  // namespace
}  // namespace wendra::test
