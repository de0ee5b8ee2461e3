#include "platform/ui/Commands.h"

#include <stdexcept>

namespace wendra::ui {

namespace {
template <typename T>
bool assign(T& field, T value) {
    if (field == value) return false;
    field = std::move(value);
    return true;
}
}  // namespace

// ---- Command ---------------------------------------------------------------

Command::Command(std::string name, std::string caption, std::string shortcut)
    : name_(std::move(name)), caption_(std::move(caption)), shortcut_(std::move(shortcut)) {}

void Command::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) changed();
}
void Command::setShortcut(std::string text) {
    if (assign(shortcut_, std::move(text))) changed();
}
void Command::setToolTip(std::string text) {
    if (assign(toolTip_, std::move(text))) changed();
}
void Command::setImageKey(std::string key) {
    if (assign(imageKey_, std::move(key))) changed();
}
void Command::setChecked(bool on) {
    if (assign(checked_, on)) changed();
}
void Command::setEnabled(bool on) {
    if (assign(enabled_, on)) changed();
}
void Command::setVisible(bool on) {
    if (assign(visible_, on)) changed();
}
void Command::setWidth(int twips) {
    if (assign(width_, twips < 0 ? 0 : twips)) changed();
}

void Command::setStyle(CommandStyle s) {
    if (!assign(style_, s)) return;
    checked_ = false;
    changed();
}

bool Command::trigger() {
    if (!enabled_ || !visible_ || isSeparator()) return false;
    if (onClick) onClick();
    return true;
}

Command& Command::add(Command& child) {
    children_.push_back(&child);
    changed();
    return child;
}

Command* Command::find(std::string_view name) {
    if (name_ == name) return this;
    for (auto* c : children_) {
        if (auto* found = c->find(name)) return found;
    }
    return nullptr;
}

// ---- MenuBar ---------------------------------------------------------------

Command& MenuBar::add(Command& menu) {
    menus_.push_back(&menu);
    return menu;
}

Command* MenuBar::find(std::string_view name) {
    for (auto* m : menus_) {
        if (auto* found = m->find(name)) return found;
    }
    return nullptr;
}

namespace {
Command* findShortcut(Command& entry, std::string_view shortcut) {
    if (!entry.visible()) return nullptr;
    if (!entry.isMenu()) return (entry.enabled() && entry.shortcut() == shortcut) ? &entry : nullptr;
    if (!entry.enabled()) return nullptr;
    for (auto* c : entry.children()) {
        if (auto* found = findShortcut(*c, shortcut)) return found;
    }
    return nullptr;
}
}  // namespace

bool MenuBar::triggerShortcut(std::string_view shortcut) {
    if (shortcut.empty()) return false;
    for (auto* m : menus_) {
        if (auto* found = findShortcut(*m, shortcut)) return found->trigger();
    }
    return false;
}

// ---- Toolbar ---------------------------------------------------------------

Toolbar::Toolbar(std::string name) : Control(std::move(name)) {}

Command& Toolbar::addButton(std::string key, std::string toolTip, std::string imageKey, CommandStyle style) {
    auto b = std::make_unique<Command>(std::move(key));
    b->setToolTip(std::move(toolTip));
    b->setImageKey(std::move(imageKey));
    b->setStyle(style);
    buttons_.push_back(std::move(b));
    changed();
    return *buttons_.back();
}

Command* Toolbar::button(std::string_view key) {
    for (auto& b : buttons_) {
        if (b->name() == key) return b.get();
    }
    return nullptr;
}

const Command* Toolbar::button(std::string_view key) const {
    return const_cast<Toolbar*>(this)->button(key);
}

bool Toolbar::click(std::string_view key) {
    Command* b = button(key);
    if (b == nullptr || !b->enabled() || !b->visible() || !enabled() || !visible()) return false;
    if (b->style() == CommandStyle::Separator || b->style() == CommandStyle::Placeholder) return false;
    if (b->style() == CommandStyle::Check) {
        b->setChecked(!b->checked());
    } else if (b->style() == CommandStyle::ButtonGroup) {
        // The group is the run of adjacent group buttons around this one.
        std::size_t i = 0;
        while (buttons_[i].get() != b) ++i;
        std::size_t first = i;
        while (first > 0 && buttons_[first - 1]->style() == CommandStyle::ButtonGroup) --first;
        for (std::size_t j = first; j < buttons_.size() && buttons_[j]->style() == CommandStyle::ButtonGroup; ++j) {
            buttons_[j]->setChecked(j == i);
        }
    }
    if (onButtonClick) onButtonClick(*b);
    if (b->onClick) b->onClick();
    return true;
}

void Toolbar::setButtonsVisible(bool on) {
    for (auto& b : buttons_) b->setVisible(on);
}

void Toolbar::setButtonsEnabled(bool on) {
    for (auto& b : buttons_) b->setEnabled(on);
}

// ---- StatusBar -------------------------------------------------------------

StatusBar::StatusBar(std::string name) : Control(std::move(name)) {}

int StatusBar::addPanel(StatusPanel panel) {
    panels_.push_back(std::move(panel));
    changed();
    return panelCount();
}

int StatusBar::addPanel(std::string key, std::string text, PanelAutoSize autoSize) {
    StatusPanel p;
    p.key = std::move(key);
    p.text = std::move(text);
    p.autoSize = autoSize;
    return addPanel(std::move(p));
}

StatusPanel* StatusBar::at(int number) {
    if (number < 1 || number > panelCount()) return nullptr;
    return &panels_[static_cast<std::size_t>(number - 1)];
}

const StatusPanel& StatusBar::panel(int number) const {
    if (number < 1 || number > panelCount()) throw std::out_of_range("status panel " + std::to_string(number));
    return panels_[static_cast<std::size_t>(number - 1)];
}

bool StatusBar::setPanel(int number, StatusPanel panel) {
    auto* p = at(number);
    if (p == nullptr) return false;
    if (assign(*p, std::move(panel))) changed();
    return true;
}

std::string StatusBar::text(int number) const {
    if (number < 1 || number > panelCount()) return {};
    return panels_[static_cast<std::size_t>(number - 1)].text;
}

bool StatusBar::setText(int number, std::string text) {
    auto* p = at(number);
    if (p == nullptr) return false;
    if (assign(p->text, std::move(text))) changed();
    return true;
}

bool StatusBar::setImageKey(int number, std::string key) {
    auto* p = at(number);
    if (p == nullptr) return false;
    if (assign(p->imageKey, std::move(key))) changed();
    return true;
}

bool StatusBar::setPanelVisible(int number, bool on) {
    auto* p = at(number);
    if (p == nullptr) return false;
    if (assign(p->visible, on)) changed();
    return true;
}

bool StatusBar::click(int number) {
    const auto* p = at(number);
    if (p == nullptr || !p->visible || !enabled() || !visible() || !onPanelClick) return false;
    onPanelClick(number);
    return true;
}

bool StatusBar::setPanelWidth(int number, int twips) {
    auto* p = at(number);
    if (p == nullptr) return false;
    if (assign(p->width, twips < 0 ? 0 : twips)) changed();
    return true;
}

}  // namespace wendra::ui
