// The lean customer rows: packing, widening from the source, changes that
// reach both the row and its whole record, and reading records on demand.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "customers/KokyakuRow.h"

namespace {

std::vector<std::string> AllFieldNames() {
    std::vector<std::string> names;
    for (const KokyakuField& f : KokyakuFields()) names.emplace_back(f.name);
    return names;
}

CKokyaku Sample(int32_t id) {
    CKokyaku k;
    k.ID = id;
    k.CustomerID = "C" + std::to_string(id);
    k.Name = "山田" + std::to_string(id);
    k.Yomi = "";  // empty text between others
    k.Note10 = std::string(3000, 'x');  // no byte limit
    k.Sex = 1;
    k.ClosingDay = 99;
    k.ColorMark = 0x0000FF;
    k.BirthDay = CDateTime::FromParts(1980, 2, 29, 13, 5, 7);
    k.RirekiUpDate = CDateTime();  // unset
    k.TEL_Home_X = 312345678;
    return k;
}

// Records by key; counts reads and can be told to fail.
class FakeSource final : public IKokyakuSource {
public:
    bool ReadKokyaku(int32_t key, CKokyaku& k) override {
        ++reads;
        auto it = records.find(key);
        if (fail || it == records.end()) return false;
        k = it->second;
        return true;
    }
    bool ReadKokyakuFields(const std::vector<int>&, const std::function<void(const CKokyaku&)>& each) override {
        ++passes;
        if (fail) return false;
        for (const auto& [key, k] : records)
            if (key != skip) each(k);
        return true;
    }
    std::map<int32_t, CKokyaku> records;
    int reads = 0, passes = 0;
    bool fail = false;
    int32_t skip = 0;
};

// Rows as the database side makes them: only the kept fields, no record.
void Fill(CKokyakuRows& rows, FakeSource& source, int count) {
    rows.SetSource(&source);
    CKokyakuRows::Storage made;
    for (int32_t id = 1; id <= count; ++id) {
        source.records[id] = Sample(id);
        made.push_back(rows.MakeRow(source.records[id]));
    }
    rows.Adopt(std::move(made));
}

TEST(KokyakuRows, EveryKindOfFieldComesBackAsPacked) {
    CKokyakuRows rows;
    ASSERT_TRUE(rows.Keep(AllFieldNames()));
    const CKokyaku k = Sample(7);
    auto row = rows.MakeRow(k);
    CKokyaku back;
    back.Name = "stale";
    row->Unpack(back);
    EXPECT_EQ(back, k);
    EXPECT_EQ(row->Name(), "山田7");
    EXPECT_FALSE(row->Date(KokyakuFieldIndex("RirekiUpDate")).IsValid());
    EXPECT_EQ(row->Date(KokyakuFieldIndex("BirthDay")), k.BirthDay);
}

TEST(KokyakuRows, OnlyTheBaseFieldsAndTheNamedOnesAreKept) {
    CKokyakuRows rows;
    EXPECT_EQ(rows.Fields().size(), 3u);  // code, name, company
    ASSERT_TRUE(rows.Keep({"Add_Home_X", "CommonMail", "回数", "NoSuchField"}));
    std::vector<std::string> kept;
    for (int i : rows.Fields()) kept.emplace_back(KokyakuFields()[static_cast<std::size_t>(i)].name);
    EXPECT_EQ(kept, (std::vector<std::string>{"CustomerID", "Name", "Add1_Home", "Add2_Home", "Add3_Home", "CompName",
                                              "EMail1", "EMail2", "EMail3", "EMail4", "EMail5", "CommonMail"}));
    auto row = rows.MakeRow(Sample(1));
    EXPECT_FALSE(row->Keeps(KokyakuFieldIndex("Yomi")));
    CKokyaku partial;
    row->Unpack(partial);
    EXPECT_EQ(partial.Note10, "");  // not kept, left alone
}

TEST(KokyakuRows, WideningReadsTheSourceOnceOrChangesNothing) {
    FakeSource source;
    CKokyakuRows rows;
    Fill(rows, source, 3);
    const int yomi = KokyakuFieldIndex("Yomi"), sex = KokyakuFieldIndex("Sex");
    source.records[2].Yomi = "ﾔﾏﾀﾞ";

    // A pass that misses a row, then a failing pass: the layout stays.
    source.skip = 2;
    EXPECT_FALSE(rows.Keep({"Yomi", "Sex"}));
    source.skip = 0;
    source.fail = true;
    EXPECT_FALSE(rows.Keep({"Yomi"}));
    EXPECT_FALSE(rows[0].Keeps(yomi));
    EXPECT_EQ(rows[1].Name(), "山田2");

    source.fail = false;
    ASSERT_TRUE(rows.Keep({"Yomi", "Sex"}));
    EXPECT_EQ(rows[1].Text(yomi), "ﾔﾏﾀﾞ");
    EXPECT_EQ(rows[1].Int(sex), 1);
    EXPECT_EQ(rows[1].Name(), "山田2");  // the old values stay
    EXPECT_EQ(source.passes, 3);
    EXPECT_TRUE(rows.Keep({"Yomi"}));  // kept already: no pass
    EXPECT_EQ(source.passes, 3);

    // Rows holding their whole record widen from it, without the source.
    auto whole = std::make_unique<CKokyaku>(Sample(9));
    whole->TantouName = "担当";
    rows.Append(std::move(whole));
    source.fail = true;
    rows.Remove({1, 2, 3});
    ASSERT_TRUE(rows.Keep({"TantouName"}));
    EXPECT_EQ(rows[0].Text(KokyakuFieldIndex("TantouName")), "担当");
}

TEST(KokyakuRows, RecordsAreReadOnceAndChangesReachRowAndRecord) {
    FakeSource source;
    CKokyakuRows rows;
    Fill(rows, source, 3);
    ASSERT_TRUE(rows.Keep({"RirekiUpDate", "ColorMark"}));
    const CKokyakuRow* second = rows.Find(2);
    ASSERT_NE(second, nullptr);
    const CKokyaku* record = second->Record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Note10.size(), 3000u);
    EXPECT_EQ(second->Record(), record);
    EXPECT_EQ(source.reads, 1);
    source.fail = true;
    EXPECT_EQ(rows.Find(3)->Record(), nullptr);

