// The data of the large benchmarks: a data folder of MILVANE_LARGE_CUSTOMERS
// customers (1,000,000) and MILVANE_LARGE_HISTORY history entries
// (10,000,000), generated once into a cache folder outside the tree and
// reused by every later run. Written with plain bulk inserts in one
// transaction, the indexes built afterwards.
#pragma once

#include <sys/resource.h>

#include <fstream>

#include "BenchData.h"
#include "customers/MLVColSet.h"

namespace bench {

// Surnames and given names built from pieces, so that a million customers
// have nearly all distinct names, as in a real register.
struct Piece {
    const char* kanji;
    const char* kana;
};
inline const Piece kSurnamePieces[] = {
    {"山", "ﾔﾏ"}, {"田", "ﾀ"},   {"中", "ﾅｶ"}, {"川", "ｶﾜ"},     {"村", "ﾑﾗ"}, {"井", "ｲ"},   {"木", "ｷ"},   {"林", "ﾊﾔｼ"},
    {"森", "ﾓﾘ"}, {"本", "ﾓﾄ"}, {"上", "ｶﾐ"}, {"下", "ｼﾓ"},     {"石", "ｲｼ"}, {"松", "ﾏﾂ"}, {"竹", "ﾀｹ"}, {"小", "ｺ"},
    {"大", "ｵｵ"}, {"高", "ﾀｶ"}, {"藤", "ﾌｼﾞ"}, {"野", "ﾉ"},     {"原", "ﾊﾗ"}, {"島", "ｼﾏ"}, {"岡", "ｵｶ"}, {"崎", "ｻｷ"},
    {"宮", "ﾐﾔ"}, {"西", "ﾆｼ"}, {"東", "ﾋｶﾞｼ"}, {"北", "ｷﾀ"}, {"池", "ｲｹ"}, {"谷", "ﾀﾆ"},
};
inline const Piece kGivenHeads[] = {
    {"健", "ｹﾝ"}, {"大", "ﾀﾞｲ"}, {"翔", "ｼｮｳ"}, {"誠", "ﾏｺﾄ"}, {"浩", "ﾋﾛ"}, {"和", "ｶｽﾞ"}, {"直", "ﾅｵ"},
    {"美", "ﾐ"},   {"恵", "ｹｲ"},  {"由", "ﾕ"},    {"真", "ﾏ"},    {"智", "ﾄﾓ"}, {"秀", "ﾋﾃﾞ"}, {"正", "ﾏｻ"},
    {"光", "ﾐﾂ"}, {"春", "ﾊﾙ"},  {"夏", "ﾅﾂ"},   {"秋", "ｱｷ"},   {"雅", "ﾏｻ"}, {"達", "ﾀﾂ"},
};
inline const Piece kGivenTails[] = {
    {"太", "ﾀ"},   {"介", "ｽｹ"}, {"子", "ｺ"}, {"美", "ﾐ"}, {"也", "ﾔ"}, {"彦", "ﾋｺ"},  {"郎", "ﾛｳ"},
    {"樹", "ｷ"},   {"奈", "ﾅ"},  {"香", "ｶ"}, {"人", "ﾄ"}, {"斗", "ﾄ"}, {"菜", "ﾅ"},   {"代", "ﾖ"},
    {"江", "ｴ"},   {"恵", "ｴ"},  {"輝", "ｷ"}, {"平", "ﾍｲ"}, {"明", "ｱｷ"}, {"一", "ｶｽﾞ"},
};

inline int LargeCustomers() { return EnvInt("MILVANE_LARGE_CUSTOMERS", 1000000); }
inline int LargeHistory() { return EnvInt("MILVANE_LARGE_HISTORY", 10000000); }

// "1m", "10m", "300k": the size suffix of a benchmark name.
inline std::string SizeName(int n) {
    if (n % 1000000 == 0) return std::to_string(n / 1000000) + "m";
    if (n % 1000 == 0) return std::to_string(n / 1000) + "k";
    return std::to_string(n);
}

inline std::string CacheRoot() {
    if (const char* dir = std::getenv("MILVANE_BENCH_CACHE"); dir && *dir) return dir;
    if (const char* dir = std::getenv("XDG_CACHE_HOME"); dir && *dir) return std::string(dir) + "/milvane-bench";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.cache/milvane-bench";
}

inline void Exec(sqlite3* db, const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql.c_str(), msg ? msg : "");
        std::exit(1);
    }
}

// The index definitions of the table, to drop them while filling.
inline std::vector<std::pair<std::string, std::string>> Indexes(sqlite3* db, const char* table) {
    std::vector<std::pair<std::string, std::string>> out;
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT name, sql FROM sqlite_master WHERE type='index' AND tbl_name=?1 AND sql NOT NULL",
                             -1, &st, nullptr) == SQLITE_OK,
          "reading the indexes", db);
    sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
    while (sqlite3_step(st) == SQLITE_ROW) out.emplace_back(ColumnText(st, 0), ColumnText(st, 1));
    sqlite3_finalize(st);
    return out;
}

