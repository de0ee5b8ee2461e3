#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Services.h"
#include "platform/ui/ManualTimerService.h"
#include "platform/ui/Timer.h"

// Doubles of the window system's services for tests: each records every call and
// answers from a script the test writes beforehand.
namespace wendra::ui {

// Answers the scripted answers in order; once they run out, the request's default
// button. onShow, when set, runs first for each message (and may look at the program
// while the message "stands").
class RecordingMessageBox final : public MessageBoxService {
public:
    using MessageBoxService::show;
    MessageAnswer show(const MessageRequest& request) override;

    void answer(MessageAnswer a) { script_.push_back(a); }
    const std::vector<MessageRequest>& calls() const { return calls_; }
    const MessageRequest& last() const { return calls_.back(); }
    std::size_t unanswered() const { return script_.size(); }
    void reset();
    std::function<void(const MessageRequest&)> onShow;

private:
    std::vector<MessageRequest> calls_;
    std::deque<MessageAnswer> script_;
};

// Loads the form, runs the test's script for it (the user's actions in the dialog),
// and closes it with the close box when the script left it open.
class ScriptedDialogRunner final : public DialogRunner {
public:
    using Script = std::function<void(Form&)>;

    void showModal(Form& dialog, Form* owner = nullptr) override;

    // Scripts for the next dialogs of that name, used in order; a dialog without one
    // of its own takes the next general script, if any.
    void script(const std::string& formName, Script s) { byName_[formName].push_back(std::move(s)); }
    void script(Script s) { general_.push_back(std::move(s)); }

    struct Call {
        std::string form;
        std::string owner;
        bool closedByScript = false;  // the script unloaded it (false: the close box did)
    };
    const std::vector<Call>& calls() const { return calls_; }
    std::vector<std::string> shown() const;

private:
    std::map<std::string, std::deque<Script>> byName_;
    std::deque<Script> general_;
    std::vector<Call> calls_;
};

class RecordingFontDialog final : public FontDialogService {
public:
    std::optional<Font> choose(const Font& current) override;
    // The next answer; nullopt is the user's cancel. Unscripted calls cancel.
    void answer(std::optional<Font> f) { script_.push_back(std::move(f)); }
    const std::vector<Font>& calls() const { return calls_; }

private:
    std::vector<Font> calls_;
    std::deque<std::optional<Font>> script_;
};

class RecordingWindowPlacement final : public WindowPlacement {
public:
    // A 1920 x 1080 screen at 96 dots per inch.
    explicit RecordingWindowPlacement(int widthTwips = 28800, int heightTwips = 16200)
        : width_(widthTwips), height_(heightTwips) {}
    int screenWidth() const override { return width_; }
    int screenHeight() const override { return height_; }
    void setScreen(int widthTwips, int heightTwips) {
        width_ = widthTwips;
        height_ = heightTwips;
    }
    // Sets the form's state and answers the scripted answer (true once they run out).
    bool setAlwaysOnTop(Form& form, bool onTop) override;
    void answer(bool a) { script_.push_back(a); }

    struct Call {
        std::string form;
        bool onTop;
    };
    const std::vector<Call>& calls() const { return calls_; }

private:
    int width_;
    int height_;
    std::vector<Call> calls_;
    std::deque<bool> script_;
};

// Every character the same width and every line the same height, scaled by the
// font's size against 8.25 points, bold adding a tenth: simple enough that a test
// can work its expected sizes out by hand.
class FixedTextMetrics final : public TextMetrics {
public:
    explicit FixedTextMetrics(int charWidth = 100, int lineHeight = 195) : charWidth_(charWidth), lineHeight_(lineHeight) {}
    int textWidth(const Font& font, std::string_view text) const override;
    int textHeight(const Font& font, std::string_view text) const override;

private:
    double scale(const Font& font) const;
    int charWidth_;
    int lineHeight_;
};

// Every double at once, with the Services a form takes.
struct TestServices {
    RecordingMessageBox messages;
    ScriptedDialogRunner dialogs;
    RecordingFontDialog fonts;
    RecordingWindowPlacement placement;
    ManualTimerService timers;
    FixedTextMetrics metrics;

    Services services() { return Services{messages, dialogs, fonts, placement, timers, metrics}; }
};

}  // namespace wendra::ui
