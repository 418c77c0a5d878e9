#include <gtest/gtest.h>

#include <filesystem>

#include "MaintenanceFixture.h"
#include "maintenance/HistoryPurge.h"

namespace fs = std::filesystem;

namespace {

const char* const kPictureQuestion =
    "画像データでバックアップができないものがありました。\nこのまま履歴の削除を行った場合、あとから過去の履歴参照をすると"
    "きに画像データが表示できないものがあります。\n\n履歴の削除を行いますか？";

struct PurgeFixture : DataFolderFixture {
    int32_t customer = 0;
    PurgeFixture() {
        customer = AddCustomer("履歴の顧客");
        for (int d : {1, 2, 3}) AddEntry(CDateTime::FromParts(2024, 5, d, 18, 30));
        WriteBytes(DataFile("Picture/p1.jpg"), "picture one");
    }
    void AddEntry(const CDateTime& when) {
        CRirekiData r;
        r.Date = when;
        r.ActionTitle = "購入";
        ASSERT_GT(doc->Database().AddNewRireki(customer, r, CDateTime::Now()), 0);
    }
    size_t EntryCount() {
        CRirekiList list;
        doc->Database().GetAllRireki(list);
        return list.size();
    }
    RirekiPurgeRequest Request(const std::string& folder, int cutDay) {
        CRirekiPurgeDlgLogic logic(Day(2026, 12, 6));
        fs::create_directories(folder);
        logic.folder = folder;
        logic.year = "2024", logic.month = "5", logic.day = std::to_string(cutDay);
        ports.prompt.QueueAnswer(Answer::Yes);
        EXPECT_TRUE(logic.OnOK());
        ports.prompt.Clear();
        return logic.Result();
    }
    bool Purge(const RirekiPurgeRequest& req) {
        CRirekiPurge purge(doc.get());
        purge.runDialog = [&] { return req; };
        return purge.Run();
    }
};

}  // namespace

