#include "editor/qt/VisibilityView.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

namespace wendra {

namespace {

using ui::qt::ButtonBinder;
using ui::qt::ControlBinder;
using ui::qt::FrameBinder;
using ui::qt::LabelBinder;
using ui::qt::ListBinder;

// One 16 x 16 picture: a tick or a cross in the colour given, on a lit disc for
// the hover image.
QIcon drawMark(bool tick, QColor colour, bool lit) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 185));
        p.drawEllipse(1, 1, 30, 30);
    }
    p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (tick) {
        QPainterPath path;
        path.moveTo(7, 17);
        path.lineTo(13, 23);
        path.lineTo(25, 9);
        p.drawPath(path);
    } else {
        p.drawLine(9, 9, 23, 23);
        p.drawLine(23, 9, 9, 23);
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace

ui::qt::QtImageList drawnSaveCancelImages() {
    ui::qt::QtImageList images;
    images.add("imgSave1", drawMark(true, QColor(0, 128, 0), false));
    images.add("imgSave2", drawMark(true, QColor(0, 170, 0), true));
    images.add("imgCancel1", drawMark(false, QColor(176, 0, 0), false));
    images.add("imgCancel2", drawMark(false, QColor(220, 0, 0), true));
    return images;
}

VisibilityView::VisibilityView(frmVisibility& form, QWidget* parent, const ui::qt::QtImageList* images)
    : ui::qt::QtFormDialog(form, parent) {
    if (images == nullptr) {
        ownImages_ = drawnSaveCancelImages();
        images = &ownImages_;
    }
    // No layout: every widget stands where the form's geometry puts it, so the
    // logic's own moves (the shorter dialog of a one-off event) show as they are.
    framePriorWarn_ = new QGroupBox(this);
    for (int i = 0; i < form.optPriorWarning.count(); ++i) options_.push_back(new QRadioButton(framePriorWarn_));
    frameViewFromDate_ = new QGroupBox(this);
    auto* lblViewFrom = new QLabel(frameViewFromDate_);
    cmbViewFromDate_ = new QComboBox(frameViewFromDate_);
    auto* lblNote = new QLabel(frameViewFromDate_);
    frameButtons_ = new QWidget(this);
    cmdSave_ = new QPushButton(frameButtons_);
    cmdCancel_ = new QPushButton(frameButtons_);
    for (QPushButton* b : {cmdSave_, cmdCancel_}) b->setIconSize(QSize(16, 16));

    binders_.push_back(std::make_unique<FrameBinder>(form.framePriorWarn, framePriorWarn_));
    optionBinder_ = std::make_unique<ui::qt::OptionGroupBinder>(form.optPriorWarning, options_);
    binders_.push_back(std::make_unique<FrameBinder>(form.frameViewFromDate, frameViewFromDate_));
    binders_.push_back(std::make_unique<LabelBinder>(form.lblViewFrom, lblViewFrom));
    binders_.push_back(std::make_unique<ListBinder>(form.cmbViewFromDate, cmbViewFromDate_));
    binders_.push_back(std::make_unique<LabelBinder>(form.lblViewFromNote, lblNote));
    binders_.push_back(std::make_unique<ControlBinder>(form.frameButtons, frameButtons_));
    binders_.push_back(std::make_unique<ButtonBinder>(form.cmdSave, cmdSave_, images));
    binders_.push_back(std::make_unique<ButtonBinder>(form.cmdCancel, cmdCancel_, images));
}

VisibilityView::~VisibilityView() = default;

void registerVisibilityView(ui::qt::QtDialogRunner& runner, const ui::qt::QtImageList* images) {
    runner.registerView(frmVisibility::kFormName,
                        [images](ui::Form& form, QWidget* parent) -> std::unique_ptr<ui::qt::QtFormDialog> {
                            auto* dialog = dynamic_cast<frmVisibility*>(&form);
                            if (dialog == nullptr) return nullptr;
                            return std::make_unique<VisibilityView>(*dialog, parent, images);
                        });
}

}  // namespace wendra
