#include "editor/frmQVREvent.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>

#include "editor/frmConfirmStartDate.h"
#include "platform/clock/Clock.h"
#include "platform/ui/Layout.h"
#include "platform/ui/NumberText.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// The dialog's own texts, in one place.
namespace text {
constexpr const char* kCaption = "Event Details";
constexpr const char* kInputError = "Input error";
constexpr const char* kDescriptionEmpty = "Description cannot be empty";
constexpr const char* kIntervalBefore = "`Repeat every N ";
constexpr const char* kIntervalAfter = "` must contain a numeric value greater than zero";
// A number the box cannot hold is no value "greater than zero" that went wrong.
constexpr const char* kIntervalTooLarge = "` must contain a numeric value from 1 to 999";
constexpr const char* kCountInvalid = "`Occurs N times` must contain a numeric value greater than zero";
constexpr const char* kCountIsOne = "For 'Occurs occurs 1 time, you should select frequency 'Once'";
constexpr const char* kPriorWarnInvalid = "`n days prior` must contain a numeric value from 0 to 9";
// The auto-delete column holds one character: the box is checked like the others.
constexpr const char* kAutoDeleteInvalid = "`Auto-delete after n days` must contain a numeric value from 1 to 9";
constexpr const char* kSaveFailed = "Failed to save the event";
constexpr const char* kDeleteFailed = "Failed to delete event";
constexpr const char* kMonthEndDays = "MO,TU,WE,TH,FR,SA,SU";
}  // namespace text

constexpr int kOnce = 0;
constexpr int kOptYearly = 1;
constexpr int kOptMonthly = 2;
constexpr int kOptMonthEnd = 3;
constexpr int kOptWeekly = 4;
constexpr int kOptDaily = 5;

constexpr int kTabDesc = 0;
constexpr int kTabOccurs = 1;
constexpr int kTabShow = 2;

// The pages stand this far inside the tab strip's top left corner.
constexpr int kPageLeft = 150;
constexpr int kPageTop = 350;

// A typed number of any length, rounded as the whole-number conversion rounds and
// held far from overflow: a box full of nines is a large number, never a wrap.
std::optional<long long> wholeValue(std::string_view s) {
    const auto v = parseScientific(s);
    if (!v) return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r > 1e15) return static_cast<long long>(1e15);
    if (r < -1e15) return static_cast<long long>(-1e15);
    return static_cast<long long>(r);
}

bool isNumeric(std::string_view s) { return parseScientific(s).has_value(); }

int toInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

std::string priorWarningDefaultCaption(int n) {
    if (n < 1) return "Default (Same day)";
    if (n == 1) return "Default (1 day)";
    return "Default (" + std::to_string(n) + " days)";
}

}  // namespace

ui::Font listFontFromSettings(const clsSettings& settings) {
    ui::Font f;
    f.name = settings.FontName();
    f.size = settings.FontSize();
    f.bold = settings.FontBold();
    f.italic = settings.FontItalic();
    return f;
}

frmQVREvent::frmQVREvent(const ui::Services& services, const clsSettings& settings, QVREventOptions options)
    : ui::Form(kFormName, text::kCaption), services_(services), settings_(settings), options_(std::move(options)) {
    design();
    wireHandlers();
}

// ---- design ------------------------------------------------------------------

