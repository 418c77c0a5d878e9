// History operations and analysis queries of the customer database.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "MilvaneDataFixture.h"

namespace {
CDateTime At() { return CDateTime::FromParts(2006, 1, 10, 9, 30); }
}

TEST_F(MilvaneDataTest, AddHistoryStampsTheCustomer) {
    int32_t a = AddCustomer("A");
    CRirekiData r = Entry("購入", CDateTime::FromParts(2004, 5, 1, 14, 5), 1234.5);
    r.Action = "詳細\n二行目 'quoted' [x]";
    r.Keyword = "鍵";
    r.TantouName = "担当";
    r.Picture = "pic_1.jpg";
    int32_t key = data.AddNewRireki(a, r, At());
    ASSERT_GT(key, 0) << data.LastError();
    EXPECT_EQ(r.ID, key);
    EXPECT_EQ(r.CustomerID, a);
    EXPECT_EQ(Get(a)->RirekiUpDate, At());
    auto list = History(a);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(*list[0], r);

    CRirekiData nobody = Entry("x", At());
    EXPECT_EQ(data.AddNewRireki(a + 100, nobody, At()), 0);
    CRirekiData tooLong = Entry(std::string(101, 't'), At());
    EXPECT_EQ(data.AddNewRireki(a, tooLong, At()), -1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 1);
}

TEST_F(MilvaneDataTest, HistoryListsAreNewestFirst) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B");
    for (int day : {3, 1, 2}) {
        ASSERT_GT(AddEntry(a, At(), "d" + std::to_string(day), CDateTime::FromParts(2004, 5, day)), 0);
    }
    ASSERT_GT(AddEntry(b, At(), "b", CDateTime::FromParts(2004, 6, 1)), 0);
    auto list = History(a);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->ActionTitle, "d3");
    EXPECT_EQ(list[2]->ActionTitle, "d1");
    CRirekiList all;
    ASSERT_EQ(data.GetAllRireki(all), 1);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0]->ActionTitle, "b");
    EXPECT_TRUE(History(4242).empty());
}

TEST_F(MilvaneDataTest, AllHistoryOrdersEqualDatesByKeyAndUnsetDatesLast) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B");
    const CDateTime d1 = CDateTime::FromParts(2004, 5, 1), d2 = CDateTime::FromParts(2004, 6, 1);
    std::vector<int32_t> key;
    for (const auto& [customer, date] : std::vector<std::pair<int32_t, CDateTime>>{
             {a, d1}, {b, CDateTime()}, {b, d2}, {a, d1}, {a, CDateTime()}, {b, d1}}) {
        key.push_back(AddEntry(customer, At(), "t", date));
        ASSERT_GT(key.back(), 0);
    }
    CKeyArray deleted;
    ASSERT_EQ(data.DeleteRireki({uint32_t(key[3])}, deleted), 1);
    CRirekiList all;
    ASSERT_EQ(data.GetAllRireki(all), 1);
    std::vector<int32_t> got;
    for (const auto& r : all) got.push_back(r->ID);
    EXPECT_EQ(got, (std::vector<int32_t>{key[2], key[5], key[0], key[4], key[1]}));
    EXPECT_EQ(all[1]->CustomerID, b);

    // The history screen's lean rows come in the same order, with the dates to sort by.
    CRirekiKeyList keys;
    ASSERT_EQ(data.GetRirekiKeys(keys), 1);
    EXPECT_EQ(keys, (CRirekiKeyList{{key[2], d2.Days()},
                                    {key[5], d1.Days()},
                                    {key[0], d1.Days()},
                                    {key[4], kNoRirekiDate},
                                    {key[1], kNoRirekiDate}}));
}

