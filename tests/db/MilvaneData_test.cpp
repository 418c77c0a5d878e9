// Opening, saving and closing the customer database, the work file, and the
// customer operations.
#include "db/MilvaneData.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "MilvaneDataFixture.h"

namespace fs = std::filesystem;

// ---------------------------------------------------------------- files

TEST(MilvaneDataFiles, EmptyDatabaseIsSelfContainedAndNeverReplacesAFile) {
    TempDir dir;
    const std::string path = dir.File("QSMLV.mlv");
    ASSERT_TRUE(CreateEmptyMilvaneDatabase(path));
    EXPECT_FALSE(CreateEmptyMilvaneDatabase(path));
    EXPECT_EQ(SecondConnection(path).Text("PRAGMA journal_mode"), "delete");
}

TEST(MilvaneDataFiles, WorkFileLivesWhileTheDatabaseIsOpen) {
    TestPorts ports;
    TempDir dir;
    ASSERT_TRUE(CreateEmptyMilvaneDatabase(dir.File("QSMLV.mlv")));
    {
        CMilvaneData data;
        ASSERT_EQ(data.InitDB(dir.Path() + "/"), 1);
        EXPECT_EQ(data.GetMLVFName(), dir.File("QSMLV.mlv"));
        std::string work = ReadBytes(dir.File("QSMLV2.mlv2"));
        EXPECT_NE(work.find("pid=" + std::to_string(getpid()) + "\n"), std::string::npos);

        // Another copy finds the work file, leaves it alone and opens nothing.
        CMilvaneData other;
        EXPECT_EQ(other.InitDB(dir.Path()), 0);
        EXPECT_FALSE(other.IsOpen());
        EXPECT_EQ(ReadBytes(dir.File("QSMLV2.mlv2")), work);

        EXPECT_EQ(data.SaveMLV(false), 1);
        EXPECT_TRUE(fs::exists(dir.File("QSMLV2.mlv2")));
        EXPECT_EQ(data.SaveMLV(true), 1);
        EXPECT_FALSE(data.IsOpen());
        EXPECT_FALSE(fs::exists(dir.File("QSMLV2.mlv2")));
        EXPECT_EQ(data.GetMLVFName(), "");
        EXPECT_EQ(data.SaveMLV(false), -1);  // nothing open
        EXPECT_EQ(data.SaveMLV(true), 1);

        ASSERT_EQ(data.InitDB(dir.Path()), 1);
    }
    // The destructor closes like SaveMLV(true); the file left needs no log.
    EXPECT_FALSE(fs::exists(dir.File("QSMLV2.mlv2")));
    EXPECT_FALSE(fs::exists(dir.File("QSMLV.mlv-wal")));
    EXPECT_EQ(SecondConnection(dir.File("QSMLV.mlv")).Text("PRAGMA journal_mode"), "delete");
}

