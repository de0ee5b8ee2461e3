#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/ui/Colour.h"
#include "platform/ui/Font.h"
#include "platform/ui/Notifier.h"
#include "platform/ui/NumberText.h"

// The state of the controls a form's logic owns. A view mirrors each control to
// a real widget and forwards the user's actions to the same members the logic
// calls, so that setting a control from code runs the same handler as the user.
//
// Handlers (the public std::function members named on...) belong to the form's
// logic; views subscribe() to learn that the state changed.
//
// Value controls (text, check box, list position, date) run their handler when the
// value changes; choosing controls (option button, tab, command button) run it on
// every choice, since a user's click on the current choice runs it too.
namespace wendra::ui {

// Sizes and positions are in twips (1440 to the inch).
struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Geometry&) const = default;
};

class Control {
public:
    explicit Control(std::string name = {});
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);

    // Colours left unset take the view's own; once set, the view shows them.
    Colour foreColour() const { return fore_.value_or(defaultFore_); }
    Colour backColour() const { return back_.value_or(defaultBack_); }
    bool hasForeColour() const { return fore_.has_value(); }
    bool hasBackColour() const { return back_.has_value(); }
    void setForeColour(Colour c);
    void setBackColour(Colour c);

    // Without a font of its own a control shows its form's.
    const std::optional<Font>& font() const { return font_; }
    void setFont(const Font& f);

    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string text);

    // Position and size. Until code sets them the view's layout decides, and the
    // view reports the size it gave back through sizeFromView.
    const Geometry& geometry() const { return geometry_; }
    bool hasGeometry() const { return geometrySet_; }
    int left() const { return geometry_.left; }
    int top() const { return geometry_.top; }
    int width() const { return geometry_.width; }
    int height() const { return geometry_.height; }
    void setGeometry(const Geometry& g);
    void setLeft(int v);
    void setTop(int v);
    void setWidth(int v);
    void setHeight(int v);
    void move(int left, int top);
    // The view's own layout placed the widget: recorded without telling the view again.
    void geometryFromView(const Geometry& g) { geometry_ = g; }

    // Focus. setFocus moves the focus here at once (running gotFocus) and asks the
    // view to follow; the view reports focus that the user moves.
    bool hasFocus() const { return focused_; }
    void setFocus();
    void gotFocus();
    void lostFocus();
    // The pointer moved over the control (the view reports it).
    void mouseMove();

    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    std::function<void()> onMouseMove;

    [[nodiscard]] Subscription subscribe(Notifier::Listener fn) const { return notifier_.subscribe(std::move(fn)); }

protected:
    void changed() const { notifier_.notify(); }
    void setDefaultColours(Colour fore, Colour back) {
        defaultFore_ = fore;
        defaultBack_ = back;
    }
    virtual void focusArrived() {}

private:
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    std::optional<Colour> fore_;
    std::optional<Colour> back_;
    Colour defaultFore_ = colours::windowText;
    Colour defaultBack_ = colours::buttonFace;
    std::optional<Font> font_;
    std::string toolTip_;
    Geometry geometry_;
    bool geometrySet_ = false;
    bool focused_ = false;
    mutable Notifier notifier_;
};

enum class TextAlignment { Left, Right, Center };

class Label : public Control {
public:
    explicit Label(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment a);
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);

private:
    std::string caption_;
    TextAlignment alignment_ = TextAlignment::Left;
    bool wordWrap_ = false;
};

class TextBox : public Control {
public:
    explicit TextBox(std::string name = {}, std::string text = {});

    const std::string& text() const { return text_; }
    // Runs onChange when the text differs. A maximum length cuts the text.
    void setText(std::string text);