    const CDateTime at = CDateTime::FromParts(2026, 12, 7, 10, 30);
    rows.SetRirekiUpDate(std::vector<uint32_t>{2, 3, 99}, at);
    EXPECT_EQ(second->Date(KokyakuFieldIndex("RirekiUpDate")), at);
    EXPECT_EQ(record->RirekiUpDate, at);
    EXPECT_EQ(rows.Find(3)->Date(KokyakuFieldIndex("RirekiUpDate")), at);

    EXPECT_TRUE(rows.Update(2, [](CKokyaku& k) {
        k.ColorMark = 0;
        k.Name = "変更";
    }));
    EXPECT_EQ(second->Name(), "変更");
    EXPECT_EQ(second->Int(KokyakuFieldIndex("ColorMark")), 0);
    EXPECT_EQ(record->Name, "変更");
    EXPECT_FALSE(rows.Update(99, [](CKokyaku&) {}));

    // A change keeps the row object: list rows pointing at it stay valid.
    auto changed = std::make_unique<CKokyaku>(Sample(2));
    changed->Name = "二";
    EXPECT_TRUE(rows.Replace(changed));
    EXPECT_EQ(changed, nullptr);
    EXPECT_EQ(rows.Find(2), second);
    EXPECT_EQ(second->Name(), "二");
    auto stranger = std::make_unique<CKokyaku>(Sample(50));
    EXPECT_FALSE(rows.Replace(stranger));
    EXPECT_NE(stranger, nullptr);
}

TEST(KokyakuRows, FindFollowsInsertsAndRemovals) {
    FakeSource source;
    CKokyakuRows rows;
    Fill(rows, source, 4);
    EXPECT_EQ(rows.Find(4)->ID, 4);  // builds the index
    rows.InsertFront(std::make_unique<CKokyaku>(Sample(10)));
    rows.Append(std::make_unique<CKokyaku>(Sample(11)));
    rows.Remove({2, 4});
    std::vector<int32_t> order;
    for (const auto& r : rows) order.push_back(r->ID);
    EXPECT_EQ(order, (std::vector<int32_t>{10, 1, 3, 11}));
    EXPECT_EQ(rows.Find(2), nullptr);
    EXPECT_EQ(rows.Find(10), &rows.front());
    EXPECT_EQ(rows.Find(11)->Name(), "山田11");
    rows.clear();
    EXPECT_EQ(rows.Find(1), nullptr);
    EXPECT_EQ(rows.Fields().size(), 3u);
}