TEST(MilvaneDataFiles, WhatCannotBeOpenedGivesMinusOneAndNoWorkFile) {
    TestPorts ports;
    TempDir dir;
    const std::string db = dir.File("QSMLV.mlv");
    const std::function<void()> makers[] = {
        [] {},  // no database file
        [&] { WriteBytes(db, "this is not a database, just some text that is long enough to matter.\n"); },
        [&] {  // an SQLite file of someone else
            sqlite3* h = nullptr;
            sqlite3_open(db.c_str(), &h);
            sqlite3_exec(h, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
            sqlite3_close(h);
        },
        [&] {  // a database of a newer schema
            CreateEmptyMilvaneDatabase(db);
            SecondConnection(db).Exec("PRAGMA user_version=2");
        },
    };
    for (std::size_t i = 0; i < std::size(makers); ++i) {
        SCOPED_TRACE(i);
        fs::remove(db);
        makers[i]();
        CMilvaneData data;
        EXPECT_EQ(data.InitDB(dir.Path()), -1);
        EXPECT_FALSE(fs::exists(dir.File("QSMLV2.mlv2")));
        EXPECT_FALSE(data.LastError().empty());
    }
}

TEST_F(MilvaneDataTest, SavedFileCopiedAloneOpensReadOnlyWithoutWorkFile) {
    int32_t key = AddCustomer("C1");
    ASSERT_GT(AddEntry(key, CDateTime::FromParts(2004, 5, 2), "購入", CDateTime::FromParts(2004, 5, 1), 1500), 0);
    ASSERT_EQ(data.SaveMLV(false), 1);
    // Only the database file travels (as a backup would copy it, the
    // database still open); reading it writes nothing into its folder.
    TempDir past;
    fs::copy_file(DbPath(), past.File("QSMLV.mlv"));
    const auto listing = [&] {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(past.Path())) names.push_back(e.path().filename().string());
        return names;
    };

    CMilvaneData browse;
    ASSERT_EQ(browse.InitDBFromPath(past.File("QSMLV.mlv"), true), 1) << browse.LastError();
    EXPECT_TRUE(browse.IsReadOnly());
    EXPECT_FALSE(fs::exists(past.File("QSMLV2.mlv2")));
    CKokyakuList list;
    ASSERT_EQ(browse.GetAllKokyaku(list), 1);
    EXPECT_EQ(list.size(), 1u);
    CRirekiList history;
    ASSERT_EQ(browse.GetRirekiForKokyaku(key, history), 1);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0]->Money, 1500);
    CKeyArray keys;
    EXPECT_EQ(browse.ExtractKokyaku("SELECT * FROM Customer", keys), 1);
    EXPECT_EQ(keys, CKeyArray{static_cast<uint32_t>(key)});

    CKokyaku k;
    EXPECT_EQ(browse.AddNewKokyaku(k), -1);
    CKeyArray deleted;
    EXPECT_EQ(browse.DeleteKokyaku({static_cast<uint32_t>(key)}, deleted), -1);
    EXPECT_EQ(browse.SaveMLV(true), 1);
    EXPECT_EQ(listing(), std::vector<std::string>{"QSMLV.mlv"});
    EXPECT_EQ(SecondConnection(past.File("QSMLV.mlv")).Int("SELECT count(*) FROM Customer"), 1);

    EXPECT_EQ(browse.InitDBFromPath(past.File("missing.mlv"), true), -1);
}

// The journal mode is the one the file was created with: opening and closing
// never switch it. A file of an older version in write-ahead-log mode is read
// without writing log files, and converted once when opened for writing.
TEST_F(MilvaneDataTest, JournalModeNeverSwitchesAndOldLogModeFilesAreReadAsTheyAre) {
    AddCustomer("C1");
    EXPECT_EQ(SecondConnection(DbPath()).Text("PRAGMA journal_mode"), "delete");  // while open
    ASSERT_EQ(data.SaveMLV(true), 1);
    const std::string file = ReadBytes(DbPath());
    ASSERT_EQ(data.InitDB(dir.Path()), 1);
    ASSERT_EQ(data.SaveMLV(true), 1);
    EXPECT_EQ(ReadBytes(DbPath()), file);  // opening and closing wrote nothing

    TempDir old;
    const std::string path = old.File("QSMLV.mlv");
    fs::copy_file(DbPath(), path);
    EXPECT_EQ(SecondConnection(path).Text("PRAGMA journal_mode=WAL"), "wal");
    ASSERT_FALSE(fs::exists(path + "-wal"));
    {
        CMilvaneData reader;
        ASSERT_EQ(reader.InitDBFromPath(path, true), 1) << reader.LastError();
        CKokyakuList list;
        EXPECT_EQ(reader.GetAllKokyaku(list), 1);
        EXPECT_EQ(list.size(), 1u);
        EXPECT_FALSE(fs::exists(path + "-wal"));
        EXPECT_FALSE(fs::exists(path + "-shm"));
    }
    {
        CMilvaneData writer;
        ASSERT_EQ(writer.InitDBFromPath(path, false), 1) << writer.LastError();
    }
    EXPECT_EQ(SecondConnection(path).Text("PRAGMA journal_mode"), "delete");
    EXPECT_FALSE(fs::exists(path + "-wal"));
}