    // Selection, in characters.
    std::size_t selStart() const { return selStart_; }
    std::size_t selLength() const { return selLength_; }
    std::string selectedText() const;
    void setSelection(std::size_t start, std::size_t length);
    void selectAll() { setSelection(0, charCount(text_)); }
    // Counts the selections code made, so a view applies each one once and leaves
    // the user's own cursor alone otherwise.
    std::uint64_t selectionRevision() const { return selectionRevision_; }
    void selectionFromView(std::size_t start, std::size_t length);
    // The user edited the text in the view: onChange runs, the view's cursor stays.
    void textFromView(std::string text, std::size_t selStart, std::size_t selLength);

    std::size_t maxLength() const { return maxLength_; }  // 0: no limit
    void setMaxLength(std::size_t n);
    bool locked() const { return locked_; }  // read-only for the user
    void setLocked(bool on);
    TextAlignment alignment() const { return alignment_; }
    void setAlignment(TextAlignment a);

    // Select the whole text whenever the box gets the focus.
    bool selectAllOnFocus() const { return selectAllOnFocus_; }
    void setSelectAllOnFocus(bool on) { selectAllOnFocus_ = on; }

    // The key filter every typed character passes: the built-in filter first,
    // then onKeyPress, which may change the key or swallow it with 0.
    KeyFilter keyFilter() const { return keyFilter_; }
    void setKeyFilter(KeyFilter f) { keyFilter_ = f; }
    int keyPress(int key);
    // A typed character as the user's keyboard gives it: filtered, then it replaces
    // the selection (backspace removes the selection or the character before the
    // cursor). Returns false when the key was swallowed or the box takes no input.
    bool typeKey(int key);
    bool typeText(std::string_view text);  // typeKey for each character of ASCII text

    std::function<void()> onChange;
    std::function<int(int)> onKeyPress;

protected:
    void focusArrived() override;

private:
    std::string text_;
    std::size_t selStart_ = 0;
    std::size_t selLength_ = 0;
    std::uint64_t selectionRevision_ = 0;
    std::size_t maxLength_ = 0;
    bool locked_ = false;
    TextAlignment alignment_ = TextAlignment::Left;
    bool selectAllOnFocus_ = false;
    KeyFilter keyFilter_ = KeyFilter::None;
};

enum class CheckState { Unchecked = 0, Checked = 1, Grayed = 2 };

class CheckBox : public Control {
public:
    explicit CheckBox(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    CheckState value() const { return value_; }
    bool checked() const { return value_ == CheckState::Checked; }
    // Runs onClick when the value differs.
    void setValue(CheckState v);
    void setChecked(bool on) { setValue(on ? CheckState::Checked : CheckState::Unchecked); }
    // The user's click: ticks a clear or grey box, clears a ticked one.
    bool click();

    std::function<void()> onClick;

private:
    std::string caption_;
    CheckState value_ = CheckState::Unchecked;
};

class OptionGroup;

// One option button of an option group (a control array: optFrequency(0) ...).
class OptionButton : public Control {
public:
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    bool value() const { return value_; }
    // True chooses this option (running the group's onClick); false only clears it.
    void setValue(bool on);
    int index() const { return index_; }
    // The user's click.
    bool click();

private:
    friend class OptionGroup;
    OptionButton(OptionGroup& group, std::string name, int index, std::string caption);
    void setValueQuietly(bool on);
    OptionGroup& group_;
    int index_;
    std::string caption_;
    bool value_ = false;
};

// Option buttons that exclude each other, indexed from 0 as the form's control
// array is. onClick gets the index of the option chosen.
class OptionGroup {
public:
    explicit OptionGroup(std::string name = {});
    OptionGroup(std::string name, const std::vector<std::string>& captions);
    OptionGroup(const OptionGroup&) = delete;
    OptionGroup& operator=(const OptionGroup&) = delete;

    const std::string& name() const { return name_; }
    OptionButton& add(std::string caption = {});
    int count() const { return static_cast<int>(options_.size()); }
    OptionButton& operator[](int index) { return *options_.at(static_cast<std::size_t>(index)); }
    const OptionButton& operator[](int index) const { return *options_.at(static_cast<std::size_t>(index)); }
    OptionButton& option(int index) { return (*this)[index]; }

