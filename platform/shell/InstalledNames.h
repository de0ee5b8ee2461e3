#pragma once

#include <array>
#include <string_view>

// The names of what an installation holds, for every program that finds the others:
// the setup, the main program and the gadget library.
namespace wendra::shell::installed {

// In the program folder.
inline constexpr std::string_view kMainProgram = "WendraWin";
// The main program's name when the gadget package is installed beside it; the
// gadget library starts it under this name.
inline constexpr std::string_view kGadgetMainProgram = "WendraWinVista";
// The copy of the main program that the setup puts in place under its working name.
inline constexpr std::string_view kMainProgramCopy = "Wendrawin.BAK";
inline constexpr std::string_view kGadgetPackage = "WendraVista.gadget";
inline constexpr std::string_view kGadgetLibrary = "libWendraGadget.so";
inline constexpr std::string_view kSetupProgram = "WendraWinCreator";
// The helper that loads shared libraries to tell whether they load.
inline constexpr std::string_view kLoadCheckProgram = "wendra-loadcheck";
// The program's icon file for its desktop entries, below the program folder.
inline constexpr std::string_view kIconFolder = "icons";
inline constexpr std::string_view kProgramIcon = "WendraWin.png";

// The shortcuts: desktop entries named after the program, on the desktop and in the
// applications menu's folder of the maker.
inline constexpr std::string_view kShortcutName = "Wendra(win)";
inline constexpr std::string_view kDesktopEntryFile = "Wendra(win).desktop";
inline constexpr std::string_view kMenuFolder = "Brevant";

// The classes the gadget library serves, as the gadget host asks for them.
inline constexpr std::array<std::string_view, 3> kGadgetClasses = {
    "WendraGadget.clsHTML",
    "WendraGadget.clsGrid",
    "WendraGadget.clsColumns",
};

}  // namespace wendra::shell::installed
