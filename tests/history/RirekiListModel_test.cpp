// The history list's rows over a row source: paging, and sorting its lean rows.
#include <gtest/gtest.h>

#include <map>

#include "history/RirekiListModel.h"

namespace {

// Entries keyed 1..n titled "t<key>"; records what is read.
struct FakeRows final : IRirekiRowSource {
    explicit FakeRows(int n) {
        for (int32_t key = 1; key <= n; ++key) {
            CRirekiShown& s = entries[key];
            s.entry.ID = key;
            s.entry.ActionTitle = "t" + std::to_string(key);
            s.hasCustomer = true;
            s.customer.name = "n" + std::to_string(key);
        }
    }
    bool ReadShown(const std::vector<int32_t>& keys, std::vector<CRirekiShown>& rows) override {
        reads.push_back(keys);
        if (fail) return false;
        for (int32_t k : keys)
            if (entries.count(k)) rows.push_back(entries[k]);
        return true;
    }
    bool ForEachText(int column, const std::function<void(int32_t, std::string_view)>& each) override {
        if (fail) return false;
        for (const auto& [key, s] : entries) each(key, CRirekiListModel::CellText(&s, column));
        return true;
    }
    bool ForEachAmount(const std::function<void(int32_t, double)>& each) override {
        if (fail) return false;
        for (const auto& [key, s] : entries) each(key, s.entry.Money);
        return true;
    }
    bool ForEachShown(const std::function<void(const CRirekiShown&)>& each) override {
        ++scans;
        if (fail) return false;
        for (const auto& [key, s] : entries) each(s);
        return true;
    }

