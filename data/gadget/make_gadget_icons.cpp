// Draws the gadget page's icons, the files its list names: "WendraWin.ico",
// "shrink.ico", "expand.ico", "left.ico", "right.ico" and "help.ico", into the
// folder given. Each is an icon file holding a 16 and a 32 pixel picture, both
// PNG-coded (as icon files may hold them), drawn on one 16 by 16 grid.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <utility>
#include <vector>

#include "data/icons/IconDrawing.h"

namespace {

using namespace wendra::icons;

// A box with a plus (past events folded: show them) or a minus (fold them).
void box(QPainter& p, bool plus) {
    p.setPen(pen(kOutline));
    p.setBrush(QColor(250, 250, 240));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setPen(pen(kBlue, 2.0));
    p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
    if (plus) p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
}

void arrow(QPainter& p, bool right) {
    p.setPen(pen(kGreen.darker(130)));
    p.setBrush(kGreen);
    const QPolygonF shape = right ? QPolygonF({{4.5, 2.5}, {12.5, 8}, {4.5, 13.5}})
                                  : QPolygonF({{11.5, 2.5}, {3.5, 8}, {11.5, 13.5}});
    p.drawPolygon(shape);
}

// A question mark drawn as a path: no font is needed where the icons are drawn.
void help(QPainter& p) {
    p.setPen(pen(kBlue.darker(130)));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QPainterPath mark;
    mark.moveTo(5.6, 6.2);
    mark.cubicTo(5.6, 3.6, 10.4, 3.6, 10.4, 6.2);
    mark.cubicTo(10.4, 7.9, 8, 7.9, 8, 9.9);
    p.setPen(pen(Qt::white, 1.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 12.3), 1.1, 1.1);
}

QByteArray png(const Draw& draw, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void put16(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
}
void put32(QByteArray& out, int v) {
    put16(out, v & 0xffff);
    put16(out, (v >> 16) & 0xffff);
}

// The icon file: its header, one directory entry a picture, then the pictures.
QByteArray icon(const Draw& draw) {
    const std::vector<int> sizes{16, 32};
    std::vector<QByteArray> pictures;
    for (int size : sizes) pictures.push_back(png(draw, size));
    QByteArray out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon
    put16(out, static_cast<int>(sizes.size()));
    int offset = 6 + 16 * static_cast<int>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        out.append(static_cast<char>(sizes[i]));  // width
        out.append(static_cast<char>(sizes[i]));  // height
        out.append('\0');                         // no palette
        out.append('\0');
        put16(out, 1);   // planes
        put16(out, 32);  // bits a pixel
        put32(out, static_cast<int>(pictures[i].size()));
        put32(out, offset);
        offset += static_cast<int>(pictures[i].size());
    }
    for (const QByteArray& picture : pictures) out.append(picture);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::vector<std::pair<const char*, Draw>> icons{
        {"WendraWin.ico", clockFace},
        {"shrink.ico", [](QPainter& p) { box(p, false); }},
        {"expand.ico", [](QPainter& p) { box(p, true); }},
        {"left.ico", [](QPainter& p) { arrow(p, false); }},
        {"right.ico", [](QPainter& p) { arrow(p, true); }},
        {"help.ico", help},
    };
    for (const auto& [name, draw] : icons) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(icon(draw)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
