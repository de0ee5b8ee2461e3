// The shared library as the gadget host meets it: loaded at run time, reached
// through its one entry point, its classes created by name and its errors caught
// as WendraGadget::Error. The public header comes first: it needs nothing else.
#include "gadget/WendraGadget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "Version.h"
#include "platform/clock/Names.h"
#include "platform/db/Schema.h"
#include "platform/settings/FileSettingsStore.h"
#include "platform/shell/InstalledNames.h"
#include "platform/shell/ProgramFolder.h"
#include "platform/shell/SharedLibrary.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/Events.h"
#include "tests/support/QtDialogRun.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {
namespace {

namespace fs = std::filesystem;

// The user's configuration folder is one of the test's own from the start: the
// library reads and writes the settings of whoever runs it.
class OwnConfigFolder final : public ::testing::Environment {
public:
    void SetUp() override { env_.set("XDG_CONFIG_HOME", folder_.path().c_str()); }

private:
    TempFolder folder_;
    EnvironmentOverride env_;
};
::testing::Environment* const kOwnConfigFolder = ::testing::AddGlobalTestEnvironment(new OwnConfigFolder);

// The library beside the tests, loaded once for the program (it brings Qt along).
const WendraGadget::Library* library(std::uint32_t interfaceVersion = WendraGadget::kInterfaceVersion) {
    static shell::SharedLibrary so(shell::programFolder() / shell::installed::kGadgetLibrary,
                                   shell::SharedLibrary::Unload::Never);
    EXPECT_TRUE(so.loaded()) << so.error();
    auto entry = reinterpret_cast<WendraGadget::EntryPoint>(so.symbol(WendraGadget::kEntryPointName));
    EXPECT_NE(entry, nullptr);
    return entry != nullptr ? entry(interfaceVersion) : nullptr;
}

TEST(GadgetLibrary, TheEntryPointGivesTheVersionAndCreatesTheClassesByName) {
    ASSERT_NE(library(), nullptr);
    EXPECT_EQ(library(WendraGadget::kInterfaceVersion + 1), nullptr);
    const WendraGadget::Version v = library()->version();
    EXPECT_EQ(std::make_tuple(v.major, v.minor, v.revision),
              std::make_tuple(kVersionMajor, kVersionMinor, kVersionPatch));

    for (const std::string_view name : shell::installed::kGadgetClasses) {
        const std::unique_ptr<WendraGadget::Object> object = library()->create(name);
        ASSERT_NE(object, nullptr) << name;
        const int kinds =
            (object->asHTML() != nullptr) + (object->asGrid() != nullptr) + (object->asColumns() != nullptr);
        EXPECT_EQ(kinds, 1) << name;
    }
    EXPECT_NE(library()->create(WendraGadget::kClsHTML)->asHTML(), nullptr);
    EXPECT_NE(library()->create("wendragadget.CLSGRID")->asGrid(), nullptr);
    EXPECT_NE(library()->create(WendraGadget::kClsColumns)->asColumns(), nullptr);
    EXPECT_EQ(library()->create("WendraGadget.clsMain"), nullptr);
    EXPECT_EQ(library()->create(""), nullptr);
}

TEST(GadgetLibrary, ErrorsCrossTheCallWithTheirNumbers) {
    const auto object = library()->create(WendraGadget::kClsGrid);
    WendraGadget::clsGrid& grid = *object->asGrid();
    grid.addItem("key\tsort");
    struct Case {
        std::function<void()> call;
        std::int32_t number;
    };
    const Case cases[] = {
        {[&] { grid.textMatrix(1, 0); }, WendraGadget::errors::InvalidArgument},
        {[&] { grid.setGridColors(1, 8, 0, 0); }, WendraGadget::errors::SubscriptOutOfRange},
        {[&] { grid.addItem("0\t1\t2\t3\t4\t5\t6\t7\t8"); }, WendraGadget::errors::SubscriptOutOfRange},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no error " << c.number;
        } catch (const WendraGadget::Error& e) {
            EXPECT_EQ(e.number(), c.number) << e.what();
        }
    }
    EXPECT_EQ(grid.Rows(), 1);
}

// The user's files as the main program leaves them: settings whose DataDir names
// a folder with the database, which the main program's store holds open.
struct UsersFiles {
    UsersFiles() {
        EXPECT_TRUE(settings.setDataDir(data.path().string() + "/"));
        EXPECT_TRUE(db::createDatabaseFile(data.path() / db::kDatabaseFileName));
        EXPECT_TRUE(store.OpenData());
    }
    void save(clsCalEvent& ev) { ASSERT_TRUE(store.Save(ev, SaveMode::Always)) << store.lastError(); }

