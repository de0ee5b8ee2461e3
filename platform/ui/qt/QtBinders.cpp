#include "platform/ui/qt/QtBinders.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/NumberText.h"
#include "platform/ui/qt/QtConvert.h"

namespace wendra::ui::qt {

namespace {
// Characters (code points) to UTF-16 positions of a QString, and back.
int utf16Index(const QString& s, std::size_t chars) {
    int i = 0;
    for (std::size_t n = 0; n < chars && i < s.size(); ++n) i += (s.at(i).isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
    return i;
}

std::size_t charIndex(const QString& s, int utf16) {
    std::size_t n = 0;
    for (int i = 0; i < utf16 && i < s.size(); ++n) i += (s.at(i).isHighSurrogate() && i + 1 < s.size()) ? 2 : 1;
    return n;
}
}  // namespace

QIcon QtImageList::icon(const std::string& key) const {
    const auto it = icons_.find(key);
    return it == icons_.end() ? QIcon() : it->second;
}

// ---- ControlBinder ---------------------------------------------------------

ControlBinder::ControlBinder(Control& control, QWidget* widget) : control_(control), widget_(widget) {
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
    start();
}

ControlBinder::~ControlBinder() {
    if (widget_) widget_->removeEventFilter(this);
}

void ControlBinder::start() {
    subscription_ = control_.subscribe([this] { refresh(); });
    refresh();
}

void ControlBinder::refresh() {
    if (!widget_ || applying_) return;
    applying_ = true;
    applyCommon();
    applyState();
    applying_ = false;
}

void ControlBinder::applyCommon() {
    QWidget* w = widget_;
    if (w->testAttribute(Qt::WA_ForceDisabled) == control_.enabled()) w->setEnabled(control_.enabled());
    if (w->isHidden() == control_.visible()) w->setVisible(control_.visible());
    if (w->toolTip() != toQString(control_.toolTip())) w->setToolTip(toQString(control_.toolTip()));
    if (control_.font()) {
        const QFont f = toQFont(*control_.font());
        if (w->font() != f) w->setFont(f);
    }
    if (control_.hasBackColour() || control_.hasForeColour()) {
        QPalette p = w->palette();
        if (control_.hasBackColour()) {
            const QColor c = toQColor(control_.backColour(), QApplication::palette());
            p.setColor(QPalette::Active, w->backgroundRole(), c);
            p.setColor(QPalette::Inactive, w->backgroundRole(), c);
            w->setAutoFillBackground(true);
        }
        if (control_.hasForeColour()) {
            const QColor c = toQColor(control_.foreColour(), QApplication::palette());
            p.setColor(QPalette::Active, w->foregroundRole(), c);
            p.setColor(QPalette::Inactive, w->foregroundRole(), c);
        }
        if (p != w->palette()) w->setPalette(p);
    }
    if (control_.hasGeometry() && appliedGeometry_ != control_.geometry()) {
        appliedGeometry_ = control_.geometry();
        w->setGeometry(toPixels(control_.geometry(), w));
    }
    // A window not yet on screen takes the focus along: its form chose where the
    // user starts typing before the window is shown.
    if (control_.hasFocus() && !w->hasFocus() && (w->isVisible() || (!w->window()->isVisible() && w->isVisibleTo(w->window()))))
        w->setFocus(Qt::OtherFocusReason);
}

bool ControlBinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            // Switching windows or opening a popup moves no focus between controls.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
            if (event->type() == QEvent::FocusIn) {
                guarded("gotFocus", [this] { control_.gotFocus(); });
            } else {
                guarded("lostFocus", [this] { control_.lostFocus(); });
            }
            break;
        }
        case QEvent::MouseMove:
        case QEvent::Enter:
            guarded("mouseMove", [this] { control_.mouseMove(); });
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (!applying_) control_.geometryFromView(toTwips(widget_->geometry(), widget_));
            break;
        default: break;
    }
    return filterEvent(event);
}

// ---- Label -----------------------------------------------------------------

LabelBinder::LabelBinder(Label& label, QLabel* widget) : ControlBinder(label, widget), label_(label), edit_(widget) {
    widget->setTextFormat(Qt::PlainText);  // descriptions may hold "<"
    start();
}

