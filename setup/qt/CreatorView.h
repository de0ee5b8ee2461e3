#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>

#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtWindow.h"
#include "setup/frmWendraWinCreator.h"

namespace wendra::setup::qt {

// The setup's window: its caption and its label. Once the window has been drawn it
// hands over to the form, which completes the installation and closes the window.
class CreatorView final : public QWidget {
public:
    explicit CreatorView(frmWendraWinCreator& form);
    ~CreatorView() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    frmWendraWinCreator& form_;
    QLabel* label_;
    std::unique_ptr<ui::qt::LabelBinder> labelBinder_;
    std::unique_ptr<ui::qt::WindowBinder> windowBinder_;
    bool handedOver_ = false;
};

}  // namespace wendra::setup::qt
