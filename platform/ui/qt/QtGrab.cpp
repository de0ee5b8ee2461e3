#include "platform/ui/qt/QtGrab.h"

#include <QPixmap>
#include <QWidget>

#include "platform/ui/qt/QtConvert.h"

namespace wendra::ui::qt {

bool grabToPng(QWidget& widget, const std::string& path) {
    const QPixmap picture = widget.grab();
    if (picture.isNull()) return false;
    return picture.save(toQString(path), "PNG");
}

}  // namespace wendra::ui::qt
