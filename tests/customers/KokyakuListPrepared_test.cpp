// Ranking a long list's text columns ahead: every sort gives the order a list
// without it gives, also after rows changed, were added or went.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "customers/KokyakuListCells.h"
#include "customers/KokyakuListModel.h"
#include "customers/KokyakuRow.h"

namespace {

// What the orders of a list were asked; a fresh order (the worker's) can be
// held at the start of its ranking until released or stopped.
struct Calls {
    std::atomic<int> own{0}, fresh{0};
    std::mutex mutex;
    std::condition_variable changed;
    bool hold = false;
    bool entered = false;

    void Release() {
        std::lock_guard<std::mutex> lock(mutex);
        hold = false;
        changed.notify_all();
    }
    void WaitEntered() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return entered; });
    }
};

class CountingOrder final : public ITextOrder {
public:
    CountingOrder(std::shared_ptr<Calls> calls, bool fresh) : m_calls(std::move(calls)), m_fresh(fresh) {}

    std::vector<uint32_t> Ranks(const std::vector<std::string_view>& texts) const override {
        if (!m_fresh) {
            ++m_calls->own;
            return CFoldedTextOrder().Ranks(texts);
        }
        ++m_calls->fresh;
        std::unique_lock<std::mutex> lock(m_calls->mutex);
        m_calls->entered = true;
        m_calls->changed.notify_all();
        m_calls->changed.wait(lock, [&] { return !m_calls->hold || m_stopped; });
        if (m_stopped) return {};
        lock.unlock();
        return CFoldedTextOrder().Ranks(texts);
    }
    int Compare(std::string_view a, std::string_view b) const override { return CFoldedTextOrder().Compare(a, b); }
    std::unique_ptr<ITextOrder> Fresh() const override { return std::make_unique<CountingOrder>(m_calls, true); }
    void Stop() const override {
        std::lock_guard<std::mutex> lock(m_calls->mutex);
        m_stopped = true;
        m_calls->changed.notify_all();
    }

private:
    std::shared_ptr<Calls> m_calls;
    bool m_fresh;
    mutable bool m_stopped = false;  // under the calls' mutex
};

const std::vector<CListColumn> kColumns = {{"CustomerID", "お客様コード"}, {"Name", "氏名"},
                                           {"Yomi", "ﾌﾘｶﾞﾅ"},           {"Add_Home_X", "住所"},
                                           {"Sex", "性別"},              {"RirekiUpDate", "履歴更新日"}};
constexpr int kTextColumns = 4;

// Lean rows as the database side makes them, with repeated names (ties),
// case variants and addresses that differ only in their last part.
void Fill(CKokyakuRows& rows, int count) {
    std::vector<std::string> names;
    for (const auto& c : kColumns) names.push_back(c.field);
    ASSERT_TRUE(rows.Keep(names));
    const char* surnames[] = {"佐藤", "Sato", "SATO", "鈴木", "ｻﾄｳ", "", "高橋", "sato"};
    CKokyakuRows::Storage made;
    for (int i = 0; i < count; ++i) {
        CKokyaku k;
        k.ID = i + 1;
        k.CustomerID = "C" + std::to_string((i * 7919) % 100003);
        k.Name = surnames[i % std::size(surnames)];
        k.Yomi = std::string(1 + i % 5, 'a' + static_cast<char>(i % 3));
        k.Add1_Home = i % 2 ? "東京都" : "大阪府";
        k.Add2_Home = "千代田区";
        k.Add3_Home = std::to_string(i % 97) + "番地";
        k.Sex = i % 2;
        made.push_back(rows.MakeRow(k));
    }
    rows.Adopt(std::move(made));
}

std::vector<CKokyakuListItem> ItemsOf(const CKokyakuRows& rows) {
    std::vector<CKokyakuListItem> items;
    for (const auto& row : rows) items.push_back({row.get(), nullptr});
    return items;
}

class PreparedRanksTest : public ::testing::Test {
protected:
    void SetUpLists(int count) {
        Fill(rows, count);
        for (CKokyakuListModel* m : {&model, &plain}) {
            m->SetColumns(kColumns, ColumnWidthMode::Stored);
            m->SetRows(ItemsOf(rows));
        }
        model.SetTextOrder(std::make_shared<CountingOrder>(calls, false));
        model.SetPrepareMinimum(1);
        plain.SetPrepareMinimum(SIZE_MAX);
    }

    // Steps as the list's timer does until nothing is left.
    static void PrepareAll(CKokyakuListModel& m) {
        for (int step = 0; step < 100000; ++step) {
            switch (m.PrepareSorts()) {
            case CPreparedRanks::Progress::Done:
                return;
            case CPreparedRanks::Progress::Waiting:
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                break;
            case CPreparedRanks::Progress::More:
                break;
            }
        }
        FAIL() << "preparing never ends";
    }

