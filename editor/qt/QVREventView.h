#pragma once

#include <QTabBar>
#include <QWidget>
#include <memory>
#include <vector>

#include "editor/frmQVREvent.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace wendra {

// The tab strip as the forms know it: tabs along the top of a raised panel, on
// which the pages stand.
class QtTabStrip final : public QTabBar {
public:
    explicit QtTabStrip(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The window of frmQVREvent. No layout: every widget stands where the form's
// logic puts it, inside the container the logic names, so the logic's own moves
// (pages, the loading frame, the taller description box) show as they are.
// Widgets carry their control's name as object name.
class QVREventView final : public ui::qt::QtFormDialog {
public:
    QVREventView(frmQVREvent& form, QWidget* parent = nullptr);
    ~QVREventView() override;

    QtTabStrip* tabStrip() const { return tabStrip_; }
    QWidget* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    QLineEdit* txtDesc() const { return txtDesc_; }
    QDateEdit* ctrlEventDate() const { return ctrlEventDate_; }
    QTimeEdit* ctrlEventTime() const { return ctrlEventTime_; }
    QRadioButton* optAllDayEvent(int index) const { return allDay_.at(static_cast<std::size_t>(index)); }
    QRadioButton* optFrequency(int index) const { return frequency_.at(static_cast<std::size_t>(index)); }
    QRadioButton* optOccurs(int index) const { return occurs_.at(static_cast<std::size_t>(index)); }
    QRadioButton* optPriorWarning(int index) const { return priorWarning_.at(static_cast<std::size_t>(index)); }
    QComboBox* cmbViewFromDate() const { return cmbViewFromDate_; }
    QGroupBox* frameLoading() const { return frameLoading_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    // The number of times the loading frame was drawn while the list filled.
    int loadingPaints() const { return loadingPaints_; }

private:
    QLineEdit* numberBox(ui::NumberBox& box, QWidget* parent);
    template <typename Binder, typename Control, typename Widget>
    Widget* bind(Control& control, Widget* widget);

    frmQVREvent& form_;
    QtTabStrip* tabStrip_;
    std::vector<QWidget*> pages_;
    QLineEdit* txtDesc_;
    QDateEdit* ctrlEventDate_;
    QTimeEdit* ctrlEventTime_;
    std::vector<QRadioButton*> allDay_, frequency_, occurs_, priorWarning_;
    QComboBox* cmbViewFromDate_;
    QGroupBox* frameLoading_;
    QProgressBar* pbarLoading_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
    int loadingPaints_ = 0;
    int lastPaintedPercent_ = -1;
    std::vector<std::unique_ptr<ui::qt::ControlBinder>> binders_;
    std::vector<std::unique_ptr<ui::qt::OptionGroupBinder>> optionBinders_;
    ui::Subscription progressWatch_;
};

// Makes the runner show frmQVREvent in this view.
void registerQVREventView(ui::qt::QtDialogRunner& runner);

}  // namespace wendra
