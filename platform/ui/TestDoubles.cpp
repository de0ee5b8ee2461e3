#include "platform/ui/TestDoubles.h"

#include <cmath>

#include "platform/ui/NumberText.h"

namespace wendra::ui {

MessageAnswer RecordingMessageBox::show(const MessageRequest& request) {
    calls_.push_back(request);
    if (onShow) onShow(request);
    if (script_.empty()) return buttonAnswer(request.buttons, request.defaultButton);
    const auto a = script_.front();
    script_.pop_front();
    return a;
}

void RecordingMessageBox::reset() {
    calls_.clear();
    script_.clear();
}

void ScriptedDialogRunner::showModal(Form& dialog, Form* owner) {
    calls_.push_back({dialog.name(), owner ? owner->name() : std::string(), false});
    const std::size_t call = calls_.size() - 1;
    dialog.show();
    if (!dialog.isLoaded()) {
        calls_[call].closedByScript = true;  // its load closed it
        return;
    }
    Script s;
    if (auto it = byName_.find(dialog.name()); it != byName_.end() && !it->second.empty()) {
        s = std::move(it->second.front());
        it->second.pop_front();
    } else if (!general_.empty()) {
        s = std::move(general_.front());
        general_.pop_front();
    }
    if (s) s(dialog);
    if (!dialog.isLoaded()) {
        calls_[call].closedByScript = true;
        return;
    }
    // The close box; a form that refuses it is closed all the same, since a modal
    // run must end for the test to go on.
    if (!dialog.requestClose()) dialog.unload();
}

std::vector<std::string> ScriptedDialogRunner::shown() const {
    std::vector<std::string> names;
    for (const auto& c : calls_) names.push_back(c.form);
    return names;
}

std::optional<Font> RecordingFontDialog::choose(const Font& current) {
    calls_.push_back(current);
    if (script_.empty()) return std::nullopt;
    auto a = std::move(script_.front());
    script_.pop_front();
    return a;
}

bool RecordingWindowPlacement::setAlwaysOnTop(Form& form, bool onTop) {
    calls_.push_back({form.name(), onTop});
    bool answer = true;
    if (!script_.empty()) {
        answer = script_.front();
        script_.pop_front();
    }
    if (answer) form.setAlwaysOnTop(onTop);
    return answer;
}

double FixedTextMetrics::scale(const Font& font) const {
    const double size = font.size > 0 ? font.size : 8.25;
    return size / 8.25 * (font.bold ? 1.1 : 1.0);
}

int FixedTextMetrics::textWidth(const Font& font, std::string_view text) const {
    return static_cast<int>(std::lround(static_cast<double>(charCount(text)) * charWidth_ * scale(font)));
}

int FixedTextMetrics::textHeight(const Font& font, std::string_view) const {
    const double size = font.size > 0 ? font.size : 8.25;
    return static_cast<int>(std::lround(lineHeight_ * size / 8.25));
}

}  // namespace wendra::ui
