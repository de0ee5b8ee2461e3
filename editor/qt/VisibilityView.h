#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "editor/frmVisibility.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace wendra {

// The window of frmVisibility: every control placed where the form's logic puts
// it, and mirrored both ways by its binder.
class VisibilityView final : public ui::qt::QtFormDialog {
public:
    // images: the main window's pictures ("imgSave1", "imgSave2", "imgCancel1",
    // "imgCancel2"); without them the view draws its own.
    VisibilityView(frmVisibility& form, QWidget* parent = nullptr, const ui::qt::QtImageList* images = nullptr);
    ~VisibilityView() override;

    QGroupBox* framePriorWarn() const { return framePriorWarn_; }
    QRadioButton* optPriorWarning(int index) const { return options_.at(static_cast<std::size_t>(index)); }
    QGroupBox* frameViewFromDate() const { return frameViewFromDate_; }
    QComboBox* cmbViewFromDate() const { return cmbViewFromDate_; }
    QWidget* frameButtons() const { return frameButtons_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

private:
    ui::qt::QtImageList ownImages_;
    QGroupBox* framePriorWarn_;
    std::vector<QRadioButton*> options_;
    QGroupBox* frameViewFromDate_;
    QComboBox* cmbViewFromDate_;
    QWidget* frameButtons_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
    std::vector<std::unique_ptr<ui::qt::ControlBinder>> binders_;
    std::unique_ptr<ui::qt::OptionGroupBinder> optionBinder_;
};

// The pictures of the dialog's two buttons, drawn: a tick and a cross, the hover
// images ("2") lit.
ui::qt::QtImageList drawnSaveCancelImages();

// Makes the runner show frmVisibility in this view.
void registerVisibilityView(ui::qt::QtDialogRunner& runner, const ui::qt::QtImageList* images = nullptr);

}  // namespace wendra
