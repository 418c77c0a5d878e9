#include "extract/ExQueryBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "db/MilvaneDataFixture.h"
#include "customers/MasterColSet.h"
#include "extract/ExCondition.h"

namespace {

CExQueryBuilder Builder() {
    CMLVColSet set("");
    set.columns = MasterColumns();
    return CExQueryBuilder(ExFieldList(set));
}

struct RowSpec {
    const char* ref;
    std::string value;
    const char* op;  // the display text of the comparison
    int connector = kConnEnd;
    int colour = -1;
};

// Fills a row as the dialog does: field, its drop-down and comparison list, then the value and comparison.
ExRowInput Row(const CExQueryBuilder& b, const RowSpec& spec) {
    ExRowInput in;
    in.field = *spec.ref ? b.IndexOf(spec.ref) : -1;
    in.value = spec.value;
    in.colour = spec.colour;
    in.connector = spec.connector;
    const auto ops = ExOperatorsFor(spec.ref);
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (std::string(ops[i].display) == spec.op) in.op = static_cast<int>(i);
    return in;
}

std::array<ExRowInput, 3> Rows(const CExQueryBuilder& b, std::initializer_list<RowSpec> specs) {
    std::array<ExRowInput, 3> rows;
    int i = 0;
    for (const RowSpec& s : specs) rows[i++] = Row(b, s);
    return rows;
}

// A register of four customers and their history.
class ExtractStatementTest : public MilvaneDataTest {
protected:
    void SetUp() override {
        MilvaneDataTest::SetUp();
        yamadaTaro = Add("C001", "山田太郎", 0, "50%_off の案内", "03-1234-5678", 99, 3);
        yamadaHanako = Add("C002", "山田花子", 1, "", "", 31, 12);
        oneil = Add("C003", "O'Neil", 1, "5000_off", "", 0, 0);
        sato = Add("C004", "佐藤一郎", 0, "", "045-111-2222", 15, 0);
        Deal(yamadaTaro, CDateTime::FromParts(2004, 5, 20, 15, 30), 1000);
        Deal(yamadaHanako, CDateTime::FromParts(2004, 6, 1), 50);
        Deal(oneil, CDateTime::FromParts(2005, 5, 3), 0);
    }

