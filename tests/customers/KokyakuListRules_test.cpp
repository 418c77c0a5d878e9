#include <gtest/gtest.h>

#include "common/SjisText.h"
#include "customers/KokyakuListColumns.h"
#include "customers/KokyakuListSort.h"
#include "support/TestPorts.h"

namespace {

CListSortKey Int(int64_t v) { return {true, v, 0, ""}; }
CListSortKey Num(double v, bool present = true) { return {present, 0, v, ""}; }
CListSortKey Text(std::string t) { return {true, 0, 0, std::move(t)}; }

TEST(KokyakuListSort, OrderByKind) {
    struct Case {
        const char* what;
        ListSortKind kind;
        std::vector<CListSortKey> keys;
        bool ascending;
        std::vector<std::size_t> order;
    } cases[] = {
        {"integers numerically", ListSortKind::Integer, {Int(10), Int(9), Int(10), Int(-1)}, true, {3, 1, 0, 2}},
        {"descending is the exact reverse incl. ties", ListSortKind::Integer,
         {Int(10), Int(9), Int(10), Int(-1)}, false, {2, 0, 1, 3}},
        {"unset dates first", ListSortKind::Date, {Num(45000), Num(0, false), Num(40000)}, true, {1, 2, 0}},
        {"hit amounts", ListSortKind::HitNumber, {Num(1200.5), Num(99.25), Num(1e6)}, true, {1, 0, 2}},
        {"rows without hits keep their order", ListSortKind::HitInteger,
         {Num(0, false), Num(0, false), Num(0, false)}, true, {0, 1, 2}},
        {"rows without hits before any hit", ListSortKind::HitNumber,
         {Num(5), Num(0, false), Num(-1e300), Num(0, false), Num(5)}, true, {1, 3, 2, 0, 4}},
        {"equal dates keep their order, unset ones equal", ListSortKind::Date,
         {Num(2, false), Num(40000), Num(1, false), Num(40000), Num(-5)}, true, {0, 2, 4, 1, 3}},
        {"equal texts reverse with the rest", ListSortKind::Text,
         {Text("x"), Text("X"), Text("y")}, false, {2, 1, 0}},
        // "A" and "a" tie and keep their order; full-width letters after ASCII.
        {"text ignores case of ASCII and full-width letters", ListSortKind::Text,
         {Text("b"), Text("A"), Text("ａｂ"), Text("Ａａ"), Text("a")}, true, {1, 4, 0, 3, 2}},
    };
    CFoldedTextOrder order;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SortedRowOrder(c.kind, c.keys, c.ascending, order), c.order);
    }
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