// Where everything stands before loading, in twips within its container, and the
// state each control starts in.
void frmQVREvent::design() {
    setFont(ui::Font{"Sans Serif", 8});
    setGeometry({0, 0, 7300, 6930});

    TabStrip1.addTab("tabDesc", "&Desc-Date-Time");
    TabStrip1.addTab("tabOccurs", "&Occurs");
    TabStrip1.addTab("tabShow", "&Visibility");
    TabStrip1.setGeometry({60, 60, 7200, 4200});
    for (auto& page : tabFrame) page.setGeometry({210, 410, 6900, 3750});
    tabFrameX.setGeometry({210, 410, 6900, 3750});
    tabFrameX.setVisible(false);

    // Page 1.
    lblDescription.setGeometry({120, 120, 3000, 240});
    txtDesc.setGeometry({120, 390, 6600, 375});
    txtDesc.setSelectAllOnFocus(true);
    lblStartDate.setGeometry({120, 960, 2400, 240});
    ctrlEventDate.setGeometry({120, 1230, 2100, 345});
    optAllDayEvent[0].setGeometry({120, 1800, 2400, 285});
    optAllDayEvent[1].setGeometry({120, 2160, 1500, 285});
    ctrlEventTime.setGeometry({1700, 2130, 1100, 345});

    // Page 2: the frames stacked without gaps, as the page's height is their sum.
    frameFrequency.setGeometry({0, 0, 6900, 1050});
    for (int i = 0; i < optFrequency.count(); ++i)
        optFrequency[i].setGeometry({240 + (i % 3) * 2160, 240 + (i / 3) * 390, 1900, 285});
    frameNoEdit.setGeometry({0, 0, 6900, 1500});
    frameNoEdit.setVisible(false);
    lblNoEdit1.setGeometry({120, 240, 6600, 600});
    lblNoEdit1.setWordWrap(true);
    lblNoEdit2.setGeometry({120, 900, 6600, 480});
    lblNoEdit2.setWordWrap(true);
    frameInterval.setGeometry({0, 1050, 6900, 700});
    lblEvery.setGeometry({240, 300, 600, 255});
    txtInterval.setGeometry({840, 240, 700, 330});
    ubInterval().setGeometry({1545, 240, 255, 330});
    txtInterval.setText("1");
    lblInterval.setGeometry({1900, 300, 2000, 255});
    frameDuration.setGeometry({0, 1750, 6900, 1060});
    optOccurs[0].setGeometry({240, 240, 3000, 285});
    optOccurs[1].setGeometry({240, 630, 300, 285});
    txtOccursCount.setGeometry({560, 600, 700, 330});
    udOccursCount().setGeometry({1265, 600, 255, 330});
    lblOccursnTimes.setGeometry({1620, 660, 1000, 255});
    ui::enableTextField(txtOccursCount, lblOccursnTimes, false);

    // Page 3.
    Frame1.setGeometry({0, 90, 6900, 1100});
    optPriorWarning[0].setGeometry({240, 300, 3000, 285});
    optPriorWarning[1].setGeometry({3400, 300, 2500, 285});
    optPriorWarning[2].setGeometry({240, 690, 300, 285});
    txtPriorWarn.setGeometry({560, 660, 600, 330});
    udPriorWarn().setGeometry({1165, 660, 255, 330});
    lblPriorWarn.setGeometry({1520, 720, 1500, 255});
    ui::enableTextField(txtPriorWarn, lblPriorWarn, false);
    frameViewFromDate.setGeometry({0, 1270, 6900, 720});
    lblViewFrom.setGeometry({240, 300, 1000, 255});
    cmbViewFromDate.setGeometry({1300, 240, 3200, 330});
    Frame2.setGeometry({0, 2070, 6900, 720});
    chkAutoDelete.setGeometry({240, 270, 2100, 285});
    txtAutoDelete.setGeometry({2400, 240, 600, 330});
    udAutoDelete().setGeometry({3005, 240, 255, 330});
    lblAutoDelete.setGeometry({3360, 300, 1000, 255});
    // Typed text reaches the box unfiltered; validation judges it.
    txtAutoDelete.setKeyFilter(ui::KeyFilter::None);
    txtAutoDelete.setSelectAllOnFocus(false);
    ui::enableTextField(txtAutoDelete, lblAutoDelete, false);

    frameLoading.setGeometry({210, 410, 6900, 1100});
    frameLoading.setVisible(false);
    pbarLoading.setGeometry({240, 420, 6400, 330});

    frameSummary.setGeometry({60, 4300, 7200, 1680});
    const std::array<ui::Label*, 5> values{&lblDesc, &lblEventDate, &lblEventTime, &lblOccurs, &lblPriorWarning};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int top = 270 + static_cast<int>(i) * 270;
        lblSummaryCaption[i].setGeometry({120, top, 900, 255});
        values[i]->setGeometry({1050, top, 6030, 255});
    }

    frameButtons.setGeometry({60, 6000, 7200, 600});
    cmdDelete.setGeometry({120, 90, 1400, 420});
    cmdDelete.setVisible(false);
    cmdSave.setGeometry({4260, 90, 1400, 420});
    cmdSave.setDefault(true);
    cmdCancel.setGeometry({5700, 90, 1400, 420});
}

