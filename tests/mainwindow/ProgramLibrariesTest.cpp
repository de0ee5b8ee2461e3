// WendraWin starts without the browser engine: neither it nor any library it needs
// is Qt WebEngine, Qt Quick or QML, Qt's OpenGL module or a GL driver (the engine
// brought a hundred libraries, LLVM and a software GL driver along). The
// installation window's own program, which does need the engine, shows that the
// check finds it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The libraries the dynamic linker loads for the program, as ldd lists them.
std::vector<std::string> neededLibraries(const std::string& program) {
    std::vector<std::string> found;
    const std::unique_ptr<FILE, int (*)(FILE*)> ldd(::popen(("ldd '" + program + "' 2>&1").c_str(), "r"), ::pclose);
    if (!ldd) return found;
    char line[1024];
    while (std::fgets(line, sizeof line, ldd.get()) != nullptr) found.emplace_back(line);
    return found;
}

// Qt Gui itself needs only GL's small dispatch libraries (libGLX, libOpenGL, libEGL,
// libGLdispatch), which load no driver until a GL context is made.
std::vector<std::string> browserLibraries(const std::string& program) {
    static const std::string_view browser[] = {"libQt6WebEngine", "libQt6Quick", "libQt6Qml", "libQt6OpenGL",
                                                "libQt6WebChannel", "libQt6Positioning", "libLLVM", "libgallium",
                                                "_dri.so", "libGLX_mesa", "libEGL_mesa"};
    std::vector<std::string> hits;
    for (const std::string& line : neededLibraries(program))
        for (std::string_view name : browser)
            if (line.find(name) != std::string::npos) {
                hits.push_back(line);
                break;
            }
    return hits;
}

TEST(ProgramLibrariesTest, WendraWinNeedsNoBrowserEngineAndTheInstallationWindowDoes) {
    const std::vector<std::string> main = neededLibraries(WENDRA_MAIN_PROGRAM);
    ASSERT_GT(main.size(), 5u) << "ldd read nothing of " << WENDRA_MAIN_PROGRAM;
    EXPECT_EQ(browserLibraries(WENDRA_MAIN_PROGRAM), std::vector<std::string>{});
    EXPECT_FALSE(browserLibraries(WENDRA_INSTALL_WINDOW).empty());
}

}  // namespace
