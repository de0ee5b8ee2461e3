#include "editor/frmVisibility.h"

#include "platform/clock/Clock.h"
#include "platform/ui/Layout.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// The design layout in twips. The prior-warning options stand in two columns of
// six and five; the frames stack, so that a dialog without the view-from frame
// only needs the buttons moved up and its height cut.
constexpr int kFormWidth = 4455;
constexpr int kFormHeight = 5370;
constexpr ui::Geometry kFramePriorWarn{120, 120, 4095, 2200};
constexpr ui::Geometry kFrameViewFromDate{120, 2420, 4095, 1600};
constexpr ui::Geometry kFrameButtons{120, 4140, 4095, 750};
constexpr int kOptionRows = 6;
constexpr int kOptionTop = 300;
constexpr int kOptionPitch = 300;

std::string defaultCaption(int days) {
    if (days < 1) return "Default (Same day)";
    if (days == 1) return "Default (1 day)";
    return "Default (" + std::to_string(days) + " days)";
}

}  // namespace

frmVisibility::frmVisibility(ui::Services services, const clsSettings& settings)
    : ui::Form(kFormName, "Visibility"), services_(services), settings_(settings) {
    setGeometry({0, 0, kFormWidth, kFormHeight});
    designLayout();
    lblViewFromNote.setWordWrap(true);

    optPriorWarning.onClick = [this](int) {
        if (!loadingChoice_) priorWarningTouched_ = true;
    };
    cmdSave.onClick = [this] { save(); };
    cmdCancel.onClick = [this] { cancel(); };
    cmdCancel.setCancel(true);

    // Pictures: the one under the pointer shows its hover image; moving over the
    // dialog's background shows both plain. A focused button draws its picture
    // with the mask colour transparent.
    cmdSave.onMouseMove = [this] { showButtonImages(&cmdSave); };
    cmdCancel.onMouseMove = [this] { showButtonImages(&cmdCancel); };
    frameButtons.onMouseMove = [this] { showButtonImages(nullptr); };
    frameViewFromDate.onMouseMove = [this] { showButtonImages(nullptr); };
    for (ui::CommandButton* b : {&cmdSave, &cmdCancel}) {
        b->onGotFocus = [b] { b->setUseMaskColour(true); };
        b->onLostFocus = [b] { b->setUseMaskColour(false); };
    }
    showButtonImages(nullptr);
}

std::string frmVisibility::entryText(DateTime occurrence) {
    std::string text = formatLongDate(occurrence, false, true);
    if (occurrence.secondOfDay() != 0)
        text += " " + (occurrence.second() != 0 ? formatTimeHMS(occurrence, true) : formatTimeHM(occurrence));
    return text;
}

// Every showing starts from the design, whatever an earlier event did to it.
void frmVisibility::designLayout() {
    framePriorWarn.setGeometry(kFramePriorWarn);
    for (int i = 0; i < optPriorWarning.count(); ++i) {
        const int column = i / kOptionRows;
        const int row = i % kOptionRows;
        optPriorWarning[i].setGeometry({column == 0 ? 200 : 2200, kOptionTop + row * kOptionPitch, column == 0 ? 1900 : 1750, 255});
    }
    frameViewFromDate.setGeometry(kFrameViewFromDate);
    frameViewFromDate.setVisible(true);
    lblViewFrom.setGeometry({200, 360, 900, 255});
    cmbViewFromDate.setGeometry({1250, 300, 2650, 315});
    lblViewFromNote.setGeometry({200, 780, 3700, 750});
    frameButtons.setGeometry(kFrameButtons);
    cmdSave.setGeometry({750, 180, 1200, 450});
    cmdCancel.setGeometry({2150, 180, 1200, 450});
    setHeight(kFormHeight);
}

