#pragma once

#include <string>
#include <string_view>

#include "exchange/OutlookBinding.h"
#include "platform/ui/Commands.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "store/clsSettings.h"

namespace wendra {

// The mode dialog: standalone or Outlook mode. Choosing Outlook tests the
// connection first and falls back to standalone when it fails; nothing is stored
// until Save. The caller then shows the mode from the settings.
class frmMode final : public ui::Form {
public:
    // What a failed test says, with the calendar's reason on a second line.
    static constexpr std::string_view kMsgNoConnection = "Cannot establish a connection with Microsoft Outlook";
    static std::string noConnectionText(const std::string& reason);

    frmMode(clsSettings& settings, const ui::Services& services, OutlookBinding& outlook);

    ui::Label lblText{"lblText"};
    ui::Frame Frame2{"Frame2", "Mode"};
    ui::OptionGroup optMode{"optMode", {"Standalone", "Connect to Microsoft Outlook"}};
    ui::Label lblModeInfo{"lblModeInfo"};
    ui::Frame frameButtons{"frameButtons"};
    ui::CommandButton cmdSave{"cmdSave", "&Save"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};
    ui::StatusBar StatusBar1{"StatusBar1"};

    bool saved() const { return saved_; }

protected:
    void formLoad() override;
    void formMouseMove() override { updateButtons(nullptr); }

private:
    void optModeClick(int index);
    void showModeStatus(const std::string& text);
    void updateButtons(const ui::Control* hovered);
    void save();

    clsSettings& settings_;
    ui::Services services_;
    OutlookBinding& outlook_;
    bool loading_ = false;
    bool saved_ = false;
};

}  // namespace wendra
