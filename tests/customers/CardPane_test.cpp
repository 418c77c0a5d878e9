#include <gtest/gtest.h>

#include "customers/CardPane.h"
#include "customers/Kokyaku.h"
#include "support/TestPorts.h"

namespace {

CRirekiList Entries(std::initializer_list<std::tuple<int, const char*, const char*, int>> rows) {
    CRirekiList list;
    for (const auto& [id, title, keyword, day] : rows) {
        auto r = std::make_unique<CRirekiData>();
        r->ID = id;
        r->ActionTitle = title;
        r->Keyword = keyword;
        r->Action = "line1\nline2";
        r->Date = CDateTime::FromParts(2024, 3, day, 10, 0);
        list.push_back(std::move(r));
    }
    return list;
}

std::vector<int32_t> Ids(const CCardPaneLogic& card) {
    std::vector<int32_t> ids;
    for (int r = 0; r < card.RowCount(); ++r) ids.push_back(card.Row(r)->ID);
    return ids;
}

}  // namespace

TEST(CardLayout, TabsButtonsAndPage) {
    EXPECT_EQ(CardTabRect(2, 500), (CardRect{420, 0, 80, 25}));
    EXPECT_EQ(CardTabRect(0, 240).x, 0);
    EXPECT_EQ(CardButtonRect(4), (CardRect{307, 32, 70, 20}));
    EXPECT_EQ(CardPageRect(400, 300), (CardRect{7, 59, 386, 234}));
    EXPECT_EQ(HistoryColumnWidths(600), (std::vector<int>{100, 100, 300, 100}));
    EXPECT_EQ(HistoryColumnWidths(250)[2], 100);
}

// One direction for the pane: each click, on any column and for any customer
// shown, reverses the direction used last.
TEST(CardHistory, SortDirectionIsSharedByColumnsAndCustomers) {
    CRirekiList first = Entries({{1, "b", "k", 5}, {2, "A", "x", 7}, {3, "c", "x", 1}});
    CRirekiList second = Entries({{4, "a", "k", 2}, {5, "b", "k", 9}});
    CCardPaneLogic card;
    card.SetHistory(&first);
    card.SortByColumn(1);  // ascending
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{2, 1, 3}));
    card.SortByColumn(0);  // another column: descending
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{2, 1, 3}));
    card.SortByColumn(1);  // ascending
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{2, 1, 3}));
    card.SetHistory(&second);
    card.SortByColumn(0);  // another customer: descending
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{5, 4}));
}

TEST(CardHistory, SortFindAndWalk) {
    TestPorts ports;
    CRirekiList list = Entries({{1, "b", "k", 5}, {2, "A", "x", 7}, {3, "c", "x", 1}});
    CCardPaneLogic card;
    card.SetHistory(&list);
    EXPECT_EQ(card.Selected(), -1);
    EXPECT_EQ(card.CellText(0, 0), "2024/03/05");

    card.SortByColumn(1);  // text, case-insensitive
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{2, 1, 3}));
    card.SortByColumn(1);
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{3, 1, 2}));
    card.SortByColumn(0);  // by date; the third click is ascending again
    EXPECT_EQ(Ids(card), (std::vector<int32_t>{3, 1, 2}));

    EXPECT_TRUE(card.Find("x", true));
    EXPECT_EQ(card.SelectedEntry()->ID, 3);
    EXPECT_TRUE(card.Find("x", true));
    EXPECT_EQ(card.SelectedEntry()->ID, 2);
    EXPECT_FALSE(card.Find("x", true));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"検索が終了しました。\n"});
    EXPECT_TRUE(card.Find("line2", false));
    EXPECT_EQ(card.SelectedEntry()->ID, 1);

    bool more = true;
    EXPECT_EQ(card.PreviousEntry(more)->ID, 3);
    EXPECT_FALSE(more);
    EXPECT_EQ(card.PreviousEntry(more), nullptr);
    bool prev = false, next = false;
    EXPECT_EQ(card.LocateEntry(1, prev, next)->ID, 1);
    EXPECT_TRUE(prev && next);

    auto added = std::make_unique<CRirekiData>();
    added->ID = 9;
    card.AddHistoryRow(added.get());
    EXPECT_EQ(card.Selected(), 0);
    card.RemoveHistoryRow(added.get());
    EXPECT_EQ(card.Selected(), -1);
    EXPECT_EQ(card.RowCount(), 3);
    card.SetHistory(nullptr);
    EXPECT_EQ(card.RowCount(), 0);
}

TEST(CardDetail, ItemsLabelsAndMarks) {
    CKokyaku k;
    k.ID = 12;
    k.ClosingDay = 99;
    k.ColorMark = 0x0000FF;
    k.URL1 = "http://example.invalid/";
    auto label = [](const std::string& f) { return f == "ClosingDay" ? std::string("締日") : std::string(); };
    const auto items = DetailItems(&k, label);
    ASSERT_EQ(items.size(), 71u);
    EXPECT_EQ(items.front().field, "ID");
    EXPECT_EQ(items.front().value, "12");
    EXPECT_EQ(items.back().field, "CommonMail");
    auto find = [&](const char* f) {
        for (const auto& i : items)
            if (i.field == f) return i;
        return CDetailItem{};
    };
    EXPECT_EQ(find("ClosingDay").value, "月末");
    EXPECT_EQ(find("ClosingDay").label, "締日");
    EXPECT_EQ(find("URL1").kind, DetailKind::Url);
    EXPECT_EQ(find("EMail3").kind, DetailKind::Mail);
    EXPECT_EQ(find("ColorMark").color, 0x0000FFu);
    k.ClosingDay = 20;
    EXPECT_EQ(DetailText(k, "ClosingDay"), "20");
    for (const auto& i : DetailItems(nullptr, label)) EXPECT_EQ(i.value, "") << i.field;

    struct Case {
        const char* ranking;
        CustomerMark mark;
    } cases[] = {{"VIP", CustomerMark::Vip}, {"ブラックリスト", CustomerMark::Caution}, {"", CustomerMark::None},
                 {"vip", CustomerMark::None}};
    for (const auto& c : cases) {
        k.ImportantRanking = c.ranking;
        EXPECT_EQ(MarkOf(&k), c.mark) << c.ranking;
    }
}
