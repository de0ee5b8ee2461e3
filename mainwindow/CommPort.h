#pragma once

// Opening the serial port that the settings name, and the message that tells
// the user it would not open: one place for the main window and the settings
// dialog.

#include "platform/serial/SerialPort.h"
#include "platform/ui/Services.h"

namespace wendra {

// Brings the serial port in line with the port setting: port 1 and up is (re)opened
// unless it is open on that number already, anything below 1 closes it. A port that
// cannot be opened is reported in a message box when displayWarn; false then.
bool openCommPort(SerialPort& port, int portSetting, bool displayWarn, ui::MessageBoxService& messages);

}  // namespace wendra
