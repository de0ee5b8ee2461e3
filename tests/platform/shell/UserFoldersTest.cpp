// The user's folders: the desktop named in user-dirs.dirs, and the XDG fallbacks.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/shell/UserFolders.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/TempFolder.h"

namespace wendra::shell {
namespace {

namespace fs = std::filesystem;

struct DesktopCase {
    const char* userDirs;
    std::optional<fs::path> expected;
};

TEST(UserFolders, TheDesktopFolderNamedInUserDirs) {
    const fs::path home = "/home/ann";
    const DesktopCase cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", home / "Desktop"},
        {"# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
         "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n",
         home / "Schreibtisch"},
        {"  XDG_DESKTOP_DIR =  \"$HOME/Bureau\"  \n", home / "Bureau"},
        {"XDG_DESKTOP_DIR=\"/srv/desk top\"", fs::path("/srv/desk top")},
        {"XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\" \\$1\"\n", home / "My \"Desk\" $1"},
        {"XDG_DESKTOP_DIR=\"$HOME\"\n", home},
        {"XDG_DESKTOP_DIR=\"$HOME/one\"\nXDG_DESKTOP_DIR=\"$HOME/two\"\n", home / "two"},
        // Forms the convention does not allow, and lines that name no desktop.
        {"XDG_DESKTOP_DIR=\"Desktop\"\n", std::nullopt},
        {"XDG_DESKTOP_DIR=\"$HOMEX/Desktop\"\n", std::nullopt},
        {"XDG_DESKTOP_DIR=\"$HOME/unclosed\n", std::nullopt},
        {"XDG_DESKTOP_DIR=$HOME/unquoted\n", std::nullopt},
        {"#XDG_DESKTOP_DIR=\"$HOME/commented\"\n", std::nullopt},
        {"XDG_DESKTOP_DIR_OLD=\"$HOME/other\"\n", std::nullopt},
        {"XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const DesktopCase& c : cases) EXPECT_EQ(desktopFolderIn(c.userDirs, home), c.expected) << c.userDirs;
}

TEST(UserFolders, FollowTheXdgVariablesElseTheHomeFolder) {
    test::TempFolder dir;
    test::EnvironmentOverride env("HOME", "/home/ann");
    env.set("XDG_CONFIG_HOME", dir.path().c_str());
    env.set("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    EXPECT_EQ(dataHome(), fs::path("/home/ann/.local/share"));
    EXPECT_EQ(applicationsFolder(), fs::path("/home/ann/.local/share/applications"));
    EXPECT_EQ(desktopFolder(), fs::path("/home/ann/Desktop")) << "no user-dirs.dirs";

    std::ofstream(dir / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n";
    EXPECT_EQ(desktopFolder(), fs::path("/home/ann/Escritorio"));

    env.set("XDG_DATA_HOME", "/data/ann");
    env.set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(applicationsFolder(), fs::path("/data/ann/applications"));
    EXPECT_EQ(configHome(), fs::path("/home/ann/.config"));
}

}  // namespace
}  // namespace wendra::shell
