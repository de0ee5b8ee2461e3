#pragma once

#include "mainwindow/frmDefaultPriorWarn.h"
#include "mainwindow/qt/OptionsView.h"

namespace wendra::mainwindow::qt {

class DefaultPriorWarnView final : public SmallDialogView {
public:
    DefaultPriorWarnView(frmDefaultPriorWarn& form, QWidget* parent);
};

void registerDefaultPriorWarnView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra::mainwindow::qt
