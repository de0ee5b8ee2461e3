#include "setup/Completion.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <system_error>

#include "platform/shell/ComponentRegistry.h"
#include "platform/shell/DesktopEntry.h"
#include "platform/shell/FileReplace.h"
#include "platform/shell/InstalledNames.h"
#include "platform/shell/UserFolders.h"
#include "setup/RegistrationList.h"

namespace wendra::setup {

namespace fs = std::filesystem;
namespace names = shell::installed;

namespace {

constexpr std::string_view kPrefix = "WendraWinCreator: ";
constexpr std::string_view kStartLogName = "WendraWin.log";

class Job {
public:
    Job(const CreatorPlaces& places, process::Launcher& launcher)
        : places_(places), launcher_(launcher), registry_(places.registrationFolder) {}

    CompletionReport run() {
        if (!chooseExecutable()) return std::move(report_);
        restoreExecutable();
        settleOnTheProgramThere();
        writeShortcut("desktop shortcut", places_.desktopFolder, names::kDesktopEntryFile);
        writeShortcut("menu shortcut", places_.applicationsFolder, fs::path(names::kMenuFolder) / names::kDesktopEntryFile);
        for (const ComponentPair& pair : registrationList()) {
            if (pair.kind == ComponentPair::Kind::GadgetLibrary) {
                unregisterGadget();
                registerGadget();
            } else {
                // Nothing to unregister (see ComponentPair); the register checks.
                checkPlatformComponent(pair);
            }
        }
        startMainProgram();
        return std::move(report_);
    }

private:
    void fail(const std::string& what) { report_.failures.push_back(std::string(kPrefix) + what); }

    bool chooseExecutable() {
        std::error_code ec;
        const bool gadget = fs::exists(places_.programFolder / names::kGadgetPackage, ec);
        if (ec) {
            fail("cannot look into the program folder " + places_.programFolder.string() + ": " + ec.message());
            return false;
        }
        report_.executable = places_.programFolder / (gadget ? names::kGadgetMainProgram : names::kMainProgram);
        return true;
    }

    void restoreExecutable() {
        const fs::path copy = places_.programFolder / names::kMainProgramCopy;
        const std::error_code ec = shell::replaceFileWithCopy(copy, report_.executable, 0755);
        if (ec == std::errc::no_such_file_or_directory) return;  // nothing to put in place
        if (ec) fail("cannot put " + copy.string() + " in place as " + report_.executable.string() + ": " + ec.message());
    }

    // A copy that could not be put in place (a read-only folder, say) leaves the
    // folder as it was: the shortcuts and the start then name the program that
    // stands there, under either name, and never one that does not exist.
    void settleOnTheProgramThere() {
        if (isProgram(report_.executable)) return;
        const bool gadgetName = report_.executable.filename() == names::kGadgetMainProgram;
        const fs::path other = places_.programFolder / (gadgetName ? names::kMainProgram : names::kGadgetMainProgram);
        if (isProgram(other)) report_.executable = other;
    }

    static bool isProgram(const fs::path& file) {
        std::error_code ec;
        return fs::is_regular_file(file, ec);
    }

    void writeShortcut(std::string_view what, const fs::path& folder, const fs::path& name) {
        if (!isProgram(report_.executable)) {
            fail("cannot write the " + std::string(what) + ": there is no " + report_.executable.string());
            return;
        }
        // No folder is no home: the entry is not written into whatever folder we run in.
        if (folder.empty()) {
            fail("cannot write the " + std::string(what) + ": the user has no home folder");
            return;
        }
        const fs::path file = folder / name;
        const shell::Shortcut shortcut{std::string(names::kShortcutName), report_.executable,
                                       places_.programFolder / names::kIconFolder / names::kProgramIcon};
        if (const std::error_code ec = shell::writeDesktopEntry(file, shortcut))
            fail("cannot write the " + std::string(what) + " " + file.string() + ": " + ec.message());
    }

    void unregisterGadget() {
        for (const std::string_view id : names::kGadgetClasses) {
            if (!registry_.unregisterClass(id)) {
                fail("cannot unregister " + std::string(names::kGadgetLibrary) + ": " + registry_.file().string() +
                     " cannot be written");
                return;
            }
        }
    }

