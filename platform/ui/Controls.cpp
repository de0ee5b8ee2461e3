#include "platform/ui/Controls.h"

#include <algorithm>

namespace wendra::ui {

namespace {
template <typename T>
bool assign(T& field, T value) {
    if (field == value) return false;
    field = std::move(value);
    return true;
}
}  // namespace

// ---- Control ---------------------------------------------------------------

Control::Control(std::string name) : name_(std::move(name)) {}

void Control::setEnabled(bool on) {
    if (assign(enabled_, on)) changed();
}

void Control::setVisible(bool on) {
    if (assign(visible_, on)) changed();
}

void Control::setForeColour(Colour c) {
    if (assign(fore_, std::optional<Colour>(c))) changed();
}

void Control::setBackColour(Colour c) {
    if (assign(back_, std::optional<Colour>(c))) changed();
}

void Control::setFont(const Font& f) {
    if (assign(font_, std::optional<Font>(f))) changed();
}

void Control::setToolTip(std::string text) {
    if (assign(toolTip_, std::move(text))) changed();
}

void Control::setGeometry(const Geometry& g) {
    const bool first = !geometrySet_;
    geometrySet_ = true;
    if (assign(geometry_, g) || first) changed();
}

void Control::setLeft(int v) { setGeometry({v, geometry_.top, geometry_.width, geometry_.height}); }
void Control::setTop(int v) { setGeometry({geometry_.left, v, geometry_.width, geometry_.height}); }
void Control::setWidth(int v) { setGeometry({geometry_.left, geometry_.top, std::max(0, v), geometry_.height}); }
void Control::setHeight(int v) { setGeometry({geometry_.left, geometry_.top, geometry_.width, std::max(0, v)}); }
void Control::move(int left, int top) { setGeometry({left, top, geometry_.width, geometry_.height}); }

void Control::setFocus() {
    gotFocus();
    changed();  // the view moves its focus to follow
}

void Control::gotFocus() {
    if (focused_) return;
    focused_ = true;
    focusArrived();
    if (onGotFocus) onGotFocus();
}

void Control::lostFocus() {
    if (!focused_) return;
    focused_ = false;
    if (onLostFocus) onLostFocus();
}

void Control::mouseMove() {
    if (onMouseMove) onMouseMove();
}

// ---- Label -----------------------------------------------------------------

Label::Label(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}

void Label::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) changed();
}

void Label::setAlignment(TextAlignment a) {
    if (assign(alignment_, a)) changed();
}

void Label::setWordWrap(bool on) {
    if (assign(wordWrap_, on)) changed();
}

// ---- TextBox ---------------------------------------------------------------

TextBox::TextBox(std::string name, std::string text) : Control(std::move(name)), text_(std::move(text)) {
    setDefaultColours(colours::windowText, colours::window);
}

void TextBox::setText(std::string text) {
    if (maxLength_ > 0 && charCount(text) > maxLength_) text.resize(byteOffset(text, maxLength_));
    if (text == text_) return;
    text_ = std::move(text);
    // The window system puts the cursor at the start of text that code writes.
    selStart_ = 0;
    selLength_ = 0;
    ++selectionRevision_;
    changed();
    if (onChange) onChange();
}

std::string TextBox::selectedText() const {
    const auto from = byteOffset(text_, selStart_);
    const auto to = byteOffset(text_, selStart_ + selLength_);
    return text_.substr(from, to - from);
}

void TextBox::setSelection(std::size_t start, std::size_t length) {
    const auto n = charCount(text_);
    selStart_ = std::min(start, n);
    selLength_ = std::min(length, n - selStart_);
    ++selectionRevision_;
    changed();
}

void TextBox::selectionFromView(std::size_t start, std::size_t length) {
    const auto n = charCount(text_);
    selStart_ = std::min(start, n);
    selLength_ = std::min(length, n - selStart_);
}

void TextBox::textFromView(std::string text, std::size_t selStart, std::size_t selLength) {
    const bool differs = text != text_;
    text_ = std::move(text);
    selectionFromView(selStart, selLength);
    if (!differs) return;
    changed();
    if (onChange) onChange();
}

