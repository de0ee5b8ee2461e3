#include "platform/ui/Form.h"

#include <algorithm>

namespace wendra::ui {

Form::Form(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}

void Form::setCaption(std::string text) {
    if (text == caption_) return;
    caption_ = std::move(text);
    changed();
}

void Form::setGeometry(const Geometry& g) {
    Geometry next = g;
    next.width = std::max(0, next.width);
    next.height = std::max(0, next.height);
    const bool resized = next.width != geometry_.width || next.height != geometry_.height;
    const bool first = !geometrySet_;
    geometrySet_ = true;
    if (next == geometry_ && !first) return;
    geometry_ = next;
    changed();
    if (resized && loaded_) formResize();
}

void Form::setLeft(int v) { setGeometry({v, geometry_.top, geometry_.width, geometry_.height}); }
void Form::setTop(int v) { setGeometry({geometry_.left, v, geometry_.width, geometry_.height}); }
void Form::setWidth(int v) { setGeometry({geometry_.left, geometry_.top, v, geometry_.height}); }
void Form::setHeight(int v) { setGeometry({geometry_.left, geometry_.top, geometry_.width, v}); }
void Form::move(int left, int top) { setGeometry({left, top, geometry_.width, geometry_.height}); }

void Form::setWindowState(WindowState s) {
    if (s == state_) return;
    state_ = s;
    changed();
    if (loaded_) formResize();
}

void Form::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    changed();
}

void Form::setFont(const Font& f) {
    const bool first = !fontSet_;
    fontSet_ = true;
    if (f == font_ && !first) return;
    font_ = f;
    changed();
}

void Form::setMousePointer(MousePointer p) {
    if (p == pointer_) return;
    pointer_ = p;
    changed();
}

void Form::setAlwaysOnTop(bool on) {
    if (on == onTop_) return;
    onTop_ = on;
    changed();
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    formLoad();
}

void Form::show() {
    load();
    if (!loaded_) return;  // the load closed the window again
    if (!visible_) {
        visible_ = true;
        changed();
    }
    activate();
}

void Form::hide() {
    if (!visible_) return;
    visible_ = false;
    changed();
}

void Form::unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    formUnload();
    unloading_ = false;
    loaded_ = false;
    visible_ = false;
    changed();
}

bool Form::requestClose() {
    if (!loaded_) return true;
    if (!formQueryUnload()) return false;
    unload();
    return true;
}

void Form::activate() {
    if (loaded_) formActivate();
}

void Form::geometryFromView(const Geometry& g) {
    const bool resized = g.width != geometry_.width || g.height != geometry_.height;
    geometry_ = g;
    geometrySet_ = true;
    if (resized && loaded_) formResize();
}

void Form::windowStateFromView(WindowState s) {
    if (s == state_) return;
    state_ = s;
    if (loaded_) formResize();
}

}  // namespace wendra::ui
