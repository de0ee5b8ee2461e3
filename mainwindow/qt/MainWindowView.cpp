#include "mainwindow/qt/MainWindowView.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <system_error>

#include "mainwindow/qt/EventGridDelegate.h"
#include "platform/ui/qt/QtConvert.h"

namespace wendra::mainwindow::qt {

namespace fs = std::filesystem;
using namespace ui::qt;

namespace {

// The desktop theme's names for each picture, tried in order.
struct ThemePicture {
    const char* key;
    std::vector<const char*> themeNames;
};

const std::vector<ThemePicture>& themePictures() {
    static const std::vector<ThemePicture> pictures{
        {"imgNew", {"document-new"}},
        {"imgDelete", {"edit-delete"}},
        {"imgEditSeries", {"document-edit", "document-properties"}},
        {"imgEditOccur", {"x-office-calendar", "appointment-new"}},
        {"imgOutlook", {"x-office-calendar"}},
        {"imgVisibility", {"view-reveal"}},
        {"imgNoOutlook", {}},
        {"imgWendraWin", {}},
        {"imgHide", {"view-conceal"}},
        {"imgRefresh", {"view-refresh"}},
        {"imgExpand", {"zoom-in"}},
        {"imgShrink", {"zoom-out"}},
        {"imgCommErr", {"network-error"}},
        {"imgCommOK", {"network-transmit-receive"}},
        {"imgSyncInProgress", {"emblem-synchronizing"}},
        {"imgAlarmCrap", {}},
        {"imgAlarm", {"appointment-soon", "alarm"}},
        {"imgAlarmOff", {"appointment-missed"}},
        {"imgFontx", {}},
        {"imgFont", {"preferences-desktop-font"}},
        {"imgAlarm2", {"appointment-soon", "alarm"}},
    };
    return pictures;
}

QString pathText(const fs::path& p) { return QString::fromStdString(p.string()); }

// A theme picture that the theme can also draw (a theme of pictures this Qt cannot
// read counts as none).
QIcon themeIcon(const std::vector<const char*>& names) {
    for (const char* name : names) {
        if (!QIcon::hasThemeIcon(QString::fromLatin1(name))) continue;
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.pixmap(16, 16).isNull()) return icon;
    }
    return {};
}

}  // namespace

const std::vector<std::string>& imageList2Keys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (const auto& p : themePictures()) k.emplace_back(p.key);
        return k;
    }();
    return keys;
}

fs::path iconFile(const fs::path& iconFolder, const std::string& key) { return iconFolder / (key + ".png"); }

QtImageList loadImageList2(const fs::path& iconFolder) {
    QtImageList images;
    for (const auto& p : themePictures()) {
        QIcon icon = themeIcon(p.themeNames);
        if (icon.isNull()) {
            std::error_code ec;
            const fs::path file = iconFile(iconFolder, p.key);
            if (fs::is_regular_file(file, ec)) {
                icon.addFile(pathText(file));
                const fs::path dense = iconFolder / (std::string(p.key) + "@2x.png");
                if (fs::is_regular_file(dense, ec)) icon.addFile(pathText(dense));
            }
        }
        if (!icon.isNull()) images.add(p.key, icon);
    }
    return images;
}

