#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <memory>
#include <optional>

#include "platform/ui/Form.h"

// A form's window: its model state mirrored to a top-level widget and the user's
// moves, resizes, minimizing and close box reported back.
namespace wendra::ui::qt {

class WindowBinder final : public QObject {
public:
    WindowBinder(Form& form, QWidget* window);
    ~WindowBinder() override;

    QWidget* window() const { return window_; }
    void refresh();
    // A form without a size of its own takes the size the window's layout wants.
    void takeSizeFromWindow();

    // The window bound to a form, if any.
    static WindowBinder* find(const Form& form);
    static QWidget* windowOf(const Form& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report();
    // What the window manager's frame adds to the window's width and height.
    QSize frame() const;
    Form& form_;
    QPointer<QWidget> window_;
    Subscription subscription_;
    std::optional<Geometry> appliedGeometry_;
    QSize appliedFrame_;  // the frame the form's size was last applied with
    bool applying_ = false;
    bool closing_ = false;
};

// The view of a modal dialog: the runner shows it, and it ends when its form unloads.
// Escape and the close box ask the form, as the close box of the window system does.
class QtFormDialog : public QDialog {
public:
    explicit QtFormDialog(Form& form, QWidget* parent = nullptr);
    ~QtFormDialog() override;
    Form& form() const { return form_; }
    WindowBinder& binder() const { return *binder_; }
    void reject() override;

private:
    Form& form_;
    std::unique_ptr<WindowBinder> binder_;
};

}  // namespace wendra::ui::qt