void frmVisibility::formLoad() {
    report(true);
    designLayout();
    occurrences_.clear();
    cmbViewFromDate.clear();
    if (event_ == nullptr) {
        unload();
        return;
    }
    loadViewFromDates();
    // Centred once its height is known: a one-off event's dialog is shorter.
    ui::centreForm(*this, services_.placement);
    optPriorWarning[0].setCaption(defaultCaption(settings_.PriorWarning()));
    choosePriorWarning();
    showButtonImages(nullptr);
    cmdSave.setUseMaskColour(false);
    cmdCancel.setUseMaskColour(false);
    if (onStatusText) onStatusText("Editing visibility for: " + event_->Description());
}

void frmVisibility::choosePriorWarning() {
    int option = 0;
    if (!event_->PriorWarningIsDefault()) {
        const int days = event_->PriorWarning();
        if (days >= 0 && days <= 9) option = days + 1;
    }
    loadingChoice_ = true;
    optPriorWarning.select(option);
    loadingChoice_ = false;
    priorWarningTouched_ = false;
}

void frmVisibility::loadViewFromDates() {
    const ui::BusyPointer busy(*this);
    if (!event_->IsRecurring()) {
        frameViewFromDate.setVisible(false);
        frameButtons.setTop(framePriorWarn.top() + framePriorWarn.height() + 100);
        setHeight(frameButtons.top() + frameButtons.height() + 480);
        return;
    }
    // Every occurrence from the first up to the next one from today, hidden ones
    // included. The walk runs on a copy: it moves the walk state and may complete
    // a counted rule's end, and the event must stay as it was until Save.
    const DateTime viewFrom = event_->ViewFromDate();
    clsCalEvent walk = *event_;
    walk.setViewFromDate(today());
    walk.setHiddenList("");
    const DateTime end = walk.calcNextViewDate();
    if (end.isNull()) return;  // nothing left to show from today on
    walk.generateOccurs(walk.EventStart(), end);
    int selected = -1;
    for (walk.firstOccur(); !walk.endOfOccurs(); walk.nextOccur()) {
        if (compareDates(walk.OccurDate(), viewFrom) == DateOrder::Same) selected = static_cast<int>(occurrences_.size());
        occurrences_.push_back(walk.OccurDate());
        cmbViewFromDate.addItem(entryText(walk.OccurDate()));
    }
    if (selected >= 0) cmbViewFromDate.setListIndex(selected);
}

void frmVisibility::save() {
    if (event_ == nullptr) return;
    if (!priorWarningTouched_ && event_->PriorWarningIsDefault()) {
        // The default as it is now: the number stored beside the flag is what the
        // device and Outlook are sent.
        event_->setPriorWarning(settings_.PriorWarning());
    } else if (priorWarningTouched_) {
        const int option = optPriorWarning.selected();
        if (option == 0) {
            event_->setPriorWarningIsDefault(true);
            event_->setPriorWarning(settings_.PriorWarning());
        } else if (option > 0) {
            event_->setPriorWarningIsDefault(false);
            event_->setPriorWarning(option - 1);
        }
    }
    // The entry's own occurrence, exact to the second; no entry chosen keeps both.
    const int entry = cmbViewFromDate.listIndex();
    if (entry >= 0 && entry < static_cast<int>(occurrences_.size())) {
        const DateTime chosen = occurrences_[static_cast<std::size_t>(entry)];
        event_->setViewFromDate(chosen);
        event_->removeHiddenDate(chosen);
    }
    event_->setLastModified(now());
    report(false);
    unload();
}

void frmVisibility::cancel() {
    report(true);
    unload();
}

void frmVisibility::report(bool cancelled) {
    cancelled_ = cancelled;
    if (caller_ != nullptr) caller_->setFlagCancel(cancelled);
}

void frmVisibility::formMouseMove() { showButtonImages(nullptr); }

void frmVisibility::showButtonImages(const ui::Control* hovered) {
    ui::updateButtonImages(cmdSave, "imgSave", cmdCancel, "imgCancel", hovered);
}

}  // namespace wendra
