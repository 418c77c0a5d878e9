// Running the analysis pages on a small database: the customers and values
// each statement returns, the document's result, and the page lists.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <tuple>

#include "analysis/SorunaSheet.h"
#include "db/JetSql.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "support/TestPorts.h"

namespace {

CDateTime Day(int y, int m, int d) { return CDateTime::FromParts(y, m, d); }

// A 法人 in 東京都千代田区 with three purchases; B 個人 with an older purchase
// and an inquiry; C without history. One sent DM to A and B on 2004/1/1.
struct SorunaFixture : ::testing::Test {
    TestPorts ports;
    TempDir dir;
    CMilvaneDoc doc{dir.Path()};
    int32_t a = 0, b = 0, c = 0, dm = 0;

    void SetUp() override {
        ASSERT_TRUE(CreateEmptyMilvaneDatabase(dir.File(kDatabaseFileName)));
        ASSERT_EQ(doc.Database().InitDB(dir.Path()), 1);
        doc.DataDir = dir.Path();
        CKokyaku ka;
        ka.Name = "A";
        ka.EntryType = 0;
        ka.Zip_Office = "123-4567";
        ka.Add1_Office = "東京都";
        ka.Add2_Office = "千代田区";
        ka.Add3_Office = "丸の内1-1";
        ka.MainMerchant1 = "A_B商事";
        a = doc.Database().AddNewKokyaku(ka);
        CKokyaku kb;
        kb.Name = "B";
        kb.EntryType = 1;
        kb.Zip_Home = "1234567";
        kb.Add1_Home = "大阪府";
        kb.Bank2 = "AxB銀行";
        b = doc.Database().AddNewKokyaku(kb);
        CKokyaku kc;
        kc.Name = "C";
        kc.Add1_Home = "東京都";
        kc.EntryType = 0;
        c = doc.Database().AddNewKokyaku(kc);
        ASSERT_GT(a, 0);
        ASSERT_GT(c, 0);
        History(a, "購入", Day(2004, 1, 10), 1000);
        History(a, "購入", Day(2004, 2, 10), 2000);
        History(a, "購入", Day(2004, 3, 10), 0);
        History(b, "購入", Day(2003, 12, 1), 5000);
        History(b, "問合せ", Day(2004, 6, 1), 0);
        CKeyArray failed;
        auto title = doc.Database().AddNewDMTitle(Day(2004, 1, 1), "新春", "", "", 0,
                                                  {uint32_t(a), uint32_t(b)}, failed);
        ASSERT_TRUE(title);
        dm = title->ID;
        ASSERT_EQ(doc.Database().SetStatusDMTitle(dm, 1, 1, 0, Day(2004, 1, 1)), 1);
    }
    void History(int32_t key, const char* title, CDateTime date, double money) {
        CRirekiData r;
        r.ActionTitle = title;
        r.Date = date;
        r.Money = money;
        ASSERT_GT(doc.Database().AddNewRireki(key, r, date), 0);
    }
    std::vector<std::pair<int32_t, double>> Hits() const {
        std::vector<std::pair<int32_t, double>> out;
        for (const auto& h : doc.AnalysisHits)
            out.emplace_back(h->CustomerID, h->Kind == 6 ? h->Money : h->Kind == 2 ? h->Date.Days() : h->Count);
        return out;
    }
    std::vector<uint32_t> Keys(std::vector<int32_t> keys) const { return {keys.begin(), keys.end()}; }
};

using Hit = std::pair<int32_t, double>;

}  // namespace

