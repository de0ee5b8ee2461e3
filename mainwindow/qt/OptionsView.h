#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "mainwindow/frmOptions.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QResizeEvent;
class QStatusBar;

namespace wendra::mainwindow::qt {

// What the small dialogs' views share: a widget and its binder for each control,
// placed where the form's logic puts the control, and a status bar kept along the
// window's bottom edge as the window system docks one.
class SmallDialogView : public ui::qt::QtFormDialog {
public:
    SmallDialogView(ui::Form& form, QWidget* parent);
    ~SmallDialogView() override;

    QLabel* addLabel(ui::Label& label, QWidget* parent);
    // The box and its arrows stand where the logic puts each of them.
    QLineEdit* addNumberBox(ui::NumberBox& box, QWidget* parent);
    QComboBox* addCombo(ui::ComboBox& list, QWidget* parent);
    QPushButton* addButton(ui::CommandButton& button, QWidget* parent, const ui::qt::QtImageList* images = nullptr);
    QGroupBox* addFrame(ui::Frame& frame, QWidget* parent);
    std::vector<QRadioButton*> addOptions(ui::OptionGroup& group, QWidget* parent);
    QLabel* addPicture(ui::Picture& picture, QWidget* parent, const ui::qt::QtImageList& images);
    // A status text set while the logic works (a port or connection test) is
    // painted at once, since no event loop runs until the work is done.
    QStatusBar* addStatusBar(ui::StatusBar& bar);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void dockStatusBar();
    std::vector<std::unique_ptr<ui::qt::ControlBinder>> binders_;
    std::vector<std::unique_ptr<ui::qt::OptionGroupBinder>> groups_;
    QStatusBar* status_ = nullptr;
    ui::Subscription statusShown_;
};

class OptionsView final : public SmallDialogView {
public:
    OptionsView(frmOptions& form, QWidget* parent);
};

// The main window's runner shows frmOptions in this view.
void registerOptionsView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra::mainwindow::qt
