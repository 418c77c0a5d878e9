// Three analyses over a million history entries: frequency (page 1), elapsed
// days (page 3) and amounts (page 6). Ours builds the statement and runs it
// through QuerySoruna; raw runs the same translated statement directly on
// SQLite with the dialect's functions, building the same hit records.
#include "BenchData.h"
#include "analysis/SorunaQuery.h"
#include "db/JetSql.h"
#include <cmath>

namespace {

struct Totals {
    size_t hits = 0;
    double sum = 0;
    bool operator==(const Totals&) const = default;
};

Totals Sum(const CSorunaHitList& hits) {
    Totals t;
    t.hits = hits.size();
    for (const auto& h : hits) t.sum += h->Kind == 6 ? h->Money : h->Count;
    return t;
}

void Measure(const char* name, CMilvaneData& db, sqlite3* raw, int kind,
             const std::function<CSorunaBuild()>& build) {
    const CSorunaBuild probe = build();
    bench::Check(probe.has_value(), "building the statement");
    const auto translated = TranslateJetSql(probe->sql);
    bench::Check(translated.has_value(), "translating the statement");
    Totals ours, plain;
    bench::Compare(
        name, 3,
        [&] {
            const CSorunaBuild st = build();
            CSorunaHitList hits;
            bench::Check(db.QuerySoruna(kind, st->sql, hits, st->maxHits) == 1, "QuerySoruna");
            ours = Sum(hits);
        },
        [&] {
            CSorunaHitList hits;
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            while (sqlite3_step(st) == SQLITE_ROW) {
                auto h = std::make_unique<CMLVSorunaHit>();
                h->Kind = kind;
                h->CustomerID = sqlite3_column_int(st, 0);
                if (kind == 6)
                    h->Money = sqlite3_column_double(st, 1);
                else
                    h->Count = static_cast<int32_t>(std::llround(sqlite3_column_double(st, 1)));
                hits.push_back(std::move(h));
            }
            sqlite3_finalize(st);
            plain = Sum(hits);
        });
    bench::Check(ours == plain, "the same hits");
}

}  // namespace

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 1000000);
    bench::FilledData data(customers);
    CMilvaneData& db = data.db;
    const CDateTime now = CDateTime::Now();
    bench::AddHistory(db, data.gen, data.keys, history);
    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);
    bench::Check(RegisterJetFunctions(raw), "registering the dialect's functions", raw);

    Measure("analysis-page1-1m", db, raw, 1, [] {
        CSorunaPage1 p;
        p.title = "購入";
        p.count = 3;
        p.period = {true, "2016/01/01", "2025/12/31"};
        return BuildSorunaPage1(p);
    });
    Measure("analysis-page3-1m", db, raw, 3, [&] {
        CSorunaPage3 p;
        p.title = "購入";
        p.option = 1;
        p.months = 12;
        return BuildSorunaPage3(p, now);
    });
    Measure("analysis-page6-1m", db, raw, 6, [] {
        CSorunaPage6 p;
        p.title = "購入";
        p.measure = 2;
        p.thresholds[2] = "30000";
        return BuildSorunaPage6(p);
    });
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
