// Filling forms: cells of label sheets, vertical columns, postal digits and
// history tables.
#include <gtest/gtest.h>

#include <algorithm>

#include "history/RirekiData.h"
#include "printing/FormFixture.h"
#include "printing/FormPages.h"

namespace {

std::vector<const CPageItem*> TextsIn(const CPrintPage& page, double x, double y, double w, double h) {
    std::vector<const CPageItem*> out;
    for (const CPageItem& it : page.items)
        if (it.kind == PageItemKind::Text && it.x >= x - 1e-6 && it.y >= y - 1e-6 && it.x + it.w <= x + w + 1e-6 &&
            it.y + it.h <= y + h + 1e-6)
            out.push_back(&it);
    return out;
}

bool HasText(const std::vector<const CPageItem*>& items, const std::string& text) {
    return std::any_of(items.begin(), items.end(), [&](const CPageItem* it) { return it->text == text; });
}

}  // namespace

TEST(FormPages, Templates) {
    auto customers = FixtureCustomers();
    CFormFillData data;
    data.own["COM"] = "自社";
    struct Case {
        const char* text;
        int customer;
        const char* out;
    } cases[] = {
        {"〒{@Zip}", 0, "〒123-4567"},
        {"{@Zip}", 1, "530-0001"},  // office address when the home one is empty
        {"{@Address1}", 1, "大阪府大阪市北区梅田2-4-9"},
        {"{@Address2}", 0, "ﾐﾙﾊﾞﾝﾋﾞﾙ4階"},
        {"{Name}　{Suffix}", 2, "鈴木一郎　殿"},
        {"{#COM}/{#NONE}", 0, "自社/"},
        {"{Unknown}x{", 0, "x{"},
    };
    for (const Case& c : cases) EXPECT_EQ(FillTemplate(c.text, customers[c.customer].get(), data), c.out) << c.text;
}

TEST(FormPages, LabelSheetsFillCellsRowByRow) {
    const CFormLayout& form = *FindBuiltInForm(2);
    std::vector<std::unique_ptr<CKokyaku>> owned;
    for (int i = 0; i < 25; ++i) {
        auto k = std::make_unique<CKokyaku>();
        k->Name = "顧客" + std::to_string(i);
        k->Zip_Home = "1000001";
        owned.push_back(std::move(k));
    }
    auto pages = BuildFormPages(form, Pointers(owned), nullptr, {});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_DOUBLE_EQ(pages[0].width, 210);
    for (int i : {0, 4, 23, 24}) {
        const CPrintPage& page = pages[i / 24];
        int cell = i % 24;
        double x = form.left + (cell % 3) * form.pitchX, y = form.top + (cell / 3) * form.pitchY;
        auto inCell = TextsIn(page, x, y, form.cellWidth, form.cellHeight);
        EXPECT_TRUE(HasText(inCell, "顧客" + std::to_string(i))) << i;
        EXPECT_TRUE(HasText(inCell, "〒100-0001")) << i;
        EXPECT_EQ(inCell.size(), 2u) << i;  // blank address lines are left out
    }
}

