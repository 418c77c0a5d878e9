// The analysis statements, character for character, and their checks with
// the exact messages in order.
#include <gtest/gtest.h>

#include "analysis/SorunaQuery.h"
#include "support/TestPorts.h"

namespace {

const std::string kJoin = "FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID ";

}  // namespace

TEST(SorunaQuery, FullDateAndLikeValue) {
    struct {
        const char* text;
        bool ok;
    } dates[] = {{"2004/01/01", true}, {"2004/1/1", true},  {"04/01/01", false}, {"20040/1/1", false},
                 {"2004/0101", false}, {"2004//1", false},  {"2004/02/30", false}, {"", false}};
    for (const auto& d : dates) EXPECT_EQ(ParseFullDate(d.text).has_value(), d.ok) << d.text;
    EXPECT_EQ(EscapeLikeValue("50%#[x]'s"), "50[%][#][[]x]''s");
}

TEST(SorunaQuery, Page1Statements) {
    TestPorts ports;
    CSorunaPage1 p;
    p.title = "購入";
    p.count = 3;
    auto st = BuildSorunaPage1(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql,
              "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント FROM Customer INNER JOIN Rireki ON "
              "Customer.ID = Rireki.CustomerID WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID "
              "HAVING ((Count(*))>=3) ORDER BY Count(*) DESC");
    EXPECT_EQ(st->maxHits, -1);

    // Title and both period ends; TOP passes its count.
    p.option = 1;
    p.top = 5;
    p.period = {true, "2004/01/01", "2004/12/31"};
    st = BuildSorunaPage1(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin +
                           "WHERE (((Rireki.ActionTitle)='購入') AND ((Int(Rireki.Date)>=#1/1/2004#) AND "
                           "(Int(Rireki.Date)<=#12/31/2004#))) GROUP BY Customer.ID ORDER BY Count(*) DESC");
    EXPECT_EQ(st->maxHits, 5);

    // No title (confirmed), the start alone, every hit.
    ports.prompt.QueueAnswer(Answer::Yes);
    p = {};
    p.option = 2;
    p.period = {true, "2004/01/01", ""};
    st = BuildSorunaPage1(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin +
                           "WHERE (Int(Rireki.Date)>=#1/1/2004#) GROUP BY Customer.ID ORDER BY Count(*) DESC");
    EXPECT_EQ(ports.prompt.Log().at(0).defaultButton, Answer::No);
    EXPECT_EQ(ports.prompt.Log().at(0).icon, MsgIcon::Question);
}

TEST(SorunaQuery, Page1And6Refusals) {
    struct Case {
        const char* name;
        CSorunaPage1 page;
        std::vector<Answer> answers;
        std::vector<std::string> messages;
        SorunaFocus focus = SorunaFocus::None;
    };
    auto page = [](std::string title, int option, int count, int top, CPeriodFields period = {}) {
        CSorunaPage1 p;
        p.title = std::move(title);
        p.option = option;
        p.count = count;
        p.top = top;
        p.period = std::move(period);
        return p;
    };
    const std::string all = "履歴概要が指定されていません。\nすべての履歴を対象にして調査しますか？";
    const Case cases[] = {
        {"no title, No", page("", 0, 1, 10), {Answer::No}, {all}},
        {"count 0", page("購入", 0, 0, 10), {}, {"回数は 1 回以上を指定してください"}},
        {"top 0", page("購入", 1, 1, 0), {}, {"TOP件数は 1 人以上を指定してください"}},
        {"no period end", page("購入", 2, 1, 10, {true, "", ""}), {}, {"期間の開始日または終了日のどちらかは設定してください"}},
        {"bad start", page("購入", 2, 1, 10, {true, "2004-01-01", ""}), {},
         {"期間設定の開始日が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。"}, SorunaFocus::PeriodStart},
        {"bad end", page("購入", 2, 1, 10, {true, "2004/01/01", "2004/13/01"}), {},
         {"期間設定の終了日が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。"}, SorunaFocus::PeriodEnd},
        {"start after end", page("購入", 2, 1, 10, {true, "2004/01/02", "2004/01/01"}), {},
         {"期間設定の開始日と終了日の関係が正しくありません。\n開始日は終了日より前の日付を設定してください。"}},
    };
    for (const Case& c : cases) {
        TestPorts ports;
        for (Answer a : c.answers) ports.prompt.QueueAnswer(a);
        SorunaFocus focus = SorunaFocus::None;
        EXPECT_FALSE(BuildSorunaPage1(c.page, &focus)) << c.name;
        EXPECT_EQ(ports.prompt.Texts(), c.messages) << c.name;
        EXPECT_EQ(focus, c.focus) << c.name;
    }
    // Equal period ends are accepted.
    TestPorts ports;
    EXPECT_TRUE(BuildSorunaPage1(page("購入", 2, 1, 10, {true, "2004/01/01", "2004/01/01"})));

    struct Threshold {
        const char* text;
        const char* message;
    } thresholds[] = {
        {"1,000", "数値は、半角数字、マイナス符号、小数点のみ入力できます"},
        {"１０", "数値は、半角数字、マイナス符号、小数点のみ入力できます"},
        {"1.234", "入力できる数値は小数点以下２桁までです"},
        {"1..", "小数点が複数入力されています"},
        {"1-2", "入力された数字が不正です"},
        {"--1", "入力された数字が不正です"},
        {"1234567890123456", "入力された数字が大きすぎます"},
        {"-1234567890123456", "入力された数字が小さすぎます"},
        {"0.00", "数値は 0 以外を指定してください"},
        {"", "数値は 0 以外を指定してください"},
        {"123456789012345", nullptr},
        {"-0.5", nullptr},
    };
    for (const auto& t : thresholds) {
        TestPorts p;
        EXPECT_EQ(CheckAmountThreshold(t.text), t.message == nullptr) << t.text;
        EXPECT_EQ(p.prompt.Texts(), t.message ? std::vector<std::string>{t.message} : std::vector<std::string>{}) << t.text;
    }
}

