// What survives a process that ends without closing the database.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "MilvaneDataFixture.h"

namespace fs = std::filesystem;

namespace {

// Runs body in a child process; the body ends the process with _exit while
// its objects are alive: no destructor, no close. Returns the exit status.
int RunAndDie(const std::function<void()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(99);  // body always ends the process itself
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

void DieNow(int) { _exit(42); }

class MilvaneDataCrashTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateEmptyMilvaneDatabase(dir.File(kDatabaseFileName))); }

    // Opens the data after an abnormal end: InitDB reports the work file,
    // which the caller removes before opening again.
    void Reopen(CMilvaneData& data) {
        ASSERT_EQ(data.InitDB(dir.Path()), 0);
        ASSERT_TRUE(fs::remove(dir.File(kWorkFileName)));
        ASSERT_EQ(data.InitDB(dir.Path()), 1) << data.LastError();
    }

    TestPorts ports;
    TempDir dir;
};

}  // namespace

TEST_F(MilvaneDataCrashTest, CompletedOperationsSurviveAnAbnormalEnd) {
    int status = RunAndDie([&] {
        CMilvaneData data;  // never closed: the process just ends
        if (data.InitDB(dir.Path()) != 1) _exit(1);
        CKokyaku k;
        k.Name = "残る";
        int32_t key = data.AddNewKokyaku(k);
        CRirekiData r;
        r.ActionTitle = "購入";
        r.Date = CDateTime::FromParts(2004, 5, 1);
        if (key <= 0 || data.AddNewRireki(key, r, CDateTime::Now()) <= 0) _exit(2);
        CKeyArray failed;
        auto dm = data.AddNewDMTitle(CDateTime::Now(), "DM", "", "", 0, {static_cast<uint32_t>(key)}, failed);
        if (!dm || data.SetStatusDMTitle(dm->ID, 1, 1, 0, CDateTime::Now()) != 1) _exit(3);
        _exit(0);
    });
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::exists(dir.File(kWorkFileName)));

    CMilvaneData data;
    Reopen(data);
    CKokyakuList list;
    ASSERT_EQ(data.GetAllKokyaku(list), 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Name, "残る");
    CRirekiList history;
    ASSERT_EQ(data.GetRirekiForKokyaku(list[0]->ID, history), 1);
    EXPECT_EQ(history.size(), 2u);  // the own entry and the sending history
}

TEST_F(MilvaneDataCrashTest, AnOperationCutShortLeavesNothing) {
    // The child dies while a large bulk add is under way.
    int status = RunAndDie([&] {
        CMilvaneData data;
        if (data.InitDB(dir.Path()) != 1) _exit(1);
        CKokyaku first;
        first.Name = "先";
        if (data.AddNewKokyaku(first) <= 0) _exit(2);
        CKokyakuList list;
        for (int i = 0; i < 200000; ++i) {
            list.push_back(std::make_unique<CKokyaku>());
            list.back()->Name = "途中" + std::to_string(i);
        }
        signal(SIGALRM, DieNow);
        itimerval t{};
        t.it_value.tv_usec = 30000;
        setitimer(ITIMER_REAL, &t, nullptr);
        CKeyArray refused;
        data.AddNewKokyaku(list, refused);
        _exit(0);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 42);  // the timer ended it

    CMilvaneData data;
    Reopen(data);
    CKokyakuList list;
    ASSERT_EQ(data.GetAllKokyaku(list), 1);
    // All or nothing of the bulk add, and the earlier add in any case.
    ASSERT_TRUE(list.size() == 1u || list.size() == 200001u) << list.size();
    EXPECT_EQ(list[0]->Name, "先");
}
