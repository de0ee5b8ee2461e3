// The layering of the sources, checked on every build instead of kept by habit:
// Qt only in the views (qt/ folders) and the platform's Qt implementations
// (platform/*/Qt*), every folder including only its own headers and those of the
// folders below it, and no product file including a test double.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What a folder's files may include besides their own folder's headers; the most
// specific folder first. An entry ending in "/" is a folder, any other a header.
struct Rule {
    std::string_view folder;
    std::vector<std::string_view> mayInclude;
};

const std::vector<Rule>& rules() {
    static const std::vector<Rule> table{
        {"platform/text", {}},
        {"platform/clock", {}},
        {"platform/db", {"platform/clock/", "platform/text/"}},
        {"platform/settings", {"platform/text/"}},
        {"platform/ui/qt", {"platform/ui/", "platform/clock/", "platform/text/"}},
        {"platform/ui", {"platform/clock/", "platform/text/"}},
        {"platform/serial", {}},
        {"platform/sound", {}},
        // The component registration is written with the settings store's locked writer.
        {"platform/shell", {"platform/settings/", "platform/text/"}},
        {"platform/process", {}},
        {"platform/outlook/qt", {"platform/outlook/", "platform/ui/qt/", "platform/clock/", "platform/text/"}},
        {"platform/outlook", {"platform/clock/", "platform/text/"}},
        {"store", {"platform/clock/", "platform/db/", "platform/settings/", "platform/text/"}},
        {"list",
         {"store/", "platform/clock/", "platform/text/", "platform/ui/Grid.h", "platform/ui/Colour.h",
          "platform/ui/Services.h", "platform/ui/Font.h"}},
        // The Outlook binding reports a failed save through the message service.
        {"exchange",
         {"store/", "platform/clock/", "platform/text/", "platform/serial/", "platform/outlook/",
          "platform/ui/Services.h"}},
        {"editor/qt", {"editor/", "store/", "platform/"}},
        {"editor", {"store/", "platform/clock/", "platform/text/", "platform/ui/"}},
        {"mainwindow/qt", {"mainwindow/", "editor/", "list/", "exchange/", "store/", "platform/"}},
        {"mainwindow", {"list/", "editor/", "exchange/", "store/", "platform/"}},
        // The gadget host reaches the library through its public header alone: it loads
        // the library at run time, as the sidebar did.
        {"gadget/host/qt", {"gadget/host/", "gadget/WendraGadget.h", "store/", "platform/"}},
        {"gadget/host", {"gadget/WendraGadget.h", "store/", "platform/"}},
        {"gadget/qt", {"gadget/", "list/", "editor/", "exchange/", "store/", "platform/"}},
        {"gadget", {"list/", "editor/", "exchange/", "store/", "platform/"}},
        {"setup/qt", {"setup/", "platform/"}},
        {"setup", {"platform/"}},
    };
    return table;
}

// Headers that a program outside the sources builds against: standard C++ alone.
bool isPublicHeader(std::string_view path) { return path == "gadget/WendraGadget.h"; }

// The folders that hold no product code.
bool outsideTheProduct(std::string_view top) {
    return top == "tests" || top == "bench" || top == "fuzz" || top == "data" || top == "cmake" ||
           top == "scripts" || top.starts_with("build") || top.starts_with(".");
}

// The test doubles: headers that only tests, benchmarks and other doubles include.
bool isTestDouble(std::string_view header) {
    static const std::vector<std::string_view> doubles{
        "platform/clock/FakeClock.h",      "platform/ui/TestDoubles.h",        "platform/ui/ManualTimerService.h",
        "platform/settings/MemorySettingsStore.h", "platform/sound/SoundRecorder.h", "platform/serial/FakeSerialPort.h",
        "platform/outlook/ScriptedWindow.h", "platform/outlook/FaultyCalendar.h"};
    return std::find(doubles.begin(), doubles.end(), header) != doubles.end();
}

bool isView(std::string_view path) { return path.find("/qt/") != std::string_view::npos; }