void TextBox::setMaxLength(std::size_t n) {
    maxLength_ = n;
    changed();
    if (n > 0 && charCount(text_) > n) setText(text_);
}

void TextBox::setLocked(bool on) {
    if (assign(locked_, on)) changed();
}

void TextBox::setAlignment(TextAlignment a) {
    if (assign(alignment_, a)) changed();
}

int TextBox::keyPress(int key) {
    key = filterKey(keyFilter_, key);
    if (key != 0 && onKeyPress) key = onKeyPress(key);
    return key;
}

bool TextBox::typeKey(int key) {
    if (!enabled() || !visible() || locked_) return false;
    key = keyPress(key);
    if (key == 0) return false;
    std::string next = text_;
    std::size_t start = selStart_;
    std::size_t length = selLength_;
    if (key == kKeyBackspace) {
        if (length == 0) {
            if (start == 0) return true;  // nothing before the cursor
            --start;
            length = 1;
        }
        const auto from = byteOffset(next, start);
        next.erase(from, byteOffset(next, start + length) - from);
    } else {
        if (maxLength_ > 0 && charCount(next) - length >= maxLength_) return false;
        const auto from = byteOffset(next, start);
        next.replace(from, byteOffset(next, start + length) - from, encodeChar(static_cast<char32_t>(key)));
        ++start;
    }
    setText(std::move(next));
    setSelection(start, 0);
    return true;
}

bool TextBox::typeText(std::string_view text) {
    bool all = true;
    for (const char c : text) all = typeKey(static_cast<unsigned char>(c)) && all;
    return all;
}

void TextBox::focusArrived() {
    if (selectAllOnFocus_) selectAll();
}

// ---- CheckBox --------------------------------------------------------------

CheckBox::CheckBox(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}

void CheckBox::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) changed();
}

void CheckBox::setValue(CheckState v) {
    if (!assign(value_, v)) return;
    changed();
    if (onClick) onClick();
}

bool CheckBox::click() {
    if (!enabled() || !visible()) return false;
    setChecked(value_ != CheckState::Checked);
    return true;
}

// ---- OptionButton and OptionGroup ------------------------------------------

OptionButton::OptionButton(OptionGroup& group, std::string name, int index, std::string caption)
    : Control(std::move(name)), group_(group), index_(index), caption_(std::move(caption)) {}

void OptionButton::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) changed();
}

void OptionButton::setValue(bool on) {
    if (on) {
        group_.select(index_);
    } else {
        setValueQuietly(false);
    }
}

void OptionButton::setValueQuietly(bool on) {
    if (assign(value_, on)) changed();
}

bool OptionButton::click() {
    if (!enabled() || !visible()) return false;
    return group_.select(index_);
}

OptionGroup::OptionGroup(std::string name) : name_(std::move(name)) {}

OptionGroup::OptionGroup(std::string name, const std::vector<std::string>& captions) : name_(std::move(name)) {
    for (const auto& c : captions) add(c);
}

OptionButton& OptionGroup::add(std::string caption) {
    const int index = count();
    const std::string optionName = name_ + "(" + std::to_string(index) + ")";
    options_.push_back(std::unique_ptr<OptionButton>(new OptionButton(*this, optionName, index, std::move(caption))));
    return *options_.back();
}

bool OptionGroup::select(int index) {
    if (index < 0 || index >= count()) return false;
    // Clear the others first, so that no listener sees two chosen at once.
    for (auto& o : options_) {
        if (o->index() != index) o->setValueQuietly(false);
    }
    options_[static_cast<std::size_t>(index)]->setValueQuietly(true);
    if (onClick) onClick(index);
    return true;
}

int OptionGroup::selected() const {
    for (const auto& o : options_) {
        if (o->value()) return o->index();
    }
    return -1;
}

bool OptionGroup::isSelected(int index) const { return index >= 0 && index < count() && (*this)[index].value(); }

// ---- ListControl -----------------------------------------------------------