void LabelBinder::applyState() {
    const QString text = toQString(label_.caption());
    if (edit_->text() != text) edit_->setText(text);
    edit_->setAlignment(toQtAlignment(label_.alignment()));
    edit_->setWordWrap(label_.wordWrap());
}

// ---- TextBox ---------------------------------------------------------------

TextBoxBinder::TextBoxBinder(TextBox& box, QLineEdit* widget) : ControlBinder(box, widget), box_(box), edit_(widget) {
    QObject::connect(widget, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (applying()) return;
        guarded("textEdited", [&] {
            const auto start = charIndex(text, edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition());
            box_.textFromView(fromQString(text), start, charCount(fromQString(edit_->selectedText())));
        });
    });
    QObject::connect(widget, &QLineEdit::cursorPositionChanged, this, [this] { reportSelection(); });
    QObject::connect(widget, &QLineEdit::selectionChanged, this, [this] { reportSelection(); });
    start();
}

void TextBoxBinder::reportSelection() {
    if (applying()) return;
    const QString text = edit_->text();
    if (edit_->hasSelectedText()) {
        box_.selectionFromView(charIndex(text, edit_->selectionStart()), charCount(fromQString(edit_->selectedText())));
    } else {
        box_.selectionFromView(charIndex(text, edit_->cursorPosition()), 0);
    }
}

void TextBoxBinder::applyState() {
    const QSignalBlocker block(edit_);
    const QString text = toQString(box_.text());
    if (edit_->text() != text) edit_->setText(text);
    const int maxLength = box_.maxLength() == 0 ? 32767 : static_cast<int>(box_.maxLength());
    if (edit_->maxLength() != maxLength) edit_->setMaxLength(maxLength);
    edit_->setReadOnly(box_.locked());
    edit_->setAlignment(toQtAlignment(box_.alignment()));
    if (appliedSelection_ != box_.selectionRevision()) applySelection();
}

void TextBoxBinder::applySelection() {
    appliedSelection_ = box_.selectionRevision();
    const QString text = edit_->text();
    const int start = utf16Index(text, box_.selStart());
    const int end = utf16Index(text, box_.selStart() + box_.selLength());
    if (end > start) {
        edit_->setSelection(start, end - start);
    } else {
        edit_->deselect();
        edit_->setCursorPosition(start);
    }
}

