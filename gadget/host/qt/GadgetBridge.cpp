#include "gadget/host/qt/GadgetBridge.h"

#include <QTimer>
#include <algorithm>
#include <exception>

#include "platform/clock/Names.h"

namespace wendra::gadgethost::qt {

namespace {

// The page's numbers into the library's 16-bit members.
std::int16_t clamp16(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }

}  // namespace

QString errorText(const WendraGadget::Error& error) {
    return QStringLiteral("Error %1: %2").arg(error.number()).arg(QString::fromStdString(error.description()));
}

GadgetBridge::GadgetBridge(WendraGadget::clsHTML* html, std::string loadError, const HostOptions& options,
                           QObject* parent)
    : QObject(parent), html_(html), loadError_(std::move(loadError)), options_(options) {
    if (html_ != nullptr) html_->setEventSink(this);
    // The library's list takes its names from the same place, in this process.
    for (int m = 1; m <= 12; ++m) monthNames_ << QString::fromStdString(monthName(m, true));
    for (int d = 1; d <= 7; ++d) weekdayNames_ << QString::fromStdString(weekdayName(d, true));
}

GadgetBridge::~GadgetBridge() {
    if (html_ != nullptr) html_->setEventSink(nullptr);
}

QVariantMap GadgetBridge::createHTML(int priorWarning, int maxRows, bool expandPastEvents, int topRow) {
    QString html;
    QString error;
    if (html_ == nullptr) {
        error = QString::fromStdString(loadError_);
    } else {
        try {
            html = QString::fromStdString(
                html_->createHTML(clamp16(priorWarning), clamp16(maxRows), expandPastEvents, clamp16(topRow)));
        } catch (const WendraGadget::Error& e) {
            error = errorText(e);
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
    }
    return QVariantMap{{QStringLiteral("html"), html}, {QStringLiteral("error"), error}};
}

template <typename Call>
void GadgetBridge::later(Call call) {
    QTimer::singleShot(0, this, [this, call] {
        if (html_ == nullptr) {
            emit failed(QString::fromStdString(loadError_));
            return;
        }
        try {
            call();
        } catch (const WendraGadget::Error& e) {
            emit failed(errorText(e));
        } catch (const std::exception& e) {
            emit failed(QString::fromUtf8(e.what()));
        }
    });
}

void GadgetBridge::startQVR() {
    later([this] { html_->startQVR(); });
}

void GadgetBridge::doEdit(const QString& id, const QString& when, const QString& allDay) {
    later([this, id = id.toStdString(), when = when.toStdString(), allDay = allDay.toStdString()] {
        html_->doEdit(id, when, allDay);
        emit editClosed();
    });
}

}  // namespace wendra::gadgethost::qt