// A view, or one of the platform's implementations over Qt (platform/sound/QtSound.cpp).
bool mayUseQt(std::string_view path) {
    if (isView(path)) return true;
    const std::string name = fs::path(path).filename().string();
    return path.starts_with("platform/") && name.starts_with("Qt");
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// <QWidget>, <QtCore/QString>, <qglobal.h>.
bool isQtHeader(std::string_view header) {
    if (header.size() > 1 && header[0] == 'Q' && isLetter(header[1])) return true;
    return header.size() > 3 && header[0] == 'q' && header.ends_with(".h") &&
           header.find('/') == std::string_view::npos;
}

struct Include {
    bool angled;
    std::string header;
};

// The header a line includes: "#", blanks allowed around, "include", the name.
std::optional<Include> includeOf(std::string_view line) {
    auto skipBlanks = [&] {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    };
    skipBlanks();
    if (!line.starts_with('#')) return std::nullopt;
    line.remove_prefix(1);
    skipBlanks();
    if (!line.starts_with("include")) return std::nullopt;
    line.remove_prefix(7);
    skipBlanks();
    if (line.empty() || (line.front() != '<' && line.front() != '"')) return std::nullopt;
    const bool angled = line.front() == '<';
    line.remove_prefix(1);
    const std::size_t end = line.find(angled ? '>' : '"');
    if (end == std::string_view::npos) return std::nullopt;
    return Include{angled, std::string(line.substr(0, end))};
}

const Rule* ruleFor(std::string_view path) {
    for (const Rule& r : rules()) {
        if (path.starts_with(r.folder) && path.size() > r.folder.size() && path[r.folder.size()] == '/') return &r;
    }
    return nullptr;
}

// What is wrong with one include of a product file (its path from the source
// root): empty when nothing is.
std::string checkInclude(std::string_view path, std::string_view line) {
    const std::optional<Include> include = includeOf(line);
    if (!include) return {};
    const std::string& header = include->header;
    const std::string where = std::string(path) + ": " + header;
    if (include->angled) {
        if (isQtHeader(header) && !mayUseQt(path)) return where + " (Qt outside the views and platform implementations)";
        return {};
    }
    if (isPublicHeader(path)) return where + " (the public header needs a header of the sources)";
    if (header == "Version.h") return {};  // generated at configure time for every folder
    if (header.find('/') == std::string::npos) return where + " (not a path from the source root)";
    // A double is built on the product and on other doubles, never the other way round.
    const std::string self = fs::path(path).replace_extension(".h").generic_string();
    if (isTestDouble(header) && !isTestDouble(self)) return where + " (a test double in the product)";
    if (!mayUseQt(path) && (isView(header) || (header.starts_with("platform/") &&
                                              fs::path(header).filename().string().starts_with("Qt"))))
        return where + " (a Qt side included outside the views)";
    const Rule* rule = ruleFor(path);
    if (rule == nullptr) return where + " (a folder without a layering rule)";
    std::vector<std::string_view> allowed = rule->mayInclude;
    const std::string own = std::string(rule->folder) + "/";
    allowed.push_back(own);
    // A view folder's own parent is allowed through its rule; a folder's own views are not.
    for (std::string_view a : allowed) {
        const bool folder = a.ends_with('/');
        if (folder ? header.starts_with(a) : header == a) {
            if (a == own || !header.starts_with(own)) return {};
        }
    }
    return where + " (reaches outside " + std::string(rule->folder) + "'s layer)";
}

std::vector<std::string> violationsOf(std::string_view path, std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (std::string v = checkInclude(path, text.substr(start, end - start)); !v.empty()) out.push_back(v);
        start = end + 1;
    }
    return out;
}

