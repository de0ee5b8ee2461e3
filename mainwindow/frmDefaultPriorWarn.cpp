#include "mainwindow/frmDefaultPriorWarn.h"

#include "mainwindow/frmOptions.h"
#include "platform/ui/Layout.h"
#include "store/DefaultFont.h"

namespace wendra {

frmDefaultPriorWarn::frmDefaultPriorWarn(clsSettings& settings, const ui::Services& services, const ui::Form& owner,
                                         CancelFlagOwner& flag)
    : ui::Form("frmDefaultPriorWarn", "Wendra (win)"),
      settings_(settings),
      services_(services),
      owner_(owner),
      flag_(flag) {
    setFont(ui::Font{std::string(kDefaultFontName), static_cast<double>(kDefaultFontSize)});
    setGeometry({0, 0, 4275, 1740});
    lblDaysInAdvance.setGeometry({240, 285, 1860, 255});
    txtDaysInAdvance.setGeometry({2160, 240, 660, 315});
    udDaysInAdvance().setGeometry({2820, 240, 255, 315});
    lblDays.setGeometry({3180, 285, 855, 255});
    cmdSave.setGeometry({600, 840, 1335, 405});
    cmdCancel.setGeometry({2160, 840, 1335, 405});

    txtDaysInAdvance.setKeyFilter(ui::KeyFilter::Decimal);
    cmdSave.setDefault(true);
    cmdCancel.setCancel(true);

    cmdSave.onClick = [this] { save(); };
    // The cancel flag itself is set by the unload, whatever closes the dialog.
    cmdCancel.onClick = [this] { unload(); };
    ui::wireHover({&cmdSave, &cmdCancel}, ui::FocusHover::BesideOthers);
}

void frmDefaultPriorWarn::formLoad() {
    saved_ = false;
    ui::centreForm(*this, owner_);
    ui::showHover({&cmdSave, &cmdCancel}, nullptr);
    txtDaysInAdvance.setText(std::to_string(settings_.PriorWarning()));
}

void frmDefaultPriorWarn::formMouseMove() { ui::showHover({&cmdSave, &cmdCancel}, nullptr); }

void frmDefaultPriorWarn::save() {
    if (!isValidPriorWarn(txtDaysInAdvance.text())) {
        services_.messages.show(std::string(kMsgPriorWarnRange));
        txtDaysInAdvance.setFocus();
        return;
    }
    settings_.setPriorWarning(boxValue(txtDaysInAdvance.text()));
    saved_ = true;
    unload();
}

void frmDefaultPriorWarn::formUnload() {
    // The close box used to leave the flag as it was, which the opener took for a
    // Save: only Save counts as one now.
    if (!saved_) flag_.setFlagCancel(true);
}

}  // namespace wendra
