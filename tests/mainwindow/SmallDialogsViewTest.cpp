// The settings, default prior warning, mode and about dialogs in their real
// windows (offscreen): what the logic sets reaches the widgets, the user's keys and
// clicks reach the logic, every control fits its window, and a picture of each
// dialog is kept.

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "Version.h"
#include "editor/CancelFlag.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmDefaultPriorWarn.h"
#include "mainwindow/frmMode.h"
#include "mainwindow/frmOptions.h"
#include "mainwindow/qt/AboutView.h"
#include "mainwindow/qt/DefaultPriorWarnView.h"
#include "mainwindow/qt/ModeView.h"
#include "mainwindow/qt/OptionsView.h"
#include "platform/serial/FakeSerialPort.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "platform/ui/qt/QtConvert.h"
#include "platform/ui/qt/QtGrab.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"
#include "store/clsSettings.h"
#include "tests/support/DialogRig.h"
#include "tests/support/QtDialogRun.h"
#include "tests/support/ScriptedOutlook.h"

namespace wendra {
namespace {

using mainwindow::qt::AboutView;
using mainwindow::qt::DefaultPriorWarnView;
using mainwindow::qt::ModeView;
using mainwindow::qt::OptionsView;

using Opener = test::FlagRecorder;

template <typename W>
W* child(QWidget& parent, const QString& text) {
    for (W* w : parent.findChildren<W*>()) {
        if (w->text() == text) return w;
    }
    return nullptr;
}

// The user's keys and pointer, as the window system delivers them.
void typeKeys(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void pressKey(QWidget* w, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

// The focus arriving by the Tab key.
void tabInto(QWidget* w) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w, &in);
}

void pointerOver(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QEnterEvent enter(at, w->mapTo(w->window(), at), w->mapToGlobal(at));
    QApplication::sendEvent(w, &enter);
}

class SmallDialogsView : public ::testing::Test, protected test::DialogRig {
protected:
    ui::qt::QtServices qt_;
    ui::RecordingMessageBox messages_;  // no real message box stops the run
    ui::Services services_{messages_, qt_.dialogs, qt_.fonts, qt_.placement, qt_.timers, qt_.metrics};
    QTemporaryDir tmp_;

    void SetUp() override {
        mainwindow::qt::registerOptionsView(qt_.dialogs);
        mainwindow::qt::registerDefaultPriorWarnView(qt_.dialogs);
        mainwindow::qt::registerModeView(qt_.dialogs);
        mainwindow::qt::registerAboutView(qt_.dialogs);
    }

    clsSettings stored() { return reread(); }

    template <typename View>
    bool runShown(ui::Form& form, const std::function<void(View&)>& whileOpen, ui::Form* owner = nullptr) {
        return test::runShown<View>(qt_.dialogs, form, whileOpen, owner);
    }

    // Keeps a picture of the window: in WENDRA_GRAB_DIR when set, else in a temporary folder.
    void grab(QWidget& window, const QString& file) { test::expectGrab(window, test::grabPath(tmp_.path(), file)); }

