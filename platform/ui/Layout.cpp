#include "platform/ui/Layout.h"

#include <cmath>

namespace wendra::ui {

int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

int pixelsToTwips(int pixels, double dpi) {
    if (dpi <= 0) return 0;
    return static_cast<int>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

Position centredOnScreen(int formWidth, int formHeight, int screenWidth, int screenHeight) {
    Position p{(screenWidth - formWidth) / 2, (screenHeight - formHeight) / 2};
    if (p.top < 0) p.top = 0;
    return p;
}

Position centredOver(const Geometry& owner, int formWidth, int formHeight) {
    Position p{owner.left + (owner.width - formWidth) / 2, owner.top + (owner.height - formHeight) / 2};
    if (p.top < 0) p.top = 0;
    return p;
}

void centreForm(Form& form, const WindowPlacement& screen) {
    const auto p = centredOnScreen(form.width(), form.height(), screen.screenWidth(), screen.screenHeight());
    form.move(p.left, p.top);
}

void centreForm(Form& form, const Form& owner) {
    const auto p = centredOver(owner.geometry(), form.width(), form.height());
    form.move(p.left, p.top);
}

void enableTextField(TextBox& box, Label& label, bool enabled) {
    box.setBackColour(enabled ? kFieldEnabledColour : kFieldDisabledColour);
    box.setEnabled(enabled);
    label.setEnabled(enabled);
}

void selectAllText(TextBox& box) { box.selectAll(); }

void focusColourOn(Control& control) { control.setBackColour(kFocusOnColour); }
void focusColourOff(Control& control) { control.setBackColour(kFocusOffColour); }

void showHover(const std::vector<CommandButton*>& buttons, const Control* hovered) {
    for (CommandButton* b : buttons) focusColourOff(*b);
    for (CommandButton* b : buttons)
        if (b == hovered) focusColourOn(*b);
}

void wireHover(std::vector<CommandButton*> buttons, FocusHover focus, std::initializer_list<Control*> surfaces) {
    for (CommandButton* b : buttons) {
        if (focus == FocusHover::Alone)
            b->onGotFocus = [buttons, b] { showHover(buttons, b); };
        else
            b->onGotFocus = [b] { focusColourOn(*b); };
        b->onMouseMove = [buttons, b] { showHover(buttons, b); };
        b->onLostFocus = [buttons] { showHover(buttons, nullptr); };
    }
    for (Control* c : surfaces) c->onMouseMove = [buttons] { showHover(buttons, nullptr); };
}

void setButtonPicture(CommandButton& button, std::string key) { button.setPicture(std::move(key)); }

void updateButtonImages(CommandButton& button1, const std::string& key1, CommandButton& button2,
                        const std::string& key2, const Control* hovered) {
    const auto pick = [hovered](const CommandButton& b) {
        const bool over = hovered == &b || (hovered != nullptr && !b.name().empty() && hovered->name() == b.name());
        return over ? "2" : "1";
    };
    button1.setPicture(key1 + pick(button1));
    button2.setPicture(key2 + pick(button2));
}

int heightBelowControl(const Control& control, int textHeightOfA) {
    return control.top() + control.height() + static_cast<int>(std::lround(2.5 * textHeightOfA));
}

bool setAlwaysOnTop(Form& form, bool onTop, WindowPlacement& placement) {
    return placement.setAlwaysOnTop(form, onTop);
}

}  // namespace wendra::ui
