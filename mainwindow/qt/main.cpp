// WendraWin: the main program. It wires the real platform layer to the main window
// and runs it; the window's load is the start-up, its unload the shutdown.
#include <QApplication>

#include <clocale>

#include "editor/qt/ConfirmStartDateView.h"
#include "editor/qt/DeleteMultView.h"
#include "editor/qt/DeleteSingleView.h"
#include "editor/qt/QVREventView.h"
#include "editor/qt/VisibilityView.h"
#include "exchange/clsDataOutlook.h"
#include "mainwindow/GadgetInstall.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/qt/AboutView.h"
#include "mainwindow/qt/DefaultPriorWarnView.h"
#include "mainwindow/qt/EndOnSignals.h"
#include "mainwindow/qt/GadgetInstallView.h"
#include "mainwindow/qt/MainWindowView.h"
#include "mainwindow/qt/ModeView.h"
#include "mainwindow/qt/OptionsView.h"
#include "platform/outlook/IcsCalendar.h"
#include "platform/outlook/qt/QtAppointmentWindow.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/settings/FileSettingsStore.h"
#include "platform/shell/InstanceLock.h"
#include "platform/shell/ProgramFolder.h"
#include "platform/sound/QtSound.h"
#include "platform/ui/qt/QtServices.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Message boxes without a title of their own carry the program's name.
    QApplication::setApplicationName(QStringLiteral("WendraWin"));
    // Month and weekday names follow the user's language.
    std::setlocale(LC_TIME, "");

    wendra::ui::qt::QtServices qt;
    wendra::settings::FileSettingsStore settingsStore = wendra::settings::FileSettingsStore::forCurrentUser();
    const std::filesystem::path folder = wendra::shell::programFolder();
    // Held for the life of the process; the kernel lets go of it however the process ends.
    wendra::shell::InstanceLock instance(wendra::shell::instanceLockFile(settingsStore.folder()));
    // Outlook mode's calendar: the iCalendar file $WENDRAWIN_CALENDAR, else
    // $XDG_DATA_HOME/WendraWin/Outlook.ics, with its own appointment window. The
    // binding reaches the store, the settings and the program's state through the
    // window, which makes them at its start-up.
    wendra::frmMain* window = nullptr;
    wendra::outlook::CalendarOptions calendarOptions;
    calendarOptions.window = std::make_shared<wendra::outlook::qt::QtAppointmentWindow>();
    wendra::outlook::CalendarAutomation calendar(calendarOptions);
    wendra::clsDataOutlook outlook(
        calendar, qt.messages,
        wendra::OutlookContext{[&window] { return window != nullptr ? window->store() : nullptr; },
                               [&window] { return window != nullptr ? window->settings() : nullptr; },
                               [&window] { return window != nullptr ? &window->state() : nullptr; }});
    wendra::QtSerialPort port;
    wendra::QtSound sound;
    wendra::mainwindow::qt::QtProgramStarter starter;

    wendra::frmMain form(wendra::frmMainCollaborators{
        qt.services(), settingsStore, folder, outlook, port, sound,
        // A lock that cannot be had at all (no folder for it) does not keep the user out.
        [&instance] { return instance.claim() != wendra::shell::InstanceClaim::HeldElsewhere; },
        [&](wendra::frmMain& f) {
            if (f.settings() != nullptr)
                wendra::offerGadgetInstall(*f.settings(), folder.string(), qt.services(), starter);
        }});
    window = &form;
    // Copies of what the device sends, where the user can write (the program folder may be read-only).
    if (const auto data = wendra::shell::userDataFolder(); !data.empty()) form.messageFolder = data / "sync";
    form.onBeep = [] { QApplication::beep(); };
    wendra::mainwindow::qt::MainWindowView view(form, folder / "icons");
    // The dialogs' views, found by their forms' names when a dialog is shown.
    wendra::mainwindow::qt::registerOptionsView(qt.dialogs);
    wendra::mainwindow::qt::registerDefaultPriorWarnView(qt.dialogs);
    wendra::mainwindow::qt::registerModeView(qt.dialogs);
    wendra::mainwindow::qt::registerAboutView(qt.dialogs);
    wendra::registerDeleteMultView(qt.dialogs);
    wendra::registerDeleteSingleView(qt.dialogs);
    wendra::registerVisibilityView(qt.dialogs, &view.images());
    wendra::registerQVREventView(qt.dialogs);
    wendra::registerConfirmStartDateView(qt.dialogs);
    wendra::mainwindow::qt::registerGadgetInstallView(qt.dialogs, folder);

    // A logout or `kill` ends it as File, Exit does.
    wendra::mainwindow::qt::EndOnSignals endOnSignals(form);
    form.show();
    endOnSignals.loadEnded();
    if (form.ended()) return form.exitCode();
    const int code = QApplication::exec();
    // The session ended without the window being closed: the shutdown still runs.
    if (form.isLoaded()) form.unload();
    return code;
}
