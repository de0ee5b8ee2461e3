#include "gadget/host/qt/GadgetWindow.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "gadget/host/qt/GadgetBridge.h"

namespace wendra::gadgethost::qt {

namespace {

// Qt's own client of the web channel, put into the page before its own script
// runs, so the page needs no path to it.
QWebEngineScript webChannelClient() {
    QWebEngineScript script;
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (file.open(QIODevice::ReadOnly)) script.setSourceCode(QString::fromUtf8(file.readAll()));
    script.setName(QStringLiteral("qwebchannel.js"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

}  // namespace

GadgetPage::GadgetPage(const QUrl& page, QObject* parent) : QWebEnginePage(parent), page_(page) {}

bool GadgetPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    return isMainFrame && url.adjusted(QUrl::RemoveFragment) == page_;
}

GadgetWindow::GadgetWindow(GadgetBridge& bridge, const QString& pageFile) {
    const QUrl url = QUrl::fromLocalFile(pageFile);
    auto* page = new GadgetPage(url, this);
    setPage(page);
    page->scripts().insert(webChannelClient());
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    channel_.registerObject(QStringLiteral("gadget"), &bridge);
    page->setWebChannel(&channel_);
    setContextMenuPolicy(Qt::NoContextMenu);

    setWindowTitle(QStringLiteral("Wendra(win) Gadget"));
    setWindowFlag(Qt::WindowStaysOnBottomHint);
    resize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - kWidth - 16, area.top() + 16);
    }
    load(url);
}

}  // namespace wendra::gadgethost::qt
