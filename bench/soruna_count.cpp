// The frequency analysis (customers with at least 3 purchases, most first)
// over a million history entries: QuerySoruna against the same grouping in
// plain SQLite, both building hit records.
#include "BenchData.h"

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 1000000);
    bench::FilledData data(customers);
    CMilvaneData& db = data.db;
    bench::AddHistory(db, data.gen, data.keys, history);
    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, "SELECT count(*) FROM Rireki", -1, &st, nullptr);
        bench::Check(sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == history, "the history generated");
        sqlite3_finalize(st);
    }

    const std::string jet =
        "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント FROM Customer INNER JOIN Rireki ON "
        "Customer.ID = Rireki.CustomerID WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID "
        "HAVING ((Count(*))>=3) ORDER BY Count(*) DESC";
    const char* plain =
        "SELECT Customer.ID, count(*) FROM Customer JOIN Rireki ON Customer.ID = Rireki.CustomerID "
        "WHERE Rireki.ActionTitle = '購入' GROUP BY Customer.ID HAVING count(*) >= 3 ORDER BY count(*) DESC";

    size_t oursHits = 0, rawHits = 0;
    long oursSum = 0, rawSum = 0;
    bench::Compare(
        "soruna-count-1m", 3,
        [&] {
            CSorunaHitList hits;
            bench::Check(db.QuerySoruna(1, jet, hits, -1) == 1, "QuerySoruna");
            oursHits = hits.size();
            oursSum = 0;
            for (auto& h : hits) oursSum += h->Count;
        },
        [&] {
            CSorunaHitList hits;
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, plain, -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            while (sqlite3_step(st) == SQLITE_ROW) {
                auto h = std::make_unique<CMLVSorunaHit>();
                h->Kind = 1;
                h->CustomerID = sqlite3_column_int(st, 0);
                h->Count = sqlite3_column_int(st, 1);
                hits.push_back(std::move(h));
            }
            sqlite3_finalize(st);
            rawHits = hits.size();
            rawSum = 0;
            for (auto& h : hits) rawSum += h->Count;
        });
    // With ten entries per customer some must qualify; smaller runs may find none.
    bench::Check((rawHits > 0 || history < 10 * customers) && oursHits == rawHits && oursSum == rawSum,
                 "the same hits");
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
