// A history extraction on history fields only (month of the date and an
// amount), as the extraction dialog builds it, over a million entries:
// ExtractRireki against the same translated statement stepped directly on
// SQLite, both building the history records.
#include "BenchData.h"
#include "db/JetSql.h"
#include "customers/MasterColSet.h"
#include "extract/ExCondition.h"
#include "extract/ExQueryBuilder.h"

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 1000000);
    bench::FilledData data(customers);
    CMilvaneData& db = data.db;
    {
        // Each entry drawn on its own, written in one transaction beside the database's connection.
        sqlite3* writer = bench::OpenRaw(db.GetMLVFName(), false);
        sqlite3_busy_timeout(writer, 10000);
        bench::Check(sqlite3_exec(writer, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK, "begin", writer);
        bench::InsertHistory(writer, data.gen, history, [&](int, const CRirekiData& r) {
            return std::pair(int(data.keys[size_t(data.gen.Uniform(0, int(data.keys.size()) - 1))]), r.Date.Days());
        });
        bench::Check(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, "commit", writer);
        sqlite3_close(writer);
    }

    CMLVColSet set("");
    set.columns = MasterColumns();
    CExQueryBuilder builder(ExFieldList(set));
    std::array<ExRowInput, 3> rows = {bench::ExRow(builder, "[Rireki].[Date]", "5", "と月が等しい", kConnAnd),
                                      bench::ExRow(builder, "[Rireki].[Money]", "50000", "以上", kConnEnd), ExRowInput()};
    CExCondition condition;
    bench::Check(builder.BuildStatement(rows, 1, condition), "building the statement");
    const std::optional<std::string> translated = TranslateJetSql(condition.QueryText);
    bench::Check(translated.has_value(), "translating the statement");

    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);
    bench::Check(RegisterJetFunctions(raw), "registering the functions", raw);

    size_t oursCount = 0, rawCount = 0;
    double oursSum = 0, rawSum = 0;
    bench::Compare(
        "extract-history-1m", 3,
        [&] {
            CRirekiList list;
            bench::Check(db.ExtractRireki(condition.QueryText, list) == 1, "ExtractRireki");
            oursCount = list.size();
            oursSum = 0;
            for (auto& r : list) oursSum += r->Money;
        },
        [&] {
            CRirekiList list;
            sqlite3_stmt* st = nullptr;
            bench::Check(sqlite3_prepare_v2(raw, translated->c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", raw);
            int col[9];
            static const char* const names[9] = {"ID",    "CustomerID", "Date",       "ActionTitle", "Action",
                                                  "Money", "Keyword",    "TantouName", "Picture"};
            for (int j = 0; j < 9; ++j) col[j] = bench::ColumnIndex(st, names[j]);
            while (sqlite3_step(st) == SQLITE_ROW) {
                auto r = std::make_unique<CRirekiData>();
                r->ID = sqlite3_column_int(st, col[0]);
                r->CustomerID = sqlite3_column_int(st, col[1]);
                if (sqlite3_column_type(st, col[2]) != SQLITE_NULL) r->Date = CDateTime(sqlite3_column_double(st, col[2]));
                r->ActionTitle = bench::ColumnText(st, col[3]);
                r->Action = bench::ColumnText(st, col[4]);
                r->Money = sqlite3_column_double(st, col[5]);
                r->Keyword = bench::ColumnText(st, col[6]);
                r->TantouName = bench::ColumnText(st, col[7]);
                r->Picture = bench::ColumnText(st, col[8]);
                list.push_back(std::move(r));
            }
            sqlite3_finalize(st);
            rawCount = list.size();
            rawSum = 0;
            for (auto& r : list) rawSum += r->Money;
        });
    if (oursCount != rawCount || oursSum != rawSum)
        std::fprintf(stderr, "ours %zu entries (%.2f), raw %zu (%.2f)\n", oursCount, oursSum, rawCount, rawSum);
    bench::Check(oursCount == rawCount && oursSum == rawSum && (rawCount > 0 || history < 1000), "the same entries");
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
