#include "platform/ui/qt/QtWindow.h"

#include <QCloseEvent>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>
#include <map>

#include "platform/ui/qt/QtConvert.h"

namespace wendra::ui::qt {

namespace {
std::map<const Form*, WindowBinder*>& registry() {
    static std::map<const Form*, WindowBinder*> bound;
    return bound;
}

Qt::WindowStates toQt(WindowState s) {
    switch (s) {
        case WindowState::Minimized: return Qt::WindowMinimized;
        case WindowState::Maximized: return Qt::WindowMaximized;
        case WindowState::Normal: break;
    }
    return Qt::WindowNoState;
}

WindowState fromQt(Qt::WindowStates s) {
    if (s & Qt::WindowMinimized) return WindowState::Minimized;
    if (s & Qt::WindowMaximized) return WindowState::Maximized;
    return WindowState::Normal;
}
}  // namespace

WindowBinder::WindowBinder(Form& form, QWidget* window) : form_(form), window_(window) {
    registry()[&form] = this;
    window->installEventFilter(this);
    window->setMouseTracking(true);
    subscription_ = form.subscribe([this] { refresh(); });
    refresh();
}

void WindowBinder::takeSizeFromWindow() {
    if (!window_ || form_.hasGeometry()) return;
    window_->adjustSize();
    report();
}

WindowBinder::~WindowBinder() {
    if (auto it = registry().find(&form_); it != registry().end() && it->second == this) registry().erase(it);
    if (window_) window_->removeEventFilter(this);
}

WindowBinder* WindowBinder::find(const Form& form) {
    const auto it = registry().find(&form);
    return it == registry().end() ? nullptr : it->second;
}

QWidget* WindowBinder::windowOf(const Form& form) {
    const auto* b = find(form);
    return b != nullptr ? b->window() : nullptr;
}

QSize WindowBinder::frame() const {
    const QRect outer = window_->frameGeometry();
    return QSize(outer.width() - window_->width(), outer.height() - window_->height());
}

void WindowBinder::report() {
    if (!window_) return;
    form_.geometryFromView(toTwips(window_->frameGeometry(), window_));
}

void WindowBinder::refresh() {
    if (!window_ || applying_) return;
    applying_ = true;
    QWidget* w = window_;
    auto* dialog = qobject_cast<QDialog*>(w);
    const QString title = toQString(form_.caption());
    if (w->windowTitle() != title) w->setWindowTitle(title);
    if (form_.hasFont()) {
        const QFont f = toQFont(form_.font());
        if (w->font() != f) w->setFont(f);
    }
    if (w->testAttribute(Qt::WA_ForceDisabled) == form_.enabled()) w->setEnabled(form_.enabled());
    if (form_.mousePointer() == MousePointer::Hourglass) {
        w->setCursor(Qt::WaitCursor);
    } else {
        w->unsetCursor();
    }
    const bool onTop = (w->windowFlags() & Qt::WindowStaysOnTopHint) != 0;
    if (onTop != form_.alwaysOnTop()) {
        const bool shown = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, form_.alwaysOnTop());
        if (shown) w->show();  // changing the flags hides a window
    }
    if (form_.hasGeometry() && appliedGeometry_ != form_.geometry()) {
        appliedGeometry_ = form_.geometry();
        const QRect outer = toPixels(form_.geometry(), w);
        const int dw = w->frameGeometry().width() - w->width();
        const int dh = w->frameGeometry().height() - w->height();
        appliedFrame_ = QSize(dw, dh);
        w->move(outer.topLeft());
        w->resize(std::max(1, outer.width() - dw), std::max(1, outer.height() - dh));
    }
    if (fromQt(w->windowState()) != form_.windowState()) w->setWindowState(toQt(form_.windowState()));
    if (!form_.isLoaded()) {
        // The form unloaded itself: its window closes.
        if (w->isVisible() && !closing_) {
            closing_ = true;
            if (dialog != nullptr) {
                dialog->done(QDialog::Rejected);
            } else {
                w->close();
            }
            closing_ = false;
        }
    } else if (dialog == nullptr) {
        // A modal dialog's runner shows it; other windows follow their form.
        if (form_.visible() && !w->isVisible()) w->show();
        if (!form_.visible() && w->isVisible()) w->hide();
    }
    applying_ = false;
}

bool WindowBinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) return false;
    switch (event->type()) {
        case QEvent::Show:
            // Only a shown window has its frame: the form's outer size is applied again.
            if (form_.hasGeometry()) {
                appliedGeometry_.reset();
                QTimer::singleShot(0, this, [this] { refresh(); });
                refresh();
                break;
            }
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
            if (applying_) break;
            if (form_.hasGeometry() && appliedGeometry_ && frame() != appliedFrame_) {
                // The window manager framed the window after its size was applied (the
                // frame of a window comes once it is shown): the form's outer size is
                // applied again with the frame, rather than the frame added to it, which
                // would widen the window by the frame at every start.
                appliedGeometry_.reset();
                refresh();
                break;
            }
            guarded("window geometry", [this] { report(); });
            break;
        case QEvent::WindowStateChange:
            if (!applying_) guarded("window state", [this] { form_.windowStateFromView(fromQt(window_->windowState())); });
            break;
        case QEvent::MouseMove:
            guarded("window mouse", [this] { form_.mouseMove(); });
            break;
        case QEvent::WindowActivate:
            guarded("activate", [this] { form_.activate(); });
            break;
        case QEvent::Close: {
            if (closing_ || !form_.isLoaded()) return false;
            // The close box: the form may refuse.
            closing_ = true;
            bool closed = true;
            guarded("close", [&] { closed = form_.requestClose(); });
            closing_ = false;
            if (!closed) {
                event->ignore();
                return true;
            }
            return false;
        }
        default: break;
    }
    return false;
}

QtFormDialog::QtFormDialog(Form& form, QWidget* parent)
    : QDialog(parent), form_(form), binder_(std::make_unique<WindowBinder>(form, this)) {
    setModal(true);
}

QtFormDialog::~QtFormDialog() { binder_.reset(); }

void QtFormDialog::reject() {
    if (form_.isLoaded()) {
        // Escape counts as the close box; an unloading form ends the dialog through its binder.
        guarded("close", [this] { form_.requestClose(); });
        return;
    }
    QDialog::reject();
}

}  // namespace wendra::ui::qt
