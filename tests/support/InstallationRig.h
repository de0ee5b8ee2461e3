#pragma once

// A user and an installation to complete, all in one temporary folder:
//   <tmp>/<program folder name>/   the program folder (Wendrawin.BAK, the gadget's files)
//   <tmp>/home/Desktop/            the desktop folder
//   <tmp>/home/.local/share/       the data home: applications/ and the registration
// Nothing of the real user is read or written.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/shell/InstalledNames.h"
#include "setup/Completion.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

class InstallationRig {
public:
    explicit InstallationRig(const std::string& programFolderName = "WendraWin") {
        places_.programFolder = dir_ / programFolderName;
        const std::filesystem::path home = dir_ / "home";
        places_.desktopFolder = home / "Desktop";
        places_.applicationsFolder = home / ".local" / "share" / "applications";
        places_.registrationFolder = home / ".local" / "share" / "WendraWin";
        places_.startLog = home / ".config" / "WendraWin.log";
        std::filesystem::create_directories(places_.programFolder);
        std::filesystem::create_directories(places_.desktopFolder);
    }

    setup::CreatorPlaces& places() { return places_; }
    const setup::CreatorPlaces& places() const { return places_; }
    const std::filesystem::path& folder() const { return places_.programFolder; }
    std::filesystem::path file(std::string_view name) const { return places_.programFolder / name; }
    const TempFolder& temp() const { return dir_; }

    std::filesystem::path desktopEntry() const { return places_.desktopFolder / shell::installed::kDesktopEntryFile; }
    std::filesystem::path menuEntry() const {
        return places_.applicationsFolder / shell::installed::kMenuFolder / shell::installed::kDesktopEntryFile;
    }

    void write(std::string_view name, const std::string& content) const { std::ofstream(file(name)) << content; }
    void shipMainProgram(const std::string& content) const { write(shell::installed::kMainProgramCopy, content); }
    void shipGadgetPackage() const { write(shell::installed::kGadgetPackage, "gadget package"); }
    void shipGadgetLibrary() const { write(shell::installed::kGadgetLibrary, "gadget library"); }

    static std::string read(const std::filesystem::path& file) { return fileText(file); }
    static mode_t modeOf(const std::filesystem::path& file) {
        struct stat st {};
        return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }

private:
    TempFolder dir_;
    setup::CreatorPlaces places_;
};

}  // namespace wendra::test
