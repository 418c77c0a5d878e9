#include <gtest/gtest.h>

#include <filesystem>

#include "MaintenanceFixture.h"
#include "common/Folders.h"
#include "maintenance/DataLocation.h"
#include "support/SjisNames.h"

namespace fs = std::filesystem;

namespace {

const char* const kOpenedNew = "データ保存先を変更し、新しい保存先のデータを読み込みました。";
const char* const kIntro = "データベースの保存場所を変更します。\nこの設定を行った後は、新しい保存場所のデータを使用します。\n";

struct LocationFixture : DataFolderFixture {
    LocationFixture() {
        WriteBytes(DataFile("MLVColSet.sys"), "columns");
        WriteBytes(DataFile("Tantou.dat"), "staff");
        WriteBytes(DataFile("Picture/p1.jpg"), "picture one");
        AddCustomer("現在");
        CreateEmptyMilvaneDatabase(install.File("Data/Org/QSMLV.mlv"));
        doc->WriteDataDir();
    }
    std::string DataDirFileText() { return ReadBytes(doc->DataDirFile()); }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (auto& k : doc->KokyakuList) out.emplace_back(k->Name());
        return out;
    }
    bool Change(int choice, const std::string& folder) {
        CDataLocation location(doc.get());
        location.runDialog = [&](const std::string&) {
            return DataLocationRequest{choice, folder, folder + "/Picture"};
        };
        return location.RunChangeLocation();
    }
};

}  // namespace

TEST(DataLocationDialog, ChecksInOrder) {
    const std::string kCreate = "指定されたフォルダは存在しません。\nフォルダを作成しますか？";
    const std::string kRoot = "ルートディレクトリを指定することはできません。別のフォルダを指定してください。";
    const std::string kSame = "現在の保存先と同じフォルダが指定されています。\n";
    const struct Case {
        const char* name;
        int choice;
        std::string folder;  // relative to the scratch folder; "@" the data folder in use
        std::vector<std::string> made;  // files (folders end in "/") made before
        std::vector<Answer> answers;
        std::vector<std::string> shown;
        bool closes;
    } cases[] = {
        {"empty", 1, "", {}, {}, {"変更先のフォルダ名を指定してください"}, false},
        {"same folder, copy", 1, "@", {}, {}, {kSame + "ファイルのコピーを行うことはできません。"}, false},
        {"same folder, switch, no", 0, "@", {}, {Answer::No}, {kSame + "処理を続けてよろしいですか？"}, false},
        {"same folder, switch, yes", 0, "@", {"data/QSMLV.mlv", "data/MLVColSet.sys"}, {Answer::Yes},
         {kSame + "処理を続けてよろしいですか？"}, true},
        {"same folder by another path", 1, "data/../data", {}, {},
         {kSame + "ファイルのコピーを行うことはできません。"}, false},
        {"other letter case is another folder", 2, "DATA", {}, {Answer::Yes}, {kCreate}, true},
        {"root", 0, "/", {}, {}, {kRoot}, false},
        {"one character", 2, "x", {}, {}, {kRoot}, false},
        {"missing, switch", 0, "new", {}, {},
         {"指定されたフォルダが存在しません。\nフォルダ名が正しいか確認してください。"}, false},
        {"missing, copy, refused", 1, "new", {}, {Answer::No}, {kCreate}, false},
        {"missing, new, created", 2, "new/deep", {}, {Answer::Yes}, {kCreate}, true},
        {"holds a file", 1, "target", {"target/a.txt"}, {},
         {"指定されたフォルダにはファイルが存在しています。\nコピー先のフォルダには空のフォルダを指定してください。"}, false},
        {"empty Picture accepted", 1, "target", {"target/Picture/"}, {}, {}, true},
        {"one picture refused", 1, "target", {"target/Picture/p.jpg"}, {},
         {"指定されたフォルダ内のPictureフォルダにファイルが存在しています。\nコピー先のフォルダには空のフォルダを指定して"
          "ください。"},
         false},
        {"a name datadir.dat cannot tell from a neighbour's", 2, "店〜1", {"店～1/"}, {}, {kSjisNameClash}, false},
        {"switch without a column file", 0, "target", {"target/QSMLV.mlv"}, {},
         {"指定されたフォルダに『Milvane』のデータベースファイルが存在しないため、保存先の変更はできません\nフォルダ名が"
          "正しいか確認してください。"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestPorts ports;
        TempDir dir;
        fs::create_directories(dir.File("data"));
        for (const std::string& m : c.made) {
            fs::create_directories(fs::path(dir.File(m)).parent_path());
            if (m.ends_with(".mlv")) CreateEmptyMilvaneDatabase(dir.File(m));
            else if (m.back() != '/') WriteBytes(dir.File(m), "x");
        }
        for (Answer a : c.answers) ports.prompt.QueueAnswer(a);
        CDataLocationDlgLogic logic(dir.File("data"));
        logic.choice = c.choice;
        logic.folder = c.folder == "@" ? dir.File("data/") : c.folder.size() <= 1 ? c.folder : dir.File(c.folder);
        EXPECT_EQ(logic.OnOK(), c.closes);
        EXPECT_EQ(ports.prompt.Texts(), c.shown);
        EXPECT_TRUE(ports.prompt.AllAnswersUsed());
        if (c.closes && c.choice != 0) {
            EXPECT_TRUE(fs::is_directory(logic.folder + "/Picture"));
        }
    }
}

TEST(DataLocation, SwitchToTheFolderInUseIsRefusedAfterTheQuestion) {
    LocationFixture f;
    CDataLocationDlgLogic logic(f.doc->DataDir);
    logic.choice = kLocationSwitch;
    logic.folder = f.doc->DataDir;
    f.ports.prompt.QueueAnswer(Answer::Yes);
    ASSERT_TRUE(logic.OnOK());
    f.ports.prompt.Clear();
    CDataLocation location(f.doc.get());
    location.runDialog = [&](const std::string&) { return logic.Result(); };
    EXPECT_FALSE(location.RunChangeLocation());
    EXPECT_EQ(f.ports.prompt.Texts(),
              (std::vector<std::string>{kIntro, "指定した保存先のデータファイルは他のユーザーに使用されています。\n"
                                                "保存先の設定を変更することはできません。"}));
    EXPECT_TRUE(f.doc->Database().IsOpen());
}

TEST(DataLocation, SwitchCopyAndNew) {
    struct Case {
        int choice;
        std::map<std::string, std::string> files;  // expected in the new folder
        std::vector<std::string> names;
    } cases[] = {
        {kLocationSwitch, {{"MLVColSet.sys", "their columns"}}, {"別の顧客"}},
        {kLocationCopy, {{"Tantou.dat", "staff"}, {"Picture/p1.jpg", "picture one"}}, {"現在"}},
        {kLocationNew, {{"MLVColSet.sys", "columns"}, {"Tantou.dat", "staff"}, {"Picture/p1.jpg", ""}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        LocationFixture f;
        const std::string target = f.install.File("target"), oldDir = f.doc->DataDir;
        if (c.choice == kLocationSwitch) MakeDataFolder(target, "別の顧客", {{"MLVColSet.sys", "their columns"}});
        else fs::create_directories(target + "/Picture");
        EXPECT_TRUE(f.Change(c.choice, target));
        EXPECT_EQ(f.ports.prompt.Texts(), (std::vector<std::string>{kIntro, kOpenedNew}));
        for (auto& [name, bytes] : c.files) EXPECT_EQ(ReadBytes(target + "/" + name), bytes) << name;
        EXPECT_EQ(f.DataDirFileText(), target);
        EXPECT_EQ(f.doc->Database().GetMLVFName(), target + "/QSMLV.mlv");
        EXPECT_EQ(f.Names(), c.names);
        EXPECT_FALSE(fs::exists(oldDir + "/QSMLV2.mlv2"));
    }
}

// datadir.dat is Shift-JIS: a folder named with any character it gives back
// as another is found again at the next start.
TEST(DataLocation, FoldersNamedWithChangedCharactersOpenAtTheNextStart) {
    LocationFixture f;
    for (const std::string& c : SjisChangedCharacters()) {
        SCOPED_TRACE(c);
        const std::string target = f.install.File("顧客データ" + c + "2024");
        fs::create_directories(target + "/Picture");
        f.ports.prompt.Clear();
        ASSERT_TRUE(f.Change(kLocationCopy, target));
        EXPECT_EQ(f.ports.prompt.Texts(), (std::vector<std::string>{kIntro, kOpenedNew}));
        CMilvaneDoc next(f.install.Path());
        EXPECT_EQ(next.ReadDataDir(), 1);
        EXPECT_EQ(next.DataDir, target);
        EXPECT_EQ(GetDataFolder(f.install.Path()), target);
    }
    EXPECT_EQ(f.Names(), std::vector<std::string>{"現在"});
}

TEST(DataLocation, FailedCopyLeavesDatadirAndTheDataFolder) {
    LocationFixture f;
    const std::string target = f.install.File("copy");
    fs::create_directories(target + "/Picture");
    const std::string oldDir = f.doc->DataDir;
    const auto before = TreeOf(oldDir, {"QSMLV.mlv", "QSMLV.mlv-wal", "QSMLV.mlv-shm", "QSMLV2.mlv2"});
    {
        FailingWrites fail(target + "/Tantou.dat", EIO);
        EXPECT_FALSE(f.Change(kLocationCopy, target));
    }
    EXPECT_EQ(f.ports.prompt.Texts(),
              (std::vector<std::string>{kIntro, "ファイル<Tantou.dat>のコピーができませんでした。処理を中止します。"}));
    EXPECT_EQ(f.DataDirFileText(), oldDir);
    EXPECT_EQ(f.doc->DataDir, oldDir);
    EXPECT_FALSE(fs::exists(target + "/Tantou.dat"));
    EXPECT_EQ(TreeOf(oldDir, {"QSMLV.mlv", "QSMLV.mlv-wal", "QSMLV.mlv-shm", "QSMLV2.mlv2"}), before);
    CMilvaneData db;  // the current database stays closed, its file whole
    ASSERT_EQ(db.InitDB(oldDir), 1);
    CKokyakuList list;
    db.GetAllKokyaku(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->Name, "現在");
}

TEST(DataLocation, FailedDatadirWriteOpensThePreviousDataAgain) {
    LocationFixture f;
    const std::string other = f.install.File("other");
    MakeDataFolder(other, "別の顧客", {{"MLVColSet.sys", "their columns"}});
    const std::string oldDir = f.doc->DataDir;
    fs::remove(f.doc->DataDirFile());
    fs::create_directories(f.doc->DataDirFile() + "/blocked");  // cannot be replaced by a file
    EXPECT_FALSE(f.Change(kLocationSwitch, other));
    EXPECT_EQ(f.ports.prompt.Texts(),
              (std::vector<std::string>{kIntro, kFileErrorMessage, "設定を変更できませんでした"}));
    EXPECT_EQ(f.doc->DataDir, oldDir);
    EXPECT_EQ(f.doc->Database().GetMLVFName(), oldDir + "/QSMLV.mlv");
    EXPECT_EQ(f.Names(), std::vector<std::string>{"現在"});
    EXPECT_FALSE(fs::exists(other + "/QSMLV2.mlv2"));
}

// ------------------------------------------------------------------ past data

namespace {
const char* const kPastQuestion =
    "現在使用しているデータベースを閉じて、過去のデータを閲覧します。過去のデータを変更することはできません。\nなお、データ"
    "以外の設定などは現時点のものです。過去のデータ保存時から設定を変更している場合は、その部分を考慮して閲覧してください"
    "。\n\n過去のデータを閲覧しますか？";
const char* const kPastOpened = "指定されたフォルダ内のデータベースを開きました";
const char* const kBackQuestion = "過去のデータの閲覧を終了し、現在のデータベースを開きます。\nよろしいですか？";

}  // namespace

TEST(PastData, TheFirstDatabaseByNameOpensReadOnly) {
    LocationFixture f;
    const std::string past = f.install.File("past");
    MakeDataFolder(past, "二番目", {}, "顧客2024115.mlv");
    MakeDataFolder(past, "一番目", {}, "顧客2024101.mlv");
    const auto pastFiles = TreeOf(past);
    f.ports.prompt.QueueAnswer(Answer::Yes);
    f.ports.prompt.QueueChoice(past + "/");
    EXPECT_TRUE(CDataLocation(f.doc.get()).RunPastData());
    EXPECT_EQ(f.ports.prompt.Texts(), (std::vector<std::string>{kPastQuestion, "データを保存したフォルダを選択して下さい",
                                                                kPastOpened}));
    EXPECT_EQ(f.Names(), std::vector<std::string>{"一番目"});
    EXPECT_TRUE(f.doc->IsPastData());
    EXPECT_EQ(f.doc->PictureDir, past + "/Picture");
    EXPECT_TRUE(f.doc->Database().IsReadOnly());
    EXPECT_FALSE(fs::exists(f.DataFile("QSMLV2.mlv2")));  // the current data is closed

    // Back to current data while another copy holds it: the past data stays.
    WriteBytes(f.DataFile("QSMLV2.mlv2"), "other user");
    f.ports.prompt.Clear();
    EXPECT_FALSE(CDataLocation(f.doc.get()).RunBackToCurrent());
    EXPECT_EQ(f.ports.prompt.Texts(),
              std::vector<std::string>{"他のユーザーがデータファイルを使用しています。現在のデータに戻すには他のユーザーがデー"
                                       "タファイルの使用を終了する必要があります。\n\nこのまま過去のデータの閲覧を続行します"
                                       "。"});
    EXPECT_TRUE(f.doc->IsPastData());
    EXPECT_EQ(f.Names(), std::vector<std::string>{"一番目"});

    fs::remove(f.DataFile("QSMLV2.mlv2"));
    f.ports.prompt.Clear();
    f.ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(CDataLocation(f.doc.get()).RunBackToCurrent());
    EXPECT_EQ(f.ports.prompt.Texts(), (std::vector<std::string>{kBackQuestion, "現在のデータを開きました"}));
    EXPECT_FALSE(f.doc->IsPastData());
    EXPECT_EQ(f.doc->PictureDir, "");
    EXPECT_EQ(f.Names(), std::vector<std::string>{"現在"});
    EXPECT_FALSE(f.doc->Database().IsReadOnly());
    EXPECT_EQ(TreeOf(past), pastFiles);  // browsing wrote nothing there
}

TEST(PastData, OpensWhereTheSharedMemoryFileCannotBeMade) {
    LocationFixture f;
    const std::string past = f.install.File("past");
    MakeDataFolder(past, "一番目", {}, "顧客2024101.mlv");
    fs::create_directories(past + "/顧客2024101.mlv-shm");  // blocks the shared-memory file
    f.ports.prompt.QueueAnswer(Answer::Yes);
    f.ports.prompt.QueueChoice(past);
    EXPECT_TRUE(CDataLocation(f.doc.get()).RunPastData());
    EXPECT_EQ(f.ports.prompt.Texts().back(), kPastOpened);
    EXPECT_EQ(f.Names(), std::vector<std::string>{"一番目"});
}

TEST(PastData, RefusedFoldersOpenNothing) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> files;  // besides the database files
        std::vector<std::string> databases;
        std::string message;
    } cases[] = {
        {"work file sorts first", {{"QSMLV2.mlv2", "in use"}}, {"顧客2024101.mlv"},
         "指定されたフォルダ内のデータベースが開かれています。\n参照することはできません。"},
        {"work file only", {{"QSMLV2.mlv2", "in use"}, {"QSMLV.mlv.bak", "old"}}, {},
         "指定されたフォルダにはデータファイルがありません。"},
        {"empty folder", {}, {}, "指定されたフォルダにはデータファイルがありません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LocationFixture f;
        const std::string past = f.install.File("past"), datadir = f.DataDirFileText();
        fs::create_directories(past);
        for (const std::string& name : c.databases) MakeDataFolder(past, "過去", {}, name);
        for (auto& [name, bytes] : c.files) WriteBytes(past + "/" + name, bytes);
        const auto folderBefore = TreeOf(past);
        f.doc->ReadCustomers();
        f.ports.prompt.QueueAnswer(Answer::Yes);
        f.ports.prompt.QueueChoice(past);
        EXPECT_FALSE(CDataLocation(f.doc.get()).RunPastData());
        EXPECT_EQ(f.ports.prompt.Texts(),
                  (std::vector<std::string>{kPastQuestion, "データを保存したフォルダを選択して下さい", c.message}));
        EXPECT_EQ(f.ports.prompt.Log().back().icon, MsgIcon::Exclamation);
        EXPECT_FALSE(f.doc->IsPastData());
        EXPECT_EQ(f.doc->PictureDir, "");
        EXPECT_EQ(f.doc->Database().GetMLVFName(), f.DataFile("QSMLV.mlv"));
        EXPECT_FALSE(f.doc->Database().IsReadOnly());
        EXPECT_EQ(f.Names(), std::vector<std::string>{"現在"});
        EXPECT_EQ(f.DataDirFileText(), datadir);
        EXPECT_EQ(TreeOf(past), folderBefore);
    }
}