TEST(FormPages, PostcardNameIsOneCentredColumnAndDigitsSitInTheirBoxes) {
    auto customers = FixtureCustomers();
    const CFormLayout& form = *FindBuiltInForm(3);
    auto pages = BuildFormPages(form, Pointers(customers), nullptr, {});
    ASSERT_EQ(pages.size(), 3u);
    const CPrintPage& page = pages[0];
    std::vector<const CPageItem*> name;
    for (const CPageItem& it : page.items)
        if (it.kind == PageItemKind::Text && it.size > 20) name.push_back(&it);
    std::string column;
    for (const CPageItem* it : name) column += it->text;
    EXPECT_EQ(column, "山田太郎様");
    for (size_t i = 1; i < name.size(); ++i) {
        EXPECT_DOUBLE_EQ(name[i]->x, name[0]->x);
        EXPECT_GT(name[i]->y, name[i - 1]->y);
    }
    double top = name.front()->y, bottom = name.back()->y + name.back()->h;
    EXPECT_NEAR(top - 28, 28 + 105 - bottom, 1e-6);  // centred in its box

    auto boxes = PostalBoxes(100);
    int boxCount = 0;
    for (const CPageItem& it : page.items)
        if (it.kind == PageItemKind::Rect && it.previewOnly) ++boxCount;
    EXPECT_EQ(boxCount, 7);
    const char* digits = "1234567";
    for (int i = 0; i < 7; ++i) {
        auto in = TextsIn(page, boxes[i].x, boxes[i].y, boxes[i].w, boxes[i].h);
        ASSERT_EQ(in.size(), 1u) << i;
        EXPECT_EQ(in[0]->text, std::string(1, digits[i]));
        EXPECT_EQ(in[0]->align, PageAlign::Center);
    }
    // The address column: kanji numerals, the hyphen turned.
    std::string address;
    bool hyphenTurned = false;
    for (const CPageItem& it : page.items)
        if (it.kind == PageItemKind::Text && it.x > 80 && it.x < 90 && it.y > 25) {
            address += it.text;
            if (it.text == "-") hyphenTurned = it.turned;
        }
    EXPECT_EQ(address, "東京都千代田区丸の内一-二-三");
    EXPECT_TRUE(hyphenTurned);
}

TEST(FormPages, LongVerticalTextShrinksIntoItsColumn) {
    std::vector<CPageItem> items;
    std::string text;
    for (int i = 0; i < 30; ++i) text += "あ";
    LayVertical(text, 10, 10, 8, 60, 14, PageFont::Mincho, PageAlign::Left, items);
    ASSERT_EQ(items.size(), 30u);
    EXPECT_LE(items.back().y + items.back().h, 70 + 1e-6);
    EXPECT_LT(items[0].size, 14);
}

TEST(FormPages, HistorySheetsContinueOnNewPages) {
    auto customers = FixtureCustomers();
    std::vector<std::unique_ptr<CRirekiData>> entries;
    std::vector<CRirekiRefs> histories(3);
    for (int i = 0; i < 40; ++i) {
        auto r = std::make_unique<CRirekiData>();
        r->ActionTitle = "件名" + std::to_string(i);
        r->Action = "一行目\r\n二行目";
        r->Money = 1500.5;
        r->Date = CDateTime::FromParts(2024, 1, 2);
        histories[0].push_back(r.get());
        entries.push_back(std::move(r));
    }
    histories[2].push_back(entries[0].get());
    auto pages = BuildFormPages(*FindBuiltInForm(6), Pointers(customers), &histories, {});
    // 40 rows at 7 mm from 36 mm down to 282 mm: 34 on the first page.
    ASSERT_EQ(pages.size(), 4u);
    auto count = [](const CPrintPage& p, const std::string& prefix) {
        return std::count_if(p.items.begin(), p.items.end(),
                             [&](const CPageItem& it) { return it.text.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count(pages[0], "件名"), 34);
    EXPECT_EQ(count(pages[1], "件名"), 6);
    EXPECT_EQ(count(pages[1], "山田太郎"), 1);  // the heading on every page
    EXPECT_EQ(count(pages[2], "件名"), 0);       // no entries: the empty table
    EXPECT_EQ(count(pages[3], "件名"), 1);
    EXPECT_EQ(count(pages[0], "一行目 二行目"), 34);
    EXPECT_EQ(count(pages[0], "1500.5"), 34);
    EXPECT_EQ(count(pages[0], "2024/01/02"), 34);
}

TEST(FormPages, OwnCompanyFormsFillEveryCell) {
    CFormFillData data;
    data.own["NAME"] = "担当太郎";
    auto pages = BuildFormPages(*FindBuiltInForm(8), {}, nullptr, data);
    ASSERT_EQ(pages.size(), 1u);
    int names = 0;
    for (const CPageItem& it : pages[0].items) names += it.text == "担当太郎";
    EXPECT_EQ(names, 10);
}
