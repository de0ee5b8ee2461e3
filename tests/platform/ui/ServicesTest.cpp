#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/Form.h"
#include "platform/ui/Layout.h"
#include "platform/ui/TestDoubles.h"

using namespace wendra::ui;

namespace {
// A small dialog in the way the forms are written: controls as members, window
// events as overrides.
class frmSample : public Form {
public:
    frmSample() : Form("frmSample", "Sample") {
        cmdSave.onClick = [this] {
            saved = true;
            unload();
        };
    }
    CommandButton cmdSave{"cmdSave", "&Save"};
    TextBox txtName{"txtName"};
    bool saved = false;
    bool refuseClose = false;
    std::vector<std::string> events;

protected:
    void formLoad() override { events.push_back("load"); }
    void formResize() override { events.push_back("resize"); }
    bool formQueryUnload() override {
        events.push_back("query");
        return !refuseClose;
    }
    void formUnload() override { events.push_back("unload"); }
};
}  // namespace

TEST(UiMessageBox, RecordsEachMessageAndAnswersFromTheScript) {
    RecordingMessageBox box;
    box.answer(MessageAnswer::No);
    EXPECT_EQ(box.show("Continue ?", MessageButtons::YesNo, MessageIcon::Question, "Confirm ?"), MessageAnswer::No);
    // Unscripted: the default button answers.
    EXPECT_EQ(box.show("Failed to save the event", MessageButtons::OK, MessageIcon::Critical), MessageAnswer::OK);
    EXPECT_EQ(box.show({"Retry?", "", MessageButtons::RetryCancel, MessageIcon::None, 1}), MessageAnswer::Cancel);
    ASSERT_EQ(box.calls().size(), 3u);
    EXPECT_EQ(box.calls()[0], (MessageRequest{"Continue ?", "Confirm ?", MessageButtons::YesNo, MessageIcon::Question, 0}));
    EXPECT_EQ(box.calls()[1].icon, MessageIcon::Critical);
    EXPECT_EQ(box.unanswered(), 0u);
}

TEST(UiMessageBox, ButtonAnswersFollowTheButtonsOrder) {
    EXPECT_EQ(buttonAnswer(MessageButtons::YesNoCancel, 2), MessageAnswer::Cancel);
    EXPECT_EQ(buttonAnswer(MessageButtons::AbortRetryIgnore, 1), MessageAnswer::Retry);
    EXPECT_EQ(buttonAnswer(MessageButtons::OKCancel, 0), MessageAnswer::OK);
    EXPECT_EQ(buttonAnswer(MessageButtons::YesNo, 5), MessageAnswer::Yes);  // no such button: the first
    EXPECT_EQ(static_cast<int>(MessageAnswer::No), 7);
}

TEST(UiDialogRunner, RunsTheScriptOnTheLoadedDialog) {
    ScriptedDialogRunner runner;
    runner.script("frmSample", [](Form& f) {
        auto& dlg = static_cast<frmSample&>(f);
        EXPECT_TRUE(dlg.visible());
        dlg.txtName.setText("x");
        dlg.cmdSave.press();
    });
    frmSample dlg;
    Form owner("frmMain");
    runner.showModal(dlg, &owner);
    EXPECT_TRUE(dlg.saved);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"load", "unload"}));
    ASSERT_EQ(runner.calls().size(), 1u);
    EXPECT_EQ(runner.calls()[0].owner, "frmMain");
    EXPECT_TRUE(runner.calls()[0].closedByScript);
}

TEST(UiDialogRunner, ADialogLeftOpenIsClosedWithTheCloseBox) {
    ScriptedDialogRunner runner;
    frmSample dlg;
    dlg.refuseClose = true;  // even a refusal must end the modal run
    runner.showModal(dlg);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_FALSE(dlg.saved);
    EXPECT_EQ(dlg.events, (std::vector<std::string>{"load", "query", "unload"}));
    EXPECT_FALSE(runner.calls()[0].closedByScript);
    // General scripts serve dialogs without one of their own, in order.
    int general = 0;
    runner.script([&](Form&) { ++general; });
    frmSample again;
    runner.showModal(again);
    runner.showModal(again);
    EXPECT_EQ(general, 1);
    EXPECT_EQ(runner.shown(), (std::vector<std::string>{"frmSample", "frmSample", "frmSample"}));
}

TEST(UiForm, ResizingFromCodeRunsTheResizeEventOnceLoaded) {
    frmSample f;
    f.setGeometry({0, 0, 4000, 3000});  // before loading: design-time values
    f.show();
    f.setWidth(5000);
    f.setWidth(5000);
    f.move(100, 100);  // moving is no resize
    f.setWindowState(WindowState::Minimized);
    f.geometryFromView({100, 100, 5000, 2000});  // the user's resize
    EXPECT_EQ(f.events, (std::vector<std::string>{"load", "resize", "resize", "resize"}));
    EXPECT_EQ(f.height(), 2000);
    f.refuseClose = true;
    EXPECT_FALSE(f.requestClose());
    EXPECT_TRUE(f.isLoaded());
    f.unload();
    f.unload();
    EXPECT_EQ(f.events.back(), "unload");
    EXPECT_FALSE(f.visible());
}

