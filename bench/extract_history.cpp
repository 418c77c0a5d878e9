// A history extraction on history fields only (month of the date and an
// amount), as the extraction dialog builds it, over a million entries:
// ExtractRireki against the same translated statement stepped directly on
// SQLite, both building the history records.
#include "BenchData.h"
#include "app/JetSql.h"
#include "customers/MasterColSet.h"
#include "extract/ExCondition.h"
#include "extract/ExQueryBuilder.h"

namespace {

ExRowInput Row(const CExQueryBuilder& b, const char* ref, const char* value, const char* op, int connector) {
    ExRowInput in;
    in.field = b.IndexOf(ref);
    in.value = value;
    in.connector = connector;
    const auto ops = ExOperatorsFor(ref);
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (std::string(ops[i].display) == op) in.op = int(i);
    return in;
}

std::string Text(sqlite3_stmt* st, int col) {
    const unsigned char* p = sqlite3_column_text(st, col);
    return p ? std::string(reinterpret_cast<const char*>(p), size_t(sqlite3_column_bytes(st, col))) : std::string();
}

}  // namespace

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    const int history = bench::EnvInt("MILVANE_BENCH_HISTORY", 1000000);
    bench::ScratchFolder scratch;
    const std::string folder = scratch.Sub("data");
    bench::Generator gen;
    CMilvaneData db;
    CKeyArray keys = bench::OpenFilledDatabase(db, folder, gen, customers);
    {
        // Each entry drawn on its own, written in one transaction beside the database's connection.
        sqlite3* writer = bench::OpenRaw(db.GetMLVFName(), false);
        sqlite3_busy_timeout(writer, 10000);
        bench::Check(sqlite3_exec(writer, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK, "begin", writer);
        sqlite3_stmt* ins = nullptr;
        bench::Check(sqlite3_prepare_v2(writer,
                                        "INSERT INTO Rireki (CustomerID, Date, ActionTitle, Action, Money, Keyword, "
                                        "TantouName) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                                        -1, &ins, nullptr) == SQLITE_OK,
                     "prepare insert", writer);
        for (int i = 0; i < history; ++i) {
            const CRirekiData r = gen.Rireki();
            sqlite3_bind_int(ins, 1, int(keys[size_t(gen.Uniform(0, int(keys.size()) - 1))]));
            sqlite3_bind_double(ins, 2, r.Date.Days());
            sqlite3_bind_text(ins, 3, r.ActionTitle.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 4, r.Action.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(ins, 5, r.Money);
            sqlite3_bind_text(ins, 6, r.Keyword.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 7, r.TantouName.c_str(), -1, SQLITE_TRANSIENT);
            bench::Check(sqlite3_step(ins) == SQLITE_DONE, "insert", writer);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        bench::Check(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, "commit", writer);
        sqlite3_close(writer);
    }

    CMLVColSet set("");
    set.columns = MasterColumns();
    CExQueryBuilder builder(ExFieldList(set));
    std::array<ExRowInput, 3> rows = {Row(builder, "[Rireki].[Date]", "5", "と月が等しい", kConnAnd),
                                      Row(builder, "[Rireki].[Money]", "50000", "以上", kConnEnd), ExRowInput()};
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
            for (int j = 0; j < 9; ++j) {
                col[j] = -1;
                for (int i = 0, n = sqlite3_column_count(st); i < n; ++i)
                    if (sqlite3_stricmp(sqlite3_column_name(st, i), names[j]) == 0) col[j] = i;
            }
            while (sqlite3_step(st) == SQLITE_ROW) {
                auto r = std::make_unique<CRirekiData>();
                r->ID = sqlite3_column_int(st, col[0]);
                r->CustomerID = sqlite3_column_int(st, col[1]);
                if (sqlite3_column_type(st, col[2]) != SQLITE_NULL) r->Date = CDateTime(sqlite3_column_double(st, col[2]));
                r->ActionTitle = Text(st, col[3]);
                r->Action = Text(st, col[4]);
                r->Money = sqlite3_column_double(st, col[5]);
                r->Keyword = Text(st, col[6]);
                r->TantouName = Text(st, col[7]);
                r->Picture = Text(st, col[8]);
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