TEST(Layering, EachRuleCatchesWhatBreaksIt) {
    struct Case {
        const char* path;
        const char* line;
        bool allowed;
    };
    const std::vector<Case> cases{
        // Qt: the views and the platform's Qt implementations only.
        {"platform/ui/qt/QtGrid.cpp", "#include <QTableView>", true},
        {"platform/sound/QtSound.cpp", "#include <QMediaPlayer>", true},
        {"mainwindow/qt/main.cpp", "#include <QApplication>", true},
        {"platform/ui/Grid.cpp", "#include <QTableView>", false},
        {"store/clsDataQVR.cpp", "#include <QtCore/QString>", false},
        {"list/EventList.cpp", "#include <qglobal.h>", false},
        {"mainwindow/frmMain.h", "#  include <QObject>", false},
        {"mainwindow/frmMain.cpp", "#include <vector>", true},
        // Nothing below calls up.
        {"store/clsDataQVR.cpp", "#include \"mainwindow/frmMain.h\"", false},
        {"store/clsDataQVR.cpp", "#include \"editor/frmQVREvent.h\"", false},
        {"store/clsDataQVR.cpp", "#include \"exchange/iCalImport.h\"", false},
        {"store/clsDataQVR.cpp", "#include \"gadget/Gadget.h\"", false},
        {"store/clsDataQVR.cpp", "#include \"list/EventList.h\"", false},
        {"platform/db/Connection.cpp", "#include \"store/clsCalEvent.h\"", false},
        {"platform/ui/Grid.cpp", "#include \"mainwindow/frmMain.h\"", false},
        {"platform/clock/Clock.cpp", "#include \"platform/text/Text.h\"", false},
        {"exchange/iCalImport.cpp", "#include \"mainwindow/frmMain.h\"", false},
        {"editor/frmQVREvent.cpp", "#include \"list/EventList.h\"", false},
        {"gadget/Gadget.cpp", "#include \"mainwindow/frmMain.h\"", false},
        {"store/clsDataQVR.cpp", "#include \"platform/db/Connection.h\"", true},
        {"exchange/iCalImport.cpp", "#include \"platform/outlook/ObjectModel.h\"", true},
        {"mainwindow/frmMain.cpp", "#include \"list/EventList.h\"", true},
        {"gadget/Gadget.cpp", "#include \"list/EventList.h\"", true},
        {"gadget/host/GadgetLoader.cpp", "#include \"gadget/WendraGadget.h\"", true},
        {"gadget/host/GadgetLoader.cpp", "#include \"gadget/clsHTML.h\"", false},
        {"gadget/host/qt/main.cpp", "#include \"gadget/host/HostOptions.h\"", true},
        {"gadget/host/qt/main.cpp", "#include \"gadget/qt/QtChildWait.h\"", false},
        {"gadget/host/qt/main.cpp", "#include \"list/EventList.h\"", false},
        {"gadget/host/HostOptions.cpp", "#include <QString>", false},
        {"gadget/host/qt/GadgetWindow.cpp", "#include <QWebEngineView>", true},
        // The gadget library's Qt side (its wait, its entry point) stays in gadget/qt;
        // its public header stands alone.
        {"gadget/qt/Library.cpp", "#include <QEventLoop>", true},
        {"gadget/qt/Library.cpp", "#include \"editor/qt/QVREventView.h\"", true},
        {"gadget/clsHTML.cpp", "#include <QEventLoop>", false},
        {"gadget/clsHTML.cpp", "#include \"gadget/qt/QtChildWait.h\"", false},
        {"gadget/WendraGadget.h", "#include <string_view>", true},
        {"gadget/WendraGadget.h", "#include \"gadget/clsGrid.h\"", false},
        {"gadget/WendraGadget.h", "#include \"Version.h\"", false},
        // The list needs only the UI model's grid, colour and services.
        {"list/EventList.cpp", "#include \"platform/ui/Grid.h\"", true},
        {"list/EventList.cpp", "#include \"platform/ui/Controls.h\"", false},
        // The Qt side stays with the views.
        {"mainwindow/frmMain.cpp", "#include \"editor/qt/QVREventView.h\"", false},
        {"mainwindow/frmMain.cpp", "#include \"platform/sound/QtSound.h\"", false},
        {"mainwindow/qt/main.cpp", "#include \"editor/qt/QVREventView.h\"", true},
        {"mainwindow/qt/main.cpp", "#include \"platform/sound/QtSound.h\"", true},
        {"platform/sound/QtSound.cpp", "#include \"platform/sound/QtSound.h\"", true},
        {"platform/sound/Wave.cpp", "#include \"platform/sound/QtSound.h\"", false},
        {"editor/qt/QVREventView.cpp", "#include \"mainwindow/frmMain.h\"", false},
        // Doubles, bare names and folders without a rule.
        {"store/clsDataQVR.cpp", "#include \"platform/clock/FakeClock.h\"", false},
        {"mainwindow/frmMain.cpp", "#include \"platform/ui/TestDoubles.h\"", false},
        {"platform/ui/TestDoubles.h", "#include \"platform/ui/ManualTimerService.h\"", true},
        {"platform/ui/Timer.cpp", "#include \"platform/ui/ManualTimerService.h\"", false},
        {"mainwindow/frmMain.cpp", "#include \"frmMain.h\"", false},
        {"mainwindow/frmAbout.cpp", "#include \"Version.h\"", true},
        {"newfolder/Thing.cpp", "#include \"store/clsCalEvent.h\"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkInclude(c.path, c.line).empty(), c.allowed) << c.path << ": " << c.line;
    }
}

TEST(Layering, EveryProductFileKeepsToItsLayer) {
    const fs::path root = WENDRA_SOURCE_DIR;
    std::vector<std::string> violations;
    std::size_t files = 0;
    for (const auto& top : fs::directory_iterator(root)) {
        if (!top.is_directory() || outsideTheProduct(top.path().filename().string())) continue;
        for (const auto& entry : fs::recursive_directory_iterator(top.path())) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            ++files;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const std::string path = fs::relative(entry.path(), root).generic_string();
            for (std::string& v : violationsOf(path, text)) violations.push_back(std::move(v));
        }
    }
    EXPECT_GT(files, 100u);  // the tree was found
    EXPECT_TRUE(violations.empty()) << [&] {
        std::string all;
        for (const std::string& v : violations) all += "\n  " + v;
        return all;
    }();
}

}  // namespace