TEST_F(MilvaneDataTest, OpeningAnEarlierDatabaseAddsTheNewerIndexes) {
    int32_t key = AddCustomer("C1");
    ASSERT_GT(AddEntry(key, CDateTime::FromParts(2004, 5, 2), "購入", CDateTime::FromParts(2004, 5, 1), 1500), 0);
    ASSERT_EQ(data.SaveMLV(true), 1);
    const std::string indexes = "SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE "
                                "tbl_name='Rireki' AND name LIKE 'Rireki_%' ORDER BY name)";
    const std::string current = "Rireki_Customer,Rireki_DM,Rireki_Date,Rireki_Title";
    EXPECT_EQ(SecondConnection(DbPath()).Text(indexes), current);
    ASSERT_TRUE(SecondConnection(DbPath()).Exec(
        "DROP INDEX Rireki_Title; CREATE INDEX Rireki_ActionTitle ON Rireki (ActionTitle, CustomerID)"));

    // Browsing read-only leaves the file as it is.
    CMilvaneData browse;
    ASSERT_EQ(browse.InitDBFromPath(DbPath(), true), 1) << browse.LastError();
    ASSERT_EQ(browse.SaveMLV(true), 1);
    EXPECT_EQ(SecondConnection(DbPath()).Text(indexes), "Rireki_ActionTitle,Rireki_Customer,Rireki_DM,Rireki_Date");

    ASSERT_EQ(data.InitDB(dir.Path()), 1) << data.LastError();
    EXPECT_EQ(SecondConnection(DbPath()).Text(indexes), current);
    EXPECT_EQ(History(key).size(), 1u);
}

