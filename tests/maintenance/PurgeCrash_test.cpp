// The history purge and the optimisation killed at a write or sync of the
// database file layer, for k spread over the whole run: reopened, the
// database is whole and holds every entry or exactly those after the cut-off.
// 20,000 entries keep the suite quick; the kill points cover the run alike.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "KillVfs.h"
#include "MaintenanceFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCustomers = 100;
constexpr int kDays = 200;  // one entry per customer and day
constexpr int kTotal = kCustomers * kDays;
constexpr int kTrials = 16;
const CDateTime kFirstDay = CDateTime::FromParts(2020, 1, 1);
const CDateTime kCutOff = CDateTime(kFirstDay.Days() + kDays / 2 - 1);  // the first half goes

// A closed data folder with kTotal entries, made once for the suite.
const std::string& Prepared() {
    static TempDir dir;
    static std::string folder;
    if (!folder.empty()) return folder;
    folder = dir.File("prepared");
    fs::create_directories(folder);
    EXPECT_TRUE(CreateEmptyMilvaneDatabase(folder + "/QSMLV.mlv"));
    {
        CMilvaneData db;
        EXPECT_EQ(db.InitDB(folder), 1);
        CKokyakuList list;
        for (int i = 0; i < kCustomers; ++i) {
            list.push_back(std::make_unique<CKokyaku>());
            list.back()->Name = "顧客" + std::to_string(i);
        }
        CKeyArray refused;
        EXPECT_EQ(db.AddNewKokyaku(list, refused), 1);
        EXPECT_EQ(db.SaveMLV(true), 1);
    }
    // The entries in one plain transaction: the preparation needs no durability.
    sqlite3* raw = nullptr;
    sqlite3_open_v2((folder + "/QSMLV.mlv").c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::string sql =
        "PRAGMA synchronous=OFF; BEGIN; "
        "WITH RECURSIVE d(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM d WHERE n + 1 < " + std::to_string(kDays) + ") "
        "INSERT INTO Rireki (CustomerID, Date, ActionTitle, Action) "
        "SELECT c.ID, " + std::to_string(kFirstDay.Days()) + " + d.n + 0.5, '購入', printf('%.200c', 'x') "
        "FROM d, Customer c ORDER BY d.n, c.ID; COMMIT;";
    EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
    sqlite3_close(raw);
    return folder;
}

// Runs work in a child whose file layer kills it at its killAt-th write or
// sync (0: never). The child writes its count of writes and syncs to countFile.
// True when the child was killed.
bool RunChild(long killAt, const std::string& countFile, const std::function<bool()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        killvfs::Install(killAt);
        const bool ok = work();
        std::ofstream(countFile) << killvfs::Count();
        ::_exit(ok ? 0 : 3);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) return true;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's work failed";
    return false;
}

struct Check {
    std::string integrity;
    long entries = -1;
    long readOnlyEntries = -1;
};
Check Inspect(const std::string& folder) {
    Check c;
    fs::remove(folder + "/" + kWorkFileName);  // left by the killed run
    {
        // A reader comes first (past data, a check in another copy): it opens
        // whatever the kill left and sees the state before or after.
        CMilvaneData reader;
        if (reader.InitDBFromPath(folder + "/QSMLV.mlv", true) != 1) return c;
        CMilvaneData::RecordCounts counts;
        if (reader.CountRecords(counts) != 1) return c;
        c.readOnlyEntries = counts.history;
    }
    {
        CMilvaneData db;  // opens as the program does
        if (db.InitDB(folder) != 1) return c;
    }
    sqlite3* raw = nullptr;
    sqlite3_open_v2((folder + "/QSMLV.mlv").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW) c.integrity = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_prepare_v2(raw, "SELECT count(*) FROM Rireki", -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW) c.entries = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(raw);
    return c;
}

void KillAcrossTheRun(const char* what, const std::function<bool(const std::string& folder)>& work,
                      const std::vector<long>& allowed) {
    TestPorts ports;
    TempDir dir;
    const std::string prepared = Prepared(), folder = dir.File("work"), countFile = dir.File("count");
    auto fresh = [&] {
        fs::remove_all(folder);
        fs::copy(prepared, folder, fs::copy_options::recursive);
    };
    fresh();
    ASSERT_FALSE(RunChild(0, countFile, [&] { return work(folder); }));
    long total = 0;
    std::ifstream(countFile) >> total;
    ASSERT_GT(total, 10) << what;
    EXPECT_EQ(Inspect(folder).entries, allowed.back());

    int killed = 0;
    for (int i = 0; i < kTrials; ++i) {
        const long k = 1 + (total - 1) * i / (kTrials - 1);
        SCOPED_TRACE(std::string(what) + " killed at write or sync " + std::to_string(k) + " of " +
                     std::to_string(total));
        fresh();
        killed += RunChild(k, countFile, [&] { return work(folder); });
        const Check c = Inspect(folder);
        EXPECT_EQ(c.integrity, "ok");
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), c.entries), allowed.end()) << c.entries << " entries";
        EXPECT_EQ(c.readOnlyEntries, c.entries);
    }
    EXPECT_EQ(killed, kTrials);
}

}  // namespace

TEST(PurgeCrash, EveryEntryOrExactlyThoseAfterTheCutOff) {
    KillAcrossTheRun(
        "purge",
        [](const std::string& folder) {
            CMilvaneData db;
            return db.InitDB(folder) == 1 && db.DeleteRirekiForDate(kCutOff) == 1 && db.SaveMLV(true) == 1;
        },
        {kTotal, kTotal / 2});
}

// Opening and closing alone write nothing into the database's files (the
// journal mode is never switched), so no kill there can leave a journal that
// a reader refuses.
TEST(PurgeCrash, OpenAndCloseWriteNothingToKill) {
    TestPorts ports;
    TempDir dir;
    const std::string folder = dir.File("work"), countFile = dir.File("count");
    fs::copy(Prepared(), folder, fs::copy_options::recursive);
    EXPECT_FALSE(RunChild(0, countFile, [&] {
        CMilvaneData db;
        return db.InitDB(folder) == 1 && db.SaveMLV(false) == 1 && db.SaveMLV(true) == 1;
    }));
    long total = -1;
    std::ifstream(countFile) >> total;
    EXPECT_EQ(total, 0);
    const Check c = Inspect(folder);
    EXPECT_EQ(c.integrity, "ok");
    EXPECT_EQ(c.readOnlyEntries, kTotal);
}

TEST(PurgeCrash, InterruptedOptimisationLeavesTheDatabaseWhole) {
    KillAcrossTheRun(
        "optimisation",
        [](const std::string& folder) {
            CMilvaneData db;
            return db.InitDB(folder) == 1 && db.CompactDB(folder + "/../backup.mlv") == 1 && db.SaveMLV(true) == 1;
        },
        {kTotal});
}
