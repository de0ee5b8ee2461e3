#include "mainwindow/frmAbout.h"

#include "Version.h"
#include "platform/ui/Layout.h"
#include "store/DefaultFont.h"

namespace wendra {

frmAbout::frmAbout(const ui::Form& owner, Variant variant)
    : ui::Form("frmAbout", "About Wendra(win)"), owner_(owner), variant_(variant) {
    // The settings take their default list font from this box.
    setFont(ui::Font{std::string(kDefaultFontName), static_cast<double>(kDefaultFontSize)});
    setGeometry({0, 0, 5415, 3465});
    picWendraWin.setGeometry({240, 240, 720, 720});
    lblTitle.setGeometry({1140, 240, 3975, 420});
    lblTitle.setFont(ui::Font{std::string(kDefaultFontName), 14, true});
    lblVersion.setGeometry({1140, 720, 3975, 255});
    picWendraGo.setGeometry({240, 1260, 720, 720});
    lblCompanion.setGeometry({1140, 1260, 3975, 255});
    lblCompanion.setFont(ui::Font{std::string(kDefaultFontName), static_cast<double>(kDefaultFontSize), true});
    lblCompanionText.setGeometry({1140, 1560, 3975, 720});
    lblCompanionText.setWordWrap(true);
    cmdOK.setGeometry({3780, 2460, 1335, 405});
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);

    cmdOK.onClick = [this] { unload(); };
    if (variant_ == Variant::Library) {
        cmdOK.setPicture("imgOK1");
        cmdOK.onMouseMove = [this] { cmdOK.setPicture("imgOK2"); };
    } else {
        ui::wireHover({&cmdOK}, ui::FocusHover::BesideOthers);
    }
}

std::string frmAbout::versionText(Variant variant) {
    std::string text = "Version: " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
    if (variant == Variant::Program) text += "." + std::to_string(kVersionPatch);
    return text;
}

void frmAbout::formLoad() {
    lblVersion.setCaption(versionText(variant_));
    ui::centreForm(*this, owner_);
    if (variant_ == Variant::Program) ui::showHover({&cmdOK}, nullptr);
}

void frmAbout::formMouseMove() {
    if (variant_ == Variant::Library) {
        cmdOK.setPicture("imgOK1");
    } else {
        ui::showHover({&cmdOK}, nullptr);
    }
}

}  // namespace wendra