    std::map<int32_t, CRirekiShown> entries;
    std::vector<std::vector<int32_t>> reads;
    int scans = 0;
    bool fail = false;
};

CRirekiKeyList Rows(int n) {
    CRirekiKeyList rows;
    for (int32_t key = 1; key <= n; ++key) rows.push_back({key, double(key)});
    return rows;
}

std::vector<int32_t> Keys(const CRirekiListModel& list) {
    std::vector<int32_t> keys;
    for (int r = 0; r < list.RowCount(); ++r) keys.push_back(list.Item(r).ID);
    return keys;
}

TEST(RirekiListModel, ReadsTheShownRowsAPageAtATime) {
    auto rows = std::make_shared<FakeRows>(300);
    rows->entries.erase(200);  // gone from the database
    CRirekiListModel list;
    list.SetSource(rows);
    list.SetRows(Rows(300));

    EXPECT_EQ(list.CellText(5, 4), "t6");
    EXPECT_EQ(list.CellText(0, 2), "n1");
    EXPECT_EQ(list.CellText(127, 4), "t128");
    ASSERT_EQ(rows->reads.size(), 1u);  // the first page, once
    EXPECT_EQ(rows->reads[0].size(), 128u);
    EXPECT_EQ(rows->reads[0].front(), 1);

    // A missing entry shows empty and is not read again; the last page is short.
    EXPECT_EQ(list.Shown(199), nullptr);
    EXPECT_EQ(list.CellText(199, 4), "");
    EXPECT_EQ(list.CellText(299, 4), "t300");
    EXPECT_EQ(rows->reads.size(), 3u);
    EXPECT_EQ(rows->reads[2].size(), 44u);
    EXPECT_EQ(list.Shown(300), nullptr);

    // A sort keeps what is cached; new rows read afresh.
    list.Sort(0, false);
    EXPECT_EQ(list.CellText(0, 4), "t300");
    EXPECT_EQ(rows->reads.size(), 3u);
    list.SetRows(Rows(2));
    EXPECT_EQ(list.CellText(1, 4), "t2");
    EXPECT_EQ(rows->reads.size(), 4u);

    // A failed read shows empty rows without reading them at each paint.
    rows->fail = true;
    list.SetRows(Rows(3));
    EXPECT_EQ(list.CellText(2, 4), "");
    EXPECT_EQ(list.CellText(1, 4), "");
    EXPECT_EQ(rows->reads.size(), 5u);
}

TEST(RirekiListModel, FindReadsTheNearRowsAndScansForTheFarOnes) {
    auto rows = std::make_shared<FakeRows>(1000);
    rows->entries[3].entry.Keyword = "鍵";
    rows->entries[900].entry.Keyword = "鍵";
    rows->entries[901].entry.Date = CDateTime::FromParts(2024, 2, 3);
    rows->entries[902].entry.Money = 1500.5;
    rows->entries[903].hasCustomer = false;
    rows->entries[903].customer.name = "隠";  // not shown without a customer
    CRirekiListModel list;
    list.SetSource(rows);
    list.SetRows(Rows(1000));
    const struct { const char* text; int start; bool down; int row; int scans; } cases[] = {
        {"鍵", 0, true, 2, 0},        // near: through the cache
        {"鍵", 3, true, 899, 1},      // far: one scan
        {"鍵", 898, false, 2, 2},
        {"2024/02/03", 0, true, 900, 3},  // the date and the amount as shown
        {"1500.5", 999, false, 901, 3},   // near again
        {"隠", 0, true, -1, 4},
        {"n1000", 999, true, 999, 4},
        {"", 500, false, 500, 4},
        {"鍵", -1, true, -1, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(list.FindRow(c.text, c.start, c.down), c.row) << c.text << " " << c.start;
        EXPECT_EQ(rows->scans, c.scans) << c.text << " " << c.start;
    }
    // Without the scan the rows are read one page after another.
    rows->fail = true;
    list.SetRows(Rows(1000));
    EXPECT_EQ(list.FindRow("鍵", 3, true), -1);
    EXPECT_EQ(rows->scans, 5);
}

TEST(RirekiListModel, DateSortIsStableWhateverTheOrderBefore) {
    const struct {
        std::vector<double> dates;  // of keys 1.. in row order
        bool ascending;
        std::vector<int32_t> keys;
    } cases[] = {
        {{1, 2, 2, 3}, true, {1, 2, 3, 4}},                        // already in order
        {{3, 2, 2, 1}, true, {4, 2, 3, 1}},                        // reversed: equal dates keep their order
        {{3, 2, 2, 1}, false, {1, 2, 3, 4}},
        {{2, 1, 2, 3, 1}, true, {2, 5, 1, 3, 4}},                  // mixed
        {{2, 1, 2, 3, 1}, false, {4, 1, 3, 2, 5}},
        {{5, kNoRirekiDate, 1, kNoRirekiDate}, true, {2, 4, 3, 1}},  // unset dates first
        {{2, 0, 2, 1, 0}, true, {2, 5, 4, 1, 3}},                  // whole numbers: counted
        {{2, 0, 2, 1, 0}, false, {1, 3, 4, 2, 5}},
        {{2.5, 0, 2, 1e9, 0}, true, {2, 5, 3, 1, 4}},              // far apart: compared
        {{}, true, {}},
    };
    for (const auto& c : cases) {
        CRirekiKeyList rows;
        for (std::size_t i = 0; i < c.dates.size(); ++i) rows.push_back({int32_t(i + 1), c.dates[i]});
        CRirekiListModel list;
        list.SetRows(rows);
        list.Sort(0, c.ascending);
        EXPECT_EQ(Keys(list), c.keys) << c.dates.size() << c.ascending;
    }
}

TEST(RirekiListModel, OtherColumnsSortByTheSourcesValues) {
    auto rows = std::make_shared<FakeRows>(4);
    const char* titles[] = {"b", "A", "c", "a"};
    const double amounts[] = {5, -1, 5, 2};
    for (int32_t key = 1; key <= 4; ++key) {
        rows->entries[key].entry.ActionTitle = titles[key - 1];
        rows->entries[key].entry.Money = amounts[key - 1];
    }
    rows->entries.erase(3);  // its texts sort as empty, its amount as 0
    CRirekiListModel list;
    list.SetSource(rows);
    list.SetRows(Rows(4));
    list.Sort(4, true);  // case-insensitive, equal texts in row order
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{3, 2, 4, 1}));
    list.Sort(8, false);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{1, 4, 3, 2}));
    list.Sort(2, true);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{3, 1, 2, 4}));

    // A key on two rows (an extraction may list an entry twice) sorts both.
    rows->entries[4].entry.Money = 9;
    list.SetRows({{4, 0}, {1, 0}, {4, 0}, {2, 0}});
    list.Sort(8, true);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{2, 1, 4, 4}));

    // Without the values the order stays.
    rows->fail = true;
    list.Sort(4, false);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{2, 1, 4, 4}));
}

}  // namespace