void frmQVREvent::wireHandlers() {
    TabStrip1.onClick = [this] { tabClick(); };
    optFrequency.onClick = [this](int i) { frequencyClick(i); };
    optOccurs.onClick = [this](int i) { occursClick(i); };
    optPriorWarning.onClick = [this](int i) { priorWarningClick(i); };
    optAllDayEvent.onClick = [this](int i) { allDayClick(i); };
    chkAutoDelete.onClick = [this] { autoDeleteClick(); };

    txtInterval.onChange = [this] {
        setIntervalUnitLabel();
        updateSummary();
    };
    for (ui::TextBox* box : {&txtDesc, static_cast<ui::TextBox*>(&txtOccursCount),
                             static_cast<ui::TextBox*>(&txtPriorWarn), static_cast<ui::TextBox*>(&txtAutoDelete)})
        box->onChange = [this] { updateSummary(); };
    ctrlEventDate.onChange = [this] { updateSummary(); };
    ctrlEventTime.onChange = [this] { updateSummary(); };
    txtAutoDelete.onStep = [this] { updateSummary(); };

    // The arrows step their box only while its choice is made.
    txtOccursCount.actsWhen = [this] { return optOccurs.isSelected(1); };
    txtPriorWarn.actsWhen = [this] { return optPriorWarning.isSelected(2); };
    txtAutoDelete.actsWhen = [this] { return chkAutoDelete.checked(); };

    cmbViewFromDate.onClick = [this] { viewFromClick(); };

    // The alarm page is inert: its choices only refresh the summary.
    optAlarmDay.onClick = [this](int) { updateSummary(); };
    ctrlAlarmDateTime.onChange = [this] { updateSummary(); };

    cmdSave.onClick = [this] { save(); };
    cmdCancel.onClick = [this] { cancel(); };
    cmdDelete.onClick = [this] { deleteEvent(); };

    ui::wireHover({&cmdSave, &cmdCancel, &cmdDelete}, ui::FocusHover::Alone,
                  {&TabStrip1, &tabFrame[0], &tabFrame[1], &tabFrame[2], &frameButtons, &frameDuration, &frameFrequency,
                   &frameInterval, &frameSummary, &frameViewFromDate, &Frame1, &Frame2});
}

// ---- public members ------------------------------------------------------------

void frmQVREvent::CalEvent(clsCalEvent& event) {
    event_ = &event;
    if (event.RRulesCount() == 0) event.addRRule();
}

void frmQVREvent::setChosenOccurDate(std::string_view text) {
    if (const auto d = parseICalDateTime(text)) chosenOccurDate_ = *d;
}

void frmQVREvent::setAllDayOccur(std::string_view text) { allDayOccur_ = text == "Y"; }

void frmQVREvent::doMouseOverButton(ui::Control& control) { ui::focusColourOn(control); }

// ---- loading -------------------------------------------------------------------

void frmQVREvent::formLoad() {
    loading_ = true;
    if (options_.opener != nullptr) options_.opener->setFlagCancel(true);
    if (event_ == nullptr) {
        // Shown without an event: it edits a new one that nobody reads back.
        ownEvent_.emplace();
        CalEvent(*ownEvent_);
    }

    setWidth(TabStrip1.width() + 100);
    setHeight(TabStrip1.height() + 450 + frameSummary.height() + frameButtons.height());
    ui::centreForm(*this, services_.placement);
    tabFrame[kTabDesc].move(TabStrip1.left() + kPageLeft, TabStrip1.top() + kPageTop);
    tabFrame[kTabOccurs].setHeight(frameFrequency.height() + frameInterval.height() + frameDuration.height() + 20);

    loadEvent();
    updateSummary();
    tabFrame[kTabOccurs].setVisible(false);
    tabFrame[kTabShow].setVisible(false);
    TabStrip1.select(kTabDesc);
    layoutByMainFont();
    hoverButton(nullptr);
    loading_ = false;
    updateSummary();  // the description's label may have taken another font
    // What the user types first goes into the description.
    txtDesc.setFocus();
}

