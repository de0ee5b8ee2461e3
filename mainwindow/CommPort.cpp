#include "mainwindow/CommPort.h"

#include <string>

namespace wendra {

namespace {

std::string commPortErrorText(int portSetting, const SerialError& error) {
    return "Error opening serial communications port, COM" + std::to_string(portSetting) +
           "\r\n\r\nReported error=" + error.description + " (" + std::to_string(error.number) + ")";
}

}  // namespace

bool openCommPort(SerialPort& port, int portSetting, bool displayWarn, ui::MessageBoxService& messages) {
    bool opened = true;
    if (portSetting >= 1) {
        if (port.portNumber() != portSetting || !port.isOpen()) {
            if (port.isOpen()) port.close();
            opened = port.open(portSetting);
        }
    } else if (port.isOpen()) {
        // Port 0 counts as no port: the line stays closed.
        port.close();
    }
    if (opened) return true;
    if (displayWarn)
        messages.show(commPortErrorText(portSetting, port.lastError()), ui::MessageButtons::OK,
                      ui::MessageIcon::Critical);
    return false;
}

}  // namespace wendra
