#include "mainwindow/GadgetInstall.h"

#include <filesystem>
#include <system_error>

namespace wendra {

namespace {

std::string failureText(const std::string& package) {
    return "Failed to install Wendra(win) gadget.\r\n\r\n"
           "Note that you can install the Wendra(win) gadget at a later date by clicking on the file:\r\n\r\n'" +
           package + "'";
}

bool isFile(const std::string& path, std::error_code& ec) {
    const bool found = std::filesystem::is_regular_file(path, ec);
    // A missing file is an answer, not an error.
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) ec.clear();
    return found && !ec;
}

}  // namespace

GadgetOffer offerGadgetInstall(clsSettings& settings, std::string_view programFolder,
                               ui::MessageBoxService& messages, PageOpener& opener) {
    std::string package;
    const auto fail = [&] {
        messages.show(failureText(package), ui::MessageButtons::OK, ui::MessageIcon::Critical, "");
        return GadgetOffer::Failed;
    };
    try {
        const std::string installDir = settings.InstallDir();  // ends with "/"
        package = installDir + std::string(kGadgetPackage);
        if (!settings.setDataDir(programFolder)) return fail();

        std::error_code ec;
        const bool havePackage = isFile(package, ec);
        if (ec) return fail();
        if (!havePackage) return GadgetOffer::NoPackage;

        const std::string page = installDir + std::string(kGadgetInstallPage);
        if (!isFile(page, ec) || !opener.openPage(page)) return fail();
        return GadgetOffer::PageShown;
    } catch (const std::exception&) {
        return fail();
    }
}

}  // namespace wendra
