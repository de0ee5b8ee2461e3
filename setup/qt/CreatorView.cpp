#include "setup/qt/CreatorView.h"

#include <QTimer>

#include "platform/ui/qt/QtConvert.h"

namespace wendra::setup::qt {

CreatorView::CreatorView(frmWendraWinCreator& form) : form_(form), label_(new QLabel(this)) {
    labelBinder_ = std::make_unique<ui::qt::LabelBinder>(form.Label1, label_);
    windowBinder_ = std::make_unique<ui::qt::WindowBinder>(form, this);
}

CreatorView::~CreatorView() {
    windowBinder_.reset();
    labelBinder_.reset();
}

void CreatorView::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (handedOver_) return;
    handedOver_ = true;
    // After this paint has reached the screen: the job keeps the event loop waiting
    // while it runs, and the user should see the label meanwhile.
    QTimer::singleShot(0, this, [this] { ui::qt::guarded("setup", [this] { form_.complete(); }); });
}

}  // namespace wendra::setup::qt
