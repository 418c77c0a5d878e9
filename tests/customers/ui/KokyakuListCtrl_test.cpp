#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QApplication>
#include <QCollator>
#include <QLocale>
#include <QMouseEvent>
#include <numeric>
#include <random>

#include <QThread>

#include "common/SjisText.h"
#include "customers/KokyakuListCells.h"
#include "customers/KokyakuRow.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "support/TestPorts.h"

namespace {

// Opaque row addresses with a table of texts: the list never looks inside a row.
class TextTable final : public IListCellSource {
public:
    explicit TextTable(std::vector<std::vector<std::string>> rows) : rows(std::move(rows)), marks(this->rows.size()) {}
    CKokyakuRow* Record(std::size_t i) { return reinterpret_cast<CKokyakuRow*>(&marks[i]); }
    std::size_t Index(const CKokyakuRow* r) const { return reinterpret_cast<const char*>(r) - marks.data(); }
    std::string CellText(const CKokyakuListItem& item, const std::vector<CListColumn>&,
                         std::size_t column) const override {
        return rows[Index(item.row)][column];
    }
    CListSortKey SortKey(const CKokyakuListItem& item, const std::string& field, ListSortKind) const override {
        CListSortKey k;
        k.text = rows[Index(item.row)][field == "Name" ? 1 : 0];
        return k;
    }
    std::vector<std::vector<std::string>> rows;
    std::vector<char> marks;
};

void ClickHeading(QHeaderView* header, int section) {
    QPointF pos(header->sectionViewportPosition(section) + 5, 5);
    QPointF global = header->viewport()->mapToGlobal(pos);
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(header->viewport(), &press);
    QApplication::sendEvent(header->viewport(), &release);
}

struct ListFixture : ::testing::Test {
    ListFixture() {
        table = std::make_shared<TextTable>(std::vector<std::vector<std::string>>{
            {"C2", "ｂｅｔａ", "100"}, {"C1", "Alpha", "2.5"}, {"C3", "alpha", "0"}});
        list = std::make_unique<CKokyakuListCtrl>(table);
        list->resize(600, 300);
        ports.profile.WriteInt("Settings-KList", "colwidth0", 0);
        list->SetColumns({{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"金額", "金額"}},
                         ColumnWidthMode::Stored);
        std::vector<CKokyakuListItem> items;
        for (std::size_t i = 0; i < table->rows.size(); ++i) items.push_back({table->Record(i), nullptr});
        list->SetRows(items);
    }
    QString Cell(int r, int c) { return list->model()->index(r, c).data().toString(); }

    TestPorts ports;
    std::shared_ptr<TextTable> table;
    std::unique_ptr<CKokyakuListCtrl> list;
};

TEST_F(ListFixture, ShowsCellsAndWidthsAndStoresTheWidthsWhenItGoes) {
    EXPECT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(Cell(0, 1), QString::fromUtf8("ｂｅｔａ"));
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("氏名"));
    auto align = [&](int c) { return list->model()->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>(); };
    EXPECT_TRUE(align(2) & Qt::AlignRight);
    EXPECT_TRUE(align(1) & Qt::AlignLeft);
    EXPECT_EQ(list->header()->sectionSize(0), 20);  // stored 0
    EXPECT_EQ(list->header()->sectionSize(1), 100);

    list->header()->resizeSection(1, 180);
    list.reset();
    EXPECT_EQ(ports.profile.GetInt("Settings-KList", "colwidth0", -1), 20);
    EXPECT_EQ(ports.profile.GetInt("Settings-KList", "colwidth1", -1), 180);
    EXPECT_EQ(ports.profile.GetInt("Settings-KList", "colwidth2", -1), -1);  // 金額 is never stored
}

TEST_F(ListFixture, UserSelectionReachesTheModelAndBack) {
    list->selectionModel()->setCurrentIndex(list->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    // Focused but not selected: it counts as the selection.
    EXPECT_EQ(list->NextSelected(-1), 1);
    EXPECT_EQ(list->NextSelected(1), -1);
    list->selectAll();
    EXPECT_EQ(list->SelectedCount(), 3);
    list->SelectOnly(2);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list->selectionModel()->currentIndex().row(), 2);
    EXPECT_TRUE(list->selectionModel()->isRowSelected(2, {}));
}