    // Chooses one option and clears the others, then runs onClick(index), even when
    // it was chosen already. An index outside the group changes nothing: false.
    bool select(int index);
    int selected() const;  // -1 when none is chosen
    bool isSelected(int index) const;

    std::function<void(int)> onClick;

private:
    friend class OptionButton;
    std::string name_;
    std::vector<std::unique_ptr<OptionButton>> options_;
};

enum class ListStyle { DropDownList, DropDownCombo, SimpleList };

// A list of texts with one current entry: a combo box or a list box.
class ListControl : public Control {
public:
    struct Item {
        std::string text;
        long data = 0;
    };

    ListControl(std::string name, ListStyle style);

    ListStyle style() const { return style_; }
    bool editable() const { return style_ == ListStyle::DropDownCombo; }

    // Entries. index -1 appends; an index beyond the end is refused.
    bool addItem(std::string text, int index = -1);
    bool removeItem(int index);
    void clear();
    int listCount() const { return static_cast<int>(items_.size()); }
    std::string list(int index) const;
    bool setList(int index, std::string text);
    long itemData(int index) const;
    bool setItemData(int index, long data);
    const std::vector<Item>& items() const { return items_; }
    std::uint64_t itemsRevision() const { return itemsRevision_; }

    // The current entry, -1 for none. Choosing another one runs onClick; an index
    // outside the list is refused and changes nothing.
    int listIndex() const { return listIndex_; }
    bool setListIndex(int index);
    // The current entry's text; for an editable combo the text in its box.
    std::string text() const;
    // Editable combo: the box's text (runs onChange when it differs). A list of
    // fixed entries chooses the first entry equal to the text instead.
    bool setText(std::string text);
    int findItem(std::string_view text) const;

    std::function<void()> onClick;
    std::function<void()> onChange;

private:
    ListStyle style_;
    std::vector<Item> items_;
    std::uint64_t itemsRevision_ = 0;
    int listIndex_ = -1;
    std::string editText_;
};

class ComboBox : public ListControl {
public:
    explicit ComboBox(std::string name = {}, ListStyle style = ListStyle::DropDownList) : ListControl(std::move(name), style) {}
};

class ListBox : public ListControl {
public:
    explicit ListBox(std::string name = {}) : ListControl(std::move(name), ListStyle::SimpleList) {}
};

class CommandButton : public Control {
public:
    explicit CommandButton(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    // The image-list key of its picture, empty for none.
    const std::string& picture() const { return picture_; }
    void setPicture(std::string key);
    // The picture drawn with its mask colour transparent.
    bool useMaskColour() const { return useMaskColour_; }
    void setUseMaskColour(bool on);
    bool isDefault() const { return default_; }
    void setDefault(bool on);
    bool isCancel() const { return cancel_; }
    void setCancel(bool on);

    // A press by the user or by code: runs onClick unless the button is disabled or
    // hidden, which the user could not press either.
    bool press();

    std::function<void()> onClick;

private:
    std::string caption_;
    std::string picture_;
    bool useMaskColour_ = false;
    bool default_ = false;
    bool cancel_ = false;
};

// A frame groups controls under a caption. Its enabled and visible state reach
// its controls through the view, as the window system's containers do.
class Frame : public Control {
public:
    explicit Frame(std::string name = {}, std::string caption = {});
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);

private:
    std::string caption_;
};

// A picture box or image showing one image-list picture by key.
class Picture : public Control {
public:
    explicit Picture(std::string name = {}, std::string imageKey = {});
    const std::string& imageKey() const { return imageKey_; }
    void setImageKey(std::string key);

private:
    std::string imageKey_;
};

class TabStrip : public Control {
public:
    struct Tab {
        std::string key;
        std::string caption;
        std::string toolTip;
    };

    explicit TabStrip(std::string name = {});
    void addTab(std::string key, std::string caption, std::string toolTip = {});
    int tabCount() const { return static_cast<int>(tabs_.size()); }
    const Tab& tab(int index) const { return tabs_.at(static_cast<std::size_t>(index)); }
    int indexOf(std::string_view key) const;  // -1 when there is no such tab

