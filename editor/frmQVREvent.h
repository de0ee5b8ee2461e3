#pragma once

// The event editor: the modal dialog "Event Details" in which the user creates
// or changes one event. It edits the caller's clsCalEvent in memory and never
// touches the store itself: the main program saves the event after the dialog
// closed (when its cancel flag reads False), the gadget library hands in a save
// of its own that the dialog calls.
//
// Use:
//     QVREventOptions options;
//     options.opener = &mainWindow;     // its FlagCancel tells the outcome
//     options.listFont = gridFont;
//     frmQVREvent editor(services, settings, options);
//     editor.CalEvent(ev);
//     services.dialogs.showModal(editor, &mainWindow);
//     if (!mainWindow.FlagCancel()) doSave(ev, 2, false); else mainWindow.setFlagCancel(false);

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/CancelFlag.h"
#include "platform/clock/DateTime.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "store/clsCalEvent.h"
#include "store/clsSettings.h"

namespace wendra {

class frmQVREvent;

// What the opener decides about the editor: the main program and the gadget
// library open the same dialog and differ only here.
struct QVREventOptions {
    // Whose cancel flag the dialog sets: True when it loads, on Cancel and left
    // so by the close box; False just before a saving Save closes it. Null: no
    // opener's flag is touched (the gadget library).
    CancelFlagOwner* opener = nullptr;
    // The font of the opener's event list, which the description box takes (at
    // most 20 points). None: the box keeps the dialog's own font.
    std::optional<ui::Font> listFont;
    // Writes the event to the store once Save or a confirmed delete has filled it;
    // false reports the failure. Empty: the opener saves after the dialog closed.
    std::function<bool(clsCalEvent&)> save;
    // Shows the hide-or-delete dialog for the edited event modally, with the
    // editor as the owner of the cancel flag that dialog sets. Set, it gives the
    // dialog its "&Delete" button for events already stored.
    std::function<void(frmQVREvent& editor, clsCalEvent& event)> showDeleteDialog;
};

// The font that the main window's event list takes from the settings.
ui::Font listFontFromSettings(const clsSettings& settings);

class frmQVREvent final : public ui::Form, public CancelFlagOwner {
public:
    static constexpr const char* kFormName = "frmQVREvent";

    frmQVREvent(const ui::Services& services, const clsSettings& settings, QVREventOptions options = {});

    // The event to edit, kept by reference until the dialog is gone. An event
    // without a rule gets one here; RRule(1) is the rule the dialog edits.
    // Setting it loads nothing: the modal show does.
    void CalEvent(clsCalEvent& event);
    clsCalEvent* event() const { return event_; }

    // The editor's own cancel flag, which the delete dialogs of the gadget set.
    void setFlagCancel(bool cancelled) override { flagCancel_ = cancelled; }
    bool FlagCancel() const override { return flagCancel_; }

    // The occurrence a delete acts on (the gadget's page names it as text).
    // A text that is no date keeps the previous date.
    void setChosenOccurDate(std::string_view text);
    void setAllDayOccur(std::string_view text);  // "Y" is all day
    DateTime chosenOccurDate() const { return chosenOccurDate_; }
    bool allDayOccur() const { return allDayOccur_; }

    // The view-from date that Save writes: the loaded one until an entry of the
    // view-from list is selected.
    DateTime chosenViewFromDate() const { return viewFromDate_; }

    // The highlight of the button under the pointer.
    void doMouseOverButton(ui::Control& control);

    // Design texts.
    static constexpr const char* kNoEditText1 =
        "This event was imported from MSOutlook and contains occurrence rules that cannot be edited in Wendra (win).";
    static constexpr const char* kNoEditText2 = "Use MSOutllook to change occurrence information for this event.";

    // ---- controls -------------------------------------------------------------
    ui::TabStrip TabStrip1{"TabStrip1"};
    std::array<ui::Frame, 3> tabFrame{{ui::Frame{"tabFrame(0)"}, ui::Frame{"tabFrame(1)"}, ui::Frame{"tabFrame(2)"}}};

    // Page 1: description, start date and time.
    ui::Label lblDescription{"lblDescription", "Description"};
    ui::TextBox txtDesc{"txtDesc"};
    ui::Label lblStartDate{"lblStartDate", "Start Date"};
    ui::DatePicker ctrlEventDate{"ctrlEventDate"};
    ui::OptionGroup optAllDayEvent{"optAllDayEvent", {"All day event", "Set time"}};
    ui::TimePicker ctrlEventTime{"ctrlEventTime", "HH:mm"};

    // Page 2: how the event repeats.
    ui::Frame frameFrequency{"frameFrequency"};
    ui::OptionGroup optFrequency{"optFrequency", {"Once", "Yearly", "Monthly", "Month End", "Weekly", "Daily"}};
    ui::Frame frameInterval{"frameInterval"};
    ui::Label lblEvery{"lblEvery", "Every "};
    ui::NumberBox txtInterval{"txtInterval", 1, 999, 1};
    ui::Label lblInterval{"lblInterval", "day"};
    ui::Frame frameDuration{"frameDuration"};
    ui::OptionGroup optOccurs{"optOccurs", {"For unlimited times", ""}};
    ui::NumberBox txtOccursCount{"txtOccursCount", 0, 999, 1};
    ui::Label lblOccursnTimes{"lblOccursnTimes", "times"};
    ui::Frame frameNoEdit{"frameNoEdit"};
    ui::Label lblNoEdit1{"lblNoEdit1", kNoEditText1};
    ui::Label lblNoEdit2{"lblNoEdit2", kNoEditText2};