ListControl::ListControl(std::string name, ListStyle style) : Control(std::move(name)), style_(style) {
    setDefaultColours(colours::windowText, colours::window);
}

bool ListControl::addItem(std::string text, int index) {
    if (index > listCount() || index < -1) return false;
    if (index == -1) {
        items_.push_back({std::move(text), 0});
    } else {
        items_.insert(items_.begin() + index, {std::move(text), 0});
        if (listIndex_ >= index) ++listIndex_;
    }
    ++itemsRevision_;
    changed();
    return true;
}

bool ListControl::removeItem(int index) {
    if (index < 0 || index >= listCount()) return false;
    items_.erase(items_.begin() + index);
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    ++itemsRevision_;
    changed();
    return true;
}

void ListControl::clear() {
    items_.clear();
    listIndex_ = -1;
    editText_.clear();
    ++itemsRevision_;
    changed();
}

std::string ListControl::list(int index) const {
    if (index < 0 || index >= listCount()) return {};
    return items_[static_cast<std::size_t>(index)].text;
}

bool ListControl::setList(int index, std::string text) {
    if (index < 0 || index >= listCount()) return false;
    items_[static_cast<std::size_t>(index)].text = std::move(text);
    ++itemsRevision_;
    changed();
    return true;
}

long ListControl::itemData(int index) const {
    if (index < 0 || index >= listCount()) return 0;
    return items_[static_cast<std::size_t>(index)].data;
}

bool ListControl::setItemData(int index, long data) {
    if (index < 0 || index >= listCount()) return false;
    items_[static_cast<std::size_t>(index)].data = data;
    return true;
}

bool ListControl::setListIndex(int index) {
    if (index < -1 || index >= listCount()) return false;
    if (index == listIndex_) return true;
    listIndex_ = index;
    if (editable()) editText_ = list(index);
    changed();
    if (onClick) onClick();
    return true;
}

std::string ListControl::text() const {
    if (editable()) return editText_;
    return list(listIndex_);
}

bool ListControl::setText(std::string text) {
    if (!editable()) {
        const int found = findItem(text);
        return found >= 0 && setListIndex(found);
    }
    if (!assign(editText_, std::move(text))) return true;
    changed();
    if (onChange) onChange();
    return true;
}

int ListControl::findItem(std::string_view text) const {
    for (int i = 0; i < listCount(); ++i) {
        if (items_[static_cast<std::size_t>(i)].text == text) return i;
    }
    return -1;
}

// ---- CommandButton, Frame, Picture -----------------------------------------

CommandButton::CommandButton(std::string name, std::string caption)
    : Control(std::move(name)), caption_(std::move(caption)) {}

void CommandButton::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) changed();
}

void CommandButton::setPicture(std::string key) {
    if (assign(picture_, std::move(key))) changed();
}

void CommandButton::setUseMaskColour(bool on) {
    if (assign(useMaskColour_, on)) changed();
}

void CommandButton::setDefault(bool on) {
    if (assign(default_, on)) changed();
}

void CommandButton::setCancel(bool on) {
    if (assign(cancel_, on)) changed();
}

bool CommandButton::press() {
    if (!enabled() || !visible()) return false;
    if (onClick) onClick();
    return true;
}

Frame::Frame(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}

void Frame::setCaption(std::string text) {
    if (assign(caption_, std::move(text))) changed();
}

Picture::Picture(std::string name, std::string imageKey) : Control(std::move(name)), imageKey_(std::move(imageKey)) {}

void Picture::setImageKey(std::string key) {
    if (assign(imageKey_, std::move(key))) changed();
}

// ---- TabStrip --------------------------------------------------------------

TabStrip::TabStrip(std::string name) : Control(std::move(name)) {}

void TabStrip::addTab(std::string key, std::string caption, std::string toolTip) {
    tabs_.push_back({std::move(key), std::move(caption), std::move(toolTip)});
    if (selected_ < 0) selected_ = 0;  // the first tab is current, quietly, as on a new strip
    changed();
}