MainWindowView::MainWindowView(frmMain& form, const fs::path& iconFolder, QWidget* parent)
    : QMainWindow(parent), form_(form), images_(loadImageList2(iconFolder)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(images_.icon("imgWendraWin"));
    // The form's font is the list's; the bars and the banner keep the desktop's.
    const QFont desktop = QApplication::font();
    menuBar()->setFont(desktop);
    statusBar()->setFont(desktop);
    statusBar()->setSizeGripEnabled(false);  // the height follows the list, not the hand

    client_ = new QWidget(this);
    setCentralWidget(client_);

    toolbar_ = new QToolBar(client_);
    toolbar_->setFont(desktop);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbarBinder_ = std::make_unique<ToolbarBinder>(form.Toolbar1, toolbar_, &images_);
    if (QWidget* slot = toolbarBinder_->placeholder("toolbarOutlookStatus")) {
        auto* row = new QHBoxLayout(slot);
        row->setContentsMargins(4, 0, 4, 0);
        outlookStatus_ = new QLabel(slot);
        outlookStatus_->setFixedSize(16, 16);
        row->addWidget(outlookStatus_);
        row->addStretch(1);
        outlookStatusBinder_ = std::make_unique<PictureBinder>(form.picOutlookStatus, outlookStatus_, images_);
    }

    banner_ = new QFrame(client_);
    banner_->setFont(desktop);
    banner_->setFrameShape(QFrame::StyledPanel);
    banner_->setAutoFillBackground(true);
    banner_->setBackgroundRole(QPalette::ToolTipBase);
    bannerText_ = new QLabel(banner_);
    bannerText_->setForegroundRole(QPalette::ToolTipText);
    bannerClose_ = new QPushButton(banner_);
    bannerClose_->setFlat(true);
    bannerBinder_ = std::make_unique<ControlBinder>(form.frameError, banner_);
    bannerTextBinder_ = std::make_unique<LabelBinder>(form.lblError, bannerText_);
    bannerCloseBinder_ = std::make_unique<ButtonBinder>(form.cmdErrorClose, bannerClose_);
    // The banner's top edge slips under the toolbar, as the layout overlaps them.
    banner_->stackUnder(toolbar_);

    grid_ = new QtGridView(form.msGrid, client_);
    attachEventGridDelegate(*grid_);

    captionStrip_ = new QLabel(this);
    captionStrip_->setObjectName(QStringLiteral("captionStrip"));
    QFont captionFont = desktop;
    captionFont.setPointSize(10);
    captionFont.setBold(true);
    captionStrip_->setFont(captionFont);
    captionStrip_->setContentsMargins(6, 3, 6, 3);
    captionStrip_->setAutoFillBackground(true);
    captionStrip_->setBackgroundRole(QPalette::Highlight);
    captionStrip_->setForegroundRole(QPalette::HighlightedText);
    captionStrip_->setTextFormat(Qt::PlainText);
    captionStrip_->hide();

    statusBinder_ = std::make_unique<StatusBarBinder>(form.StatusBar1, statusBar(), &images_);
    menuBinder_ = std::make_unique<MenuBinder>(form.menuBar, menuBar());
    menus_ = std::make_unique<MainMenus>(form, *this, *menuBinder_, [this] { fitHeight(); });

    client_->installEventFilter(this);
    toolbar_->installEventFilter(this);
    statusBar()->installEventFilter(this);
    menuBar()->installEventFilter(this);
    gridWatch_ = form.msGrid.subscribe([this] { fitHeight(); });
    bannerWatch_ = form.lblError.subscribe([this] { fitBanner(); });

    windowBinder_ = std::make_unique<WindowBinder>(form, this);
    placeToolbar();
    fitHeight();
}

MainWindowView::~MainWindowView() {
    // The binders go before the widgets they mirror, and the form stays.
    gridWatch_.reset();
    bannerWatch_.reset();
    windowBinder_.reset();
    menus_.reset();
    menuBinder_.reset();
    statusBinder_.reset();
    bannerCloseBinder_.reset();
    bannerTextBinder_.reset();
    bannerBinder_.reset();
    outlookStatusBinder_.reset();
    toolbarBinder_.reset();
}

void MainWindowView::placeToolbar() {
    const int h = toolbar_->sizeHint().height();
    if (toolbar_->geometry() != QRect(0, 0, client_->width(), h)) toolbar_->setGeometry(0, 0, client_->width(), h);
    reportBars();
}