TEST_F(MilvaneDataTest, FolderNamesWithUriCharacters) {
    AddCustomer("C1");
    ASSERT_EQ(data.SaveMLV(true), 1);
    const std::string odd = dir.File("過去 データ #1 50%?x=y");
    fs::create_directory(odd);
    fs::copy_file(DbPath(), odd + "/QSMLV.mlv");
    CMilvaneData other;
    ASSERT_EQ(other.InitDBFromPath(odd + "/QSMLV.mlv", true), 1) << other.LastError();
    ASSERT_EQ(other.InitDB(odd), 1) << other.LastError();
    EXPECT_TRUE(fs::exists(odd + "/QSMLV2.mlv2"));
    EXPECT_EQ(AddCustomer("unused"), -1);  // the first object stays closed
    CKokyakuList list;
    ASSERT_EQ(other.GetAllKokyaku(list), 1);
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(MilvaneDataTest, CompactWritesAConsistentCopyFirst) {
    for (int i = 0; i < 10; ++i) ASSERT_GT(AddCustomer("C" + std::to_string(i), std::string(50, 'x')), 0);
    CKeyArray keys, deleted;
    for (auto& k : All())
        if (k->ID % 2 == 0) keys.push_back(static_cast<uint32_t>(k->ID));
    ASSERT_EQ(data.DeleteKokyaku(keys, deleted), 1);

    const std::string backup = dir.File("backup.mlv");
    WriteBytes(backup, "old");
    ASSERT_EQ(data.CompactDB(backup), 1) << data.LastError();
    EXPECT_EQ(SecondConnection(backup).Int("SELECT count(*) FROM Customer"), 5);
    EXPECT_EQ(SecondConnection(backup).Int("PRAGMA application_id"), 0x4D4C564E);
    EXPECT_GT(AddCustomer("after"), 0);  // still open and writable
    EXPECT_EQ(data.CompactDB(DbPath()), -1);
    // A copy that cannot be written leaves the previous one.
    const std::string blocked = dir.File("blocked.mlv");
    WriteBytes(blocked, "previous");
    fs::create_directory(blocked + ".tmp");
    fs::create_directory(blocked + ".tmp/x");
    EXPECT_EQ(data.CompactDB(blocked), -1);
    EXPECT_EQ(ReadBytes(blocked), "previous");
    EXPECT_EQ(data.CompactDB(dir.File("no/such/folder.mlv")), -1);
}

// ---------------------------------------------------------------- customers

namespace {

// A record with a distinct value in every field.
CKokyaku FullRecord() {
    CKokyaku k;
    int n = 0;
    for (const KokyakuField& f : KokyakuFields()) {
        ++n;
        switch (f.kind) {
        case KokyakuFieldKind::Text: f.Text(k) = "値" + std::to_string(n); break;
        case KokyakuFieldKind::Date: f.SetDate(k, CDateTime::FromParts(2000 + n % 20, 1 + n % 12, 1 + n % 28, 10, n % 60)); break;
        case KokyakuFieldKind::Integer:
        case KokyakuFieldKind::Coded:
        case KokyakuFieldKind::Colour: f.SetInt(k, n); break;
        case KokyakuFieldKind::Number: break;
        }
    }
    k.ID = -1;
    k.TEL_Home = "03-1234-5678";
    k.TEL_Office = "(06)9999";
    k.BirthDay = CDateTime();  // unset
    return k;
}

}  // namespace

TEST_F(MilvaneDataTest, CustomerKeepsEveryField) {
    CKokyaku k = FullRecord();
    int32_t key = data.AddNewKokyaku(k);
    ASSERT_GT(key, 0) << data.LastError();
    EXPECT_EQ(k.ID, key);
    EXPECT_EQ(k.TEL_Home_X, 312345678.0);
    EXPECT_EQ(k.TEL_Office_X, 69999.0);
    auto stored = Get(key);
    ASSERT_TRUE(stored);
    for (const KokyakuField& f : KokyakuFields())
        EXPECT_EQ(f.Compare(*stored, k), 0) << f.name << ": " << f.ValueText(*stored) << " / " << f.ValueText(k);
    EXPECT_FALSE(stored->BirthDay.IsValid());
    EXPECT_EQ(Count("SELECT count(*) FROM Customer WHERE BirthDay IS NULL"), 1);
    EXPECT_EQ(Count("SELECT TEL_Home_X FROM Customer"), 312345678);

    // Keys are never reused.
    CKeyArray deleted;
    ASSERT_EQ(data.DeleteKokyaku({static_cast<uint32_t>(key)}, deleted), 1);
    EXPECT_GT(AddCustomer("next"), key);
}

TEST_F(MilvaneDataTest, AddRefusesTextsOverTheirLimit) {
    CKokyaku k;
    k.Name = std::string(26, 'x') + "あいうえおかきくけこさしす";  // 26 + 26 = 52 bytes > 50
    EXPECT_EQ(data.AddNewKokyaku(k), -1);
    EXPECT_NE(data.LastError().find("Name"), std::string::npos);
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 0);
    k.Name = std::string(24, 'x') + "あいうえおかきくけこさしす";  // exactly 50
    EXPECT_GT(data.AddNewKokyaku(k), 0);
}

TEST_F(MilvaneDataTest, BulkAddReportsRefusedPositions) {
    CKokyakuList list;
    for (const char* code : {"A", "B", "C", "D"}) {
        auto k = std::make_unique<CKokyaku>();
        k->CustomerID = code;
        k->TEL_Office = "0120-000-111";
        list.push_back(std::move(k));
    }
    list[1]->Suffix = "12345678901";  // 11 bytes > 10
    list[3]->Note10 = std::string(256, 'n');
    CKeyArray refused;
    ASSERT_EQ(data.AddNewKokyaku(list, refused), 10);
    EXPECT_EQ(refused, (CKeyArray{1, 3}));
    EXPECT_GT(list[2]->ID, list[0]->ID);
    EXPECT_EQ(list[1]->ID, -1);
    EXPECT_EQ(Count("SELECT count(*) FROM Customer WHERE TEL_Office_X=120000111"), 2);
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 2);

    list.erase(list.begin() + 1, list.end());
    list[0]->ID = -1;
    EXPECT_EQ(data.AddNewKokyaku(list, refused), 1);
    EXPECT_TRUE(refused.empty());
    CKokyakuList none;
    EXPECT_EQ(data.AddNewKokyaku(none, refused), 0);
}

