#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <string>

#include "gadget/WendraGadget.h"
#include "gadget/host/HostOptions.h"

namespace wendra::gadgethost::qt {

// The library's clsHTML as the page's script sees it over the web channel (the
// object "gadget"), as the sidebar handed the page its COM object:
// - createHTML(priorWarning, maxRows, expandPastEvents, topRow) answers
//   {html, error}: the fragment, or the error the library raised (or the reason
//   there is no library) with an empty fragment;
// - startQVR() and doEdit(id, when, allDay) run after the page's call has
//   returned, since each waits in an event loop of its own until the main program
//   or the editor ends; editClosed() follows the editor's end, failed(message) an
//   error of either;
// - onDataChanged of the library arrives as dataChanged();
// - priorWarning and rows are the host's command line;
// - monthNames and weekdayNames (Sunday first) are the abbreviations the list
//   writes its dates with, in the user's language.
class GadgetBridge final : public QObject, public WendraGadget::clsHTMLEvents {
    Q_OBJECT
    Q_PROPERTY(int priorWarning READ priorWarning CONSTANT)
    Q_PROPERTY(int rows READ rows CONSTANT)
    Q_PROPERTY(QStringList monthNames MEMBER monthNames_ CONSTANT)
    Q_PROPERTY(QStringList weekdayNames MEMBER weekdayNames_ CONSTANT)

public:
    // html may be null: then every call answers loadError.
    GadgetBridge(WendraGadget::clsHTML* html, std::string loadError, const HostOptions& options,
                 QObject* parent = nullptr);
    ~GadgetBridge() override;

    int priorWarning() const { return options_.priorWarning; }
    int rows() const { return options_.rows; }

    Q_INVOKABLE QVariantMap createHTML(int priorWarning, int maxRows, bool expandPastEvents, int topRow);
    Q_INVOKABLE void startQVR();
    Q_INVOKABLE void doEdit(const QString& id, const QString& when, const QString& allDay);

signals:
    void dataChanged();
    void editClosed();
    void failed(const QString& message);

private:
    void onDataChanged() override { emit dataChanged(); }
    // Runs a call of the library that waits for a program or a window, once the
    // event loop is back, and reports its error.
    template <typename Call>
    void later(Call call);

    WendraGadget::clsHTML* html_;
    std::string loadError_;
    HostOptions options_;
    QStringList monthNames_;
    QStringList weekdayNames_;
};

// The text the page shows for an error the library raised.
QString errorText(const WendraGadget::Error& error);

}  // namespace wendra::gadgethost::qt