    static std::vector<int32_t> Keys(const CKokyakuListModel& m) {
        std::vector<int32_t> keys;
        for (int r = 0; r < m.RowCount(); ++r) keys.push_back(m.Item(r).row->ID);
        return keys;
    }

    // Sorts both lists the same way; they must agree.
    void SortBoth(int column, bool ascending) {
        model.Sort(column, ascending);
        plain.Sort(column, ascending);
        ASSERT_EQ(Keys(model), Keys(plain)) << kColumns[static_cast<std::size_t>(column)].field << " " << ascending;
    }

    CKokyakuRows rows;
    std::shared_ptr<Calls> calls = std::make_shared<Calls>();
    CKokyakuListModel model{MakeKokyakuCellSource()};
    CKokyakuListModel plain{MakeKokyakuCellSource()};  // never prepares
};

TEST_F(PreparedRanksTest, PreparedSortsGiveTheOrderOfSortsWithoutThem) {
    SetUpLists(500);
    PrepareAll(model);
    EXPECT_EQ(calls->fresh, kTextColumns);  // the text columns, each once
    // Ties keep the order of the sort before, in both directions.
    for (auto [column, ascending] : {std::pair{1, true}, {2, false}, {3, true}, {0, false}, {1, false}, {3, false},
                                     {4, true}, {1, true}, {5, false}, {2, true}})
        SortBoth(column, ascending);
    EXPECT_EQ(calls->own, 0);  // no text was ranked on the list's thread
    EXPECT_EQ(calls->fresh, kTextColumns);
}

TEST_F(PreparedRanksTest, ChangedAddedAndRemovedRowsArePlacedAmongTheRanked) {
    SetUpLists(400);
    PrepareAll(model);
    std::mt19937 rng(11);
    const char* names[] = {"佐藤", "sato", "ＳＡＴＯ", "", "鈴木", "ａ", "zz", "高橋"};
    int32_t nextKey = 10000;
    for (int round = 0; round < 300; ++round) {
        const int what = static_cast<int>(rng() % 4);
        const CKokyakuRow& row = rows[rng() % rows.size()];
        if (what == 0) {
            // Equal to texts already ranked, so that ties meet the list order.
            ASSERT_TRUE(rows.Update(row.ID, [&](CKokyaku& k) {
                k.Name = names[rng() % std::size(names)];
                k.Add3_Home = std::to_string(rng() % 97) + "番地";
            }));
            model.UpdateRow(&row);
            plain.UpdateRow(&row);
        } else if (what == 1) {
            CKokyaku k;
            k.ID = nextKey++;
            k.CustomerID = "C" + std::to_string(rng() % 100);
            k.Name = names[rng() % std::size(names)];
            const CKokyakuRow& added = rows.Append(std::make_unique<CKokyaku>(k));
            const int at = static_cast<int>(rng() % static_cast<unsigned>(model.RowCount() + 1));
            model.InsertRow(&added, at);
            plain.InsertRow(&added, at);
        } else if (what == 2 && rows.size() > 300) {
            model.RemovePair(&row);
            plain.RemovePair(&row);
            rows.Remove({row.ID});
        } else {
            SortBoth(static_cast<int>(rng() % kColumns.size()), rng() % 2 == 0);
        }
        // The list's timer steps after every change.
        EXPECT_EQ(model.PrepareSorts(), CPreparedRanks::Progress::Done);
    }
    EXPECT_EQ(calls->own, 0);
    EXPECT_EQ(calls->fresh, kTextColumns);
}

TEST_F(PreparedRanksTest, BeyondAThousandChangedRowsTheColumnsAreRankedAgain) {
    SetUpLists(1500);
    PrepareAll(model);
    for (int i = 0; i < 1100; ++i) {
        ASSERT_TRUE(rows.Update(rows[static_cast<std::size_t>(i)].ID, [](CKokyaku& k) { k.Name += "x"; }));
        model.UpdateRow(&rows[static_cast<std::size_t>(i)]);
    }
    SortBoth(1, true);
    EXPECT_EQ(calls->own, 1);
    PrepareAll(model);
    EXPECT_EQ(calls->fresh, 2 * kTextColumns);
    SortBoth(1, false);
    SortBoth(3, true);
    EXPECT_EQ(calls->own, 1);

    // Reading rows forgets which rows changed: ranked again as well.
    CKokyaku k;
    k.ID = 5000;
    CKokyakuRows::Storage read;
    read.push_back(rows.MakeRow(k));
    rows.Adopt(std::move(read));
    model.InsertRow(&rows[rows.size() - 1], 0);
    plain.InsertRow(&rows[rows.size() - 1], 0);
    SortBoth(2, true);
    EXPECT_EQ(calls->own, 2);
}

