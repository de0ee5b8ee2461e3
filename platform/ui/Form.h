#pragma once

#include <string>

#include "platform/ui/Controls.h"

namespace wendra::ui {

enum class WindowState { Normal, Minimized, Maximized };
enum class MousePointer { Default, Hourglass, Arrow };

// A window's own state: caption, geometry in twips, state, font, pointer. A form's
// logic derives from it and overrides the window events it handles. Setting the
// size or the window state from code runs formResize, as the user's resize does.
class Form {
public:
    explicit Form(std::string name, std::string caption = {});
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);

    // Outer position and size in twips, frame and caption included.
    const Geometry& geometry() const { return geometry_; }
    bool hasGeometry() const { return geometrySet_; }
    int left() const { return geometry_.left; }
    int top() const { return geometry_.top; }
    int width() const { return geometry_.width; }
    int height() const { return geometry_.height; }
    void setGeometry(const Geometry& g);
    void setLeft(int v);
    void setTop(int v);
    void setWidth(int v);
    void setHeight(int v);
    void move(int left, int top);

    WindowState windowState() const { return state_; }
    void setWindowState(WindowState s);
    bool visible() const { return visible_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    // Until code sets a font the window shows the desktop's own.
    const Font& font() const { return font_; }
    bool hasFont() const { return fontSet_; }
    void setFont(const Font& f);
    MousePointer mousePointer() const { return pointer_; }
    void setMousePointer(MousePointer p);
    // Kept above the other windows; set through the window placement service.
    bool alwaysOnTop() const { return onTop_; }
    void setAlwaysOnTop(bool on);

    // Life. load runs formLoad once; show loads and makes the window visible; unload
    // (code's own closing) runs formUnload and closes the window; requestClose is the
    // user's close box, which formQueryUnload may refuse.
    bool isLoaded() const { return loaded_; }
    void load();
    void show();
    void hide();
    void unload();
    bool requestClose();
    void activate();

    // The view reports what the user did to the window.
    void geometryFromView(const Geometry& g);
    void windowStateFromView(WindowState s);
    void mouseMove() { formMouseMove(); }

    [[nodiscard]] Subscription subscribe(Notifier::Listener fn) const { return notifier_.subscribe(std::move(fn)); }

protected:
    virtual void formLoad() {}
    virtual void formActivate() {}
    virtual void formResize() {}
    virtual bool formQueryUnload() { return true; }
    virtual void formUnload() {}
    virtual void formMouseMove() {}

private:
    void changed() const { notifier_.notify(); }
    std::string name_;
    std::string caption_;
    Geometry geometry_;
    bool geometrySet_ = false;
    WindowState state_ = WindowState::Normal;
    bool visible_ = false;
    bool enabled_ = true;
    Font font_;
    bool fontSet_ = false;
    MousePointer pointer_ = MousePointer::Default;
    bool onTop_ = false;
    bool loaded_ = false;
    bool unloading_ = false;
    mutable Notifier notifier_;
};

// The hourglass for its lifetime; the previous pointer comes back after.
class BusyPointer {
public:
    explicit BusyPointer(Form& form) : form_(form), previous_(form.mousePointer()) {
        form_.setMousePointer(MousePointer::Hourglass);
    }
    ~BusyPointer() { form_.setMousePointer(previous_); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Form& form_;
    MousePointer previous_;
};

}  // namespace wendra::ui
