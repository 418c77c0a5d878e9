// The statements of the extraction dialog and of the analyses, run through
// the customer database against a small register.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "db/MilvaneData.h"
#include "support/TestPorts.h"

namespace {

using V = std::vector<std::string>;

CDateTime D(int y, int m, int d, int h = 0, int mi = 0) { return CDateTime::FromParts(y, m, d, h, mi); }

class JetSqlQueries : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.Path();
        ASSERT_TRUE(CreateEmptyMilvaneDatabase(folder + "/" + kDatabaseFileName));
        ASSERT_EQ(db.InitDB(folder), 1);

        AddCustomer([](CKokyaku& k) {
            k.CustomerID = "0001", k.Name = "山田太郎", k.Yomi = "ﾔﾏﾀﾞﾀﾛｳ", k.Suffix = "様";
            k.Sex = 0, k.EntryType = 1, k.BirthDay = D(1970, 5, 10);
            k.Zip_Home = "123-4567", k.Add1_Home = "東京都", k.Add2_Home = "千代田区", k.Add3_Home = "千代田1-1";
            k.TEL_Home = "03-1234-5678", k.ClosingDay = 99, k.Bank1 = "みずほ銀行", k.MainMerchant1 = "山田商事";
            k.Note1 = "O'Neil";
        });
        AddCustomer([](CKokyaku& k) {
            k.CustomerID = "0002", k.Name = "山田花子", k.Yomi = "ﾔﾏﾀﾞﾊﾅｺ", k.Suffix = "様";
            k.Sex = 1, k.EntryType = 1, k.BirthDay = D(1985, 5, 20, 10, 30);
            k.Zip_Home = "1234567", k.Add1_Home = "東京都", k.Add2_Home = "千代田区", k.Add3_Home = "丸の内2-2";
            k.TEL_Home = "03-9999-0000", k.ClosingDay = 31, k.Note1 = "50%_off 会員";
        });
        AddCustomer([](CKokyaku& k) {
            k.CustomerID = "0100", k.Name = "佐藤商店", k.Yomi = "ｻﾄｳｼｮｳﾃﾝ", k.Suffix = "御中";
            k.Sex = 0, k.EntryType = 0, k.CompName = "有限会社佐藤商店";
            k.Zip_Office = "530-0001", k.Add1_Office = "大阪府", k.Add2_Office = "大阪市北区", k.Add3_Office = "梅田3-3";
            k.ClosingDay = 20, k.Bank2 = "りそな銀行", k.MainMerchant2 = "A_B産業";
        });
        AddCustomer([](CKokyaku& k) {
            k.CustomerID = "0004", k.Name = "鈴木一郎", k.Yomi = "ｽｽﾞｷｲﾁﾛｳ", k.Suffix = "様";
            k.Sex = 0, k.EntryType = 1;
            k.Add1_Home = "東京都", k.Add3_Home = "千代田区神田";  // the city went into the street field
            k.MainMerchant1 = "AxB商会", k.Note1 = "50x_off";
        });
        AddCustomer([](CKokyaku& k) {
            k.CustomerID = "0005", k.Name = "Yamada Ken", k.Yomi = "ﾔﾏﾀﾞｹﾝ", k.Suffix = "様";
            k.Sex = 0, k.EntryType = 1, k.BirthDay = D(1979, 12, 13);
        });
        AddCustomer([](CKokyaku& k) {
            k.CustomerID = "0006", k.Name = "千代田物産", k.Yomi = "ﾁﾖﾀﾞﾌﾞｯｻﾝ", k.Suffix = "御中";
            k.Sex = 0, k.EntryType = 0, k.Add1_Home = "東京都", k.Add2_Home = "千代田区";
            k.Zip_Office = "1234567";
        });

        AddRireki("山田太郎", D(2004, 5, 1), "購入", "ボールペン", 1000, "文具", "佐々木");
        AddRireki("山田太郎", D(2004, 6, 15, 10, 0), "購入", "ノート", 2000, "文具", "佐々木");
        AddRireki("山田太郎", D(2004, 7, 1), "問合せ", "在庫の確認", 0, "", "佐々木");
        AddRireki("山田太郎", D(2005, 1, 10), "購入", "封筒", 500, "文具", "田中");
        AddRireki("山田花子", D(2004, 5, 20), "購入", "手帳", 3000, "文具", "田中");
        AddRireki("佐藤商店", D(2004, 4, 30, 23, 0), "購入", "コピー用紙", 10000, "事務用品", "田中");
        AddRireki("佐藤商店", D(2004, 5, 2), "購入", "トナー", 5000, "事務用品", "田中");
        AddRireki("鈴木一郎", D(2003, 12, 31), "問合せ", "カタログ請求", 0, "", "佐々木");
        AddRireki("千代田物産", D(2004, 5, 13), "購入", "名刺", 1000, "印刷", "佐々木");
        AddRireki("千代田物産", D(2004, 5, 14), "購入", "名刺 追加", 1001, "印刷", "佐々木");