TEST_F(ListFixture, HeadingClicksSortUpThenDown) {
    auto codes = [&] { return Cell(0, 0) + Cell(1, 0) + Cell(2, 0); };
    ClickHeading(list->header(), 1);
    EXPECT_EQ(codes(), "C1C3C2");  // case-insensitive: "Alpha" and "alpha" tie and keep their order
    ClickHeading(list->header(), 0);
    EXPECT_EQ(codes(), "C3C2C1");
}

TEST_F(ListFixture, SelectedRowsKeepTheHighlightWithoutFocus) {
    list->SelectOnly(1);
    list->clearFocus();
    ASSERT_FALSE(list->hasFocus());
    QImage image = list->viewport()->grab().toImage();
    const int x = list->header()->sectionViewportPosition(1) + list->header()->sectionSize(1) - 3;
    auto colourAt = [&](int row) {
        QRect r = list->visualRect(list->model()->index(row, 1));
        return image.pixelColor(x, r.center().y());
    };
    EXPECT_EQ(colourAt(1), list->palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(colourAt(0), list->palette().color(QPalette::Active, QPalette::Base));
}

TEST(KokyakuListDelegate, LongAddressIsCutAtWholeCharacters) {
    QFont font;
    QFontMetrics fm(font);
    const QString address = QString::fromUtf8("北海道札幌市中央区北一条西二丁目一番地札幌時計台ビル");
    for (int width = 20; width < 400; width += 7) {
        QString shown = CKokyakuListDelegate::DisplayText(address, fm, width, 1);
        if (shown == address) continue;
        ASSERT_TRUE(shown.endsWith("...")) << width;
        QString prefix = shown.chopped(3);
        EXPECT_TRUE(address.startsWith(prefix));
        std::string bytes = prefix.toStdString();
        EXPECT_EQ(SjisToUtf8(Utf8ToSjis(bytes)), bytes);
        if (!prefix.isEmpty()) {
            EXPECT_LE(fm.horizontalAdvance(shown), width - 12) << width;
        }
    }
}

TEST(CollatorTextOrder, EqualTextsShareARankIgnoringCase) {
    CCollatorTextOrder order;
    std::vector<uint32_t> r = order.Ranks({"beta", "Alpha", "東京都", "alpha", "beta", "ALPHA", ""});
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[1], r[3]);
    EXPECT_EQ(r[1], r[5]);
    EXPECT_EQ(r[0], r[4]);
    EXPECT_LT(r[6], r[1]);  // empty first
    EXPECT_LT(r[1], r[0]);
    EXPECT_LT(r[0], r[2]);  // Latin before kanji
}

TEST(CollatorTextOrder, RanksFollowTheToolkitsJapaneseCollator) {
    // Texts built from pieces where case, width, kana, voicing, marks and
    // normalisation matter, some long and some not UTF-8: the ranks must
    // order every pair as the toolkit's case-insensitive Japanese collator does.
    const char* pieces[] = {"a",  "A",  "ａ", "Ａ", "b",  "ｂ", "1",  "１", "-",  "ー", "ｰ",  "あ", "ア",
                            "ｱ",  "が", "ガ", "ｶﾞ", "か", "山", "髙", "高", "﨑", "崎", " ",  "　", "・",
                            "（", "é",  "e\xCC\x81", "ß", "ss", "ゃ", "ャ", "～", "①", "Ⅰ",  "𠀋", "ヴ", "々", "\xFF"};
    std::mt19937 rng(7);
    std::vector<std::string> texts = {"", std::string(400, 'z'), std::string(200, 'Z') + "山"};
    // Enough texts that their keys are made on two threads.
    for (int i = 0; i < 60000; ++i) {
        std::string t;
        for (int n = 1 + static_cast<int>(rng() % 6); n > 0; --n) t += pieces[rng() % std::size(pieces)];
        texts.push_back(t);
    }
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const CCollatorTextOrder order;
    const std::vector<uint32_t> ranks = order.Ranks({texts.begin(), texts.end()});
    int checked = 0;
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j : {(i * 7919 + 1) % texts.size(), (i + 1) % texts.size(), std::size_t{0}, std::size_t{2}}) {
            const int expected = collator.compare(QString::fromUtf8(texts[i]), QString::fromUtf8(texts[j]));
            const int got = ranks[i] < ranks[j] ? -1 : ranks[i] > ranks[j] ? 1 : 0;
            ASSERT_EQ(got, expected < 0 ? -1 : expected > 0 ? 1 : 0) << texts[i] << " | " << texts[j];
            // Comparing two texts agrees with their ranks.
            const int compared = order.Compare(texts[i], texts[j]);
            ASSERT_EQ(got, compared < 0 ? -1 : compared > 0 ? 1 : 0) << texts[i] << " | " << texts[j];
            ++checked;
        }
    EXPECT_GT(checked, 200000);
}

