// Writes the empty database of the installation template:
// gen_empty_db <template-root> creates <root>/Data/Org/QSMLV.mlv.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "db/MilvaneData.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_empty_db <template-root>\n");
        return 2;
    }
    std::filesystem::path folder = std::filesystem::path(argv[1]) / "Data" / "Org";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "gen_empty_db: %s: %s\n", folder.c_str(), ec.message().c_str());
        return 1;
    }
    std::filesystem::path file = folder / kDatabaseFileName;
    std::filesystem::remove(file, ec);
    std::string error;
    if (!CreateEmptyMilvaneDatabase(file.string(), &error)) {
        std::fprintf(stderr, "gen_empty_db: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