        spring = AddDM(D(2004, 5, 1), "春のご案内", {"山田太郎", "山田花子", "佐藤商店"});
        summer = AddDM(D(2004, 8, 1), "夏のご案内", {"鈴木一郎"});
    }

    template <class F>
    void AddCustomer(F fill) {
        CKokyaku k;
        fill(k);
        int32_t key = db.AddNewKokyaku(k);
        ASSERT_GT(key, 0);
        keyOf[k.Name] = key;
        nameOf[key] = k.Name;
    }
    void AddRireki(const std::string& customer, CDateTime date, const char* title, const char* action, double money,
                   const char* keyword, const char* staff) {
        CRirekiData r;
        r.Date = date, r.ActionTitle = title, r.Action = action, r.Money = money, r.Keyword = keyword;
        r.TantouName = staff;
        ASSERT_GT(db.AddNewRireki(keyOf.at(customer), r, CDateTime::Now()), 0);
    }
    int32_t AddDM(CDateTime date, const char* title, std::vector<std::string> targets) {
        CKeyArray keys, failed;
        for (auto& t : targets) keys.push_back(uint32_t(keyOf.at(t)));
        auto dm = db.AddNewDMTitle(date, title, "", "佐々木", 0, keys, failed);
        EXPECT_TRUE(dm);
        EXPECT_TRUE(failed.empty());
        return dm ? dm->ID : -1;
    }

    // Names of the customers an extraction returns, sorted.
    V Customers(const std::string& sql) {
        CKeyArray keys;
        EXPECT_EQ(db.ExtractKokyaku(sql, keys), 1) << sql << "\n" << db.LastError();
        V names;
        for (uint32_t k : keys) names.push_back(nameOf.at(int32_t(k)));
        std::sort(names.begin(), names.end());
        return names;
    }
    // Details of the history entries an extraction returns, sorted.
    V History(const std::string& sql) {
        CRirekiList list;
        EXPECT_EQ(db.ExtractRireki(sql, list), 1) << sql << "\n" << db.LastError();
        V actions;
        for (auto& r : list) actions.push_back(r->Action);
        std::sort(actions.begin(), actions.end());
        return actions;
    }
    // "name|value" per hit, in hit order.
    V Hits(int kind, const std::string& sql, int maxHits = -1) {
        CSorunaHitList hits;
        EXPECT_EQ(db.QuerySoruna(kind, sql, hits, maxHits), 1) << sql << "\n" << db.LastError();
        V rows;
        for (auto& h : hits) {
            std::string value = kind == 2   ? h->Date.Format("%Y/%m/%d %H:%M")
                                : kind == 6 ? FormatAmount(h->Money)
                                            : std::to_string(h->Count);
            rows.push_back(nameOf.at(h->CustomerID) + "|" + value);
        }
        return rows;
    }

    TempDir dir;
    std::string folder;
    CMilvaneData db;
    std::map<std::string, int32_t> keyOf;
    std::map<int32_t, std::string> nameOf;
    int32_t spring = -1, summer = -1;
};

const std::string kSelCustomer = "SELECT DISTINCTROW Customer.* FROM Customer WHERE ";
const std::string kSelJoin =
    "SELECT DISTINCTROW Customer.* FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID WHERE ";
const std::string kSelRireki = "SELECT DISTINCTROW Rireki.* FROM Rireki WHERE ";
const std::string kJoin = "FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID ";

// ------------------------------------------------------------ extraction

