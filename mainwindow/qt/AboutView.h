#pragma once

#include "mainwindow/frmAbout.h"
#include "mainwindow/qt/OptionsView.h"

namespace wendra::mainwindow::qt {

// The about box's view with its two pictures ("imgWendraWin", "imgWendraGo") and
// the library's OK pictures ("imgOK1", "imgOK2").
class AboutView final : public SmallDialogView {
public:
    AboutView(frmAbout& form, QWidget* parent);

private:
    ui::qt::QtImageList images_;
};

void registerAboutView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra::mainwindow::qt
