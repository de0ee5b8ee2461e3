#include "mainwindow/qt/GadgetInstallView.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// In the sanitized build only: Chromium inside Qt WebEngine frees some of its
// objects through a base of another size, which would end the program when the
// window closes. The finding is Chromium's, not this program's.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
#endif

namespace wendra::mainwindow::qt {

namespace {

class BrowserPage final : public QWebEnginePage {
public:
    BrowserPage(WebBrowser& control, QObject* parent) : QWebEnginePage(parent), control_(control) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (isMainFrame && url.isLocalFile() && type == NavigationTypeLinkClicked) {
            const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
            if (suffix != QLatin1String("htm") && suffix != QLatin1String("html")) {
                const std::string path = url.toLocalFile().toStdString();
                // Reported once the navigation is refused: opening it may close the window.
                QMetaObject::invokeMethod(
                    this, [this, path] { control_.fileLinked(path); }, Qt::QueuedConnection);
                return false;
            }
        }
        return true;
    }

private:
    WebBrowser& control_;
};

}  // namespace

bool QtProgramStarter::startDetached(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), args);
}

GadgetInstallView::GadgetInstallView(frmInstallVistaGadget& form, QWidget* parent)
    : QtFormDialog(form, parent), form_(form) {
    // Chromium refuses to run as root inside its sandbox and ends the whole program
    // instead; the window shows only the program's own local page.
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    browser_ = new QWebEngineView(this);
    auto* page = new BrowserPage(form.WebBrowser1, browser_);
    browser_->setPage(page);
    browser_->setContextMenuPolicy(Qt::NoContextMenu);
    QObject::connect(page, &QWebEnginePage::windowCloseRequested, this,
                     [this] { form_.WebBrowser1.windowClosing(); }, Qt::QueuedConnection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    location_ = form.WebBrowser1.subscribe([this] { follow(); });
    follow();
}

GadgetInstallView::~GadgetInstallView() = default;

void GadgetInstallView::follow() {
    const std::string& location = form_.WebBrowser1.LocationURL();
    if (location.empty()) return;
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(location));
    if (browser_->url() != url) browser_->load(url);
}

void registerGadgetInstallView(ui::qt::QtDialogRunner& runner) {
    runner.registerView("frmInstallVistaGadget",
                        [](ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
                            auto* f = dynamic_cast<frmInstallVistaGadget*>(&form);
                            if (f == nullptr) return nullptr;
                            return std::make_unique<GadgetInstallView>(*f, parent);
                        });
}

}  // namespace wendra::mainwindow::qt
