// Draws the main window's own pictures: one PNG a key of its image list, at 16 and
// 32 pixels ("imgNew.png", "imgNew@2x.png"), into the folder given. Every picture is
// drawn on a 16 by 16 grid, so both sizes show the same shapes. The program's own
// picture is also drawn at 128 pixels as its icon, "WendraWin.png".
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "data/icons/IconDrawing.h"

namespace {

using namespace wendra::icons;

void page(QPainter& p) {
    p.setPen(pen(kOutline));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}}));
    p.drawPolyline(QPolygonF({{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}}));
    p.setPen(pen(kGrey));
    for (double y : {7.5, 9.5, 11.5}) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
}

void calendar(QPainter& p, const QColor& header) {
    p.setPen(pen(kOutline));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.5, 1.5);
    p.setBrush(header);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 3.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) p.drawRect(QRectF(3 + col * 3, 7.5 + row * 2.3, 1.6, 1.4));
}

void pencil(QPainter& p) {
    p.setPen(pen(kOutline, 0.8));
    p.setBrush(kOrange);
    p.drawPolygon(QPolygonF({{7, 13}, {13.5, 6.5}, {15, 8}, {8.5, 14.5}}));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({{7, 13}, {8.5, 14.5}, {6, 15.5}}));
}

void cross(QPainter& p, const QColor& c, QRectF r, double width) {
    p.setPen(pen(c, width));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void slash(QPainter& p) {
    p.setPen(pen(QColor(255, 255, 255), 3.2));
    p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
    p.setPen(pen(kRed, 1.8));
    p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
}

void eye(QPainter& p) {
    QPainterPath lids;
    lids.moveTo(1, 8);
    lids.quadTo(8, 1, 15, 8);
    lids.quadTo(8, 15, 1, 8);
    p.setPen(pen(kOutline));
    p.setBrush(kPaper);
    p.drawPath(lids);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(8, 8), 2.8, 2.8);
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(8, 8), 1.1, 1.1);
}

void box(QPainter& p, bool plus) {
    p.setPen(pen(kOutline));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.5, 1.5);
    p.setPen(pen(kBlue, 2));
    p.drawLine(QPointF(5, 8), QPointF(11, 8));
    if (plus) p.drawLine(QPointF(8, 5), QPointF(8, 11));
}

void circleArrows(QPainter& p, const QColor& c, bool both) {
    p.setPen(pen(c, 1.8));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(3, 3, 10, 10);
    p.drawArc(ring, 30 * 16, 150 * 16);
    if (both) p.drawArc(ring, 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({{13.8, 4.2}, {14.5, 9}, {10.2, 7.4}}));
    if (both) p.drawPolygon(QPolygonF({{2.2, 11.8}, {1.5, 7}, {5.8, 8.6}}));
}

void bell(QPainter& p, const QColor& body) {
    QPainterPath shape;
    shape.moveTo(3, 12);
    shape.quadTo(4.5, 10.5, 4.5, 7);
    shape.quadTo(4.5, 3, 8, 3);
    shape.quadTo(11.5, 3, 11.5, 7);
    shape.quadTo(11.5, 10.5, 13, 12);
    shape.closeSubpath();
    p.setPen(pen(kOutline));
    p.setBrush(body);
    p.drawPath(shape);
    p.drawEllipse(QPointF(8, 13.3), 1.5, 1.3);
    p.drawLine(QPointF(8, 1.5), QPointF(8, 3));
}

void letterA(QPainter& p, const QColor& c) {
    p.setPen(pen(c, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{3, 14}, {8, 2}, {13, 14}}));
    p.drawLine(QPointF(5, 10), QPointF(11, 10));
}

void lamp(QPainter& p, const QColor& c) {
    p.setPen(pen(kOutline));
    p.setBrush(c);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
}

const std::vector<std::pair<const char*, Draw>>& pictures() {
    static const std::vector<std::pair<const char*, Draw>> all{
        {"imgNew",
         [](QPainter& p) {
             page(p);
             p.setPen(pen(kGreen, 2));
             p.drawLine(QPointF(12.5, 9), QPointF(12.5, 15));
             p.drawLine(QPointF(9.5, 12), QPointF(15.5, 12));
         }},
        {"imgDelete", [](QPainter& p) { cross(p, kRed, QRectF(3.5, 3.5, 9, 9), 2.6); }},
        {"imgEditSeries",
         [](QPainter& p) {
             page(p);
             pencil(p);
         }},
        {"imgEditOccur",
         [](QPainter& p) {
             calendar(p, kRed);
             pencil(p);
         }},
        {"imgOutlook", [](QPainter& p) { calendar(p, kBlue); }},
        {"imgVisibility", [](QPainter& p) { eye(p); }},
        {"imgNoOutlook",
         [](QPainter& p) {
             calendar(p, kGrey);
             slash(p);
         }},
        {"imgHide",
         [](QPainter& p) {
             eye(p);
             slash(p);
         }},
        {"imgRefresh", [](QPainter& p) { circleArrows(p, kGreen, true); }},
        {"imgExpand", [](QPainter& p) { box(p, true); }},
        {"imgShrink", [](QPainter& p) { box(p, false); }},
        {"imgCommErr",
         [](QPainter& p) {
             lamp(p, kRed);
             cross(p, kPaper, QRectF(5.5, 5.5, 5, 5), 1.6);
         }},
        {"imgCommOK", [](QPainter& p) { lamp(p, kGreen); }},
        {"imgSyncInProgress", [](QPainter& p) { circleArrows(p, kOrange, true); }},
        {"imgAlarmCrap", [](QPainter& p) { bell(p, kGrey); }},
        {"imgAlarm", [](QPainter& p) { bell(p, kYellow); }},
        {"imgAlarm2", [](QPainter& p) { bell(p, kYellow); }},
        {"imgAlarmOff",
         [](QPainter& p) {
             bell(p, kYellow);
             slash(p);
         }},
        {"imgFontx", [](QPainter& p) { letterA(p, kGrey); }},
        {"imgFont", [](QPainter& p) { letterA(p, kBlue); }},
        // Last: the build takes this file as the sign that all are there.
        {"imgWendraWin", [](QPainter& p) { clockFace(p); }},
    };
    return all;
}

QImage drawn(const Draw& draw, int scale) {
    QImage image(16 * scale, 16 * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
    }
    return image;
}

bool write(const QString& folder, const char* key, const Draw& draw, int scale) {
    const QImage image = drawn(draw, scale);
    const QString name = QString::fromLatin1(key) + (scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale));
    return image.save(folder + "/" + name + ".png", "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    // The program's icon for its desktop shortcuts, large enough for a desktop.
    if (!drawn(clockFace, 8).save(folder + "/WendraWin.png", "PNG")) {
        std::fprintf(stderr, "cannot write the program icon\n");
        return 1;
    }
    for (const auto& [key, draw] : pictures()) {
        for (int scale : {2, 1}) {
            if (!write(folder, key, draw, scale)) {
                std::fprintf(stderr, "cannot write the picture %s\n", key);
                return 1;
            }
        }
    }
    return 0;
}
