#include "lookup/PostalDict.h"

#include <gtest/gtest.h>

#include "lookup/LookupFixture.h"

namespace {

TEST(PostalDigits, KeepsDigitsOfEitherWidthAndSkipsHyphens) {
    const struct {
        const char* typed;
        const char* digits;
    } cases[] = {
        {"100-0001", "1000001"}, {"1000001", "1000001"}, {"１００－０００１", "1000001"},
        {" 100 ", "100"},        {"100ー0001", "1000001"}, {"100-000a", ""},
        {"〒100-0001", ""},      {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PostalDigits(c.typed), c.digits) << c.typed;
}

TEST(PostalSource, ParsesThePackageFilesAndRefusesOtherText) {
    std::vector<PostalSourceEntry> out;
    ASSERT_TRUE(ParsePostalSourceFile(
        "cb(\n[[\"_1000001\",\"\\u6771\\u4eac\\u90fd\",\"\\u5343\\u4ee3\\u7530\\u533a\",\"\\u5343\\u4ee3\\u7530\","
        "\"\",\"\",\"\",\"\",\"\"]]\n);",
        out));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].code, "1000001");
    EXPECT_EQ(out[0].prefecture, "東京都");
    EXPECT_EQ(out[0].town, "千代田");

    for (const char* bad : {"[[\"_1\",\"a\",\"b\",\"c\",\"d\",\"e\"]]",           // no call around it
                            "cb([[\"_1000001\",\"a\",\"b\",\"c\",\"d\"]]);",         // five texts
                            "cb([[\"1000001\",\"a\",\"b\",\"c\",\"d\",\"e\"]]);",   // no "_"
                            "cb([[\"_1000001\",\"a\",\"b\",\"c\",\"d\",\"e]]);",    // open string
                            "cb([[\"_1000001\",\"\\ud800\",\"b\",\"c\",\"d\",\"e\"]]);"}) {
        std::vector<PostalSourceEntry> none;
        EXPECT_FALSE(ParsePostalSourceFile(bad, none)) << bad;
        EXPECT_TRUE(none.empty());
    }
}

TEST(PostalBuild, SkipsRecordsWithoutACodeOrPrefecture) {
    std::size_t skipped = 0;
    BuildPostalDictFile(FixtureRecords(), false, &skipped);
    EXPECT_EQ(skipped, 2u);  // the package's information records
}

class PostalDictTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(dict.Open(fx.yubin, fx.hojin), PostalResult::Open); }
    PostalFixture fx;
    CPostalDict dict;
};

TEST_F(PostalDictTest, SearchFindsGeneralAndBusinessEntriesAndAreas) {
    const PostalEntry chiyoda{"100-0001", "", "東京都", "千代田区", "千代田", ""};
    EXPECT_EQ(dict.Search("100-0001"), std::vector<PostalEntry>{chiyoda});
    EXPECT_EQ(dict.Search("１０００００１"), std::vector<PostalEntry>{chiyoda});

    const auto office = dict.Search("1008086");
    ASSERT_EQ(office.size(), 1u);
    EXPECT_EQ(office[0].name, "三菱商事　株式会社");
    EXPECT_EQ(office[0].street1, "丸の内");
    EXPECT_EQ(office[0].street2, "２丁目３－１");

    const auto area = dict.Search("452");
    ASSERT_EQ(area.size(), 1u);
    EXPECT_EQ(area[0], (PostalEntry{"452", "", "愛知県", "清須市", "", ""}));

    const auto towns = dict.Search("452-0961");  // one code, several towns, in the data's order
    ASSERT_EQ(towns.size(), 4u);
    EXPECT_EQ(towns[0].street1, "春日明河原");
    EXPECT_EQ(towns[3].street1, "春日一本松");

    for (const char* none : {"999-9999", "10000", "100-000a", ""}) EXPECT_TRUE(dict.Search(none).empty()) << none;
}

TEST_F(PostalDictTest, ListsAddressesLevelByLevel) {
    using L = std::vector<PostalLevelItem>;
    std::vector<std::string> prefs;
    for (const PostalLevelItem& p : dict.Prefectures()) prefs.push_back(p.text);
    EXPECT_EQ(prefs, (std::vector<std::string>{"北海道", "東京都", "愛知県", "沖縄県"}));

    EXPECT_EQ(dict.Cities("愛知県"), (L{{"名古屋市中村区", "450"}, {"清須市", "4520961"}}));
    EXPECT_EQ(dict.Towns("東京都", "千代田区"),
              (L{{"千代田", "1000001"},
                 {"皇居外苑", "1000002"},
                 {"丸の内", "1000005"},
                 {"丸の内東京ビルディング１階", "1006401"},
                 {"丸の内東京ビルディング", "1006490"}}));
    const auto rest = dict.Rest("東京都", "千代田区", "丸の内");
    ASSERT_EQ(rest.size(), 4u);
    EXPECT_EQ(rest[0], (PostalLevelItem{"２丁目３－１　三菱商事　株式会社", "1008086"}));

    EXPECT_TRUE(dict.Cities("東京").empty());
    EXPECT_TRUE(dict.Towns("東京都", "新宿区").empty());
    EXPECT_TRUE(dict.Rest("東京都", "千代田区", "千代田").empty());
}

// Missing files, wrong versions and folder faults are told by the dictionaries' messages.
TEST(PostalDictOpen, RefusesADamagedFile) {
    for (int damage = 0; damage < 4; ++damage) {
        PostalFixture fx;
        const std::string y = fx.yubin + "/" + kYubinFileName;
        std::string bytes = ReadBytes(y);
        if (damage == 1) bytes.resize(bytes.size() - 3);
        if (damage == 2) bytes[40] ^= 1;
        if (damage == 3) bytes[0] = 'X';
        WriteBytes(y, bytes);
        CPostalDict dict;
        const int code = damage ? 4 : 0;
        EXPECT_EQ(dict.Open(fx.yubin, fx.hojin), code) << damage;
        EXPECT_EQ(dict.IsOpen(), code == 0);
        EXPECT_EQ(dict.Search("1000001").size(), code == 0 ? 1u : 0u);
    }
}

}  // namespace