TEST(RirekiPurgeDialog, ChecksInOrder) {
    using F = CRirekiPurgeDlgLogic::Field;
    const std::string kRoot = "ルートディレクトリを指定することはできません。別のフォルダを指定してください。";
    struct Case {
        const char* name;
        std::string folder;  // "~" a fresh empty folder; "~x" with a file; "~p" with a picture
        std::string y, m, d;
        std::vector<std::string> shown;  // "?" stands for the question, answered No
        F focus;
    } cases[] = {
        {"no folder", "", "2024", "5", "1", {"バックアップフォルダ名を指定してください"}, F::FieldFolder},
        {"root", "/", "2024", "5", "1", {kRoot}, F::FieldFolder},
        {"one character", "a", "2024", "5", "1", {kRoot}, F::FieldFolder},
        {"folder with a file", "~x", "2024", "5", "1",
         {"指定されたフォルダにはファイルが存在しています。\nバックアップフォルダには空のフォルダを指定してください。"},
         F::FieldFolder},
        {"picture folder with a file", "~p", "2024", "5", "1",
         {"指定されたフォルダ内のPictureフォルダにファイルが存在しています。\nバックアップフォルダには空のフォルダを指定"
          "してください。"},
         F::FieldFolder},
        {"year", "~", "1799", "5", "1", {"1800年から9999年の間の数字を指定してください"}, F::FieldYear},
        {"year not a number", "~", "20x4", "5", "1", {"1800年から9999年の間の数字を指定してください"}, F::FieldYear},
        {"month", "~", "2024", "13", "1", {"1月から12月の間の数字を指定してください"}, F::FieldMonth},
        {"day", "~", "2024", "5", "0", {"1日から31日の間の数字を指定してください"}, F::FieldDay},
        {"31 April", "~", "2024", "4", "31", {"指定した日付の値が不正です。確認してください。"}, F::FieldDay},
        {"29 February 2023", "~", "2023", "2", "29", {"指定した日付の値が不正です。確認してください。"}, F::FieldDay},
        {"29 February 2024", "~/", "2024", "2", "29",
         {"「2024/2/29」以前の履歴を削除します。\nこの操作は元に戻すことができません。\n\n本当に削除してよろしいですか？"},
         F::FieldFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPorts ports;
        TempDir dir;
        CRirekiPurgeDlgLogic logic(Day(2026, 12, 6));
        logic.folder = c.folder;
        if (c.folder.rfind("~", 0) == 0) {
            logic.folder = dir.File("bk") + c.folder.substr(c.folder == "~/" ? 1 : c.folder.size());
            fs::create_directories(dir.File("bk/Picture"));
            if (c.folder == "~x") WriteBytes(dir.File("bk/a.txt"), "a");
            if (c.folder == "~p") WriteBytes(dir.File("bk/Picture/p.jpg"), "p");
        }
        logic.year = c.y, logic.month = c.m, logic.day = c.d;
        if (c.shown.front().rfind("「", 0) == 0) ports.prompt.QueueAnswer(Answer::No);
        EXPECT_FALSE(logic.OnOK());
        EXPECT_EQ(ports.prompt.Texts(), c.shown);
        EXPECT_EQ(logic.focus, c.focus);
        if (c.folder == "~/") {
            EXPECT_EQ(logic.folder, dir.File("bk"));
        }
    }
}

TEST(BackupFileNames, HaveNoLeadingZeros) {
    EXPECT_EQ(PurgeBackupFileName(Day(2026, 1, 9)), "顧客202619.mlv");
    EXPECT_EQ(OptimiseBackupFileName(Day(2026, 12, 6)), "2026126 の顧客ﾃﾞｰﾀ.mlv");
}

// Two purges on one day into two folders: two copies of one name, each
// holding the entries before its purge.
TEST(RirekiPurge, CopiesThenDeletesUpToTheDay) {
    PurgeFixture f;
    const RirekiPurgeRequest first = f.Request(f.install.File("bk1"), 1);
    EXPECT_TRUE(f.Purge(first));
    f.ports.prompt.Clear();
    const RirekiPurgeRequest req = f.Request(f.install.File("bk"), 2);
    EXPECT_TRUE(f.Purge(req));
    EXPECT_EQ(f.ports.prompt.Texts(),
              std::vector<std::string>{"履歴を削除しました。バックアップフォルダは<" + f.install.File("bk") +
                                       ">です。\nデータベースの圧縮を行うには【ツール】－［ﾃﾞｰﾀﾍﾞｰｽの最適化］を行ってく"
                                       "ださい。"});
    EXPECT_EQ(f.EntryCount(), 1u);  // 3 May stays; 2 May 18:30 is on the cut-off day
    EXPECT_EQ(ReadBytes(f.install.File("bk/Picture/p1.jpg")), "picture one");
    EXPECT_GT(f.ports.wait.dialogs, 0);
    EXPECT_EQ(fs::path(first.backupFile).filename(), fs::path(req.backupFile).filename());
    for (auto [file, entries] : {std::pair{first.backupFile, 3u}, std::pair{req.backupFile, 2u}}) {
        CMilvaneData copy;
        ASSERT_EQ(copy.InitDBFromPath(file, true), 1);
        CRirekiList all;
        copy.GetAllRireki(all);
        EXPECT_EQ(all.size(), entries);
    }
}

TEST(RirekiPurge, RefusingAtThePictureQuestionKeepsTheCopyAndDeletesNothing) {
    PurgeFixture f;
    const RirekiPurgeRequest req = f.Request(f.install.File("bk"), 3);
    fs::create_directories(req.pictureFolder + "/p1.jpg");  // the picture cannot be written there
    f.ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(f.Purge(req));
    EXPECT_EQ(f.ports.prompt.Texts(), std::vector<std::string>{kPictureQuestion});
    EXPECT_EQ(f.ports.prompt.Log()[0].defaultButton, Answer::No);
    EXPECT_EQ(f.EntryCount(), 3u);
    EXPECT_TRUE(fs::exists(req.backupFile));
}

// ------------------------------------------------------------------ optimisation

TEST(OptimiseDialog, Questions) {
    const std::string kOverwrite = "指定したファイル名はすでに存在します。\nこのファイルに上書きしてもよろしいですか？";
    const std::string kStart = "データベースの最適化を行います。処理には時間がかかります。\n開始してよろしいですか？";
    struct Case {
        const char* name;
        std::string file;  // "" none; "old" an existing file typed; "browsed:X" X chosen through 参照..., then
                           // "old" typed
        std::vector<Answer> answers;
        std::vector<std::string> shown;
        bool closes;
    } cases[] = {
        {"empty", "", {}, {"バックアップファイル名を指定してください"}, false},
        {"typed existing, kept", "old", {Answer::No}, {kOverwrite}, false},
        {"typed existing, overwritten", "old", {Answer::Yes, Answer::Yes}, {kOverwrite, kStart}, true},
        {"browsed existing", "browsed:old", {Answer::Yes}, {"", kStart}, true},
        {"browsed in another letter case", "browsed:OLD", {Answer::Yes, Answer::Yes}, {"", kOverwrite, kStart}, true},
        {"new name, not started", "new", {Answer::No}, {kStart}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPorts ports;
        TempDir dir;
        WriteBytes(dir.File("old.mlv"), "x");
        COptimiseDlgLogic logic(Day(2026, 12, 6));
        if (c.file.starts_with("browsed:")) {
            const std::string chosen = c.file.substr(8);
            ports.prompt.QueueChoice(dir.File(chosen));  // the default extension is added
            logic.Browse();
            EXPECT_EQ(logic.name, dir.File(chosen + ".mlv"));
            logic.name = dir.File("old.mlv");
        } else if (!c.file.empty()) {
            logic.name = dir.File(c.file + ".mlv");
        }
        for (Answer a : c.answers) ports.prompt.QueueAnswer(a);
        EXPECT_EQ(logic.OnOK(), c.closes);
        EXPECT_EQ(ports.prompt.Texts(), c.shown);
    }
}

TEST(DatabaseOptimise, MessagesByResult) {
    struct Case {
        int result;
        std::vector<std::string> shown;
    } cases[] = {{1, {"最適化が終了しました"}}, {-1, {"最適化を行うことができませんでした"}}, {0, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        TestPorts ports;
        CMilvaneDoc doc("/nonexistent");
        CDatabaseOptimise optimise(&doc);
        optimise.runDialog = [] { return std::string("/tmp/x.mlv"); };
        optimise.compact = [&](const std::string&) { return c.result; };
        EXPECT_EQ(optimise.Run(), c.result);
        EXPECT_EQ(ports.prompt.Texts(), c.shown);
        EXPECT_EQ(ports.wait.dialogs, 1);
    }
}
