#pragma once

#include <string>
#include <string_view>

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

inline constexpr std::string_view kGadgetPackage = "WendraVista.gadget";
inline constexpr std::string_view kGadgetInstallPage = "QVRGadgetInstall.htm";

enum class GadgetOffer {
    NoPackage,   // no gadget package beside the program: nothing shown
    PageShown,   // the installation page is open in the desktop's browser
    Failed,      // something went wrong; the user was told where the package is
};

// The first run's offer of the desktop gadget. The data folder becomes the program
// folder, so the gadget library finds the database; then, when the gadget package
// lies in the install folder, its installation page is opened. Any failure is
// reported in a message naming the package, and start-up goes on.
GadgetOffer offerGadgetInstall(clsSettings& settings, std::string_view programFolder,
                               ui::MessageBoxService& messages, PageOpener& opener);

}  // namespace wendra
