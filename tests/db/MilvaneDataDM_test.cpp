// DM titles, their targets and the sending history the database keeps for them.
#include <gtest/gtest.h>

#include <string>

#include "MilvaneDataFixture.h"

namespace {

// A function, not a constant: a namespace-scope date would be built before the
// date code is initialised.
CDateTime SendDate() { return CDateTime::FromParts(2005, 7, 1, 10, 0); }

class MilvaneDataDMTest : public MilvaneDataTest {
protected:
    void SetUp() override {
        MilvaneDataTest::SetUp();
        a = AddCustomer("A", "安藤");
        b = AddCustomer("B", "馬場");
        c = AddCustomer("C", "千葉");
        ASSERT_GT(c, 0);
    }

    std::unique_ptr<CDMListData> NewTitle(const CKeyArray& targets) {
        CKeyArray failed;
        auto d = data.AddNewDMTitle(SendDate(), "夏のセール", "はがき", "鈴木", 0, targets, failed);
        EXPECT_TRUE(d) << data.LastError();
        EXPECT_TRUE(failed.empty());
        return d;
    }

    // The sending-history entries of a customer for the DM.
    long long Entries(int32_t customer, int32_t dm) {
        return Count("SELECT count(*) FROM Rireki WHERE CustomerID=" + std::to_string(customer) +
                     " AND DMID=" + std::to_string(dm));
    }

    std::unique_ptr<CRirekiData> Only(int32_t customer) {
        auto list = History(customer);
        EXPECT_EQ(list.size(), 1u);
        return list.empty() ? nullptr : std::move(list[0]);
    }

    // Title, action, keyword, staff and date of a customer's only entry.
    std::string Shown(int32_t customer) {
        auto e = Only(customer);
        return e ? e->ActionTitle + "|" + e->Action + "|" + e->Keyword + "|" + e->TantouName + "|" + e->Date.Format("%Y/%m/%d %H:%M")
                 : "<none>";
    }

    CDateTime Stamp(int32_t customer) { return Get(customer)->RirekiUpDate; }

    int32_t a = -1, b = -1, c = -1;
};

CDateTime At(int day) { return CDateTime::FromParts(2006, 1, day, 12, 0); }

}  // namespace

TEST_F(MilvaneDataDMTest, TitlesAndTargets) {
    CKeyArray failed;
    auto d = data.AddNewDMTitle(SendDate(), "春", "封書", "佐藤", 1, {uint32_t(b), 4242, uint32_t(a), uint32_t(b)}, failed);
    ASSERT_TRUE(d);
    EXPECT_EQ(failed, CKeyArray{4242});

    CDMMngList targets;
    ASSERT_EQ(data.GetDMUserInfo(d->ID, targets), 1);
    ASSERT_EQ(targets.size(), 2u);  // in the order added, once each
    EXPECT_EQ(targets[0]->CustomerID, b);
    EXPECT_EQ(targets[0]->CustomerCode, "B");
    EXPECT_EQ(targets[0]->Name, "馬場");
    EXPECT_EQ(targets[1]->CustomerID, a);
    CDMMngList none;
    EXPECT_EQ(data.GetDMUserInfo(4242, none), 0);

    auto later = data.AddNewDMTitle(CDateTime::FromParts(2005, 8, 1), "秋", "", "", 0, {}, failed);
    ASSERT_TRUE(later);
    CDMList titles;
    ASSERT_EQ(data.GetAllDMTitle(titles), 1);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0]->Title, "秋");  // newest send date first
    EXPECT_EQ(*titles[1], *d);

    // Bad titles are refused.
    EXPECT_FALSE(data.AddNewDMTitle(SendDate(), "", "", "", 0, {}, failed));
    EXPECT_FALSE(data.AddNewDMTitle(SendDate(), std::string(101, 't'), "", "", 0, {}, failed));
    EXPECT_FALSE(data.AddNewDMTitle(SendDate(), "t", std::string(51, 'c'), "", 0, {}, failed));
    EXPECT_FALSE(data.AddNewDMTitle(SendDate(), "t", "", std::string(31, 'm'), 0, {}, failed));
    EXPECT_FALSE(data.AddNewDMTitle(SendDate(), "t", "", "", 2, {}, failed));
    EXPECT_EQ(Count("SELECT count(*) FROM DMList"), 2);
}