TEST(SorunaQuery, Page2And3Statements) {
    TestPorts ports;
    CSorunaPage2 p2;
    p2.title = "購入";
    p2.date = "2004/05/01";
    auto st = BuildSorunaPage2(p2);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, Max(Rireki.Date) AS [最新 の RirekiDate] " + kJoin +
                           "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING "
                           "(((Max(Rireki.Date))>=#5/1/2004#)) ORDER BY Max(Rireki.Date) DESC");
    p2.option = 1;
    p2.top = 3;
    st = BuildSorunaPage2(p2);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->maxHits, 3);
    EXPECT_EQ(st->sql.find("HAVING"), std::string::npos);

    const CDateTime today = CDateTime::FromParts(2006, 7, 8);
    const std::string elapsed = "((#7/8/2006#)-Int(Max([Rireki].[Date])))";
    CSorunaPage3 p3;
    p3.title = "購入";
    p3.option = 2;
    p3.years = 2;
    st = BuildSorunaPage3(p3, today);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, " + elapsed + " AS 式1 " + kJoin +
                           "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING (" + elapsed +
                           ">=730) ORDER BY " + elapsed + " DESC");
    p3.option = 1;
    p3.months = 2;
    EXPECT_NE(BuildSorunaPage3(p3, today)->sql.find(">=60) "), std::string::npos);
    EXPECT_TRUE(ports.prompt.Texts().empty());

    struct Refusal {
        int option, value;
        const char* message;
    } refusals[] = {
        {0, 0, "経過日数は 1 日以上を指定してください"}, {0, 1826, "経過日数は 1825 日までを指定してください"},
        {1, 0, "経過月数は 1 月以上を指定してください"}, {1, 61, "経過月数は 60 ヶ月までを指定してください"},
        {2, 0, "経過年数は 1 年以上を指定してください"}, {2, 6, "経過年数は 5 年までを指定してください"},
        {3, 0, "TOP件数は 1 人以上を指定してください"},
    };
    for (const auto& r : refusals) {
        TestPorts p;
        CSorunaPage3 page;
        page.title = "購入";
        page.option = r.option;
        (r.option == 0 ? page.days : r.option == 1 ? page.months : r.option == 2 ? page.years : page.top) = r.value;
        EXPECT_FALSE(BuildSorunaPage3(page, today)) << r.message;
        EXPECT_EQ(p.prompt.Texts(), std::vector<std::string>{r.message});
    }

    TestPorts p;
    for (auto [title, date] : {std::pair{"", "2004/05/01"}, {"購入", ""}, {"購入", "2004/5"}}) {
        CSorunaPage2 bad;
        bad.title = title;
        bad.date = date;
        EXPECT_FALSE(BuildSorunaPage2(bad)) << date;
    }
    EXPECT_EQ(p.prompt.Texts(), (std::vector<std::string>{"履歴概要を指定してください", "日付を指定してください",
                                                      "日付が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。"}));
}

