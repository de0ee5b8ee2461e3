#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/ui/Services.h"
#include "platform/ui/Timer.h"
#include "platform/ui/qt/QtWindow.h"

// The services of the UI model on Qt.
namespace wendra::ui::qt {

class QtMessageBox final : public MessageBoxService {
public:
    using MessageBoxService::show;
    MessageAnswer show(const MessageRequest& request) override;
};

// Runs a form modally in the view registered for its name. The view is made before
// the form loads, so that what the load sets reaches the widgets at once.
class QtDialogRunner final : public DialogRunner {
public:
    using ViewFactory = std::function<std::unique_ptr<QtFormDialog>(Form& form, QWidget* parent)>;

    void registerView(const std::string& formName, ViewFactory factory) { factories_[formName] = std::move(factory); }
    void showModal(Form& dialog, Form* owner = nullptr) override;

private:
    std::map<std::string, ViewFactory> factories_;
};

class QtFontDialog final : public FontDialogService {
public:
    std::optional<Font> choose(const Font& current) override;
};

class QtWindowPlacement final : public WindowPlacement {
public:
    int screenWidth() const override;
    int screenHeight() const override;
    // Sets the form's state, which its window binder applies; false when the form has no window.
    bool setAlwaysOnTop(Form& form, bool onTop) override;
};

// Qt timers of the precise kind, so that a timer armed to the next whole minute
// falls on it and not up to 5% beside it.
class QtTimerService final : public TimerService {
public:
    std::unique_ptr<TimerHandle> createTimer(std::function<void()> tick) override;
};

class QtTextMetrics final : public TextMetrics {
public:
    int textWidth(const Font& font, std::string_view text) const override;
    int textHeight(const Font& font, std::string_view text) const override;
};

// Every Qt service at once, with the Services a form takes.
struct QtServices {
    QtMessageBox messages;
    QtDialogRunner dialogs;
    QtFontDialog fonts;
    QtWindowPlacement placement;
    QtTimerService timers;
    QtTextMetrics metrics;

    Services services() { return Services{messages, dialogs, fonts, placement, timers, metrics}; }
};

}  // namespace wendra::ui::qt
