// Deleting half of 1,000,000 history entries (DeleteRirekiForDate) beside the
// same DELETE through the SQLite C API, and the optimisation (CompactDB)
// beside VACUUM INTO plus VACUUM run directly. Every round starts from a copy
// of one prepared database; the copying is not timed.
#include <filesystem>

#include "BenchData.h"

namespace fs = std::filesystem;

namespace {

const CDateTime kFirstDay = CDateTime::FromParts(2016, 1, 1);
constexpr int kDays = 3650;

// The prepared data folder: customers through the component, the entries
// written in one plain transaction over generated texts.
void Prepare(const std::string& folder, int customers, int history) {
    bench::Generator gen;
    {
        CMilvaneData db;
        bench::OpenFilledDatabase(db, folder, gen, customers);
        bench::Check(db.SaveMLV(true) == 1, "saving the database");
    }
    sqlite3* raw = bench::OpenRaw(folder + "/" + kDatabaseFileName, false);
    sqlite3_exec(raw, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    bench::InsertHistory(raw, gen, history, [&](int i, const CRirekiData&) {
        // evenly over ten years
        return std::pair(gen.Uniform(1, customers), kFirstDay.Days() + double(i) * kDays / history + 0.4);
    });
    bench::Check(sqlite3_exec(raw, "COMMIT; PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK,
                 "commit", raw);
    sqlite3_close(raw);
}

void Fresh(const std::string& prepared, const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(prepared + "/" + kDatabaseFileName, folder + "/" + kDatabaseFileName);
}

void Exec(sqlite3* db, const std::string& sql) {
    bench::Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK, sql.c_str(), db);
}

void Report(const char* name, double ours, double raw) {
    std::printf("BENCH %s ours=%.4f raw=%.4f ratio=%.2f\n", name, ours, raw, ours / raw);
    std::fflush(stdout);
}

}  // namespace

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 1000000);
    const int rounds = bench::EnvInt("MILVANE_BENCH_ROUNDS", 3);
    bench::ScratchFolder scratch;
    const std::string prepared = scratch.Sub("prepared"), ours = scratch.Path() + "/ours",
                      raw = scratch.Path() + "/raw";
    Prepare(prepared, customers, history);
    const CDateTime cutOff(kFirstDay.Days() + kDays / 2 - 1);  // the older half
    const std::string rawDelete = "DELETE FROM Rireki WHERE Date < " + std::to_string(cutOff.Days() + 1);

    double bestOurs = 1e30, bestRaw = 1e30, optOurs = 1e30, optRaw = 1e30;
    for (int r = 0; r < rounds; ++r) {
        Fresh(prepared, ours);
        {
            CMilvaneData db;
            bench::Check(db.InitDB(ours) == 1, "opening");
            bestOurs = std::min(bestOurs, bench::Seconds([&] {
                                    bench::Check(db.DeleteRirekiForDate(cutOff) == 1, "DeleteRirekiForDate");
                                }));
            optOurs = std::min(optOurs, bench::Seconds([&] {
                                   bench::Check(db.CompactDB(scratch.Path() + "/ours.mlv") == 1, "CompactDB");
                               }));
        }
        Fresh(prepared, raw);
        {
            sqlite3* db = bench::OpenRaw(raw + "/" + kDatabaseFileName, false);
            bestRaw = std::min(bestRaw, bench::Seconds([&] { Exec(db, "BEGIN IMMEDIATE; " + rawDelete + "; COMMIT"); }));
            fs::remove(scratch.Path() + "/raw.mlv");
            optRaw = std::min(optRaw, bench::Seconds([&] {
                                  Exec(db, "VACUUM INTO '" + scratch.Path() + "/raw.mlv'");
                                  Exec(db, "VACUUM");
                              }));
            sqlite3_close(db);
        }
    }
    Report("history-purge-1m", bestOurs, bestRaw);
    Report("optimise-1m", optOurs, optRaw);
    return 0;
}