bool TextBoxBinder::filterEvent(QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // A click that brings the focus goes on to place the cursor: select the whole
        // text again once the click is done.
        QTimer::singleShot(0, this, [this] {
            if (widget() == nullptr || !box_.hasFocus() || !box_.selectAllOnFocus()) return;
            guarded("select all", [this] { box_.selectAll(); });
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    if (key->key() == Qt::Key_Backspace) {
        code = kKeyBackspace;
    } else if (!key->text().isEmpty() && key->text().at(0).unicode() >= 32 &&
               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        code = static_cast<int>(key->text().toUcs4().value(0));
    } else {
        return false;  // navigation, Enter, Escape and shortcuts pass unfiltered, as they do in the window system
    }
    int result = code;
    guarded("keyPress", [&] { result = box_.keyPress(code); });
    if (result == 0) return true;  // swallowed
    if (result != code) {
        // The handler changed the key: type the new one instead.
        if (result == kKeyBackspace) {
            edit_->backspace();
        } else {
            edit_->insert(toQString(encodeChar(static_cast<char32_t>(result))));
        }
        Q_EMIT edit_->textEdited(edit_->text());
        return true;
    }
    return false;
}

// ---- CheckBox --------------------------------------------------------------

CheckBoxBinder::CheckBoxBinder(CheckBox& box, QCheckBox* widget) : ControlBinder(box, widget), box_(box), check_(widget) {
    QObject::connect(widget, &QCheckBox::clicked, this, [this] {
        guarded("click", [this] { box_.click(); });
        refresh();  // the model decides what the box shows after a click
    });
    start();
}

void CheckBoxBinder::applyState() {
    const QSignalBlocker block(check_);
    check_->setText(toQString(box_.caption()));
    check_->setTristate(box_.value() == CheckState::Grayed);
    check_->setCheckState(box_.value() == CheckState::Checked ? Qt::Checked
                          : box_.value() == CheckState::Grayed ? Qt::PartiallyChecked
                                                               : Qt::Unchecked);
}

// ---- Option group ----------------------------------------------------------

namespace {
class OptionBinder final : public ControlBinder {
public:
    OptionBinder(OptionButton& option, QRadioButton* widget) : ControlBinder(option, widget), option_(option), radio_(widget) {
        widget->setAutoExclusive(false);  // the group's model keeps the options exclusive
        QObject::connect(widget, &QRadioButton::clicked, this, [this] {
            guarded("option click", [this] { option_.click(); });
            refresh();
        });
        start();
    }

protected:
    void applyState() override {
        const QSignalBlocker block(radio_);
        radio_->setText(toQString(option_.caption()));
        radio_->setChecked(option_.value());
    }

private:
    OptionButton& option_;
    QRadioButton* radio_;
};
}  // namespace

OptionGroupBinder::OptionGroupBinder(OptionGroup& group, const std::vector<QRadioButton*>& buttons) {
    for (int i = 0; i < group.count() && i < static_cast<int>(buttons.size()); ++i) {
        options_.push_back(std::make_unique<OptionBinder>(group[i], buttons[static_cast<std::size_t>(i)]));
    }
}

OptionGroupBinder::~OptionGroupBinder() = default;

// ---- List ------------------------------------------------------------------

ListBinder::ListBinder(ListControl& list, QComboBox* widget) : ControlBinder(list, widget), list_(list), combo_(widget) {
    QObject::connect(widget, &QComboBox::activated, this, [this](int index) {
        guarded("list click", [&] { list_.setListIndex(index); });
        refresh();
    });
    QObject::connect(widget, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (applying() || !list_.editable()) return;
        guarded("list edit", [&] { list_.setText(fromQString(text)); });
    });
    start();
}

ListBinder::ListBinder(ListControl& list, QListWidget* widget)
    : ControlBinder(list, widget), list_(list), listWidget_(widget) {
    QObject::connect(widget, &QListWidget::currentRowChanged, this, [this](int row) {
        if (applying()) return;
        guarded("list click", [&] { list_.setListIndex(row); });
    });
    start();
}

void ListBinder::applyState() {
    const bool newItems = appliedItems_ != list_.itemsRevision();
    appliedItems_ = list_.itemsRevision();
    if (combo_ != nullptr) {
        const QSignalBlocker block(combo_);
        combo_->setEditable(list_.editable());
        if (newItems) {
            combo_->clear();
            for (const auto& item : list_.items()) combo_->addItem(toQString(item.text));
        }
        combo_->setCurrentIndex(list_.listIndex());
        if (list_.editable() && combo_->currentText() != toQString(list_.text())) combo_->setEditText(toQString(list_.text()));
    } else {
        const QSignalBlocker block(listWidget_);
        if (newItems) {
            listWidget_->clear();
            for (const auto& item : list_.items()) listWidget_->addItem(toQString(item.text));
        }
        listWidget_->setCurrentRow(list_.listIndex());
    }
}

// ---- Button, frame, picture ------------------------------------------------

ButtonBinder::ButtonBinder(CommandButton& button, QAbstractButton* widget, const QtImageList* images)
    : ControlBinder(button, widget), button_(button), push_(widget), images_(images) {
    QObject::connect(widget, &QAbstractButton::clicked, this, [this] { guarded("press", [this] { button_.press(); }); });
    start();
}

void ButtonBinder::applyState() {
    push_->setText(toQString(button_.caption()));
    if (images_ != nullptr) push_->setIcon(images_->icon(button_.picture()));
    if (auto* p = qobject_cast<QPushButton*>(push_)) p->setDefault(button_.isDefault());
    if (button_.isCancel() && !cancelShortcut_) {
        // Escape presses the window's cancel button.
        cancelShortcut_ = true;
        auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), push_->window());
        QObject::connect(esc, &QShortcut::activated, this, [this] {
            if (button_.isCancel()) guarded("cancel", [this] { button_.press(); });
        });
    }
}

