// The focus colours of a form's buttons: the pointer or the focus lights one, the
// main window's dialogs leaving the others as they are when the focus comes, the
// editor's lighting it alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Layout.h"

namespace wendra::ui {
namespace {

struct Buttons {
    CommandButton save{"cmdSave", "Save"};
    CommandButton cancel{"cmdCancel", "Cancel"};
    Frame frame{"frameButtons"};
    // "on" or "off" for each button.
    std::string colours() const {
        auto of = [](const CommandButton& b) { return b.backColour() == kFocusOnColour ? "on" : "off"; };
        return std::string(of(save)) + " " + of(cancel);
    }
};

TEST(UiHover, PointerAndFocusLightTheButtonsByTheFormsScheme) {
    struct Step {
        const char* action;
        const char* beside;  // the colours afterwards, FocusHover::BesideOthers
        const char* alone;   // FocusHover::Alone
    };
    const std::vector<Step> steps{
        {"start", "off off", "off off"},
        {"pointer on Save", "on off", "on off"},
        {"focus to Cancel", "on on", "off on"},
        {"pointer on Cancel", "off on", "off on"},
        {"pointer on the frame", "off off", "off off"},
        {"focus to Save", "on off", "on off"},
        {"Save loses the focus", "off off", "off off"},
    };
    for (const FocusHover scheme : {FocusHover::BesideOthers, FocusHover::Alone}) {
        Buttons b;
        wireHover({&b.save, &b.cancel}, scheme, {&b.frame});
        for (const Step& s : steps) {
            const std::string action = s.action;
            if (action == "start") showHover({&b.save, &b.cancel}, nullptr);
            if (action == "pointer on Save") b.save.mouseMove();
            if (action == "focus to Cancel") b.cancel.gotFocus();
            if (action == "pointer on Cancel") b.cancel.mouseMove();
            if (action == "pointer on the frame") b.frame.mouseMove();
            if (action == "focus to Save") b.save.gotFocus();
            if (action == "Save loses the focus") b.save.lostFocus();
            EXPECT_EQ(b.colours(), scheme == FocusHover::Alone ? s.alone : s.beside)
                << s.action << (scheme == FocusHover::Alone ? " (alone)" : " (beside the others)");
        }
    }
}

}  // namespace
}  // namespace wendra::ui