TEST(CollatorTextOrder, TextsSharingLongBeginningsRankAsTheCollatorOrdersThem) {
    // Addresses: a few long shared beginnings, numbers, repeats and variants
    // that differ only in width or case. In rank order each text must not
    // sort after the next, and equal ranks must be equal texts to the collator.
    const char* heads[] = {"東京都千代田区丸の内", "東京都千代田区丸の内一丁目", "大阪府大阪市北区梅田", "東京都千代田区"};
    const char* tails[] = {"", "ビル", "ﾋﾞﾙ", "Bldg", "BLDG", "ハイツ２０１", "ハイツ201"};
    std::mt19937 rng(11);
    std::vector<std::string> texts;
    for (int i = 0; i < 60000; ++i)
        texts.push_back(std::string(heads[rng() % std::size(heads)]) + std::to_string(rng() % 40) + "-" +
                        std::to_string(rng() % 30) + tails[rng() % std::size(tails)]);
    const std::vector<uint32_t> ranks = CCollatorTextOrder().Ranks({texts.begin(), texts.end()});
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::string& a = texts[order[i - 1]];
        const std::string& b = texts[order[i]];
        const int c = collator.compare(QString::fromUtf8(a), QString::fromUtf8(b));
        if (ranks[order[i - 1]] == ranks[order[i]]) ASSERT_EQ(c, 0) << a << " | " << b;
        else ASSERT_LT(c, 0) << a << " | " << b;
    }
}

TEST(CollatorTextOrder, PrintableAsciiTextsOrderAsTheCollatorOrdersThem) {
    // Codes, numbers and punctuation, some longer than 16 characters, with
    // case variants and shared beginnings; alone and beside one text that is
    // not ASCII (ranked through keys), every pair must compare alike.
    std::mt19937 rng(3);
    const std::string alphabet = " !\"#$%&'()*+,-./0123456789:;<=>?@ABCXYZ[\\]^_`abcxyz{|}~";
    std::vector<std::string> texts = {"", "a", "A", "a-", "a0", "A_", std::string(20, '9'), std::string(20, '9') + "-"};
    for (int i = 0; i < 60000; ++i) {
        std::string t = i % 3 ? "C-" : "";
        for (int n = static_cast<int>(rng() % 20); n > 0; --n) t += alphabet[rng() % alphabet.size()];
        texts.push_back(t);
    }
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::string_view> views(texts.begin(), texts.end());
    const std::vector<uint32_t> ascii = CCollatorTextOrder().Ranks(views);
    views.push_back("あ");
    const std::vector<uint32_t> keyed = CCollatorTextOrder().Ranks(views);
    auto sign = [](long long v) { return v < 0 ? -1 : v > 0 ? 1 : 0; };
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j : {(i * 7919 + 1) % texts.size(), (i + 1) % texts.size(), std::size_t{0}, std::size_t{7}}) {
            const int expected = sign(collator.compare(QString::fromUtf8(texts[i]), QString::fromUtf8(texts[j])));
            ASSERT_EQ(sign(static_cast<long long>(ascii[i]) - ascii[j]), expected) << texts[i] << " | " << texts[j];
            ASSERT_EQ(sign(static_cast<long long>(keyed[i]) - keyed[j]), expected) << texts[i] << " | " << texts[j];
        }
}

TEST(CollatorTextOrder, KeptRanksOrderLaterTextsAsAFreshOrderDoes) {
    // One order over calls with known, new and case-variant texts against a
    // fresh order for each call: every pair must compare the same way.
    CCollatorTextOrder kept;
    const std::vector<std::vector<std::string>> calls = {
        {"佐藤", "鈴木", "beta", "", "ｻﾄｳ"},
        {"鈴木", "佐藤", "Beta", "alpha", "高橋", "", "さとう"},
        {"ALPHA", "gamma", "佐藤", "東京都千代田区", "alpha"},
        {"鈴木", "佐藤"},
    };
    for (const auto& texts : calls) {
        const std::vector<std::string_view> views(texts.begin(), texts.end());
        const std::vector<uint32_t> a = kept.Ranks(views), b = CCollatorTextOrder().Ranks(views);
        ASSERT_EQ(a.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i)
            for (std::size_t j = 0; j < texts.size(); ++j) {
                EXPECT_EQ(a[i] < a[j], b[i] < b[j]) << texts[i] << " " << texts[j];
                EXPECT_EQ(a[i] == a[j], b[i] == b[j]) << texts[i] << " " << texts[j];
            }
    }
}