TEST_F(JetSqlQueries, CustomerConditions) {
    // Written differently, the same phone number is found through its numeric column.
    const std::string tel = std::to_string(CMilvaneData::StrTelToINT("0312345678"));
    const std::pair<std::string, V> cases[] = {
        {kSelCustomer + "([Customer].[Name] Like '山田%' AND [Customer].[Name] Not Like '')", {"山田太郎", "山田花子"}},
        {kSelCustomer + "([Customer].[Yomi] Like '%ﾀﾞ%' AND [Customer].[Yomi] Not Like '')",
         {"Yamada Ken", "千代田物産", "山田太郎", "山田花子"}},
        {kSelCustomer + "([Customer].[Name] Like 'YAMADA%' AND [Customer].[Name] Not Like '')", {"Yamada Ken"}},
        {kSelCustomer + "([Customer].[Note1] Like '%50[%][_]off%' AND [Customer].[Note1] Not Like '')", {"山田花子"}},
        {kSelCustomer + "([Customer].[Note1] = 'O''Neil' AND [Customer].[Note1] Not Like '')", {"山田太郎"}},
        // An empty value matches the customers without a note.
        {kSelCustomer + "[Customer].[Note1] = ''", {"Yamada Ken", "佐藤商店", "千代田物産"}},
        {kSelCustomer + "([Customer].[CustomerID] > '0004' AND [Customer].[CustomerID] Not Like '')",
         {"Yamada Ken", "佐藤商店", "千代田物産"}},
        {kSelCustomer + "[Customer].[Sex] = 1", {"山田花子"}},
        {kSelCustomer + "[Customer].[ClosingDay] = 99", {"山田太郎"}},
        {kSelJoin + "[Rireki].[Money] >= 2000", {"佐藤商店", "山田太郎", "山田花子"}},
        {kSelCustomer + "(([Customer].[TEL_Home] = '0312345678' AND [Customer].[TEL_Home] Not Like '') OR "
                        "[Customer].[TEL_Home_X] = " + tel + ")",
         {"山田太郎"}},
        {kSelCustomer + "(([Customer].[TEL_Home] <> '03-1234-5678' AND [Customer].[TEL_Home] Not Like '') AND "
                        "([Customer].[TEL_Home_X] <> " + tel + " AND [Customer].[TEL_Home_X] <>0))",
         {"山田花子"}},
        {kSelCustomer + "Int([Customer].[BirthDay]) = #5/20/1985#", {"山田花子"}},
        {kSelCustomer + "Month(Int([Customer].[BirthDay]))= 5", {"山田太郎", "山田花子"}},
        {kSelCustomer + "Int([Customer].[BirthDay]) < #1/1/1980#", {"Yamada Ken", "山田太郎"}},
        // Three rows group as the dialog states them.
        {kSelCustomer + "(([Customer].[Name] Like '山田%' AND [Customer].[Name] Not Like '') AND "
                        "[Customer].[Sex] = 1) OR [Customer].[EntryType] = 0",
         {"佐藤商店", "千代田物産", "山田花子"}},
        {kSelJoin + "([Customer].[Sex] = 0 OR [Rireki].[Money] >= 3000) AND "
                    "([Rireki].[ActionTitle] = '購入' AND [Rireki].[ActionTitle] Not Like '')",
         {"佐藤商店", "千代田物産", "山田太郎", "山田花子"}},
    };
    for (const auto& [sql, names] : cases) EXPECT_EQ(Customers(sql), names) << sql;
}

// Keys are read through the statement's first "ID" column, in its order,
// whatever else it selects and however it ends.
TEST_F(JetSqlQueries, ExtractedKeysKeepTheStatementsOrder) {
    const std::pair<std::string, V> cases[] = {
        {kSelCustomer + "[Customer].[Name] Like '山田%' ORDER BY [Customer].[Yomi] DESC", {"山田花子", "山田太郎"}},
        {kSelCustomer + "[Customer].[Name] Like '山田%' ORDER BY [Customer].[Yomi];", {"山田太郎", "山田花子"}},
        {"SELECT Customer.*, Rireki.* " + kJoin + "WHERE [Rireki].[Money] >= 3000 ORDER BY [Rireki].[Money] DESC ",
         {"佐藤商店", "佐藤商店", "山田花子"}},
        {"SELECT Customer.Name, Customer.ID FROM Customer WHERE Customer.CustomerID < '0002'", {"山田太郎"}},
    };
    for (const auto& [sql, names] : cases) {
        CKeyArray keys;
        ASSERT_EQ(db.ExtractKokyaku(sql, keys), 1) << sql << "\n" << db.LastError();
        V got;
        for (uint32_t k : keys) got.push_back(nameOf.at(int32_t(k)));
        EXPECT_EQ(got, names) << sql;
    }
}