inline void InsertCustomers(sqlite3* db, Generator& gen, int count) {
    std::vector<const KokyakuField*> fields;
    std::string names, params;
    for (const KokyakuField& f : KokyakuFields()) {
        if (f.flags & kFieldKey) continue;
        fields.push_back(&f);
        names += (names.empty() ? "" : ",") + std::string(f.name);
        params += (params.empty() ? "?" : ",?");
    }
    sqlite3_stmt* st = nullptr;
    Check(sqlite3_prepare_v2(db, ("INSERT INTO Customer (" + names + ") VALUES (" + params + ")").c_str(), -1, &st,
                             nullptr) == SQLITE_OK,
          "prepare customer insert", db);
    for (int n = 1; n <= count; ++n) {
        CKokyaku k = gen.Customer(n);
        const bool longSurname = gen.Chance(50);
        std::string name, yomi;
        for (int i = 0; i < (longSurname ? 3 : 2); ++i) {
            const Piece& p = gen.Pick(kSurnamePieces);
            name += p.kanji;
            yomi += p.kana;
        }
        for (const auto* pieces : {&kGivenHeads, &kGivenTails}) {
            const Piece& p = gen.Pick(*pieces);
            name += p.kanji;
            yomi += p.kana;
        }
        k.Name = name;
        k.Yomi = yomi;
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const int i = int(c) + 1;
            const auto& m = fields[c]->member;
            if (auto t = std::get_if<KokyakuField::TextMember>(&m)) {
                sqlite3_bind_text(st, i, (k.**t).c_str(), int((k.**t).size()), SQLITE_STATIC);
            } else if (auto x = std::get_if<KokyakuField::IntMember>(&m)) {
                sqlite3_bind_int(st, i, k.**x);
            } else if (auto d = std::get_if<KokyakuField::DateMember>(&m)) {
                if ((k.**d).IsValid())
                    sqlite3_bind_double(st, i, (k.**d).Days());
                else
                    sqlite3_bind_null(st, i);
            } else if (auto y = std::get_if<KokyakuField::NumberMember>(&m)) {
                sqlite3_bind_double(st, i, k.**y);
            }
        }
        Check(sqlite3_step(st) == SQLITE_DONE, "customer insert", db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// The cached data folder holding QSMLV.mlv of the large sizes; generated
// when missing (a few minutes for the full sizes).
inline std::string LargeDataFolder() {
    const int customers = LargeCustomers(), history = LargeHistory();
    const std::string folder = CacheRoot() + "/c" + std::to_string(customers) + "-h" + std::to_string(history) + "-v1";
    const std::string file = folder + "/" + kDatabaseFileName;
    if (std::filesystem::exists(file)) return folder;
    std::fprintf(stderr, "generating %d customers and %d history entries into %s\n", customers, history,
                 folder.c_str());
    const std::string temp = folder + ".part";
    std::filesystem::remove_all(temp);
    std::filesystem::create_directories(temp);
    Check(CreateEmptyMilvaneDatabase(temp + "/" + kDatabaseFileName), "creating the database");
    sqlite3* db = nullptr;
    Check(sqlite3_open(std::string(temp + "/" + kDatabaseFileName).c_str(), &db) == SQLITE_OK, "opening", db);
    Exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-524288");
    Exec(db, "BEGIN");
    auto customerIndexes = Indexes(db, "Customer"), historyIndexes = Indexes(db, "Rireki");
    for (const auto& [name, sql] : customerIndexes) Exec(db, "DROP INDEX " + name);
    for (const auto& [name, sql] : historyIndexes) Exec(db, "DROP INDEX " + name);
    Generator gen;
    InsertCustomers(db, gen, customers);
    InsertHistory(db, gen, history, [&](int, const CRirekiData& r) {
        return std::pair<int, double>(gen.Uniform(1, customers), r.Date.Days());
    });
    for (const auto& [name, sql] : customerIndexes) Exec(db, sql);
    for (const auto& [name, sql] : historyIndexes) Exec(db, sql);
    Exec(db, "COMMIT");
    Exec(db, "PRAGMA journal_mode=DELETE");
    Check(sqlite3_close(db) == SQLITE_OK, "closing the database");
    std::filesystem::rename(temp, folder);
    return folder;
}

// An install folder pointing at the data folder, whose customer screen shows
// the columns.
inline void PrepareInstall(const std::string& install, const std::string& folder, std::vector<CMLVCol> columns) {
    WriteDataDir(install, folder);
    CMLVColSet set(install);
    set.columns = std::move(columns);
    set.Save();
    CMLVDispKokyakuCol disp(install);
    for (const auto& c : set.columns) disp.names.push_back(c.fieldName);
    disp.Save();
}

// The cached data folder and a scratch install folder pointing at it.
struct LargeData {
    std::string folder = LargeDataFolder();
    ScratchFolder scratch;
    std::string install = scratch.Sub("install");
    std::string size = SizeName(LargeCustomers());  // of the customers, for the bench names
    LargeData() { WriteDataDir(install, folder); }
};

// The peak resident memory of this process so far, in MB.
inline long PeakMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
    return -1;
}

inline void Report(const std::string& name, double ours) {
    std::printf("BENCH %s ours=%.4f\n", name.c_str(), ours);
    std::fflush(stdout);
}

inline void Report(const std::string& name, double ours, double raw) {
    std::printf("BENCH %s ours=%.4f raw=%.4f ratio=%.2f\n", name.c_str(), ours, raw, ours / raw);
    std::fflush(stdout);
}

}  // namespace bench