TEST_F(MilvaneDataTest, BulkAddFailingMidwayAddsNothing) {
    SecondConnection(DbPath()).Exec(
        "CREATE TRIGGER boom BEFORE INSERT ON Customer WHEN new.CustomerID='boom' BEGIN SELECT RAISE(ABORT,'boom'); END");
    CKokyakuList list;
    for (const char* code : {"A", "boom", "C"}) {
        list.push_back(std::make_unique<CKokyaku>());
        list.back()->CustomerID = code;
    }
    CKeyArray refused;
    EXPECT_EQ(data.AddNewKokyaku(list, refused), -1);
    EXPECT_NE(data.LastError().find("boom"), std::string::npos);
    EXPECT_EQ(list[0]->ID, -1);
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 0);
    // The connection is usable afterwards.
    EXPECT_GT(AddCustomer("later"), 0);
}

TEST_F(MilvaneDataTest, ModifyReplacesTheRecord) {
    int32_t key = AddCustomer("C1", "前");
    auto k = Get(key);
    k->Name = "後";
    k->TEL_Home = "011-222";
    k->ID = 999;  // the key argument decides
    ASSERT_EQ(data.ModifyKokyaku(key, *k), 1);
    EXPECT_EQ(k->ID, key);
    EXPECT_EQ(k->TEL_Home_X, 11222.0);
    EXPECT_EQ(Get(key)->Name, "後");
    EXPECT_EQ(Count("SELECT TEL_Home_X FROM Customer"), 11222);

    EXPECT_EQ(data.ModifyKokyaku(key + 100, *k), 0);
    k->Yomi = std::string(51, 'y');
    EXPECT_EQ(data.ModifyKokyaku(key, *k), -1);
    EXPECT_EQ(Get(key)->Yomi, "");
}

TEST_F(MilvaneDataTest, BulkChangeOfOneField) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B"), c = AddCustomer("C");
    const CDateTime now = CDateTime::FromParts(2010, 3, 4, 5, 6, 7);
    CKeyArray changed;
    ASSERT_EQ(data.ModifyKokyaku({uint32_t(a), uint32_t(b)}, changed, "ColorMark", now, "", 0x0000FF), 1);
    EXPECT_EQ(changed, (CKeyArray{uint32_t(a), uint32_t(b)}));
    EXPECT_EQ(Get(a)->ColorMark, 0x0000FF);
    EXPECT_EQ(Get(a)->LastUpDate, now);
    EXPECT_EQ(Get(c)->ColorMark, 0xFFFFFF);
    EXPECT_EQ(Get(c)->LastUpDate, CDateTime::FromParts(2004, 1, 1));

    ASSERT_EQ(data.ModifyKokyaku({uint32_t(c), 9999}, changed, "Ranking1", now, "ゴールド'会員", 0), 10);
    EXPECT_EQ(changed, CKeyArray{uint32_t(c)});
    EXPECT_EQ(Get(c)->Ranking1, "ゴールド'会員");
    EXPECT_EQ(data.ModifyKokyaku({9999}, changed, "ImportantRanking", now, "VIP", 0), 0);
    EXPECT_TRUE(changed.empty());

    EXPECT_EQ(data.ModifyKokyaku({uint32_t(a)}, changed, "NoSuchField", now, "x", 0), -1);
    EXPECT_EQ(data.ModifyKokyaku({uint32_t(a)}, changed, "ID", now, "5", 0), -1);
    EXPECT_EQ(data.ModifyKokyaku({uint32_t(a)}, changed, "Ranking2", now, std::string(51, 'r'), 0), -1);
    EXPECT_EQ(Get(a)->Ranking2, "");

    // Phone texts keep their numbers.
    ASSERT_EQ(data.ModifyKokyaku({uint32_t(a)}, changed, "TEL_Home", now, "03-1111-2222", 0), 1);
    EXPECT_EQ(Get(a)->TEL_Home_X, 311112222.0);
}

