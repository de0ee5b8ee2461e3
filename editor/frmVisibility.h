#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editor/CancelFlag.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "store/clsCalEvent.h"
#include "store/clsSettings.h"

namespace wendra {

// The small dialog that changes only when an event comes into view: its own
// prior warning and, for a repeating event, the occurrence from which it is
// listed. Choosing an earlier occurrence than the current view-from date makes
// hidden past occurrences visible again.
//
// The opener hands it the event and itself as caller, shows it modally and then
// reads the result (or its own FlagCancel): only Save touches the event, and the
// opener saves the event afterwards.
class frmVisibility final : public ui::Form {
public:
    static constexpr const char* kFormName = "frmVisibility";

    frmVisibility(ui::Services services, const clsSettings& settings);

    // The event to change; it must outlive the showing. Until one is set the dialog
    // closes again at once, as cancelled.
    void setCalEvent(clsCalEvent& event) { event_ = &event; }
    // Whoever opened the dialog: it learns the result through its FlagCancel.
    void setCaller(CancelFlagOwner& caller) { caller_ = &caller; }
    // True unless the last showing ended with Save (the close box is a cancel).
    bool cancelled() const { return cancelled_; }

    // Shows a text in the opener's status panel; the opener writes its own text
    // again once the dialog has closed.
    std::function<void(const std::string&)> onStatusText;

    // The occurrence behind each entry of cmbViewFromDate, in list order.
    const std::vector<DateTime>& viewFromOccurrences() const { return occurrences_; }
    // The text of a list entry: the date with the abbreviated month, and the time
    // of day (with its seconds when it has any) unless it is midnight.
    static std::string entryText(DateTime occurrence);

    ui::Frame framePriorWarn{"framePriorWarn", "Prior Warning"};
    // 0 the settings' default; k from 1 to 10 a prior warning of k - 1 days.
    ui::OptionGroup optPriorWarning{"optPriorWarning",
                                    {"Default (30 days)", "Same day only", "1 day prior", "2 days prior",
                                     "3 days prior", "4 days prior", "5 days prior", "6 days prior",
                                     "7 days prior", "8 days prior", "9 days prior"}};
    ui::Frame frameViewFromDate{"frameViewFromDate", "View From Date"};
    ui::Label lblViewFrom{"lblViewFrom", "View from"};
    ui::ComboBox cmbViewFromDate{"cmbViewFromDate"};
    ui::Label lblViewFromNote{
        "lblViewFromNote",
        "Hidden past occurrences may be made visible by changing the date of the next viewable occurrence"};
    ui::Frame frameButtons{"frameButtons"};
    ui::CommandButton cmdSave{"cmdSave", "&Save"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};

protected:
    void formLoad() override;
    void formMouseMove() override;

private:
    void designLayout();
    void loadViewFromDates();
    void choosePriorWarning();
    void save();
    void cancel();
    void report(bool cancelled);
    void showButtonImages(const ui::Control* hovered);

    ui::Services services_;
    const clsSettings& settings_;
    clsCalEvent* event_ = nullptr;
    CancelFlagOwner* caller_ = nullptr;
    bool cancelled_ = true;
    // Whether the user chose a prior-warning option since the load: an untouched
    // choice keeps what the event had, even a value no option stands for.
    bool priorWarningTouched_ = false;
    bool loadingChoice_ = false;
    std::vector<DateTime> occurrences_;
};

}  // namespace wendra
