#pragma once

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <string>
#include <vector>

#include "mainwindow/GadgetInstall.h"
#include "platform/ui/Notifier.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

class QWebEngineView;

namespace wendra::mainwindow::qt {

// Opens a page in the desktop's web browser. Written here whole, so that what
// opens help files does not bring the installation window's browser engine along.
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

// frmInstallVistaGadget's window: its browser control is a Qt WebEngine view
// filling it. A link to a local file that is no page goes to the control's
// fileLinked instead of the browser; the page's window.close() to windowClosing.
class GadgetInstallView final : public ui::qt::QtFormDialog {
public:
    GadgetInstallView(frmInstallVistaGadget& form, QWidget* parent);
    ~GadgetInstallView() override;

    QWebEngineView& browser() const { return *browser_; }

private:
    void follow();

    frmInstallVistaGadget& form_;
    QWebEngineView* browser_ = nullptr;
    ui::Subscription location_;
};

void registerGadgetInstallView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra::mainwindow::qt