int TabStrip::indexOf(std::string_view key) const {
    for (int i = 0; i < tabCount(); ++i) {
        if (tabs_[static_cast<std::size_t>(i)].key == key) return i;
    }
    return -1;
}

std::string TabStrip::selectedKey() const { return selected_ < 0 ? std::string() : tab(selected_).key; }

bool TabStrip::select(int index) {
    if (index < 0 || index >= tabCount()) return false;
    if (assign(selected_, index)) changed();
    if (onClick) onClick();
    return true;
}

bool TabStrip::select(std::string_view key) { return select(indexOf(key)); }

// ---- UpDown and NumberBox --------------------------------------------------

UpDown::UpDown(std::string name) : Control(std::move(name)) {}

bool UpDown::up() {
    if (!enabled() || !visible()) return false;
    if (onUpClick) onUpClick();
    return true;
}

bool UpDown::down() {
    if (!enabled() || !visible()) return false;
    if (onDownClick) onDownClick();
    return true;
}

NumberBox::NumberBox(std::string name, int minimum, int maximum, int defaultValue)
    : TextBox(name), minimum_(minimum), maximum_(maximum), default_(defaultValue), arrows_(name + ".arrows") {
    setKeyFilter(KeyFilter::Digits);
    setSelectAllOnFocus(true);
    arrows_.onUpClick = [this] { step(+1); };
    arrows_.onDownClick = [this] { step(-1); };
}

void NumberBox::setLimits(int minimum, int maximum, int defaultValue) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    default_ = defaultValue;
}

bool NumberBox::arrowsActive() const {
    return enabled() && visible() && arrows_.enabled() && (!actsWhen || actsWhen());
}

bool NumberBox::up() { return step(+1); }
bool NumberBox::down() { return step(-1); }

bool NumberBox::step(int delta) {
    if (!arrowsActive()) return false;
    setText(stepNumber(text(), delta, minimum_, maximum_, default_));
    if (onStep) onStep();
    return true;
}

// ---- DateTimePicker --------------------------------------------------------

DateTimePicker::DateTimePicker(std::string name, DateFormat format, std::string customFormat)
    : Control(std::move(name)),
      value_(DateTime::ymd(2000, 1, 1)),
      min_(DateTime::ymd(1601, 1, 1)),
      max_(DateTime::ymd(9999, 12, 31, 23, 59, 59)),
      format_(format),
      customFormat_(std::move(customFormat)) {
    setDefaultColours(colours::windowText, colours::window);
}

bool DateTimePicker::setValue(DateTime v) {
    if (v < min_ || v > max_) return false;
    if (!assign(value_, v)) return true;
    changed();
    if (onChange) onChange();
    return true;
}

void DateTimePicker::setRange(DateTime min, DateTime max) {
    if (max < min) std::swap(min, max);
    min_ = min;
    max_ = max;
    changed();
    if (value_ < min_) setValue(min_);
    if (value_ > max_) setValue(max_);
}

void DateTimePicker::setFormat(DateFormat f, std::string customFormat) {
    format_ = f;
    customFormat_ = std::move(customFormat);
    changed();
}

bool DateTimePicker::pickDate(int year, int month, int day) {
    const auto d = DateTime::fromParts(year, month, day, value_.hour(), value_.minute(), value_.second());
    return d && setValue(*d);
}

bool DateTimePicker::pickTime(int hour, int minute, int second) {
    const auto d = DateTime::fromParts(value_.year(), value_.month(), value_.day(), hour, minute, second);
    return d && setValue(*d);
}

// ---- ProgressBar -----------------------------------------------------------

ProgressBar::ProgressBar(std::string name) : Control(std::move(name)) {}

void ProgressBar::setRange(int minimum, int maximum) {
    if (maximum < minimum) std::swap(minimum, maximum);
    min_ = minimum;
    max_ = maximum;
    value_ = std::clamp(value_, min_, max_);
    changed();
}

void ProgressBar::setValue(int v) {
    if (assign(value_, std::clamp(v, min_, max_))) changed();
}

}  // namespace wendra::ui
