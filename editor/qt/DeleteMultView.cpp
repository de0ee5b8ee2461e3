#include "editor/qt/DeleteMultView.h"

#include <QLabel>
#include <QRadioButton>

namespace wendra {

DeleteMultView::DeleteMultView(frmDeleteMult& form, QWidget* parent) : HideDeleteView(form, parent) {
    addLabel(form.lblChosenDate[0]);
    lblChosenDate_ = addLabel(form.lblChosenDate[1]);
    addLabel(form.lblDelete);
    for (int i = 0; i < form.optDelete.count(); ++i) options_.push_back(new QRadioButton(this));
    optionBinder_ = std::make_unique<ui::qt::OptionGroupBinder>(form.optDelete, options_);
}

DeleteMultView::~DeleteMultView() = default;

void registerDeleteMultView(ui::qt::QtDialogRunner& runner) {
    runner.registerView(frmDeleteMult::kFormName,
                        [](ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
                            auto* dialog = dynamic_cast<frmDeleteMult*>(&form);
                            if (dialog == nullptr) return nullptr;
                            return std::make_unique<DeleteMultView>(*dialog, parent);
                        });
}

}  // namespace wendra
