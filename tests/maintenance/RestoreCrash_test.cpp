// A restore killed at each of its file operations in turn: after the
// recovery the data folder holds exactly the state before or the state after
// a complete restore, and the database opens.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "MaintenanceFixture.h"
#include "maintenance/DataBackup.h"
#include "maintenance/StagedReplace.h"

namespace fs = std::filesystem;

namespace {

std::string OnlyCustomer(const std::string& folder) {
    CMilvaneData db;
    int opened = db.InitDB(folder);
    if (opened == 0) {  // the killed run left its work file
        fs::remove(folder + "/" + kWorkFileName);
        opened = db.InitDB(folder);
    }
    if (opened != 1) return "<cannot open>";
    CKokyakuList list;
    db.GetAllKokyaku(list);
    return list.size() == 1 ? list[0]->Name : "<" + std::to_string(list.size()) + " customers>";
}

}  // namespace

TEST(RestoreCrash, EveryInterruptionRecoversToBeforeOrAfter) {
    TestPorts ports;
    TempDir dir;
    const std::string pristine = dir.File("pristine"), source = dir.File("source"), work = dir.File("work");
    MakeDataFolder(pristine, "復元前",
                   {{"Tantou.dat", "before staff"}, {"KRank1.dat", "before rank"}, {"Picture/p1.jpg", "before p1"},
                    {"Picture/p3.jpg", "kept p3"}});
    MakeDataFolder(source, "復元後",
                   {{"Tantou.dat", "after staff"}, {"MLVExtract.sys", "after extract"},
                    {"Picture/p1.jpg", "after p1"}, {"Picture/p2.jpg", "after p2"}});
    fs::create_directories(dir.File("bk"));
    {
        CMilvaneDoc doc(dir.Path());
        doc.DataDir = source;
        CDataBackup backup(&doc);
        backup.pictureLimit = 60;  // two picture files
        ASSERT_TRUE(backup.WriteBackup(dir.File("bk"), "b"));
        ASSERT_TRUE(fs::exists(dir.File("bk/b_2.mlvpbu")));
    }
    const auto before = TreeOf(pristine);
    auto after = TreeOf(source);
    after["Picture/p3.jpg"] = before.at("Picture/p3.jpg");  // pictures the backup lacks stay

    int befores = 0, afters = 0;
    bool finished = false;
    for (int k = 1; !finished && k < 1000; ++k) {
        SCOPED_TRACE("killed at file operation " + std::to_string(k));
        fs::remove_all(work);
        fs::copy(pristine, work, fs::copy_options::recursive);

        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int count = 0;
            mfs::SetFailPointHook([&count, k](const char*, const std::string&) {
                if (++count == k) ::raise(SIGKILL);
                return 0;
            });
            CMilvaneDoc doc(dir.Path());
            doc.DataDir = work;
            const bool ok = CDataBackup(&doc).RestoreFrom(dir.File("bk/b.mlvdbu"));
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0) << "the restore failed";
            finished = true;
        } else {
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        }

        // A reader that cannot take the data may read only a folder the restore has not committed to.
        const bool committed = fs::exists(work + "/" + kStagingFolderName + "/" + kCommitMarkerName);
        EXPECT_EQ(FinishCommittedBeforeReading(work, [] { return false; }), !committed);
        if (!committed && !finished) {
            const auto seen = TreeOf(work, {kWorkFileName, kStagingFolderName, "BupTmp"});
            EXPECT_TRUE(seen == before || seen == after);
        }

        mfs::FileError err;
        ASSERT_GE(RecoverDataFolder(work, err), 0) << mfs::FileErrorText(err);
        EXPECT_FALSE(fs::exists(work + "/" + kStagingFolderName));
        for (auto& e : fs::directory_iterator(work))
            EXPECT_NE(e.path().filename().string().rfind("BupTmp", 0), 0u) << e.path();
        auto files = TreeOf(work, {kWorkFileName, "QSMLV.mlv-wal", "QSMLV.mlv-shm"});
        if (finished) {
            // The finished run opened the database again, which rewrites its header.
            files.erase("QSMLV.mlv");
            auto expected = after;
            expected.erase("QSMLV.mlv");
            EXPECT_EQ(files, expected);
            EXPECT_EQ(OnlyCustomer(work), "復元後");
            ++afters;
        } else if (files == before) {
            EXPECT_EQ(OnlyCustomer(work), "復元前");
            ++befores;
        } else {
            EXPECT_EQ(files, after);
            EXPECT_EQ(OnlyCustomer(work), "復元後");
            ++afters;
        }
    }
    EXPECT_TRUE(finished);
    EXPECT_GT(befores, 10);
    EXPECT_GT(afters, 3);
}

