#pragma once

// What the picture generators share: the palette, the pen and the program's own
// picture, all on a 16 by 16 grid, so the toolbar, the desktop icon and the gadget
// page show one program.
#include <QColor>
#include <QPainter>
#include <QPen>
#include <functional>

namespace wendra::icons {

using Draw = std::function<void(QPainter&)>;

inline const QColor kOutline(60, 60, 60);
inline const QColor kPaper(255, 255, 255);
inline const QColor kRed(200, 40, 40);
inline const QColor kGreen(40, 150, 60);
inline const QColor kBlue(40, 90, 190);
inline const QColor kYellow(240, 190, 40);
inline const QColor kOrange(230, 130, 30);
inline const QColor kGrey(150, 150, 150);

inline QPen pen(const QColor& c, double width = 1.0) {
    QPen p(c, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

// The program's picture: a clock face.
inline void clockFace(QPainter& p) {
    p.setPen(pen(kOutline));
    p.setBrush(kOrange);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 8), 5.2, 5.2);
    p.setPen(pen(kOutline, 1.4));
    p.drawLine(QPointF(8, 8), QPointF(8, 4.2));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

}  // namespace wendra::icons
