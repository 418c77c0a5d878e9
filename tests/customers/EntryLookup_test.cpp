#include "customers/EntryLookup.h"

#include <gtest/gtest.h>

#include "lookup/Dictionaries.h"
#include "lookup/LookupFixture.h"

namespace {

TEST(RemoveParenthesised, DropsEveryFullWidthParenthesisedPart) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"名駅ミッドランドスクエア（高層棟）１階", "名駅ミッドランドスクエア１階"},
                 {"大通西（１～１９丁目）", "大通西"},
                 {"（その他）", ""},
                 {"甲（乙）丙（丁）", "甲丙"},
                 {"開いたまま（", "開いたまま（"},
                 {"半角(は残す)", "半角(は残す)"}};
    for (const auto& c : cases) EXPECT_EQ(RemoveParenthesised(c.in), c.out) << c.in;
}

struct EntryLookupTest : ::testing::Test {
    TestPorts ports;
    PostalFixture postal;
    TempDir dir;
    CLookupDictionaries dicts;
    ControlValues home;
    std::vector<std::vector<std::string>> offered;
    std::optional<std::size_t> choice;
    AddressChooser choose = [this](const std::vector<std::string>&, const std::vector<std::vector<std::string>>& rows) {
        offered = rows;
        return choice;
    };

    EntryLookupTest() {
        dicts.mediaRoots = {};
        ports.profile.strings[{QSTel::kSection, QSTel::kYubinPath}] = postal.yubin;
        ports.profile.strings[{QSTel::kSection, QSTel::kHojinPath}] = postal.hojin;
        ports.profile.strings[{QSTel::kSection, QSTel::kHDPath}] = dir.Path();
        WriteBytes(dir.File("tel.csv"),
                   "03-3333-4444,千代田商店,100-0001,東京都,千代田区,千代田,1-1\n"
                   "06-1111-2222,梅田一号店,530-0001,大阪府,大阪市北区,梅田,1\n"
                   "06-1111-2222,梅田二号店,530-0001,大阪府,大阪市北区,梅田,2\n");
        dicts.OpenDictionaries(false);
        for (int id : {1070, 1071, 1072, 1073, 1074, EntryCtl::Name}) home[id] = ControlState{};
    }
    std::vector<std::string> Address(const ControlValues& v, const LookupBlock& b) {
        return {v.at(b.zip).text, v.at(b.prefecture).text, v.at(b.city).text, v.at(b.street).text};
    }
};

TEST_F(EntryLookupTest, PostalLookupFillsTheBlockAfterAskingBeforeOverwriting) {
    const LookupBlock& b = HomeLookupBlock();
    using V = std::vector<std::string>;
    const struct {
        const char* code;
        const char* typedCity;     // already in the city field
        std::optional<Answer> answer;
        std::optional<std::size_t> pick;  // several hits
        std::optional<V> filled;
        std::vector<std::string> texts;
    } cases[] = {
        {"100-0001", "", {}, {}, V{"100-0001", "東京都", "千代田区", "千代田"}, {}},
        {"1008086", "", {}, {}, V{"100-8086", "東京都", "千代田区", "丸の内２丁目３－１"}, {}},
        {"450-6201", "", {}, {}, V{"450-6201", "愛知県", "名古屋市中村区", "名駅ミッドランドスクエア１階"}, {}},
        {"452-0961", "", {}, 2u, V{"452-0961", "愛知県", "清須市", "春日壱屋敷"}, {}},
        {"452-0961", "", {}, std::nullopt, std::nullopt, {}},
        {"100-0001", "港区", Answer::No, {}, std::nullopt, {"住所を上書きしてよろしいですか？"}},
        {"100-0001", "港区", Answer::Yes, {}, V{"100-0001", "東京都", "千代田区", "千代田"}, {"住所を上書きしてよろしいですか？"}},
        {"999-9999", "", {}, {}, std::nullopt, {"該当するデータはありませんでした"}},
        {"", "", {}, {}, std::nullopt, {"該当するデータはありませんでした"}},
    };
    for (const auto& c : cases) {
        ports.prompt.Clear();
        ControlValues v = home;
        v[b.zip].text = c.code;
        v[b.city].text = c.typedCity;
        const ControlValues before = v;
        if (c.answer) ports.prompt.QueueAnswer(*c.answer);
        choice = c.pick;
        offered.clear();
        const auto focus = RunPostalLookup(b, v, &dicts, choose);
        EXPECT_EQ(focus.has_value(), c.filled.has_value()) << c.code;
        if (c.filled) {
            EXPECT_EQ(*focus, b.street);
            EXPECT_EQ(Address(v, b), *c.filled) << c.code;
        } else {
            EXPECT_EQ(v, before) << c.code;
        }
        EXPECT_EQ(ports.prompt.Texts(), c.texts) << c.code;
        EXPECT_EQ(offered.size(), std::string(c.code) == "452-0961" ? 4u : 0u);
        EXPECT_TRUE(ports.prompt.AllAnswersUsed());
    }
}

