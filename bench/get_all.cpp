// All customers read into records: GetAllKokyaku against a hand-written
// SELECT that decodes every column into the same records.
#include <cstring>

#include "BenchData.h"

namespace {

// The column of every field, in key order, decoded by the field of its name.
void ReadAllRaw(sqlite3* db, CKokyakuList& list) {
    std::string sql = "SELECT ";
    for (const KokyakuField& f : KokyakuFields()) {
        if (sql.size() > 7) sql += ',';
        sql += f.name;
    }
    sql += " FROM Customer ORDER BY ID";
    sqlite3_stmt* st = nullptr;
    bench::Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", db);
    const int n = sqlite3_column_count(st);
    std::vector<const KokyakuField*> fields(size_t(n), nullptr);
    for (int c = 0; c < n; ++c) fields[size_t(c)] = FindKokyakuField(sqlite3_column_name(st, c));
    while (sqlite3_step(st) == SQLITE_ROW) {
        auto k = std::make_unique<CKokyaku>();
        for (int c = 0; c < n; ++c) {
            const KokyakuField* f = fields[size_t(c)];
            if (!f) continue;
            const auto& m = f->member;
            if (auto t = std::get_if<KokyakuField::TextMember>(&m)) {
                auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                if (p) (*k).**t = std::string(p, size_t(sqlite3_column_bytes(st, c)));
            } else if (auto i = std::get_if<KokyakuField::IntMember>(&m)) {
                (*k).**i = sqlite3_column_int(st, c);
            } else if (auto d = std::get_if<KokyakuField::DateMember>(&m)) {
                if (sqlite3_column_type(st, c) != SQLITE_NULL) (*k).**d = CDateTime(sqlite3_column_double(st, c));
            } else if (auto x = std::get_if<KokyakuField::NumberMember>(&m)) {
                (*k).**x = sqlite3_column_double(st, c);
            }
        }
        list.push_back(std::move(k));
    }
    sqlite3_finalize(st);
}

}  // namespace

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::FilledData data(customers);
    CMilvaneData& db = data.db;
    sqlite3* raw = bench::OpenRaw(db.GetMLVFName(), true);

    size_t oursCount = 0, rawCount = 0;
    bench::Compare(
        "get-all-100k", 3,
        [&] {
            CKokyakuList list;
            bench::Check(db.GetAllKokyaku(list) != 0, "GetAllKokyaku");
            oursCount = list.size();
        },
        [&] {
            CKokyakuList list;
            ReadAllRaw(raw, list);
            rawCount = list.size();
        });
    bench::Check(oursCount == size_t(customers) && rawCount == oursCount, "reading every customer");

    // Both sides must have built the same records.
    CKokyakuList a, b;
    db.GetAllKokyaku(a);
    ReadAllRaw(raw, b);
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        bench::Check(*a[i] == *b[i], "equal records");
    sqlite3_close(raw);
    db.SaveMLV(true);
    return 0;
}
