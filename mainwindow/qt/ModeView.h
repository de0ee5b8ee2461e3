#pragma once

#include "mainwindow/frmMode.h"
#include "mainwindow/qt/OptionsView.h"

namespace wendra::mainwindow::qt {

// The mode dialog's view, with the pictures of its two buttons: "imgSave1",
// "imgCancel1" at rest and "imgSave2", "imgCancel2" under the pointer.
class ModeView final : public SmallDialogView {
public:
    ModeView(frmMode& form, QWidget* parent);
    const ui::qt::QtImageList& images() const { return images_; }

private:
    ui::qt::QtImageList images_;
};

void registerModeView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra::mainwindow::qt
