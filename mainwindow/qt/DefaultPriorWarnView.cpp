#include "mainwindow/qt/DefaultPriorWarnView.h"

namespace wendra::mainwindow::qt {

using namespace ui::qt;

DefaultPriorWarnView::DefaultPriorWarnView(frmDefaultPriorWarn& f, QWidget* parent) : SmallDialogView(f, parent) {
    addLabel(f.lblDaysInAdvance, this);
    addNumberBox(f.txtDaysInAdvance, this);
    addLabel(f.lblDays, this);
    addButton(f.cmdSave, this);
    addButton(f.cmdCancel, this);
}

void registerDefaultPriorWarnView(QtDialogRunner& runner) {
    runner.registerView("frmDefaultPriorWarn", [](ui::Form& form, QWidget* parent) -> std::unique_ptr<QtFormDialog> {
        auto* f = dynamic_cast<frmDefaultPriorWarn*>(&form);
        if (f == nullptr) return nullptr;
        return std::make_unique<DefaultPriorWarnView>(*f, parent);
    });
}

}  // namespace wendra::mainwindow::qt