FrameBinder::FrameBinder(Frame& frame, QGroupBox* widget) : ControlBinder(frame, widget), frame_(frame), box_(widget) {
    start();
}

void FrameBinder::applyState() { box_->setTitle(toQString(frame_.caption())); }

PictureBinder::PictureBinder(Picture& picture, QLabel* widget, const QtImageList& images)
    : ControlBinder(picture, widget), picture_(picture), label_(widget), images_(images) {
    start();
}

void PictureBinder::applyState() {
    const QIcon icon = images_.icon(picture_.imageKey());
    const QSize size = label_->size().isValid() && !label_->size().isEmpty() ? label_->size() : QSize(16, 16);
    label_->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(size));
}

// ---- TabStrip --------------------------------------------------------------

TabStripBinder::TabStripBinder(TabStrip& tabs, QTabBar* widget) : ControlBinder(tabs, widget), tabs_(tabs), bar_(widget) {
    QObject::connect(widget, &QTabBar::currentChanged, this, [this](int index) {
        if (applying() || index < 0) return;
        guarded("tab click", [&] { tabs_.select(index); });
        refresh();
    });
    QObject::connect(widget, &QTabBar::tabBarClicked, this, [this](int index) {
        // A click on the current tab changes nothing in the bar but is a click all the same.
        if (applying() || index < 0 || index != bar_->currentIndex()) return;
        guarded("tab click", [&] { tabs_.select(index); });
    });
    start();
}

void TabStripBinder::applyState() {
    const QSignalBlocker block(bar_);
    while (bar_->count() > tabs_.tabCount()) bar_->removeTab(bar_->count() - 1);
    for (int i = 0; i < tabs_.tabCount(); ++i) {
        const auto& tab = tabs_.tab(i);
        if (i >= bar_->count()) bar_->addTab(QString());
        bar_->setTabText(i, toQString(tab.caption));
        bar_->setTabToolTip(i, toQString(tab.toolTip));
    }
    if (tabs_.selectedIndex() >= 0) bar_->setCurrentIndex(tabs_.selectedIndex());
}

// ---- UpDown and NumberBox --------------------------------------------------

UpDownBinder::UpDownBinder(UpDown& arrows, QWidget* container, QAbstractButton* up, QAbstractButton* down)
    : ControlBinder(arrows, container), arrows_(arrows), up_(up), down_(down) {
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    QObject::connect(up, &QAbstractButton::clicked, this, [this] { guarded("up", [this] { arrows_.up(); }); });
    QObject::connect(down, &QAbstractButton::clicked, this, [this] { guarded("down", [this] { arrows_.down(); }); });
    start();
}

void UpDownBinder::applyState() {
    up_->setEnabled(arrows_.enabled());
    down_->setEnabled(arrows_.enabled());
}

QtNumberBox::QtNumberBox(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(edit_, 1);
    auto* arrows = new QVBoxLayout;
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    // The arrows share the line edit's height, one above the other.
    const int half = std::max(8, edit_->sizeHint().height() / 2);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, half);
        arrows->addWidget(b);
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    row->addLayout(arrows);
}

NumberBoxBinder::NumberBoxBinder(NumberBox& box, QtNumberBox* widget)
    : TextBoxBinder(box, widget->lineEdit()), number_(box), widget_(widget) {
    QObject::connect(widget->upButton(), &QToolButton::clicked, this, [this] { guarded("up", [this] { number_.up(); }); });
    QObject::connect(widget->downButton(), &QToolButton::clicked, this,
                     [this] { guarded("down", [this] { number_.down(); }); });
    follow(box.arrows());
    start();
}

void NumberBoxBinder::applyState() {
    TextBoxBinder::applyState();
    const bool arrows = number_.enabled() && number_.arrows().enabled();
    widget_->upButton()->setEnabled(arrows);
    widget_->downButton()->setEnabled(arrows);
    widget_->upButton()->setVisible(number_.arrows().visible());
    widget_->downButton()->setVisible(number_.arrows().visible());
}

// ---- Date and time ---------------------------------------------------------

