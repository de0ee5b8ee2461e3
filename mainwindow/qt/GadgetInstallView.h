#pragma once

#include <QByteArray>
#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include "mainwindow/GadgetInstall.h"
#include "platform/ui/Notifier.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

namespace wendra::mainwindow::qt {

// Opens a page in the desktop's web browser. Written here whole, so that what
// opens help files does not bring the installation window along.
class QtPageOpener final : public PageOpener {
public:
    bool openPage(const std::string& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    }
};

// Starts a program on its own (QProcess::startDetached).
class QtProgramStarter final : public ProgramStarter {
public:
    bool startDetached(const std::string& program, const std::vector<std::string>& arguments) override;
};

// frmInstallVistaGadget's window. Its browser control is shown by the window
// program (GadgetInstallChannel.h), started once the form names its page, with the
// form's caption and place; this dialog only stands for it among WendraWin's
// windows and is never on the screen. The program's reports reach the control: a
// link to a local file that is no page goes to fileLinked, the page's
// window.close() to windowClosing. The program ending by itself (its close box) is
// the dialog's close box; a program that cannot start is failedToShow. The
// program ends with the dialog.
class GadgetInstallView final : public ui::qt::QtFormDialog {
public:
    GadgetInstallView(frmInstallVistaGadget& form, QWidget* parent, QString program);
    ~GadgetInstallView() override;

    const QProcess& windowProgram() const { return window_; }

private:
    void follow();
    void readReports();
    void ended();

    frmInstallVistaGadget& form_;
    QString program_;
    QProcess window_;
    QByteArray pending_;
    bool answering_ = false;
    ui::Subscription location_;
};

// The window program is the one in the folder (WendraWin's own).
void registerGadgetInstallView(ui::qt::QtDialogRunner& runner, const std::filesystem::path& programFolder);

}  // namespace wendra::mainwindow::qt
