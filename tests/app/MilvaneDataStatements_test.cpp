// Statements as the extraction dialog and the analyses write them, run
// through the database operations on data stored by the database itself.
#include <gtest/gtest.h>

#include <string>

#include "MilvaneDataFixture.h"

namespace {

class MilvaneDataStatementsTest : public MilvaneDataTest {
protected:
    void SetUp() override {
        MilvaneDataTest::SetUp();
        yamada = Add("0001", "山田太郎", "03(1234)5678", "山田商事");
        hanako = Add("0002", "山田花子", "03-9999-0000", "");
        sato = Add("0100", "佐藤商店", "", "A_B産業");
        axb = Add("0004", "鈴木一郎", "", "AxB商会");
        ASSERT_GT(axb, 0);
        History(yamada, "購入", CDateTime::FromParts(2004, 5, 1, 9, 0), 1000);
        History(yamada, "購入", CDateTime::FromParts(2004, 5, 1, 15, 0), 2000);
        History(yamada, "問合せ", CDateTime::FromParts(2004, 7, 2), 0);
        History(hanako, "購入", CDateTime::FromParts(2004, 5, 20), 3000);
        History(sato, "購入", CDateTime::FromParts(2004, 4, 30, 23, 0), 500);
    }

    int32_t Add(const std::string& code, const std::string& name, const std::string& tel, const std::string& merchant) {
        CKokyaku k;
        k.CustomerID = code;
        k.Name = name;
        k.TEL_Home = tel;
        k.MainMerchant2 = merchant;
        return data.AddNewKokyaku(k);
    }

    void History(int32_t who, const std::string& title, const CDateTime& date, double money) {
        CRirekiData r = Entry(title, date, money);
        ASSERT_GT(data.AddNewRireki(who, r, CDateTime::Now()), 0) << data.LastError();
    }

    CKeyArray Keys(const std::string& sql) {
        CKeyArray keys;
        EXPECT_EQ(data.ExtractKokyaku(sql, keys), 1) << sql << "\n" << data.LastError();
        return keys;
    }

    static uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }

    int32_t yamada = -1, hanako = -1, sato = -1, axb = -1;
};

const std::string kJoin = "FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID ";

}  // namespace

TEST_F(MilvaneDataStatementsTest, ExtractionStatements) {
    EXPECT_EQ(Keys("SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Name] Like '山田%' AND "
                   "[Customer].[Name] Not Like '') ORDER BY [Customer].[ID]"),
              (CKeyArray{U(yamada), U(hanako)}));
    // The numeric phone column matches the same number written otherwise.
    EXPECT_EQ(Keys("SELECT DISTINCTROW Customer.* FROM Customer WHERE (([Customer].[TEL_Home] = '03-1234-5678' AND "
                   "[Customer].[TEL_Home] Not Like '') OR [Customer].[TEL_Home_X] = " +
                   std::to_string(StrTelToINT("03-1234-5678")) + ")"),
              CKeyArray{U(yamada)});
    // Two entries of one customer on the day give the customer once.
    EXPECT_EQ(Keys("SELECT DISTINCTROW Customer.* " + kJoin + "WHERE Int([Rireki].[Date]) = #5/1/2004#"),
              CKeyArray{U(yamada)});
    EXPECT_EQ(Keys("SELECT DISTINCTROW Customer.* " + kJoin +
                   "WHERE ([Rireki].[Money] >= 1000) AND ([Customer].[Name] Like '%子' AND [Customer].[Name] Not Like '')"),
              CKeyArray{U(hanako)});

    CRirekiList list;
    ASSERT_EQ(data.ExtractRireki("SELECT DISTINCTROW Rireki.* FROM Rireki WHERE Month(Int([Rireki].[Date]))= 5", list),
              1)
        << data.LastError();
    EXPECT_EQ(list.size(), 3u);
    list.clear();
    ASSERT_EQ(data.ExtractRireki("SELECT DISTINCTROW Rireki.* " + kJoin +
                                     "WHERE ([Customer].[CustomerID] >= '0002') ORDER BY [Rireki].[Date]",
                                 list),
              1);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->CustomerID, sato);
    EXPECT_EQ(list[0]->Money, 500);
}