TEST_F(SorunaFixture, CountLatestAndElapsedPages) {
    CSorunaSheetLogic sheet(&doc, false);
    CSorunaPage1 p1;
    p1.title = "購入";
    p1.count = 2;
    ASSERT_EQ(sheet.RunPage1(p1), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 1);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{a, 3}}));

    ports.prompt.QueueAnswer(Answer::Yes);  // every history title
    p1 = {};
    p1.option = 2;
    p1.period = {true, "2004/01/01", ""};
    ASSERT_EQ(sheet.RunPage1(p1), SorunaOutcome::Stored);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{a, 4}, {b, 2}}));  // with the DM's sending history

    // TOP 0 is refused and leaves the result as it was.
    p1.title = "購入";
    p1.option = 1;
    p1.top = 0;
    EXPECT_EQ(sheet.RunPage1(p1), SorunaOutcome::Failed);
    EXPECT_EQ(ports.prompt.Texts().back(), "TOP件数は 1 人以上を指定してください");
    EXPECT_EQ(doc.AnalysisKind, 1);
    EXPECT_EQ(Hits().size(), 2u);

    CSorunaPage2 p2;
    p2.title = "購入";
    p2.date = "2004/01/01";
    ASSERT_EQ(sheet.RunPage2(p2), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 2);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{a, Day(2004, 3, 10).Days()}}));

    CSorunaPage3 p3;
    p3.title = "購入";
    p3.days = 100;
    ASSERT_EQ(sheet.RunPage3(p3, Day(2004, 4, 19)), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 3);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{b, 140}}));
    p3.option = 3;
    p3.top = 1;
    ASSERT_EQ(sheet.RunPage3(p3, Day(2004, 4, 19)), SorunaOutcome::Stored);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{b, 140}}));
    p3.option = 4;
    ASSERT_EQ(sheet.RunPage3(p3, Day(2004, 4, 19)), SorunaOutcome::Stored);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{b, 140}, {a, 40}}));
}

TEST_F(SorunaFixture, AmountPage) {
    CSorunaSheetLogic sheet(&doc, false);
    CSorunaPage6 p;
    p.title = "購入";
    p.measure = 2;
    p.thresholds[2] = "1000";
    ASSERT_EQ(sheet.RunPage6(p), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 6);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{b, 5000}, {a, 1500}}));  // the amount 0 is left out of the average
    p.measure = 0;
    p.thresholds[0] = "3000";
    p.period = {true, "2004/01/01", "2004/12/31"};
    ASSERT_EQ(sheet.RunPage6(p), SorunaOutcome::Stored);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{a, 3000}}));
    ports.prompt.QueueAnswer(Answer::Yes);
    p.title = "";
    p.measure = 1;
    p.thresholds[1] = "0.5";
    p.period = {};
    ASSERT_EQ(sheet.RunPage6(p), SorunaOutcome::Stored);
    EXPECT_EQ(Hits(), (std::vector<Hit>{{b, 5000}, {a, 2000}}));
}

// The statements as run (sorted in memory where the values allow) give the
// rows, values and order of the statements as built, ties and entries
// without a date included, and the engine no longer sorts every entry of
// the title to group them.
TEST_F(SorunaFixture, RunStatementsKeepTheBuiltResults) {
    // D, E and F tie with A on every value; G's purchase has no date.
    for (const char* name : {"D", "E", "F", "G"}) {
        CKokyaku k;
        k.Name = name;
        const int32_t key = doc.Database().AddNewKokyaku(k);
        ASSERT_GT(key, 0);
        if (name[0] == 'G') {
            History(key, "購入", CDateTime(), 700);
            continue;
        }
        History(key, "購入", Day(2004, 3, 10), 1000);
        History(key, "購入", Day(2003, 12, 1), 2000);
        History(key, "購入", Day(2004, 1, 10), 0);
    }
    struct Case {
        int kind;
        CSorunaBuild statement;
        bool sortedInMemory;
    };
    std::vector<Case> cases;
    CSorunaPage1 p1;
    p1.title = "購入";
    p1.option = 2;
    cases.push_back({1, BuildSorunaPage1(p1), true});
    p1.option = 1;
    p1.top = 2;
    p1.period = {true, "2003/12/01", "2004/12/31"};
    cases.push_back({1, BuildSorunaPage1(p1), true});
    CSorunaPage2 p2;
    p2.title = "購入";
    p2.option = 2;
    cases.push_back({2, BuildSorunaPage2(p2), false});
    CSorunaPage3 p3;
    p3.title = "購入";
    p3.option = 4;  // G's elapsed days are none (NULL): the engine's order
    cases.push_back({3, BuildSorunaPage3(p3, Day(2004, 4, 19)), false});
    p3.option = 0;
    p3.days = 30;
    cases.push_back({3, BuildSorunaPage3(p3, Day(2004, 4, 19)), true});
    for (int measure = 0; measure < 3; ++measure) {
        CSorunaPage6 p6;
        p6.title = "購入";
        p6.measure = measure;
        p6.thresholds[measure] = "1";
        cases.push_back({6, BuildSorunaPage6(p6), true});
    }

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(dir.File(kDatabaseFileName).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_TRUE(RegisterJetFunctions(raw));
    auto plan = [&](const std::string& jet) {
        std::string out;
        sqlite3_stmt* st = nullptr;
        const auto sql = TranslateJetSql(jet);
        if (!sql || sqlite3_prepare_v2(raw, ("EXPLAIN QUERY PLAN " + *sql).c_str(), -1, &st, nullptr) != SQLITE_OK)
            return std::string("(no plan)");
        while (sqlite3_step(st) == SQLITE_ROW)
            out += reinterpret_cast<const char*>(sqlite3_column_text(st, 3)) + std::string("\n");
        sqlite3_finalize(st);
        return out;
    };
    using Row = std::tuple<int32_t, int32_t, double, double>;
    auto rows = [](const CSorunaHitList& hits) {
        std::vector<Row> out;
        for (const auto& h : hits) out.emplace_back(h->CustomerID, h->Count, h->Date.Days(), h->Money);
        return out;
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.statement);
        const CSorunaStatement& st = *c.statement;
        SCOPED_TRACE(st.sql);
        CSorunaHitList built, run;
        ASSERT_EQ(doc.Database().QuerySoruna(c.kind, st.sql, built, st.maxHits), 1);
        ASSERT_EQ(QuerySorunaHits(doc.Database(), c.kind, st, run), 1);
        EXPECT_EQ(rows(run), rows(built));
        EXPECT_GE(built.size(), 2u);
        EXPECT_EQ(SorunaUnorderedStatement(st.sql, c.kind).has_value(), c.sortedInMemory);
        EXPECT_NE(plan(st.sql).find("TEMP B-TREE FOR GROUP BY"), std::string::npos);
        EXPECT_EQ(plan(SorunaRunStatement(st.sql)).find("TEMP B-TREE FOR GROUP BY"), std::string::npos);
    }
    sqlite3_close(raw);

    // The sheet runs them so.
    CSorunaSheetLogic sheet(&doc, false);
    ASSERT_EQ(sheet.RunPage1(p1), SorunaOutcome::Stored);
    EXPECT_EQ(Hits().size(), 2u);
}

