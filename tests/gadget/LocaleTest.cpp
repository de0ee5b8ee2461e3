// The library's list under other languages: its month names in the date cells,
// one form of date in the store's statements, and the occurrence a page hands
// back in those names. A program of its own, since it changes the C locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "editor/frmDeleteMult.h"
#include "editor/frmQVREvent.h"
#include "store/modFuncs.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/GadgetRig.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {
namespace {

namespace fs = std::filesystem;

// A locale with other month names ("de_DE"), made for the test where the system
// has none.
class MadeLocale {
public:
    explicit MadeLocale(const std::string& name) {
        const std::string locale = name + ".UTF-8";
        const std::string command =
            "localedef -i " + name + " -f UTF-8 '" + (folder_ / locale).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !fs::exists(folder_ / locale)) return;
        path_.set("LOCPATH", folder_.path().c_str());
        ok_ = std::setlocale(LC_ALL, locale.c_str()) != nullptr;
    }
    ~MadeLocale() { std::setlocale(LC_ALL, "C"); }
    bool ok() const { return ok_; }

private:
    TempFolder folder_;
    EnvironmentOverride path_;
    bool ok_ = false;
};

TEST(GadgetLocale, UnderAnotherLanguageTheListShowsItsMonthsAndTheStoreWritesOneForm) {
    MadeLocale german("de_DE");
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

// The page hands back the date text of the row it shows, in the language's month
// names, which no reading of dates knows ("17- 3月-26 09:00"): the occurrence
// deleted is the one of that row.
TEST(GadgetLocale, DeletingTheOccurrenceOfARowUnderEastAsianLanguages) {
    struct Case {
        const char* locale;
        const char* shown;  // the link's date text of Tuesday 17 March 2026, 09:00
    };
    for (const Case& c : {Case{"ja_JP", "17- 3\xE6\x9C\x88-26 09\\u003A00"},
                          Case{"ko_KR", "17- 3\xEC\x9B\x94-26 09\\u003A00"},
                          Case{"zh_CN", "17-3\xE6\x9C\x88-26 09\\u003A00"}}) {
        SCOPED_TRACE(c.locale);
        MadeLocale language(c.locale);
        if (!language.ok()) GTEST_SKIP() << "no " << c.locale << " locale can be made here";
        GadgetRig rig(DateTime::ymd(2026, 3, 11, 10, 0));
        const std::string id = rig.save(weekly("Standup", DateTime::ymd(2026, 3, 3, 9, 0)));
        const std::string link = "editEvent('" + id + "','" + c.shown + "','N')";
        ASSERT_NE(rig.html(30, -1, false, 0).find(link), std::string::npos) << rig.html(30, -1, false, 0);

        rig.ui.dialogs.script(frmQVREvent::kFormName, [](ui::Form& f) {
            EXPECT_EQ(static_cast<frmQVREvent&>(f).chosenOccurDate(), DateTime::ymd(2026, 3, 17, 9, 0));
            static_cast<frmQVREvent&>(f).cmdDelete.press();
        });
        rig.ui.dialogs.script(frmDeleteMult::kFormName, [](ui::Form& f) {
            auto& dialog = static_cast<frmDeleteMult&>(f);
            dialog.optDelete.select(0);  // the chosen date only
            dialog.cmdHide.press();
        });
        rig.gadget.doEdit(id, replaceAll(c.shown, "\\u003A", ":"), "N");
        EXPECT_EQ(rig.stored(id).ExDates(), "20260317T090000");
    }
}

}  // namespace
}  // namespace wendra::test
