// Three analyses over the large history: frequency (page 1), elapsed days
// (page 3) and amounts (page 6). Ours builds the statement and runs it as
// the analysis sheet does (SorunaRunStatement through QuerySoruna); raw
// steps the same translated statement on SQLite.
#include "LargeData.h"
#include "analysis/SorunaQuery.h"
#include "db/JetSql.h"

namespace {

void Measure(const std::string& name, CMilvaneData& db, sqlite3* raw, int kind, const CSorunaBuild& build) {
    bench::Check(build.has_value(), "building the statement");
    const std::string run = SorunaRunStatement(build->sql);
    const auto translated = TranslateJetSql(run);
    bench::Check(translated.has_value(), "translating the statement");
    std::size_t oursHits = 0, rawHits = 0;
    bench::Compare(
        name.c_str(), 1,
        [&] {
            CSorunaHitList hits;
            bench::Check(db.QuerySoruna(kind, run, hits, build->maxHits) == 1, "QuerySoruna");
            oursHits = hits.size();
        },
        [&] {
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            rawHits = 0;
            while (sqlite3_step(st) == SQLITE_ROW) ++rawHits;
            sqlite3_finalize(st);
        });
    bench::Check(oursHits == rawHits, "the same hits");
}

}  // namespace

int main() {
    const std::string folder = bench::LargeDataFolder();
    const std::string size = bench::SizeName(bench::LargeHistory());
    CMilvaneData db;
    bench::Check(db.InitDB(folder) == 1, "opening the database");
    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);
    bench::Check(RegisterJetFunctions(raw), "registering the dialect's functions", raw);
    const CDateTime now = CDateTime::Now();

    CSorunaPage1 p1;
    p1.title = "購入";
    p1.count = 3;
    p1.period = {true, "2016/01/01", "2025/12/31"};
    Measure("analysis-page1-" + size, db, raw, 1, BuildSorunaPage1(p1));
    CSorunaPage3 p3;
    p3.title = "購入";
    p3.option = 1;
    p3.months = 12;
    Measure("analysis-page3-" + size, db, raw, 3, BuildSorunaPage3(p3, now));
    CSorunaPage6 p6;
    p6.title = "購入";
    p6.measure = 2;
    p6.thresholds[2] = "30000";
    Measure("analysis-page6-" + size, db, raw, 6, BuildSorunaPage6(p6));
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
