// Import of a Shift-JIS text file of generated customers (import-csv-100k):
// the file read, parsed, mapped field by field and added in one call. The raw
// side is the sqlite3 program's ".import --csv --skip 1" of the same file into
// an empty database of the same schema. That program cannot insert into a
// table with generated columns, so its copy has the two joined address
// columns dropped; every stored column is the same.
#include "BenchData.h"
#include "common/Archive.h"
#include "exchange/Formats.h"
#include "exchange/Import.h"
#include "exchange/TextImport.h"

namespace {

// The stored columns of the customer table, in table order (generated
// columns left out).
std::vector<std::string> TableColumns(const std::string& dbFile) {
    sqlite3* db = bench::OpenRaw(dbFile, true);
    sqlite3_stmt* st = nullptr;
    bench::Check(sqlite3_prepare_v2(db, "PRAGMA table_xinfo(Customer)", -1, &st, nullptr) == SQLITE_OK, "columns", db);
    std::vector<std::string> names;
    while (sqlite3_step(st) == SQLITE_ROW)
        if (sqlite3_column_int(st, 6) == 0) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return names;
}

}  // namespace

int main() {
    const int count = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::ScratchFolder scratch;
    bench::Generator gen;
    const CKokyakuList customers = bench::MakeCustomers(gen, count);

    const std::string empty = scratch.Sub("empty") + "/" + kDatabaseFileName;
    bench::Check(CreateEmptyMilvaneDatabase(empty), "creating the database");
    const std::vector<std::string> columns = TableColumns(empty);
    const std::string rawEmpty = scratch.Sub("raw-empty") + "/" + kDatabaseFileName;
    std::filesystem::copy_file(empty, rawEmpty);
    {
        sqlite3* db = bench::OpenRaw(rawEmpty, false);
        bench::Check(sqlite3_exec(db, "ALTER TABLE Customer DROP COLUMN Add_Home_X; "
                                      "ALTER TABLE Customer DROP COLUMN Add_Office_X",
                                  nullptr, nullptr, nullptr) == SQLITE_OK,
                     "dropping the generated columns", db);
        sqlite3_close(db);
    }

    // One text column per table column; the key is numbered, the rest are
    // the fields' value texts.
    ExchangeTable table{columns};
    for (std::size_t i = 0; i < customers.size(); ++i) {
        std::vector<std::string> row;
        for (const std::string& name : columns) {
            const KokyakuField* f = FindKokyakuField(name);
            row.push_back(name == "ID" ? std::to_string(i + 1) : f ? f->ValueText(*customers[i]) : std::string());
        }
        table.push_back(std::move(row));
    }
    const std::string csv = scratch.Path() + "/customers.csv";
    bench::Check(WriteWholeFileAtomic(csv, TextFileBytes(table)), "writing the file");
    std::vector<std::string> mapping;
    for (const std::string& name : columns) mapping.push_back(IsImportableColumn(name) ? name : std::string());

    int round = 0;
    auto freshDatabase = [&](const char* side, const std::string& from) {
        std::string folder = scratch.Sub(side + std::to_string(round));
        std::filesystem::copy_file(from, folder + "/" + kDatabaseFileName);
        return folder;
    };
    bench::Compare(
        "import-csv-100k", 3,
        [&] {
            CMilvaneData db;
            bench::Check(db.InitDB(freshDatabase("ours", empty)) == 1, "opening the database");
            std::string bytes;
            bench::Check(ReadWholeFile(csv, bytes), "reading the file");
            ExchangeTable rows;
            bench::Check(ParseDelimitedText(bytes, ',', rows), "parsing");
            DropHeadingRows(rows, false);
            CKokyakuList records = ConvertImportRows(rows, mapping);
            bench::Check(records.size() == customers.size(), "converting");
            bench::Check(AddImportedRecords(records, [&db](CKokyakuList& r, CKeyArray& refused) {
                             return db.AddNewKokyaku(r, refused);
                         }) == 1,
                         "adding");
            db.SaveMLV(true);
        },
        [&] {
            const std::string folder = freshDatabase("raw", rawEmpty);
            ++round;
            const std::string command = "sqlite3 '" + folder + "/" + kDatabaseFileName + "' \".import --csv --skip 1 '" +
                                        csv + "' Customer\"";
            bench::Check(std::system(command.c_str()) == 0, "sqlite3 .import");
        });
    return 0;
}
