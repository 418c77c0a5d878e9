#include <gtest/gtest.h>

#include <filesystem>

#include "AppTestSupport.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/SjisText.h"
#include "common/Folders.h"
#include "support/SjisNames.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

class DocTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(install.File("Data/MyData")); }

    // A data folder holding an empty database.
    std::string MakeDataFolder(const std::string& name) {
        std::string dir = data.File(name);
        fs::create_directories(dir);
        EXPECT_TRUE(CreateEmptyMilvaneDatabase(dir + "/QSMLV.mlv"));
        return dir;
    }
    std::string Pointer() const { return install.File("Data/MyData/datadir.dat"); }

    TestPorts ports;
    TempDir install, data;
    CMilvaneDoc doc{install.Path()};
};

TEST_F(DocTest, ReadDataDirDropsTheTrailingSeparatorAndNeedsTheDatabase) {
    doc.DataDir = "/old";
    EXPECT_EQ(doc.ReadDataDir(), 0);  // no pointer file
    EXPECT_EQ(doc.DataDir, "");
    WriteBytes(Pointer(), "");
    EXPECT_EQ(doc.ReadDataDir(), 0);

    std::string dir = MakeDataFolder("顧客データ");
    WriteBytes(Pointer(), Utf8ToSjis(dir + "/"));
    EXPECT_EQ(doc.ReadDataDir(), 1);
    EXPECT_EQ(doc.DataDir, dir);

    WriteBytes(Pointer(), Utf8ToSjis(dir) + "\r\nsecond line");
    EXPECT_EQ(doc.ReadDataDir(), 1);
    EXPECT_EQ(doc.DataDir, dir);

    fs::remove(dir + "/QSMLV.mlv");
    EXPECT_EQ(doc.ReadDataDir(), 0);
    EXPECT_EQ(doc.DataDir, dir);  // read, but without a database
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(DocTest, SelectDataDirAsksUntilAFolderWithDatabaseOrCancel) {
    std::string good = MakeDataFolder("shop");
    std::string empty = data.File("empty");
    fs::create_directories(empty);
    ports.prompt.QueueChoice("/");
    ports.prompt.QueueChoice(empty);
    ports.prompt.QueueChoice(good + "/");
    EXPECT_EQ(doc.SelectDataDir(), 1);
    EXPECT_EQ(doc.DataDir, good);
    EXPECT_EQ(ReadBytes(Pointer()), Utf8ToSjis(good));  // no line end
    auto texts = ports.prompt.Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "フォルダを選択してOKを押して下さい");
    EXPECT_EQ(texts[1], "ルートディレクトリは指定できません。\nフォルダを選択しなおしてください");
    EXPECT_EQ(texts[3], "指定されたフォルダにはデータファイルが存在しません\nフォルダを指定しなおしてください");

    ports.prompt.QueueChoice(std::nullopt);
    EXPECT_EQ(doc.SelectDataDir(), 0);
    EXPECT_EQ(doc.DataDir, good);
}

// datadir.dat is Shift-JIS: a folder named with a character it gives back as
// another still opens at the next start; one it could not tell from a
// neighbouring folder is refused when chosen.
TEST_F(DocTest, DataFoldersNamedWithChangedCharactersOpenAtTheNextStart) {
    for (const std::string& c : SjisChangedCharacters()) {
        const std::string folder = MakeDataFolder("顧客データ" + c + "2024");
        ports.prompt.QueueChoice(folder);
        ASSERT_EQ(doc.SelectDataDir(), 1);
        CMilvaneDoc next(install.Path());
        EXPECT_EQ(next.ReadDataDir(), 1) << c;
        EXPECT_EQ(next.DataDir, folder);
    }
    const std::string twin = MakeDataFolder("店〜1");
    MakeDataFolder("店～1");
    ports.prompt.Clear();
    ports.prompt.QueueChoice(twin);
    ports.prompt.QueueChoice(std::nullopt);
    EXPECT_EQ(doc.SelectDataDir(), 0);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"フォルダを選択してOKを押して下さい", kSjisNameClash,
                                                              "フォルダを選択してOKを押して下さい"}));
}