TEST_F(MilvaneDataStatementsTest, LikeEscapesAndQuotes) {
    EXPECT_EQ(Keys("SELECT Customer.* FROM Customer WHERE (((Customer.MainMerchant1) Like 'A[_]B%') OR "
                   "((Customer.MainMerchant2) Like 'A[_]B%'))"),
              CKeyArray{U(sato)});
    CKokyaku k;
    k.Name = "O'Neil [1]";
    int32_t oneil = data.AddNewKokyaku(k);
    EXPECT_EQ(Keys("SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] = 'O''Neil [1]'"),
              CKeyArray{U(oneil)});
    EXPECT_EQ(Keys("SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Name] Like '%[[]1]%' AND "
                   "[Customer].[Name] Not Like '')"),
              CKeyArray{U(oneil)});
}

TEST_F(MilvaneDataStatementsTest, AnalysisStatements) {
    CSorunaHitList hits;
    ASSERT_EQ(data.QuerySoruna(1,
                               "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント " + kJoin +
                                   "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING ((Count(*))>=1) "
                                   "ORDER BY Count(*) DESC",
                               hits, -1),
              1)
        << data.LastError();
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0]->CustomerID, yamada);
    EXPECT_EQ(hits[0]->Count, 2);

    hits.clear();
    ASSERT_EQ(data.QuerySoruna(2,
                               "SELECT DISTINCTROW Customer.ID, Max(Rireki.Date) AS [最新 の RirekiDate] " + kJoin +
                                   "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID "
                                   "HAVING (((Max(Rireki.Date))>=#5/1/2004#)) ORDER BY Max(Rireki.Date) DESC",
                               hits, 10),
              1)
        << data.LastError();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0]->CustomerID, hanako);
    EXPECT_EQ(hits[0]->Date, CDateTime::FromParts(2004, 5, 20));

    hits.clear();
    const std::string expr = "((#6/1/2004#)-Int(Max([Rireki].[Date])))";
    ASSERT_EQ(data.QuerySoruna(3,
                               "SELECT DISTINCTROW Customer.ID, " + expr + " AS 式1 " + kJoin +
                                   "WHERE ((Rireki.ActionTitle)='購入') GROUP BY Customer.ID HAVING (" + expr +
                                   ">=30) ORDER BY " + expr + " DESC",
                               hits, -1),
              1)
        << data.LastError();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0]->CustomerID, sato);
    EXPECT_EQ(hits[0]->Count, 32);
    EXPECT_EQ(hits[1]->Count, 31);

    hits.clear();
    ASSERT_EQ(data.QuerySoruna(6,
                               "SELECT DISTINCTROW Customer.ID, Avg(Rireki.Money) AS 平均 " + kJoin +
                                   "WHERE ((Rireki.Money)<>0) GROUP BY Customer.ID HAVING ((Avg(Rireki.Money))>=1000) "
                                   "ORDER BY Avg(Rireki.Money) DESC",
                               hits, 0),
              1)
        << data.LastError();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0]->CustomerID, hanako);
    EXPECT_EQ(hits[1]->Money, 1500);
}

TEST_F(MilvaneDataStatementsTest, DMHitRateCountsHistoryAfterTheSendDate) {
    CKeyArray failed;
    auto dm = data.AddNewDMTitle(CDateTime::FromParts(2004, 4, 30, 10, 0), "春のご案内", "", "", 0,
                                 {U(yamada), U(hanako), U(sato)}, failed);
    ASSERT_TRUE(dm);
    // The sending history itself is dated on the send date and is no hit.
    ASSERT_EQ(data.SetStatusDMTitle(dm->ID, 1, 1, 0, CDateTime::Now()), 1);
    const std::string sql =
        "SELECT DISTINCTROW Customer.* FROM DMList INNER JOIN ((Customer INNER JOIN DMMng ON Customer.ID = "
        "DMMng.CustomerID) INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID) ON DMList.ID = DMMng.DMID WHERE "
        "((Rireki.ActionTitle)='購入') AND (DMList.ID = " +
        std::to_string(dm->ID) +
        ") AND ((Int([Rireki].[Date])-Int([DMList].[Date]))>=1 And (Int([Rireki].[Date])-Int([DMList].[Date]))<=14) "
        "ORDER BY Customer.ID";
    EXPECT_EQ(Keys(sql), CKeyArray{U(yamada)});
    const std::string any =
        "SELECT DISTINCTROW Customer.* FROM DMList INNER JOIN ((Customer INNER JOIN DMMng ON Customer.ID = "
        "DMMng.CustomerID) INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID) ON DMList.ID = DMMng.DMID WHERE "
        "(DMList.ID = " +
        std::to_string(dm->ID) + ") AND ((Int([Rireki].[Date])-Int([DMList].[Date]))>=1) ORDER BY Customer.ID";
    EXPECT_EQ(Keys(any), (CKeyArray{U(yamada), U(hanako)}));
}
