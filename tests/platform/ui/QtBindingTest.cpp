#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "platform/ui/Commands.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/qt/QtBinders.h"
#include "platform/ui/qt/QtConvert.h"
#include "platform/ui/qt/QtGrab.h"
#include "platform/ui/qt/QtGrid.h"
#include "platform/ui/qt/QtServices.h"
#include "platform/ui/qt/QtWindow.h"

using namespace wendra::ui;
using namespace wendra::ui::qt;
using wendra::DateTime;

namespace {

// One application for the whole run, ended before the program's statics are.

// A click on a check or option button's own box.
void clickBox(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2)); }

// A dialog's logic as the forms write it.
class frmSample : public Form {
public:
    frmSample() : Form("frmSample", "Event Details") {
        setGeometry({0, 0, 7200, 6000});
        cmdSave.onClick = [this] {
            ++saves;
            unload();
        };
        txtInterval.onChange = [this] { lblInterval.setCaption(txtInterval.text() == "1" ? "week" : "weeks"); };
        optAllDay.onClick = [this](int i) { ctrlEventTime.setEnabled(i == 1); };
    }
    TextBox txtDesc{"txtDesc"};
    NumberBox txtInterval{"txtInterval", 1, 999, 1};
    Label lblInterval{"lblInterval", "week"};
    CheckBox chkAutoDelete{"chkAutoDelete", "Auto-delete after"};
    OptionGroup optAllDay{"optAllDayEvent", {"All day event", "Set time"}};
    ComboBox cmbCountdown{"cmbCountdown"};
    CommandButton cmdSave{"cmdSave", "&Save"};
    Frame frameInterval{"frameInterval", "Every"};
    TabStrip TabStrip1{"TabStrip1"};
    DatePicker ctrlEventDate{"ctrlEventDate"};
    TimePicker ctrlEventTime{"ctrlEventTime"};
    ProgressBar pbarLoading{"pbarLoading"};
    int saves = 0;
    bool refuseClose = false;
    int loads = 0;

protected:
    void formLoad() override { ++loads; }
    bool formQueryUnload() override { return !refuseClose; }
};

// Its view: the widgets and one binder each.
struct SampleView {
    explicit SampleView(frmSample& f, QWidget* window) {
        auto* layout = new QVBoxLayout(window);
        desc = new QLineEdit;
        number = new QtNumberBox;
        unit = new QLabel;
        check = new QCheckBox;
        allDay = new QRadioButton;
        setTime = new QRadioButton;
        combo = new QComboBox;
        save = new QPushButton;
        group = new QGroupBox;
        tabs = new QTabBar;
        date = new QDateEdit;
        time = new QTimeEdit;
        progress = new QProgressBar;
        auto* inGroup = new QVBoxLayout(group);
        inGroup->addWidget(number);
        inGroup->addWidget(unit);
        for (QWidget* w : std::initializer_list<QWidget*>{tabs, desc, group, check, allDay, setTime, combo, date, time, progress, save}) {
            layout->addWidget(w);
        }
        binders.push_back(std::make_unique<TextBoxBinder>(f.txtDesc, desc));
        binders.push_back(std::make_unique<NumberBoxBinder>(f.txtInterval, number));
        binders.push_back(std::make_unique<LabelBinder>(f.lblInterval, unit));
        binders.push_back(std::make_unique<CheckBoxBinder>(f.chkAutoDelete, check));
        binders.push_back(std::make_unique<ListBinder>(f.cmbCountdown, combo));
        binders.push_back(std::make_unique<ButtonBinder>(f.cmdSave, save));
        binders.push_back(std::make_unique<FrameBinder>(f.frameInterval, group));
        binders.push_back(std::make_unique<TabStripBinder>(f.TabStrip1, tabs));
        binders.push_back(std::make_unique<DateTimeBinder>(f.ctrlEventDate, date));
        binders.push_back(std::make_unique<DateTimeBinder>(f.ctrlEventTime, time));
        binders.push_back(std::make_unique<ProgressBinder>(f.pbarLoading, progress));
        options = std::make_unique<OptionGroupBinder>(f.optAllDay, std::vector<QRadioButton*>{allDay, setTime});
    }
    QLineEdit* desc;
    QtNumberBox* number;
    QLabel* unit;
    QCheckBox* check;
    QRadioButton* allDay;
    QRadioButton* setTime;
    QComboBox* combo;
    QPushButton* save;
    QGroupBox* group;
    QTabBar* tabs;
    QDateEdit* date;
    QTimeEdit* time;
    QProgressBar* progress;
    std::vector<std::unique_ptr<ControlBinder>> binders;
    std::unique_ptr<OptionGroupBinder> options;
};

