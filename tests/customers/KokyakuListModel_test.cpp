// The list model never looks inside a row: these tests use opaque row
// addresses and a table of cell values.
#include <gtest/gtest.h>

#include <map>

#include "customers/KokyakuListModel.h"
#include "support/TestPorts.h"

namespace {

struct Row {
    std::string id;
    std::string name;
    int64_t sex;
};

class TableSource final : public IListCellSource {
public:
    explicit TableSource(std::vector<Row> rows) : rows(std::move(rows)) {}
    CKokyakuRow* Record(std::size_t i) const { return reinterpret_cast<CKokyakuRow*>(const_cast<char*>(&slots[i])); }
    std::size_t Index(const CKokyakuRow* r) const { return reinterpret_cast<const char*>(r) - slots; }

    std::string CellText(const CKokyakuListItem& item, const std::vector<CListColumn>& columns,
                         std::size_t column) const override {
        const Row& row = rows[Index(item.row)];
        const std::string& f = columns[column].field;
        return f == "CustomerID" ? row.id : f == "Name" ? row.name : std::to_string(row.sex);
    }
    CListSortKey SortKey(const CKokyakuListItem& item, const std::string& field, ListSortKind) const override {
        const Row& row = rows[Index(item.row)];
        CListSortKey k;
        k.text = field == "CustomerID" ? row.id : row.name;
        k.integer = row.sex;
        return k;
    }

    std::vector<Row> rows;
    char slots[64] = {};
};

struct Events final : IKokyakuListObserver {
    void ColumnsReset() override { log.push_back("columns"); }
    void RowsReset() override { log.push_back("reset"); }
    void RowInserted(int r) override { log.push_back("insert " + std::to_string(r)); }
    void RowRemoved(int r) override { log.push_back("remove " + std::to_string(r)); }
    void RowChanged(int r) override { log.push_back("change " + std::to_string(r)); }
    void SelectionChanged() override { log.push_back("selection"); }
    void ScrollTo(int r) override { log.push_back("scroll " + std::to_string(r)); }
    std::vector<std::string> log;
};

class KokyakuListModelTest : public ::testing::Test {
protected:
    KokyakuListModelTest()
        : source(std::make_shared<TableSource>(std::vector<Row>{
              {"C3", "佐藤", 1}, {"C1", "鈴木", 0}, {"C2", "高橋", 1}, {"C5", "田中", 0}, {"C4", "伊藤", 1}})),
          model(source) {
        model.SetObserver(&events);
        model.SetColumns({{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"Sex", "性別"}},
                         ColumnWidthMode::Stored);
        std::vector<CKokyakuListItem> items;
        for (std::size_t i = 0; i < source->rows.size(); ++i) items.push_back({source->Record(i), nullptr});
        model.SetRows(items);
        events.log.clear();
    }
    std::vector<std::string> Ids() const {
        std::vector<std::string> ids;
        for (int r = 0; r < model.RowCount(); ++r) ids.push_back(model.CellText(r, 0));
        return ids;
    }