TEST(UiForm, BusyPointerPutsThePreviousPointerBack) {
    Form f("frmMain");
    {
        BusyPointer busy(f);
        EXPECT_EQ(f.mousePointer(), MousePointer::Hourglass);
        {
            BusyPointer nested(f);
        }
        EXPECT_EQ(f.mousePointer(), MousePointer::Hourglass);
    }
    EXPECT_EQ(f.mousePointer(), MousePointer::Default);
}

TEST(UiLayout, CentringArithmetic) {
    EXPECT_EQ(centredOnScreen(4000, 3000, 15360, 11520), (Position{5680, 4260}));
    // A form taller than the screen keeps its top on the screen; the left may go negative.
    EXPECT_EQ(centredOnScreen(20000, 14000, 15360, 11520), (Position{-2320, 0}));
    EXPECT_EQ(centredOver({1000, 2000, 6000, 4000}, 3000, 2000), (Position{2500, 3000}));
    EXPECT_EQ(centredOver({1000, -5000, 6000, 4000}, 3000, 2000), (Position{2500, 0}));

    RecordingWindowPlacement screen(15360, 11520);
    Form dlg("frmOptions");
    dlg.setGeometry({0, 0, 4000, 3000});
    centreForm(dlg, screen);
    EXPECT_EQ(dlg.left(), 5680);
    Form owner("frmMain");
    owner.setGeometry({1000, 2000, 6000, 4000});
    centreForm(dlg, owner);
    EXPECT_EQ(dlg.top(), 2500);
}

TEST(UiLayout, TwipsAndPixels) {
    EXPECT_EQ(twipsToPixels(1440, 96), 96);
    EXPECT_EQ(twipsToPixels(2465, 96), 164);  // 164.33
    EXPECT_EQ(twipsToPixels(500, 120), 42);   // 41.67
    EXPECT_EQ(pixelsToTwips(164, 96), 2460);
    for (int px = 0; px < 400; ++px) ASSERT_EQ(twipsToPixels(pixelsToTwips(px, 110), 110), px);
    EXPECT_EQ(pixelsToTwips(10, 0), 0);
}

TEST(UiLayout, WindowProceduresSetTheStatedColoursAndPictures) {
    TextBox box("txtOccursCount");
    Label label("lblOccursnTimes");
    enableTextField(box, label, false);
    EXPECT_EQ(box.backColour(), static_cast<Colour>(0x8000000F));
    EXPECT_TRUE(isSystemColour(box.backColour()));
    EXPECT_FALSE(box.enabled());
    EXPECT_FALSE(label.enabled());
    enableTextField(box, label, true);
    EXPECT_EQ(box.backColour(), 0xFFFFFF);
    EXPECT_TRUE(label.enabled());

    CommandButton save("cmdSave"), cancel("cmdCancel");
    focusColourOn(save);
    EXPECT_EQ(save.backColour(), rgb(255, 255, 185));
    focusColourOff(save);
    EXPECT_EQ(save.backColour(), 0xFF8000);
    updateButtonImages(save, "imgSave", cancel, "imgCancel", &cancel);
    EXPECT_EQ(save.picture(), "imgSave1");
    EXPECT_EQ(cancel.picture(), "imgCancel2");
    updateButtonImages(save, "imgSave", cancel, "imgCancel");
    EXPECT_EQ(cancel.picture(), "imgCancel1");

    Frame buttons("frameButtons");
    buttons.setGeometry({0, 3000, 4000, 600});
    EXPECT_EQ(heightBelowControl(buttons, 195), 3000 + 600 + 488);
}

TEST(UiLayout, AlwaysOnTopGoesThroughThePlacementService) {
    RecordingWindowPlacement placement;
    Form main("frmMain");
    EXPECT_TRUE(setAlwaysOnTop(main, true, placement));
    EXPECT_TRUE(main.alwaysOnTop());
    placement.answer(false);  // the window system refuses: the form's state stays
    EXPECT_FALSE(setAlwaysOnTop(main, false, placement));
    EXPECT_TRUE(main.alwaysOnTop());
    ASSERT_EQ(placement.calls().size(), 2u);
    EXPECT_FALSE(placement.calls()[1].onTop);
}

TEST(UiDoubles, FontDialogAndMetricsAnswerPredictably) {
    TestServices doubles;
    Services s = doubles.services();
    Font grid{"DejaVu Sans", 8.25, false, false};
    EXPECT_EQ(s.fonts.choose(grid), std::nullopt);  // unscripted: the user cancels
    doubles.fonts.answer(Font{"DejaVu Sans", 12, true, false});
    EXPECT_EQ(s.fonts.choose(grid)->size, 12);
    EXPECT_EQ(doubles.fonts.calls().size(), 2u);
    EXPECT_EQ(s.metrics.textWidth(grid, "****"), 400);
    EXPECT_EQ(s.metrics.textWidth({"x", 16.5, true, false}, "ab"), 440);
    EXPECT_EQ(s.metrics.textHeight(grid, "A"), 195);
    EXPECT_EQ(s.placement.screenWidth(), 28800);
}