void fill(frmSample& f) {
    f.TabStrip1.addTab("tabDesc", "&Desc-Date-Time");
    f.TabStrip1.addTab("tabOccurs", "&Occurs");
    f.TabStrip1.addTab("tabShow", "&Visibility");
    for (const char* t : {"Always", "When minimized", "Never"}) f.cmbCountdown.addItem(t);
    f.ctrlEventDate.setValue(DateTime::ymd(2026, 12, 7, 9, 30));
    f.ctrlEventTime.setValue(DateTime::ymd(2026, 12, 7, 9, 30));
    f.pbarLoading.setRange(0, 10);
    f.pbarLoading.setValue(4);
}

class UiQt : public ::testing::Test {};

}  // namespace

TEST_F(UiQt, ModelStateReachesTheWidgets) {
    frmSample f;
    fill(f);
    QWidget window;
    SampleView v(f, &window);
    f.txtDesc.setText("Dentist <10:00>");
    f.txtInterval.setText("2");
    f.chkAutoDelete.setChecked(true);
    f.optAllDay.select(1);
    f.cmbCountdown.setListIndex(2);
    f.frameInterval.setVisible(false);
    f.cmdSave.setEnabled(false);
    f.TabStrip1.select("tabShow");
    f.txtDesc.setBackColour(rgb(255, 255, 185));

    EXPECT_EQ(v.desc->text(), "Dentist <10:00>");
    EXPECT_EQ(v.number->lineEdit()->text(), "2");
    EXPECT_EQ(v.unit->text(), "weeks");  // the handler ran and its label followed
    EXPECT_TRUE(v.check->isChecked());
    EXPECT_TRUE(v.setTime->isChecked());
    EXPECT_FALSE(v.allDay->isChecked());
    EXPECT_EQ(v.combo->count(), 3);
    EXPECT_EQ(v.combo->currentText(), "Never");
    EXPECT_TRUE(v.group->isHidden());
    EXPECT_FALSE(v.save->isEnabled());
    EXPECT_EQ(v.save->text(), "&Save");
    EXPECT_EQ(v.tabs->count(), 3);
    EXPECT_EQ(v.tabs->currentIndex(), 2);
    EXPECT_EQ(v.date->date(), QDate(2026, 12, 7));
    EXPECT_EQ(v.time->displayFormat(), "HH:mm");
    EXPECT_EQ(v.time->time(), QTime(9, 30));
    EXPECT_EQ(v.progress->value(), 4);
    EXPECT_EQ(v.desc->palette().color(QPalette::Base), QColor(255, 255, 185));
    f.optAllDay.select(0);
    EXPECT_TRUE(v.allDay->isChecked());
    EXPECT_FALSE(v.setTime->isChecked());
}

