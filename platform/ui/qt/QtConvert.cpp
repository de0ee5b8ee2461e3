#include "platform/ui/qt/QtConvert.h"

#include <QApplication>
#include <QScreen>
#include <QStringDecoder>
#include <QWidget>
#include <QtGlobal>
#include <exception>

#include "platform/ui/Layout.h"

namespace wendra::ui::qt {

QString toQString(std::string_view text) {
    // QString::fromUtf8 drops a leading U+FEFF as a byte-order mark; here it is the
    // first character of the user's text, and an edit must give it back.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string fromQString(const QString& text) { return text.toUtf8().toStdString(); }

QColor toQColor(Colour colour, const QPalette& palette) {
    if (!isSystemColour(colour)) return QColor(redOf(colour), greenOf(colour), blueOf(colour));
    switch (systemColourIndex(colour)) {
        case 5: return palette.color(QPalette::Active, QPalette::Base);             // window background
        case 8: return palette.color(QPalette::Active, QPalette::Text);             // window text
        case 13: return palette.color(QPalette::Active, QPalette::Highlight);
        case 14: return palette.color(QPalette::Active, QPalette::HighlightedText);
        case 15: return palette.color(QPalette::Active, QPalette::Button);           // button face
        case 17: return palette.color(QPalette::Disabled, QPalette::Text);          // grey text
        case 18: return palette.color(QPalette::Active, QPalette::ButtonText);
        default: return palette.color(QPalette::Active, QPalette::Window);
    }
}

QColor toQColor(Colour colour) { return toQColor(colour, QApplication::palette()); }

Colour fromQColor(const QColor& colour) { return rgb(colour.red(), colour.green(), colour.blue()); }

QFont toQFont(const Font& font) {
    QFont f(toQString(font.name));
    if (font.size > 0) f.setPointSizeF(font.size);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

Font fromQFont(const QFont& font) {
    Font f;
    f.name = fromQString(font.family());
    f.size = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline();
    return f;
}

namespace {
const QScreen* screenOf(const QWidget* widget) {
    if (widget != nullptr && widget->screen() != nullptr) return widget->screen();
    return QGuiApplication::primaryScreen();
}
}  // namespace

double screenDpiX(const QWidget* widget) {
    const QScreen* s = screenOf(widget);
    return s != nullptr && s->logicalDotsPerInchX() > 0 ? s->logicalDotsPerInchX() : 96.0;
}

double screenDpiY(const QWidget* widget) {
    const QScreen* s = screenOf(widget);
    return s != nullptr && s->logicalDotsPerInchY() > 0 ? s->logicalDotsPerInchY() : 96.0;
}

int twipsToPixelsX(int twips, const QWidget* w) { return twipsToPixels(twips, screenDpiX(w)); }
int twipsToPixelsY(int twips, const QWidget* w) { return twipsToPixels(twips, screenDpiY(w)); }
int pixelsToTwipsX(int pixels, const QWidget* w) { return pixelsToTwips(pixels, screenDpiX(w)); }
int pixelsToTwipsY(int pixels, const QWidget* w) { return pixelsToTwips(pixels, screenDpiY(w)); }

QRect toPixels(const Geometry& g, const QWidget* w) {
    return QRect(twipsToPixelsX(g.left, w), twipsToPixelsY(g.top, w), twipsToPixelsX(g.width, w),
                 twipsToPixelsY(g.height, w));
}

Geometry toTwips(const QRect& r, const QWidget* w) {
    return Geometry{pixelsToTwipsX(r.x(), w), pixelsToTwipsY(r.y(), w), pixelsToTwipsX(r.width(), w),
                    pixelsToTwipsY(r.height(), w)};
}

Qt::Alignment toQtAlignment(TextAlignment a) {
    switch (a) {
        case TextAlignment::Left: return Qt::AlignLeft | Qt::AlignVCenter;
        case TextAlignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
        case TextAlignment::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

Qt::Alignment toQtAlignment(Alignment a, const QString& text) {
    switch (a) {
        case Alignment::LeftTop: return Qt::AlignLeft | Qt::AlignTop;
        case Alignment::LeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
        case Alignment::LeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
        case Alignment::CenterTop: return Qt::AlignHCenter | Qt::AlignTop;
        case Alignment::CenterCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
        case Alignment::CenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
        case Alignment::RightTop: return Qt::AlignRight | Qt::AlignTop;
        case Alignment::RightCenter: return Qt::AlignRight | Qt::AlignVCenter;
        case Alignment::RightBottom: return Qt::AlignRight | Qt::AlignBottom;
        case Alignment::General: break;
    }
    bool numeric = false;
    text.trimmed().toDouble(&numeric);
    return (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

void guarded(const char* where, const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        qWarning("%s: %s", where, e.what());
    } catch (...) {
        qWarning("%s: unknown failure", where);
    }
}

}  // namespace wendra::ui::qt
