// Build step: puts an empty database beside the programs when there is none.
// An existing file is the user's data and is never touched.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "platform/db/Schema.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <database file>\n";
        return 2;
    }
    const std::filesystem::path file(argv[1]);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return 0;
    std::string error;
    if (!wendra::db::createDatabaseFile(file, &error)) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}