    void registerGadget() {
        const fs::path library = places_.programFolder / names::kGadgetLibrary;
        const std::string what = "cannot register " + std::string(names::kGadgetLibrary) + ": ";
        std::error_code ec;
        if (!fs::is_regular_file(library, ec)) {
            fail(what + library.string() + " is missing");
            return;
        }
        // Loaded first, as the registration tool would: a file that is no library of
        // ours is not registered.
        if (const std::string problem = checkLoads({library.string()}); !problem.empty()) {
            fail(what + problem);
            return;
        }
        for (const std::string_view id : names::kGadgetClasses) {
            if (!registry_.registerClass(id, library)) {
                fail(what + registry_.file().string() + " cannot be written");
                return;
            }
        }
    }

    void checkPlatformComponent(const ComponentPair& pair) {
        std::vector<std::string> libraries(pair.libraries.begin(), pair.libraries.end());
        if (const std::string problem = checkLoads(libraries); !problem.empty())
            fail("cannot register " + std::string(pair.component) + ": " + problem);
    }

    // Runs the load check in a process of its own, so what the libraries do as they
    // load stays out of the setup (whose own Qt would make the check say yes), and
    // waits for it. Empty when every library loaded.
    std::string checkLoads(const std::vector<std::string>& libraries) {
        const fs::path helper = places_.programFolder / names::kLoadCheckProgram;
        process::Command command{helper, libraries};
        command.quiet = true;
        const process::RunResult result = launcher_.run(command);
        if (!result.exitCode) return helper.string() + " cannot be started: " + result.error;
        const int code = *result.exitCode;
        if (code == 0) return {};
        if (code >= 1 && static_cast<std::size_t>(code) <= libraries.size())
            return libraries[static_cast<std::size_t>(code) - 1] + " does not load";
        return helper.string() + " ended with " + std::to_string(code);
    }

    // What the program says goes to the start log, apart from the setup's own lines
    // (a program that cannot start can say a lot); without a log, nowhere.
    void startMainProgram() {
        process::Command command{report_.executable, {}};
        command.quiet = true;
        if (!places_.startLog.empty()) {
            // A log that cannot be written keeps nobody from starting: the program starts without one.
            if (const std::string why = unwritable(places_.startLog); why.empty())
                command.output = places_.startLog;
            else
                fail("cannot write the start log " + places_.startLog.string() + ": " + why + "; " +
                     report_.executable.string() + " starts without it");
        }
        const process::StartedDetached started = launcher_.startDetached(command, kStartWatch);
        const std::string what = "cannot start " + report_.executable.string() + ": ";
        if (!started.ok()) {
            fail(what + started.error);
        } else if (started.ended && *started.ended != 0) {
            fail(what + "it ended at once with " + std::to_string(*started.ended) +
                 (command.output.empty() ? std::string() : " (what it said is in " + command.output.string() + ")"));
        }
    }

    // Why the file cannot be opened for writing, its folder made first; empty when it can.
    static std::string unwritable(const fs::path& file) {
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0) return std::generic_category().message(errno);
        ::close(fd);
        return {};
    }

    const CreatorPlaces& places_;
    process::Launcher& launcher_;
    shell::ComponentRegistry registry_;
    CompletionReport report_;
};

}  // namespace

CreatorPlaces CreatorPlaces::forCurrentUser(const fs::path& programFolder) {
    const fs::path config = shell::configHome();
    return CreatorPlaces{programFolder, shell::desktopFolder(), shell::applicationsFolder(),
                         shell::ComponentRegistry::folderForCurrentUser(),
                         config.empty() ? fs::path() : config / kStartLogName};
}

CompletionReport completeInstallation(const CreatorPlaces& places, process::Launcher& launcher) {
    try {
        return Job(places, launcher).run();
    } catch (const std::exception& e) {
        // Nothing below means to throw; should it (memory, say), the setup still ends
        // and says so instead of leaving its window standing.
        return CompletionReport{{}, {std::string(kPrefix) + e.what()}};
    }
}

}  // namespace wendra::setup