TEST(SorunaQuery, Page4Statements) {
    TestPorts ports;
    const std::string from =
        "SELECT DISTINCTROW Customer.* FROM DMList INNER JOIN ((Customer INNER JOIN DMMng ON Customer.ID = "
        "DMMng.CustomerID) INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID) ON DMList.ID = DMMng.DMID WHERE ";
    CSorunaPage4 p;
    p.dmKey = 7;
    p.option = 1;
    p.weeks = 3;
    p.title = "購入";
    auto st = BuildSorunaPage4(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, from + "((Rireki.ActionTitle)='購入') AND (DMList.ID = 7) AND "
                              "((Int([Rireki].[Date])-Int([DMList].[Date]))>=1 And "
                              "(Int([Rireki].[Date])-Int([DMList].[Date]))<=21)");
    p.option = 4;
    p.byTitle = false;
    st = BuildSorunaPage4(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, from + "(DMList.ID = 7) AND ((Int([Rireki].[Date])-Int([DMList].[Date]))>=1)");

    struct Refusal {
        int dmKey;
        bool placeholder;
        int option, value;
        const char* message;
    } refusals[] = {
        {-1, false, 4, 1, "DMヒット率を調査するDMタイトルを選択してください"},
        {-1, true, 4, 1, "DM情報の取得に失敗しました"},
        {7, false, -1, 1, "期間を設定してください"},
        {7, false, 0, 0, "日数を正しく入力してください"},
        {7, false, 0, 1826, "日数は1825日以内を設定してください"},
        {7, false, 1, 261, "週数は260週以内を設定してください"},
        {7, false, 2, 61, "月数は60ヶ月以内を設定してください"},
        {7, false, 3, 0, "年数を正しく入力してください"},
        {7, false, 3, 6, "年数は5年以内を設定してください"},
    };
    for (const auto& r : refusals) {
        TestPorts t;
        CSorunaPage4 page;
        page.dmKey = r.dmKey;
        page.placeholder = r.placeholder;
        page.option = r.option;
        page.days = page.weeks = page.months = page.years = r.value;
        EXPECT_FALSE(BuildSorunaPage4(page)) << r.message;
        EXPECT_EQ(t.prompt.Texts(), std::vector<std::string>{r.message});
    }
    // An empty title asks; No stops.
    TestPorts t;
    t.prompt.QueueAnswer(Answer::No);
    CSorunaPage4 page;
    page.dmKey = 7;
    EXPECT_FALSE(BuildSorunaPage4(page));
    EXPECT_EQ(t.prompt.Texts(), std::vector<std::string>{"履歴概要が指定されていません。\n指定せずにヒット率を調査しますか？"});
}

TEST(SorunaQuery, Page5And7Statements) {
    TestPorts ports;
    auto st = BuildSorunaPage5({{"〒123-4567", "東京都", "千代田区", "丸の内", ""}});
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql,
              "SELECT Customer.* FROM Customer WHERE "
              "(((Customer.EntryType)=0) AND (((Customer.Zip_Office) Like '123%4567') OR "
              "(([Add1_Office] & [Add2_Office] & [Add3_Office]) Like '東京都千代田区丸の内%') OR "
              "(([Add1_Office] & [Add2_Office] & [Add3_Office]) Like '千代田区丸の内%'))) OR "
              "(((Customer.EntryType)=1) AND (((Customer.Zip_Home) Like '123%4567') OR "
              "(([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '東京都千代田区丸の内%') OR "
              "(([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '千代田区丸の内%')))");
    // A prefecture alone has no short form: the parts close after the full address.
    st = BuildSorunaPage5({{"", "北海道", "", "", ""}, {"", "東京都", "", "", ""}});
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql,
              "SELECT Customer.* FROM Customer WHERE "
              "(((Customer.EntryType)=0) AND ((([Add1_Office] & [Add2_Office] & [Add3_Office]) Like '北海道%'))) OR "
              "(((Customer.EntryType)=1) AND ((([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '北海道%'))) OR "
              "(((Customer.EntryType)=0) AND ((([Add1_Office] & [Add2_Office] & [Add3_Office]) Like '東京都%'))) OR "
              "(((Customer.EntryType)=1) AND ((([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '東京都%')))");

    st = BuildSorunaPage7({"A_B"});
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql,
              "SELECT Customer.* FROM Customer WHERE (((Customer.MainMerchant1) Like 'A[_]B%') OR "
              "((Customer.MainMerchant2) Like 'A[_]B%') OR ((Customer.MainMerchant3) Like 'A[_]B%') OR "
              "((Customer.MainMerchant4) Like 'A[_]B%') OR ((Customer.MainMerchant5) Like 'A[_]B%') OR "
              "((Customer.Bank1) Like 'A[_]B%') OR ((Customer.Bank2) Like 'A[_]B%'))");
    st = BuildSorunaPage7({"a", "O'Neil"});
    ASSERT_TRUE(st);
    EXPECT_NE(st->sql.find("Like 'a%')) OR (((Customer.MainMerchant1) Like 'O''Neil%')"), std::string::npos);
    EXPECT_TRUE(ports.prompt.Texts().empty());

    EXPECT_FALSE(BuildSorunaPage5({}));
    EXPECT_FALSE(BuildSorunaPage7({}));
    EXPECT_FALSE(BuildSorunaPage7({"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"抽出する住所がリストに追加されていません。\n少なくとも一つはリストに追加してください。",
                                        "検索する名前がリストに追加されていません。\n少なくとも1つはリストに追加してください。",
                                        "リストに登録されている数が多すぎます。\n5個以下にしてください。"}));
}