TEST_F(MilvaneDataTest, DeleteTakesHistoryAndTargetsAlong) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B");
    for (int32_t c : {a, b}) ASSERT_GT(AddEntry(c, CDateTime::Now(), "購入", CDateTime::FromParts(2004, 5, 1)), 0);
    CKeyArray failed;
    auto dm = data.AddNewDMTitle(CDateTime::Now(), "夏", "", "", 0, {uint32_t(a), uint32_t(b)}, failed);
    ASSERT_TRUE(dm);

    CKeyArray deleted;
    ASSERT_EQ(data.DeleteKokyaku({uint32_t(a), 4242}, deleted), 10);
    EXPECT_EQ(deleted, CKeyArray{uint32_t(a)});
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM DMMng"), 1);
    EXPECT_EQ(Count("SELECT CustomerID FROM DMMng"), b);
    EXPECT_EQ(data.DeleteKokyaku({4242}, deleted), 0);
    EXPECT_EQ(data.DeleteKokyaku({uint32_t(b), uint32_t(b)}, deleted), 1);
    EXPECT_EQ(deleted, CKeyArray{uint32_t(b)});
    EXPECT_EQ(data.DeleteKokyaku({}, deleted), 0);
}

TEST_F(MilvaneDataTest, DeleteFailingMidwayDeletesNothing) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B");
    ASSERT_GT(AddEntry(b, CDateTime::Now(), "購入", CDateTime::FromParts(2004, 5, 1)), 0);
    SecondConnection(DbPath()).Exec("CREATE TRIGGER keep BEFORE DELETE ON Rireki BEGIN SELECT RAISE(ABORT,'kept'); END");
    CKeyArray deleted;
    EXPECT_EQ(data.DeleteKokyaku({uint32_t(a), uint32_t(b)}, deleted), -1);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 2);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 1);
}

TEST_F(MilvaneDataTest, GetAllKokyakuFollowsTheOrderClause) {
    AddCustomer("1", "b");
    AddCustomer("2", "C");
    AddCustomer("3", "a");
    EXPECT_EQ(All()[0]->CustomerID, "1");
    auto byName = All("ORDER BY [Customer].[Name] DESC");
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName[0]->Name, "C");  // texts compare without case
    EXPECT_EQ(byName[2]->Name, "a");

    // The joined addresses order too.
    CKokyaku far;
    far.Add1_Home = "北海道";
    far.Add2_Home = "札幌市";
    CKokyaku near;
    near.Add1_Home = "北海道";
    near.Add2_Home = "旭川市";
    ASSERT_GT(data.AddNewKokyaku(far), 0);
    ASSERT_GT(data.AddNewKokyaku(near), 0);
    auto byAddress = All("ORDER BY [Customer].[Add_Home_X] DESC");
    ASSERT_EQ(byAddress.size(), 5u);
    EXPECT_EQ(byAddress[0]->ID, far.ID);  // 北海道札幌市 after 北海道旭川市 in code order
    EXPECT_EQ(byAddress[1]->ID, near.ID);

    CKokyakuList list;
    EXPECT_EQ(data.GetAllKokyaku(list, "; DELETE FROM Customer"), 0);
    EXPECT_EQ(data.GetAllKokyaku(list, "ORDER BY Name; DELETE FROM Customer"), 0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 5);
}

