// The statements of the extraction dialog and the analyses, translated and
// run against a small register held in an in-memory database.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/JetSql.h"

namespace {

const char* const kSchema = R"(
CREATE TABLE Customer(
  ID INTEGER PRIMARY KEY, CustomerID TEXT COLLATE NOCASE, Name TEXT COLLATE NOCASE, Yomi TEXT COLLATE NOCASE,
  Sex INTEGER, EntryType INTEGER, BirthDay REAL,
  Zip_Home TEXT COLLATE NOCASE, Add1_Home TEXT COLLATE NOCASE, Add2_Home TEXT COLLATE NOCASE,
  Add3_Home TEXT COLLATE NOCASE, TEL_Home TEXT COLLATE NOCASE, TEL_Home_X REAL,
  Zip_Office TEXT COLLATE NOCASE, Add1_Office TEXT COLLATE NOCASE, Add2_Office TEXT COLLATE NOCASE,
  Add3_Office TEXT COLLATE NOCASE, ClosingDay INTEGER,
  Bank1 TEXT COLLATE NOCASE, Bank2 TEXT COLLATE NOCASE,
  MainMerchant1 TEXT COLLATE NOCASE, MainMerchant2 TEXT COLLATE NOCASE, MainMerchant3 TEXT COLLATE NOCASE,
  MainMerchant4 TEXT COLLATE NOCASE, MainMerchant5 TEXT COLLATE NOCASE, Note1 TEXT COLLATE NOCASE);
CREATE TABLE Rireki(ID INTEGER PRIMARY KEY, CustomerID INTEGER, Date REAL, ActionTitle TEXT COLLATE NOCASE,
  Action TEXT COLLATE NOCASE, Money REAL, Keyword TEXT COLLATE NOCASE, TantouName TEXT COLLATE NOCASE);
CREATE TABLE DMList(ID INTEGER PRIMARY KEY, Date REAL, Title TEXT COLLATE NOCASE);
CREATE TABLE DMMng(DMID INTEGER, CustomerID INTEGER);
)";

// Day counts: 2004/05/01 = 38108.
const char* const kData = R"(
INSERT INTO Customer(ID, CustomerID, Name, Yomi, Sex, EntryType, BirthDay, Zip_Home, Add1_Home, Add2_Home, Add3_Home,
  TEL_Home, TEL_Home_X, Zip_Office, Add1_Office, Add2_Office, Add3_Office, ClosingDay, Bank1, Bank2,
  MainMerchant1, MainMerchant2, MainMerchant3, MainMerchant4, MainMerchant5, Note1) VALUES
 (1, '0001', '山田太郎', 'ﾔﾏﾀﾞﾀﾛｳ', 0, 1, 25698, '123-4567', '東京都', '千代田区', '千代田1-1',
  '03-1234-5678', 312345678, '', '', '', '', 99, 'みずほ銀行', '', '山田商事', '', '', '', '', 'O''Neil'),
 (2, '0002', '山田花子', 'ﾔﾏﾀﾞﾊﾅｺ', 1, 1, 31187.4375, '1234567', '東京都', '千代田区', '丸の内2-2',
  '03-9999-0000', 399990000, '', '', '', '', 31, '', '', '', '', '', '', '', '50%_off 会員'),
 (3, '0100', '佐藤商店', 'ｻﾄｳｼｮｳﾃﾝ', 0, 0, NULL, '', '', '', '', '', 0, '530-0001', '大阪府', '大阪市北区',
  '梅田3-3', 20, '', 'りそな銀行', '', 'A_B産業', '', '', '', ''),
 (4, '0004', '鈴木一郎', 'ｽｽﾞｷｲﾁﾛｳ', 0, 1, NULL, '', '東京都', NULL, '千代田区神田', '', 0, '', '', '', '', 0,
  '', '', 'AxB商会', '', '', '', '', '50x_off'),
 (5, '0005', 'Yamada Ken', 'ﾔﾏﾀﾞｹﾝ', 0, 1, 29200, '', '', '', '', '', 0, '', '', '', '', 0,
  '', '', '', '', '', '', '', NULL),
 (6, '0006', '千代田物産', 'ﾁﾖﾀﾞﾌﾞｯｻﾝ', 0, 0, NULL, '', '東京都', '千代田区', '', '', 0, '1234567', '', '', '', 0,
  '', '', '', '', '', '', '', '');