namespace {
QDateTime toQDateTime(DateTime d) {
    return QDateTime(QDate(d.year(), d.month(), d.day()), QTime(d.hour(), d.minute(), d.second()));
}
}  // namespace

DateTimeBinder::DateTimeBinder(DateTimePicker& picker, QDateTimeEdit* widget)
    : ControlBinder(picker, widget), picker_(picker), edit_(widget) {
    QObject::connect(widget, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& v) {
        if (applying() || !v.isValid()) return;
        guarded("pick", [&] {
            const auto sections = edit_->displayedSections();
            const bool date = (sections & QDateTimeEdit::DateSections_Mask) != 0;
            const bool time = (sections & QDateTimeEdit::TimeSections_Mask) != 0;
            if (date && time) {
                if (auto d = DateTime::fromParts(v.date().year(), v.date().month(), v.date().day(), v.time().hour(),
                                                 v.time().minute(), v.time().second())) {
                    picker_.setValue(*d);
                }
            } else if (date) {
                picker_.pickDate(v.date().year(), v.date().month(), v.date().day());
            } else if (time) {
                picker_.pickTime(v.time().hour(), v.time().minute(), v.time().second());
            }
        });
        refresh();
    });
    // The click that places the cursor goes to the picker's text box.
    text_ = widget->findChild<QLineEdit*>();
    if (text_ != nullptr) text_->installEventFilter(this);
    start();
}

DateTimeBinder::~DateTimeBinder() {
    if (text_) text_->removeEventFilter(this);
}

// The picker is written only where it differs from the model: setting a value,
// even the same one, starts the edit's text afresh, and a user in the middle of
// typing a section (the step the model just took from it) would lose the cursor,
// the selection and what follows.
void DateTimeBinder::applyState() {
    const QSignalBlocker block(edit_);
    QString format;
    switch (picker_.format()) {
        case DateFormat::ShortDate: format = QStringLiteral("dd/MM/yyyy"); break;
        case DateFormat::LongDate: format = QStringLiteral("d MMMM yyyy"); break;
        case DateFormat::Time: format = QStringLiteral("HH:mm:ss"); break;
        case DateFormat::Custom: format = toQString(picker_.customFormat()); break;
    }
    if (edit_->displayFormat() != format) edit_->setDisplayFormat(format);
    const auto sections = edit_->displayedSections();
    const bool date = (sections & QDateTimeEdit::DateSections_Mask) != 0;
    const bool time = (sections & QDateTimeEdit::TimeSections_Mask) != 0;
    const QDateTime value = toQDateTime(picker_.value());
    if (date) {
        const QDateTime low = toQDateTime(picker_.minDate());
        const QDateTime high = toQDateTime(picker_.maxDate());
        if (edit_->minimumDateTime() != low || edit_->maximumDateTime() != high) edit_->setDateTimeRange(low, high);
    }
    const QDateTime shown = edit_->dateTime();
    const bool same = (!date || shown.date() == value.date()) && (!time || shown.time() == value.time());
    if (!same) {
        if (date) {
            edit_->setDateTime(value);
        } else {
            edit_->setTime(value.time());
        }
    }
}

// Digits typed at once go into a whole section, from its start: the one a click
// chose, at the first click into the box as at any later one; the first section when
// the keyboard brought the focus, by Tab or by Shift+Tab alike. Tab and Shift+Tab
// leave the box, as from any other box, rather than step through its sections (the
// digits step on by themselves, and the arrow keys move between them).
bool DateTimeBinder::filterEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const bool byPointer = reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason ||
                                   reason == Qt::ActiveWindowFocusReason;
            selectSectionSoon(byPointer);
            break;
        }
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) break;
            const bool back = key->key() == Qt::Key_Backtab ||
                              (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
            // From the outermost section the edit's own Tab leaves it.
            if (back || key->key() == Qt::Key_Tab)
                edit_->setCurrentSectionIndex(back ? 0 : edit_->sectionCount() - 1);
            break;
        }
        default: break;
    }
    return false;
}

bool DateTimeBinder::eventFilter(QObject* watched, QEvent* event) {
    // A click into the box that already has the focus: no focus comes, and the
    // cursor would stand inside a section that takes no more digits.
    if (watched == text_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        selectSectionSoon(true);
    }
    return ControlBinder::eventFilter(watched, event);
}

