#pragma once

#include <string>

class QWidget;

namespace wendra::ui::qt {

// Renders a widget (a shown window, say) into a PNG file; false when nothing could
// be drawn or written.
bool grabToPng(QWidget& widget, const std::string& path);

}  // namespace wendra::ui::qt
