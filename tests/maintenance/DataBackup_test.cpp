#include "maintenance/DataBackup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "MaintenanceFixture.h"
#include "maintenance/DataSnapshot.h"

namespace fs = std::filesystem;

namespace {

const std::string kTitleSjis = "Milvane " + Hex("C3 DE B0 C0 CA DE AF B8 B1 AF CC DF");       // ﾃﾞｰﾀﾊﾞｯｸｱｯﾌﾟ
const std::string kPicTitleSjis = "Milvane " + Hex("89 E6 91 9C CA DE AF B8 B1 AF CC DF");    // 画像ﾊﾞｯｸｱｯﾌﾟ

std::string U32(uint32_t v) {
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

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

std::tm Moment() {
    std::tm t{};
    t.tm_year = 2004 - 1900;
    t.tm_mon = 7;
    t.tm_mday = 3;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    return t;
}

}  // namespace

TEST(DataBackupFormat, BaseNameHasNoLeadingZeros) { EXPECT_EQ(BackupBaseName(Moment()), "顧客_200483957"); }

TEST(DataBackupFormat, SmallBackupBytes) {
    TestPorts ports;
    TempDir dir;
    fs::create_directories(dir.File("data/Picture"));
    fs::create_directories(dir.File("out"));
    WriteBytes(dir.File("data/MLVColSet.sys"), "AB");
    WriteBytes(dir.File("data/Tantou.dat"), "xyz");
    WriteBytes(dir.File("data/DefOrder.dat"), "");  // empty: not saved
    WriteBytes(dir.File("data/Other.txt"), "not a data-set file");
    CMilvaneDoc doc(dir.Path());
    doc.DataDir = dir.File("data");
    CDataBackup backup(&doc);

    ASSERT_TRUE(backup.WriteBackup(dir.File("out"), "b"));
    EXPECT_EQ(ReadBytes(dir.File("out/b.mlvdbu")),
              kTitleSjis + Hex("01000000 50000000 02000000") + Hex("0D000000") + "MLVColSet.sys" + Hex("0A000000") +
                  "Tantou.dat" + Hex("02000000") + "AB" + Hex("03000000") + "xyz" + Hex("00000000"));
    EXPECT_FALSE(fs::exists(dir.File("out/b_1.mlvpbu")));  // no pictures, no picture file

    WriteBytes(dir.File("data/Picture/写真.jpg"), "PIC");
    ASSERT_TRUE(backup.WriteBackup(dir.File("out"), "c"));
    EXPECT_EQ(ReadBytes(dir.File("out/c.mlvdbu")).substr(76), Hex("01000000"));
    EXPECT_EQ(ReadBytes(dir.File("out/c_1.mlvpbu")),
              kPicTitleSjis + Hex("01000000 08000000") + Hex("8E CA 90 5E") + ".jpg" + Hex("03000000") + "PIC");
    EXPECT_TRUE(ports.prompt.Texts().empty());
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

TEST(DataBackupFormat, TwoPicturesOverTheLimitMakeTwoFiles) {
    TestPorts ports;
    TempDir dir;
    fs::create_directories(dir.File("data/Picture"));
    fs::create_directories(dir.File("out"));
    WriteBytes(dir.File("data/Tantou.dat"), "t");
    WriteBytes(dir.File("data/Picture/a.jpg"), std::string(300, 'a'));
    WriteBytes(dir.File("data/Picture/b.jpg"), std::string(250, 'b'));
    CMilvaneDoc doc(dir.Path());
    doc.DataDir = dir.File("data");
    CDataBackup backup(&doc);
    backup.pictureLimit = 500;
    ASSERT_TRUE(backup.WriteBackup(dir.File("out"), "x"));
    const std::string main = ReadBytes(dir.File("out/x.mlvdbu"));
    EXPECT_EQ(main.substr(main.size() - 4), Hex("02000000"));
    EXPECT_EQ(ReadBytes(dir.File("out/x_1.mlvpbu")).size(), 20 + 4 + 4 + 5 + 4 + 300u);
    EXPECT_EQ(ReadBytes(dir.File("out/x_2.mlvpbu")).size(), 20 + 4 + 4 + 5 + 4 + 250u);
    EXPECT_FALSE(fs::exists(dir.File("out/x_3.mlvpbu")));
}

TEST(DataBackupFolder, FolderRules) {
    struct Case {
        const char* name;
        std::function<void(TempDir&)> prepare;
        std::vector<Answer> answers;
        std::vector<std::string> expected;  // messages after the introduction, before the result
        bool backedUp;
    } cases[] = {
        {"only sub-folders", [](TempDir& d) { fs::create_directories(d.File("out/sub/deeper")); }, {}, {}, true},
        {"holds a file",
         [](TempDir& d) {
             fs::create_directories(d.File("out/sub"));
             WriteBytes(d.File("out/x.txt"), "x");
         },
         {},
         {"指定されたフォルダにはファイルが存在しています。\nバックアップフォルダには空のフォルダを指定してください。"},
         false},
        {"new folder, created", [](TempDir&) {}, {Answer::Yes},
         {"指定されたフォルダは存在しません。\nフォルダを作成しますか？"}, true},
        {"new folder, refused", [](TempDir&) {}, {Answer::No},
         {"指定されたフォルダは存在しません。\nフォルダを作成しますか？"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataFolderFixture f;
        f.AddCustomer("山田");
        c.prepare(f.install);
        CDataBackup backup(f.doc.get());
        backup.clock = Moment;
        std::vector<std::string> titles;
        int asked = 0;
        backup.chooseFolderName = [&](const std::string& title, const std::string& prompt, const std::string&) {
            titles.push_back(title + "|" + prompt);
            // The folder the first time (with a trailing "/"), cancel when asked again.
            return ++asked == 1 ? std::optional<std::string>(f.install.File("out/")) : std::nullopt;
        };
        for (Answer a : c.answers) f.ports.prompt.QueueAnswer(a);
        EXPECT_EQ(backup.RunBackup(), c.backedUp);
        EXPECT_EQ(titles[0], "データのバックアップフォルダを指定|新しいフォルダ名、または既存の空のフォルダを指定してください");
        std::vector<std::string> texts = f.ports.prompt.Texts();
        ASSERT_GE(texts.size(), 1u);
        texts.erase(texts.begin());  // the introduction
        if (c.backedUp) {
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.back(), "バックアップが終了しました。\nバックアップファイルを保存したフォルダは <" +
                                        f.install.File("out") + "> です。");
            texts.pop_back();
            EXPECT_TRUE(fs::exists(f.install.File("out/顧客_200483957.mlvdbu")));
        } else {
            EXPECT_EQ(asked, 2);
        }
        EXPECT_EQ(texts, c.expected);
    }
}

TEST(DataBackupFolder, SnapshotTakesTheFirstFreeName) {
    TempDir dir;
    EXPECT_EQ(CDataSnapshot::ChooseName(dir.Path()), "BupTmp");
    fs::create_directories(dir.File("BupTmp"));
    fs::create_directories(dir.File("BupTmp1"));
    EXPECT_EQ(CDataSnapshot::ChooseName(dir.Path()), "BupTmp2");
}

// ---------------------------------------------------------------- restore

struct RestoreFixture : DataFolderFixture {
    int32_t key = -1;
    std::map<std::string, std::string> before;

    RestoreFixture() {
        key = AddCustomer("山田太郎");
        WriteBytes(DataFile("Tantou.dat"), "old staff");
        WriteBytes(DataFile("KRank1.dat"), "rank");
        WriteBytes(DataFile("Picture/p1.jpg"), "picture one");
    }
    bool Backup() {
        fs::create_directories(install.File("bk"));
        CDataBackup backup(doc.get());
        backup.clock = Moment;
        backup.chooseFolderName = [this](auto&, auto&, auto&) { return std::optional<std::string>(install.File("bk")); };
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

    bool ok = false;
    EXPECT_EQ(f.Restore(&ok), std::vector<std::string>{"データの復元は終了しました。"});
    EXPECT_TRUE(ok);
    EXPECT_EQ(f.CustomerName(f.key), "山田太郎");
    ASSERT_EQ(f.doc->KokyakuList.size(), 1u);  // reloaded
    EXPECT_EQ(f.doc->KokyakuList[0]->Name, "山田太郎");
    auto expected = backedUp;
    expected["Picture/p2.jpg"] = "picture two";  // pictures the backup lacks stay
    EXPECT_EQ(f.Files(), expected);               // no MLVExtract.sys, no BupTmp, no staging
    EXPECT_EQ(f.ports.prompt.Log()[0].defaultButton, Answer::No);
}

TEST(DataRestore, BadBackupsChangeNothing) {
    struct Case {
        const char* name;
        std::function<void(RestoreFixture&)> spoil;
        std::vector<std::string> messages;
    } cases[] = {
        {"last 4 bytes cut",
         [](RestoreFixture& f) {
             std::string b = ReadBytes(f.BackupFile());
             WriteBytes(f.BackupFile(), b.substr(0, b.size() - 4));
         },
         {"バックアップファイルの形式が不正です。"}},
        {"not a backup",
         [](RestoreFixture& f) {
             std::string b = ReadBytes(f.BackupFile());
             b[0] = 'X';
             WriteBytes(f.BackupFile(), b);
         },
         {"このフォルダに存在するファイルはMilvaneデータのバックアップファイルではありません。"}},
        {"title cut short", [](RestoreFixture& f) { WriteBytes(f.BackupFile(), "Milv"); },
         {"バックアップファイルの形式が不正です。"}},
        {"version 2",
         [](RestoreFixture& f) {
             std::string b = ReadBytes(f.BackupFile());
             b[20] = 2;
             WriteBytes(f.BackupFile(), b);
         },
         {"バックアップファイルの形式が不正です。"}},
        {"name ../x", [](RestoreFixture& f) { WriteBytes(f.BackupFile(), DataBackupBytes({{"../x", "evil"}}, 0)); },
         {"バックアップファイルの形式が不正です。"}},
        {"name with a folder",
         [](RestoreFixture& f) { WriteBytes(f.BackupFile(), DataBackupBytes({{"Picture/Tantou.dat", "e"}}, 0)); },
         {"バックアップファイルの形式が不正です。"}},
        {"unknown name",
         [](RestoreFixture& f) {
             WriteBytes(f.BackupFile(), DataBackupBytes({{"Tantou.dat", "fine"}, {"evil.sh", "x"}}, 0));
         },
         {"バックアップファイルの形式が不正です。"}},
        {"a name twice",
         [](RestoreFixture& f) {
             WriteBytes(f.BackupFile(), DataBackupBytes({{"Tantou.dat", "a"}, {"Tantou.dat", "b"}}, 0));
         },
         {"バックアップファイルの形式が不正です。"}},
        {"contents run short",
         [](RestoreFixture& f) {
             std::string b = DataBackupBytes({{"Tantou.dat", "abcdef"}}, 0);
             b = b.substr(0, b.size() - 7);  // cut into the contents, length field told the truth
             std::string fixed = b.substr(0, 24) + U32(uint32_t(b.size())) + b.substr(28);
             WriteBytes(f.BackupFile(), fixed);
         },
         {"バックアップファイルの形式が不正です。"}},
        {"picture file missing",
         [](RestoreFixture& f) { fs::remove(f.install.File("bk/顧客_200483957_1.mlvpbu")); },
         {"画像データのバックアップファイルが見つかりません。", "画像データの復元ができなかったため、復元前の状態に戻します。"}},
        {"picture file not a picture backup",
         [](RestoreFixture& f) { WriteBytes(f.install.File("bk/顧客_200483957_1.mlvpbu"), kTitleSjis + U32(0)); },
         {"このフォルダに存在するファイルはMilvane画像データのバックアップファイルではありません。",
          "画像データの復元ができなかったため、復元前の状態に戻します。"}},
        {"picture named ..",
         [](RestoreFixture& f) {
             WriteBytes(f.install.File("bk/顧客_200483957_1.mlvpbu"),
                        kPicTitleSjis + U32(1) + U32(2) + ".." + U32(1) + "x");
         },
         {"画像バックアップファイルの形式が不正です。", "画像データの復元ができなかったため、復元前の状態に戻します。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RestoreFixture f;
        ASSERT_TRUE(f.Backup());
        CKokyaku changed;
        changed.Name = "変更後";
        ASSERT_EQ(f.doc->Database().ModifyKokyaku(f.key, changed), 1);
        WriteBytes(f.DataFile("Picture/p1.jpg"), "picture one, edited");
        c.spoil(f);
        const auto before = f.Files();

        bool ok = true;
        auto expected = c.messages;
        expected.push_back("復元ができませんでした。");
        EXPECT_EQ(f.Restore(&ok), expected);
        EXPECT_FALSE(ok);
        EXPECT_EQ(f.Files(), before);
        EXPECT_FALSE(fs::exists(f.install.File("../x")));
        EXPECT_EQ(f.CustomerName(f.key), "変更後");  // database open again, unchanged
    }
}

TEST(DataRestore, RefusalsBeforeAnythingHappens) {
    RestoreFixture f;
    const auto before = f.Files();
    // Past data: refused at once.
    f.doc->PastDataMode = 1;
    EXPECT_FALSE(CDataBackup(f.doc.get()).RunRestore());
    f.doc->PastDataMode = 0;
    // No answer yes.
    f.ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(CDataBackup(f.doc.get()).RunRestore());
    // A folder without a backup.
    fs::create_directories(f.install.File("empty"));
    f.ports.prompt.QueueAnswer(Answer::Yes);
    f.ports.prompt.QueueChoice(f.install.File("empty"));
    EXPECT_FALSE(CDataBackup(f.doc.get()).RunRestore());
    // No document.
    EXPECT_FALSE(CDataBackup(nullptr).RunRestore());
    EXPECT_FALSE(CDataBackup(nullptr).RunBackup());
    const std::vector<std::string> texts = f.ports.prompt.Texts();
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0], "この操作は現在のデータを使用中にのみ行うことができます。");
    EXPECT_EQ(texts[4], "指定されたフォルダにはバックアップファイルがありません。");
    EXPECT_EQ(texts[5], "この操作を行うことはできません");
    EXPECT_EQ(f.Files(), before);
    EXPECT_TRUE(f.doc->Database().IsOpen());
}