// Once the click or the focus has placed the cursor: the section under it, or the first.
void DateTimeBinder::selectSectionSoon(bool underCursor) {
    QTimer::singleShot(0, this, [this, underCursor] {
        if (!edit_ || !edit_->hasFocus()) return;
        if (underCursor && text_ && text_->hasSelectedText()) return;  // the user's own selection stays
        const auto section = underCursor ? edit_->currentSection() : QDateTimeEdit::NoSection;
        edit_->setSelectedSection(section == QDateTimeEdit::NoSection ? edit_->sectionAt(0) : section);
    });
}

// ---- ProgressBar -----------------------------------------------------------

ProgressBinder::ProgressBinder(ProgressBar& bar, QProgressBar* widget)
    : ControlBinder(bar, widget), bar_(bar), progress_(widget) {
    start();
}

void ProgressBinder::applyState() {
    progress_->setRange(bar_.minimum(), bar_.maximum());
    progress_->setValue(bar_.value());
}

// ---- StatusBar -------------------------------------------------------------

StatusBarBinder::StatusBarBinder(StatusBar& bar, QStatusBar* widget, const QtImageList* images)
    : ControlBinder(bar, widget), bar_(bar), status_(widget), images_(images) {
    start();
}

QLabel* StatusBarBinder::panelLabel(int number) const {
    if (number < 1 || number > static_cast<int>(panels_.size())) return nullptr;
    return panels_[static_cast<std::size_t>(number - 1)].text;
}

bool StatusBarBinder::filterEvent(QEvent* event) {
    // A click on a panel's text or picture reaches the bar, as neither label takes it.
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    const QPoint at = mouse->position().toPoint();
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        if (panels_[i].box->isVisible() && panels_[i].box->geometry().contains(at)) {
            const int number = static_cast<int>(i) + 1;
            guarded("panelClick", [this, number] { bar_.click(number); });
            return true;
        }
    }
    return false;
}

void StatusBarBinder::applyState() {
    while (static_cast<int>(panels_.size()) < bar_.panelCount()) {
        const auto& model = bar_.panel(static_cast<int>(panels_.size()) + 1);
        Panel p{new QWidget(status_), nullptr, nullptr};
        auto* row = new QHBoxLayout(p.box);
        row->setContentsMargins(2, 0, 2, 0);
        p.icon = new QLabel(p.box);
        p.text = new QLabel(p.box);
        p.text->setTextFormat(Qt::PlainText);
        row->addWidget(p.icon);
        row->addWidget(p.text, 1);
        status_->addWidget(p.box, model.autoSize == PanelAutoSize::Spring ? 1 : 0);
        panels_.push_back(p);
    }
    for (int n = 1; n <= bar_.panelCount(); ++n) {
        const auto& model = bar_.panel(n);
        const Panel& p = panels_[static_cast<std::size_t>(n - 1)];
        p.text->setText(toQString(model.text));
        p.box->setToolTip(toQString(model.toolTip));
        const QIcon icon = images_ != nullptr ? images_->icon(model.imageKey) : QIcon();
        p.icon->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(16, 16));
        p.icon->setVisible(!icon.isNull());
        if (model.autoSize == PanelAutoSize::None) p.box->setMinimumWidth(twipsToPixelsX(model.width, status_));
        p.box->setVisible(model.visible);
    }
}

// ---- Toolbar ---------------------------------------------------------------

ToolbarBinder::ToolbarBinder(Toolbar& bar, QToolBar* widget, const QtImageList* images)
    : ControlBinder(bar, widget), bar_(bar), toolbar_(widget), images_(images) {
    start();
}

QAction* ToolbarBinder::action(const std::string& key) const {
    for (int i = 0; i < bar_.buttonCount() && i < static_cast<int>(actions_.size()); ++i) {
        if (const_cast<Toolbar&>(bar_).buttonAt(i).name() == key) return actions_[static_cast<std::size_t>(i)];
    }
    return nullptr;
}

QWidget* ToolbarBinder::placeholder(const std::string& key) const {
    const auto it = placeholders_.find(key);
    return it == placeholders_.end() ? nullptr : it->second;
}

