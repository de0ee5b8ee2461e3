#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "mainwindow/CommPort.h"
#include "platform/serial/SerialPort.h"
#include "platform/ui/Commands.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Layout.h"
#include "platform/ui/Services.h"
#include "store/clsSettings.h"

namespace wendra {

// ---- shared by the settings and the default prior warning dialogs ----------

// The messages of Save's checks.
inline constexpr std::string_view kMsgPriorWarnRange = "`Default prior warning` should be a value from 0 to 999 days";
inline constexpr std::string_view kMsgPastHoursRange = "`Count as past event after` should be a value from 0 to 24 hours";

// Digits, the full stop and backspace pass unchanged; every other key is swallowed (0).
int decimalKeyFilter(int keyCode);

// The texts of the two boxes as Save accepts them: a number (a fraction too) from
// 0 to 999 days, and from 0 to 24 hours.
bool isValidPriorWarn(std::string_view text);
bool isValidPastEventHours(std::string_view text);

// The whole number a valid box holds, rounded as the settings keep it.
std::int16_t boxValue(std::string_view text);

// ---- frmOptions -------------------------------------------------------------

// The settings dialog: default prior warning, past-event hours, when the countdown
// shows in the caption and the serial port of the mobile companion. Shown modal by
// the main window, which afterwards updates its caption, mode display and list.
class frmOptions final : public ui::Form {
public:
    // Brings the serial port in line with the stored port setting after Save; the
    // argument asks for a message when it fails. The main window passes its own
    // openCommPort, which also shows the port state in its status bar.
    using CommPortOpener = std::function<bool(bool displayWarn)>;

    frmOptions(clsSettings& settings, const ui::Services& services, CommPortOpener openCommPort);
    // Without a main window: the port itself is opened (see openCommPort above).
    frmOptions(clsSettings& settings, const ui::Services& services, SerialPort& port);

    ui::Label lblDaysInAdvance{"lblDaysInAdvance", "Default prior warning"};
    ui::NumberBox txtDaysInAdvance{"txtDaysInAdvance", 0, 999, 1};
    ui::Label lblDays{"lblDays", "days"};
    ui::Label lblPastEventHours{"lblPastEventHours", "Count as past event after"};
    ui::NumberBox txtPastEventHours{"txtPastEventHours", 0, 24, 1};
    ui::Label lblHours{"lblHours", "hours"};
    ui::Label lblCountdown{"lblCountdown", "Show countdown in taskbar"};
    ui::ComboBox cmbCountdown{"cmbCountdown"};
    ui::Label lblSync{"lblSync", "Synchronize with Wendra(go) on mobile device via Bluetooth:"};
    ui::Label lblCommPort{"lblCommPort", "Using COM (serial) port"};
    ui::ComboBox cmbCommPort{"cmbCommPort"};
    ui::Frame frameButtons{"frameButtons"};
    ui::CommandButton cmdSave{"cmdSave", "&Save"};
    ui::CommandButton cmdCancel{"cmdCancel", "&Cancel"};
    ui::StatusBar StatusBar1{"StatusBar1"};

    // The up-down arrows are the number boxes' own.
    ui::UpDown& udDaysInAdvance() { return txtDaysInAdvance.arrows(); }
    ui::UpDown& udPastEventHours() { return txtPastEventHours.arrows(); }

    // What the caller reads once the dialog is closed: whether Save stored the
    // settings, and then whether the serial port opened (or closed) as they ask.
    bool saved() const { return saved_; }
    std::optional<bool> commPortOpened() const { return commPortOpened_; }

protected:
    void formLoad() override;
    void formMouseMove() override { ui::showHover({&cmdSave, &cmdCancel}, nullptr); }

private:
    bool validateSettings();
    void save();
    void showOptionsStatus(const std::string& text);
    void fitOptionsHeight();
    int lineHeight() const;

    clsSettings& settings_;
    ui::Services services_;
    CommPortOpener openCommPort_;
    bool saved_ = false;
    std::optional<bool> commPortOpened_;
};

}  // namespace wendra