    // Every shown control lies inside the window and shows its whole text.
    static void expectEverythingFits(QWidget& window) {
        const QRect inside = window.rect();
        for (QWidget* w : window.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&window) || w->parentWidget() == nullptr) continue;
            if (qobject_cast<QStatusBar*>(w->parentWidget()) != nullptr) continue;  // the bar's own parts
            const QRect at(w->mapTo(&window, QPoint(0, 0)), w->size());
            EXPECT_TRUE(inside.contains(at)) << w->metaObject()->className() << " at " << at.x() << "," << at.y()
                                             << " " << at.width() << "x" << at.height();
            if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->text().isEmpty()) {
                if (label->wordWrap()) {
                    EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
                } else {
                    EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
                }
            }
            if (auto* button = qobject_cast<QPushButton*>(w)) {
                EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
            }
        }
        // Controls side by side in the window or in one of its frames do not cover each other.
        std::vector<QWidget*> containers{&window};
        for (QGroupBox* frame : window.findChildren<QGroupBox*>()) containers.push_back(frame);
        for (QWidget* container : containers) {
            std::vector<QWidget*> shown;
            for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (w->isVisibleTo(&window) && qobject_cast<QStatusBar*>(w) == nullptr) shown.push_back(w);
            }
            for (std::size_t i = 0; i < shown.size(); ++i) {
                for (std::size_t j = i + 1; j < shown.size(); ++j) {
                    const QRect a = shown[i]->geometry().adjusted(1, 1, -1, -1);
                    EXPECT_FALSE(a.intersects(shown[j]->geometry().adjusted(1, 1, -1, -1)))
                        << shown[i]->metaObject()->className() << " " << a.x() << "," << a.y() << " and "
                        << shown[j]->metaObject()->className() << " " << shown[j]->x() << "," << shown[j]->y();
                }
            }
        }
    }
};

TEST_F(SmallDialogsView, SettingsDialogShowsItsListsAndTestsTheChosenPort) {
    settings.setPriorWarning(21);
    settings.setPastEventHours(3);
    settings.setViewCountdown(1);
    settings.setCommPort(2);
    FakeSerialPort port;
    port.failOpen(3, SerialError{2, "/dev/ttyS2: No such file or directory"});
    frmOptions dlg(settings, services_, port);
    QStatusBar* bar = nullptr;
    bool statusShown = false;
    messages_.onShow = [&](const ui::MessageRequest&) {
        // The port test stands in the status bar while its failure is reported.
        auto* view = ui::qt::WindowBinder::windowOf(dlg);
        ASSERT_NE(view, nullptr);
        grab(*view, "options-testing.png");
        statusShown = bar->isVisible() && child<QLabel>(*bar, "Testing COM3...") != nullptr;
    };
    const bool ran = runShown<OptionsView>(dlg, [&](OptionsView& view) {
        EXPECT_EQ(view.windowTitle(), "Settings");
        const auto combos = view.findChildren<QComboBox*>();
        ASSERT_EQ(combos.size(), 2);
        EXPECT_EQ(combos[0]->count(), 3);
        EXPECT_EQ(combos[0]->currentText(), "When minimized");
        ASSERT_EQ(combos[1]->count(), 18);
        EXPECT_EQ(combos[1]->itemText(0), "None");
        EXPECT_EQ(combos[1]->itemText(17), "COM16");
        EXPECT_EQ(combos[1]->currentText(), "COM2");
        const auto edits = view.findChildren<QLineEdit*>();
        ASSERT_GE(edits.size(), 2);
        EXPECT_EQ(edits[0]->text(), "21");
        EXPECT_EQ(edits[1]->text(), "3");
        bar = view.findChild<QStatusBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_FALSE(bar->isVisible());
        expectEverythingFits(view);
        grab(view, "options.png");

        // The user types over the days (letters are swallowed) and picks the next port.
        tabInto(edits[0]);
        typeKeys(edits[0], "4x5");
        EXPECT_EQ(edits[0]->text(), "45");
        pressKey(combos[1], Qt::Key_Down);
        EXPECT_EQ(dlg.cmbCommPort.text(), "COM3");
        QPushButton* save = child<QPushButton>(view, "&Save");
        ASSERT_NE(save, nullptr);
        save->click();
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(statusShown);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(stored().PriorWarning(), 45);
    EXPECT_EQ(stored().CommPort(), 3);
    EXPECT_EQ(dlg.commPortOpened(), false);
}

TEST_F(SmallDialogsView, DefaultPriorWarnEscapeIsACancel) {
    settings.setPriorWarning(30);
    ui::Form owner("frmMain", "Wendra (win)");
    owner.setGeometry({1500, 1500, 9000, 6000});
    Opener opener;
    frmDefaultPriorWarn dlg(settings, services_, owner, opener);
    const bool ran = runShown<DefaultPriorWarnView>(
        dlg,
        [&](DefaultPriorWarnView& view) {
            EXPECT_EQ(view.windowTitle(), "Wendra (win)");
            auto* edit = view.findChild<QLineEdit*>();
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->text(), "30");
            expectEverythingFits(view);
            grab(view, "default-prior-warn.png");
            tabInto(edit);
            typeKeys(edit, "1-2");
            EXPECT_EQ(dlg.txtDaysInAdvance.text(), "12");
            pressKey(&view, Qt::Key_Escape);
        },
        &owner);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_TRUE(opener.flag);
    EXPECT_EQ(stored().PriorWarning(), 30);
}

TEST_F(SmallDialogsView, ModeDialogTestsOutlookAndLightsTheButtonUnderThePointer) {
    test::ScriptedOutlook outlook;
    outlook.calendarId = 1;
    frmMode dlg(settings, services_, outlook);
    const bool ran = runShown<ModeView>(dlg, [&](ModeView& view) {
        EXPECT_EQ(view.windowTitle(), "Select mode");
        QRadioButton* standalone = child<QRadioButton>(view, "Standalone");
        QRadioButton* outlookOption = child<QRadioButton>(view, "Connect to Microsoft Outlook");
        ASSERT_NE(standalone, nullptr);
        ASSERT_NE(outlookOption, nullptr);
        EXPECT_TRUE(standalone->isChecked());
        auto* bar = view.findChild<QStatusBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->isVisible());
        expectEverythingFits(view);
        grab(view, "mode.png");

        outlookOption->click();
        EXPECT_TRUE(outlookOption->isChecked());
        EXPECT_FALSE(standalone->isChecked());
        EXPECT_NE(child<QLabel>(*bar, "Connected to Microsoft Outlook - Press Save to continue."), nullptr);
        QPushButton* save = child<QPushButton>(view, "&Save");
        QPushButton* cancel = child<QPushButton>(view, "&Cancel");
        ASSERT_NE(save, nullptr);
        ASSERT_NE(cancel, nullptr);
        pointerOver(save);
        EXPECT_EQ(dlg.cmdSave.picture(), "imgSave2");
        EXPECT_EQ(save->icon().cacheKey(), view.images().icon("imgSave2").cacheKey());
        EXPECT_EQ(cancel->icon().cacheKey(), view.images().icon("imgCancel1").cacheKey());
        expectEverythingFits(view);
        grab(view, "mode-connected.png");
        save->click();
    });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_TRUE(stored().ModeOutlook());
    EXPECT_FALSE(stored().ModeWendraWin());
}