    TestPorts ports;
    std::shared_ptr<TableSource> source;
    CKokyakuListModel model;
    Events events;
};

TEST_F(KokyakuListModelTest, FocusedRowCountsWhenNoneIsSelected) {
    EXPECT_EQ(model.SelectedCount(), 0);
    EXPECT_EQ(model.NextSelected(-1), -1);
    model.SetFocusFromView(2);
    EXPECT_EQ(model.SelectedCount(), 1);
    EXPECT_EQ(model.NextSelected(-1), 2);
    EXPECT_EQ(model.NextSelected(2), -1);
    EXPECT_EQ(model.SelectedRows(), std::vector<int>{2});
    // Once a row is selected the focus no longer counts.
    model.SetSelectedFromView(4, true);
    EXPECT_EQ(model.SelectedRows(), std::vector<int>{4});
    model.SetSelectedFromView(0, true);
    EXPECT_EQ(model.SelectedRows(), (std::vector<int>{0, 4}));
    EXPECT_EQ(model.SelectedCount(), 2);
}

TEST_F(KokyakuListModelTest, SelectOnlyAndSingleSelection) {
    model.SelectAll();
    EXPECT_EQ(model.SelectedCount(), 5);
    model.SelectOnly(3);
    EXPECT_EQ(model.SelectedRows(), std::vector<int>{3});
    EXPECT_EQ(model.FocusedRow(), 3);
    EXPECT_EQ(events.log, (std::vector<std::string>{"selection", "selection", "scroll 3"}));
    // Single selection keeps the first selected row.
    model.SetSelectedFromView(1, true);
    model.SetSingleSelection(true);
    EXPECT_EQ(model.SelectedRows(), std::vector<int>{1});
    model.SelectAll();  // refused while single
    EXPECT_EQ(model.SelectedCount(), 1);
    model.SetSingleSelection(false);
    model.SelectAll();
    EXPECT_EQ(model.SelectedCount(), 5);
}

TEST_F(KokyakuListModelTest, TwoHeadingClicksOnDifferentColumnsKeepSelectionAndFocusOnTheirRows) {
    model.SetSelectedFromView(0, true);  // C3
    model.SetFocusFromView(1);           // C1
    EXPECT_TRUE(model.SortByColumn(0));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C1", "C2", "C3", "C4", "C5"}));
    EXPECT_FALSE(model.SortByColumn(2));  // Sex, descending; ties keep the reversed order
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C4", "C3", "C2", "C5", "C1"}));
    EXPECT_EQ(model.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(model.FocusedRow(), 4);
    EXPECT_TRUE(model.SortByColumn(0));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C1", "C2", "C3", "C4", "C5"}));
}

TEST_F(KokyakuListModelTest, DescendingAfterAscendingIsTheFullSortsResult) {
    // Ties on 性別; the second sort of a column only reverses the first, which
    // must give what sorting from scratch gives.
    CKokyakuListModel fresh(source);
    fresh.SetColumns(model.Columns(), ColumnWidthMode::Stored);
    std::vector<CKokyakuListItem> items;
    for (int r = 0; r < model.RowCount(); ++r) items.push_back(model.Item(r));
    model.SetFocusFromView(1);
    model.Sort(2, true);
    fresh.SetRows(items);
    fresh.Sort(2, true);
    model.Sort(2, false);
    fresh.Sort(2, false);
    std::vector<std::string> got, expected;
    for (int r = 0; r < model.RowCount(); ++r) {
        got.push_back(model.CellText(r, 0));
        expected.push_back(fresh.CellText(r, 0));
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got, (std::vector<std::string>{"C4", "C2", "C3", "C5", "C1"}));
    EXPECT_EQ(model.CellText(model.FocusedRow(), 0), "C1");

    // A changed row makes the next descending sort a full one.
    model.Sort(1, true);
    source->rows[0].name = "阿部";  // C3, second in code point order before
    model.UpdateRow(model.Item(1).row);
    model.Sort(1, false);
    EXPECT_EQ(model.CellText(1, 0), "C3");  // a reverse would leave C1 here
}

TEST_F(KokyakuListModelTest, InsertUpdateRemove) {
    TableSource& s = *source;
    s.rows.push_back({"C6", "渡辺", 0});
    model.SetFocusFromView(0);
    EXPECT_EQ(model.InsertRow(s.Record(5), 0), 0);
    EXPECT_EQ(model.FocusedRow(), 1);
    EXPECT_EQ(model.InsertRow(s.Record(5), 7), -1);
    EXPECT_EQ(model.RowCount(), 6);
    EXPECT_EQ(model.UpdateRow(s.Record(2)), 3);
    EXPECT_EQ(model.UpdateRow(s.Record(40)), -1);
    model.SetSelectedFromView(3, true);
    EXPECT_TRUE(model.RemovePair(s.Record(2)));
    EXPECT_FALSE(model.RemovePair(s.Record(2)));
    EXPECT_EQ(model.RowCount(), 5);
    EXPECT_EQ(model.SelectedCount(), 1);  // the focus again
    EXPECT_EQ(model.NextSelected(-1), 1);
    EXPECT_EQ(events.log, (std::vector<std::string>{"insert 0", "change 3", "remove 3", "selection"}));
}

TEST_F(KokyakuListModelTest, RemoveRecordsInOnePassKeepsSelectionOfTheRest) {
    model.SetSelectedFromView(1, true);
    model.SetSelectedFromView(3, true);
    model.SetFocusFromView(4);
    EXPECT_EQ(model.RemoveRecords({source->Record(0), source->Record(1), source->Record(40)}), 2);
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C2", "C5", "C4"}));
    EXPECT_EQ(model.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(model.FocusedRow(), 2);
    EXPECT_EQ(model.RemoveRecords({source->Record(40)}), 0);
}

}  // namespace
