#include "mainwindow/GadgetInstall.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/ui/Layout.h"

namespace wendra {

namespace fs = std::filesystem;

namespace {

std::string failureText(const std::string& package) {
    return "Failed to install Wendra(win) gadget.\r\n\r\n"
           "Note that you can install the Wendra(win) gadget at a later date by clicking on the file:\r\n\r\n'" +
           package + "'";
}

void showFailure(ui::MessageBoxService& messages, const std::string& package) {
    messages.show(failureText(package), ui::MessageButtons::OK, ui::MessageIcon::Critical, "");
}

bool isFile(const std::string& path, std::error_code& ec) {
    const bool found = fs::is_regular_file(path, ec);
    // A missing file is an answer, not an error.
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) ec.clear();
    return found && !ec;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void WebBrowser::Navigate(std::string path) {
    location_ = std::move(path);
    changed();
}

void WebBrowser::windowClosing() {
    if (onWindowClosing) onWindowClosing();
}

void WebBrowser::fileLinked(const std::string& path) {
    if (onFileLinked) onFileLinked(path);
}

void WebBrowser::failedToShow() {
    if (onFailedToShow) onFailedToShow();
}

std::optional<std::string> gadgetHostOf(const std::string& package) {
    std::ifstream in(package);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.starts_with("Host=")) continue;
        const std::string host = line.substr(5);
        if (host.empty() || host == "." || host == ".." || host.find('/') != std::string::npos ||
            host.find('\0') != std::string::npos)
            return std::nullopt;
        return host;
    }
    return std::nullopt;
}

frmInstallVistaGadget::frmInstallVistaGadget(std::string installDir, const ui::Services& services,
                                             ProgramStarter& starter)
    : ui::Form("frmInstallVistaGadget", "Install Wendra(win) Sidebar Gadget?"),
      installDir_(std::move(installDir)),
      services_(services),
      starter_(starter) {
    setGeometry({0, 0, 8100, 5400});
    WebBrowser1.onWindowClosing = [this] { unload(); };
    WebBrowser1.onFileLinked = [this](const std::string& path) { openFile(path); };
    WebBrowser1.onFailedToShow = [this] {
        failed_ = true;
        showFailure(services_.messages, installDir_ + std::string(kGadgetPackage));
        unload();
    };
}

void frmInstallVistaGadget::formLoad() {
    installed_ = false;
    failed_ = false;
    ui::centreForm(*this, services_.placement);
    WebBrowser1.Navigate(installDir_ + std::string(kGadgetInstallPage));
}

void frmInstallVistaGadget::openFile(const std::string& path) {
    const std::string package = installDir_ + std::string(kGadgetPackage);
    // The page links nothing else; any other file stays unopened.
    if (!sameFile(path, package)) return;
    const std::optional<std::string> host = gadgetHostOf(package);
    if (!host || !starter_.startDetached(installDir_ + *host, {"--install"})) {
        showFailure(services_.messages, package);
        return;
    }
    installed_ = true;
    unload();
}

GadgetOffer offerGadgetInstall(clsSettings& settings, std::string_view programFolder, const ui::Services& services,
                               ProgramStarter& starter) {
    std::string package;
    const auto fail = [&] {
        showFailure(services.messages, package);
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

        if (!isFile(installDir + std::string(kGadgetInstallPage), ec)) return fail();
        frmInstallVistaGadget window(installDir, services, starter);
        services.dialogs.showModal(window);
        return window.failed() ? GadgetOffer::Failed : GadgetOffer::WindowShown;
    } catch (const std::exception&) {
        return fail();
    }
}

}  // namespace wendra
