#include "mainwindow/qt/AboutView.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace wendra::mainwindow::qt {

using namespace ui::qt;

namespace {

constexpr int kPictureSize = 48;

// A desk calendar page: the program's own picture.
QIcon calendarPicture() {
    QPixmap pm(kPictureSize, kPictureSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page(4, 6, 40, 38);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 4, 4);
    p.setBrush(QColor(200, 40, 40));
    p.drawRoundedRect(QRectF(4, 6, 40, 11), 4, 4);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            p.setBrush(row == 1 && col == 2 ? QColor(200, 40, 40) : QColor(190, 190, 190));
            p.drawRect(QRectF(9 + col * 8.5, 21 + row * 7, 5, 4));
        }
    }
    return QIcon(pm);
}

// A handheld device: the companion's picture.
QIcon handheldPicture() {
    QPixmap pm(kPictureSize, kPictureSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(13, 3, 22, 42), 4, 4);
    p.setBrush(QColor(150, 200, 240));
    p.drawRect(QRectF(16, 8, 16, 26));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QRectF(21, 37, 6, 5));
    return QIcon(pm);
}

QIcon okPicture(bool lit) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base(46, 139, 87);
    p.setBrush(lit ? base.lighter(140) : base);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(1, 1, 18, 18));
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(5.5, 10.5), QPointF(8.5, 13.5));
    p.drawLine(QPointF(8.5, 13.5), QPointF(14.5, 6.5));
    return QIcon(pm);
}

}  // namespace

AboutView::AboutView(frmAbout& f, QWidget* parent) : SmallDialogView(f, parent) {
    images_.add("imgWendraWin", calendarPicture());
    images_.add("imgWendraGo", handheldPicture());
    images_.add("imgOK1", okPicture(false));
    images_.add("imgOK2", okPicture(true));

    addPicture(f.picWendraWin, this, images_);
    addLabel(f.lblTitle, this);
    addLabel(f.lblVersion, this);
    addPicture(f.picWendraGo, this, images_);
    addLabel(f.lblCompanion, this);
    addLabel(f.lblCompanionText, this);
    addButton(f.cmdOK, this, &images_);
}

void registerAboutView(QtDialogRunner& runner) {
    runner.registerView("frmAbout", [](ui::Form& form, QWidget* parent) -> std::unique_ptr<QtFormDialog> {
        auto* f = dynamic_cast<frmAbout*>(&form);
        if (f == nullptr) return nullptr;
        return std::make_unique<AboutView>(*f, parent);
    });
}

}  // namespace wendra::mainwindow::qt
