#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Controls.h"

// Named commands: the entries of a window's menus and the buttons of its toolbar,
// and the panels of its status bar.
namespace wendra::ui {

enum class CommandStyle {
    Default,      // a plain entry or button
    Check,        // a toolbar button that stays pressed until pressed again
    ButtonGroup,  // a toolbar button pressed until another of its adjacent group is
    Separator,
    Placeholder,  // an empty toolbar slot of a given width that makes room for another control
};

// One menu entry or toolbar button. A menu entry with children is a menu.
// The form owns its entries (members named as the window names them); a menu only
// points to its children, so entries must outlive the menus that hold them.
class Command {
public:
    explicit Command(std::string name, std::string caption = {}, std::string shortcut = {});
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    const std::string& name() const { return name_; }  // the key of a toolbar button
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    // As the menus show it: "Ctrl+N", "F5".
    const std::string& shortcut() const { return shortcut_; }
    void setShortcut(std::string text);
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string text);
    const std::string& imageKey() const { return imageKey_; }
    void setImageKey(std::string key);

    // A menu entry's check mark; a toolbar button's pressed state.
    bool checked() const { return checked_; }
    void setChecked(bool on);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);

    CommandStyle style() const { return style_; }
    // Changing the style releases a pressed button, as the window system's toolbar does.
    void setStyle(CommandStyle s);
    // Toolbar width in twips; 0 lets the view size the button.
    int width() const { return width_; }
    void setWidth(int twips);

    // The user chose the entry (click or shortcut): runs onClick unless disabled or hidden.
    bool trigger();
    std::function<void()> onClick;

    // Sub-entries, in menu order.
    Command& add(Command& child);
    const std::vector<Command*>& children() const { return children_; }
    bool isMenu() const { return !children_.empty(); }
    bool isSeparator() const { return style_ == CommandStyle::Separator || caption_ == "-"; }
    // This entry or the first below it with that name.
    Command* find(std::string_view name);

    [[nodiscard]] Subscription subscribe(Notifier::Listener fn) const { return notifier_.subscribe(std::move(fn)); }

private:
    void changed() const { notifier_.notify(); }
    std::string name_;
    std::string caption_;
    std::string shortcut_;
    std::string toolTip_;
    std::string imageKey_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    CommandStyle style_ = CommandStyle::Default;
    int width_ = 0;
    std::vector<Command*> children_;
    mutable Notifier notifier_;
};

// The menu bar: its top-level menus in order.
class MenuBar {
public:
    MenuBar() = default;
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    Command& add(Command& menu);
    const std::vector<Command*>& menus() const { return menus_; }
    Command* find(std::string_view name);
    // The key the user pressed, as its shortcut text: triggers the one reachable entry
    // that carries it (visible, enabled, in visible menus). False when none does.
    bool triggerShortcut(std::string_view shortcut);

private:
    std::vector<Command*> menus_;
};

// A toolbar owns its buttons, found by key.
class Toolbar : public Control {
public:
    explicit Toolbar(std::string name = {});

    Command& addButton(std::string key, std::string toolTip = {}, std::string imageKey = {},
                       CommandStyle style = CommandStyle::Default);
    Command* button(std::string_view key);
    const Command* button(std::string_view key) const;
    int buttonCount() const { return static_cast<int>(buttons_.size()); }
    Command& buttonAt(int index) { return *buttons_.at(static_cast<std::size_t>(index)); }

    // The user's click on a button: a check button toggles, a group button is pressed
    // and the others of its group released; then onButtonClick(button) and the
    // button's own onClick run. Nothing happens for a disabled, hidden or unknown button.
    bool click(std::string_view key);

    // Every button at once.
    void setButtonsVisible(bool on);
    void setButtonsEnabled(bool on);

    // Buttons announce their own changes; the toolbar's subscribers hear of added buttons.
    std::function<void(Command&)> onButtonClick;

private:
    std::vector<std::unique_ptr<Command>> buttons_;
};

enum class PanelAutoSize { None, Spring, Contents };

struct StatusPanel {
    std::string key;
    std::string text;
    std::string imageKey;
    std::string toolTip;
    int width = 1440;  // twips
    PanelAutoSize autoSize = PanelAutoSize::None;
    bool visible = true;
    bool operator==(const StatusPanel&) const = default;
};

// A status bar and its panels. Panels are numbered from 1, as the window names them.
class StatusBar : public Control {
public:
    explicit StatusBar(std::string name = {});

    int addPanel(StatusPanel panel);  // its number
    int addPanel(std::string key = {}, std::string text = {}, PanelAutoSize autoSize = PanelAutoSize::None);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    const StatusPanel& panel(int number) const;
    bool setPanel(int number, StatusPanel panel);
    std::string text(int number) const;
    bool setText(int number, std::string text);
    bool setImageKey(int number, std::string key);
    bool setPanelVisible(int number, bool on);
    bool setPanelWidth(int number, int twips);

    // The user's click on a panel: onPanelClick(number) for a visible panel of
    // an enabled, visible bar; false when nothing ran.
    bool click(int number);
    std::function<void(int number)> onPanelClick;

private:
    StatusPanel* at(int number);
    std::vector<StatusPanel> panels_;
};

}  // namespace wendra::ui
