#include "lookup/Dictionaries.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lookup/LookupFixture.h"

namespace {

struct DictEnv {
    TestPorts ports;
    PostalFixture postal;
    TempDir dir;
    CLookupDictionaries dicts;

    DictEnv() { dicts.mediaRoots = {dir.File("media")}; }
    void Set(const char* key, const std::string& value) { ports.profile.strings[{QSTel::kSection, key}] = value; }
    std::string Get(const char* key) { return ports.profile.strings[{QSTel::kSection, key}]; }
    void PhoneDirectoryAt(const std::string& folder) {
        std::filesystem::create_directories(folder);
        WriteBytes(folder + "/tel.csv", "03-3333-4444,千代田商店,100-0001,東京都,千代田区,千代田,1-1\n");
    }
    void UsablePostal() {
        Set(QSTel::kYubinPath, postal.yubin);
        Set(QSTel::kHojinPath, postal.hojin);
    }
};

struct DictionariesTest : ::testing::Test, DictEnv {};

TEST_F(DictionariesTest, ReportsEveryFailedOpenOnlyWhenAsked) {
    const std::string noDir = "電話番号検索のためのデータパスが取得できませんでした。\n"
                              "電話番号検索をするには、Zorund電話帳のCDをセットして操作しなおしてください。\n";
    const std::string phoneOpen = "電話番号検索のためのデータが開けませんでした。\n電話番号からの検索、住所からの検索ができません。\n";
    const std::string postalFail = "データが開けませんでした。\n郵便番号データ検索ができません。\n";
    const std::string phoneFail = "データが開けませんでした。\n電話番号からの検索、住所からの検索ができません。\n";
    enum Setup {
        Nothing, PostalVersion, DirWithoutDataPath, BrokenUserDict, HojinMissing, NoYubinFolder, YubinMissing,
        YubinBroken, HojinVersion, EmptyDirectory, All
    };
    const struct {
        Setup setup;
        int result;
        std::vector<std::string> messages;
    } cases[] = {
        {Nothing, 0, {noDir, "郵便番号・住所検索のためのデータが取得できませんでした。\n", "検索のためのデータがすべて取得できませんでした。\n検索ができません。\n"}},
        {PostalVersion, 0, {"辞書のバージョンが正しくありません\n5\n", postalFail, postalFail}},
        {DirWithoutDataPath, 0, {"データパスの取得に失敗しました。\nﾕｰｻﾞｰ電話帳データを使用できません。", phoneOpen, phoneFail}},
        {BrokenUserDict, 1, {"ユーザー辞書を取得できませんでした\n"}},
        {HojinMissing, 0, {"法人辞書ファイルをオープンできません\n35\n", postalFail, postalFail}},
        {NoYubinFolder, 0, {"パラメーターの内容に問題があります\n1\n", postalFail, postalFail}},
        {YubinMissing, 0, {"辞書ファイルをオープンできません\n2\n", postalFail, postalFail}},
        {YubinBroken, 0, {"ファイルが壊れています\n4\n", postalFail, postalFail}},
        {HojinVersion, 0, {"法人辞書のバージョンが正しくありません\n36\n", postalFail, postalFail}},
        {EmptyDirectory, 0, {phoneOpen, phoneFail}},
        {All, 1, {}},
    };
    for (const auto& c : cases) {
        for (bool report : {false, true}) {
            DictEnv t;
            const std::string media = t.dir.File("media/disk/ZorundTel");
            if (c.setup != Nothing) t.UsablePostal();
            if (c.setup != Nothing && c.setup != DirWithoutDataPath) {
                t.PhoneDirectoryAt(media);
                t.Set(QSTel::kDataPath, t.dir.File("Tel"));
            }
            if (c.setup == DirWithoutDataPath) t.Set(QSTel::kHDPath, t.dir.File("empty"));
            if (c.setup == PostalVersion || c.setup == HojinVersion) {
                const std::string f = c.setup == PostalVersion ? t.postal.yubin + "/" + kYubinFileName
                                                               : t.postal.hojin + "/" + kHojinFileName;
                std::string b = ReadBytes(f);
                b[8] = 9;
                WriteBytes(f, b);
            }
            if (c.setup == HojinMissing) std::filesystem::remove(t.postal.hojin + "/" + kHojinFileName);
            if (c.setup == NoYubinFolder) t.Set(QSTel::kYubinPath, t.dir.File("none"));
            if (c.setup == YubinMissing) std::filesystem::remove(t.postal.yubin + "/" + kYubinFileName);
            if (c.setup == YubinBroken) WriteBytes(t.postal.yubin + "/" + kYubinFileName, "MLVPOST");
            if (c.setup == EmptyDirectory) {
                std::filesystem::remove_all(t.dir.File("media"));
                t.Set(QSTel::kHDPath, t.dir.File("Tel"));  // a folder without directory files
            }
            if (c.setup == BrokenUserDict) {
                std::filesystem::create_directories(t.dir.File("Tel"));
                WriteBytes(t.dir.File("Tel") + "/" + kUserAddFile, "garbage");
            }
            EXPECT_EQ(t.dicts.OpenDictionaries(report), c.result) << c.setup;
            EXPECT_EQ(t.ports.prompt.Texts(), report ? c.messages : std::vector<std::string>{}) << c.setup;
        }
    }
}

TEST_F(DictionariesTest, PhoneSearchUsesTheUserDictionaryWithoutADirectory) {
    Set(QSTel::kDataPath, dir.File("Tel"));
    CUserTelDict user;
    ASSERT_TRUE(user.Load(dir.File("Tel")));
    CQSAddress mine;
    mine.texts[0] = "045-111-2222";
    mine.texts[1] = "自分の登録";
    user.Add(mine);
    ASSERT_TRUE(user.Save());

    EXPECT_EQ(dicts.OpenDictionaries(false), 0);
    EXPECT_FALSE(dicts.PhoneOpen());
    using R = CLookupDictionaries::PhoneResult;
    const struct {
        const char* number;
        R result;
    } cases[] = {{"045-111-2222", R::Hits}, {"03-0000-0000", R::Unavailable}, {"０４５", R::BadNumber},
                 {"045 111", R::BadNumber}, {"", R::BadNumber},               {"---", R::BadNumber}};
    for (const auto& c : cases) {
        std::vector<CQSAddress> hits;
        EXPECT_EQ(dicts.SearchPhone(c.number, hits), c.result) << c.number;
        EXPECT_EQ(hits.size(), c.result == R::Hits ? 1u : 0u);
    }

    PhoneDirectoryAt(dir.File("media/disk/ZorundTel"));
    ASSERT_TRUE(dicts.OpenPhone(true));
    std::vector<CQSAddress> hits;
    EXPECT_EQ(dicts.SearchPhone("03-0000-0000", hits), R::NoHit);
    EXPECT_EQ(dicts.SearchPhone("0333334444", hits), R::Hits);
}

TEST_F(DictionariesTest, FailedSaveOfTheUserDictionaryIsToldAndKeepsTheFiles) {
    WriteBytes(dir.File("file"), "not a folder");
    Set(QSTel::kDataPath, dir.File("file") + "/Tel");
    Set(QSTel::kHDPath, dir.File("hd"));
    PhoneDirectoryAt(dir.File("hd"));
    ASSERT_TRUE(dicts.OpenPhone(false));
    CQSAddress mine;
    mine.texts[0] = "03-1";
    dicts.UserDict().Add(mine);
    EXPECT_FALSE(dicts.SaveUserDict());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"ﾕｰｻﾞｰ辞書の保存に失敗しました。\n"});
}

TEST_F(DictionariesTest, InstallationWritesItsDefaultsWithoutLosingTheUsersChoices) {
    const std::string install = dir.File("inst");
    std::filesystem::create_directories(install + kInstalledYubinDir);
    WriteBytes(install + kInstalledYubinDir + "/" + kYubinFileName, "x");
    Set(QSTel::kHojinPath, dir.File("gone"));  // no dictionary there, none installed either
    Set(QSTel::kDataPath, dir.File("mine"));
    WriteLookupDefaults(install);
    EXPECT_EQ(Get(QSTel::kYubinPath), install + kInstalledYubinDir);
    EXPECT_EQ(Get(QSTel::kHojinPath), dir.File("gone"));
    EXPECT_EQ(Get(QSTel::kDataPath), dir.File("mine"));

    Set(QSTel::kYubinPath, postal.yubin);  // a working dictionary elsewhere stays
    Set(QSTel::kDataPath, "");
    WriteLookupDefaults(install);
    EXPECT_EQ(Get(QSTel::kYubinPath), postal.yubin);
    EXPECT_EQ(Get(QSTel::kDataPath), install + kInstalledUserTelDir);
}

}  // namespace