void frmQVREvent::loadEvent() {
    const clsCalEvent& ev = *event_;
    txtDesc.setText(ev.Description());
    ctrlEventDate.setValue(ev.EventStart());
    if (ev.AllDayEvent()) {
        optAllDayEvent.select(0);
    } else {
        ctrlEventTime.setValue(ev.EventStart());
        optAllDayEvent.select(1);
    }
    cmdDelete.setVisible(options_.showDeleteDialog && !ev.WendraWinId().empty());
    loadRecurrence();
    loadVisibility();
}

void frmQVREvent::loadRecurrence() {
    const clsCalEvent& ev = *event_;
    frameNoEdit.setVisible(false);
    frameNoEdit.setTop(frameFrequency.top());
    editable_ = ev.isEditableQVR();
    if (!editable_) {
        frameNoEdit.setVisible(true);
        frameFrequency.setVisible(false);
        frameInterval.setVisible(false);
        frameDuration.setVisible(false);
        return;
    }
    const clsCalRRule& r = *rule();
    if (!ev.IsRecurring() || r.Frequency() == clsCalRRule::kNone) {
        optFrequency.select(kOnce);
        frameInterval.setVisible(false);
        frameDuration.setVisible(false);
        return;
    }
    frameInterval.setVisible(true);
    frameDuration.setVisible(true);

    int count = r.DurationCount();
    if (!r.DurationUntil().isNull() && count < 1) {
        // A rule bounded by a date shows as its count. The count is taken on a copy,
        // so that nothing of the expansion reaches the event before a Save.
        const clsCalEvent probe = ev;
        count = probe.calcDurationCount(*probe.RRule(1));
    }
    if (count >= 1) {
        ui::enableTextField(txtOccursCount, lblOccursnTimes, true);
        txtOccursCount.setText(std::to_string(count));
        optOccurs.select(1);
    } else {
        optOccurs.select(0);
        ui::enableTextField(txtOccursCount, lblOccursnTimes, false);
    }
    if (const int index = frequencyOptionIndex(r.Frequency()); index != -1) optFrequency.select(index);
    txtInterval.setText(std::to_string(r.Interval()));
}

void frmQVREvent::loadVisibility() {
    const clsCalEvent& ev = *event_;
    loadedAutoDelete_ = ev.AutoDelete();
    if (ev.AutoDelete() != "M") {
        txtAutoDelete.setText(ev.AutoDelete());
        chkAutoDelete.setChecked(true);
    } else {
        txtAutoDelete.setText("");
        chkAutoDelete.setChecked(false);
    }

    optPriorWarning[0].setCaption(priorWarningDefaultCaption(settings_.PriorWarning()));
    loadedPriorWarningIsDefault_ = ev.PriorWarningIsDefault();
    loadedPriorWarning_ = ev.PriorWarning();
    keepLoadedPriorWarning_ = false;
    if (ev.PriorWarningIsDefault()) {
        optPriorWarning.select(0);
    } else {
        const int p = ev.PriorWarning();
        if (p < 0 || p > 9) {
            // The options cannot show it (the device or Outlook set it): unless the
            // user chooses otherwise, Save writes it back as it came.
            optPriorWarning.select(0);
            keepLoadedPriorWarning_ = true;
        } else if (p == 0) {
            optPriorWarning.select(1);
        } else {
            txtPriorWarn.setText(std::to_string(p));
            optPriorWarning.select(2);
        }
    }
    viewFromDate_ = ev.ViewFromDate();
}

// ---- frequencies ---------------------------------------------------------------

int frmQVREvent::selectedFrequency() const {
    switch (optFrequency.selected()) {
        case kOptYearly: return clsCalRRule::kYearly;
        case kOptMonthly:
        case kOptMonthEnd: return clsCalRRule::kMonthly;
        case kOptWeekly: return clsCalRRule::kWeekly;
        case kOptDaily: return clsCalRRule::kDaily;
        default: return clsCalRRule::kNone;
    }
}