TEST_F(SorunaFixture, SelectionPages) {
    CSorunaSheetLogic sheet(&doc, false);
    ASSERT_EQ(sheet.RunPage5({{"〒123-4567", "東京都", "千代田区", "", ""}}), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 5);
    EXPECT_EQ(doc.AnalysisKeys, Keys({a, b}));  // A by its office address and code, B by its home code
    ASSERT_EQ(sheet.RunPage5({{"", "東京都", "", "", ""}}), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKeys, Keys({a}));  // C is a 法人 with only a home address

    ASSERT_EQ(sheet.RunPage7({"A_B"}), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 7);
    EXPECT_EQ(doc.AnalysisKeys, Keys({a}));
    ASSERT_EQ(sheet.RunPage7({"ax", "A_"}), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKeys, Keys({a, b}));

    CSorunaPage4 p4;
    p4.dmKey = dm;
    p4.option = 1;
    p4.weeks = 2;
    p4.title = "購入";
    ASSERT_EQ(sheet.RunPage4(p4), SorunaOutcome::Stored);
    EXPECT_EQ(doc.AnalysisKind, 4);
    EXPECT_EQ(doc.AnalysisDMKey, dm);
    EXPECT_EQ(doc.AnalysisKeys, Keys({a}));
    p4.option = 4;
    p4.byTitle = false;  // the sending history on the DM day itself does not count
    ASSERT_EQ(sheet.RunPage4(p4), SorunaOutcome::Stored);
    std::vector<uint32_t> keys = doc.AnalysisKeys;
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, Keys({a, b}));
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(SorunaFixture, FailureCancelAndLock) {
    int resets = 0;
    CSorunaSheetLogic sheet(&doc, false, [&] { ++resets; });
    ASSERT_EQ(sheet.RunPage7({"A"}), SorunaOutcome::Stored);
    // A title with a quote breaks the statement: the result is reset.
    CSorunaPage1 p;
    p.title = "O'Neil";
    EXPECT_EQ(sheet.RunPage1(p), SorunaOutcome::Failed);
    EXPECT_EQ(ports.prompt.Texts().back(), "抽出に失敗しました");
    EXPECT_EQ(doc.AnalysisKind, -1);
    EXPECT_TRUE(doc.AnalysisKeys.empty());
    EXPECT_GE(resets, 2);

    ASSERT_EQ(sheet.RunPage7({"A"}), SorunaOutcome::Stored);
    sheet.Cancel();
    EXPECT_EQ(doc.AnalysisKind, -1);

    CSorunaSheetLogic locked(&doc, true);
    EXPECT_EQ(locked.Page(), 4);
    EXPECT_FALSE(locked.SelectPage(1));
    EXPECT_FALSE(locked.PageEnabled(7));
    doc.AnalysisKind = 4;
    doc.AnalysisDMKey = dm;
    locked.Cancel();
    EXPECT_EQ(doc.AnalysisKind, 4);
    EXPECT_EQ(doc.AnalysisDMKey, dm);

    CSorunaSheetLogic none(nullptr, false);
    EXPECT_EQ(none.RunPage7({"A"}), SorunaOutcome::Failed);
    EXPECT_EQ(ports.prompt.Texts().back(), "データベースに問い合わせができません");
}