    // Page 3: visibility and auto-delete.
    ui::Frame Frame1{"Frame1", "Prior Warning"};
    ui::OptionGroup optPriorWarning{"optPriorWarning", {"Default (30 days)", "Same day only", ""}};
    ui::NumberBox txtPriorWarn{"txtPriorWarn", 0, 9, 1};
    ui::Label lblPriorWarn{"lblPriorWarn", "days prior"};
    ui::Frame frameViewFromDate{"frameViewFromDate"};
    ui::Label lblViewFrom{"lblViewFrom", "View from"};
    ui::ComboBox cmbViewFromDate{"cmbViewFromDate"};
    ui::Frame Frame2{"Frame2"};
    ui::CheckBox chkAutoDelete{"chkAutoDelete", "Auto-delete after"};
    ui::NumberBox txtAutoDelete{"txtAutoDelete", 1, 9, 1};
    ui::Label lblAutoDelete{"lblAutoDelete", "days"};

    // The arrows beside the number boxes.
    ui::UpDown& ubInterval() { return txtInterval.arrows(); }
    ui::UpDown& udOccursCount() { return txtOccursCount.arrows(); }
    ui::UpDown& udPriorWarn() { return txtPriorWarn.arrows(); }
    ui::UpDown& udAutoDelete() { return txtAutoDelete.arrows(); }

    // The summary under the pages.
    ui::Frame frameSummary{"frameSummary", " Summary"};
    std::array<ui::Label, 5> lblSummaryCaption{{ui::Label{"lblSummaryCaption(0)", " Desc"},
                                                ui::Label{"lblSummaryCaption(1)", " Starts"},
                                                ui::Label{"lblSummaryCaption(2)", " Time"},
                                                ui::Label{"lblSummaryCaption(3)", " Occurs"},
                                                ui::Label{"lblSummaryCaption(4)", " Show"}}};
    ui::Label lblDesc{"lblDesc"};
    ui::Label lblEventDate{"lblEventDate"};
    ui::Label lblEventTime{"lblEventTime"};
    ui::Label lblOccurs{"lblOccurs"};
    ui::Label lblPriorWarning{"lblPriorWarning"};

    // Shown over page 3 while the view-from list fills.
    ui::Frame frameLoading{"frameLoading", "Loading view from dates..."};
    ui::ProgressBar pbarLoading{"pbarLoading"};

    // The alarm page: no tab leads to it and nothing loads or saves it.
    ui::Frame tabFrameX{"tabFrameX", "Alarm"};
    ui::OptionGroup optAlarmDay{"optAlarmDay", {"Same day", "1 day before", "2 days before", "3 days before"}};
    ui::CheckBox chkActivateAlarm{"chkActivateAlarm", "Activate"};
    ui::DateTimePicker ctrlAlarmDateTime{"ctrlAlarmDateTime", ui::DateFormat::ShortDate};

    ui::Frame frameButtons{"frameButtons"};
    ui::CommandButton cmdDelete{"cmdDelete", "&Delete"};
    ui::CommandButton cmdSave{"cmdSave", "&Save"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};

protected:
    void formLoad() override;
    void formMouseMove() override { hoverButton(nullptr); }

private:
    void design();
    void wireHandlers();

    void loadEvent();
    void loadRecurrence();
    void loadVisibility();
    bool validateEvent();
    bool inputError(const std::string& message, std::string_view tabKey, ui::Control& field);
    void fillEvent();
    void save();
    void cancel();
    void deleteEvent();

    // Frequency code of the chosen option: Yearly 0, Monthly or Month End 1,
    // Weekly 2, Daily 3, Once (or none) 7.
    int selectedFrequency() const;
    int frequencyOptionIndex(int frequency) const;
    bool repeatingChosen() const;
    bool autoDeleteKept() const;

    void tabClick();
    void frequencyClick(int index);
    void occursClick(int index);
    void priorWarningClick(int index);
    void allDayClick(int index);
    void autoDeleteClick();
    void setIntervalUnitLabel();
    void updateSummary();
    std::string priorWarningText() const;
    std::string fitToLabel(const std::string& description) const;
    void fillViewFromDates();
    void viewFromClick();
    void layoutByMainFont();
    void hoverButton(ui::CommandButton* button);

    clsCalRRule* rule() const { return event_ != nullptr ? event_->RRule(1) : nullptr; }

    ui::Services services_;
    const clsSettings& settings_;
    QVREventOptions options_;
    clsCalEvent* event_ = nullptr;
    std::optional<clsCalEvent> ownEvent_;  // edited when no event was handed in
    bool editable_ = true;
    DateTime viewFromDate_;
    std::vector<DateTime> viewFromDates_;  // the dates of cmbViewFromDate's entries
    bool flagCancel_ = false;
    DateTime chosenOccurDate_;
    bool allDayOccur_ = false;
    // The prior warning as loaded, kept when it lies outside what the options
    // can show and the user never touched them.
    bool loading_ = false;
    bool priorWarningTouched_ = false;
    bool keepLoadedPriorWarning_ = false;
    int loadedPriorWarning_ = 0;
    bool loadedPriorWarningIsDefault_ = true;
    std::string loadedAutoDelete_ = "M";
};

}  // namespace wendra