int frmQVREvent::frequencyOptionIndex(int frequency) const {
    switch (frequency) {
        case clsCalRRule::kYearly: return kOptYearly;
        case clsCalRRule::kMonthly: return rule() != nullptr && rule()->isMonthEnd() ? kOptMonthEnd : kOptMonthly;
        case clsCalRRule::kWeekly: return kOptWeekly;
        case clsCalRRule::kDaily: return kOptDaily;
        default: return -1;
    }
}

bool frmQVREvent::repeatingChosen() const { return optFrequency.selected() > kOnce; }

// A stored code that the list acts on (any count of days from 0, as the device or
// an older copy may have written) stays as it is while the box still shows it;
// what the user types is held to 1 to 9.
bool frmQVREvent::autoDeleteKept() const {
    return chkAutoDelete.checked() && loadedAutoDelete_ != "M" && txtAutoDelete.text() == loadedAutoDelete_ &&
           toIntOrDefault(loadedAutoDelete_, -1) >= 0;
}

// ---- validation and saving -----------------------------------------------------

bool frmQVREvent::inputError(const std::string& message, std::string_view tabKey, ui::Control& field) {
    services_.messages.show(ui::MessageRequest{message, text::kInputError, ui::MessageButtons::OK,
                                               ui::MessageIcon::None, 0});
    TabStrip1.select(tabKey);
    field.setFocus();
    return false;
}

bool frmQVREvent::validateEvent() {
    if (trim(txtDesc.text()).empty()) return inputError(text::kDescriptionEmpty, "tabDesc", txtDesc);
    if (repeatingChosen()) {
        // isNumberInRange reads the text as a wide number: 99999 fails its range
        // check like any other value above the limit.
        if (!isNumberInRange(txtInterval.text(), 1, 999)) {
            const auto v = wholeValue(txtInterval.text());
            const char* after = v && *v > 999 ? text::kIntervalTooLarge : text::kIntervalAfter;
            return inputError(text::kIntervalBefore + lblInterval.caption() + after, "tabOccurs", txtInterval);
        }
        if (optOccurs.isSelected(1)) {
            if (!isNumberInRange(txtOccursCount.text(), 1, 999))
                return inputError(text::kCountInvalid, "tabOccurs", txtOccursCount);
            if (wholeValue(txtOccursCount.text()) == 1) return inputError(text::kCountIsOne, "tabOccurs", txtOccursCount);
        }
        if (optFrequency.isSelected(kOptMonthEnd) && !isMonthEnd(ctrlEventDate.value())) {
            frmConfirmStartDate confirm(services_);
            confirm.startDateCtrl(ctrlEventDate);
            services_.dialogs.showModal(confirm, this);
        }
    }
    if (optPriorWarning.isSelected(2) && !isNumberInRange(txtPriorWarn.text(), 0, 9))
        return inputError(text::kPriorWarnInvalid, "tabShow", txtPriorWarn);
    if (chkAutoDelete.checked() && !autoDeleteKept() && !isNumberInRange(txtAutoDelete.text(), 1, 9))
        return inputError(text::kAutoDeleteInvalid, "tabShow", txtAutoDelete);
    return true;
}

