#include "editor/frmDeleteSingle.h"

#include "platform/clock/Clock.h"
#include "platform/ui/Layout.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// The design layout in twips: the detail rows, the recommendation, the buttons,
// and below them the override frame, which standalone mode cuts off.
constexpr int kFormWidth = 5900;
constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 1550;
constexpr int kValueLeft = 1750;
constexpr int kValueWidth = 3850;
constexpr int kRowHeight = 255;
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = 5520;
constexpr int kButtonsHeight = 750;
constexpr int kWarningHeight = 1150;

}  // namespace

// ---- what both dialogs share ------------------------------------------------

HideDeleteForm::HideDeleteForm(std::string name, ui::Services services, const clsSettings& settings,
                               int helpStandalone, int helpShared, int recommendTop)
    : ui::Form(std::move(name), "Hide / Delete"),
      services_(services),
      settings_(settings),
      helpStandalone_(helpStandalone),
      helpShared_(helpShared),
      recommendTop_(recommendTop) {
    designLayout();
    setGeometry({0, 0, kFormWidth, designHeight_});

    cmdHide.onClick = [this] { act(); };
    cmdCancel.onClick = [this] { cancel(); };
    cmdCancel.setCancel(true);
    cmdMoreInfo.onClick = [this] { showHelp(); };

    // One button lit at a time: the one with the focus or under the pointer.
    for (ui::CommandButton* b : {&cmdCancel, &cmdHide, &cmdMoreInfo}) {
        b->onGotFocus = [this, b] { highlight(b); };
        b->onMouseMove = [this, b] { highlight(b); };
        b->onLostFocus = [this] { highlight(nullptr); };
    }
    for (ui::Control* c : std::initializer_list<ui::Control*>{&frameWarning, &frameButtons, &Label1, &Label2, &Label3,
                                                             &Label4, &Label5, &Label6, &lblDesc, &lblDate,
                                                             &lblOccurs})
        c->onMouseMove = [this] { highlight(nullptr); };
    chkChange.onClick = [this] { highlight(nullptr); };
    highlight(nullptr);
}

void HideDeleteForm::designLayout() {
    Label2.setGeometry({kLabelLeft, 160, kLabelWidth, kRowHeight});
    lblDesc.setGeometry({kValueLeft, 160, kValueWidth, kRowHeight});
    Label3.setGeometry({kLabelLeft, 460, kLabelWidth, kRowHeight});
    lblDate.setGeometry({kValueLeft, 460, kValueWidth, kRowHeight});
    Label4.setGeometry({kLabelLeft, 760, kLabelWidth, kRowHeight});
    lblOccurs.setGeometry({kValueLeft, 760, kValueWidth, kRowHeight});
    Label1.setGeometry({kLabelLeft, recommendTop_, kLabelWidth, kRowHeight});
    imgRecommend.setGeometry({kValueLeft, recommendTop_ - 90, 1500, 435});
    const int buttonsTop = recommendTop_ + 450;
    frameButtons.setGeometry({kFrameLeft, buttonsTop, kFrameWidth, kButtonsHeight});
    cmdHide.setGeometry({1200, 180, 1400, 450});
    cmdCancel.setGeometry({2900, 180, 1400, 450});
    const int warningTop = buttonsTop + kButtonsHeight + 120;
    frameWarning.setGeometry({kFrameLeft, warningTop, kFrameWidth, kWarningHeight});
    frameWarning.setVisible(true);
    Label6.setGeometry({200, 330, 3400, kRowHeight});
    Label5.setGeometry({200, 720, 1000, kRowHeight});
    chkChange.setGeometry({1250, 690, 1400, 315});
    cmdMoreInfo.setGeometry({3900, 560, 1400, 450});
    designHeight_ = warningTop + kWarningHeight + 500;
}

int HideDeleteForm::HelpContextID() const { return standalone() ? helpStandalone_ : helpShared_; }

void HideDeleteForm::showHelp() {
    if (onHelp) onHelp(HelpContextID());
}

void HideDeleteForm::formLoad() {
    // Closing the window any other way than by the action counts as Cancel.
    report(true);
    if (event_ == nullptr) {
        unload();
        return;
    }
    // Every showing starts from the design, whatever an earlier one changed.
    designLayout();
    setCaption("Hide / Delete");
    setHeight(designHeight_);
    chkChange.setChecked(false);
    lblDesc.setCaption(event_->Description());
    lblDate.setCaption(formatLongDate(event_->EventStart(), !event_->AllDayEvent(), false));
    loadDetails();
    // Centred once its height is known: standalone mode cuts the dialog short.
    ui::centreForm(*this, services_.placement);
    highlight(nullptr);
}

void HideDeleteForm::setRecommendedMode() {
    DateTime judged = judgedDate();
    DateTime reference = now();
    if (event_->AllDayEvent()) {
        judged = dateOnly(judged);
        reference = dateOnly(reference);
    }
    recommendDelete_ = compareDates(judged, reference) == DateOrder::Later;
    // The box's caption names the mode it switches to. When the recommendation
    // turns while the box is ticked (the dialog was activated again later), the
    // tick would now mean the opposite: it is cleared instead.
    const std::string other = recommendDelete_ ? "Hide" : "Delete";
    if (chkChange.caption() != other && chkChange.checked()) chkChange.setChecked(false);
    chkChange.setCaption(other);
    imgRecommend.setImageKey(recommendDelete_ ? "imgDelete" : "imgHide");

    if (standalone()) {
        setCaption("Delete");
        standaloneCaptions();
        chkChange.setChecked(false);
        frameWarning.setVisible(false);
        setHeight(frameButtons.top() + frameButtons.height() + 500);
    }
}

bool HideDeleteForm::deletes() const {
    // The box's caption "Hide" stands for a recommended Delete.
    const bool switched = frameWarning.visible() && chkChange.checked();
    return recommendDelete_ != switched;
}

void HideDeleteForm::act() {
    if (event_ == nullptr) return;
    if (deletes()) {
        deleteEvent();
    } else {
        hideEvent();
    }
    report(false);
    unload();
}

void HideDeleteForm::cancel() {
    report(true);
    unload();
}

void HideDeleteForm::report(bool cancelled) {
    cancelled_ = cancelled;
    if (caller_ != nullptr) caller_->setFlagCancel(cancelled);
}

void HideDeleteForm::formMouseMove() { highlight(nullptr); }

void HideDeleteForm::highlight(const ui::CommandButton* on) {
    for (ui::CommandButton* b : {&cmdCancel, &cmdHide, &cmdMoreInfo}) {
        if (b == on) {
            ui::focusColourOn(*b);
        } else {
            ui::focusColourOff(*b);
        }
    }
}

// ---- the one-off event's dialog ---------------------------------------------

frmDeleteSingle::frmDeleteSingle(ui::Services services, const clsSettings& settings)
    : HideDeleteForm(kFormName, services, settings, 6, 8, 1160) {}

void frmDeleteSingle::loadDetails() { setRecommendedMode(); }

DateTime frmDeleteSingle::judgedDate() const { return event().EventStart(); }

void frmDeleteSingle::deleteEvent() {
    event().setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    event().setLastModified(now());
}

void frmDeleteSingle::hideEvent() {
    event().setUpdateRequest(clsCalEvent::kRequestHideEvent);
    event().setLastModified(now());
}

}  // namespace wendra