TEST_F(MilvaneDataTest, HistoryScreenReadsEntriesAndTheirCustomersByKey) {
    int32_t a = AddCustomer("A");
    const CDateTime d = CDateTime::FromParts(2004, 5, 1);
    const int32_t first = AddEntry(a, At(), "初回", d), second = AddEntry(a, At(), "再訪", CDateTime());
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    ASSERT_TRUE(SecondConnection(DbPath()).Exec("UPDATE Rireki SET CustomerID=4242 WHERE ID=" + std::to_string(second)));

    // In key order, an unknown key left out; the orphan entry has no customer texts.
    std::vector<CRirekiShown> shown;
    ASSERT_EQ(data.GetRirekiShown({second, 9999, first}, shown), 1);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].entry.ActionTitle, "再訪");
    EXPECT_FALSE(shown[0].hasCustomer);
    EXPECT_EQ(shown[0].customer.code, "");
    EXPECT_EQ(shown[1].entry.Date, d);
    EXPECT_TRUE(shown[1].hasCustomer);
    EXPECT_EQ(shown[1].customer.code, "A");
    EXPECT_EQ(shown[1].customer.name, "名前");

    CRirekiData one;
    EXPECT_EQ(data.GetRireki(first, one), 1);
    EXPECT_EQ(one.ActionTitle, "初回");
    EXPECT_EQ(data.GetRireki(9999, one), 0);
    CKokyaku k;
    EXPECT_EQ(data.GetKokyaku(a, k), 1);
    EXPECT_EQ(k.CustomerID, "A");
    EXPECT_EQ(data.GetKokyaku(4242, k), 0);

    // The sort values of every entry; only the list's fields are read.
    const struct { const char* field; bool ofCustomer; int result; std::vector<std::string> texts; } columns[] = {
        {"ActionTitle", false, 1, {"初回", "再訪"}}, {"CustomerID", true, 1, {"A", ""}},
        {"Name", false, -1, {}}, {"ID FROM Customer --", true, -1, {}}};
    for (const auto& c : columns) {
        std::map<int32_t, std::string> texts;
        EXPECT_EQ(data.ForEachRirekiText(c.field, c.ofCustomer, [&](int32_t key, std::string_view t) { texts[key] = t; }),
                  c.result) << c.field;
        std::vector<std::string> inKeyOrder;
        for (const auto& [key, t] : texts) inKeyOrder.push_back(t);
        EXPECT_EQ(inKeyOrder, c.texts) << c.field;
    }
    std::map<int32_t, std::string> every;  // title and customer code of each entry
    EXPECT_EQ(data.ForEachRirekiShown([&](const CRirekiShown& s) {
        every[s.entry.ID] = s.entry.ActionTitle + "/" + (s.hasCustomer ? s.customer.code : "-");
    }), 1);
    EXPECT_EQ(every, (std::map<int32_t, std::string>{{first, "初回/A"}, {second, "再訪/-"}}));
    std::map<int32_t, double> amounts;
    EXPECT_EQ(data.ForEachRirekiMoney([&](int32_t key, double m) { amounts[key] = m; }), 1);
    EXPECT_EQ(amounts.size(), 2u);

    // An extraction gives keys and dates in its row order; a statement without keys is refused.
    CRirekiKeyList keys;
    EXPECT_EQ(data.ExtractRirekiKeys("SELECT Rireki.* FROM Rireki ORDER BY ID DESC", keys), 1);
    EXPECT_EQ(keys, (CRirekiKeyList{{second, kNoRirekiDate}, {first, d.Days()}}));
    EXPECT_EQ(data.ExtractRirekiKeys("SELECT ActionTitle FROM Rireki", keys), -1);
    EXPECT_EQ(keys.size(), 2u);
}

TEST_F(MilvaneDataTest, BulkHistoryForManyCustomers) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B");
    CRirekiData r = Entry("メール送信", At());
    EXPECT_EQ(data.AddNewRireki(CKeyArray{uint32_t(a), uint32_t(b)}, r, At()), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 2);
    EXPECT_EQ(data.AddNewRireki(CKeyArray{uint32_t(a), 4242}, r, At()), 10);
    EXPECT_EQ(History(a).size(), 2u);
    EXPECT_EQ(data.AddNewRireki(CKeyArray{4242}, r, At()), -1);
    EXPECT_EQ(data.AddNewRireki(CKeyArray{}, r, At()), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 3);
    EXPECT_EQ(Get(b)->RirekiUpDate, At());
    EXPECT_EQ(data.AddNewRireki(CKeyArray{uint32_t(b), uint32_t(b)}, r, At()), 1);  // once per customer
    EXPECT_EQ(History(b).size(), 2u);
}