INSERT INTO Rireki(ID, CustomerID, Date, ActionTitle, Action, Money, Keyword, TantouName) VALUES
 (1, 1, 38108, '購入', 'ボールペン', 1000, '文具', '佐々木'),
 (2, 1, 38153.4166666667, '購入', 'ノート', 2000, '文具', '佐々木'),
 (3, 1, 38169, '問合せ', '在庫の確認', 0, '', '佐々木'),
 (4, 1, 38362, '購入', '封筒', 500, '文具', '田中'),
 (5, 2, 38127, '購入', '手帳', 3000, '文具', '田中'),
 (6, 3, 38107.9583333333, '購入', 'コピー用紙', 10000, '事務用品', '田中'),
 (7, 3, 38109, '購入', 'トナー', 5000, '事務用品', '田中'),
 (8, 4, 37986, '問合せ', 'カタログ請求', 0, '', '佐々木'),
 (9, 6, 38120, '購入', '名刺', 1000, '印刷', '佐々木'),
 (10, 6, 38121, '購入', '名刺', 1001, '印刷', '佐々木');
INSERT INTO DMList(ID, Date, Title) VALUES (1, 38108, '春のご案内'), (2, 38200, '夏のご案内');
INSERT INTO DMMng(DMID, CustomerID) VALUES (1, 1), (1, 2), (1, 3), (2, 4);
)";

class JetStatements : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        ASSERT_TRUE(RegisterJetFunctions(db));
        ASSERT_EQ(sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, kData, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    }
    void TearDown() override { sqlite3_close(db); }

    // Rows of a translated statement (sorted unless it orders them), each as its columns joined with "|".
    std::vector<std::string> Rows(const std::string& jet, int columns = -1) {
        std::string error;
        auto sql = TranslateJetSql(jet, &error);
        EXPECT_TRUE(sql) << error;
        if (!sql) return {};
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql->c_str(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db) << "\n" << *sql;
        std::vector<std::string> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::string row;
            int n = columns < 0 ? sqlite3_column_count(st) : columns;
            for (int c = 0; c < n; ++c) {
                if (c) row += "|";
                auto p = sqlite3_column_text(st, c);
                row += p ? reinterpret_cast<const char*>(p) : "NULL";
            }
            rows.push_back(row);
        }
        EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_finalize(st);
        // Without ORDER BY the order is the engine's: compare as a set.
        if (jet.find("ORDER BY") == std::string::npos)
            std::sort(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
                return a.size() != b.size() ? a.size() < b.size() : a < b;  // "2" before "10"
            });
        return rows;
    }
    // The first column (the key) of each row.
    std::vector<std::string> Keys(const std::string& jet) { return Rows(jet, 1); }

    sqlite3* db = nullptr;
};

using V = std::vector<std::string>;

const std::string kSelCustomer = "SELECT DISTINCTROW Customer.* FROM Customer WHERE ";
const std::string kSelJoin =
    "SELECT DISTINCTROW Customer.* FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID WHERE ";
const std::string kSelRireki = "SELECT DISTINCTROW Rireki.* FROM Rireki WHERE ";

// ------------------------------------------------------------ extraction rows

TEST_F(JetStatements, TextConditions) {
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Name] Like '山田%' AND [Customer].[Name] Not Like '')"), (V{"1", "2"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Name] Not Like '山田%' AND [Customer].[Name] Not Like '')"),
              (V{"3", "4", "5", "6"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Name] Like '%郎' AND [Customer].[Name] Not Like '')"), (V{"1", "4"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Name] Like '%商%' AND [Customer].[Name] Not Like '')"), (V{"3"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Name] Like 'yamada%' AND [Customer].[Name] Not Like '')"), (V{"5"}));
    // Wildcard characters of the value are escaped by the builder.
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Note1] Like '%50[%][_]off%' AND [Customer].[Note1] Not Like '')"),
              (V{"2"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Note1] = 'O''Neil' AND [Customer].[Note1] Not Like '')"), (V{"1"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Note1] = 'o''neil' AND [Customer].[Note1] Not Like '')"), (V{"1"}));
    // An empty value: no Not Like part, and a Null field does not match.
    EXPECT_EQ(Keys(kSelCustomer + "[Customer].[Note1] = ''"), (V{"3", "6"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Note1] <> '50x_off' AND [Customer].[Note1] Not Like '')"),
              (V{"1", "2"}));
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[CustomerID] >= '0005' AND [Customer].[CustomerID] Not Like '')"),
              (V{"3", "5", "6"}));
}

