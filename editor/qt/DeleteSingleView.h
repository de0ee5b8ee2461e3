#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "editor/frmDeleteSingle.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace wendra {

// The window both "Hide / Delete" dialogs share: the detail rows, the
// recommendation's picture, the buttons and the override frame, each placed where
// the form's logic puts it. F1 asks the form for its help topic, as "More Info" does.
class HideDeleteView : public ui::qt::QtFormDialog {
public:
    ~HideDeleteView() override;

    QLabel* lblDesc() const { return lblDesc_; }
    QLabel* lblOccurs() const { return lblOccurs_; }
    QLabel* imgRecommend() const { return imgRecommend_; }
    QGroupBox* frameWarning() const { return frameWarning_; }
    QCheckBox* chkChange() const { return chkChange_; }
    QPushButton* cmdMoreInfo() const { return cmdMoreInfo_; }
    QPushButton* cmdHide() const { return cmdHide_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

protected:
    HideDeleteView(HideDeleteForm& form, QWidget* parent);
    // A label of the dialog's own, bound to its control.
    QLabel* addLabel(ui::Label& label);
    std::vector<std::unique_ptr<ui::qt::ControlBinder>> binders_;

private:
    ui::qt::QtImageList images_;
    QLabel* lblDesc_;
    QLabel* lblOccurs_;
    QLabel* imgRecommend_;
    QGroupBox* frameWarning_;
    QCheckBox* chkChange_;
    QPushButton* cmdMoreInfo_;
    QPushButton* cmdHide_;
    QPushButton* cmdCancel_;
};

class DeleteSingleView final : public HideDeleteView {
public:
    DeleteSingleView(frmDeleteSingle& form, QWidget* parent = nullptr);
};

// The recommendation's pictures "imgDelete" and "imgHide", drawn with the mode's name.
ui::qt::QtImageList drawnRecommendImages();

// Makes the runner show frmDeleteSingle in its view.
void registerDeleteSingleView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra
