#include "editor/frmConfirmStartDate.h"

#include "platform/ui/Layout.h"
#include "store/modFuncs.h"

namespace wendra {

frmConfirmStartDate::frmConfirmStartDate(const ui::Services& services)
    : ui::Form(kFormName, "Confirm start date"), services_(services) {
    setFont(ui::Font{"Sans Serif", 8});
    setGeometry({0, 0, 5700, 2900});
    lblNote1.setGeometry({180, 150, 5300, 480});
    lblNote1.setWordWrap(true);
    lblNote2.setGeometry({180, 690, 5300, 255});
    optStartDate[0].setGeometry({420, 1020, 5000, 285});
    optStartDate[1].setGeometry({420, 1380, 5000, 285});
    frameButtons.setGeometry({60, 1800, 5500, 600});
    cmdSave.setGeometry({2500, 90, 1400, 420});
    cmdSave.setDefault(true);
    cmdCancel.setGeometry({3960, 90, 1400, 420});

    cmdSave.onClick = [this] { save(); };
    cmdCancel.onClick = [this] { unload(); };
    ui::wireHover({&cmdSave, &cmdCancel}, ui::FocusHover::Alone, {&frameButtons});
}

void frmConfirmStartDate::formLoad() {
    ui::centreForm(*this, services_.placement);
    if (picker_ == nullptr) {
        unload();  // nothing to confirm
        return;
    }
    start_ = picker_->value();
    monthEnd_ = lastDayOfMonth(start_);
    optStartDate[0].setCaption(formatLongDate(start_, false, false));
    optStartDate[1].setCaption(formatLongDate(monthEnd_, false, false) + "   (next month end date)");
    optStartDate.select(1);
    hoverButton(nullptr);
}

void frmConfirmStartDate::save() {
    if (picker_ != nullptr) picker_->setValue(optStartDate.isSelected(0) ? start_ : monthEnd_);
    unload();
}

void frmConfirmStartDate::hoverButton(ui::CommandButton* button) { ui::showHover({&cmdSave, &cmdCancel}, button); }

}  // namespace wendra