TEST_F(MilvaneDataTest, ModifyAndDeleteHistory) {
    int32_t a = AddCustomer("A"), b = AddCustomer("B");
    CRirekiData r = Entry("購入", CDateTime::FromParts(2004, 5, 1));
    int32_t k1 = data.AddNewRireki(a, r, At());
    int32_t k2 = data.AddNewRireki(a, r, At());
    int32_t k3 = data.AddNewRireki(b, r, At());
    ASSERT_GT(k3, 0);

    const CDateTime later = CDateTime::FromParts(2007, 2, 2);
    CRirekiData changed = Entry("返品", CDateTime::FromParts(2004, 5, 2), -10);
    changed.CustomerID = b;  // the owner stays
    ASSERT_EQ(data.ModifyRireki(k1, changed, later), 1);
    EXPECT_EQ(changed.ID, k1);
    EXPECT_EQ(changed.CustomerID, a);
    EXPECT_EQ(Get(a)->RirekiUpDate, later);
    EXPECT_EQ(History(a)[0]->Money, -10);
    EXPECT_EQ(data.ModifyRireki(4242, changed, later), 0);

    CKeyArray deleted;
    ASSERT_EQ(data.DeleteRireki(CKeyArray{uint32_t(k1), 4242}, deleted), 10);
    EXPECT_EQ(deleted, CKeyArray{uint32_t(k1)});
    EXPECT_EQ(data.DeleteRireki(CKeyArray{4242}, deleted), 0);

    const CDateTime evenLater = CDateTime::FromParts(2008, 3, 3);
    EXPECT_EQ(data.DeleteRireki(k2, evenLater), 1);
    EXPECT_EQ(Get(a)->RirekiUpDate, evenLater);
    EXPECT_EQ(data.DeleteRireki(k2, evenLater), 0);

    EXPECT_EQ(data.DeleteRirekiForKokyaku(b), 1);
    EXPECT_EQ(data.DeleteRirekiForKokyaku(b), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 0);
}

TEST_F(MilvaneDataTest, DeleteHistoryUpToADayIncludesTheWholeDay) {
    int32_t a = AddCustomer("A");
    for (auto d : {CDateTime::FromParts(2004, 4, 30, 0, 0), CDateTime::FromParts(2004, 4, 30, 23, 59, 59),
                   CDateTime::FromParts(2004, 5, 1, 0, 0), CDateTime::FromParts(1899, 12, 29, 12, 0)}) {
        ASSERT_GT(AddEntry(a, At(), "x", d), 0);
    }
    ASSERT_GT(AddEntry(a, At(), "undated", CDateTime()), 0);
    ASSERT_EQ(data.DeleteRirekiForDate(CDateTime::FromParts(2004, 4, 30, 8, 0)), 1);
    auto left = History(a);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0]->Date, CDateTime::FromParts(2004, 5, 1));
    EXPECT_FALSE(left[1]->Date.IsValid());
    EXPECT_EQ(data.DeleteRirekiForDate(CDateTime()), -1);

    // Before day 0 the time of day counts away from zero.
    CRirekiData early = Entry("early", CDateTime::FromParts(1899, 12, 28, 18, 0));
    CRirekiData next = Entry("next", CDateTime::FromParts(1899, 12, 29, 6, 0));
    ASSERT_GT(data.AddNewRireki(a, early, At()), 0);
    ASSERT_GT(data.AddNewRireki(a, next, At()), 0);
    ASSERT_EQ(data.DeleteRirekiForDate(CDateTime::FromParts(1899, 12, 28)), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki WHERE ActionTitle='early'"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki WHERE ActionTitle='next'"), 1);
}
