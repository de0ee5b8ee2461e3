// wendra-loadcheck LIBRARY...: loads each shared library in turn (a soname is looked
// up as the dynamic loader does, a path is that file) with every symbol bound.
// Exit code 0 when all of them loaded, else the position (1, 2, ...) of the first
// that did not, after a line saying why on standard error; 125 for no library or
// more than exit codes can number.
#include <cstdio>
#include <vector>

#include "platform/shell/SharedLibrary.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc - 1 > 124) {
        std::fprintf(stderr, "usage: %s LIBRARY... (1 to 124 of them)\n", argv[0]);
        return 125;
    }
    std::vector<wendra::shell::SharedLibrary> loaded;
    for (int i = 1; i < argc; ++i) {
        // Kept to the end: what a library set up as it loaded is its own until the process ends.
        wendra::shell::SharedLibrary library(argv[i], wendra::shell::SharedLibrary::Unload::Never);
        if (!library.loaded()) {
            std::fprintf(stderr, "%s\n", library.error().c_str());
            return i;
        }
        loaded.push_back(std::move(library));
    }
    return 0;
}
