#include "editor/qt/ConfirmStartDateView.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace wendra {

ConfirmStartDateView::ConfirmStartDateView(frmConfirmStartDate& form, QWidget* parent)
    : ui::qt::QtFormDialog(form, parent) {
    setObjectName(frmConfirmStartDate::kFormName);
    setMouseTracking(true);
    auto* note1 = new QLabel(this);
    auto* note2 = new QLabel(this);
    for (int i = 0; i < form.optStartDate.count(); ++i) {
        options_.push_back(new QRadioButton(this));
        options_.back()->setObjectName(QString::fromStdString(form.optStartDate[i].name()));
    }
    auto* frameButtons = new QWidget(this);
    frameButtons->setMouseTracking(true);
    cmdSave_ = new QPushButton(frameButtons);
    cmdCancel_ = new QPushButton(frameButtons);
    cmdSave_->setObjectName("cmdSave");
    cmdCancel_->setObjectName("cmdCancel");

    binders_.push_back(std::make_unique<ui::qt::LabelBinder>(form.lblNote1, note1));
    binders_.push_back(std::make_unique<ui::qt::LabelBinder>(form.lblNote2, note2));
    optionBinder_ = std::make_unique<ui::qt::OptionGroupBinder>(form.optStartDate, options_);
    binders_.push_back(std::make_unique<ui::qt::ControlBinder>(form.frameButtons, frameButtons));
    binders_.push_back(std::make_unique<ui::qt::ButtonBinder>(form.cmdSave, cmdSave_));
    binders_.push_back(std::make_unique<ui::qt::ButtonBinder>(form.cmdCancel, cmdCancel_));
}

ConfirmStartDateView::~ConfirmStartDateView() {
    binders_.clear();
    optionBinder_.reset();
}

void registerConfirmStartDateView(ui::qt::QtDialogRunner& runner) {
    runner.registerView(frmConfirmStartDate::kFormName,
                        [](ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
                            auto* dialog = dynamic_cast<frmConfirmStartDate*>(&form);
                            if (dialog == nullptr) return nullptr;
                            return std::make_unique<ConfirmStartDateView>(*dialog, parent);
                        });
}

}  // namespace wendra