    // Indexes count from 0. Selecting runs onClick, also when the tab was current.
    int selectedIndex() const { return selected_; }
    std::string selectedKey() const;
    bool select(int index);
    bool select(std::string_view key);

    std::function<void()> onClick;

private:
    std::vector<Tab> tabs_;
    int selected_ = -1;
};

// Up and down arrows; what they step is up to their handlers.
class UpDown : public Control {
public:
    explicit UpDown(std::string name = {});
    // The user's click on an arrow: runs its handler unless the arrows are disabled.
    bool up();
    bool down();

    std::function<void()> onUpClick;
    std::function<void()> onDownClick;
};

// A text box with its up-down arrows: a filter that lets only digits (or what
// setKeyFilter chooses) through, the whole text selected on focus, and arrows that
// step the number within minimum..maximum and never beyond, a text that is no
// number giving the default. The arrows act only while the box is enabled and
// actsWhen (when given) agrees.
class NumberBox : public TextBox {
public:
    NumberBox(std::string name = {}, int minimum = 0, int maximum = 999, int defaultValue = 1);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int defaultValue() const { return default_; }
    void setLimits(int minimum, int maximum, int defaultValue);

    std::optional<long long> value() const { return wholeNumber(text()); }
    void setValue(long long v) { setText(std::to_string(v)); }

    // An arrow click, by the user or by code. The arrows' own handlers step the box;
    // leave them as they are.
    bool up();
    bool down();
    UpDown& arrows() { return arrows_; }
    const UpDown& arrows() const { return arrows_; }
    bool arrowsActive() const;

    std::function<bool()> actsWhen;
    // Runs after an arrow stepped the number (after onChange).
    std::function<void()> onStep;

private:
    bool step(int delta);
    int minimum_;
    int maximum_;
    int default_;
    UpDown arrows_;
};

enum class DateFormat { ShortDate, LongDate, Time, Custom };

// A date picker or a time picker. It keeps a whole date-time as its value, as the
// window system's picker does; which part it shows depends on its format.
class DateTimePicker : public Control {
public:
    DateTimePicker(std::string name, DateFormat format, std::string customFormat = {});

    DateTime value() const { return value_; }
    // Runs onChange when the value differs. A value outside minDate..maxDate is refused.
    bool setValue(DateTime v);
    DateTime minDate() const { return min_; }
    DateTime maxDate() const { return max_; }
    void setRange(DateTime min, DateTime max);

    DateFormat format() const { return format_; }
    // A pattern in the picker's letters: "HH:mm", "dd/MM/yyyy".
    const std::string& customFormat() const { return customFormat_; }
    void setFormat(DateFormat f, std::string customFormat = {});

    // The user picked a day or a time of day: the other part of the value stays.
    bool pickDate(int year, int month, int day);
    bool pickTime(int hour, int minute, int second = 0);

    std::function<void()> onChange;

private:
    DateTime value_;
    DateTime min_;
    DateTime max_;
    DateFormat format_;
    std::string customFormat_;
};

class DatePicker : public DateTimePicker {
public:
    explicit DatePicker(std::string name = {}) : DateTimePicker(std::move(name), DateFormat::ShortDate) {}
};

class TimePicker : public DateTimePicker {
public:
    explicit TimePicker(std::string name = {}, std::string customFormat = "HH:mm")
        : DateTimePicker(std::move(name), DateFormat::Custom, std::move(customFormat)) {}
};

class ProgressBar : public Control {
public:
    explicit ProgressBar(std::string name = {});
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    int value() const { return value_; }
    // Values are held within the range.
    void setRange(int minimum, int maximum);
    void setMinimum(int v) { setRange(v, max_ < v ? v : max_); }
    void setMaximum(int v) { setRange(min_ > v ? v : min_, v); }
    void setValue(int v);

private:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
};

}  // namespace wendra::ui
