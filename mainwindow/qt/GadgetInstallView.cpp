#include "mainwindow/qt/GadgetInstallView.h"

#include <QRect>
#include <QStringList>

#include "mainwindow/qt/GadgetInstallChannel.h"
#include "platform/ui/qt/QtConvert.h"

namespace wendra::mainwindow::qt {

bool QtProgramStarter::startDetached(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), args);
}

GadgetInstallView::GadgetInstallView(frmInstallVistaGadget& form, QWidget* parent, QString program)
    : QtFormDialog(form, parent), form_(form), program_(std::move(program)) {
    // Shown and modal as far as WendraWin's windows go, drawn nowhere.
    setAttribute(Qt::WA_DontShowOnScreen);
    window_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&window_, &QProcess::readyReadStandardOutput, this, [this] { readReports(); });
    // Queued: a program that cannot start says so within the form's load.
    QObject::connect(&window_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && form_.isLoaded())
            ui::qt::guarded("installation window", [this] { form_.WebBrowser1.failedToShow(); });
    }, Qt::QueuedConnection);
    QObject::connect(&window_, &QProcess::finished, this, [this] { ended(); }, Qt::QueuedConnection);
    location_ = form.WebBrowser1.subscribe([this] { follow(); });
    follow();
}

GadgetInstallView::~GadgetInstallView() {
    window_.disconnect(this);
    if (window_.state() == QProcess::NotRunning) return;
    window_.closeWriteChannel();  // the program's cue to end
    if (!window_.waitForFinished(5000)) {
        window_.kill();
        window_.waitForFinished(1000);
    }
}

void GadgetInstallView::follow() {
    const std::string& location = form_.WebBrowser1.LocationURL();
    if (location.empty() || window_.state() != QProcess::NotRunning) return;
    const QRect place = ui::qt::toPixels(form_.geometry(), this);
    window_.start(program_, {QString::fromStdString(location), ui::qt::toQString(form_.caption()),
                             QString::number(place.x()), QString::number(place.y()),
                             QString::number(place.width()), QString::number(place.height())});
}

void GadgetInstallView::readReports() {
    pending_ += window_.readAllStandardOutput();
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        // What the page asks while a request is answered (a message box is up) is
        // passed over, as a modal box keeps a window of the program from being used.
        if (!form_.isLoaded() || answering_) continue;
        answering_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{answering_};
        ui::qt::guarded("installation window", [&] {
            if (line == installwindow::kClosing) {
                form_.WebBrowser1.windowClosing();
            } else if (line.startsWith(installwindow::kLinked)) {
                const QUrl url = QUrl::fromEncoded(line.mid(qsizetype(sizeof installwindow::kLinked) - 1));
                if (url.isLocalFile()) form_.WebBrowser1.fileLinked(ui::qt::fromQString(url.toLocalFile()));
            }
        });
    }
}

void GadgetInstallView::ended() {
    readReports();  // what it said before it went
    if (!form_.isLoaded()) return;
    // A program that ran ends with 0 when its window is closed. One that could not
    // (its browser's libraries missing: 127 from the loader) showed no window at all.
    if (window_.exitStatus() == QProcess::NormalExit && window_.exitCode() != 0) {
        ui::qt::guarded("installation window", [this] { form_.WebBrowser1.failedToShow(); });
        return;
    }
    // Closed from its own close box (or gone): as this dialog's close box.
    reject();
}

void registerGadgetInstallView(ui::qt::QtDialogRunner& runner, const std::filesystem::path& programFolder) {
    runner.registerView("frmInstallVistaGadget",
                        [program = QString::fromStdString((programFolder / installwindow::kProgram).string())](
                            ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
                            auto* f = dynamic_cast<frmInstallVistaGadget*>(&form);
                            if (f == nullptr) return nullptr;
                            return std::make_unique<GadgetInstallView>(*f, parent, program);
                        });
}

}  // namespace wendra::mainwindow::qt
