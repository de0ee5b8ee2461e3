#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Commands.h"
#include "platform/ui/Controls.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QRadioButton;
class QStatusBar;
class QTabBar;
class QToolBar;
class QToolButton;

// Binders mirror one model control to one widget in both directions: the model's
// state reaches the widget whenever it changes, and the user's actions on the widget
// reach the same model members the form's logic calls. A binder holds no decisions.
// The view owns its binders (members or unique_ptr); a binder must not outlive its
// control, and lets go of a widget that is destroyed before it.
namespace wendra::ui::qt {

// Pictures by key, as the forms name them ("imgNew", "imgSave1").
class QtImageList {
public:
    void add(const std::string& key, const QIcon& icon) { icons_[key] = icon; }
    bool contains(const std::string& key) const { return icons_.count(key) != 0; }
    QIcon icon(const std::string& key) const;  // a null icon for an unknown key

private:
    std::map<std::string, QIcon> icons_;
};

// What every control has: enabled, visible, colours, font, tool tip, geometry (once
// code set it), focus and the pointer moving over it. Usable on its own for a plain
// widget (a frame without caption, a container).
class ControlBinder : public QObject {
public:
    ControlBinder(Control& control, QWidget* widget);
    ~ControlBinder() override;

    QWidget* widget() const { return widget_; }
    // Applies the whole model state to the widget.
    void refresh();

protected:
    // Derived binders call start() at the end of their constructor.
    void start();
    virtual void applyState() {}
    // A derived binder's own events; true eats the event.
    virtual bool filterEvent(QEvent*) { return false; }
    bool applying() const { return applying_; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Subscribes to a further model object whose changes this binder shows.
    template <typename Model>
    void follow(const Model& model) {
        extra_.push_back(model.subscribe([this] { refresh(); }));
    }

private:
    void applyCommon();
    Control& control_;
    QPointer<QWidget> widget_;
    Subscription subscription_;
    std::vector<Subscription> extra_;
    std::optional<Geometry> appliedGeometry_;
    bool applying_ = false;
};

class LabelBinder final : public ControlBinder {
public:
    LabelBinder(Label& label, QLabel* widget);

protected:
    void applyState() override;

private:
    Label& label_;
    QLabel* edit_;
};

class TextBoxBinder : public ControlBinder {
public:
    TextBoxBinder(TextBox& box, QLineEdit* widget);

protected:
    void applyState() override;
    bool filterEvent(QEvent* event) override;

private:
    void applySelection();
    void reportSelection();
    TextBox& box_;
    QLineEdit* edit_;
    std::uint64_t appliedSelection_ = 0;
};

class CheckBoxBinder final : public ControlBinder {
public:
    CheckBoxBinder(CheckBox& box, QCheckBox* widget);

protected:
    void applyState() override;

private:
    CheckBox& box_;
    QCheckBox* check_;
};

// The buttons of an option group, in index order. The model keeps them exclusive,
// wherever the buttons stand.
class OptionGroupBinder {
public:
    OptionGroupBinder(OptionGroup& group, const std::vector<QRadioButton*>& buttons);
    ~OptionGroupBinder();

private:
    std::vector<std::unique_ptr<ControlBinder>> options_;
};

// A combo box, or with a QListWidget a list box.
class ListBinder final : public ControlBinder {
public:
    ListBinder(ListControl& list, QComboBox* widget);
    ListBinder(ListControl& list, QListWidget* widget);

protected:
    void applyState() override;

private:
    ListControl& list_;
    QComboBox* combo_ = nullptr;
    QListWidget* listWidget_ = nullptr;
    std::optional<std::uint64_t> appliedItems_;
};

class ButtonBinder final : public ControlBinder {
public:
    ButtonBinder(CommandButton& button, QAbstractButton* widget, const QtImageList* images = nullptr);

protected:
    void applyState() override;

private:
    CommandButton& button_;
    QAbstractButton* push_;
    const QtImageList* images_;
    bool cancelShortcut_ = false;
};

// A frame with a caption (QGroupBox); a frame without one binds with ControlBinder.
class FrameBinder final : public ControlBinder {
public:
    FrameBinder(Frame& frame, QGroupBox* widget);

protected:
    void applyState() override;

private:
    Frame& frame_;
    QGroupBox* box_;
};

class PictureBinder final : public ControlBinder {
public:
    PictureBinder(Picture& picture, QLabel* widget, const QtImageList& images);

protected:
    void applyState() override;

private:
    Picture& picture_;
    QLabel* label_;
    const QtImageList& images_;
};

class TabStripBinder final : public ControlBinder {
public:
    TabStripBinder(TabStrip& tabs, QTabBar* widget);

protected:
    void applyState() override;

private:
    TabStrip& tabs_;
    QTabBar* bar_;
};

class UpDownBinder final : public ControlBinder {
public:
    UpDownBinder(UpDown& arrows, QWidget* container, QAbstractButton* up, QAbstractButton* down);

protected:
    void applyState() override;

private:
    UpDown& arrows_;
    QAbstractButton* up_;
    QAbstractButton* down_;
};

// The widget of a number box: a line edit with two small arrows beside it.
class QtNumberBox final : public QWidget {
public:
    explicit QtNumberBox(QWidget* parent = nullptr);
    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

private:
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};

class NumberBoxBinder final : public TextBoxBinder {
public:
    NumberBoxBinder(NumberBox& box, QtNumberBox* widget);

protected:
    void applyState() override;

private:
    NumberBox& number_;
    QtNumberBox* widget_;
};

// A date picker (QDateEdit), a time picker (QTimeEdit) or both (QDateTimeEdit).
class DateTimeBinder final : public ControlBinder {
public:
    DateTimeBinder(DateTimePicker& picker, QDateTimeEdit* widget);
    ~DateTimeBinder() override;

protected:
    void applyState() override;
    bool filterEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectSectionSoon(bool underCursor);
    DateTimePicker& picker_;
    QPointer<QDateTimeEdit> edit_;
    QPointer<QLineEdit> text_;
};

class ProgressBinder final : public ControlBinder {
public:
    ProgressBinder(ProgressBar& bar, QProgressBar* widget);

protected:
    void applyState() override;

private:
    ProgressBar& bar_;
    QProgressBar* progress_;
};

class StatusBarBinder final : public ControlBinder {
public:
    StatusBarBinder(StatusBar& bar, QStatusBar* widget, const QtImageList* images = nullptr);
    // The text label of a panel (numbered from 1), for tests and for looking.
    QLabel* panelLabel(int number) const;

protected:
    void applyState() override;
    bool filterEvent(QEvent* event) override;

private:
    struct Panel {
        QWidget* box;
        QLabel* icon;
        QLabel* text;
    };
    StatusBar& bar_;
    QStatusBar* status_;
    const QtImageList* images_;
    std::vector<Panel> panels_;
};

class ToolbarBinder final : public ControlBinder {
public:
    ToolbarBinder(Toolbar& bar, QToolBar* widget, const QtImageList* images = nullptr);
    QAction* action(const std::string& key) const;
    // The empty slot of a placeholder button, where the view puts the control it makes room for.
    QWidget* placeholder(const std::string& key) const;

protected:
    void applyState() override;

private:
    void rebuild();
    Toolbar& bar_;
    QToolBar* toolbar_;
    const QtImageList* images_;
    std::vector<QAction*> actions_;
    std::map<std::string, QWidget*> placeholders_;
    std::vector<Subscription> buttonSubscriptions_;
};

// Builds the menus of a menu bar once from its commands and keeps every entry in
// step with its command; a chosen entry (click or shortcut) triggers its command.
class MenuBinder final : public QObject {
public:
    MenuBinder(MenuBar& menus, QMenuBar* widget);
    ~MenuBinder() override;
    QAction* action(const std::string& name) const;

private:
    void build(Command& command, QMenu* into);
    void apply(Command& command);
    QPointer<QMenuBar> bar_;
    std::map<const Command*, QAction*> actions_;
    std::map<std::string, QAction*> byName_;
    std::vector<Subscription> subscriptions_;
};

}  // namespace wendra::ui::qt