void MainWindowView::reportBars() {
    if (reporting_) return;
    reporting_ = true;
    // The heights the layout works with are those the bars ask for, which they get:
    // the toolbar from this view, the status bar from the window.
    const ui::Geometry bar{0, 0, pixelsToTwipsX(client_->width(), this),
                           pixelsToTwipsY(toolbar_->sizeHint().height(), this)};
    const ui::Geometry status{0, 0, pixelsToTwipsX(width(), this),
                              statusBar()->isVisibleTo(this) ? pixelsToTwipsY(statusBar()->sizeHint().height(), this)
                                                             : 0};
    const bool changed = bar.height != form_.Toolbar1.height() || status.height != form_.StatusBar1.height();
    form_.Toolbar1.geometryFromView(bar);
    form_.StatusBar1.geometryFromView(status);
    if (changed && form_.isLoaded()) guarded("main window layout", [this] { form_.layoutForm(); });
    reporting_ = false;
    fitHeight();
}

void MainWindowView::fitHeight() {
    const ui::Geometry g = form_.msGrid.geometry();
    const int toolbarBottom = toolbar_->geometry().bottom() + 1;
    const int gridBottom = form_.msGrid.hasGeometry() ? twipsToPixelsY(g.top + std::max(0, g.height), this) : 0;
    // A hidden client area (the minimal display) takes no height.
    const int content = client_->isVisibleTo(this) ? std::max(toolbarBottom, gridBottom) : 0;
    if (client_->minimumHeight() != content || client_->maximumHeight() != content) client_->setFixedHeight(content);
    const int menu = menuBar()->isVisibleTo(this) ? menuBar()->sizeHint().height() : 0;
    const int status = statusBar()->isVisibleTo(this) ? statusBar()->sizeHint().height() : 0;
    int total = menu + content + status;
    if (form_.state().gMinimalDisplay) {
        // A frame taller than the window is a title bar drawn by a window manager.
        const bool titled = isVisible() && frameGeometry().height() > geometry().height();
        if (!titled) {
            captionStrip_->setText(windowTitle());
            captionStrip_->setGeometry(0, 0, width(), captionStrip_->sizeHint().height());
            captionStrip_->raise();
        }
        captionStrip_->setVisible(!titled);
        total = std::max(titled ? 1 : captionStrip_->sizeHint().height(), total);
    } else {
        captionStrip_->hide();
    }
    if (minimumHeight() != total || maximumHeight() != total) setFixedHeight(total);
}

void MainWindowView::fitBanner() {
    // A label sized to its text: a message of two lines, or one that wraps, shows
    // whole. The form lays out the banner and the list from the label's height.
    if (fittingBanner_ || !form_.frameError.visible()) return;
    const int width = twipsToPixelsX(form_.lblError.width(), this);
    if (width <= 0) return;
    const int needed = pixelsToTwipsY(bannerText_->heightForWidth(width), this);
    if (needed <= 0 || needed == form_.lblError.height()) return;
    fittingBanner_ = true;
    guarded("banner layout", [this, needed] {
        form_.lblError.setHeight(needed);
        form_.showError(form_.lblError.caption());
    });
    fittingBanner_ = false;
}

void MainWindowView::fitStatusWidth() {
    // The user's width stands, but not below the whole text of each panel: the
    // longest ("Mode: MSOutlook          [Checking for updates]") is wider than
    // what the port's panel leaves of the design width. A window narrower than
    // that grows, and the form hears of it as of any other resize.
    const int need = statusBar()->isVisibleTo(this) ? statusBar()->minimumSizeHint().width() : 0;
    if (minimumWidth() != need) setMinimumWidth(need);
}

void MainWindowView::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && captionStrip_ != nullptr) captionStrip_->setText(windowTitle());
}

void MainWindowView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (captionStrip_ != nullptr && captionStrip_->isVisible())
        captionStrip_->setGeometry(0, 0, width(), captionStrip_->height());
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == client_ && type == QEvent::Resize) {
        placeToolbar();
    } else if ((watched == toolbar_ || watched == statusBar() || watched == menuBar()) &&
               (type == QEvent::LayoutRequest || type == QEvent::Show || type == QEvent::Hide ||
                type == QEvent::FontChange)) {
        if (watched == statusBar()) fitStatusWidth();
        placeToolbar();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace wendra::mainwindow::qt
