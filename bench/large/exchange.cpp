// The text export of the large data as the export command does it (customers
// read in the default order, every exportable column) against a plain SELECT
// written row by row through iconv, each side in a child process so that its
// peak memory is its own.
#include <iconv.h>
#include <sys/wait.h>

#include "LargeData.h"
#include "app/MilvaneApp.h"
#include "app/MilvaneDoc.h"
#include "customers/DefaultSort.h"
#include "exchange/Export.h"
#include "exchange/Formats.h"

namespace {

struct Run {
    double seconds;
    long peakMb;
};

// Runs work in a child process: its time and peak memory. The data folder is
// read first, so that each side starts with the same page cache.
Run InChild(const std::string& folder, const std::function<void()>& work) {
    bench::Check(std::system(("cat '" + folder + "'/* > /dev/null").c_str()) == 0, "reading the data folder");
    std::fflush(nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        std::fflush(nullptr);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    bench::Check(pid > 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0,
                 "the child");
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), usage.ru_maxrss / 1024};
}

void Report(const std::string& name, const Run& ours, const Run& raw) {
    bench::Report(name, ours.seconds, raw.seconds);
    std::printf("MEM %s peak_mb=%ld raw_peak_mb=%ld\n", name.c_str(), ours.peakMb, raw.peakMb);
}

std::vector<CMLVCol> AllColumns() {
    std::vector<CMLVCol> cols;
    for (const KokyakuField& f : KokyakuFields())
        if (f.IsUserField() && IsExportableColumn(f.name)) cols.push_back({f.name, f.name});
    return cols;
}

void RawExport(const std::string& dbFile, const std::vector<CMLVCol>& cols, const std::string& path) {
    sqlite3* db = bench::OpenRaw(dbFile, true);
    std::string sql = "SELECT ";
    for (const CMLVCol& c : cols) sql += (sql.size() > 7 ? "," : "") + c.fieldName;
    sql += " FROM Customer ORDER BY RirekiUpDate DESC";
    sqlite3_stmt* st = nullptr;
    bench::Check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK, "prepare", db);
    iconv_t cd = iconv_open("CP932", "UTF-8");
    FILE* f = std::fopen(path.c_str(), "wb");
    std::string row, out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        row.clear();
        for (int c = 0; c < int(cols.size()); ++c) row.append("\"").append(bench::ColumnText(st, c)).append("\",");
        row += "\r\n";
        out.resize(row.size() * 2);
        char* in = row.data();
        char* o = out.data();
        size_t inLeft = row.size(), outLeft = out.size();
        iconv(cd, &in, &inLeft, &o, &outLeft);
        std::fwrite(out.data(), 1, out.size() - outLeft, f);
    }
    std::fclose(f);
    iconv_close(cd);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

}  // namespace

int main() {
    const bench::LargeData data;
    const std::string& folder = data.folder;
    const std::string dbFile = folder + "/" + kDatabaseFileName;
    const std::vector<CMLVCol> cols = AllColumns();

    const Run exportOurs = InChild(folder, [&] {
        CMilvaneDoc doc(data.install);
        doc.DataDir = folder;
        bench::Check(doc.Database().InitDBFromPath(dbFile, true) == 1, "opening the database");
        CMilvaneData::RecordCounts counts;
        bench::Check(doc.Database().CountRecords(counts) == 1, "counting");
        std::unique_ptr<IKokyakuCursor> cursor = doc.Database().OpenKokyakuCursor(CDefaultSort(folder).GetOrderText());
        bench::Check(cursor != nullptr, "the cursor");
        bench::Check(CTextFormat().WriteRows(data.scratch.Path() + "/ours.csv",
                                             ExportRows(*cursor, cols, static_cast<std::size_t>(counts.customers))),
                     "text");
    });
    const Run exportRaw = InChild(folder, [&] { RawExport(dbFile, cols, data.scratch.Path() + "/raw.csv"); });
    Report("export-csv-" + data.size, exportOurs, exportRaw);
    bench::Check(std::filesystem::file_size(data.scratch.Path() + "/ours.csv") > 0, "the export");
    std::filesystem::remove(data.scratch.Path() + "/ours.csv");
    std::filesystem::remove(data.scratch.Path() + "/raw.csv");
    return 0;
}