void ToolbarBinder::rebuild() {
    toolbar_->clear();
    for (auto& [key, w] : placeholders_) delete w;
    placeholders_.clear();
    actions_.clear();
    buttonSubscriptions_.clear();
    for (int i = 0; i < bar_.buttonCount(); ++i) {
        Command& b = bar_.buttonAt(i);
        QAction* a = nullptr;
        if (b.style() == CommandStyle::Separator) {
            a = toolbar_->addSeparator();
        } else if (b.style() == CommandStyle::Placeholder) {
            auto* slot = new QWidget(toolbar_);
            placeholders_[b.name()] = slot;
            a = toolbar_->addWidget(slot);
        } else {
            a = toolbar_->addAction(QString());
            const std::string key = b.name();
            QObject::connect(a, &QAction::triggered, this, [this, key] {
                guarded("toolbar click", [&] { bar_.click(key); });
                refresh();
            });
        }
        actions_.push_back(a);
        buttonSubscriptions_.push_back(b.subscribe([this] { refresh(); }));
    }
}

void ToolbarBinder::applyState() {
    if (static_cast<int>(actions_.size()) != bar_.buttonCount()) rebuild();
    for (int i = 0; i < bar_.buttonCount(); ++i) {
        Command& b = bar_.buttonAt(i);
        QAction* a = actions_[static_cast<std::size_t>(i)];
        a->setVisible(b.visible());
        a->setEnabled(b.enabled());
        if (b.style() == CommandStyle::Placeholder) {
            if (auto* slot = placeholder(b.name())) slot->setFixedWidth(twipsToPixelsX(b.width(), toolbar_));
            continue;
        }
        if (b.style() == CommandStyle::Separator) continue;
        const QSignalBlocker block(a);
        a->setText(toQString(b.caption().empty() ? b.toolTip() : b.caption()));
        a->setToolTip(toQString(b.toolTip()));
        if (images_ != nullptr) a->setIcon(images_->icon(b.imageKey()));
        a->setCheckable(b.style() == CommandStyle::Check || b.style() == CommandStyle::ButtonGroup);
        a->setChecked(b.checked());
    }
}

// ---- Menus -----------------------------------------------------------------

MenuBinder::MenuBinder(MenuBar& menus, QMenuBar* widget) : bar_(widget) {
    for (Command* m : menus.menus()) build(*m, nullptr);
}

MenuBinder::~MenuBinder() = default;

QAction* MenuBinder::action(const std::string& name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

void MenuBinder::build(Command& command, QMenu* into) {
    QAction* a = nullptr;
    if (command.isMenu()) {
        QMenu* menu = into != nullptr ? into->addMenu(QString()) : bar_->addMenu(QString());
        a = menu->menuAction();
        for (Command* child : command.children()) build(*child, menu);
    } else if (command.isSeparator()) {
        a = into != nullptr ? into->addSeparator() : bar_->addSeparator();
    } else {
        a = into != nullptr ? into->addAction(QString()) : bar_->addAction(QString());
        Command* c = &command;
        QObject::connect(a, &QAction::triggered, this, [this, c] {
            guarded("menu", [c] { c->trigger(); });
            apply(*c);  // the handler decides the check mark, not the click
        });
    }
    actions_[&command] = a;
    byName_[command.name()] = a;
    Command* c = &command;
    subscriptions_.push_back(command.subscribe([this, c] { apply(*c); }));
    apply(command);
}

void MenuBinder::apply(Command& command) {
    const auto it = actions_.find(&command);
    if (it == actions_.end()) return;
    QAction* a = it->second;
    const QSignalBlocker block(a);
    a->setVisible(command.visible());
    a->setEnabled(command.enabled());
    if (command.isSeparator()) return;
    a->setText(toQString(command.caption()));
    if (command.isMenu()) return;
    a->setShortcut(QKeySequence::fromString(toQString(command.shortcut()), QKeySequence::PortableText));
    a->setToolTip(toQString(command.toolTip()));
    a->setCheckable(command.checked());
    a->setChecked(command.checked());
}

}  // namespace wendra::ui::qt
