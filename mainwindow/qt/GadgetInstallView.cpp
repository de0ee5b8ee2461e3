#include "mainwindow/qt/GadgetInstallView.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace wendra::mainwindow::qt {

bool QtPageOpener::openPage(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace wendra::mainwindow::qt
