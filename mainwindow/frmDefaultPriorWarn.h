#pragma once

#include "editor/CancelFlag.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "store/clsSettings.h"

namespace wendra {

// The View menu's "Change default": edits the default prior warning alone. Save
// stores it and leaves the opener's cancel flag alone; every other way out (Cancel,
// Escape, the close box) sets the flag, so the opener switches views only on Save.
class frmDefaultPriorWarn final : public ui::Form {
public:
    // owner: the main window, over which the dialog centres and whose FlagCancel it sets.
    frmDefaultPriorWarn(clsSettings& settings, const ui::Services& services, const ui::Form& owner,
                        CancelFlagOwner& flag);

    ui::Label lblDaysInAdvance{"lblDaysInAdvance", "Default prior warning"};
    ui::NumberBox txtDaysInAdvance{"txtDaysInAdvance", 0, 999, 1};
    ui::Label lblDays{"lblDays", "days"};
    ui::CommandButton cmdSave{"cmdSave", "&Save"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};

    ui::UpDown& udDaysInAdvance() { return txtDaysInAdvance.arrows(); }

    bool saved() const { return saved_; }

protected:
    void formLoad() override;
    void formUnload() override;
    void formMouseMove() override;

private:
    void save();

    clsSettings& settings_;
    ui::Services services_;
    const ui::Form& owner_;
    CancelFlagOwner& flag_;
    bool saved_ = false;
};

}  // namespace wendra
