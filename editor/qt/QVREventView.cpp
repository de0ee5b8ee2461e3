#include "editor/qt/QVREventView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>

namespace wendra {

namespace {

using ui::qt::ButtonBinder;
using ui::qt::CheckBoxBinder;
using ui::qt::ControlBinder;
using ui::qt::DateTimeBinder;
using ui::qt::FrameBinder;
using ui::qt::LabelBinder;
using ui::qt::ListBinder;
using ui::qt::OptionGroupBinder;
using ui::qt::ProgressBinder;
using ui::qt::TabStripBinder;
using ui::qt::TextBoxBinder;
using ui::qt::UpDownBinder;

QString nameOf(const ui::Control& c) { return QString::fromStdString(c.name()); }

// The two arrows of an up-down, one above the other in their own small box.
QWidget* makeArrows(QWidget* parent, QToolButton*& up, QToolButton*& down) {
    auto* box = new QWidget(parent);
    up = new QToolButton(box);
    down = new QToolButton(box);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    return box;
}

// Keeps the two arrows filling their box, whatever size the form gives it.
class ArrowsLayout final : public QObject {
public:
    ArrowsLayout(QWidget* box, QToolButton* up, QToolButton* down) : QObject(box), box_(box), up_(up), down_(down) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == box_ && event->type() == QEvent::Resize) {
            const int h = box_->height() / 2;
            up_->setGeometry(0, 0, box_->width(), h);
            down_->setGeometry(0, h, box_->width(), box_->height() - h);
        }
        return false;
    }

private:
    QWidget* box_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace

// ---- tab strip -----------------------------------------------------------------

QtTabStrip::QtTabStrip(QWidget* parent) : QTabBar(parent) {
    setDrawBase(false);
    setExpanding(false);
    setUsesScrollButtons(false);
}

void QtTabStrip::paintEvent(QPaintEvent* event) {
    QTabBar::paintEvent(event);
    if (count() == 0) return;
    // The panel under the tabs, drawn after them so that nothing of a tab reaches
    // into it; its top edge stays open under the current tab.
    const int top = tabRect(0).bottom();
    const QRect pane(0, top, width() - 1, height() - top - 1);
    if (pane.height() <= 1) return;
    QPainter p(this);
    const QColor window = palette().color(QPalette::Window);
    p.fillRect(pane.adjusted(1, 1, 0, 0), window.lighter(104));
    p.setPen(window.darker(140));
    p.drawLine(pane.topLeft(), pane.bottomLeft());
    p.drawLine(pane.bottomLeft(), pane.bottomRight());
    p.drawLine(pane.bottomRight(), pane.topRight());
    const QRect current = currentIndex() >= 0 ? tabRect(currentIndex()) : QRect();
    if (current.isNull()) {
        p.drawLine(pane.topLeft(), pane.topRight());
    } else {
        if (current.left() > 0) p.drawLine(pane.topLeft(), QPoint(current.left(), top));
        p.drawLine(QPoint(current.right(), top), pane.topRight());
    }
}

// ---- the view ------------------------------------------------------------------

template <typename Binder, typename Control, typename Widget>
Widget* QVREventView::bind(Control& control, Widget* widget) {
    widget->setObjectName(nameOf(control));
    binders_.push_back(std::make_unique<Binder>(control, widget));
    return widget;
}

QLineEdit* QVREventView::numberBox(ui::NumberBox& box, QWidget* parent) {
    auto* edit = bind<TextBoxBinder>(static_cast<ui::TextBox&>(box), new QLineEdit(parent));
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    QWidget* arrows = makeArrows(parent, up, down);
    new ArrowsLayout(arrows, up, down);
    arrows->setObjectName(nameOf(box.arrows()));
    binders_.push_back(std::make_unique<UpDownBinder>(box.arrows(), arrows, up, down));
    return edit;
}

QVREventView::QVREventView(frmQVREvent& form, QWidget* parent) : ui::qt::QtFormDialog(form, parent), form_(form) {
    setObjectName(frmQVREvent::kFormName);
    setMouseTracking(true);

    // Containers first, in the order they overlap: the strip, its pages on it, the
    // loading frame over the third page.
    tabStrip_ = bind<TabStripBinder>(form.TabStrip1, new QtTabStrip(this));
    for (auto& frame : form.tabFrame) {
        auto* page = bind<ControlBinder>(static_cast<ui::Control&>(frame), new QWidget(this));
        pages_.push_back(page);
    }
    frameLoading_ = bind<FrameBinder>(form.frameLoading, new QGroupBox(this));
    pbarLoading_ = bind<ProgressBinder>(form.pbarLoading, new QProgressBar(frameLoading_));
    pbarLoading_->setTextVisible(false);
    auto* frameSummary = bind<FrameBinder>(form.frameSummary, new QGroupBox(this));
    auto* frameButtons = bind<ControlBinder>(static_cast<ui::Control&>(form.frameButtons), new QWidget(this));

    // Page 1: description, start date and time.
    QWidget* page1 = pages_[0];
    bind<LabelBinder>(form.lblDescription, new QLabel(page1));
    txtDesc_ = bind<TextBoxBinder>(form.txtDesc, new QLineEdit(page1));
    bind<LabelBinder>(form.lblStartDate, new QLabel(page1));
    ctrlEventDate_ = new QDateEdit(page1);
    ctrlEventDate_->setCalendarPopup(true);
    bind<DateTimeBinder>(static_cast<ui::DateTimePicker&>(form.ctrlEventDate), ctrlEventDate_);
    for (int i = 0; i < form.optAllDayEvent.count(); ++i) {
        allDay_.push_back(new QRadioButton(page1));
        allDay_.back()->setObjectName(nameOf(form.optAllDayEvent[i]));
    }
    optionBinders_.push_back(std::make_unique<OptionGroupBinder>(form.optAllDayEvent, allDay_));
    ctrlEventTime_ = new QTimeEdit(page1);
    bind<DateTimeBinder>(static_cast<ui::DateTimePicker&>(form.ctrlEventTime), ctrlEventTime_);

    // Page 2: how it repeats.
    QWidget* page2 = pages_[1];
    auto* frameFrequency = bind<FrameBinder>(form.frameFrequency, new QGroupBox(page2));
    for (int i = 0; i < form.optFrequency.count(); ++i) {
        frequency_.push_back(new QRadioButton(frameFrequency));
        frequency_.back()->setObjectName(nameOf(form.optFrequency[i]));
    }
    optionBinders_.push_back(std::make_unique<OptionGroupBinder>(form.optFrequency, frequency_));
    auto* frameNoEdit = bind<FrameBinder>(form.frameNoEdit, new QGroupBox(page2));
    bind<LabelBinder>(form.lblNoEdit1, new QLabel(frameNoEdit));
    bind<LabelBinder>(form.lblNoEdit2, new QLabel(frameNoEdit));
    auto* frameInterval = bind<FrameBinder>(form.frameInterval, new QGroupBox(page2));
    bind<LabelBinder>(form.lblEvery, new QLabel(frameInterval));
    numberBox(form.txtInterval, frameInterval);
    bind<LabelBinder>(form.lblInterval, new QLabel(frameInterval));
    auto* frameDuration = bind<FrameBinder>(form.frameDuration, new QGroupBox(page2));
    for (int i = 0; i < form.optOccurs.count(); ++i) {
        occurs_.push_back(new QRadioButton(frameDuration));
        occurs_.back()->setObjectName(nameOf(form.optOccurs[i]));
    }
    optionBinders_.push_back(std::make_unique<OptionGroupBinder>(form.optOccurs, occurs_));
    numberBox(form.txtOccursCount, frameDuration);
    bind<LabelBinder>(form.lblOccursnTimes, new QLabel(frameDuration));

    // Page 3: visibility and auto-delete.
    QWidget* page3 = pages_[2];
    auto* frame1 = bind<FrameBinder>(form.Frame1, new QGroupBox(page3));
    for (int i = 0; i < form.optPriorWarning.count(); ++i) {
        priorWarning_.push_back(new QRadioButton(frame1));
        priorWarning_.back()->setObjectName(nameOf(form.optPriorWarning[i]));
    }
    optionBinders_.push_back(std::make_unique<OptionGroupBinder>(form.optPriorWarning, priorWarning_));
    numberBox(form.txtPriorWarn, frame1);
    bind<LabelBinder>(form.lblPriorWarn, new QLabel(frame1));
    auto* frameViewFromDate = bind<FrameBinder>(form.frameViewFromDate, new QGroupBox(page3));
    bind<LabelBinder>(form.lblViewFrom, new QLabel(frameViewFromDate));
    cmbViewFromDate_ = bind<ListBinder>(static_cast<ui::ListControl&>(form.cmbViewFromDate), new QComboBox(frameViewFromDate));
    cmbViewFromDate_->setMaxVisibleItems(15);
    auto* frame2 = bind<FrameBinder>(form.Frame2, new QGroupBox(page3));
    bind<CheckBoxBinder>(form.chkAutoDelete, new QCheckBox(frame2));
    numberBox(form.txtAutoDelete, frame2);
    bind<LabelBinder>(form.lblAutoDelete, new QLabel(frame2));

    // The summary.
    for (auto& caption : form.lblSummaryCaption) bind<LabelBinder>(caption, new QLabel(frameSummary));
    for (ui::Label* value : {&form.lblDesc, &form.lblEventDate, &form.lblEventTime, &form.lblOccurs, &form.lblPriorWarning})
        bind<LabelBinder>(*value, new QLabel(frameSummary));

    // The buttons.
    bind<ButtonBinder>(form.cmdDelete, new QPushButton(frameButtons));
    cmdSave_ = bind<ButtonBinder>(form.cmdSave, new QPushButton(frameButtons));
    cmdCancel_ = bind<ButtonBinder>(form.cmdCancel, new QPushButton(frameButtons));

    // The pointer over the pages and frames resets the buttons' colours.
    for (QWidget* w : std::initializer_list<QWidget*>{tabStrip_, pages_[0], pages_[1], pages_[2], frameButtons,
                                                     frameDuration, frameFrequency, frameInterval, frameSummary,
                                                     frameViewFromDate, frame1, frame2})
        w->setMouseTracking(true);

    // The list fills within one handler, without the event loop: the loading frame
    // is drawn at once, whenever its bar moved by a whole percent.
    progressWatch_ = form.pbarLoading.subscribe([this] {
        if (!frameLoading_->isVisible()) {
            lastPaintedPercent_ = -1;
            return;
        }
        const auto& bar = form_.pbarLoading;
        const int span = std::max(1, bar.maximum() - bar.minimum());
        const int percent = (bar.value() - bar.minimum()) * 100 / span;
        if (percent == lastPaintedPercent_) return;
        lastPaintedPercent_ = percent;
        frameLoading_->repaint();
        ++loadingPaints_;
    });
}

QVREventView::~QVREventView() {
    progressWatch_ = {};
    binders_.clear();
    optionBinders_.clear();
}

void registerQVREventView(ui::qt::QtDialogRunner& runner) {
    runner.registerView(frmQVREvent::kFormName, [](ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
        auto* editor = dynamic_cast<frmQVREvent*>(&form);
        if (editor == nullptr) return nullptr;
        return std::make_unique<QVREventView>(*editor, parent);
    });
}

}  // namespace wendra
