// A customer extraction on a name prefix: ExtractKokyaku with the statement
// the extraction dialog writes, against the same selection in plain SQLite.
#include <algorithm>

#include "BenchData.h"

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::FilledData data(customers);
    CMilvaneData& db = data.db;
    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);

    const std::string jet =
        "SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Name] Like '山田%' AND "
        "[Customer].[Name] Not Like '')";
    const char* plain = "SELECT ID FROM Customer WHERE (Name LIKE '山田%' AND Name NOT LIKE '')";

    CKeyArray oursKeys, rawKeys;
    bench::Compare(
        "extract-like", 5,
        [&] {
            oursKeys.clear();
            bench::Check(db.ExtractKokyaku(jet, oursKeys) == 1, "ExtractKokyaku");
        },
        [&] {
            rawKeys.clear();
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, plain, -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            while (sqlite3_step(st) == SQLITE_ROW) rawKeys.push_back(uint32_t(sqlite3_column_int(st, 0)));
            sqlite3_finalize(st);
        });
    std::sort(oursKeys.begin(), oursKeys.end());
    std::sort(rawKeys.begin(), rawKeys.end());
    bench::Check(!rawKeys.empty() && oursKeys == rawKeys, "the same customers");
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