TEST_F(MilvaneDataTest, DefaultOrderKeepsTheIndexOrderOfEqualAndUnsetDates) {
    // Read by key from a table scan, the list must still come out exactly as
    // the index walk gives it: equal dates newest key first when descending,
    // unset dates last; deleted keys leave gaps.
    const CDateTime d1 = CDateTime::FromParts(2005, 1, 1), d2 = CDateTime::FromParts(2006, 1, 1);
    std::vector<int32_t> key;
    for (const CDateTime& d : {d1, d2, CDateTime(), d1, d2, CDateTime(), d1}) {
        CKokyaku k;
        k.RirekiUpDate = d;
        key.push_back(data.AddNewKokyaku(k));
        ASSERT_GT(key.back(), 0);
    }
    CKeyArray deleted;
    ASSERT_EQ(data.DeleteKokyaku({uint32_t(key[3])}, deleted), 1);
    struct Case {
        const char* order;
        std::vector<int> expected;  // positions in key
    };
    for (const Case& c : {Case{"ORDER BY [Customer].[RirekiUpDate] DESC", {4, 1, 6, 0, 5, 2}},
                          Case{"ORDER BY [Customer].[RirekiUpDate]", {2, 5, 0, 6, 1, 4}},
                          Case{"", {0, 1, 2, 4, 5, 6}}}) {
        std::vector<int32_t> got, expected;
        for (const auto& k : All(c.order)) got.push_back(k->ID);
        for (int i : c.expected) expected.push_back(key[size_t(i)]);
        EXPECT_EQ(got, expected) << c.order;
    }
}

TEST_F(MilvaneDataTest, LeanRowsCursorAndKeysGiveTheOrderOfTheWholeRecords) {
    const CDateTime d1 = CDateTime::FromParts(2005, 1, 1), d2 = CDateTime::FromParts(2006, 1, 1);
    std::vector<int32_t> key;
    int n = 0;
    for (const CDateTime& d : {d1, d2, CDateTime(), d1, d2}) {
        CKokyaku k;
        k.CustomerID = "C" + std::to_string(++n);
        k.Name = n % 2 ? "b" : "A";
        k.Yomi = "ﾖﾐ" + std::to_string(n);
        k.RirekiUpDate = d;
        key.push_back(data.AddNewKokyaku(k));
        ASSERT_GT(key.back(), 0);
    }
    const int yomi = KokyakuFieldIndex("Yomi");
    for (const std::string order : {"", "ORDER BY [Customer].[RirekiUpDate] DESC", "ORDER BY [Customer].[Name]"}) {
        CKokyakuRows rows;
        ASSERT_TRUE(rows.Keep({"Yomi"}));
        rows.Append(std::make_unique<CKokyaku>());  // replaced by the read
        ASSERT_EQ(data.GetKokyakuRows(rows, order), 1) << order;
        std::unique_ptr<IKokyakuCursor> cursor = data.OpenKokyakuCursor(order);
        ASSERT_NE(cursor, nullptr);
        const CKokyakuList whole = All(order);
        ASSERT_EQ(rows.size(), whole.size());
        for (std::size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(rows[i].ID, whole[i]->ID) << order;
            EXPECT_EQ(rows[i].Text(yomi), whole[i]->Yomi);
            const CKokyaku* streamed = cursor->Next();
            ASSERT_NE(streamed, nullptr);
            EXPECT_EQ(*streamed, *whole[i]);
        }
        EXPECT_EQ(cursor->Next(), nullptr);
        EXPECT_FALSE(cursor->Failed());
    }
    CKokyakuRows rows;
    EXPECT_EQ(data.GetKokyakuRows(rows, "ORDER BY Name; DELETE FROM Customer"), 0);
    EXPECT_EQ(data.OpenKokyakuCursor("; DELETE FROM Customer"), nullptr);
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 5);

    // Whole records by key, in the keys' order; unknown keys are skipped.
    CKokyakuList byKeys;
    ASSERT_EQ(data.GetKokyakuByKeys({uint32_t(key[3]), 999, uint32_t(key[0])}, byKeys), 1);
    ASSERT_EQ(byKeys.size(), 2u);
    EXPECT_EQ(byKeys[0]->CustomerID, "C4");
    EXPECT_EQ(byKeys[1]->CustomerID, "C1");
    CKokyaku one;
    EXPECT_TRUE(data.ReadKokyaku(key[1], one));
    EXPECT_EQ(one.Yomi, "ﾖﾐ2");
    EXPECT_FALSE(data.ReadKokyaku(999, one));
}

