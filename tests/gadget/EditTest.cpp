// doEdit: its guards and messages, and the library's editor saving and deleting
// through a store of its own while the main program has the file open.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/frmDeleteMult.h"
#include "editor/frmDeleteSingle.h"
#include "editor/frmQVREvent.h"
#include "tests/support/GadgetRig.h"

namespace wendra::test {
namespace {

const DateTime kNow = DateTime::ymd(2026, 3, 11, 10, 0);

frmQVREvent& editorOf(ui::Form& f) { return static_cast<frmQVREvent&>(f); }

TEST(GadgetEdit, GuardsAndTheirMessages) {
    GadgetRig rig(kNow);
    const std::string id = rig.save(oneOff("Dentist", DateTime::ymd(2026, 3, 20, 9, 30)));
    clsCalEvent gone = oneOff("Gone", DateTime::ymd(2026, 3, 21), true);
    const std::string goneId = rig.save(gone);
    ASSERT_TRUE(rig.store.DeleteEvent(gone));
    clsCalEvent twoRules = weekly("Two rules", DateTime::ymd(2026, 3, 2, 9, 0));
    twoRules.addRRule().setFrequency(clsCalRRule::kMonthly);
    const std::string twoRulesId = rig.save(twoRules);
    clsCalEvent ownTexts = weekly("Own texts", DateTime::ymd(2026, 3, 2, 9, 0));
    ownTexts.setDescExceptions("\t20260309090000=Special");
    ownTexts.setHasExceptions(true);
    const std::string ownTextsId = rig.save(ownTexts);

    const std::string notFound = "Could not find that event";
    const std::string notEditable =
        "This event contains data imported from MSOutlook that cannot be edited using Wendra(win).";
    struct Case {
        std::string id, occurrence;
        std::string message;  // empty: none
        bool editor;
        bool opensStore;
    };
    const std::vector<Case> cases{
        {"", "20-Mar-26 09:30", "", false, false},
        {id, "", "", false, false},
        {"999", "20-Mar-26", notFound, false, true},
        {goneId, "21-Mar-26", notFound, false, true},
        // The page's id reaches the store only as a whole number.
        {id + " OR 1=1", "20-Mar-26", notFound, false, true},
        {id + "; DELETE FROM Events", "20-Mar-26", notFound, false, true},
        {"abc", "20-Mar-26", notFound, false, true},
        {id + ".5", "20-Mar-26", notFound, false, true},
        {" " + id + " ", "20-Mar-26 09:30", "", true, true},
        {twoRulesId, "09-Mar-26 09:00", notEditable, false, true},
        {ownTextsId, "09-Mar-26 09:00", notEditable, false, true},
        {id, "20-Mar-26 09:30", "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.id + "' '" + c.occurrence + "'");
        rig.ui.messages.reset();
        std::vector<std::string> journal;
        rig.settingsStore.journal = &journal;
        const std::size_t shown = rig.ui.dialogs.calls().size();
        rig.gadget.doEdit(c.id, c.occurrence, "N");
        rig.settingsStore.journal = nullptr;
        if (c.message.empty()) {
            EXPECT_TRUE(rig.ui.messages.calls().empty());
        } else {
            ASSERT_EQ(rig.ui.messages.calls().size(), 1u);
            EXPECT_EQ(rig.ui.messages.last(),
                      (ui::MessageRequest{c.message, "WendraGadget", ui::MessageButtons::OK,
                                          ui::MessageIcon::Exclamation, 0}));
        }
        EXPECT_EQ(rig.ui.dialogs.calls().size() - shown, c.editor ? 1u : 0u);
        if (c.editor) {
            EXPECT_EQ(rig.ui.dialogs.calls().back().form, frmQVREvent::kFormName);
        }
        EXPECT_EQ(std::ranges::count(journal, "read Main/DataDir") > 0, c.opensStore);
    }
    ASSERT_TRUE(rig.found(id).has_value());  // no statement of the page's ran
}

TEST(GadgetEdit, TheEditorSavesThroughItsOwnStoreAndLeavesTheUpdateCounter) {
    GadgetRig rig(kNow);
    const std::string id = rig.save(oneOff("Dentist", DateTime::ymd(2026, 3, 20, 9, 30)));
    const std::int16_t version = rig.settings.getUpdateVersion();
    rig.ui.dialogs.script(frmQVREvent::kFormName, [](ui::Form& f) {
        frmQVREvent& editor = editorOf(f);
        EXPECT_TRUE(editor.cmdDelete.visible());
        editor.txtDesc.setText("Dentist at ten");
        editor.cmdSave.press();
    });
    rig.gadget.doEdit(id, "20-Mar-26 09:30", "N");
    // The main program, whose store was open all along, reads the change.
    EXPECT_EQ(rig.stored(id).Description(), "Dentist at ten");
    EXPECT_EQ(rig.settings.getUpdateVersion(), version);
    EXPECT_TRUE(rig.ui.messages.calls().empty());

    // A store that fails the save or the delete is reported under the library's
    // name, and the editor closes all the same.
    rig.ui.dialogs.script(frmDeleteSingle::kFormName,
                          [](ui::Form& f) { static_cast<frmDeleteSingle&>(f).cmdHide.press(); });
    using Button = ui::CommandButton frmQVREvent::*;
    const std::pair<Button, const char*> failures[] = {{&frmQVREvent::cmdSave, "Failed to save the event"},
                                                       {&frmQVREvent::cmdDelete, "Failed to delete event"}};
    for (const auto& [button, message] : failures) {
        rig.ui.messages.reset();
        rig.ui.dialogs.script(frmQVREvent::kFormName, [&](ui::Form& f) {
            ASSERT_TRUE(rig.store.connection().execute("ALTER TABLE Events RENAME TO EventsAway").has_value());
            editorOf(f).txtDesc.setText("Never stored");
            (editorOf(f).*button).press();
            EXPECT_FALSE(f.isLoaded());
        });
        rig.gadget.doEdit(id, "20-Mar-26 09:30", "N");
        ASSERT_TRUE(rig.store.connection().execute("ALTER TABLE EventsAway RENAME TO Events").has_value());
        ASSERT_EQ(rig.ui.messages.calls().size(), 1u) << message;
        EXPECT_EQ(rig.ui.messages.last(),
                  (ui::MessageRequest{message, "WendraGadget", ui::MessageButtons::OK, ui::MessageIcon::Critical, 0}));
    }
    EXPECT_EQ(rig.stored(id).Description(), "Dentist at ten");
}

TEST(GadgetEdit, CallsWhileTheEditorIsOpenLeaveItsStoreAlone) {
    GadgetRig rig(kNow);
    const std::string id = rig.save(oneOff("Dentist", DateTime::ymd(2026, 3, 20, 9, 30)));
    rig.ui.dialogs.script(frmQVREvent::kFormName, [&](ui::Form& f) {
        // The page draws its list and opens another editor meanwhile; each call
        // opens and closes a store of its own.
        EXPECT_NE(rig.html(30, -1, false, 0).find("Dentist"), std::string::npos);
        rig.ui.dialogs.script(frmQVREvent::kFormName, [](ui::Form& inner) { editorOf(inner).cmdCancel.press(); });
        rig.gadget.doEdit(id, "20-Mar-26 09:30", "N");
        editorOf(f).txtDesc.setText("Dentist, saved after");
        editorOf(f).cmdSave.press();
    });
    rig.gadget.doEdit(id, "20-Mar-26 09:30", "N");
    EXPECT_EQ(rig.stored(id).Description(), "Dentist, saved after");
    EXPECT_TRUE(rig.ui.messages.calls().empty());
}

TEST(GadgetEdit, DeletingOneOccurrenceIn2031ExcludesThatDay) {
    GadgetRig rig(DateTime::ymd(2031, 3, 10, 10, 0));
    const std::string id = rig.save(weekly("Standup", DateTime::ymd(2031, 3, 3, 9, 0)));
    ASSERT_NE(rig.html(30, -1, false, 0).find("editEvent('" + id + "','17-Mar-31 09\\u003A00','N')"),
              std::string::npos);

    // Cancelled in the dialog: the editor stays open and nothing is written.
    int editorStillOpen = 0;
    rig.ui.dialogs.script(frmQVREvent::kFormName, [&](ui::Form& f) {
        frmQVREvent& editor = editorOf(f);
        EXPECT_EQ(editor.chosenOccurDate(), DateTime::ymd(2031, 3, 17, 9, 0));
        editor.cmdDelete.press();
        editorStillOpen += editor.isLoaded();
        editor.cmdCancel.press();
    });
    rig.ui.dialogs.script(frmDeleteMult::kFormName, [](ui::Form& f) {
        EXPECT_EQ(static_cast<frmDeleteMult&>(f).ChosenDate(), DateTime::ymd(2031, 3, 17, 9, 0));
        static_cast<frmDeleteMult&>(f).cmdCancel.press();
    });
    rig.gadget.doEdit(id, "17-Mar-31 09:00", "N");
    EXPECT_EQ(editorStillOpen, 1);
    EXPECT_EQ(rig.stored(id).ExDates(), "");

    // Confirmed: both close and the store holds the exclusion of that very day.
    rig.ui.dialogs.script(frmQVREvent::kFormName, [](ui::Form& f) { editorOf(f).cmdDelete.press(); });
    rig.ui.dialogs.script(frmDeleteMult::kFormName, [](ui::Form& f) {
        auto& dialog = static_cast<frmDeleteMult&>(f);
        dialog.optDelete.select(0);  // the chosen date only
        dialog.cmdHide.press();
    });
    rig.gadget.doEdit(id, "17-Mar-31 09:00", "N");
    EXPECT_EQ(rig.stored(id).ExDates(), "20310317T090000");
    const std::string html = rig.html(30, -1, false, 0);
    EXPECT_EQ(html.find("17-Mar-31"), std::string::npos);
    EXPECT_NE(html.find("24-Mar-31"), std::string::npos);
    EXPECT_TRUE(rig.ui.messages.calls().empty());
}

TEST(GadgetEdit, DeletingAOneOffEventRemovesIt) {
    GadgetRig rig(kNow);
    const std::string id = rig.save(oneOff("Dentist", DateTime::ymd(2026, 3, 20, 9, 30)));
    rig.ui.dialogs.script(frmQVREvent::kFormName, [](ui::Form& f) { editorOf(f).cmdDelete.press(); });
    rig.ui.dialogs.script(frmDeleteSingle::kFormName,
                          [](ui::Form& f) { static_cast<frmDeleteSingle&>(f).cmdHide.press(); });
    rig.gadget.doEdit(id, "20-Mar-26 09:30", "N");
    EXPECT_FALSE(rig.found(id).has_value());
    EXPECT_EQ(rig.ui.dialogs.shown(), (std::vector<std::string>{"frmQVREvent", "frmDeleteSingle"}));
}

TEST(GadgetEdit, APagesTwoDigitYearIsTheOneNearestToday) {
    struct Case {
        const char* text;
        int todayYear;
        std::optional<DateTime> occurrence;
    };
    const std::vector<Case> cases{
        {"15-Mar-31 14:30", 2026, DateTime::ymd(2031, 3, 15, 14, 30)},
        {"15-Mar-31", 2080, DateTime::ymd(2031, 3, 15)},
        {"15-Mar-31", 2082, DateTime::ymd(2131, 3, 15)},
        {"15-Mar-99", 2026, DateTime::ymd(1999, 3, 15)},
        {"29-Feb-00 08:00", 2026, DateTime::ymd(2000, 2, 29, 8, 0)},
        {"15-Mar-2131", 2026, DateTime::ymd(2131, 3, 15)},
        {"20310315T143000", 1990, DateTime::ymd(2031, 3, 15, 14, 30)},
        {"not a date", 2026, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageOccurrenceDate(c.text, DateTime::ymd(c.todayYear, 6, 1)), c.occurrence) << c.text;
}

}  // namespace
}  // namespace wendra::test
