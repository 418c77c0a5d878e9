#include <gtest/gtest.h>

#include "common/SjisText.h"
#include "customers/KokyakuListColumns.h"
#include "customers/KokyakuListSort.h"
#include "support/TestPorts.h"

namespace {

CListSortKey Int(int64_t v) {
    CListSortKey k;
    k.integer = v;
    return k;
}
CListSortKey Num(double v, bool present = true) {
    CListSortKey k;
    k.number = v;
    k.present = present;
    return k;
}
CListSortKey Text(std::string t) {
    CListSortKey k;
    k.text = std::move(t);
    return k;
}

TEST(KokyakuListSort, IntegersNumericallyAndDescendingIsExactReverseIncludingTies) {
    CFoldedTextOrder order;
    std::vector<CListSortKey> keys{Int(10), Int(9), Int(10), Int(-1)};
    EXPECT_EQ(SortedRowOrder(ListSortKind::Integer, keys, true, order), (std::vector<std::size_t>{3, 1, 0, 2}));
    EXPECT_EQ(SortedRowOrder(ListSortKind::Integer, keys, false, order), (std::vector<std::size_t>{2, 0, 1, 3}));
}

TEST(KokyakuListSort, UnsetDatesFirstAscending) {
    CFoldedTextOrder order;
    std::vector<CListSortKey> keys{Num(45000), Num(0, false), Num(40000)};
    EXPECT_EQ(SortedRowOrder(ListSortKind::Date, keys, true, order), (std::vector<std::size_t>{1, 2, 0}));
}

TEST(KokyakuListSort, HitValuesAndRowsWithoutHits) {
    CFoldedTextOrder order;
    std::vector<CListSortKey> amounts{Num(1200.5), Num(99.25), Num(1e6)};
    EXPECT_EQ(SortedRowOrder(ListSortKind::HitNumber, amounts, true, order), (std::vector<std::size_t>{1, 0, 2}));
    // Without hits every row compares equal: the order stays.
    std::vector<CListSortKey> none{Num(0, false), Num(0, false), Num(0, false)};
    EXPECT_EQ(SortedRowOrder(ListSortKind::HitInteger, none, true, order), (std::vector<std::size_t>{0, 1, 2}));
}

TEST(KokyakuListSort, TextIgnoresCaseOfAsciiAndFullWidthLetters) {
    CFoldedTextOrder order;
    std::vector<CListSortKey> keys{Text("b"), Text("A"), Text("ａｂ"), Text("Ａａ"), Text("a")};
    auto up = SortedRowOrder(ListSortKind::Text, keys, true, order);
    // "A" and "a" tie and keep their order; full-width letters after ASCII.
    EXPECT_EQ(up, (std::vector<std::size_t>{1, 4, 0, 3, 2}));
}

TEST(KokyakuListColumns, StoredWidthsDefaultAndBelowOne) {
    TestPorts ports;
    ports.profile.WriteInt("Settings-KList", "colwidth0", 0);
    ports.profile.WriteInt("Settings-KList", "colwidth1", 240);
    ports.profile.WriteInt("Settings-KList", "colwidth2", -5);
    std::vector<std::string> fields{"CustomerID", "Name", "Yomi", "TEL_Home"};
    EXPECT_EQ(ColumnWidths(fields, ColumnWidthMode::Stored, {}), (std::vector<int>{20, 240, 20, 100}));
    EXPECT_EQ(ColumnWidths(fields, ColumnWidthMode::Extraction, {1, 2}), (std::vector<int>{150, 150, 150, 150}));
    EXPECT_EQ(ColumnWidths(fields, ColumnWidthMode::Given, {120, 80}), (std::vector<int>{120, 80, 150, 150}));
}

TEST(KokyakuListColumns, AnalysisWidthsAreNeverStored) {
    TestPorts ports;
    StoreColumnWidths({"金額", "CustomerID", "日時", "Name", "回数", "日数"}, {100, 70, 120, 180, 90, 95});
    std::map<std::pair<std::string, std::string>, int32_t> expected{
        {{"Settings-KList", "colwidth0"}, 70}, {{"Settings-KList", "colwidth1"}, 180}};
    EXPECT_EQ(ports.profile.ints, expected);
}

// Full-width characters draw 12 pixels wide, others 6.
int Measure(std::string_view text) {
    int w = 0;
    for (std::size_t pos = 0; pos < text.size();) w += NextCodePoint(text, pos) < 0x80 ? 6 : 12;
    return w;
}

TEST(KokyakuListColumns, CutKeepsWholeCharacters) {
    const std::string address = "東京都千代田区神田須田町一丁目２４番地３号";
    EXPECT_EQ(CutToWidth(address, 1000, Measure), address);
    for (int width = 0; width < Measure(address); ++width) {
        std::string cut = CutToWidth(address, width, Measure);
        ASSERT_GE(cut.size(), 3u);
        ASSERT_EQ(cut.substr(cut.size() - 3), "...");
        std::string prefix = cut.substr(0, cut.size() - 3);
        EXPECT_EQ(address.compare(0, prefix.size(), prefix), 0) << width;
        // A prefix of whole characters survives the Shift-JIS round trip.
        EXPECT_EQ(SjisToUtf8(Utf8ToSjis(prefix)), prefix) << width;
        if (width >= 18) {
            EXPECT_LE(Measure(cut), width);
            // One character more would not fit.
            EXPECT_GT(Measure(prefix) + 12 + 18, width);
        }
    }
    EXPECT_EQ(CutToWidth(address, 42, Measure), "東京...");
    EXPECT_EQ(CutToWidth(address, 41, Measure), "東...");
    EXPECT_EQ(CutToWidth("ab東京", 30, Measure), "ab...");
    EXPECT_EQ(CutToWidth("ab東京", 29, Measure), "a...");
    EXPECT_EQ(CutToWidth("ab東京", 5, Measure), "...");
}

}  // namespace
