#pragma once

#include <string>

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

namespace wendra {

// The about box. The gadget library carries it too, with a shorter version text
// and picture buttons instead of focus colours; its font is the program's default
// list font (store/DefaultFont.h).
class frmAbout final : public ui::Form {
public:
    enum class Variant { Program, Library };

    // owner: the window the box centres over (the main window, or the library's empty one).
    explicit frmAbout(const ui::Form& owner, Variant variant = Variant::Program);

    ui::Picture picWendraWin{"picWendraWin", "imgWendraWin"};
    ui::Label lblTitle{"lblTitle", "Wendra(win)"};
    ui::Label lblVersion{"lblVersion"};
    ui::Picture picWendraGo{"picWendraGo", "imgWendraGo"};
    ui::Label lblCompanion{"lblCompanion", "Wendra(go)"};
    ui::Label lblCompanionText{"lblCompanionText",
                               "Wendra(go) provides much of the same functionality of Wendra(win) but in your pocket on "
                               "your mobile phone or PDA."};
    ui::CommandButton cmdOK{"cmdOK", "OK"};

    Variant variant() const { return variant_; }
    // "Version: " and the program's version: major.minor.revision, or major.minor in the library.
    static std::string versionText(Variant variant);

protected:
    void formLoad() override;
    void formMouseMove() override;

private:
    const ui::Form& owner_;
    Variant variant_;
};

}  // namespace wendra