    TempFolder data;
    settings::FileSettingsStore settingsStore = settings::FileSettingsStore::forCurrentUser();
    clsSettings settings{settingsStore, data.path().string() + "/"};
    clsDataQVR store{settings, StoreOptions::mainProgram(data.path().string())};
};

TEST(GadgetLibrary, TheFrontClassIsInstalledAndRecordsItsVersionAndFolder) {
    const auto object = library()->create(WendraGadget::kClsHTML);
    WendraGadget::clsHTML& html = *object->asHTML();
    EXPECT_EQ(html.isInstalled(), 1);
    html.writeDLLInfo_Gadget();
    const std::string folder = fs::canonical(shell::programFolder() / shell::installed::kGadgetLibrary).parent_path();
    EXPECT_EQ(settings::FileSettingsStore::forCurrentUser().querySetting("WendraWin_A", "Main", "DLLInfoGadget"),
              std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                  std::to_string(kVersionPatch) + " - " + folder);
}

// The first button of the window with this text (its caption, "&" included).
template <typename Button>
Button* buttonOf(QWidget& window, const QString& text) {
    for (Button* b : window.findChildren<Button*>())
        if (b->text() == text && b->isVisible()) return b;
    return nullptr;
}

TEST(GadgetLibrary, TheEditorOpensOnTheOccurrenceOfTheListAndDeletesItAsAUserWould) {
    UsersFiles user;
    clsCalEvent ev = weekly("Team meeting", today().addDays(-6).addSeconds(14 * 3600));
    user.save(ev);

    const auto object = library()->create(WendraGadget::kClsHTML);
    WendraGadget::clsHTML& html = *object->asHTML();
    // The page passes the link's texts on as its script reads them.
    const std::string fragment = html.createHTML(30, -1, false, 0);
    const std::size_t from = fragment.find("editEvent('");
    ASSERT_NE(from, std::string::npos);
    const std::vector<std::string> link = splitList(
        fragment.substr(from + 11, fragment.find("')", from) - from - 11), '\'');  // id , when , allDay
    ASSERT_EQ(link.size(), 5u);
    const std::string when = replaceAll(link[2], "\\u003A", ":");
    const DateTime occurrence = today().addDays(1).addSeconds(14 * 3600);
    ASSERT_EQ(when, padZeros(occurrence.day(), 2) + "-" + monthName(occurrence.month(), true) + "-" +
                        padZeros(occurrence.year() % 100, 2) + " 14:00");

    TempFolder pictures;
    int step = 0;
    int ticks = 0;
    QTimer hand;  // the user's hand on the mouse
    QObject::connect(&hand, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || !window->isVisible()) return;
        if (step == 0 && window->objectName() == "frmQVREvent") {
            expectGrab(*window, grabPath(pictures.path().c_str(), "gadget_editor.png"));
            auto* remove = window->findChild<QPushButton*>("cmdDelete");
            ASSERT_NE(remove, nullptr);
            ASSERT_TRUE(remove->isVisible());
            step = 1;
            // Clicked once this tick has returned: the dialog's own loop must run
            // this timer again, which Qt does not do inside its own slot.
            QTimer::singleShot(0, remove, &QPushButton::click);
        } else if (step == 1 && window->objectName() != "frmQVREvent") {
            expectGrab(*window, grabPath(pictures.path().c_str(), "gadget_delete_occurrence.png"));
            auto* chosenOnly = buttonOf<QRadioButton>(*window, "Chosen date only");
            auto* confirm = buttonOf<QPushButton>(*window, "&Delete");
            ASSERT_NE(chosenOnly, nullptr);
            ASSERT_NE(confirm, nullptr);
            step = 2;
            chosenOnly->click();
            QTimer::singleShot(0, confirm, &QPushButton::click);
        } else if (++ticks > 200) {  // a tick may fall between the dialog's end and the editor's
            window->close();  // stuck: let the test end
        }
    });
    hand.start(100);
    html.doEdit(link[0], when, link[4]);
    hand.stop();
    EXPECT_EQ(step, 2);
    clsCalEvent after;
    ASSERT_TRUE(user.store.Find(after, *clsDataQVR::toEventKey(ev.WendraWinId())));
    EXPECT_EQ(after.ExDates(), formatICalDateTime(occurrence, true));
}

}  // namespace
}  // namespace wendra::test