TEST(SorunaQuery, Page6Statements) {
    TestPorts ports;
    ports.prompt.QueueAnswer(Answer::Yes);
    CSorunaPage6 p;
    p.measure = 2;
    p.thresholds[2] = "1000.5";
    auto st = BuildSorunaPage6(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, Avg(Rireki.Money) AS 平均 " + kJoin +
                           "WHERE ((Rireki.Money)<>0) GROUP BY Customer.ID HAVING ((Avg(Rireki.Money))>=1000.5) "
                           "ORDER BY Avg(Rireki.Money) DESC");
    EXPECT_EQ(st->maxHits, 0);

    p.measure = 0;
    p.title = "購入";
    p.thresholds[0] = "-10";
    p.period = {true, "", "2004/12/31"};
    st = BuildSorunaPage6(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, Sum(Rireki.Money) AS 合計 " + kJoin +
                           "WHERE ((Rireki.ActionTitle)='購入') AND (Int(Rireki.Date)<=#12/31/2004#)GROUP BY "
                           "Customer.ID HAVING ((Sum(Rireki.Money))>=-10) ORDER BY Sum(Rireki.Money) DESC");
    p.measure = 1;
    p.thresholds[1] = "500";
    p.period = {};
    st = BuildSorunaPage6(p);
    ASSERT_TRUE(st);
    EXPECT_EQ(st->sql, "SELECT DISTINCTROW Customer.ID, Max(Rireki.Money) AS 最高 " + kJoin +
                           "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING ((Max(Rireki.Money))>=500) "
                           "ORDER BY Max(Rireki.Money) DESC");
    // The chosen measure's threshold is checked, after the title question.
    p.measure = 0;
    p.thresholds[0] = "0";
    EXPECT_FALSE(BuildSorunaPage6(p));
    EXPECT_EQ(ports.prompt.Texts().back(), "数値は 0 以外を指定してください");
}

