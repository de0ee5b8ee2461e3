#include "platform/ui/qt/QtServices.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <vector>

#include "platform/ui/qt/QtConvert.h"

namespace wendra::ui::qt {

// ---- message box -----------------------------------------------------------

MessageAnswer QtMessageBox::show(const MessageRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    switch (request.icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    box.setWindowTitle(request.title.empty() ? QApplication::applicationDisplayName() : toQString(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(toQString(request.text));
    std::vector<std::pair<QPushButton*, MessageAnswer>> buttons;
    for (int i = 0; i < buttonCount(request.buttons); ++i) {
        const MessageAnswer a = buttonAnswer(request.buttons, i);
        QMessageBox::StandardButton sb = QMessageBox::Ok;
        switch (a) {
            case MessageAnswer::OK: sb = QMessageBox::Ok; break;
            case MessageAnswer::Cancel: sb = QMessageBox::Cancel; break;
            case MessageAnswer::Abort: sb = QMessageBox::Abort; break;
            case MessageAnswer::Retry: sb = QMessageBox::Retry; break;
            case MessageAnswer::Ignore: sb = QMessageBox::Ignore; break;
            case MessageAnswer::Yes: sb = QMessageBox::Yes; break;
            case MessageAnswer::No: sb = QMessageBox::No; break;
        }
        buttons.emplace_back(box.addButton(sb), a);
    }
    const auto def = static_cast<std::size_t>(
        request.defaultButton >= 0 && request.defaultButton < static_cast<int>(buttons.size()) ? request.defaultButton : 0);
    box.setDefaultButton(buttons[def].first);
    box.exec();
    for (const auto& [button, answer] : buttons) {
        if (box.clickedButton() == button) return answer;
    }
    // Closed without a button (Escape where the box allows it): its escape answer.
    if (request.buttons == MessageButtons::OK) return MessageAnswer::OK;
    return buttonAnswer(request.buttons, buttonCount(request.buttons) - 1);
}

// ---- dialogs ---------------------------------------------------------------

void QtDialogRunner::showModal(Form& dialog, Form* owner) {
    const auto it = factories_.find(dialog.name());
    if (it == factories_.end()) {
        qWarning("no view for the dialog %s", dialog.name().c_str());
        return;
    }
    QWidget* parent = owner != nullptr ? WindowBinder::windowOf(*owner) : nullptr;
    if (parent == nullptr) parent = QApplication::activeWindow();
    std::unique_ptr<QtFormDialog> view;
    guarded("dialog view", [&] { view = it->second(dialog, parent); });
    if (!view) return;
    if (view->layout() != nullptr) view->layout()->activate();
    view->binder().takeSizeFromWindow();  // so that the load can centre the dialog
    guarded("dialog load", [&] { dialog.show(); });
    if (dialog.isLoaded()) view->exec();
    if (dialog.isLoaded()) dialog.unload();
}

std::optional<Font> QtFontDialog::choose(const Font& current) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, toQFont(current), QApplication::activeWindow());
    if (!ok) return std::nullopt;
    return fromQFont(chosen);
}

// ---- window placement ------------------------------------------------------

int QtWindowPlacement::screenWidth() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? pixelsToTwipsX(s->geometry().width()) : 0;
}

int QtWindowPlacement::screenHeight() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? pixelsToTwipsY(s->geometry().height()) : 0;
}

bool QtWindowPlacement::setAlwaysOnTop(Form& form, bool onTop) {
    if (WindowBinder::find(form) == nullptr) return false;
    form.setAlwaysOnTop(onTop);
    return true;
}

// ---- timers ----------------------------------------------------------------

namespace {
class QtTimerHandle final : public TimerHandle {
public:
    explicit QtTimerHandle(std::function<void()> tick) : tick_(std::move(tick)) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto fn = tick_;  // the tick may end this timer
            guarded("timer", fn);
        });
    }
    void start(int intervalMs, bool repeat) override {
        timer_.setSingleShot(!repeat);
        timer_.start(std::max(1, intervalMs));
    }
    void stop() override { timer_.stop(); }
    bool active() const override { return timer_.isActive(); }

private:
    std::function<void()> tick_;
    QTimer timer_;
};
}  // namespace

std::unique_ptr<TimerHandle> QtTimerService::createTimer(std::function<void()> tick) {
    return std::make_unique<QtTimerHandle>(std::move(tick));
}

// ---- text metrics ----------------------------------------------------------

int QtTextMetrics::textWidth(const Font& font, std::string_view text) const {
    const QFontMetricsF fm(toQFont(font));
    const double px = fm.horizontalAdvance(toQString(text));
    return static_cast<int>(std::lround(px * 1440.0 / screenDpiX()));
}

int QtTextMetrics::textHeight(const Font& font, std::string_view) const {
    const QFontMetricsF fm(toQFont(font));
    return static_cast<int>(std::lround(fm.height() * 1440.0 / screenDpiY()));
}

}  // namespace wendra::ui::qt
