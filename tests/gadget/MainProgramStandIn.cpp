// Stands in for the main program that the gadget starts: saves three times (each
// save moves the shared update counter), each time waiting until the gadget has
// told its page (the test's page notes each onDataChanged as a line of a file),
// then lingers a second and ends. It writes its process id first.
//
//     wendra_gadget_stand_in <folder>   (pid and seen are files of that folder)
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/settings/FileSettingsStore.h"
#include "store/clsSettings.h"

namespace {

int linesOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    int n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::filesystem::path folder = argv[1];
    std::ofstream(folder / "pid") << ::getpid() << "\n";
    wendra::settings::FileSettingsStore store = wendra::settings::FileSettingsStore::forCurrentUser();
    wendra::clsSettings settings(store, folder.string() + "/");
    for (int save = 1; save <= 3; ++save) {
        if (!settings.incrementUpdateVersion()) return 3;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (linesOf(folder / "seen") < save) {
            if (std::chrono::steady_clock::now() > deadline) return 4;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return 0;
}