TEST(KokyakuRows, EveryChangeIsCountedAndNoTwoRowsShareASerial) {
    FakeSource source;
    CKokyakuRows rows;
    Fill(rows, source, 3);
    std::vector<uint64_t> versions = {rows.Version()};
    auto changed = [&] {
        const bool advanced = rows.Version() != versions.back();
        versions.push_back(rows.Version());
        return advanced;
    };
    rows.InsertFront(std::make_unique<CKokyaku>(Sample(10)));
    EXPECT_TRUE(changed());
    rows.Append(std::make_unique<CKokyaku>(Sample(11)));
    EXPECT_TRUE(changed());
    EXPECT_TRUE(rows.Update(1, [](CKokyaku& k) { k.Name = "x"; }));
    EXPECT_TRUE(changed());
    auto record = std::make_unique<CKokyaku>(Sample(2));
    EXPECT_TRUE(rows.Replace(record));
    EXPECT_TRUE(changed());
    rows.SetRirekiUpDate(3, CDateTime::FromParts(2026, 1, 2, 0, 0, 0));
    EXPECT_TRUE(changed());
    ASSERT_TRUE(rows.Keep({"Yomi"}));
    EXPECT_TRUE(changed());
    ASSERT_TRUE(rows.Keep({"Yomi"}));  // nothing new
    EXPECT_FALSE(changed());
    rows.Remove({10});
    EXPECT_TRUE(changed());
    // A change that finds no row changes nothing.
    EXPECT_FALSE(rows.Update(99, [](CKokyaku&) {}));
    EXPECT_FALSE(changed());

    std::vector<uint32_t> serials;
    for (const auto& r : rows) {
        EXPECT_EQ(&r->Owner(), &rows);
        EXPECT_LT(r->Serial(), rows.SerialEnd());
        serials.push_back(r->Serial());
    }
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ(std::adjacent_find(serials.begin(), serials.end()), serials.end());

    // Another list's versions never meet this one's.
    CKokyakuRows other;
    Fill(other, source, 1);
    EXPECT_EQ(std::find(versions.begin(), versions.end(), other.Version()), versions.end());
    rows.clear();
    EXPECT_TRUE(changed());
}

TEST(KokyakuRows, TheLastChangesOfSingleRowsAreKnown) {
    FakeSource source;
    CKokyakuRows rows;
    Fill(rows, source, 3);
    const uint64_t read = rows.Version();
    std::vector<uint32_t> serials;
    ASSERT_TRUE(rows.ChangedSince(read, serials));
    EXPECT_TRUE(serials.empty());

    ASSERT_TRUE(rows.Update(2, [](CKokyaku& k) { k.Name = "x"; }));
    const uint64_t afterUpdate = rows.Version();
    const CKokyakuRow& added = rows.Append(std::make_unique<CKokyaku>(Sample(9)));
    rows.Remove({1});  // gone rows are not named, and the rest stays known
    ASSERT_TRUE(rows.ChangedSince(read, serials));
    EXPECT_EQ(serials, (std::vector<uint32_t>{added.Serial(), rows.Find(2)->Serial()}));
    ASSERT_TRUE(rows.ChangedSince(afterUpdate, serials));
    EXPECT_EQ(serials, std::vector<uint32_t>{added.Serial()});

    // Only the last few thousand changes are known.
    for (int i = 0; i < 5000; ++i) rows.SetRirekiUpDate(3, CDateTime());
    EXPECT_FALSE(rows.ChangedSince(read, serials));
    const uint64_t recent = rows.Version();
    rows.SetRirekiUpDate(2, CDateTime());
    ASSERT_TRUE(rows.ChangedSince(recent, serials));
    EXPECT_EQ(serials, std::vector<uint32_t>{rows.Find(2)->Serial()});

    // Reading rows forgets them; a version of another list is never known.
    rows.Adopt({});
    EXPECT_FALSE(rows.ChangedSince(recent, serials));
    CKokyakuRows other;
    EXPECT_FALSE(rows.ChangedSince(other.Version(), serials));
}

}  // namespace