TEST_F(UiQt, TheUsersActionsReachTheModelAndItsHandlers) {
    frmSample f;
    fill(f);
    QWidget window;
    SampleView v(f, &window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Typed keys pass the number box's filter; the text and its handler follow.
    QTest::keyClicks(v.number->lineEdit(), "1a2-");
    EXPECT_EQ(f.txtInterval.text(), "12");
    EXPECT_EQ(v.number->lineEdit()->text(), "12");
    EXPECT_EQ(f.lblInterval.caption(), "weeks");
    QTest::keyClick(v.number->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(f.txtInterval.text(), "1");
    EXPECT_EQ(v.unit->text(), "week");
    QTest::mouseClick(v.number->upButton(), Qt::LeftButton);
    EXPECT_EQ(f.txtInterval.text(), "2");
    f.txtInterval.setText("999");
    QTest::mouseClick(v.number->upButton(), Qt::LeftButton);
    EXPECT_EQ(v.number->lineEdit()->text(), "999");

    QTest::keyClicks(v.desc, "Dentist");
    EXPECT_EQ(f.txtDesc.text(), "Dentist");
    EXPECT_EQ(f.txtDesc.selStart(), 7u);  // the cursor stays where the user typed
    // A leading U+FEFF is the text's own first character, kept through an edit.
    f.txtDesc.setText("\xEF\xBB\xBF" "Bins");
    QTest::keyClick(v.desc, Qt::Key_End);
    QTest::keyClicks(v.desc, " out");
    EXPECT_EQ(f.txtDesc.text(), "\xEF\xBB\xBF" "Bins out");

    clickBox(v.setTime);
    EXPECT_EQ(f.optAllDay.selected(), 1);
    EXPECT_TRUE(f.ctrlEventTime.enabled());
    clickBox(v.allDay);
    EXPECT_EQ(f.optAllDay.selected(), 0);
    EXPECT_FALSE(v.setTime->isChecked());
    EXPECT_FALSE(v.time->isEnabled());  // the handler disabled the time picker, and its widget followed

    clickBox(v.check);
    EXPECT_TRUE(f.chkAutoDelete.checked());
    Q_EMIT v.combo->activated(1);
    EXPECT_EQ(f.cmbCountdown.listIndex(), 1);
    v.tabs->setCurrentIndex(1);
    EXPECT_EQ(f.TabStrip1.selectedKey(), "tabOccurs");
    v.date->setDate(QDate(2027, 2, 15));
    EXPECT_EQ(f.ctrlEventDate.value(), DateTime::ymd(2027, 2, 15, 9, 30));  // the time part stays

    f.show();
    QTest::mouseClick(v.save, Qt::LeftButton);
    EXPECT_EQ(f.saves, 1);
    f.cmdSave.setEnabled(false);
    QTest::mouseClick(v.save, Qt::LeftButton);
    EXPECT_EQ(f.saves, 1);
}

TEST_F(UiQt, FocusSelectsTheWholeNumber) {
    frmSample f;
    QWidget window;
    SampleView v(f, &window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    f.txtInterval.setText("42");
    QTest::mouseClick(v.number->lineEdit(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(f.txtInterval.hasFocus());
    EXPECT_EQ(v.number->lineEdit()->selectedText(), "42");
    QTest::keyClick(v.number->lineEdit(), '7');
    EXPECT_EQ(f.txtInterval.text(), "7");
    // Code moving the focus moves the widget's focus too.
    f.txtDesc.setFocus();
    EXPECT_TRUE(v.desc->hasFocus());
    QApplication::processEvents();
    EXPECT_FALSE(f.txtInterval.hasFocus());
}

TEST_F(UiQt, GridViewDrawsTheGridModel) {
    Grid grid("msGrid", 0, 8);
    grid.addItem("\t\t\tDays To\tDescription\tTime\tDate\tDay");
    grid.setFixedRows(1);
    grid.setBackColour(0x80FFFF);
    grid.addItem("k1\t1\t\t-2\t2 days past, Dentist\t09:00\t05-Mar-24\tTue");
    grid.addItem("k2\t2\t\t-2\t2 days past, Gym\t18:00\t05-Mar-24\tTue");
    grid.addItem("k3\t3\t\t12\tOnly 12 days to Boat show\t     \t19-Mar-24\tTue");
    for (int c : {0, 1, 2}) grid.setColWidth(c, 0);
    grid.setColWidth(4, 2880);
    grid.setColAlignment(3, Alignment::CenterCenter);
    grid.setCellForeColourAt(1, 3, colours::white);
    grid.setCellBackColourAt(1, 3, colours::red);
    grid.setMergeCells(MergeCells::Free);
    grid.setMergeCol(6, true);
    int rowChanges = 0, doubleClicks = 0;
    grid.onRowColChange = [&] { ++rowChanges; };
    grid.onDblClick = [&] { ++doubleClicks; };

    QtGridView view(grid);
    view.resize(600, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QtGridModel* m = view.gridModel();
    EXPECT_EQ(m->rowCount(), 3);  // the heading is the table's header
    EXPECT_TRUE(view.horizontalHeader()->isVisible());
    EXPECT_EQ(m->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), "Description");
    EXPECT_TRUE(view.isColumnHidden(0));
    EXPECT_TRUE(view.isColumnHidden(2));
    EXPECT_FALSE(view.isColumnHidden(4));
    EXPECT_EQ(view.columnWidth(4), twipsToPixelsX(2880, &view));
    EXPECT_EQ(view.rowSpan(0, 6), 2);
    EXPECT_EQ(view.rowSpan(2, 6), 1);
    EXPECT_EQ(m->data(m->index(0, 3), Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(m->data(m->index(0, 4), Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 128));
    EXPECT_EQ(m->data(m->index(0, 3), Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter | Qt::AlignVCenter));

    // Nothing is redrawn while redraw is off; all of it once it is on again.
    grid.setRedraw(false);
    grid.addItem("k4\t4\t\t20\tDinner\t19:00\t19-Mar-24\tTue");
    EXPECT_EQ(m->rowCount(), 3);
    grid.setRedraw(true);
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(view.rowSpan(2, 6), 2);

    // A click moves the grid's current cell and runs its handler; a double click too.
    const QRect cell = view.visualRect(m->index(1, 4));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 4);
    EXPECT_GE(rowChanges, 1);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(doubleClicks, 1);
    grid.setRow(3);
    EXPECT_EQ(view.currentIndex().row(), 2);

    QTemporaryDir dir;
    const QString png = wendra::test::grabPath(dir.path(), "ui_grid.png");
    ASSERT_TRUE(grabToPng(view, fromQString(png)));
    EXPECT_GT(QFileInfo(png).size(), 1000);
}

// A long list's equal dates are merged where the list is scrolled to, and where a
// cell written changes them; what lies far out of view waits until it comes into view.
TEST_F(UiQt, GridViewMergesTheRowsInViewOfALongList) {
    Grid grid("msGrid", 0, 2);
    for (int r = 0; r < 3000; ++r) grid.addItem("k\t" + std::to_string(r / 2));
    grid.setMergeCells(MergeCells::Free);
    grid.setMergeCol(1, true);
    QtGridView view(grid);
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.rowSpan(0, 1), 2);
    EXPECT_EQ(view.rowSpan(2800, 1), 1);
    view.verticalScrollBar()->setValue(2800);
    EXPECT_EQ(grid.topRow(), 2800);
    EXPECT_EQ(view.rowSpan(2800, 1), 2);
    EXPECT_EQ(view.rowSpan(2802, 1), 2);
    grid.setTextMatrix(2802, 1, "1400");
    EXPECT_EQ(view.rowSpan(2800, 1), 3);
    grid.setTopRow(10);
    EXPECT_EQ(view.rowSpan(10, 1), 2);
}

TEST_F(UiQt, ToolbarStatusBarAndMenusFollowTheirCommands) {
    QMainWindow window;
    Toolbar toolbar("Toolbar1");
    StatusBar status("StatusBar1");
    QtImageList images;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    images.add("imgNew", QIcon(red));
    toolbar.addButton("toolbarOutlookStatus", "", "", CommandStyle::Placeholder).setWidth(2465);
    toolbar.addButton("toolbarNew", "New Event", "imgNew");
    toolbar.addButton("toolbarShrink", "Shrink past events", "imgShrink", CommandStyle::ButtonGroup);
    std::vector<std::string> clicked;
    toolbar.onButtonClick = [&](Command& b) { clicked.push_back(b.name()); };
    status.addPanel("mode", "Mode: Wendra (win)", PanelAutoSize::Spring);
    status.addPanel("comm");

    Command mnuTools("mnuTools", "&Options");
    Command mnuAlarm("mnuAlarm", "&Alarm", "Ctrl+A");
    mnuTools.add(mnuAlarm);
    MenuBar menus;
    menus.add(mnuTools);
    mnuAlarm.onClick = [&] { mnuAlarm.setChecked(!mnuAlarm.checked()); };

    auto* tb = window.addToolBar("main");
    ToolbarBinder toolbarView(toolbar, tb, &images);
    StatusBarBinder statusView(status, window.statusBar(), &images);
    MenuBinder menuView(menus, window.menuBar());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QAction* newAction = toolbarView.action("toolbarNew");
    ASSERT_NE(newAction, nullptr);
    EXPECT_EQ(newAction->toolTip(), "New Event");
    EXPECT_FALSE(newAction->icon().isNull());
    EXPECT_EQ(toolbarView.placeholder("toolbarOutlookStatus")->width(), twipsToPixelsX(2465, tb));
    newAction->trigger();
    toolbarView.action("toolbarShrink")->trigger();
    EXPECT_EQ(clicked, (std::vector<std::string>{"toolbarNew", "toolbarShrink"}));
    EXPECT_TRUE(toolbar.button("toolbarShrink")->checked());
    EXPECT_TRUE(toolbarView.action("toolbarShrink")->isChecked());
    toolbar.button("toolbarNew")->setVisible(false);
    EXPECT_FALSE(newAction->isVisible());

    status.setText(2, "Sync: In progress...");
    EXPECT_EQ(statusView.panelLabel(2)->text(), "Sync: In progress...");
    EXPECT_EQ(statusView.panelLabel(1)->text(), "Mode: Wendra (win)");
    // A click on a panel's text reaches the model with the panel's number.
    std::vector<int> panelClicks;
    status.onPanelClick = [&](int number) { panelClicks.push_back(number); };
    QTest::mouseClick(statusView.panelLabel(2), Qt::LeftButton);
    QTest::mouseClick(statusView.panelLabel(1), Qt::LeftButton);
    QTest::mouseClick(statusView.panelLabel(2), Qt::RightButton);
    EXPECT_EQ(panelClicks, (std::vector<int>{2, 1}));

    QAction* alarm = menuView.action("mnuAlarm");
    ASSERT_NE(alarm, nullptr);
    EXPECT_EQ(alarm->shortcut(), QKeySequence("Ctrl+A"));
    alarm->trigger();
    EXPECT_TRUE(mnuAlarm.checked());
    EXPECT_TRUE(alarm->isChecked());
    alarm->trigger();
    EXPECT_FALSE(alarm->isChecked());  // the handler, not the click, decides the mark
    mnuAlarm.setEnabled(false);
    EXPECT_FALSE(alarm->isEnabled());
}

TEST_F(UiQt, WindowFollowsItsFormAndGrabsToPng) {
    frmSample f;
    fill(f);
    QWidget window;
    SampleView v(f, &window);
    WindowBinder binder(f, &window);
    f.setGeometry({1440, 1440, 7200, 8640});
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), "Event Details");
    EXPECT_EQ(window.frameGeometry().width(), twipsToPixelsX(7200, &window));
    f.setCaption("Wendra(win) - 7 Dec 2026 09:30");
    EXPECT_EQ(window.windowTitle(), "Wendra(win) - 7 Dec 2026 09:30");
    {
        BusyPointer busy(f);
        EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    }
    window.resize(400, 500);  // the user's resize reaches the form, frame included
    EXPECT_EQ(f.width(), pixelsToTwipsX(window.frameGeometry().width(), &window));

    QtWindowPlacement placement;
    EXPECT_TRUE(placement.setAlwaysOnTop(f, true));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_GT(placement.screenWidth(), 0);
    Form unbound("frmAbout");
    EXPECT_FALSE(placement.setAlwaysOnTop(unbound, true));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = wendra::test::grabPath(dir.path(), "ui_window.png");
    ASSERT_TRUE(grabToPng(window, fromQString(png)));
    const QFileInfo info(png);
    EXPECT_TRUE(info.exists());
    EXPECT_GT(info.size(), 1000);

    // The close box asks the form, which may refuse.
    f.refuseClose = true;
    window.close();
    EXPECT_TRUE(window.isVisible());
    f.refuseClose = false;
    window.close();
    EXPECT_FALSE(f.isLoaded());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(UiQt, DialogRunnerEndsWhenTheFormUnloads) {
    QtDialogRunner runner;
    QPushButton* saveButton = nullptr;
    std::unique_ptr<ButtonBinder> saveBinder;
    runner.registerView("frmSample", [&](Form& form, QWidget* parent) {
        auto& f = static_cast<frmSample&>(form);
        auto dlg = std::make_unique<QtFormDialog>(form, parent);
        auto* layout = new QVBoxLayout(dlg.get());
        saveButton = new QPushButton;
        layout->addWidget(saveButton);
        saveBinder = std::make_unique<ButtonBinder>(f.cmdSave, saveButton);
        return dlg;
    });
    frmSample f;
    QTimer::singleShot(0, [&] { QTest::mouseClick(saveButton, Qt::LeftButton); });
    runner.showModal(f);
    EXPECT_EQ(f.loads, 1);
    EXPECT_EQ(f.saves, 1);
    EXPECT_FALSE(f.isLoaded());

    // Escape is the close box: a form that refuses it stays open until it agrees.
    frmSample g;
    g.refuseClose = true;
    QTimer::singleShot(0, [&] {
        QWidget* dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        QTest::keyClick(dlg, Qt::Key_Escape);
        EXPECT_TRUE(g.isLoaded());
        g.refuseClose = false;
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    runner.showModal(g);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(g.saves, 0);
    saveBinder.reset();
}

TEST_F(UiQt, ADialogWithoutASizeOfItsOwnKnowsItsViewsSizeWhenItLoads) {
    // A load that centres the dialog needs its size; the view is made first to give it.
    class frmAbout : public Form {
    public:
        frmAbout() : Form("frmAbout", "About Wendra(win)") {}
        int widthAtLoad = -1;

    protected:
        void formLoad() override {
            widthAtLoad = width();
            unload();  // a load may close its dialog at once: no modal run follows
        }
    };
    QtDialogRunner runner;
    runner.registerView("frmAbout", [](Form& form, QWidget* parent) {
        auto dlg = std::make_unique<QtFormDialog>(form, parent);
        auto* layout = new QVBoxLayout(dlg.get());
        auto* label = new QLabel("Wendra(go) provides much of the same functionality of Wendra(win)");
        layout->addWidget(label);
        return dlg;
    });
    frmAbout about;
    runner.showModal(about);
    EXPECT_GT(about.widthAtLoad, 0);
    EXPECT_FALSE(about.isLoaded());
    frmSample unregistered;
    runner.showModal(unregistered);  // no view for it: nothing runs
    EXPECT_EQ(unregistered.loads, 0);
}

TEST_F(UiQt, MessageBoxAnswersWithTheButtonPressed) {
    QtMessageBox box;
    QTimer::singleShot(0, [] {
        auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(mb, nullptr);
        EXPECT_EQ(mb->text(), "Continue ?");
        EXPECT_EQ(mb->windowTitle(), "Confirm ?");
        EXPECT_EQ(mb->icon(), QMessageBox::Question);
        mb->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(box.show("Continue ?", MessageButtons::YesNo, MessageIcon::Question, "Confirm ?"), MessageAnswer::No);
}

TEST_F(UiQt, QtTimersTickAndTextIsMeasuredInTwips) {
    QtTimerService service;
    Timer t(service, "t", 5);
    int ticks = 0;
    t.onTimer = [&] {
        if (++ticks == 2) t.setEnabled(false);
    };
    for (int i = 0; i < 200 && ticks < 2; ++i) QTest::qWait(5);
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(t.running());

    QtTextMetrics metrics;
    const Font font{"DejaVu Sans", 9, false, false};
    const int four = metrics.textWidth(font, "****");
    EXPECT_GT(four, 0);
    EXPECT_NEAR(metrics.textWidth(font, "********"), 2 * four, 30);
    Font bigger = font;
    bigger.size = 18;
    EXPECT_GT(metrics.textHeight(bigger, "A"), metrics.textHeight(font, "A"));
}
