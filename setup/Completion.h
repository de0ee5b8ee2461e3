#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process/Process.h"

namespace wendra::setup {

// Where the installation is completed: the program folder it completes and the
// user's folders it writes to.
struct CreatorPlaces {
    std::filesystem::path programFolder;
    std::filesystem::path desktopFolder;
    std::filesystem::path applicationsFolder;  // the menu's folder of the maker goes in it
    std::filesystem::path registrationFolder;  // of the component registration
    // Where what the started main program says goes, beside the settings; empty: nowhere.
    std::filesystem::path startLog;

    // The current user's folders, for a program folder.
    static CreatorPlaces forCurrentUser(const std::filesystem::path& programFolder);
};

struct CompletionReport {
    std::filesystem::path executable;  // the main program's working name; empty when none could be chosen
    // One line for standard error per step that failed, in the order they ran.
    std::vector<std::string> failures;
    int exitCode() const { return failures.empty() ? 0 : 1; }
};

// Completes the installation, in this order:
// 1. chooses the main program's name: "WendraWinVista" when the gadget package
//    "WendraVista.gadget" is in the program folder, else "WendraWin"; a program
//    folder that cannot be looked into ends the job here;
// 2. puts "Wendrawin.BAK" in place under that name (mode 0755, renamed over the old
//    file, so a running copy does not stand in the way); with no "Wendrawin.BAK"
//    there is nothing to put in place and the step is skipped. When no program
//    stands under that name afterwards, the one under the other name does, if any;
// 3. writes the desktop shortcut, 4. the menu shortcut in the maker's folder,
//    making the folders that are missing; with no main program in the folder
//    neither is written;
// 5. runs the registration list, each pair's register after its unregister, each
//    check waited for before the next starts;
// 6. starts the main program detached, so it outlives the setup, its output in the
//    start log, and watches it for a moment: one that ends at once with a code
//    other than 0 did not start.
// A step that fails is written down and the next one runs.
CompletionReport completeInstallation(const CreatorPlaces& places, process::Launcher& launcher);

// How long the started main program is watched: one that cannot show its window
// ends well within it.
inline constexpr std::chrono::milliseconds kStartWatch{3000};

}  // namespace wendra::setup
