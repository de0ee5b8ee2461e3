// The library's entry point: the one C function the gadget host finds, which
// creates the classes over the real platform (the settings file of the user, real
// processes, the Qt windows of the editor and its dialogs).
#include <dlfcn.h>

#include <filesystem>
#include <memory>

#include "Version.h"
#include "editor/qt/ConfirmStartDateView.h"
#include "editor/qt/DeleteMultView.h"
#include "editor/qt/DeleteSingleView.h"
#include "editor/qt/QVREventView.h"
#include "gadget/GadgetErrors.h"
#include "gadget/GadgetPlatform.h"
#include "gadget/WendraGadget.h"
#include "gadget/clsColumns.h"
#include "gadget/clsGrid.h"
#include "gadget/clsHTML.h"
#include "gadget/qt/QtChildWait.h"
#include "platform/process/Process.h"
#include "platform/settings/FileSettingsStore.h"
#include "platform/text/Text.h"
#include "platform/ui/qt/QtServices.h"

namespace wendra::gadget::qt {

namespace {

// The folder of this library, wherever the host loaded it from.
std::string libraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&WendraGadget_Library), &info) == 0 || info.dli_fname == nullptr)
        return "./";
    std::error_code ec;
    std::filesystem::path file = std::filesystem::canonical(info.dli_fname, ec);
    if (ec) file = info.dli_fname;
    std::string folder = file.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// The user's settings file, looked for at each use as the main program finds it:
// where the host's environment puts the configuration folder at that time.
class CurrentUserSettings final : public settings::SettingsStore {
public:
    std::optional<std::string> querySetting(std::string_view app, std::string_view section,
                                            std::string_view key) const override {
        return settings::FileSettingsStore::forCurrentUser().querySetting(app, section, key);
    }
    bool saveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override {
        return settings::FileSettingsStore::forCurrentUser().saveSetting(app, section, key, value);
    }
    bool deleteSetting(std::string_view app, std::string_view section, std::string_view key) override {
        return settings::FileSettingsStore::forCurrentUser().deleteSetting(app, section, key);
    }
    bool deleteSection(std::string_view app, std::string_view section) override {
        return settings::FileSettingsStore::forCurrentUser().deleteSection(app, section);
    }
};

// One for the library, made when the first clsHTML is: by then the host has its
// QApplication, which the windows need.
struct RealPlatform {
    RealPlatform()
        : platform{settings, libraryFolder(), {kVersionMajor, kVersionMinor, kVersionPatch}, launcher, wait,
                   qt.services()} {
        registerQVREventView(qt.dialogs);
        registerDeleteSingleView(qt.dialogs);
        registerDeleteMultView(qt.dialogs);
        registerConfirmStartDateView(qt.dialogs);
    }
    CurrentUserSettings settings;
    process::SystemLauncher launcher;
    QtChildWait wait;
    ui::qt::QtServices qt;
    GadgetPlatform platform;
};

GadgetPlatform& realPlatform() {
    static RealPlatform real;
    return real.platform;
}

class GadgetLibrary final : public WendraGadget::Library {
public:
    WendraGadget::Version version() const noexcept override { return {kVersionMajor, kVersionMinor, kVersionPatch}; }

    std::unique_ptr<WendraGadget::Object> create(std::string_view progId) const override {
        return guarded([&]() -> std::unique_ptr<WendraGadget::Object> {
            if (compareNoCase(progId, WendraGadget::kClsHTML) == 0) return std::make_unique<clsHTML>(realPlatform());
            if (compareNoCase(progId, WendraGadget::kClsGrid) == 0) return std::make_unique<clsGrid>();
            if (compareNoCase(progId, WendraGadget::kClsColumns) == 0) return std::make_unique<clsColumns>();
            return nullptr;
        });
    }
};

}  // namespace

}  // namespace wendra::gadget::qt

extern "C" const WendraGadget::Library* WendraGadget_Library(std::uint32_t interfaceVersion) {
    static const wendra::gadget::qt::GadgetLibrary library;
    return interfaceVersion == WendraGadget::kInterfaceVersion ? &library : nullptr;
}