TEST_F(JetStatements, ChoiceAndNumberConditions) {
    EXPECT_EQ(Keys(kSelCustomer + "[Customer].[Sex] = 1"), (V{"2"}));
    EXPECT_EQ(Keys(kSelCustomer + "[Customer].[EntryType] <> 1"), (V{"3", "6"}));
    EXPECT_EQ(Keys(kSelCustomer + "[Customer].[ClosingDay] = 99"), (V{"1"}));
    // A customer result on a history field joins and lists each customer once.
    EXPECT_EQ(Keys(kSelJoin + "[Rireki].[Money] >= 2000"), (V{"1", "2", "3"}));
    EXPECT_EQ(Keys(kSelJoin + "[Rireki].[Money] < -5"), V{});
    // A history result on history fields only.
    EXPECT_EQ(Keys(kSelRireki + "([Rireki].[Keyword] Like '事務%' AND [Rireki].[Keyword] Not Like '')"), (V{"6", "7"}));
    EXPECT_EQ(Keys("SELECT DISTINCTROW Rireki.* FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID "
                   "WHERE [Customer].[Sex] = 1"),
              (V{"5"}));
}

TEST_F(JetStatements, DateConditionsIgnoreTheTime) {
    EXPECT_EQ(Keys(kSelCustomer + "Int([Customer].[BirthDay]) = #5/20/1985#"), (V{"2"}));
    EXPECT_EQ(Keys(kSelCustomer + "Month(Int([Customer].[BirthDay]))= 5"), (V{"1", "2"}));
    EXPECT_EQ(Keys(kSelCustomer + "Day(Int([Customer].[BirthDay]))= 20"), (V{"2"}));
    EXPECT_EQ(Keys(kSelCustomer + "Int([Customer].[BirthDay]) <> #5/20/1985#"), (V{"1", "5"}));
    EXPECT_EQ(Keys(kSelRireki + "Month(Int([Rireki].[Date]))= 5"), (V{"1", "5", "7", "9", "10"}));
    // 2004/04/30 23:00 is before 2004/05/01 whatever its time.
    EXPECT_EQ(Keys(kSelRireki + "Int([Rireki].[Date]) < #5/1/2004#"), (V{"6", "8"}));
    EXPECT_EQ(Keys(kSelRireki + "Int([Rireki].[Date]) <= #4/30/2004#"), (V{"6", "8"}));
    EXPECT_EQ(Keys(kSelRireki + "Int([Rireki].[Date]) = #6/15/2004#"), (V{"2"}));
    EXPECT_EQ(Keys(kSelRireki + "Int([Rireki].[Date]) >= #1/10/2005#"), (V{"4"}));
}

TEST_F(JetStatements, PhoneConditionsUseTheNumericColumn) {
    EXPECT_EQ(Keys(kSelCustomer +
                   "(([Customer].[TEL_Home] = '0312345678' AND [Customer].[TEL_Home] Not Like '') OR "
                   "[Customer].[TEL_Home_X] = 312345678.000000)"),
              (V{"1"}));
    EXPECT_EQ(Keys(kSelCustomer +
                   "(([Customer].[TEL_Home] <> '03-1234-5678' AND [Customer].[TEL_Home] Not Like '') AND "
                   "([Customer].[TEL_Home_X] <> 312345678.000000 AND [Customer].[TEL_Home_X] <>0))"),
              (V{"2"}));
}

TEST_F(JetStatements, RowsCombineAsTheDialogStates) {
    // Two rows.
    EXPECT_EQ(Keys(kSelCustomer + "([Customer].[Name] Like '山田%' AND [Customer].[Name] Not Like '') AND "
                                  "[Customer].[Sex] = 0"),
              (V{"1"}));
    // Three rows: (A AND B) OR C.
    EXPECT_EQ(Keys(kSelCustomer + "(([Customer].[Name] Like '山田%' AND [Customer].[Name] Not Like '') AND "
                                  "[Customer].[Sex] = 1) OR [Customer].[EntryType] = 0"),
              (V{"2", "3", "6"}));
    EXPECT_EQ(Keys(kSelJoin + "([Customer].[Sex] = 0 OR [Rireki].[Money] >= 3000) AND "
                              "([Rireki].[ActionTitle] = '購入' AND [Rireki].[ActionTitle] Not Like '')"),
              (V{"1", "2", "3", "6"}));
}

