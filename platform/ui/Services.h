#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/Font.h"
#include "platform/ui/Form.h"
#include "platform/ui/Timer.h"

// The services a form's logic asks of the window system. Each is an interface with
// a Qt implementation (platform/ui/qt) and a test double (TestDoubles.h).
namespace wendra::ui {

enum class MessageButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
// Numbered as the window system's answers are.
enum class MessageAnswer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageRequest {
    std::string text;
    std::string title;
    MessageButtons buttons = MessageButtons::OK;
    MessageIcon icon = MessageIcon::None;
    int defaultButton = 0;  // 0 the first button, 1 the second, 2 the third
    bool operator==(const MessageRequest&) const = default;
};

// The answer of the given button of a request: 0 the first.
MessageAnswer buttonAnswer(MessageButtons buttons, int index);
int buttonCount(MessageButtons buttons);

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MessageAnswer show(const MessageRequest& request) = 0;
    MessageAnswer show(std::string text, MessageButtons buttons = MessageButtons::OK,
                       MessageIcon icon = MessageIcon::None, std::string title = {}) {
        return show(MessageRequest{std::move(text), std::move(title), buttons, icon, 0});
    }
};

// Runs a form as a modal dialog: loads it, shows it and returns once it is unloaded.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    virtual void showModal(Form& dialog, Form* owner = nullptr) = 0;
};

// The font dialog: the chosen font, or nothing when the user cancels.
class FontDialogService {
public:
    virtual ~FontDialogService() = default;
    virtual std::optional<Font> choose(const Font& current) = 0;
};

// The screen and the window manager's placement of windows.
class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;
    virtual int screenWidth() const = 0;   // twips
    virtual int screenHeight() const = 0;  // twips
    // Keeps the window above the windows that are not kept on top (or puts it back
    // among them), position and size unchanged. The answer is the window system's.
    virtual bool setAlwaysOnTop(Form& form, bool onTop) = 0;
};

// Text measured in a font, in twips.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual int textWidth(const Font& font, std::string_view text) const = 0;
    virtual int textHeight(const Font& font, std::string_view text) const = 0;
};

// What a form gets from its creator.
struct Services {
    MessageBoxService& messages;
    DialogRunner& dialogs;
    FontDialogService& fonts;
    WindowPlacement& placement;
    TimerService& timers;
    TextMetrics& metrics;
};

}  // namespace wendra::ui
