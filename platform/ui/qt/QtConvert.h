#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/Colour.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Font.h"
#include "platform/ui/Grid.h"

class QWidget;

// Conversions between the UI model's values and Qt's.
namespace wendra::ui::qt {

QString toQString(std::string_view text);
std::string fromQString(const QString& text);

// A system colour takes the palette's colour for its role.
QColor toQColor(Colour colour, const QPalette& palette);
QColor toQColor(Colour colour);  // with the application's palette
Colour fromQColor(const QColor& colour);

QFont toQFont(const Font& font);
Font fromQFont(const QFont& font);

// The logical resolution of the screen a widget is on (the primary screen without
// a widget), and twips converted at it.
double screenDpiX(const QWidget* widget = nullptr);
double screenDpiY(const QWidget* widget = nullptr);
int twipsToPixelsX(int twips, const QWidget* widget = nullptr);
int twipsToPixelsY(int twips, const QWidget* widget = nullptr);
int pixelsToTwipsX(int pixels, const QWidget* widget = nullptr);
int pixelsToTwipsY(int pixels, const QWidget* widget = nullptr);
QRect toPixels(const Geometry& g, const QWidget* widget = nullptr);
Geometry toTwips(const QRect& r, const QWidget* widget = nullptr);

Qt::Alignment toQtAlignment(TextAlignment a);
// General alignment puts numbers to the right and other text to the left.
Qt::Alignment toQtAlignment(Alignment a, const QString& text);

// Runs a model call for a Qt event: nothing the logic throws may escape into the event loop.
void guarded(const char* where, const std::function<void()>& fn);

}  // namespace wendra::ui::qt
