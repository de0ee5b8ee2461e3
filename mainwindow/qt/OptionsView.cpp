#include "mainwindow/qt/OptionsView.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace wendra::mainwindow::qt {

using namespace ui::qt;

SmallDialogView::SmallDialogView(ui::Form& form, QWidget* parent) : QtFormDialog(form, parent) {}

// The binders let go of their widgets before the dialog destroys them.
SmallDialogView::~SmallDialogView() {
    statusShown_.reset();
    groups_.clear();
    binders_.clear();
}

QLabel* SmallDialogView::addLabel(ui::Label& label, QWidget* parent) {
    auto* w = new QLabel(parent);
    w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    binders_.push_back(std::make_unique<LabelBinder>(label, w));
    return w;
}

QLineEdit* SmallDialogView::addNumberBox(ui::NumberBox& box, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    binders_.push_back(std::make_unique<TextBoxBinder>(box, edit));
    auto* arrows = new QWidget(parent);
    auto* column = new QVBoxLayout(arrows);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    QToolButton* buttons[2] = {new QToolButton(arrows), new QToolButton(arrows)};
    buttons[0]->setArrowType(Qt::UpArrow);
    buttons[1]->setArrowType(Qt::DownArrow);
    for (QToolButton* b : buttons) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        column->addWidget(b);
    }
    binders_.push_back(std::make_unique<UpDownBinder>(box.arrows(), arrows, buttons[0], buttons[1]));
    return edit;
}

QComboBox* SmallDialogView::addCombo(ui::ComboBox& list, QWidget* parent) {
    auto* w = new QComboBox(parent);
    w->setMaxVisibleItems(18);
    binders_.push_back(std::make_unique<ListBinder>(list, w));
    return w;
}

QPushButton* SmallDialogView::addButton(ui::CommandButton& button, QWidget* parent, const QtImageList* images) {
    auto* w = new QPushButton(parent);
    binders_.push_back(std::make_unique<ButtonBinder>(button, w, images));
    return w;
}

QGroupBox* SmallDialogView::addFrame(ui::Frame& frame, QWidget* parent) {
    auto* w = new QGroupBox(parent);
    binders_.push_back(std::make_unique<FrameBinder>(frame, w));
    return w;
}

std::vector<QRadioButton*> SmallDialogView::addOptions(ui::OptionGroup& group, QWidget* parent) {
    std::vector<QRadioButton*> buttons;
    for (int i = 0; i < group.count(); ++i) buttons.push_back(new QRadioButton(parent));
    groups_.push_back(std::make_unique<OptionGroupBinder>(group, buttons));
    return buttons;
}

QLabel* SmallDialogView::addPicture(ui::Picture& picture, QWidget* parent, const QtImageList& images) {
    auto* w = new QLabel(parent);
    w->setAlignment(Qt::AlignCenter);
    binders_.push_back(std::make_unique<PictureBinder>(picture, w, images));
    return w;
}

QStatusBar* SmallDialogView::addStatusBar(ui::StatusBar& bar) {
    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    binders_.push_back(std::make_unique<StatusBarBinder>(bar, status_));
    dockStatusBar();
    statusShown_ = bar.subscribe([this, &bar] {
        if (bar.visible() && isVisible()) repaint();
    });
    return status_;
}

void SmallDialogView::resizeEvent(QResizeEvent* event) {
    QtFormDialog::resizeEvent(event);
    dockStatusBar();
}

void SmallDialogView::dockStatusBar() {
    if (status_ == nullptr) return;
    const int h = status_->sizeHint().height();
    status_->setGeometry(0, height() - h, width(), h);
}

OptionsView::OptionsView(frmOptions& f, QWidget* parent) : SmallDialogView(f, parent) {
    // Made in reading order, which is also the order the focus takes.
    addLabel(f.lblDaysInAdvance, this);
    addNumberBox(f.txtDaysInAdvance, this);
    addLabel(f.lblDays, this);
    addLabel(f.lblPastEventHours, this);
    addNumberBox(f.txtPastEventHours, this);
    addLabel(f.lblHours, this);
    addLabel(f.lblCountdown, this);
    addCombo(f.cmbCountdown, this);
    addLabel(f.lblSync, this);
    addLabel(f.lblCommPort, this);
    addCombo(f.cmbCommPort, this);
    QGroupBox* buttons = addFrame(f.frameButtons, this);
    addButton(f.cmdSave, buttons);
    addButton(f.cmdCancel, buttons);
    addStatusBar(f.StatusBar1);
}

void registerOptionsView(QtDialogRunner& runner) {
    runner.registerView("frmOptions", [](ui::Form& form, QWidget* parent) -> std::unique_ptr<QtFormDialog> {
        auto* f = dynamic_cast<frmOptions*>(&form);
        if (f == nullptr) return nullptr;
        return std::make_unique<OptionsView>(*f, parent);
    });
}

}  // namespace wendra::mainwindow::qt
