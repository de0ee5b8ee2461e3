#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "store/clsSettings.h"

namespace wendra {

// Opens a local page with the desktop's own handler (the web browser). The Qt side
// is QtPageOpener (mainwindow/qt/GadgetInstallView.h).
class PageOpener {
public:
    virtual ~PageOpener() = default;
    // False when no handler took the page.
    virtual bool openPage(const std::string& path) = 0;
};

// Starts a program that lives on its own. The Qt side is QtProgramStarter.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // False when the program did not start.
    virtual bool startDetached(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

inline constexpr std::string_view kGadgetPackage = "WendraVista.gadget";
inline constexpr std::string_view kGadgetInstallPage = "QVRGadgetInstall.htm";

// A window's web browser control: the page it shows, and what the page asks of the
// window. The view shows the page and reports the page's requests.
class WebBrowser final : public ui::Control {
public:
    using ui::Control::Control;

    // Shows the local page.
    void Navigate(std::string path);
    const std::string& LocationURL() const { return location_; }

    // The page closed its window.
    void windowClosing();
    // The page's link leads to a local file that is no page (the gadget package):
    // the browser hands it to its window to open, as a browser hands a file to the
    // desktop, instead of showing it.
    void fileLinked(const std::string& path);
    // The browser could not be shown at all.
    void failedToShow();

    std::function<void()> onWindowClosing;
    std::function<void(const std::string& path)> onFileLinked;
    std::function<void()> onFailedToShow;

private:
    std::string location_;
};

// The gadget host the package names: its line "Host=" holds a program's file name,
// which stands in the package's folder. Nothing when the package cannot be read or
// names no such plain file name (a path could start anything anywhere).
std::optional<std::string> gadgetHostOf(const std::string& package);

// The window that shows the gadget's installation page. The page's Install link
// leads to the gadget package; opening it starts the gadget host it names with
// --install (the host adds the gadget to the desktop and the user's sessions) and
// closes the window. When the page closes its window (Not now), the window unloads.
// A browser that cannot show the page is reported as the offer's failure.
class frmInstallVistaGadget final : public ui::Form {
public:
    // installDir ends with "/".
    frmInstallVistaGadget(std::string installDir, const ui::Services& services, ProgramStarter& starter);

    WebBrowser WebBrowser1{"WebBrowser1"};

    // The gadget host was started from the package.
    bool installed() const { return installed_; }
    // The browser could not show the page; the user was told.
    bool failed() const { return failed_; }

protected:
    void formLoad() override;

private:
    void openFile(const std::string& path);

    std::string installDir_;
    ui::Services services_;
    ProgramStarter& starter_;
    bool installed_ = false;
    bool failed_ = false;
};

enum class GadgetOffer {
    NoPackage,    // no gadget package beside the program: nothing shown
    WindowShown,  // the installation window was shown (and closed by the user)
    Failed,       // something went wrong, the window too; the user was told where the package is
};

// The first run's offer of the desktop gadget. The data folder becomes the program
// folder, so the gadget library finds the database; then, when the gadget package
// lies in the install folder, the installation window shows its page. Any failure
// is reported in a message naming the package, and start-up goes on.
GadgetOffer offerGadgetInstall(clsSettings& settings, std::string_view programFolder, const ui::Services& services,
                               ProgramStarter& starter);

}  // namespace wendra