void frmQVREvent::fillEvent() {
    clsCalEvent& ev = *event_;
    ev.setDescription(txtDesc.text());

    const bool allDay = optAllDayEvent.isSelected(0);
    // An all-day event starts at the picked day's midnight, whatever time the
    // picker still holds from an earlier timed start.
    const DateTime start = allDay ? ctrlEventDate.value().date()
                                  : combineDateTime(ctrlEventDate.value(), ctrlEventTime.value());
    ev.setEventStart(start);
    ev.setAllDayEvent(allDay);

    if (autoDeleteKept()) {
        ev.setAutoDelete(loadedAutoDelete_);
    } else {
        ev.setAutoDelete(chkAutoDelete.checked() ? std::to_string(wholeValue(txtAutoDelete.text()).value_or(1)) : "M");
    }

    if (keepLoadedPriorWarning_) {
        ev.setPriorWarningIsDefault(loadedPriorWarningIsDefault_);
        ev.setPriorWarning(loadedPriorWarning_);
    } else if (optPriorWarning.isSelected(0)) {
        ev.setPriorWarningIsDefault(true);
        ev.setPriorWarning(settings_.PriorWarning());
    } else {
        ev.setPriorWarningIsDefault(false);
        ev.setPriorWarning(optPriorWarning.isSelected(1) ? 0 : toInt(wholeValue(txtPriorWarn.text()).value_or(0)));
    }

    // An event whose rules the dialog cannot show keeps them and its excluded dates.
    const int chosen = optFrequency.selected();
    if (editable_ && chosen == kOnce) {
        if (ev.IsRecurring()) ev.setExDates("");
        ev.setIsRecurring(false);
        ev.deleteRRule(1);
        // A one-off whose start is hidden has nothing left to show and the store
        // would drop it.
        ev.removeHiddenDate(ev.EventStart());
    } else if (editable_ && chosen > kOnce) {
        clsCalRRule& r = *rule();
        const int frequency = selectedFrequency();
        const int interval = toInt(wholeValue(txtInterval.text()).value_or(1));
        if (frequency != r.Frequency() || interval != r.Interval()) ev.setExDates("");
        ev.setIsRecurring(true);
        // A clean rule each time: BY-lists of an earlier month-end choice must not
        // bend the new frequency.
        r.setByDay("");
        r.setByMonthDay("");
        r.setBySetPos("");
        r.setFrequency(frequency);
        r.setInterval(interval);
        r.setDurationCount(optOccurs.isSelected(1) ? toInt(wholeValue(txtOccursCount.text()).value_or(0)) : 0);
        r.setDurationUntil(DateTime(), allDay);
        if (chosen == kOptMonthEnd) {
            r.setByDay(text::kMonthEndDays);
            r.setBySetPos("-1");
        } else if (chosen == kOptMonthly && start.day() > 28) {
            r.setByMonthDay(start.day() == 29 ? "28,29" : start.day() == 30 ? "28,29,30" : "28,29,30,31");
            r.setBySetPos("-1");
        }
    }

    ev.setViewFromDate(viewFromDate_);
    ev.setLastModified(now());
}

void frmQVREvent::save() {
    if (!validateEvent()) return;
    fillEvent();
    if (options_.save && !options_.save(*event_))
        services_.messages.show(text::kSaveFailed, ui::MessageButtons::OK, ui::MessageIcon::Critical);
    if (options_.opener != nullptr) options_.opener->setFlagCancel(false);
    unload();
}

void frmQVREvent::cancel() {
    if (options_.opener != nullptr) options_.opener->setFlagCancel(true);
    unload();
}

void frmQVREvent::deleteEvent() {
    if (!options_.showDeleteDialog) return;
    // A delete dialog that never loads counts as cancelled.
    flagCancel_ = true;
    options_.showDeleteDialog(*this, *event_);
    if (flagCancel_) return;  // the editor stays open
    if (options_.save && !options_.save(*event_))
        services_.messages.show(text::kDeleteFailed, ui::MessageButtons::OK, ui::MessageIcon::Critical);
    if (options_.opener != nullptr) options_.opener->setFlagCancel(false);
    unload();
}

// ---- control handlers ----------------------------------------------------------

void frmQVREvent::tabClick() {
    const int i = TabStrip1.selectedIndex();
    if (i < 0 || i >= static_cast<int>(tabFrame.size())) return;
    for (auto& page : tabFrame) page.setVisible(false);
    if (i == kTabOccurs) {
        (editable_ ? frameFrequency : frameNoEdit).setVisible(true);
    } else {
        frameFrequency.setVisible(false);
        frameNoEdit.setVisible(false);
    }
    ui::Frame& page = tabFrame[static_cast<std::size_t>(i)];
    page.move(TabStrip1.left() + kPageLeft, TabStrip1.top() + kPageTop);
    page.setVisible(true);
    if (i == kTabShow) fillViewFromDates();
}

void frmQVREvent::frequencyClick(int index) {
    const bool repeating = index != kOnce;
    frameInterval.setVisible(repeating);
    frameDuration.setVisible(repeating);
    if (repeating) setIntervalUnitLabel();
    updateSummary();
}