// ------------------------------------------------------------ analyses

const std::string kJoin = "FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID ";

TEST_F(JetStatements, FrequentCustomers) {
    const std::string sel = "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin;
    EXPECT_EQ(Rows(sel + "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING ((Count(*))>=3) "
                         "ORDER BY Count(*) DESC"),
              (V{"1|3"}));
    V all = Rows(sel + "GROUP BY Customer.ID ORDER BY Count(*) DESC");
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0], "1|4");
    // Period only, then title and period.
    EXPECT_EQ(Rows(sel + "WHERE (Int(Rireki.Date)>=#5/1/2004#) GROUP BY Customer.ID ORDER BY Count(*) DESC, "
                         "Customer.ID"),
              (V{"1|4", "6|2", "2|1", "3|1"}));
    EXPECT_EQ(Rows(sel + "WHERE (((Rireki.ActionTitle)='購入') AND ((Int(Rireki.Date)>=#5/1/2004#) AND "
                         "(Int(Rireki.Date)<=#12/31/2004#))) GROUP BY Customer.ID ORDER BY Count(*) DESC, Customer.ID"),
              (V{"1|2", "6|2", "2|1", "3|1"}));
}

TEST_F(JetStatements, LatestCustomers) {
    const std::string sel = "SELECT DISTINCTROW Customer.ID, Max(Rireki.Date) AS [最新 の RirekiDate] " + kJoin +
                            "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID ";
    EXPECT_EQ(Rows(sel + "HAVING (((Max(Rireki.Date))>=#5/10/2004#)) ORDER BY Max(Rireki.Date) DESC"),
              (V{"1|38362.0", "2|38127.0", "6|38121.0"}));
    EXPECT_EQ(Keys(sel + "ORDER BY Max(Rireki.Date) DESC"), (V{"1", "2", "6", "3"}));
}

TEST_F(JetStatements, ElapsedDays) {
    const std::string expr = "((#1/10/2006#)-Int(Max([Rireki].[Date])))";
    const std::string sel = "SELECT DISTINCTROW Customer.ID, " + expr + " AS 式1 " + kJoin;
    EXPECT_EQ(Rows(sel + "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING (" + expr +
                   ">=600) ORDER BY " + expr + " DESC"),
              (V{"3|618", "6|606", "2|600"}));
    // No title: every kind of history counts.
    EXPECT_EQ(Rows(sel + "GROUP BY Customer.ID HAVING (" + expr + ">=730) ORDER BY " + expr + " DESC"),
              (V{"4|741"}));
}

TEST_F(JetStatements, DmHitRate) {
    const std::string sel =
        "SELECT DISTINCTROW Customer.* FROM DMList INNER JOIN ((Customer INNER JOIN DMMng ON Customer.ID = "
        "DMMng.CustomerID) INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID) ON DMList.ID = DMMng.DMID WHERE ";
    const std::string window21 =
        "((Int([Rireki].[Date])-Int([DMList].[Date]))>=1 And (Int([Rireki].[Date])-Int([DMList].[Date]))<=21)";
    const std::string open = "((Int([Rireki].[Date])-Int([DMList].[Date]))>=1)";
    EXPECT_EQ(Keys(sel + "((Rireki.ActionTitle)='購入') AND (DMList.ID = 1) AND " + window21), (V{"2", "3"}));
    EXPECT_EQ(Keys(sel + "((Rireki.ActionTitle)='購入') AND (DMList.ID = 1) AND " + open), (V{"1", "2", "3"}));
    EXPECT_EQ(Keys(sel + "(DMList.ID = 1) AND " + window21), (V{"2", "3"}));
    // Customer 4's only entry is before its DM.
    EXPECT_EQ(Keys(sel + "(DMList.ID = 2) AND " + open), V{});
}