TEST(CollatorTextOrder, AFreshOrderRanksAsItsOriginAndStopsWhenAsked) {
    // Enough texts that keys are made on two threads.
    std::vector<std::string> texts;
    for (int i = 0; i < 60000; ++i)
        texts.push_back((i % 3 ? "ｻﾄｳ" : "佐藤") + std::to_string((i * 7919) % 60000) + (i % 2 ? "a" : "A"));
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    const CCollatorTextOrder shared;
    const std::unique_ptr<ITextOrder> fresh = shared.Fresh();
    EXPECT_EQ(fresh->Ranks(views), shared.Ranks(views));
    fresh->Stop();
    EXPECT_TRUE(fresh->Ranks(views).empty());
    EXPECT_TRUE(fresh->Ranks({"a"}).empty());
    EXPECT_EQ(shared.Ranks({"b", "a"}).size(), 2u);
}

// The collator order, counting the texts it ranks itself (not its fresh orders').
class CountedOrder final : public ITextOrder {
public:
    std::vector<uint32_t> Ranks(const std::vector<std::string_view>& texts) const override {
        ranked += texts.size();
        return m_order.Ranks(texts);
    }
    int Compare(std::string_view a, std::string_view b) const override { return m_order.Compare(a, b); }
    std::unique_ptr<ITextOrder> Fresh() const override { return m_order.Fresh(); }
    mutable std::size_t ranked = 0;

private:
    CCollatorTextOrder m_order;
};

// The list ranks its text columns ahead from its own timer, again after a
// row changed, and a heading click then sorts as without it.
TEST(KokyakuListCtrlAhead, TheTimerRanksAheadAndClicksSortAsWithout) {
    TestPorts ports;
    CKokyakuRows rows;
    ASSERT_TRUE(rows.Keep({"Name"}));
    CKokyakuRows::Storage made;
    const char* names[] = {"佐藤", "さとう", "ｻﾄｳ", "Sato", "sato", "鈴木", "", "高橋"};
    for (int i = 0; i < 64; ++i) {
        CKokyaku k;
        k.ID = i + 1;
        k.CustomerID = "C" + std::to_string(64 - i);
        k.Name = names[i % std::size(names)];
        made.push_back(rows.MakeRow(k));
    }
    rows.Adopt(std::move(made));
    std::vector<CKokyakuListItem> items;
    for (const auto& row : rows) items.push_back({row.get(), nullptr});

    CKokyakuListCtrl list(MakeKokyakuCellSource());
    CKokyakuListModel plain(MakeKokyakuCellSource());
    plain.SetTextOrder(std::make_shared<CCollatorTextOrder>());
    plain.SetPrepareMinimum(SIZE_MAX);
    for (CKokyakuListModel* m : {&list.List(), &plain}) {
        m->SetColumns({{"CustomerID", "お客様コード"}, {"Name", "氏名"}}, ColumnWidthMode::Stored);
        m->SetRows(items);
    }
    auto counted = std::make_shared<CountedOrder>();
    list.List().SetTextOrder(counted);
    list.List().SetPrepareMinimum(1);
    auto settle = [&] {
        for (int i = 0; i < 100000 && list.PreparingSorts(); ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        return !list.PreparingSorts();
    };
    auto keys = [](const CKokyakuListModel& m) {
        std::vector<int32_t> out;
        for (int r = 0; r < m.RowCount(); ++r) out.push_back(m.Item(r).row->ID);
        return out;
    };
    ASSERT_TRUE(list.PreparingSorts());
    ASSERT_TRUE(settle());
    ClickHeading(list.header(), 1);
    plain.Sort(1, true);
    EXPECT_EQ(keys(list.List()), keys(plain));
    EXPECT_EQ(counted->ranked, 0u);

    ASSERT_TRUE(rows.Update(rows[3].ID, [](CKokyaku& k) { k.Name = "ア"; }));
    list.UpdateRow(&rows[3]);
    EXPECT_TRUE(list.PreparingSorts());
    ASSERT_TRUE(settle());
    ClickHeading(list.header(), 0);
    ClickHeading(list.header(), 1);
    plain.Sort(0, false);
    plain.Sort(1, true);
    EXPECT_EQ(keys(list.List()), keys(plain));
    EXPECT_EQ(counted->ranked, 0u);
}

}  // namespace