    int32_t Add(const char* code, const char* name, int sex, const char* note, const char* tel, int day, int month) {
        CKokyaku k;
        k.CustomerID = code;
        k.Name = name;
        k.Sex = sex;
        k.Note1 = note;
        k.TEL_Home = tel;
        k.ClosingDay = day;
        k.ClosingDate = month;
        UpdatePhoneNumbers(k);
        return data.AddNewKokyaku(k);
    }
    void Deal(int32_t customer, const CDateTime& date, double money) {
        CRirekiData r = Entry("購入", date, money);
        ASSERT_GT(data.AddNewRireki(customer, r, date), 0);
    }
    std::vector<int32_t> Customers(const std::string& sql) {
        std::vector<int32_t> keys;
        for (uint32_t k : Keys(sql)) keys.push_back(static_cast<int32_t>(k));
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    std::vector<int32_t> EntryOwners(const std::string& sql) {
        CRirekiList list;
        EXPECT_EQ(data.ExtractRireki(sql, list), 1) << sql << "\n" << data.LastError();
        std::vector<int32_t> owners;
        for (const auto& r : list) owners.push_back(r->CustomerID);
        std::sort(owners.begin(), owners.end());
        return owners;
    }

public:
    CExQueryBuilder builder = Builder();
    int32_t yamadaTaro = 0, yamadaHanako = 0, oneil = 0, sato = 0;
};

TEST_F(ExtractStatementTest, StatementsAreExactAndSelectTheRightRecords) {
    struct Case {
        std::vector<RowSpec> rows;
        int kind;
        std::string sql;
        std::vector<int32_t ExtractStatementTest::*> expected;
    };
    using T = ExtractStatementTest;
    const std::vector<Case> cases = {
        {{{"[Customer].[Name]", "山田", "で始まる"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Name] Like '山田%' AND "
         "[Customer].[Name] Not Like '')",
         {&T::yamadaTaro, &T::yamadaHanako}},
        {{{"[Customer].[Note1]", "50%_off", "を含む"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Note1] Like '%50[%][_]off%' AND "
         "[Customer].[Note1] Not Like '')",
         {&T::yamadaTaro}},
        {{{"[Customer].[Name]", "O'Neil", "と等しい"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Name] = 'O''Neil' AND "
         "[Customer].[Name] Not Like '')",
         {&T::oneil}},
        {{{"[Customer].[Sex]", "女", "と等しい"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Sex] = 1", {&T::yamadaHanako, &T::oneil}},
        {{{"[Rireki].[Money]", "100", "より大きい"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID "
         "WHERE [Rireki].[Money] > 100",
         {&T::yamadaTaro}},
        {{{"[Rireki].[Date]", "5", "と月が等しい"}}, 1,
         "SELECT DISTINCTROW Rireki.* FROM Rireki WHERE Month(Int([Rireki].[Date]))= 5", {&T::yamadaTaro, &T::oneil}},
        {{{"[Rireki].[Date]", "2004/05/20", "と月が等しい"}}, 1,
         "SELECT DISTINCTROW Rireki.* FROM Rireki WHERE Month(Int([Rireki].[Date]))= 5", {&T::yamadaTaro, &T::oneil}},
        {{{"[Rireki].[Date]", "2004/05/20", "と等しい"}}, 1,
         "SELECT DISTINCTROW Rireki.* FROM Rireki WHERE Int([Rireki].[Date]) = #5/20/2004#", {&T::yamadaTaro}},
        {{{"[Rireki].[Date]", "3", "と日にちが等しい", kConnAnd}, {"[Customer].[Sex]", "女", "と等しい"}}, 1,
         "SELECT DISTINCTROW Rireki.* FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID "
         "WHERE Day(Int([Rireki].[Date]))= 3 AND [Customer].[Sex] = 1",
         {&T::oneil}},
        {{{"[Customer].[Name]", "山田", "で始まる", kConnAnd},
          {"[Customer].[Sex]", "女", "と等しい", kConnOr},
          {"[Customer].[Name]", "O'Neil", "と等しい"}},
         0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE (([Customer].[Name] Like '山田%' AND "
         "[Customer].[Name] Not Like '') AND [Customer].[Sex] = 1) OR ([Customer].[Name] = 'O''Neil' AND "
         "[Customer].[Name] Not Like '')",
         {&T::yamadaHanako, &T::oneil}},
        {{{"[Customer].[TEL_Home]", "0312345678", "と等しい"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE (([Customer].[TEL_Home] = '0312345678' AND "
         "[Customer].[TEL_Home] Not Like '') OR [Customer].[TEL_Home_X] = 312345678.000000)",
         {&T::yamadaTaro}},
        {{{"[Customer].[TEL_Home]", "045-111-2222", "と等しくない"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE (([Customer].[TEL_Home] <> '045-111-2222' AND "
         "[Customer].[TEL_Home] Not Like '') AND ([Customer].[TEL_Home_X] <> 451112222.000000 AND "
         "[Customer].[TEL_Home_X] <>0))",
         {&T::yamadaTaro}},
        {{{"[Customer].[ClosingDay]", "99", "と等しい"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[ClosingDay] = 99", {&T::yamadaTaro}},
        {{{"[Customer].[CustomerID]", "C002", "以上"}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[CustomerID] >= 'C002' AND "
         "[Customer].[CustomerID] Not Like '')",
         {&T::yamadaHanako, &T::oneil, &T::sato}},
        {{{"[Customer].[ColorMark]", "", "と等しくない", kConnEnd, 0}}, 0,
         "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[ColorMark] <> 16777215", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        std::array<ExRowInput, 3> rows;
        for (std::size_t i = 0; i < c.rows.size(); ++i) rows[i] = Row(builder, c.rows[i]);
        CExCondition cond;
        cond.DisplayColumns = {"Name"};
        ASSERT_TRUE(builder.BuildStatement(rows, c.kind, cond));
        EXPECT_EQ(cond.QueryText, c.sql);
        EXPECT_EQ(cond.ResultKind, uint32_t(c.kind));
        EXPECT_EQ(cond.DisplayColumns, std::vector<std::string>{"Name"});
        std::vector<int32_t> expected;
        for (auto member : c.expected) expected.push_back(this->*member);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(c.kind == 0 ? Customers(cond.QueryText) : EntryOwners(cond.QueryText), expected);
    }
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(ExtractStatementTest, EmptyTextAcceptedWithYesComparesWithEmpty) {
    auto rows = Rows(builder, {{"[Customer].[Note1]", "", "と等しい"}});
    ports.prompt.QueueAnswer(Answer::Yes);
    CExCondition cond;
    ASSERT_TRUE(builder.BuildStatement(rows, 0, cond));
    EXPECT_EQ(cond.QueryText, "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Note1] = ''");
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"条件<A>：条件が入力されていません。\n空の文字とみなしますがよろしいですか？"});
    EXPECT_EQ(Customers(cond.QueryText), (std::vector<int32_t>{yamadaHanako, sato}));
}

}  // namespace

TEST(ExQueryBuilder, RowArraysKeepTheInputAndTheConnectors) {
    CExQueryBuilder b = Builder();
    TestPorts ports;
    auto rows = Rows(b, {{"[Customer].[Sex]", "女", "と等しい", kConnOr}, {"[Rireki].[Money]", "-5.5", "以下"}});
    CExCondition cond;
    ASSERT_TRUE(b.BuildStatement(rows, 0, cond));
    EXPECT_EQ(cond.RowA, (std::vector<std::string>{"[Customer].[Sex]", "女", " = *", "OR"}));
    EXPECT_EQ(cond.RowB, (std::vector<std::string>{"[Rireki].[Money]", "-5.5", " <= *"}));
    EXPECT_TRUE(cond.RowC.empty());
    // Row C is not reached: its input is ignored.
    rows[1].connector = kConnEnd;
    rows[2].field = -1;
    ASSERT_TRUE(b.BuildStatement(rows, 0, cond));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST(ExQueryBuilder, ValuesAtTheLimitsPassAndOthersTellWhyAndBuildNothing) {
    struct Case {
        RowSpec row;
        const char* message;  // after the row prefix; null: accepted
    };
    const std::string month = "入力された日付の形式が正しくありません。\n月を指定する場合は 1 ～ 12 の数字または、yyyy/mm/dd 形式で入力してください。";
    const std::string full = "入力された日付の形式が正しくありません。\n日付は yyyy/mm/dd 形式で入力してください。";
    const std::vector<Case> cases = {
        {{"[Rireki].[Date]", "13", "と月が等しい"}, month.c_str()},
        {{"[Rireki].[Date]", "2004-05-20", "と月が等しい"}, month.c_str()},
        {{"[Customer].[BirthDay]", "04/05/20", "と等しい"}, full.c_str()},
        {{"[Customer].[BirthDay]", "2004/02/30", "と等しい"}, full.c_str()},
        {{"[Customer].[BirthDay]", "32", "と日にちが等しい"},
         "入力された日付の形式が正しくありません。\n日にちを指定する場合は 1 ～ 31 の数字または、yyyy/mm/dd "
         "形式で入力してください。"},
        {{"[Rireki].[Money]", "1.234", "と等しい"}, "条件に入力できる数値は小数点以下２桁までです"},
        {{"[Rireki].[Money]", "1-2", "と等しい"}, "条件に入力された数字が不正です"},
        {{"[Rireki].[Money]", "１２", "と等しい"}, "条件には半角数字、マイナス符号、小数点のみ入力できます"},
        {{"[Rireki].[Money]", "-100000001", "と等しい"}, "条件に入力された数字が小さすぎます"},
        {{"[Rireki].[Money]", "-1000000000", "と等しい"}, "条件に入力された数字が小さすぎます"},
        {{"[Rireki].[Money]", "10000000000000", "と等しい"}, "条件に入力された数字が大きすぎます"},
        {{"[Rireki].[Money]", "1000000000000.01", "と等しい"}, "条件に入力された数字が大きすぎます"},
        {{"[Customer].[ClosingDay]", "32", "と等しい"}, "条件には 0 ～ 31 または 99 を設定してください"},
        {{"[Customer].[ClosingDate]", "13", "と等しい"}, "条件には 0 ～12 を設定してください"},
        {{"[Customer].[ClosingDate]", "100", "と等しい"}, "条件に入力された数字が大きすぎます"},
        {{"[Customer].[Sex]", "その他", "と等しい"}, "条件を選択してください"},
        {{"[Customer].[StartDate]", "", "と等しい"}, "条件を入力または選択してください"},
        {{"[Customer].[Name]", "山田", "(none)"}, "比較式を選択してください"},
        {{"", "山田", "と等しい"}, "項目を選択してください"},
        {{"[Rireki].[Money]", "1000000000000", "と等しい"}, nullptr},
        {{"[Rireki].[Money]", "-100000000", "と等しい"}, nullptr},
        {{"[Rireki].[Money]", "12.5", "と等しい"}, nullptr},
        {{"[Customer].[ClosingDay]", "0", "と等しい"}, nullptr},
        {{"[Customer].[ClosingDate]", "12", "と等しい"}, nullptr},
        {{"[Rireki].[Date]", "12", "と月が等しい"}, nullptr},
        {{"[Rireki].[Date]", "2000/02/29", "以前"}, nullptr},
    };
    CExQueryBuilder b = Builder();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row.value);
        TestPorts ports;
        std::array<ExRowInput, 3> rows{Row(b, c.row)};
        CExCondition cond;
        cond.QueryText = "before";
        EXPECT_EQ(b.BuildStatement(rows, 0, cond), !c.message);
        if (!c.message) {
            EXPECT_TRUE(ports.prompt.Log().empty());
            continue;
        }
        EXPECT_EQ(cond.QueryText, "before");
        EXPECT_EQ(ports.prompt.Texts(),
                  (std::vector<std::string>{std::string("条件<A>：") + c.message, "条件<A>の設定が不正です"}));
    }
}

TEST(ExQueryBuilder, LaterRowsCarryTheirOwnPrefixAndNoAnswerStops) {
    CExQueryBuilder b = Builder();
    TestPorts ports;
    auto rows = Rows(b, {{"[Customer].[Name]", "a", "と等しい", kConnAnd}, {"[Customer].[Note2]", "", "と等しい"}});
    ports.prompt.QueueAnswer(Answer::No);
    CExCondition cond;
    EXPECT_FALSE(b.BuildStatement(rows, 0, cond));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"条件<B>：条件が入力されていません。\n空の文字とみなしますがよろしいですか？",
                                        "条件<B>の設定が不正です"}));
}

TEST(ExQueryBuilder, FieldListKindsAndOperators) {
    CExQueryBuilder b = Builder();
    EXPECT_EQ(b.Fields().front().sqlRef, "");  // the customer separator
    EXPECT_EQ(b.Fields()[b.IndexOf("[Rireki].[Date]") - 1].sqlRef, "");
    for (const char* gone : {"[Customer].[Picture1]", "[Customer].[TEL_Home_X]", "[Customer].[CommonMail]"})
        EXPECT_EQ(b.IndexOf(gone), -1) << gone;
    EXPECT_TRUE(ExFieldList(CMLVColSet("")).empty());

    // Only the customer code compares by order; a field of no kind offers nothing.
    EXPECT_EQ(ExOperatorsFor("[Customer].[CustomerID]").size(), 12u);
    EXPECT_EQ(ExOperatorsFor("[Customer].[Name]").size(), 8u);
    EXPECT_TRUE(ExOperatorsFor("[Customer].[Add_Home_X]").empty());
}
