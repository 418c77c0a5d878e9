// Builds the two postal dictionaries of the installation template from the
// JSON files of the postal-code package (fetched by scripts/fetch-postal-data.sh):
//   gen_postal_dict <template-root> <json-folder>
//     -> <root>/Dic/Yubin/yubin.dic (addresses), <root>/Dic/Hojin/hojin.dic (business offices)
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "common/Archive.h"
#include "lookup/PostalDict.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_postal_dict <template-root> <json-folder>\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string root = argv[1];
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& de : fs::directory_iterator(argv[2], ec))
        if (de.is_regular_file() && de.path().extension() == ".json") files.push_back(de.path().string());
    if (ec || files.empty()) {
        std::fprintf(stderr, "gen_postal_dict: no JSON files in %s\n", argv[2]);
        return 1;
    }
    std::sort(files.begin(), files.end());

    std::vector<PostalSourceEntry> entries;
    for (const std::string& f : files) {
        std::string text;
        if (!ReadWholeFile(f, text) || !ParsePostalSourceFile(text, entries)) {
            std::fprintf(stderr, "gen_postal_dict: cannot read %s\n", f.c_str());
            return 1;
        }
    }

    std::size_t skipped = 0;
    const std::string yubin = BuildPostalDictFile(entries, false, &skipped);
    const std::string hojin = BuildPostalDictFile(entries, true);
    for (const auto& [folder, name, bytes] : {std::tuple{root + "/Dic/Yubin", kYubinFileName, &yubin},
                                              std::tuple{root + "/Dic/Hojin", kHojinFileName, &hojin}}) {
        fs::create_directories(folder, ec);
        const std::string path = folder + "/" + name;
        if (!WriteWholeFileAtomic(path, *bytes)) {
            std::fprintf(stderr, "gen_postal_dict: cannot write %s\n", path.c_str());
            return 1;
        }
        ::chmod(path.c_str(), 0644);
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("gen_postal_dict: %zu records from %zu files (%zu without a usable code), %.1f s\n",
                entries.size(), files.size(), skipped, secs);
    return 0;
}