TEST_F(MilvaneDataDMTest, AddAndRemoveTargets) {
    auto d = NewTitle({uint32_t(a)});
    CKeyArray failed;
    EXPECT_EQ(data.AddDMTarget(d->ID, {uint32_t(b), 4242}, failed, nullptr, At(1)), 10);
    EXPECT_EQ(failed, CKeyArray{4242});
    EXPECT_EQ(data.AddDMTarget(d->ID, {uint32_t(a)}, failed, nullptr, At(1)), 1);  // already a target
    EXPECT_EQ(data.AddDMTarget(d->ID, {4242, 4343}, failed, nullptr, At(1)), -1);
    EXPECT_EQ(failed, (CKeyArray{4242, 4343}));
    EXPECT_EQ(data.AddDMTarget(4242, {uint32_t(c)}, failed, nullptr, At(1)), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM DMMng"), 2);

    EXPECT_EQ(data.DeleteDMTarget(d->ID, {uint32_t(a), uint32_t(c)}), 10);
    EXPECT_EQ(data.DeleteDMTarget(d->ID, {uint32_t(c)}), 0);
    EXPECT_EQ(data.DeleteDMTarget(4242, {uint32_t(b)}), 0);
    EXPECT_EQ(data.DeleteDMTarget(d->ID, {uint32_t(b)}), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM DMMng"), 0);
    // Without sending history nothing touches the customers' history.
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 0);
    EXPECT_EQ(Stamp(a), CDateTime::FromParts(2004, 1, 1));
}

TEST_F(MilvaneDataDMTest, SendingHistoryLifeCycle) {
    auto d = NewTitle({uint32_t(a), uint32_t(b)});
    const int32_t id = d->ID;

    // Sent without history: nothing written.
    ASSERT_EQ(data.SetStatusDMTitle(id, 1, 0, 0, At(1)), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 0);

    // History registered: one entry per target with the title's values.
    ASSERT_EQ(data.SetStatusDMTitle(id, 1, 1, 0, At(2)), 1);
    auto e = Only(a);
    ASSERT_TRUE(e);
    EXPECT_EQ(Shown(a), "DM|夏のセール|はがき|鈴木|2005/07/01 10:00");
    EXPECT_EQ(Entries(b, id), 1);
    EXPECT_EQ(Stamp(a), At(2));
    EXPECT_EQ(Stamp(c), CDateTime::FromParts(2004, 1, 1));
    const int32_t entryOfA = e->ID;

    // Registering again changes nothing (and stamps nobody).
    ASSERT_EQ(data.SetStatusDMTitle(id, 1, 1, 0, At(3)), 1);
    EXPECT_EQ(Only(a)->ID, entryOfA);
    EXPECT_EQ(Stamp(a), At(2));

    // A target added gains its entry; one removed loses it.
    CKeyArray failed;
    ASSERT_EQ(data.AddDMTarget(id, {uint32_t(c)}, failed, nullptr, At(4)), 1);
    EXPECT_EQ(Entries(c, id), 1);
    EXPECT_EQ(Stamp(c), At(4));
    EXPECT_EQ(Stamp(a), At(2));
    ASSERT_EQ(data.DeleteDMTarget(id, {uint32_t(b)}, At(5)), 1);
    EXPECT_EQ(Entries(b, id), 0);
    EXPECT_EQ(Stamp(b), At(5));

    // Changing the title changes the entries in place.
    const CDateTime newDate = CDateTime::FromParts(2005, 7, 3, 9, 0);
    ASSERT_EQ(data.ModifyDMTitle(id, newDate, "夏の大セール", "封書", "田中", 1, At(6)), 1);
    EXPECT_EQ(Only(a)->ID, entryOfA);
    EXPECT_EQ(Shown(a), "DMメール送信|夏の大セール|封書|田中|2005/07/03 09:00");
    EXPECT_EQ(Stamp(c), At(6));
    EXPECT_EQ(Stamp(b), At(5));  // no longer a target
    // A change of case alone is a change.
    ASSERT_EQ(data.ModifyDMTitle(id, newDate, "夏の大セール", "FUUSHO", "田中", 1, At(7)), 1);
    ASSERT_EQ(data.ModifyDMTitle(id, newDate, "夏の大セール", "fuusho", "田中", 1, At(8)), 1);
    EXPECT_EQ(Only(a)->Keyword, "fuusho");
    EXPECT_EQ(Stamp(a), At(8));

    // Un-registering removes them, registering writes them again.
    ASSERT_EQ(data.SetStatusDMTitle(id, 1, 0, 1, At(9)), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 0);
    EXPECT_EQ(Stamp(a), At(9));
    ASSERT_EQ(data.SetStatusDMTitle(id, 1, 1, 1, At(10)), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki WHERE ActionTitle='DMメール送信'"), 2);

    // Un-sending removes them and clears the registration.
    ASSERT_EQ(data.SetStatusDMTitle(id, 0, 1, 1, At(11)), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 0);
    CDMList titles;
    ASSERT_EQ(data.GetAllDMTitle(titles), 1);
    EXPECT_EQ(titles[0]->SendState, 0);
    EXPECT_EQ(titles[0]->HistoryRegistered, 0);
    EXPECT_EQ(Stamp(c), At(11));

    // Deleting a sent title with history removes it.
    ASSERT_EQ(data.SetStatusDMTitle(id, 1, 1, 0, At(12)), 1);
    ASSERT_GT(AddEntry(a, At(12), "購入", At(1)), 0);
    CKeyArray deleted;
    ASSERT_EQ(data.DeleteDMTitle({uint32_t(id)}, deleted), 1);
    EXPECT_EQ(deleted, CKeyArray{uint32_t(id)});
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki"), 1);  // the customer's own entry stays
    EXPECT_EQ(Count("SELECT count(*) FROM DMMng"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM DMList"), 0);
}

TEST_F(MilvaneDataDMTest, StateChangesCheckTheirArguments) {
    auto d = NewTitle({uint32_t(a)});
    EXPECT_EQ(data.SetStatusDMTitle(4242, 1, 1, 0, At(1)), 0);
    EXPECT_EQ(data.SetStatusDMTitle(d->ID, 2, 0, 0, At(1)), -1);
    EXPECT_EQ(data.SetStatusDMTitle(d->ID, 1, 0, 5, At(1)), -1);
    EXPECT_EQ(data.ModifyDMTitle(4242, SendDate(), "x", "", "", 0, At(1)), 0);
    EXPECT_EQ(data.ModifyDMTitle(d->ID, SendDate(), "", "", "", 0, At(1)), -1);
    CDMList titles;
    ASSERT_EQ(data.GetAllDMTitle(titles), 1);
    EXPECT_EQ(*titles[0], *d);
}

TEST_F(MilvaneDataDMTest, DeleteTitlesReportsWhatHappened) {
    auto d1 = NewTitle({uint32_t(a)});
    auto d2 = NewTitle({uint32_t(b)});
    auto d3 = NewTitle({uint32_t(c)});
    CKeyArray deleted;
    EXPECT_EQ(data.DeleteDMTitle({uint32_t(d1->ID), 4242}, deleted), 10);
    EXPECT_EQ(deleted, CKeyArray{uint32_t(d1->ID)});
    EXPECT_EQ(data.DeleteDMTitle({4242}, deleted), 0);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(data.DeleteDMTitle({}, deleted), 0);

    // Sending history that cannot be removed: the title goes, the entries stay
    // as ordinary history.
    ASSERT_EQ(data.SetStatusDMTitle(d2->ID, 1, 1, 0, At(1)), 1);
    ASSERT_EQ(data.SetStatusDMTitle(d3->ID, 1, 1, 0, At(1)), 1);
    SecondConnection(DbPath()).Exec("CREATE TRIGGER keep BEFORE DELETE ON Rireki WHEN old.DMID=" +
                                    std::to_string(d2->ID) + " BEGIN SELECT RAISE(ABORT,'kept'); END");
    EXPECT_EQ(data.DeleteDMTitle({uint32_t(d2->ID), uint32_t(d3->ID)}, deleted), 20);
    EXPECT_EQ(deleted, (CKeyArray{uint32_t(d2->ID), uint32_t(d3->ID)}));
    EXPECT_EQ(Count("SELECT count(*) FROM DMList"), 0);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki WHERE CustomerID=" + std::to_string(b) + " AND DMID IS NULL"), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM Rireki WHERE CustomerID=" + std::to_string(c)), 0);
}
