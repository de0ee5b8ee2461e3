#include "mainwindow/qt/ModeView.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

namespace wendra::mainwindow::qt {

using namespace ui::qt;

namespace {

// A tick or a cross on a round badge; the lit picture has a brighter badge.
QIcon buttonPicture(bool tick, bool lit) {
    constexpr int size = 32;
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = tick ? QColor(46, 139, 87) : QColor(178, 34, 34);
    p.setBrush(lit ? base.lighter(140) : base);
    p.setPen(QPen(base.darker(130), 1.5));
    p.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (tick) {
        QPainterPath path;
        path.moveTo(9, 17);
        path.lineTo(14, 22);
        path.lineTo(23, 10);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    } else {
        p.drawLine(QPointF(11, 11), QPointF(21, 21));
        p.drawLine(QPointF(21, 11), QPointF(11, 21));
    }
    return QIcon(pm);
}

}  // namespace

ModeView::ModeView(frmMode& f, QWidget* parent) : SmallDialogView(f, parent) {
    images_.add("imgSave1", buttonPicture(true, false));
    images_.add("imgSave2", buttonPicture(true, true));
    images_.add("imgCancel1", buttonPicture(false, false));
    images_.add("imgCancel2", buttonPicture(false, true));

    addLabel(f.lblText, this);
    QGroupBox* mode = addFrame(f.Frame2, this);
    addOptions(f.optMode, mode);
    addLabel(f.lblModeInfo, this);
    QGroupBox* buttons = addFrame(f.frameButtons, this);
    for (ui::CommandButton* b : {&f.cmdSave, &f.cmdCancel}) {
        QPushButton* w = addButton(*b, buttons, &images_);
        w->setIconSize(QSize(20, 20));
    }
    addStatusBar(f.StatusBar1);
}

void registerModeView(QtDialogRunner& runner) {
    runner.registerView("frmMode", [](ui::Form& form, QWidget* parent) -> std::unique_ptr<QtFormDialog> {
        auto* f = dynamic_cast<frmMode*>(&form);
        if (f == nullptr) return nullptr;
        return std::make_unique<ModeView>(*f, parent);
    });
}

}  // namespace wendra::mainwindow::qt