TEST_F(DocTest, WriteDataDirFailureTellsTheFileError) {
    doc.DataDir = "/srv/shop";
    fs::remove_all(install.File("Data/MyData"));
    EXPECT_EQ(doc.WriteDataDir(), 0);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"ファイル操作中にエラーが発生しました"}));
}

TEST_F(DocTest, OnNewDocumentAsksForTheFolderWhenThePointerIsBad) {
    WriteBytes(Pointer(), "/nowhere/at/all");
    ports.prompt.QueueChoice(std::nullopt);
    EXPECT_NE(doc.OnNewDocument(), 0);
    auto texts = ports.prompt.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0],
              "データベースファイルの保存先にデータベースファイルが存在しないか、保存先が不明です。\n"
              "ファイルの存在するフォルダを指定してください。");
    EXPECT_EQ(doc.DataDir, "/nowhere/at/all");  // a cancelled choice keeps what was read
}

TEST_F(DocTest, EndInfoIsTwoLittleEndianIntegers) {
    EXPECT_EQ(doc.ReadEndInfo(), 0);  // missing: values stay 0
    EXPECT_EQ(doc.SelectedFormTab, 0);
    EXPECT_EQ(doc.SelectedFormId, 0);

    doc.SelectedFormTab = 4;
    doc.SelectedFormId = 0x01020304;
    ASSERT_EQ(doc.WriteEndInfo(), 1);
    EXPECT_EQ(ReadBytes(doc.EndInfoFile()), Hex("04 00 00 00 04 03 02 01"));
    doc.SelectedFormTab = 1;
    doc.SelectedFormId = -1;
    ASSERT_EQ(doc.WriteEndInfo(), 1);  // replaces, still 8 bytes
    EXPECT_EQ(ReadBytes(doc.EndInfoFile()), Hex("01 00 00 00 FF FF FF FF"));

    CMilvaneDoc other(install.Path());
    EXPECT_EQ(other.ReadEndInfo(), 1);
    EXPECT_EQ(other.SelectedFormTab, 1);
    EXPECT_EQ(other.SelectedFormId, -1);
    EXPECT_TRUE(ports.prompt.Log().empty());

    // A short file is a file error and keeps the values.
    WriteBytes(doc.EndInfoFile(), Hex("02 00 00 00 05"));
    EXPECT_EQ(other.ReadEndInfo(), 0);
    EXPECT_EQ(other.SelectedFormTab, 1);
    EXPECT_EQ(other.SelectedFormId, -1);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"ファイル操作中にエラーが発生しました"}));
}

TEST(StorePictureFile, CopiesUnderAFreeName) {
    TempDir src, data;
    std::string pictures = data.File("Picture");
    fs::create_directories(src.File("sub"));
    WriteBytes(src.File("sub/a.jpg"), "new picture");

    std::string field = src.File("sub/a.jpg");
    ASSERT_TRUE(StorePictureFile(field, pictures));  // the folder is created
    EXPECT_EQ(field, "a.jpg");
    WriteBytes(pictures + "/a_1.jpg", "older");
    field = src.File("sub/a.jpg");
    ASSERT_TRUE(StorePictureFile(field, pictures));
    EXPECT_EQ(field, "a_2.jpg");
    EXPECT_EQ(ReadBytes(pictures + "/a_2.jpg"), "new picture");
    EXPECT_EQ(ReadBytes(pictures + "/a_1.jpg"), "older");  // never overwritten
    EXPECT_TRUE(fs::exists(src.File("sub/a.jpg")));       // the original stays

    // Without an extension the number goes at the end.
    WriteBytes(src.File("photo"), "x");
    WriteBytes(pictures + "/photo", "taken");
    field = src.File("photo");
    ASSERT_TRUE(StorePictureFile(field, pictures));
    EXPECT_EQ(field, "photo_1");
    // The copy's name survives the Shift-JIS backups: every changed character
    // takes its neighbour, and a name Shift-JIS cannot hold takes "_".
    for (const std::string& c : SjisChangedCharacters()) {
        WriteBytes(src.File("春" + c + "夏.jpg"), c);
        field = src.File("春" + c + "夏.jpg");
        ASSERT_TRUE(StorePictureFile(field, pictures));
        EXPECT_TRUE(SjisRoundTrips(field)) << field;
        EXPECT_EQ(ReadBytes(pictures + "/" + field), c);
    }
    // A picture written as the same Shift-JIS bytes (an older copy, or the
    // same character twice) keeps the new copy from that name.
    WriteBytes(pictures + "/秋〜冬.jpg", "older copy");
    std::vector<std::string> stored;
    for (const char* name : {"秋〜冬.jpg", "😀.jpg", "🌸.jpg"}) {
        WriteBytes(src.File(name), name);
        field = src.File(name);
        ASSERT_TRUE(StorePictureFile(field, pictures));
        stored.push_back(field);
    }
    EXPECT_EQ(stored, (std::vector<std::string>{"秋～冬_1.jpg", "_.jpg", "__1.jpg"}));
    EXPECT_EQ(ReadBytes(pictures + "/__1.jpg"), "🌸.jpg");
    // Empty, already stored and missing names stay as they are.
    for (std::string name : {std::string(), std::string("stored.bmp"), data.File("gone.jpg")}) {
        field = name;
        EXPECT_FALSE(StorePictureFile(field, pictures));
        EXPECT_EQ(field, name);
    }
}