void frmQVREvent::setIntervalUnitLabel() {
    static constexpr std::array<const char*, 6> kUnits = {"", "year", "month", "month end", "week", "day"};
    const int i = optFrequency.selected();
    if (i <= kOnce) return;
    std::string unit = kUnits[static_cast<std::size_t>(i)];
    if (const auto v = parseScientific(txtInterval.text()); v && *v != 1) unit += "s";
    lblInterval.setCaption(unit);
}

void frmQVREvent::occursClick(int index) {
    if (index == 1) {
        ui::enableTextField(txtOccursCount, lblOccursnTimes, true);
        if (!isNumeric(txtOccursCount.text())) txtOccursCount.setText("");
        if (frameDuration.visible() && visible()) txtOccursCount.setFocus();
    } else {
        txtOccursCount.setText("");
        ui::enableTextField(txtOccursCount, lblOccursnTimes, false);
    }
    updateSummary();
}

void frmQVREvent::priorWarningClick(int index) {
    if (!loading_) keepLoadedPriorWarning_ = false;
    if (index == 2) {
        ui::enableTextField(txtPriorWarn, lblPriorWarn, true);
        if (!isNumeric(txtPriorWarn.text())) txtPriorWarn.setText("1");
        if (txtPriorWarn.visible() && visible()) txtPriorWarn.setFocus();
    } else {
        txtPriorWarn.setText("");
        ui::enableTextField(txtPriorWarn, lblPriorWarn, false);
    }
    updateSummary();
}

void frmQVREvent::allDayClick(int index) {
    ctrlEventTime.setEnabled(index == 1);
    updateSummary();
}

void frmQVREvent::autoDeleteClick() {
    if (!chkAutoDelete.checked()) {
        txtAutoDelete.setText("");
        ui::enableTextField(txtAutoDelete, lblAutoDelete, false);
    } else {
        ui::enableTextField(txtAutoDelete, lblAutoDelete, true);
        if (!isNumeric(txtAutoDelete.text())) txtAutoDelete.setText("1");
        if (txtAutoDelete.visible() && visible()) txtAutoDelete.setFocus();
    }
    updateSummary();
}

void frmQVREvent::viewFromClick() {
    const int i = cmbViewFromDate.listIndex();
    if (i >= 0 && i < static_cast<int>(viewFromDates_.size())) viewFromDate_ = viewFromDates_[static_cast<std::size_t>(i)];
}

// Every occurrence from the first up to the next one due, each an entry. The walk
// runs on a copy of the event, so the view date and hidden list it needs changed
// never reach the event itself.
void frmQVREvent::fillViewFromDates() {
    const ui::BusyPointer busy(*this);
    cmbViewFromDate.clear();
    viewFromDates_.clear();
    if (event_ == nullptr || !event_->IsRecurring()) {
        frameViewFromDate.setEnabled(false);
        return;
    }
    frameViewFromDate.setEnabled(true);
    ui::Frame& page = tabFrame[kTabShow];
    page.setVisible(false);
    frameLoading.move(page.left(), page.top());
    frameLoading.setVisible(true);

    clsCalEvent walk = *event_;
    walk.setViewFromDate(today());
    walk.setHiddenList("");
    const DateTime end = walk.calcNextViewDate();
    walk.generateOccurs(walk.EventStart(), end);
    pbarLoading.setValue(0);
    pbarLoading.setRange(0, walk.getOccurCount() + 1);

    const bool withTime = !walk.AllDayEvent();
    for (walk.firstOccur(); !walk.endOfOccurs(); walk.nextOccur()) {
        pbarLoading.setValue(pbarLoading.value() + 1);
        const DateTime d = walk.OccurDate();
        cmbViewFromDate.addItem(formatLongDate(d, withTime, true));
        viewFromDates_.push_back(d);
        if (compareDates(d, viewFromDate_) == DateOrder::Same) cmbViewFromDate.setListIndex(cmbViewFromDate.listCount() - 1);
    }
    if (cmbViewFromDate.listIndex() < 0 && cmbViewFromDate.listCount() > 0)
        cmbViewFromDate.setListIndex(cmbViewFromDate.listCount() - 1);

    page.setVisible(true);
    frameLoading.setVisible(false);
}

