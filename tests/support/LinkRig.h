#pragma once

// A main window started over a fresh store and the serial port the test gives
// it (the fake or a real tty), with the port setting of the test's choosing, a
// fixed "now" for the program, a folder for the message copies,
// and every text panel 2 showed, in order.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/frmMain.h"
#include "platform/clock/Clock.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/sound/SoundRecorder.h"
#include "platform/ui/TestDoubles.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

class LinkRig {
public:
    // 10:00 on 11 March 2026: a device clock of "20260311T100500" is 300 s ahead.
    static DateTime fixedNow() { return DateTime::ymd(2026, 3, 11, 10, 0, 0); }

    explicit LinkRig(SerialPort& port) : port_(port) {
        EXPECT_TRUE(db::createDatabaseFile(dir / db::kDatabaseFileName));
        preset("Main", "Installed", "True");
    }

    void preset(std::string_view section, std::string_view key, std::string_view value) {
        settingsStore.saveSetting(clsSettings::AppName, section, key, value);
    }
    // As the settings dialog stores it: through the window's settings once it runs.
    void setCommPort(int port) {
        if (form && form->settings())
            form->settings()->setCommPort(static_cast<std::int16_t>(port));
        else
            preset("Options", "CommPort", std::to_string(port));
    }

    frmMain& start(int commPort) {
        setCommPort(commPort);
        form = std::make_unique<frmMain>(
            frmMainCollaborators{ui.services(), settingsStore, dir.path(), outlook, port_, sound, {}, {}});
        form->messageFolder = dir / "sync";
        form->onBeep = [this] {
            ++beeps;
            if (onBeep) onBeep();
        };
        watch = form->StatusBar1.subscribe([this] {
            std::string text = form->StatusBar1.text(frmMain::kCommPanel);
            if (text != lastText_) panelTexts.push_back(lastText_ = std::move(text));
        });
        form->show();
        EXPECT_EQ(form->startup(), frmMain::Startup::Running);
        return *form;
    }

    std::string panel() const { return form->StatusBar1.text(frmMain::kCommPanel); }
    // A click on panel 2, and the turn of the event loop in which the port closes.
    void clickCommPanel() {
        form->StatusBar1.click(frmMain::kCommPanel);
        ui.timers.advance(frmMain::kClosePortDelayMs);
    }
    std::string panelImage() const { return form->StatusBar1.panel(frmMain::kCommPanel).imageKey; }
    // The copy of the last message of a kind ("SyncTime.txt"); empty when none.
    std::string copy(std::string_view fileName) const {
        std::ifstream in(dir / "sync" / fileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TempFolder dir;
    settings::MemorySettingsStore settingsStore;
    ui::TestServices ui;
    NoOutlook outlook;
    SoundRecorder sound;
    FakeClock clock{fixedNow()};
    ClockOverride useClock{clock};
    int beeps = 0;
    // Runs inside the window's beep, in the middle of handling a refused SYNC-TIME.
    std::function<void()> onBeep;
    std::vector<std::string> panelTexts;
    std::unique_ptr<frmMain> form;

private:
    SerialPort& port_;
    std::string lastText_;
    ui::Subscription watch;
};

// The program's answer to a SYNC-TIME, as the device reads it.
inline std::string syncTimeReply(std::string_view statusLines) {
    return "BEGIN:QVR-SYNC-TIME\r\n" + std::string(statusLines) + "\r\nEND:QVR-SYNC-TIME";
}

}  // namespace wendra::test