// The statements as run group by the history's key and break ties by
// descending key; only statements of a title joined and grouped that way,
// and only their own grouping (not a title's text), change.
TEST(SorunaQuery, RunStatements) {
    const std::string select = "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin;
    const std::string title = "WHERE ((Rireki.ActionTitle)='購入') ";
    const std::string odd = "WHERE ((Rireki.ActionTitle)='x GROUP BY Customer.ID y') ";
    const std::string page6 = "SELECT DISTINCTROW Customer.ID, Sum(Rireki.Money) AS 合計 " + kJoin +
                              "WHERE ((Rireki.ActionTitle)='購入') AND (Int(Rireki.Date)<=#12/31/2004#)";
    struct {
        std::string built, run;
    } cases[] = {
        {select + title + "GROUP BY Customer.ID HAVING ((Count(*))>=3) ORDER BY Count(*) DESC",
         select + title +
             "GROUP BY Rireki.CustomerID HAVING ((Count(*))>=3) ORDER BY Count(*) DESC, Rireki.CustomerID DESC"},
        {page6 + "GROUP BY Customer.ID HAVING ((Sum(Rireki.Money))>=1) ORDER BY Sum(Rireki.Money) DESC",
         page6 + "GROUP BY Rireki.CustomerID HAVING ((Sum(Rireki.Money))>=1) ORDER BY Sum(Rireki.Money) DESC, "
                 "Rireki.CustomerID DESC"},
        {select + odd + "GROUP BY Customer.ID ORDER BY Count(*) DESC",
         select + odd + "GROUP BY Rireki.CustomerID ORDER BY Count(*) DESC, Rireki.CustomerID DESC"},
        // Without a title the engine groups by the customer index already: as built.
        {select + "GROUP BY Customer.ID ORDER BY Count(*) DESC", ""},
        {select + "WHERE (Int(Rireki.Date)>=#1/1/2004#) GROUP BY Customer.ID ORDER BY Count(*) DESC", ""},
        // Statements of other shapes.
        {"SELECT Customer.* FROM Customer WHERE ((Rireki.ActionTitle)='購入')", ""},
        {select + title + "GROUP BY Customer.ID", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SorunaRunStatement(c.built), c.run.empty() ? c.built : c.run) << c.built;
}

// Only statements as run whose values are never NULL lose their order; the
// hits are then ordered by value and key, both descending, and cut to TOP.
TEST(SorunaQuery, UnorderedStatementsAndHitOrder) {
    const std::string join = kJoin + "WHERE ((Rireki.ActionTitle)='購入') ";
    const std::string count = "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + join;
    const std::string elapsed = "SELECT DISTINCTROW Customer.ID, ((#4/19/2004#)-Int(Max([Rireki].[Date]))) AS 式1 " +
                                join;
    const std::string days = "((#4/19/2004#)-Int(Max([Rireki].[Date])))";
    struct {
        int kind;
        std::string built, unordered;
    } cases[] = {
        {1, count + "GROUP BY Customer.ID HAVING ((Count(*))>=3) ORDER BY Count(*) DESC",
         count + "GROUP BY Rireki.CustomerID HAVING ((Count(*))>=3)"},
        {1, count + "GROUP BY Customer.ID ORDER BY Count(*) DESC", count + "GROUP BY Rireki.CustomerID"},
        {3, elapsed + "GROUP BY Customer.ID HAVING (" + days + ">=30) ORDER BY " + days + " DESC",
         elapsed + "GROUP BY Rireki.CustomerID HAVING (" + days + ">=30)"},
        {3, elapsed + "GROUP BY Customer.ID ORDER BY " + days + " DESC", ""},  // NULL without a threshold
        {2, "SELECT DISTINCTROW Customer.ID, Max(Rireki.Date) AS [最新 の RirekiDate] " + join +
                "GROUP BY Customer.ID ORDER BY Max(Rireki.Date) DESC",
         ""},
        {1, "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin +
                "GROUP BY Customer.ID ORDER BY Count(*) DESC",
         ""},  // no title: run as built
    };
    for (const auto& c : cases) {
        const auto unordered = SorunaUnorderedStatement(c.built, c.kind);
        EXPECT_EQ(unordered.value_or(""), c.unordered) << c.built;
    }

    auto hits = [](std::initializer_list<std::pair<int32_t, double>> values, int kind) {
        CSorunaHitList out;
        for (const auto& [key, value] : values) {
            auto h = std::make_unique<CMLVSorunaHit>();
            h->Kind = kind;
            h->CustomerID = key;
            if (kind == 6) h->Money = value;
            else h->Count = int32_t(value);
            out.push_back(std::move(h));
        }
        return out;
    };
    auto keys = [](const CSorunaHitList& list) {
        std::vector<int32_t> out;
        for (const auto& h : list) out.push_back(h->CustomerID);
        return out;
    };
    struct {
        int kind, maxHits;
        CSorunaHitList list;
        std::vector<int32_t> order;
    } sorts[] = {
        {1, -1, hits({{1, 2}, {2, 5}, {3, 2}, {4, 7}}, 1), {4, 2, 3, 1}},
        {3, 0, hits({{5, -3}, {6, 0}, {7, 400}}, 3), {7, 6, 5}},
        {6, 2, hits({{1, 0.25}, {2, 1e12}, {3, 0.5}, {4, 0.5}}, 6), {2, 4}},
        {6, 9, hits({{1, -1.5}, {2, -1.25}}, 6), {2, 1}},
        {1, 1, hits({}, 1), {}},
    };
    for (auto& s : sorts) {
        SortSorunaHits(s.kind, s.list, s.maxHits);
        EXPECT_EQ(keys(s.list), s.order) << s.kind << " " << s.maxHits;
    }
}
