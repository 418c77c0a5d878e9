// The postal dictionary: one lookup by postal code (CPostalDict::Search on the
// installed dictionaries) against a bare binary search over the same codes
// held in memory, per lookup; the opening of the dictionaries; one listing
// level; and, when the postal-code package is in the cache, the dictionary build.
//   MILVANE_POSTAL_DIC   folder holding Yubin/ and Hojin/ (default: the build's template)
//   MILVANE_POSTAL_JSON  the package's JSON folder (default: the fetch script's cache)
//   MILVANE_BENCH_LOOKUPS  number of lookups (default 20000)
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "BenchData.h"
#include "common/Archive.h"
#include "lookup/PostalDict.h"

namespace fs = std::filesystem;

namespace {

std::string ExeDir() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path().string();
}

std::string Env(const char* name, const std::string& def) {
    const char* v = std::getenv(name);
    return v && *v ? v : def;
}

}  // namespace

int main() {
    const std::string dic = Env("MILVANE_POSTAL_DIC", ExeDir() + "/../share/milvane/template/Dic");
    const int lookups = bench::EnvInt("MILVANE_BENCH_LOOKUPS", 20000);
    CPostalDict dict;
    int code = -1;
    const double open = bench::Seconds([&] { code = dict.Open(dic + "/Yubin", dic + "/Hojin"); });
    if (code != PostalResult::Open) {
        std::printf("postal-lookup: no dictionaries in %s (code %d); build the template first\n", dic.c_str(), code);
        return 0;
    }
    std::printf("BENCH postal-open ours=%.4f\n", open);

    // Real codes, from every town of every city.
    std::vector<std::string> codes;
    for (const auto& pref : dict.Prefectures())
        for (const auto& city : dict.Cities(pref.text))
            if (city.code.size() == 7) codes.push_back(city.code);
    const double listing = bench::Seconds([&] { dict.Towns("東京都", "千代田区"); });
    for (const auto& town : dict.Towns("北海道", "札幌市中央区")) codes.push_back(town.code);
    std::vector<uint32_t> sorted;
    for (const auto& c : codes)
        if (c.size() == 7) sorted.push_back(uint32_t(std::stoul(c)));
    std::sort(sorted.begin(), sorted.end());
    std::mt19937 rng(7);
    std::vector<std::string> queries;
    for (int i = 0; i < lookups; ++i) {
        std::string c = codes[rng() % codes.size()];
        if (c.size() != 7) c = "1000001";
        queries.push_back(c.substr(0, 3) + "-" + c.substr(3));
    }

    std::size_t found = 0;
    double bestOurs = 1e30, bestRaw = 1e30;
    for (int round = 0; round < 3; ++round) {
        bestOurs = std::min(bestOurs, bench::Seconds([&] {
            for (const auto& q : queries) found += dict.Search(q).size();
        }));
        bestRaw = std::min(bestRaw, bench::Seconds([&] {
            for (const auto& q : queries) {
                const uint32_t n = uint32_t(std::stoul(q.substr(0, 3) + q.substr(4)));
                found += std::binary_search(sorted.begin(), sorted.end(), n);
            }
        }));
    }
    const double ours = bestOurs / lookups, raw = bestRaw / lookups;
    std::printf("BENCH postal-lookup ours=%.7f raw=%.7f ratio=%.2f\n", ours, raw, ours / raw);
    std::printf("BENCH postal-listing ours=%.4f\n", listing);

    const std::string json = Env("MILVANE_POSTAL_JSON", Env("HOME", "/root") + "/.cache/milvane/jquery-jpostal-ja-2.14.73/package/json");
    if (fs::is_directory(json)) {
        std::size_t bytes = 0;
        const double build = bench::Seconds([&] {
            std::vector<PostalSourceEntry> entries;
            for (const auto& de : fs::directory_iterator(json)) {
                if (de.path().extension() != ".json") continue;
                std::string text;
                if (ReadWholeFile(de.path().string(), text)) ParsePostalSourceFile(text, entries);
            }
            bytes = BuildPostalDictFile(entries, false).size() + BuildPostalDictFile(entries, true).size();
        });
        std::printf("BENCH postal-build ours=%.4f\n", build);
        std::fprintf(stderr, "postal-build: %zu bytes\n", bytes);
    }
    std::fprintf(stderr, "postal-lookup: %zu hits\n", found);
    return 0;
}