TEST_F(EntryLookupTest, PostalLookupTellsWhyTheDictionaryIsMissing) {
    CLookupDictionaries none;
    ports.profile.strings[{QSTel::kSection, QSTel::kYubinPath}] = "";
    ControlValues v = home;
    v[1070].text = "100-0001";
    EXPECT_FALSE(RunPostalLookup(HomeLookupBlock(), v, &none, choose));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"郵便番号・住所検索のためのデータが取得できませんでした。\n"});
}

TEST_F(EntryLookupTest, PhoneLookupAsksAccordingToTheNameAndFillsItOnlyWhenEmpty) {
    const struct {
        bool company;
        const char* name;
        const char* street;  // already typed
        const char* question;
        const char* nameAfter;
    } cases[] = {
        {false, "", "", nullptr, "千代田商店"},
        {false, "", "旧住所", "氏名・郵便番号・住所を上書きしてよろしいですか？", "千代田商店"},
        {false, "山田", "旧住所", "郵便番号・住所を上書きしてよろしいですか？\n※氏名は上書きしません。", "山田"},
        {true, "", "旧住所", "会社名・郵便番号・住所を上書きしてよろしいですか？", "千代田商店"},
        {true, "山田商事", "旧住所", "郵便番号・住所を上書きしてよろしいですか？\n※会社名は上書きしません。", "山田商事"},
    };
    for (const auto& c : cases) {
        const LookupBlock& b = c.company ? CompanyLookupBlock() : HomeLookupBlock();
        ControlValues v;
        for (int id : {b.zip, b.prefecture, b.city, b.street, b.tel, b.name}) v[id] = ControlState{};
        v[b.tel].text = "03-3333-4444";
        v[b.name].text = c.name;
        v[b.street].text = c.street;
        ports.prompt.Clear();
        if (c.question) ports.prompt.QueueAnswer(Answer::Yes);
        ASSERT_EQ(RunPhoneLookup(b, v, &dicts, choose), b.name) << c.question;
        EXPECT_EQ(ports.prompt.Texts(), c.question ? std::vector<std::string>{c.question} : std::vector<std::string>{});
        EXPECT_EQ(Address(v, b), (std::vector<std::string>{"100-0001", "東京都", "千代田区", "千代田1-1"}));
        EXPECT_EQ(v[b.name].text, c.nameAfter);
    }
}

TEST_F(EntryLookupTest, PhoneLookupRefusesBadNumbersAndStopsOnNoOrCancel) {
    const struct {
        const char* tel;
        std::optional<Answer> answer;
        std::optional<std::size_t> pick;
        std::vector<std::string> texts;
        bool filled;
    } cases[] = {
        {"０３-3333-4444", {}, {}, {"電話番号を半角数字で入力してください"}, false},
        {"", {}, {}, {"電話番号を半角数字で入力してください"}, false},
        {"03-0000-0000", {}, {}, {"該当するデータはありませんでした"}, false},
        {"06-1111-2222", {}, std::nullopt, {}, false},
        {"06-1111-2222", {}, 1u, {}, true},
        {"03-3333-4444", Answer::No, {}, {"郵便番号・住所を上書きしてよろしいですか？\n※氏名は上書きしません。"}, false},
    };
    for (const auto& c : cases) {
        ControlValues v = home;
        v[1074].text = c.tel;
        v[EntryCtl::Name].text = "山田";
        if (c.answer) v[1073].text = "旧住所";
        const ControlValues before = v;
        ports.prompt.Clear();
        if (c.answer) ports.prompt.QueueAnswer(*c.answer);
        choice = c.pick;
        EXPECT_EQ(RunPhoneLookup(HomeLookupBlock(), v, &dicts, choose).has_value(), c.filled) << c.tel;
        EXPECT_EQ(ports.prompt.Texts(), c.texts) << c.tel;
        if (c.filled)
            EXPECT_EQ(v[1073].text, "梅田2");
        else
            EXPECT_EQ(v, before);
    }
    ControlValues v = home;
    v[1074].text = "03-3333-4444";
    ports.prompt.Clear();
    EXPECT_FALSE(RunPhoneLookup(HomeLookupBlock(), v, nullptr, choose));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"電話帳データの取得に失敗しています。\n検索できません。\n"});
}

TEST_F(EntryLookupTest, PhoneLookupOnAPageWithoutTheNameNeverFillsIt) {
    ControlValues v = home;
    v.erase(EntryCtl::Name);
    v[1074].text = "03-3333-4444";
    v[1072].text = "港区";
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(RunPhoneLookup(HomeLookupBlock(), v, &dicts, choose), 1073);
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"郵便番号・住所を上書きしてよろしいですか？\n※氏名は上書きしません。"});
    EXPECT_EQ(v.count(EntryCtl::Name), 0u);
}

}  // namespace