// The record wrappers against a real database.
class DocRecordTest : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        doc.DataDir = MakeDataFolder("current");
        ASSERT_EQ(doc.Database().InitDB(doc.DataDir), 1);
    }
    void TearDown() override { doc.Database().SaveMLV(true); }

    static std::unique_ptr<CKokyaku> Customer(const std::string& name) {
        auto k = std::make_unique<CKokyaku>();
        k->Name = name;
        return k;
    }
};

TEST_F(DocRecordTest, AddStampsDatesStoresPicturesAndPutsTheRecordFirst) {
    TempDir elsewhere;
    WriteBytes(elsewhere.File("face.jpg"), "jpeg");
    auto bad = Customer(std::string(300, 'x'));  // over the byte limit of the name
    EXPECT_EQ(doc.AddKokyaku(bad), -1);
    ASSERT_NE(bad, nullptr);  // a failed add leaves the record with the caller
    EXPECT_TRUE(doc.KokyakuList.empty());

    auto first = Customer("一郎");
    int32_t k1 = doc.AddKokyaku(first);
    ASSERT_GT(k1, 0);
    EXPECT_EQ(first, nullptr);

    auto second = Customer("二郎");
    second->Picture3 = elsewhere.File("face.jpg");
    int32_t k2 = doc.AddKokyaku(second);
    ASSERT_GT(k2, 0);
    ASSERT_EQ(doc.KokyakuList.size(), 2u);
    const CKokyaku& head = *doc.KokyakuList.front().Record();
    EXPECT_EQ(head.ID, k2);
    EXPECT_EQ(head.Picture3, "face.jpg");
    EXPECT_EQ(ReadBytes(doc.DataDir + "/Picture/face.jpg"), "jpeg");
    EXPECT_TRUE(head.StartDate.IsValid());
    EXPECT_EQ(head.StartDate, head.LastUpDate);
    EXPECT_EQ(head.StartDate, head.RirekiUpDate);
}

TEST_F(DocRecordTest, ChangeReplacesTheListEntryInPlace) {
    for (const char* n : {"a", "b", "c"}) {
        auto k = Customer(n);
        ASSERT_GT(doc.AddKokyaku(k), 0);
    }
    const int32_t key = doc.KokyakuList[1].ID;  // "b"
    auto changed = std::make_unique<CKokyaku>(*doc.KokyakuList[1].Record());
    changed->Name = "b2";
    EXPECT_EQ(doc.ChangeKokyaku(key, changed), 1);
    EXPECT_EQ(changed, nullptr);
    ASSERT_EQ(doc.KokyakuList.size(), 3u);
    EXPECT_EQ(doc.KokyakuList[1].Name(), "b2");
    EXPECT_EQ(doc.KokyakuList[1].ID, key);

    auto unknown = Customer("z");
    EXPECT_EQ(doc.ChangeKokyaku(99999, unknown), 0);
    EXPECT_NE(unknown, nullptr);
    EXPECT_EQ(doc.KokyakuList.size(), 3u);
}

}  // namespace
