#pragma once

#include <memory>
#include <vector>

#include "editor/frmConfirmStartDate.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

class QPushButton;
class QRadioButton;

namespace wendra {

// The window of frmConfirmStartDate, every widget where the logic puts it.
class ConfirmStartDateView final : public ui::qt::QtFormDialog {
public:
    ConfirmStartDateView(frmConfirmStartDate& form, QWidget* parent = nullptr);
    ~ConfirmStartDateView() override;

    QRadioButton* optStartDate(int index) const { return options_.at(static_cast<std::size_t>(index)); }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

private:
    std::vector<QRadioButton*> options_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
    std::vector<std::unique_ptr<ui::qt::ControlBinder>> binders_;
    std::unique_ptr<ui::qt::OptionGroupBinder> optionBinder_;
};

// Makes the runner show frmConfirmStartDate in this view.
void registerConfirmStartDateView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra
