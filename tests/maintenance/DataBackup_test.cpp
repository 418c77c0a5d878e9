#include "maintenance/DataBackup.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <sqlite3.h>

#include "MaintenanceFixture.h"
#include "db/MilvaneDataSchema.h"
#include "maintenance/DataSnapshot.h"
#include "pictures/Pictures.h"
#include "support/SjisNames.h"

namespace fs = std::filesystem;

namespace {

const std::string kTitleSjis = "Milvane " + Hex("C3 DE B0 C0 CA DE AF B8 B1 AF CC DF");       // ﾃﾞｰﾀﾊﾞｯｸｱｯﾌﾟ
const std::string kPicTitleSjis = "Milvane " + Hex("89 E6 91 9C CA DE AF B8 B1 AF CC DF");    // 画像ﾊﾞｯｸｱｯﾌﾟ

// A data backup file with the given names and contents and picture file count.
std::string DataBackupBytes(const std::vector<std::pair<std::string, std::string>>& files, uint32_t pictureFiles,
                            int lengthDelta = 0) {
    std::string names, contents;
    for (auto& [n, c] : files) {
        names += U32(uint32_t(n.size())) + n;
        contents += U32(uint32_t(c.size())) + c;
    }
    const uint32_t total = uint32_t(kTitleSjis.size() + 12 + names.size() + contents.size() + 4 + lengthDelta);
    return kTitleSjis + U32(1) + U32(total) + U32(uint32_t(files.size())) + names + contents + U32(pictureFiles);
}

// A database that carries our marks but none of our tables.
std::string ForeignDatabase() {
    TempDir dir;
    sqlite3* db = nullptr;
    sqlite3_open(dir.File("x.db").c_str(), &db);
    sqlite3_exec(db,
                 ("PRAGMA application_id=" + std::to_string(kMilvaneApplicationId) +
                  "; PRAGMA user_version=1; CREATE TABLE Customer (ID INTEGER PRIMARY KEY)")
                     .c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ReadBytes(dir.File("x.db"));
}

// The backup bytes b with its database file replaced by db (sizes and total length adjusted).
std::string ReplaceDatabase(const std::string& b, const std::string& db) {
    const std::size_t at = b.find(std::string("SQLite format 3\0", 16));
    if (at == std::string::npos || at < 4) return b;
    const uint32_t old = uint32_t(uint8_t(b[at - 4])) | uint32_t(uint8_t(b[at - 3])) << 8 |
                         uint32_t(uint8_t(b[at - 2])) << 16 | uint32_t(uint8_t(b[at - 1])) << 24;
    std::string out = b.substr(0, at - 4) + U32(uint32_t(db.size())) + db + b.substr(at + old);
    const std::size_t totalAt = kTitleSjis.size() + 4;
    return out.replace(totalAt, 4, U32(uint32_t(out.size())));
}

std::tm Moment() { return Day(2004, 8, 3, 9, 5, 7); }

// A data folder with two settings files, an empty one and a stray file.
struct BackupSource {
    TestPorts ports;
    TempDir dir;
    CMilvaneDoc doc{dir.Path()};
    BackupSource() {
        fs::create_directories(dir.File("data/Picture"));
        fs::create_directories(dir.File("out"));
        WriteBytes(dir.File("data/MLVColSet.sys"), "AB");
        WriteBytes(dir.File("data/Tantou.dat"), "xyz");
        WriteBytes(dir.File("data/DefOrder.dat"), "");  // empty: not saved
        WriteBytes(dir.File("data/Other.txt"), "not a data-set file");
        doc.DataDir = dir.File("data");
    }
};

}  // namespace

TEST(DataBackupFormat, SmallBackupBytes) {
    EXPECT_EQ(BackupBaseName(Moment()), "顧客_200483957");  // no leading zeros
    BackupSource src;
    CDataBackup backup(&src.doc);
    ASSERT_TRUE(backup.WriteBackup(src.dir.File("out"), "b"));
    EXPECT_EQ(ReadBytes(src.dir.File("out/b.mlvdbu")),
              kTitleSjis + Hex("01000000 50000000 02000000") + Hex("0D000000") + "MLVColSet.sys" + Hex("0A000000") +
                  "Tantou.dat" + Hex("02000000") + "AB" + Hex("03000000") + "xyz" + Hex("00000000"));
    EXPECT_FALSE(fs::exists(src.dir.File("out/b_1.mlvpbu")));  // no pictures, no picture file

    WriteBytes(src.dir.File("data/Picture/写真.jpg"), "PIC");
    ASSERT_TRUE(backup.WriteBackup(src.dir.File("out"), "c"));
    EXPECT_EQ(ReadBytes(src.dir.File("out/c.mlvdbu")).substr(76), Hex("01000000"));
    EXPECT_EQ(ReadBytes(src.dir.File("out/c_1.mlvpbu")),
              kPicTitleSjis + Hex("01000000 08000000") + Hex("8E CA 90 5E") + ".jpg" + Hex("03000000") + "PIC");
    EXPECT_TRUE(src.ports.prompt.Texts().empty());
}

TEST(DataBackupFormat, DiskFullAndFileErrors) {
    struct Case {
        const char* part;
        int err;
        bool ok;
        std::vector<std::string> messages;
    } cases[] = {
        {".mlvdbu", ENOSPC, false,
         {"ディスクの空き容量が足りないため、データベースファイルのバックアップができませんでした。\nデータベースファイルの"
          "バックアップに必要なディスク容量はおよそ 80 バイトです。\n\n画像データを登録している場合はさらに空き容量が必要で"
          "す。"}},
        {".mlvpbu", ENOSPC, true,
         {"ディスクの空き容量が足りないため、バックアップできませんでした。",
          "画像データのバックアップができませんでした。\nデータのバックアップはできましたが、このデータを復元すると画像デー"
          "タの不整合が起こります。\n"}},
        {".mlvdbu", EACCES, false, {"<out>/b.mlvdbu の操作中にエラーが発生しました。\nアクセスが拒否されました。"}},
        {"Tantou.dat", EIO, false, {"バックアップ対象ファイルの読み込みに失敗しました。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.err));
        BackupSource src;
        WriteBytes(src.dir.File("data/Picture/p.jpg"), "P");
        bool ok = false;
        {
            FailingWrites failing(c.part, c.err);
            ok = CDataBackup(&src.doc).WriteBackup(src.dir.File("out"), "b");
        }
        EXPECT_EQ(ok, c.ok);
        std::vector<std::string> expected = c.messages;
        for (std::string& m : expected)
            if (auto at = m.find("<out>"); at != std::string::npos) m.replace(at, 5, src.dir.File("out"));
        EXPECT_EQ(src.ports.prompt.Texts(), expected);
        if (c.ok) {  // the data backup stands, telling that no picture file goes with it
            const std::string b = ReadBytes(src.dir.File("out/b.mlvdbu"));
            EXPECT_EQ(b.substr(b.size() - 4), Hex("00000000"));
        }
    }
}

TEST(DataBackupFormat, PicturesAreGroupedUnderTheLimit) {
    const uint64_t MiB = 1 << 20;
    const uint64_t head = 20 + 4;  // title and count
    struct Case {
        std::vector<BackupItem> pictures;
        uint64_t limit;
        std::vector<std::vector<std::size_t>> groups;
    } cases[] = {
        {{}, kPictureBackupLimit, {}},
        {{{"a", 300 * MiB}, {"b", 250 * MiB}}, kPictureBackupLimit, {{0}, {1}}},
        {{{"a", 100}, {"b", 100}}, head + 2 * (1 + 100 + 8), {{0, 1}}},      // exactly at the limit
        {{{"a", 100}, {"b", 101}}, head + 2 * (1 + 100 + 8), {{0}, {1}}},    // one byte over
        {{{"big", 900}, {"c", 1}, {"d", 1}}, 500, {{0}, {1, 2}}},           // larger than the limit: alone
    };
    for (const Case& c : cases) EXPECT_EQ(GroupPictures(c.pictures, c.limit), c.groups);
}

TEST(DataBackupFolder, OnlyAFolderWithoutFilesIsTaken) {
    const std::string holdsFile =
        "指定されたフォルダにはファイルが存在しています。\nバックアップフォルダには空のフォルダを指定してください。";
    const std::string create = "指定されたフォルダは存在しません。\nフォルダを作成しますか？";
    struct Case {
        const char* file;  // made in the folder before ("" none, nullptr no folder)
        bool backedUp;
        std::vector<std::string> messages;  // between the introduction and the result
    } cases[] = {
        {"sub/deeper/x.txt", true, {}},  // files of sub-folders do not count
        {"x.txt", false, {holdsFile}},
        {nullptr, false, {create}},
    };
    for (const Case& c : cases) {
        DataFolderFixture f;
        f.AddCustomer("山田");
        const std::string out = f.install.File("out");
        if (c.file) {
            fs::create_directories(fs::path(out + "/" + c.file).parent_path());
            WriteBytes(out + "/" + c.file, "x");
        }
        if (!c.file) f.ports.prompt.QueueAnswer(Answer::No);  // the menu test creates one
        CDataBackup backup(f.doc.get());
        backup.clock = Moment;
        int asked = 0;  // the folder with a trailing "/" first, cancel when asked again
        backup.chooseFolderName = [&](const std::string& title, const std::string& prompt, const std::string&) {
            EXPECT_EQ(title + prompt, "データのバックアップフォルダを指定新しいフォルダ名、または既存の空のフォルダを指定してください");
            return ++asked == 1 ? std::optional<std::string>(out + "/") : std::nullopt;
        };
        EXPECT_EQ(backup.RunBackup(), c.backedUp);
        std::vector<std::string> expected = c.messages;
        expected.insert(expected.begin(), f.ports.prompt.Texts()[0]);  // the introduction
        if (c.backedUp)
            expected.push_back("バックアップが終了しました。\nバックアップファイルを保存したフォルダは <" + out + "> です。");
        EXPECT_EQ(f.ports.prompt.Texts(), expected) << c.file;
        EXPECT_EQ(fs::exists(out + "/顧客_200483957.mlvdbu"), c.backedUp);
    }
}

TEST(DataBackupFolder, SnapshotTakesTheFirstFreeName) {
    TempDir dir;
    EXPECT_EQ(CDataSnapshot::ChooseName(dir.Path()), "BupTmp");
    for (const char* d : {"BupTmp", "BupTmp1"}) fs::create_directories(dir.File(d));
    EXPECT_EQ(CDataSnapshot::ChooseName(dir.Path()), "BupTmp2");
}

// ---------------------------------------------------------------- restore

struct RestoreFixture : DataFolderFixture {
    int32_t key = -1;

    RestoreFixture() {
        key = AddCustomer("山田太郎");
        WriteBytes(DataFile("Tantou.dat"), "old staff");
        WriteBytes(DataFile("KRank1.dat"), "rank");
        WriteBytes(DataFile("Picture/p1.jpg"), "picture one");
        WriteBytes(DataFile("Picture/big.jpg"), std::string(700 * 1024, 'b'));  // more than half the write buffer
    }
    bool Backup() {
        fs::create_directories(install.File("bk"));
        CDataBackup backup(doc.get());
        backup.clock = Moment;
        backup.chooseFolderName = [this](auto&, auto&, auto&) {
            return std::optional<std::string>(install.File("bk"));
        };
        bool ok = backup.RunBackup();
        ports.prompt.Clear();
        return ok;
    }
    std::string BackupFile() const { return install.File("bk/顧客_200483957.mlvdbu"); }
    // Restore from the backup folder; the messages shown.
    std::vector<std::string> Restore(bool* ok = nullptr) {
        ports.prompt.QueueAnswer(Answer::Yes);
        ports.prompt.QueueChoice(install.File("bk/"));
        CDataBackup backup(doc.get());
        bool result = backup.RunRestore();
        if (ok) *ok = result;
        std::vector<std::string> texts = ports.prompt.Texts();
        texts.erase(texts.begin(), texts.begin() + 2);  // the question and the folder browser
        return texts;
    }
    // The files of the data folder but the database, whose header changes
    // with every open; its contents are checked through the customers.
    std::map<std::string, std::string> Files() {
        return TreeOf(doc->DataDir, {"QSMLV.mlv", "QSMLV2.mlv2", "QSMLV.mlv-wal", "QSMLV.mlv-shm"});
    }
};

TEST(DataRestore, RoundTripBringsBackTheBackedUpState) {
    RestoreFixture f;
    ASSERT_TRUE(f.Backup());
    const auto backedUp = f.Files();

    CKokyaku changed;
    changed.Name = "鈴木花子";
    ASSERT_EQ(f.doc->Database().ModifyKokyaku(f.key, changed), 1);
    f.AddCustomer("新しい顧客");
    WriteBytes(f.DataFile("Tantou.dat"), "new staff");
    WriteBytes(f.DataFile("KRank1.dat"), "");
    WriteBytes(f.DataFile("MLVExtract.sys"), "made after the backup");
    WriteBytes(f.DataFile("Picture/p1.jpg"), "picture one, edited");
    WriteBytes(f.DataFile("Picture/p2.jpg"), "picture two");
    fs::create_directories(f.DataFile("BupTmp"));
    fs::create_directories(f.DataFile("BupTmp1"));
    WriteBytes(f.DataFile("BupTmp1/Tantou.dat"), "someone else's");  // the snapshot goes to BupTmp2

    bool ok = false;
    EXPECT_EQ(f.Restore(&ok), std::vector<std::string>{"データの復元は終了しました。"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(f.CustomerName(f.key), "山田太郎");
    ASSERT_EQ(f.doc->KokyakuList.size(), 1u);  // reloaded
    EXPECT_EQ(f.doc->KokyakuList[0].Name(), "山田太郎");
    auto expected = backedUp;
    expected["Picture/p2.jpg"] = "picture two";  // pictures the backup lacks stay
    expected["BupTmp1/Tantou.dat"] = "someone else's";
    EXPECT_EQ(f.Files(), expected);  // no MLVExtract.sys, no staging, no BupTmp2
    EXPECT_TRUE(fs::exists(f.DataFile("BupTmp")));
    EXPECT_EQ(f.ports.prompt.Log()[0].defaultButton, Answer::No);
}

TEST(DataRestore, BadBackupsAndFailuresChangeNothing) {
    using Edit = std::function<std::string(const std::string&)>;
    const std::string bad = "バックアップファイルの形式が不正です。";
    const std::string rollBack = "画像データの復元ができなかったため、復元前の状態に戻します。";
    struct Case {
        const char* name;
        Edit main, pictures;        // new bytes of the .mlvdbu and the first .mlvpbu ("" removes it)
        const char* diskFullAt;     // writes to paths with this part fail with a full disk
        std::vector<std::string> messages;
    } cases[] = {
        {"last 4 bytes cut", [](auto& b) { return b.substr(0, b.size() - 4); }, nullptr, nullptr, {bad}},
        {"not a backup", [](auto& b) { return "X" + b.substr(1); }, nullptr, nullptr,
         {"このフォルダに存在するファイルはMilvaneデータのバックアップファイルではありません。"}},
        {"version 2", [](auto& b) { return b.substr(0, 20) + U32(2) + b.substr(24); }, nullptr, nullptr, {bad}},
        {"name ../x", [](auto&) { return DataBackupBytes({{"../x", "evil"}}, 0); }, nullptr, nullptr, {bad}},
        {"unknown name", [](auto&) { return DataBackupBytes({{"Tantou.dat", "fine"}, {"evil.sh", "x"}}, 0); }, nullptr,
         nullptr, {bad}},
        {"contents run short",
         [](auto&) {
             const std::string b = DataBackupBytes({{"Tantou.dat", "abcdef"}}, 0, -7);
             return b.substr(0, b.size() - 7);
         },
         nullptr, nullptr, {bad}},
        {"database damaged (first 16 bytes)",
         [](auto& b) {
             std::string out = b;
             const std::size_t at = out.find(std::string("SQLite format 3\0", 16));
             return at == std::string::npos ? b : out.replace(at, 16, 16, 'X');
         },
         nullptr, nullptr, {bad}},
        {"database without our tables",
         [](auto& b) { return ReplaceDatabase(b, ForeignDatabase()); }, nullptr, nullptr, {bad}},
        {"no database", [](auto&) { return DataBackupBytes({{"Tantou.dat", "fine"}}, 0); }, nullptr, nullptr, {bad}},
        {"picture file missing", nullptr, [](auto&) { return std::string(); }, nullptr,
         {"画像データのバックアップファイルが見つかりません。", rollBack}},
        {"picture named ..", nullptr, [](auto&) { return kPicTitleSjis + U32(1) + U32(2) + ".." + U32(1) + "x"; },
         nullptr, {"画像バックアップファイルの形式が不正です。", rollBack}},
        {"disk full writing a picture", nullptr, nullptr, "MLVStage/Picture/",
         {"ディスクの空き容量が足りないため、画像データの復元ができませんでした。\n空き容量を充分に確保してから再度復元を試み"
          "てください。",
          rollBack}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RestoreFixture f;
        ASSERT_TRUE(f.Backup());
        CKokyaku changed;
        changed.Name = "変更後";
        ASSERT_EQ(f.doc->Database().ModifyKokyaku(f.key, changed), 1);
        WriteBytes(f.DataFile("Picture/p1.jpg"), "picture one, edited");
        const std::string pictures = f.install.File("bk/顧客_200483957_1.mlvpbu");
        if (c.main) WriteBytes(f.BackupFile(), c.main(ReadBytes(f.BackupFile())));
        if (c.pictures) WriteBytes(pictures, c.pictures(ReadBytes(pictures)));
        if (c.pictures && ReadBytes(pictures).empty()) fs::remove(pictures);
        const auto before = f.Files();

        bool ok = true;
        auto expected = c.messages;
        expected.push_back("復元ができませんでした。");
        {
            FailingWrites failing(c.diskFullAt ? c.diskFullAt : "\n", ENOSPC);
            EXPECT_EQ(f.Restore(&ok), expected);
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(f.Files(), before);
        EXPECT_FALSE(fs::exists(f.install.File("x")));  // where "../x" leads from the data folder
        EXPECT_EQ(f.CustomerName(f.key), "変更後");  // database open again, unchanged
    }
}

TEST(DataRestore, RefusalsChangeNothing) {
    RestoreFixture f;
    f.doc->PastDataMode = 1;
    EXPECT_FALSE(CDataBackup(f.doc.get()).RunRestore());
    f.doc->PastDataMode = 0;
    fs::create_directories(f.install.File("empty"));
    f.ports.prompt.QueueAnswer(Answer::Yes);
    f.ports.prompt.QueueChoice(f.install.File("empty"));
    EXPECT_FALSE(CDataBackup(f.doc.get()).RunRestore());
    EXPECT_FALSE(CDataBackup(nullptr).RunRestore());
    const std::vector<std::string> texts = f.ports.prompt.Texts();  // with the question and the browser
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "この操作は現在のデータを使用中にのみ行うことができます。");
    EXPECT_EQ(texts[3], "指定されたフォルダにはバックアップファイルがありません。");
    EXPECT_EQ(texts[4], "この操作を行うことはできません");
    EXPECT_TRUE(f.doc->Database().IsOpen());
}

// Picture names pass through the Shift-JIS backup files: after a restore each
// customer's picture name still leads to its file, for every character such a
// file gives back as another.
TEST(DataRestore, PictureNamesLeadBackToTheirFiles) {
    RestoreFixture f;
    TempDir chosen;
    std::vector<std::pair<std::string, std::string>> named;  // picture name in the record, bytes
    for (const std::string& c : SjisChangedCharacters()) {
        // Chosen in the entry dialog: the copy takes a name that survives.
        WriteBytes(chosen.File("春" + c + "夏.jpg"), "chosen " + c);
        auto k = std::make_unique<CKokyaku>();
        k->Picture1 = chosen.File("春" + c + "夏.jpg");
        CKokyaku* added = k.get();
        ASSERT_GT(f.doc->AddKokyaku(k), 0);
        named.emplace_back(added->Picture1, "chosen " + c);
        // Already in the picture folder under a name that does not.
        WriteBytes(f.DataFile("Picture/秋" + c + "冬.jpg"), "kept " + c);
        named.emplace_back("秋" + c + "冬.jpg", "kept " + c);
    }
    WriteBytes(f.DataFile("Picture/😀.jpg"), "one of a kind");
    named.emplace_back("😀.jpg", "one of a kind");
    ASSERT_TRUE(f.Backup());
    fs::remove_all(f.DataFile("Picture"));
    EXPECT_EQ(f.Restore(), std::vector<std::string>{"データの復元は終了しました。"});
    for (const auto& [name, bytes] : named) {
        const std::string path = PicturePath(name, f.doc->PictureFolder());
        EXPECT_EQ(ReadBytes(path), bytes) << name << " → " << path;
    }
}

// Two pictures a backup would write under the same name are refused before
// any picture file is written: the data is backed up, and the user is told.
TEST(DataBackupFormat, PicturesWrittenAsTheSameNameAreRefused) {
    BackupSource src;
    WriteBytes(src.dir.File("data/Picture/😀.jpg"), "one");
    WriteBytes(src.dir.File("data/Picture/🌸.jpg"), "two");
    ASSERT_TRUE(CDataBackup(&src.doc).WriteBackup(src.dir.File("out"), "b"));
    EXPECT_EQ(ReadBytes(src.dir.File("out/b.mlvdbu")).substr(76), Hex("00000000"));  // no picture files
    EXPECT_FALSE(fs::exists(src.dir.File("out/b_1.mlvpbu")));
    const std::vector<std::string> texts = src.ports.prompt.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0].starts_with("画像ファイル <")) << texts[0];
    EXPECT_TRUE(texts[0].ends_with("> は、同じ名前で記録される別の画像ファイルがあるため、バックアップできません。"));
    EXPECT_EQ(texts[1],
              "画像データのバックアップができませんでした。\nデータのバックアップはできましたが、このデータを復元すると画像デー"
              "タの不整合が起こります。\n");
}
