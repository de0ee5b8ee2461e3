#pragma once

// The month-end confirmation: "Month End" was chosen for a start that is not the
// last day of its month. It offers the date as entered and its month's end, and
// writes the choice back into the editor's date picker. Cancel and the close box
// leave the picker as it was; no cancel flag is involved.

#include "platform/clock/DateTime.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"

namespace wendra {

class frmConfirmStartDate final : public ui::Form {
public:
    static constexpr const char* kFormName = "frmConfirmStartDate";

    explicit frmConfirmStartDate(const ui::Services& services);

    // The picker whose date is confirmed; it must outlive the dialog.
    void startDateCtrl(ui::DateTimePicker& picker) { picker_ = &picker; }

    DateTime startDate() const { return start_; }
    DateTime monthEnd() const { return monthEnd_; }

    ui::Label lblNote1{"lblNote1", "Month end was selected but the event start date is not a month end date."};
    ui::Label lblNote2{"lblNote2", "Confirm the event start date:"};
    ui::OptionGroup optStartDate{"optStartDate", {"", ""}};
    ui::Frame frameButtons{"frameButtons"};
    ui::CommandButton cmdSave{"cmdSave", "&Save"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};

protected:
    void formLoad() override;
    void formMouseMove() override { hoverButton(nullptr); }

private:
    void save();
    void hoverButton(ui::CommandButton* button);

    ui::Services services_;
    ui::DateTimePicker* picker_ = nullptr;
    DateTime start_;
    DateTime monthEnd_;
};

}  // namespace wendra
