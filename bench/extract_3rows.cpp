// A three-row customer extraction as the extraction dialog builds it,
// (name prefix AND sex) OR closing day, run by ExtractKokyaku against the
// same translated statement stepped directly on SQLite.
#include <algorithm>

#include "BenchData.h"
#include "db/JetSql.h"
#include "customers/MasterColSet.h"
#include "extract/ExCondition.h"
#include "extract/ExQueryBuilder.h"

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::FilledData data(customers);
    CMilvaneData& db = data.db;

    CMLVColSet set("");
    set.columns = MasterColumns();
    CExQueryBuilder builder(ExFieldList(set));
    std::array<ExRowInput, 3> rows = {bench::ExRow(builder, "[Customer].[Name]", "山田", "で始まる", kConnAnd),
                                      bench::ExRow(builder, "[Customer].[Sex]", "女", "と等しい", kConnOr),
                                      bench::ExRow(builder, "[Customer].[ClosingDay]", "99", "と等しい", kConnEnd)};
    CExCondition condition;
    bench::Check(builder.BuildStatement(rows, 0, condition), "building the statement");
    std::string error;
    const std::optional<std::string> translated = TranslateJetSql(condition.QueryText, &error);
    bench::Check(translated.has_value(), "translating the statement");

    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);
    bench::Check(RegisterJetFunctions(raw), "registering the functions", raw);

    CKeyArray oursKeys, rawKeys;
    bench::Compare(
        "extract-3rows-100k", 5,
        [&] {
            oursKeys.clear();
            bench::Check(db.ExtractKokyaku(condition.QueryText, oursKeys) == 1, "ExtractKokyaku");
        },
        [&] {
            rawKeys.clear();
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            const int id = std::max(0, bench::ColumnIndex(st, "ID"));
            while (sqlite3_step(st) == SQLITE_ROW) rawKeys.push_back(uint32_t(sqlite3_column_int(st, id)));
            sqlite3_finalize(st);
        });
    std::sort(oursKeys.begin(), oursKeys.end());
    std::sort(rawKeys.begin(), rawKeys.end());
    bench::Check(!rawKeys.empty() && oursKeys == rawKeys, "the same customers");
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