TEST(RestoreCrash, RecoveryDeletesOnlyInsideTheDataFolder) {
    TempDir dir;
    const std::string data = dir.File("data");
    fs::create_directories(data + "/MLVStage");
    fs::create_directories(data + "/BupTmp4");
    WriteBytes(data + "/MLVStage/Snapshot.dat", "BupTmp4\n");
    WriteBytes(data + "/MLVStage/Commit.dat", "KRank1.dat\n../outside\n");
    WriteBytes(data + "/KRank1.dat", "old");
    WriteBytes(dir.File("outside"), "must stay");
    mfs::FileError err;
    EXPECT_EQ(RecoverDataFolder(data, err), 1);
    EXPECT_TRUE(TreeOf(data).empty());
    EXPECT_FALSE(fs::exists(data + "/BupTmp4"));
    EXPECT_TRUE(fs::exists(dir.File("outside")));
    EXPECT_EQ(RecoverDataFolder(data, err), 0);
}

TEST(RestoreCrash, UnfinishedCommitIsToldAndFinishedBeforeAnyRead) {
    TestPorts ports;
    TempDir dir;
    const std::string data = dir.File("data"), source = dir.File("source");
    MakeDataFolder(data, "復元前", {{"Tantou.dat", "before"}});
    MakeDataFolder(source, "復元後", {{"Tantou.dat", "after"}});
    fs::create_directories(dir.File("bk"));
    CMilvaneDoc doc(dir.Path());
    doc.DataDir = source;
    ASSERT_TRUE(CDataBackup(&doc).WriteBackup(dir.File("bk"), "b"));
    doc.DataDir = data;
    mfs::SetFailPointHook([](const char* op, const std::string& path) {
        const bool staged = path.find("MLVStage/") != std::string::npos && path.find("Commit") == std::string::npos;
        return std::string(op) == "rename" && staged ? EIO : 0;
    });
    EXPECT_FALSE(CDataBackup(&doc).RestoreFrom(dir.File("bk/b.mlvdbu")));
    mfs::SetFailPointHook(nullptr);
    ASSERT_EQ(ports.prompt.Texts().size(), 1u);
    EXPECT_NE(ports.prompt.Texts()[0].find("<" + data + "/BupTmp> に保存されている復元前のデータ"), std::string::npos);
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Stop);
    EXPECT_FALSE(doc.Database().IsOpen());

    // A reader that cannot have the data to itself is refused and changes nothing;
    // one that can finishes the restore first.
    ports.prompt.Clear();
    const auto unfinished = TreeOf(data);
    EXPECT_FALSE(FinishCommittedBeforeReading(data, [] { return false; }));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"データの復元が完了していないため、データを読み込めません。\n"
                                                             "復元している『Milvane』が終了してから、もう一度操作してください。"});
    EXPECT_EQ(TreeOf(data), unfinished);
    EXPECT_TRUE(FinishCommittedBeforeReading(data, [] { return true; }));
    EXPECT_EQ(ReadBytes(data + "/Tantou.dat"), "after");
    EXPECT_EQ(OnlyCustomer(data), "復元後");
    mfs::FileError err;
    EXPECT_EQ(RecoverDataFolder(data, err), 0);
    EXPECT_TRUE(FinishCommittedBeforeReading(data, [] { return false; }));  // nothing to finish
}