TEST_F(SorunaFixture, PhoneDirectoryTarget) {
    CSorunaSheetLogic sheet(&doc, false);
    doc.AnalysisKind = 5;
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(sheet.RunPage5Phone({{"100-0001", "東京都", "", "", ""}, {"", "大阪府", "", "", ""}}),
              SorunaOutcome::Failed);
    EXPECT_EQ(sheet.RunPage5Phone({{"10", "東京都", "", "", ""}}), SorunaOutcome::Failed);
    EXPECT_EQ(sheet.RunPage5Phone({{"100-0001", "東京都", "", "", ""}}), SorunaOutcome::Failed);  // not installed
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{
                  "電話帳から抽出できる住所は一件だけです。\nいちばん上の住所を検索します。よろしいですか？",
                  "電話帳から住所を抽出するには、3桁以上の郵便番号が設定されている必要があります。\n住所を選びなおしてください。\n",
                  "エリアマーケティングツールを起動できませんでした。\n"}));
    EXPECT_EQ(doc.AnalysisKind, 5);
}

TEST_F(SorunaFixture, SentTitlesAddressAndNameLists) {
    CKeyArray failed;
    ASSERT_TRUE(doc.Database().AddNewDMTitle(Day(2005, 1, 1), "未送付", "", "", 0, {uint32_t(a)}, failed));
    std::vector<CSentDMTitle> titles;
    ASSERT_TRUE(LoadSentDMTitles(doc, titles));
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].key, dm);
    EXPECT_EQ(titles[0].text, "2004/01/01 新春");

    EXPECT_EQ(StripFullWidthParentheses("丸の内（次のビルを除く）一丁目（地階）"), "丸の内一丁目");
    CAreaAddressList list;
    EXPECT_FALSE(list.Add(false, {}));
    EXPECT_TRUE(list.Add(true, {"100-0005", "東京都", "千代田区", "丸の内（次のビルを除く）", ""}));
    EXPECT_FALSE(list.Add(true, {"100-0005", "東京都", "千代田区", "丸の内", ""}));
    EXPECT_EQ(list.Rows().at(0).town, "丸の内");
    for (int i = 1; i < 10; ++i) EXPECT_TRUE(list.Add(true, {"", "県" + std::to_string(i), "", "", ""}));
    EXPECT_FALSE(list.Add(true, {"", "北海道", "", "", ""}));
    list.Remove(0);
    EXPECT_EQ(list.Rows().size(), 9u);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"住所を選択してください", "既に同じ住所が追加されています。",
                                                              "追加できる住所は10個までです。"}));
    ports.prompt.Clear();

    CNameList names;
    using A = CNameList::Added;
    EXPECT_EQ(names.Add(""), A::Empty);
    for (const char* n : {"1", "2", "3", "4"}) EXPECT_EQ(names.Add(n), A::Yes);
    EXPECT_EQ(names.Add("2"), A::Duplicate);
    EXPECT_EQ(names.Add("5"), A::Yes);
    EXPECT_TRUE(names.Full());
    EXPECT_EQ(names.Add("6"), A::Full);
    EXPECT_FALSE(names.Remove(-1));
    EXPECT_TRUE(names.Remove(0));
    EXPECT_FALSE(names.Full());
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"リストに追加する名前を入力してください", "同じ名前がすでに登録されています",
                                        "すでに5個の名前が登録されています。\nこれ以上登録できません。",
                                        "リストから削除する名前を選択してください"}));
}