TEST_F(JetStatements, AddressSweep) {
    const std::string offAddr = "([Add1_Office] & [Add2_Office] & [Add3_Office])";
    const std::string homeAddr = "([Add1_Home] & [Add2_Home] & [Add3_Home])";
    const std::string stmt =
        "SELECT Customer.* FROM Customer WHERE "
        "(((Customer.EntryType)=0) AND (((Customer.Zip_Office) Like '123%4567') OR (" + offAddr +
        " Like '東京都千代田区%') OR (" + offAddr + " Like '千代田区%'))) OR "
        "(((Customer.EntryType)=1) AND (((Customer.Zip_Home) Like '123%4567') OR (" + homeAddr +
        " Like '東京都千代田区%') OR (" + homeAddr + " Like '千代田区%')))";
    // 4 has no city: its Null part counts as empty text.
    EXPECT_EQ(Keys(stmt), (V{"1", "2", "4", "6"}));
    const std::string osaka =
        "SELECT Customer.* FROM Customer WHERE "
        "(((Customer.EntryType)=0) AND (((Customer.Zip_Office) Like '530%0001') OR (" + offAddr +
        " Like '大阪府大阪市北区%') OR (" + offAddr + " Like '大阪市北区%'))) OR "
        "(((Customer.EntryType)=1) AND (((Customer.Zip_Home) Like '530%0001') OR (" + homeAddr +
        " Like '大阪府大阪市北区%') OR (" + homeAddr + " Like '大阪市北区%')))";
    EXPECT_EQ(Keys(osaka), (V{"3"}));
}

TEST_F(JetStatements, HistoryAmounts) {
    EXPECT_EQ(Rows("SELECT DISTINCTROW Customer.ID, Sum(Rireki.Money) AS 合計 " + kJoin +
                   "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING ((Sum(Rireki.Money))>=3000) "
                   "ORDER BY Sum(Rireki.Money) DESC"),
              (V{"3|15000.0", "1|3500.0", "2|3000.0"}));
    EXPECT_EQ(Rows("SELECT DISTINCTROW Customer.ID, Max(Rireki.Money) AS 最高 " + kJoin +
                   "GROUP BY Customer.ID HAVING ((Max(Rireki.Money))>=2000) ORDER BY Max(Rireki.Money) DESC"),
              (V{"3|10000.0", "2|3000.0", "1|2000.0"}));
    // The average leaves out amounts of 0 and keeps its fraction.
    EXPECT_EQ(Rows("SELECT DISTINCTROW Customer.ID, Avg(Rireki.Money) AS 平均 " + kJoin +
                   "WHERE ((Rireki.Money)<>0) GROUP BY Customer.ID HAVING ((Avg(Rireki.Money))>=1000.5) "
                   "ORDER BY Avg(Rireki.Money) DESC"),
              (V{"3|7500.0", "2|3000.0", "1|1166.66666666667", "6|1000.5"}));
    EXPECT_EQ(Rows("SELECT DISTINCTROW Customer.ID, Avg(Rireki.Money) AS 平均 " + kJoin +
                   "WHERE ((Rireki.Money)<>0) AND ((Rireki.ActionTitle)='購入') AND ((Int(Rireki.Date)>=#5/1/2004#) "
                   "AND (Int(Rireki.Date)<=#5/31/2004#)) GROUP BY Customer.ID HAVING ((Avg(Rireki.Money))>=-5) "
                   "ORDER BY Avg(Rireki.Money) DESC"),
              (V{"3|5000.0", "2|3000.0", "6|1000.5", "1|1000.0"}));
}

TEST_F(JetStatements, TradingPartners) {
    auto part = [](const std::string& v) {
        return "(((Customer.MainMerchant1) Like '" + v + "%') OR ((Customer.MainMerchant2) Like '" + v +
               "%') OR ((Customer.MainMerchant3) Like '" + v + "%') OR ((Customer.MainMerchant4) Like '" + v +
               "%') OR ((Customer.MainMerchant5) Like '" + v + "%') OR ((Customer.Bank1) Like '" + v +
               "%') OR ((Customer.Bank2) Like '" + v + "%'))";
    };
    const std::string sel = "SELECT Customer.* FROM Customer WHERE ";
    EXPECT_EQ(Keys(sel + part("A[_]B")), (V{"3"}));
    EXPECT_EQ(Keys(sel + part("山田") + " OR " + part("りそな")), (V{"1", "3"}));
    EXPECT_EQ(Keys(sel + part("みずほ")), (V{"1"}));
}

}  // namespace