// ---------------------------------------------------------------- statements

TEST_F(MilvaneDataTest, OnlyOneReadingSelectIsAccepted) {
    int32_t a = AddCustomer("A");
    const char* refused[] = {
        "DELETE FROM Customer",
        "SELECT * FROM Customer; DELETE FROM Customer",
        "SELECT * FROM Customer; SELECT * FROM Customer",
        "INSERT INTO Customer (Name) VALUES ('x')",
        "UPDATE Customer SET Name='x'",
        "PRAGMA user_version=7",
        "ATTACH DATABASE '/tmp/milvane-attack.db' AS x",
        "CREATE TABLE x(y)",
        "DROP TABLE Customer",
        "VACUUM",
        "WITH d AS (SELECT 1) DELETE FROM Customer",
        "SELECT * FROM Customer WHERE",
        "SELECT * FROM Customer WHERE Name = 'abc",
        "SELECT * FROM Customer WHERE [Customer].[NoSuchField] = 1",  // never a string
        "",
    };
    for (const char* sql : refused) {
        CKeyArray keys;
        EXPECT_EQ(data.ExtractKokyaku(sql, keys), -1) << sql;
        EXPECT_TRUE(keys.empty()) << sql;
        CRirekiList list;
        EXPECT_EQ(data.ExtractRireki(sql, list), -1) << sql;
        CSorunaHitList hits;
        EXPECT_EQ(data.QuerySoruna(1, sql, hits, 0), -1) << sql;
    }
    EXPECT_EQ(Count("SELECT count(*) FROM Customer"), 1);
    EXPECT_EQ(Count("SELECT ID FROM Customer"), a);
    EXPECT_EQ(Count("PRAGMA user_version"), 1);
    EXPECT_FALSE(fs::exists("/tmp/milvane-attack.db"));
    EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE name='x'"), 0);
    // An analysis needs a known kind and a value column; a failed one adds nothing.
    CSorunaHitList hits;
    ASSERT_EQ(data.QuerySoruna(1, "SELECT Customer.ID, 1 FROM Customer", hits, 0), 1);
    EXPECT_EQ(data.QuerySoruna(4, "SELECT Customer.ID, 1 FROM Customer", hits, 0), -1);
    EXPECT_EQ(data.QuerySoruna(1, "SELECT Customer.ID FROM Customer", hits, 0), -1);
    EXPECT_EQ(hits.size(), 1u);
    // The component's own work goes on.
    EXPECT_GT(AddCustomer("B"), 0);
}

TEST_F(MilvaneDataTest, ErrorTextIsShownThroughThePrompt) {
    CKeyArray keys;
    ASSERT_EQ(data.ExtractKokyaku("SELECT * FROM NoSuchTable", keys), -1);
    EXPECT_NE(data.LastError().find("NoSuchTable"), std::string::npos);
    EXPECT_EQ(data.DispOleDBErrDlg(), 1);
    ASSERT_EQ(ports.prompt.Log().size(), 1u);
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Stop);
    EXPECT_NE(ports.prompt.Log()[0].text.find("NoSuchTable"), std::string::npos);
}

TEST_F(MilvaneDataTest, OperationsOnAClosedDatabaseFail) {
    ASSERT_EQ(data.SaveMLV(true), 1);
    CKokyaku k;
    EXPECT_EQ(data.AddNewKokyaku(k), -1);
    CKokyakuList list;
    EXPECT_EQ(data.GetAllKokyaku(list), 0);
    CKeyArray keys;
    EXPECT_EQ(data.ExtractKokyaku("SELECT * FROM Customer", keys), -1);
    EXPECT_EQ(data.CompactDB(dir.File("b.mlv")), -1);
    CDMList titles;
    EXPECT_EQ(data.GetAllDMTitle(titles), 0);
}
