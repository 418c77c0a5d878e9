// Three analyses over the large history: frequency (page 1), elapsed days
// (page 3) and amounts (page 6). Ours builds the statement and runs it as
// the analysis sheet does (QuerySorunaHits); raw steps the statement as run
// (SorunaRunStatement, ordered by the engine) on SQLite. Both give the same
// customers in the same order.
#include "LargeData.h"
#include "analysis/SorunaSheet.h"
#include "db/JetSql.h"

namespace {

void Measure(const std::string& name, CMilvaneData& db, sqlite3* raw, int kind, const CSorunaBuild& build) {
    bench::Check(build.has_value(), "building the statement");
    const auto translated = TranslateJetSql(SorunaRunStatement(build->sql));
    bench::Check(translated.has_value(), "translating the statement");
    std::vector<int32_t> oursKeys, rawKeys;
    bench::Compare(
        name.c_str(), 1,
        [&] {
            CSorunaHitList hits;
            bench::Check(QuerySorunaHits(db, kind, *build, hits) == 1, "QuerySorunaHits");
            oursKeys.clear();
            for (const auto& h : hits) oursKeys.push_back(h->CustomerID);
        },
        [&] {
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            rawKeys.clear();
            while ((build->maxHits <= 0 || int(rawKeys.size()) < build->maxHits) && sqlite3_step(st) == SQLITE_ROW)
                rawKeys.push_back(sqlite3_column_int(st, 0));
            sqlite3_finalize(st);
        });
    bench::Check(oursKeys == rawKeys, "the same hits");
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