TEST_F(SmallDialogsView, AboutBoxShowsTheVersionAndClosesWithOk) {
    ui::Form owner("frmMain", "Wendra (win)");
    owner.setGeometry({1500, 1500, 9000, 6000});
    for (const auto variant : {frmAbout::Variant::Program, frmAbout::Variant::Library}) {
        frmAbout about(owner, variant);
        const bool ran = runShown<AboutView>(
            about,
            [&](AboutView& view) {
                EXPECT_EQ(view.windowTitle(), "About Wendra(win)");
                QLabel* version = child<QLabel>(view, ui::qt::toQString(about.lblVersion.caption()));
                ASSERT_NE(version, nullptr);
                EXPECT_TRUE(version->text().startsWith("Version: "));
                int pictures = 0;
                for (QLabel* l : view.findChildren<QLabel*>()) {
                    if (!l->pixmap().isNull()) ++pictures;
                }
                EXPECT_EQ(pictures, 2);
                expectEverythingFits(view);
                grab(view, variant == frmAbout::Variant::Program ? "about.png" : "about-library.png");
                QPushButton* ok = child<QPushButton>(view, "OK");
                ASSERT_NE(ok, nullptr);
                EXPECT_EQ(ok->icon().isNull(), variant == frmAbout::Variant::Program);
                ok->click();
            },
            &owner);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(about.isLoaded());
    }
}

}  // namespace
}  // namespace wendra
