// WendraGadgetHost: the desktop sidebar's stand-in. It loads the gadget library as
// the sidebar did (through the component registration), creates its clsHTML and
// shows the gadget page, whose script calls it over a web channel.
#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>
#include <unistd.h>

#include "gadget/host/Autostart.h"
#include "gadget/host/GadgetLoader.h"
#include "gadget/host/HostOptions.h"
#include "gadget/host/qt/GadgetBridge.h"
#include "gadget/host/qt/GadgetWindow.h"
#include "gadget/host/qt/ScriptHook.h"
#include "platform/settings/FileSettingsStore.h"
#include "platform/shell/ComponentRegistry.h"
#include "platform/shell/InstalledNames.h"
#include "platform/shell/ProgramFolder.h"
#include "store/clsSettings.h"

#if defined(__SANITIZE_ADDRESS__)
// In the sanitized build only: Chromium inside Qt WebEngine frees some of its
// objects through a base of another size, which would end the host when its page
// goes. The finding is Chromium's, not the host's.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
#endif

namespace {

// The page and its icons, below the host's folder.
constexpr const char* kPage = "gadget/WendraGadget.html";

}  // namespace

int main(int argc, char** argv) {
    using namespace wendra;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("WendraGadgetHost"));
    // Month and weekday names of the editor follow the user's language, as in WendraWin.
    std::setlocale(LC_TIME, "");
    // Chromium refuses to run as root inside its sandbox and ends the host instead;
    // the page is the host's own, and it goes nowhere else.
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    const std::filesystem::path folder = shell::programFolder();
    settings::FileSettingsStore settingsStore = settings::FileSettingsStore::forCurrentUser();
    const clsSettings settings(settingsStore, folder.string());

    // Qt took its own arguments out of argv.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const gadgethost::ParsedOptions parsed = gadgethost::parseHostOptions(args, settings.PriorWarning());
    if (parsed.help) {
        std::fputs(gadgethost::usageText(argv[0]).c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "WendraGadgetHost: %s\n%s", parsed.error.c_str(), gadgethost::usageText(argv[0]).c_str());
        return 2;
    }
    const gadgethost::HostOptions& options = *parsed.options;

    if (options.install) {
        const std::filesystem::path entry = gadgethost::autostartEntryFile();
        const std::error_code ec = gadgethost::installAutostart(
            entry, shell::fileIn(folder, "WendraGadgetHost"),
            shell::fileIn(shell::fileIn(folder, shell::installed::kIconFolder), shell::installed::kProgramIcon));
        if (ec) std::fprintf(stderr, "WendraGadgetHost: cannot write %s: %s\n", entry.c_str(), ec.message().c_str());
    }

    // Without its library the gadget still shows, saying why its list is missing.
    gadgethost::LoadedGadget gadget = gadgethost::loadGadget(
        gadgethost::gadgetLibraryFiles(shell::ComponentRegistry::forCurrentUser(), folder));
    if (gadget.html == nullptr) {
        gadget.error = "The Wendra(win) gadget library could not be loaded: " + gadget.error;
        std::fprintf(stderr, "WendraGadgetHost: %s\n", gadget.error.c_str());
    }

    gadgethost::qt::GadgetBridge bridge(gadget.html, gadget.error, options);
    gadgethost::qt::GadgetWindow window(bridge, QString::fromStdString(shell::fileIn(folder, kPage).string()));
    std::optional<gadgethost::qt::ScriptHook> hook;
    if (const char* on = std::getenv("WENDRA_GADGET_TEST_HOOK"); on != nullptr && std::string(on) == "1")
        hook.emplace(*window.page());
    window.show();
    return QApplication::exec();
}
