// Adding many customers in one call: AddNewKokyaku with a list against a
// prepared INSERT of the same records in one transaction.
#include "BenchData.h"

namespace {

void InsertRaw(sqlite3* db, CKokyakuList& list) {
    // Every stored field but the key, by name.
    std::string cols, params;
    std::vector<const KokyakuField*> fields;
    for (const KokyakuField& f : KokyakuFields()) {
        if (f.flags & kFieldKey) continue;
        if (!cols.empty()) cols += ',';
        cols += f.name;
        params += params.empty() ? "?" : ",?";
        fields.push_back(&f);
    }
    const std::string sql = "INSERT INTO Customer(" + cols + ") VALUES(" + params + ")";
    bench::Check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK, "begin", db);
    sqlite3_stmt* st = nullptr;
    bench::Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", db);
    for (auto& k : list) {
        UpdatePhoneNumbers(*k);
        for (size_t i = 0; i < fields.size(); ++i) {
            const int p = int(i) + 1;
            const auto& m = fields[i]->member;
            if (auto t = std::get_if<KokyakuField::TextMember>(&m)) {
                const std::string& s = (*k).**t;
                sqlite3_bind_text(st, p, s.data(), int(s.size()), SQLITE_STATIC);
            } else if (auto n = std::get_if<KokyakuField::IntMember>(&m)) {
                sqlite3_bind_int(st, p, (*k).**n);
            } else if (auto d = std::get_if<KokyakuField::DateMember>(&m)) {
                const CDateTime& v = (*k).**d;
                if (v.IsValid())
                    sqlite3_bind_double(st, p, v.Days());
                else
                    sqlite3_bind_null(st, p);
            } else if (auto x = std::get_if<KokyakuField::NumberMember>(&m)) {
                sqlite3_bind_double(st, p, (*k).**x);
            }
        }
        bench::Check(sqlite3_step(st) == SQLITE_DONE, "insert", db);
        sqlite3_reset(st);
        k->ID = int32_t(sqlite3_last_insert_rowid(db));
    }
    sqlite3_finalize(st);
    bench::Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK, "commit", db);
}

}  // namespace

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::ScratchFolder scratch;
    bench::Generator gen;
    const CKokyakuList source = bench::MakeCustomers(gen, customers);
    auto copy = [&] {
        CKokyakuList list;
        list.reserve(source.size());
        for (auto& k : source) list.push_back(std::make_unique<CKokyaku>(*k));
        return list;
    };

    int round = 0;
    double bestOurs = 1e30, bestRaw = 1e30;
    for (int r = 0; r < 3; ++r, ++round) {
        {
            CMilvaneData db;
            bench::OpenNewDatabase(db, scratch.Sub("ours" + std::to_string(round)));
            CKokyakuList list = copy();
            CKeyArray refused;
            double s = bench::Seconds([&] { bench::Check(db.AddNewKokyaku(list, refused) == 1, "AddNewKokyaku"); });
            bestOurs = std::min(bestOurs, s);
            db.SaveMLV(true);
        }
        {
            // The same empty database, filled through a plain connection.
            std::string folder = scratch.Sub("raw" + std::to_string(round));
            {
                CMilvaneData db;
                bench::OpenNewDatabase(db, folder);
                db.SaveMLV(true);
            }
            sqlite3* raw = bench::OpenRaw(folder + "/" + kDatabaseFileName, false);
            CKokyakuList list = copy();
            double s = bench::Seconds([&] { InsertRaw(raw, list); });
            bestRaw = std::min(bestRaw, s);
            sqlite3_close(raw);
        }
    }
    std::printf("BENCH bulk-add-100k ours=%.4f raw=%.4f ratio=%.2f\n", bestOurs, bestRaw, bestOurs / bestRaw);
    return 0;
}
