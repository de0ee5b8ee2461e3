#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "platform/ui/qt/QtGrab.h"
#include "platform/ui/qt/QtWindow.h"

namespace wendra::test {

// Shows the form modally in its registered view; `whileOpen` runs once the window
// stands, as the user would act. A dialog it leaves open is closed after a while,
// so that a failing test ends. False when the view never stood.
template <typename View>
bool runShown(ui::DialogRunner& dialogs, ui::Form& form, const std::function<void(View&)>& whileOpen,
              ui::Form* owner = nullptr) {
    bool ran = false;
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] {
        auto* view = dynamic_cast<View*>(ui::qt::WindowBinder::windowOf(form));
        if (view == nullptr || !view->isVisible()) return;
        ran = true;
        whileOpen(*view);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (form.isLoaded()) form.unload();
    });
    step.start(50);
    guard.start(10000);
    dialogs.showModal(form, owner);
    return ran;
}

// Writes a picture of the window to the path, once its pending layouts are done,
// and checks that it shows the whole window.
inline void expectGrab(QWidget& window, const QString& path) {
    QApplication::processEvents();
    ASSERT_TRUE(ui::qt::grabToPng(window, path.toStdString()));
    const QImage image(path);
    EXPECT_EQ(image.size(), window.size());
    EXPECT_GT(image.width(), 200);
}

}  // namespace wendra::test