// ---- summary -------------------------------------------------------------------

std::string frmQVREvent::fitToLabel(const std::string& description) const {
    const ui::Font labelFont = lblDesc.font().value_or(font());
    const int room = lblDesc.width();
    const std::string full = " " + description;
    if (services_.metrics.textWidth(labelFont, full) <= room) return full;
    // The longest beginning, in whole characters, that still fits.
    std::size_t lo = 0, hi = ui::charCount(description);
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        const std::string candidate = " " + description.substr(0, ui::byteOffset(description, mid));
        if (services_.metrics.textWidth(labelFont, candidate) <= room) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return " " + description.substr(0, ui::byteOffset(description, lo));
}

std::string frmQVREvent::priorWarningText() const {
    const int chosen = optPriorWarning.selected();
    if (chosen == 0 || chosen == 1) return optPriorWarning[chosen].caption();
    if (chosen != 2) return {};
    const std::string& days = txtPriorWarn.text();
    if (days == "0") return "Same day only";
    if (days == "1") return "1 day prior";
    if (isNumeric(days)) return days + " days prior";
    return "? days prior";
}

void frmQVREvent::updateSummary() {
    lblDesc.setCaption(fitToLabel(txtDesc.text()));

    const DateTime date = ctrlEventDate.value();
    lblEventDate.setCaption(" " + formatLongDate(date, false, false) + " - " + weekdayText(date, false));
    lblEventTime.setCaption(optAllDayEvent.isSelected(0) ? std::string(" All day event")
                                                         : " " + formatTimeHM(ctrlEventTime.value()));

    std::string occurs;
    if (optFrequency.selected() < 0 && rule() != nullptr) {
        // Rules the dialog cannot edit are told as they stand.
        occurs = frequencyText(rule()->Frequency(), rule()->isMonthEnd(), rule()->Interval());
    } else {
        const auto n = wholeValue(txtInterval.text());
        occurs = frequencyText(selectedFrequency(), optFrequency.isSelected(kOptMonthEnd), n ? toInt(*n) : 1);
        const auto count = wholeValue(txtOccursCount.text());
        if (repeatingChosen() && optOccurs.isSelected(1) && count && *count > 1)
            occurs += " for " + txtOccursCount.text() + " occurrences";
    }
    lblOccurs.setCaption(" " + occurs);

    std::string autoDelete = "Manual delete";
    if (chkAutoDelete.checked())
        autoDelete = txtAutoDelete.text() == "1" ? "Auto delete after 1 day"
                                                 : "Auto delete after " + txtAutoDelete.text() + " days";
    lblPriorWarning.setCaption(" " + priorWarningText() + ".    " + autoDelete + ".");
}

// ---- layout and buttons --------------------------------------------------------

void frmQVREvent::layoutByMainFont() {
    ui::Font measuring = txtDesc.font().value_or(font());
    if (options_.listFont) {
        const ui::Font& list = *options_.listFont;
        ui::Font boxFont = font();
        boxFont.italic = list.italic;
        boxFont.bold = list.bold;
        boxFont.name = list.name;
        if (list.size > 0) boxFont.size = std::min(list.size, 20.0);
        txtDesc.setFont(boxFont);
        ui::Font labelFont = lblDesc.font().value_or(font());
        labelFont.name = list.name;
        lblDesc.setFont(labelFont);
        measuring = boxFont;
    }
    const int height =
        std::max(375, static_cast<int>(std::lround(1.5 * services_.metrics.textHeight(measuring, "A"))));
    const int grown = height - txtDesc.height();
    txtDesc.setHeight(height);
    if (grown <= 0) return;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lblStartDate, &ctrlEventDate, &optAllDayEvent[0],
                                                             &optAllDayEvent[1], &ctrlEventTime})
        c->setTop(c->top() + grown);
}

void frmQVREvent::hoverButton(ui::CommandButton* button) { ui::showHover({&cmdSave, &cmdCancel, &cmdDelete}, button); }

}  // namespace wendra