TEST_F(JetSqlQueries, HistoryConditions) {
    const std::pair<std::string, V> cases[] = {
        {kSelRireki + "Month(Int([Rireki].[Date]))= 5", {"トナー", "ボールペン", "名刺", "名刺 追加", "手帳"}},
        {kSelRireki + "Int([Rireki].[Date]) <= #4/30/2004#", {"カタログ請求", "コピー用紙"}},
        {kSelRireki + "([Rireki].[Keyword] Like '事務%' AND [Rireki].[Keyword] Not Like '')", {"コピー用紙", "トナー"}},
        {"SELECT DISTINCTROW Rireki.* " + kJoin + "WHERE [Customer].[Sex] = 1", {"手帳"}},
        {kSelRireki + "([Rireki].[TantouName] = '田中' AND [Rireki].[TantouName] Not Like '') AND "
                      "[Rireki].[Money] > 3000",
         {"コピー用紙", "トナー"}},
    };
    for (const auto& [sql, actions] : cases) EXPECT_EQ(History(sql), actions) << sql;
}

// ------------------------------------------------------------ analyses

V Sorted(V v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST_F(JetSqlQueries, FrequentCustomers) {
    const std::string sel = "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin;
    EXPECT_EQ(Hits(1, sel + "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING ((Count(*))>=3) "
                            "ORDER BY Count(*) DESC"),
              (V{"山田太郎|3"}));
    // Title and period; TOP 2 of counts 2, 2, 1, 1.
    const std::string both = sel + "WHERE (((Rireki.ActionTitle)='購入') AND ((Int(Rireki.Date)>=#5/1/2004#) AND "
                                   "(Int(Rireki.Date)<=#12/31/2004#))) GROUP BY Customer.ID ORDER BY Count(*) DESC";
    EXPECT_EQ(Sorted(Hits(1, both, 2)), (V{"千代田物産|2", "山田太郎|2"}));
    EXPECT_EQ(Hits(1, both).size(), 4u);
    // Period alone: 佐藤商店's entry of 4/30 23:00 falls before the start.
    EXPECT_EQ(Sorted(Hits(1, sel + "WHERE (Int(Rireki.Date)>=#5/1/2004#) GROUP BY Customer.ID ORDER BY Count(*) DESC")),
              (V{"佐藤商店|1", "千代田物産|2", "山田太郎|4", "山田花子|1"}));
}

TEST_F(JetSqlQueries, LatestCustomers) {
    const std::string sel = "SELECT DISTINCTROW Customer.ID, Max(Rireki.Date) AS [最新 の RirekiDate] " + kJoin +
                            "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID ";
    EXPECT_EQ(Hits(2, sel + "HAVING (((Max(Rireki.Date))>=#5/10/2004#)) ORDER BY Max(Rireki.Date) DESC"),
              (V{"山田太郎|2005/01/10 00:00", "山田花子|2004/05/20 00:00", "千代田物産|2004/05/14 00:00"}));
    EXPECT_EQ(Hits(2, sel + "ORDER BY Max(Rireki.Date) DESC", 10),
              (V{"山田太郎|2005/01/10 00:00", "山田花子|2004/05/20 00:00", "千代田物産|2004/05/14 00:00",
                 "佐藤商店|2004/05/02 00:00"}));
}

TEST_F(JetSqlQueries, ElapsedDays) {
    const std::string expr = "((#1/10/2006#)-Int(Max([Rireki].[Date])))";
    const std::string sel = "SELECT DISTINCTROW Customer.ID, " + expr + " AS 式1 " + kJoin;
    EXPECT_EQ(Hits(3, sel + "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING (" + expr +
                      ">=600) ORDER BY " + expr + " DESC"),
              (V{"佐藤商店|618", "千代田物産|606", "山田花子|600"}));
    EXPECT_EQ(Hits(3, sel + "GROUP BY Customer.ID HAVING (" + expr + ">=730) ORDER BY " + expr + " DESC"),
              (V{"鈴木一郎|741"}));
}

TEST_F(JetSqlQueries, DmHitRate) {
    const std::string sel =
        "SELECT DISTINCTROW Customer.* FROM DMList INNER JOIN ((Customer INNER JOIN DMMng ON Customer.ID = "
        "DMMng.CustomerID) INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID) ON DMList.ID = DMMng.DMID WHERE ";
    const std::string dm = "(DMList.ID = " + std::to_string(spring) + ")";
    const std::string window21 =
        "((Int([Rireki].[Date])-Int([DMList].[Date]))>=1 And (Int([Rireki].[Date])-Int([DMList].[Date]))<=21)";
    const std::string open = "((Int([Rireki].[Date])-Int([DMList].[Date]))>=1)";
    EXPECT_EQ(Customers(sel + "((Rireki.ActionTitle)='購入') AND " + dm + " AND " + window21),
              (V{"佐藤商店", "山田花子"}));
    EXPECT_EQ(Customers(sel + "((Rireki.ActionTitle)='購入') AND " + dm + " AND " + open),
              (V{"佐藤商店", "山田太郎", "山田花子"}));
    EXPECT_EQ(Customers(sel + "(DMList.ID = " + std::to_string(summer) + ") AND " + open), V{});
}

TEST_F(JetSqlQueries, AddressSweep) {
    auto statement = [](const std::string& zip3, const std::string& zip4, const std::string& full,
                        const std::string& shrt) {
        const std::string off = "([Add1_Office] & [Add2_Office] & [Add3_Office])";
        const std::string home = "([Add1_Home] & [Add2_Home] & [Add3_Home])";
        return "SELECT Customer.* FROM Customer WHERE (((Customer.EntryType)=0) AND (((Customer.Zip_Office) Like '" +
               zip3 + "%" + zip4 + "') OR (" + off + " Like '" + full + "%') OR (" + off + " Like '" + shrt +
               "%'))) OR (((Customer.EntryType)=1) AND (((Customer.Zip_Home) Like '" + zip3 + "%" + zip4 +
               "') OR (" + home + " Like '" + full + "%') OR (" + home + " Like '" + shrt + "%')))";
    };
    // Companies by their office, private persons by their home; the code with any separator.
    EXPECT_EQ(Customers(statement("123", "4567", "東京都千代田区", "千代田区")),
              (V{"千代田物産", "山田太郎", "山田花子", "鈴木一郎"}));
    EXPECT_EQ(Customers(statement("530", "0001", "大阪府大阪市北区", "大阪市北区")), (V{"佐藤商店"}));
    // Two addresses joined by OR.
    std::string two = statement("530", "0001", "大阪府大阪市北区", "大阪市北区") + " OR " +
                      statement("999", "9999", "沖縄県", "那覇市").substr(std::string("SELECT Customer.* FROM Customer WHERE ").size());
    EXPECT_EQ(Customers(two), (V{"佐藤商店"}));
}

TEST_F(JetSqlQueries, HistoryAmounts) {
    EXPECT_EQ(Hits(6, "SELECT DISTINCTROW Customer.ID, Sum(Rireki.Money) AS 合計 " + kJoin +
                          "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING ((Sum(Rireki.Money))>=3000) "
                          "ORDER BY Sum(Rireki.Money) DESC",
                      0),
              (V{"佐藤商店|15000", "山田太郎|3500", "山田花子|3000"}));
    // The average leaves out amounts of 0 and keeps its fraction.
    EXPECT_EQ(Hits(6, "SELECT DISTINCTROW Customer.ID, Avg(Rireki.Money) AS 平均 " + kJoin +
                          "WHERE ((Rireki.Money)<>0) GROUP BY Customer.ID HAVING ((Avg(Rireki.Money))>=1000.5) "
                          "ORDER BY Avg(Rireki.Money) DESC",
                      0),
              (V{"佐藤商店|7500", "山田花子|3000", "山田太郎|1166.67", "千代田物産|1000.5"}));
    EXPECT_EQ(Hits(6, "SELECT DISTINCTROW Customer.ID, Avg(Rireki.Money) AS 平均 " + kJoin +
                          "WHERE ((Rireki.Money)<>0) AND ((Rireki.ActionTitle)='購入') AND "
                          "((Int(Rireki.Date)>=#5/1/2004#) AND (Int(Rireki.Date)<=#5/31/2004#)) GROUP BY Customer.ID "
                          "HAVING ((Avg(Rireki.Money))>=-5) ORDER BY Avg(Rireki.Money) DESC",
                      0),
              (V{"佐藤商店|5000", "山田花子|3000", "千代田物産|1000.5", "山田太郎|1000"}));
}

TEST_F(JetSqlQueries, TradingPartners) {
    auto part = [](const std::string& v) {
        return "(((Customer.MainMerchant1) Like '" + v + "%') OR ((Customer.MainMerchant2) Like '" + v +
               "%') OR ((Customer.MainMerchant3) Like '" + v + "%') OR ((Customer.MainMerchant4) Like '" + v +
               "%') OR ((Customer.MainMerchant5) Like '" + v + "%') OR ((Customer.Bank1) Like '" + v +
               "%') OR ((Customer.Bank2) Like '" + v + "%'))";
    };
    const std::string sel = "SELECT Customer.* FROM Customer WHERE ";
    EXPECT_EQ(Customers(sel + part("A[_]B")), (V{"佐藤商店"}));
    EXPECT_EQ(Customers(sel + part("山田") + " OR " + part("りそな")), (V{"佐藤商店", "山田太郎"}));
}

}  // namespace