TEST_F(PreparedRanksTest, ARowChangedWhileTheWorkerRanksIsPlacedAmongItsRanks) {
    SetUpLists(200);
    calls->hold = true;
    EXPECT_EQ(model.PrepareSorts(), CPreparedRanks::Progress::More);  // the addresses handed over
    calls->WaitEntered();
    ASSERT_TRUE(rows.Update(rows[10].ID, [](CKokyaku& k) { k.Add1_Home = "A"; }));
    model.UpdateRow(&rows[10]);
    calls->Release();
    PrepareAll(model);
    SortBoth(3, true);
    EXPECT_EQ(model.Item(0).row, &rows[10]);
    EXPECT_EQ(calls->own, 0);
    EXPECT_EQ(calls->fresh, kTextColumns);
}

TEST_F(PreparedRanksTest, SortingTheColumnBeingRankedTakesTheWorkersRanks) {
    SetUpLists(200);
    // The longest texts are ranked first: the addresses are handed over.
    EXPECT_EQ(model.PrepareSorts(), CPreparedRanks::Progress::More);
    SortBoth(3, true);
    EXPECT_EQ(calls->own, 0);
    EXPECT_EQ(calls->fresh, 1);
}

TEST_F(PreparedRanksTest, ListChangesWhileCopyingStartTheCopyAgain) {
    // More rows than one step copies.
    SetUpLists(40000);
    EXPECT_EQ(model.PrepareSorts(), CPreparedRanks::Progress::More);
    SortBoth(1, true);  // reorders the rows half copied
    EXPECT_EQ(calls->own, 1);
    EXPECT_EQ(model.PrepareSorts(), CPreparedRanks::Progress::More);

    // A shorter list of the same rows.
    std::vector<CKokyakuListItem> some = ItemsOf(rows);
    some.resize(30000);
    model.SetRows(some);
    plain.SetRows(some);
    PrepareAll(model);
    SortBoth(3, true);
    SortBoth(0, false);
    EXPECT_EQ(calls->own, 1);
}

TEST_F(PreparedRanksTest, ShortListsAndListsOfTwoRowSetsAreNotPrepared) {
    SetUpLists(100);
    model.SetPrepareMinimum(101);
    EXPECT_EQ(model.PrepareSorts(), CPreparedRanks::Progress::Done);
    model.SetPrepareMinimum(1);

    CKokyakuRows others;
    Fill(others, 1);
    std::vector<CKokyakuListItem> mixed = ItemsOf(rows);
    mixed.push_back({&others[0], nullptr});
    model.SetRows(mixed);
    plain.SetRows(mixed);
    PrepareAll(model);
    SortBoth(1, true);
    EXPECT_EQ(calls->fresh, 0);
    EXPECT_EQ(calls->own, 1);
}

TEST_F(PreparedRanksTest, LongListsSortedAtOnceReadEveryRowsText) {
    // Long enough that the texts are read on two threads: each row must sort
    // by its own text, ties in the order before (by address, then by ID).
    SetUpLists(120000);
    const CFoldedTextOrder folded;
    const auto source = MakeKokyakuCellSource();
    auto text = [&](int r, const char* field) {
        std::string storage;
        return std::string(source->SortText(plain.Item(r), field, storage));
    };
    for (int column : {3, 1}) {
        plain.Sort(column, true);
        const char* field = kColumns[static_cast<std::size_t>(column)].field.c_str();
        for (int r = 1; r < plain.RowCount(); ++r) {
            int c = folded.Compare(text(r - 1, field), text(r, field));
            ASSERT_LE(c, 0) << field << " row " << r;
            if (c == 0 && column == 1) c = folded.Compare(text(r - 1, "Add_Home_X"), text(r, "Add_Home_X"));
            ASSERT_LE(c, 0) << field << " row " << r;
            if (c == 0) {
                ASSERT_LT(plain.Item(r - 1).row->ID, plain.Item(r).row->ID) << field << " row " << r;
            }
        }
    }
}

TEST_F(PreparedRanksTest, DroppingTheListStopsTheWorker) {
    SetUpLists(100);
    calls->hold = true;
    auto list = std::make_unique<CKokyakuListModel>(MakeKokyakuCellSource());
    list->SetTextOrder(std::make_shared<CountingOrder>(calls, false));
    list->SetPrepareMinimum(1);
    list->SetColumns(kColumns, ColumnWidthMode::Stored);
    list->SetRows(ItemsOf(rows));
    EXPECT_EQ(list->PrepareSorts(), CPreparedRanks::Progress::More);
    calls->WaitEntered();
    list.reset();  // returns only once the held worker gave up
    EXPECT_EQ(calls->fresh, 1);
}

}  // namespace
