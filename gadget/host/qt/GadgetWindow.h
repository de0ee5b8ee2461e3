#pragma once

#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace wendra::gadgethost::qt {

class GadgetBridge;

// The page stays itself: the fragment's links run the page's script, and nothing
// of it (nor a text that slipped into it) may take the gadget to another page.
class GadgetPage final : public QWebEnginePage {
public:
    GadgetPage(const QUrl& page, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    QUrl page_;
};

// The sidebar's stand-in: a narrow window along the right edge of the screen,
// kept below the other windows as the desktop is, showing the gadget page with
// the bridge as its object "gadget".
class GadgetWindow final : public QWebEngineView {
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 420;

    GadgetWindow(GadgetBridge& bridge, const QString& pageFile);

private:
    QWebChannel channel_;
};

}  // namespace wendra::gadgethost::qt
