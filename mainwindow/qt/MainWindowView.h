#pragma once

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/frmMain.h"
#include "mainwindow/qt/MainMenus.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtGrid.h"
#include "platform/ui/qt/QtWindow.h"

class QFrame;
class QLabel;
class QPushButton;
class QToolBar;

namespace wendra::mainwindow::qt {

// The keys of the main window's image list (ImageList2), the pictures the toolbar,
// the status bar and the other windows name; "imgAlarm2" is the alarm button's
// picture in the window's design.
const std::vector<std::string>& imageList2Keys();

// The file of a key's own picture in the icon folder: "imgNew.png" (with an
// "imgNew@2x.png" beside it for dense screens).
std::filesystem::path iconFile(const std::filesystem::path& iconFolder, const std::string& key);

// The image list: for each key the desktop icon theme's picture where the theme has
// a fitting one, else the program's own picture from the icon folder.
ui::qt::QtImageList loadImageList2(const std::filesystem::path& iconFolder);

// The main window drawn by Qt: the menu bar, the toolbar with the Outlook status
// picture in its first slot, the error banner, the list grid and the status bar.
//
// Inside the window the controls stand where the form's layout puts them, in twips
// converted at the screen's resolution: the toolbar across the top, the banner under
// it and the grid below. The view reports the bars' real heights to the form and lays
// it out again when they change. The window's height follows what it shows (the menu
// bar, the grid's bottom and the status bar), so the list is never cut by a caption
// bar taller or shorter than the layout's allowance for it. Its width is never less
// than the status bar needs for the whole text of each panel. The banner is as tall
// as its text, wrapped at its width.
//
// The minimal display keeps the caption alone on screen. A window can never be 0
// pixels high (the window system would unmap it, and F2 could no longer reach
// it): under a window manager the window keeps one pixel under its title bar;
// where nothing draws a title bar, the window shows its caption itself, in a
// line of the minimal display's own font.
class MainWindowView final : public QMainWindow {
public:
    MainWindowView(frmMain& form, const std::filesystem::path& iconFolder, QWidget* parent = nullptr);
    ~MainWindowView() override;

    frmMain& form() const { return form_; }
    const ui::qt::QtImageList& images() const { return images_; }
    QToolBar* toolbar() const { return toolbar_; }
    ui::qt::ToolbarBinder& toolbarBinder() const { return *toolbarBinder_; }
    ui::qt::StatusBarBinder& statusBinder() const { return *statusBinder_; }
    ui::qt::MenuBinder& menuBinder() const { return *menuBinder_; }
    ui::qt::QtGridView* grid() const { return grid_; }
    QFrame* banner() const { return banner_; }
    QLabel* bannerText() const { return bannerText_; }
    QLabel* outlookStatus() const { return outlookStatus_; }
    QWidget* client() const { return client_; }
    // The caption line the minimal display shows where the window system draws none.
    QLabel* captionStrip() const { return captionStrip_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeToolbar();
    void reportBars();
    void fitHeight();
    void fitStatusWidth();
    void fitBanner();

    frmMain& form_;
    ui::qt::QtImageList images_;
    QWidget* client_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QFrame* banner_ = nullptr;
    QLabel* bannerText_ = nullptr;
    QPushButton* bannerClose_ = nullptr;
    QLabel* outlookStatus_ = nullptr;
    ui::qt::QtGridView* grid_ = nullptr;
    QLabel* captionStrip_ = nullptr;

    std::unique_ptr<ui::qt::ToolbarBinder> toolbarBinder_;
    std::unique_ptr<ui::qt::PictureBinder> outlookStatusBinder_;
    std::unique_ptr<ui::qt::ControlBinder> bannerBinder_;
    std::unique_ptr<ui::qt::LabelBinder> bannerTextBinder_;
    std::unique_ptr<ui::qt::ButtonBinder> bannerCloseBinder_;
    std::unique_ptr<ui::qt::StatusBarBinder> statusBinder_;
    std::unique_ptr<ui::qt::MenuBinder> menuBinder_;
    std::unique_ptr<MainMenus> menus_;
    std::unique_ptr<ui::qt::WindowBinder> windowBinder_;
    ui::Subscription gridWatch_;
    ui::Subscription bannerWatch_;
    bool reporting_ = false;
    bool fittingBanner_ = false;
};

}  // namespace wendra::mainwindow::qt
