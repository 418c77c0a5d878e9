// The history screen's logic on a real database in a temporary data folder.
#include <gtest/gtest.h>

#include <algorithm>

#include <functional>

#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/Kokyaku.h"
#include "db/MilvaneDataFixture.h"
#include "extract/ExCondition.h"
#include "extract/ExtractDlgLogic.h"
#include "history/RirekiListLogic.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

struct FakeScreen final : IRirekiScreen {
    void SetCountText(const std::string& t) override { count = t; }
    void ShowExtractionButtons(bool shown) override { buttons = shown; }
    bool SaveExtraction() override {
        ++saveDialogs;
        return saveAnswer;
    }
    void SwitchScreen(int s) override { switchedTo.push_back(s); }
    void CloseMainWindow() override { ++closes; }
    int ExtractionDialog(int mode, int kind) override {
        dialogs.push_back({mode, kind});
        return dialog ? dialog() : 0;
    }
    int AnalysisSheet() override {
        ++sheets;
        return sheetKind;
    }
    bool ScreenBuilt(int) const override { return dmBuilt; }

    std::vector<std::pair<int, int>> dialogs;
    std::function<int()> dialog;
    std::string count;
    bool buttons = true;
    int saveDialogs = 0, closes = 0, sheets = 0, sheetKind = 0;
    bool saveAnswer = false, dmBuilt = true;
    std::vector<int> switchedTo;
};

struct Entry {
    int customer;  // 1-based index of the customer added, 0 for a key no customer has
    const char* title;
    int day;
    double money = 0;
};

class RirekiListLogicTest : public ::testing::Test {
protected:
    RirekiListLogicTest() {
        dataDir = MakeInstallation(install);
        doc = OpenDocument(install, true);
        logic = std::make_unique<CRirekiListLogic>(doc.get(), list, screen);
    }
    ~RirekiListLogicTest() override { list.SetRows({}); }

    // Customers C1..Cn named 顧客1.. with company 会社1..; entries added in order,
    // then read back into the document (newest first) and shown.
    void Setup(int customers, const std::vector<Entry>& entries) {
        std::vector<int32_t> keys;
        for (int i = 1; i <= customers; ++i) {
            auto k = std::make_unique<CKokyaku>();
            k->CustomerID = "C" + std::to_string(i);
            k->Name = "顧客" + std::to_string(i);
            k->CompName = "会社" + std::to_string(i);
            keys.push_back(doc->AddKokyaku(k));
        }
        for (const Entry& e : entries) {
            CRirekiData r;
            r.ActionTitle = e.title;
            r.Date = CDateTime::FromParts(2024, 1, e.day);
            r.Money = e.money;
            ASSERT_GT(doc->Database().AddNewRireki(keys[std::size_t(e.customer ? e.customer - 1 : 0)], r,
                                                   CDateTime::Now()),
                      0);
        }
        // An entry of customer 0 belongs to a customer the database does not hold.
        for (const Entry& e : entries)
            if (e.customer == 0)
                ASSERT_TRUE(Sql("UPDATE Rireki SET CustomerID=999999 WHERE ActionTitle='" + std::string(e.title) + "'"));
        ReadAndFill();
    }
    void ReadAndFill() {
        doc->RirekiList.clear();
        ASSERT_EQ(doc->Database().GetRirekiKeys(doc->RirekiList), 1);
        ASSERT_TRUE(logic->Fill());
    }
    // A change made to the database behind the document's back.
    bool Sql(const std::string& sql) { return SecondConnection(doc->Database().GetMLVFName()).Exec(sql); }
    std::vector<std::string> Column(int c) const {
        std::vector<std::string> out;
        for (int r = 0; r < list.RowCount(); ++r) out.push_back(list.CellText(r, c));
        return out;
    }
    void Select(std::initializer_list<int> rows) {
        list.ClearSelection();
        for (int r : rows) list.SetSelectedFromView(r, true);
    }

    TestPorts ports;
    TempDir install;
    std::string dataDir;
    std::unique_ptr<CMilvaneDoc> doc;
    CRirekiListModel list;
    FakeScreen screen;
    std::unique_ptr<CRirekiListLogic> logic;
};

TEST(RirekiColumns, AmountTextAndWidthRules) {
    const struct { double money; const char* text; } amounts[] = {
        {0, "0"}, {12.30, "12.3"}, {-5, "-5"}, {1500.50, "1500.5"}, {1500.00, "1500"}, {0.05, "0.05"}};
    for (const auto& a : amounts) EXPECT_EQ(RirekiAmountText(a.money), a.text) << a.money;

    // The eight other defaults take 650 pixels.
    for (auto [total, width] : {std::pair{1000, 350}, {851, 201}, {850, 200}, {0, 200}})
        EXPECT_EQ(RirekiDetailDefaultWidth(total), width) << total;

    TestPorts ports;
    ports.profile.ints[{"Settings-RList", "colwidth2"}] = 0;
    ports.profile.ints[{"Settings-RList", "colwidth7"}] = 33;
    EXPECT_EQ(LoadRirekiColumnWidths(1000), (std::vector<int>{90, 50, 20, 100, 100, 350, 100, 33, 50}));
}

TEST_F(RirekiListLogicTest, FillJoinsCustomersAndMissingOnesStayEmpty) {
    Setup(2, {{1, "購入", 1, 12.30}, {0, "孤立", 2, -5}, {2, "問合せ", 3}});
    EXPECT_EQ(screen.count, "3件");
    EXPECT_FALSE(screen.buttons);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"問合せ", "孤立", "購入"}));  // newest first
    EXPECT_EQ(Column(0)[0], "2024/01/03");
    EXPECT_EQ(Column(1), (std::vector<std::string>{"C2", "", "C1"}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{"会社2", "", "会社1"}));
    EXPECT_EQ(Column(8), (std::vector<std::string>{"0", "-5", "12.3"}));
    EXPECT_EQ(list.SelectedCount(), 0);

    // The customer columns sort with the missing customer first (empty text).
    list.SortByColumn(2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"", "顧客1", "顧客2"}));
}

TEST_F(RirekiListLogicTest, SortingSharesOneToggleAcrossColumns) {
    Setup(1, {{1, "b", 2, 300}, {1, "c", 1, 100}, {1, "a", 3, 200}});
    list.SortByColumn(0);  // ascending
    EXPECT_EQ(Column(4), (std::vector<std::string>{"c", "b", "a"}));
    list.SortByColumn(0);  // the same column again: reversed
    EXPECT_EQ(Column(4), (std::vector<std::string>{"a", "b", "c"}));
    list.SortByColumn(8);  // ascending again, then another column descends
    EXPECT_EQ(Column(8), (std::vector<std::string>{"100", "200", "300"}));
    list.SortByColumn(4);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"c", "b", "a"}));

    // Unset dates come first (and last newest first); the selection follows its row.
    ASSERT_TRUE(Sql("UPDATE Rireki SET Date=NULL WHERE ActionTitle='b'"));
    ReadAndFill();
    EXPECT_EQ(Column(4), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(Column(0)[2], "");
    Select({2});
    list.Sort(0, true);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{0});
}

TEST_F(RirekiListLogicTest, EqualRowsKeepTheirOrderInBothDirections) {
    Setup(1, {{1, "a", 1, 100}, {1, "b", 2, 100}, {1, "c", 3, 50}, {1, "d", 3, 100}});
    // Rows newest first; d, added after c, is newer on their shared day.
    EXPECT_EQ(Column(4), (std::vector<std::string>{"d", "c", "b", "a"}));
    list.Sort(8, true);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"c", "d", "b", "a"}));
    list.Sort(8, false);  // not the reverse: the equal amounts stay d, b, a
    EXPECT_EQ(Column(4), (std::vector<std::string>{"d", "b", "a", "c"}));
    list.Sort(0, false);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"d", "c", "b", "a"}));
    list.Sort(0, true);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"a", "b", "d", "c"}));
    list.Sort(1, false);  // every customer code equal
    EXPECT_EQ(Column(4), (std::vector<std::string>{"a", "b", "d", "c"}));
}

TEST_F(RirekiListLogicTest, CustomerTextsAreThoseOfTheFill) {
    Setup(2, {{1, "a", 1}, {2, "b", 2}, {1, "c", 3}});
    EXPECT_EQ(Column(2), (std::vector<std::string>{"顧客1", "顧客2", "顧客1"}));
    // The document's record changes and then goes: the rows keep what they showed.
    auto& customers = doc->KokyakuList;
    auto first = std::find_if(customers.begin(), customers.end(), [](const auto& k) { return k->CustomerID() == "C1"; });
    ASSERT_NE(first, customers.end());
    const int32_t key = (*first)->ID;
    ASSERT_TRUE(customers.Update(key, [](CKokyaku& k) { k.Name = "変更"; }));
    customers.Remove({key});
    EXPECT_EQ(Column(1), (std::vector<std::string>{"C1", "C2", "C1"}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"顧客1", "顧客2", "顧客1"}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{"会社1", "会社2", "会社1"}));
}

TEST_F(RirekiListLogicTest, FindSearchesEveryColumnInEitherDirection) {
    Setup(2, {{1, "購入", 1, 1500.5}, {2, "問合せ", 2}, {1, "見積", 3}});
    // Rows: 見積 (C1), 問合せ (C2), 購入 (C1, 1500.5).
    const struct { std::vector<int> selected; const char* text; bool down; int hit; } cases[] = {
        {{}, "C1", true, 0},         // no selection: down starts at row 0
        {{0}, "C1", true, 2},        // from the row after the selection
        {{}, "C1", false, -1},       // up without selection finds nothing
        {{2}, "会社2", false, 1},    // up from the row before
        {{0}, "1500.5", true, 2},    // the amount as shown
        {{1}, "c1", true, -1},       // case-sensitive
    };
    for (const auto& c : cases) {
        list.ClearSelection();
        for (int r : c.selected) list.SetSelectedFromView(r, true);
        ports.prompt.Clear();
        EXPECT_EQ(logic->Find(c.text, c.down), c.hit >= 0) << c.text;
        if (c.hit >= 0) {
            EXPECT_EQ(list.SelectedRows(), std::vector<int>{c.hit}) << c.text;
            EXPECT_EQ(list.FocusedRow(), c.hit);
        } else {
            EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"検索が終了しました。\n"}) << c.text;
        }
    }
}

TEST_F(RirekiListLogicTest, ViewingAndNavigationMoveTheOneSelectedRow) {
    Setup(1, {{1, "a", 1}, {1, "b", 2}, {1, "c", 3}});  // rows c, b, a
    EXPECT_EQ(logic->ViewTarget().record, nullptr);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"履歴が選択されていません。"});

    Select({1, 2});
    CRirekiListTarget t = logic->ViewTarget();
    ASSERT_NE(t.record, nullptr);
    EXPECT_EQ(t.record->ActionTitle, "b");
    EXPECT_TRUE(t.hasPrevious && t.hasNext);
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});

    bool more = true;
    EXPECT_EQ(logic->NextEntry(more)->ActionTitle, "a");
    EXPECT_FALSE(more);
    EXPECT_EQ(logic->NextEntry(more), nullptr);
    EXPECT_EQ(logic->PreviousEntry(more)->ActionTitle, "b");
    EXPECT_TRUE(more);
    Select({0, 1});  // two selected rows: no navigation
    EXPECT_EQ(logic->PreviousEntry(more), nullptr);
    EXPECT_FALSE(more);
}

TEST_F(RirekiListLogicTest, RefusalsComeBeforeAnyQuestion) {
    Setup(1, {{1, "a", 1}});
    Select({0});
    doc->PastDataMode = 1;
    logic->Delete();
    doc->PastDataMode = 0;
    list.ClearSelection();
    logic->Delete();
    CRirekiListLogic none(nullptr, list, screen);
    EXPECT_FALSE(none.Fill());
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"データベースは読取専用です。\n履歴を削除できません。",
                                                              "削除する履歴を選択してください",
                                                              "履歴データを表示できません。\n"}));
    EXPECT_EQ(ports.wait.depth, 0);
}

TEST_F(RirekiListLogicTest, DeleteRemovesExactlyTheRowsTheDatabaseDeleted) {
    Setup(1, {{1, "a", 1}, {1, "b", 2}, {1, "c", 3}, {1, "d", 4}});  // rows d, c, b, a
    // "c" is gone from the database already: the deletion is partial.
    const int32_t c = list.Item(1).ID, b = list.Item(2).ID;
    ASSERT_EQ(doc->Database().DeleteRireki(c, CDateTime::Now()), 1);
    Select({0, 1, 3});
    ports.prompt.QueueAnswer(Answer::No);
    logic->Delete();
    EXPECT_EQ(list.RowCount(), 4);
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Delete();

    ASSERT_EQ(ports.prompt.Log().size(), 3u);
    const Shown& ask = ports.prompt.Log()[1];
    EXPECT_EQ(ask.text, "選択されている3件の履歴を削除します。\n履歴を削除すると、二度と元に戻すことはできません。\n\n"
                        "本当に削除してよろしいですか？");
    EXPECT_EQ(ask.icon, MsgIcon::Exclamation);
    EXPECT_EQ(ask.defaultButton, Answer::No);
    EXPECT_EQ(ports.prompt.Log()[2].text, "一部の履歴が削除できませんでした");
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.Item(0).ID, c);
    EXPECT_EQ(list.Item(1).ID, b);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"", "b"}));  // c's entry is gone: its row shows nothing
    EXPECT_EQ(doc->RirekiList, (CRirekiKeyList{list.Item(0), list.Item(1)}));
    EXPECT_EQ(screen.count, "2件");
    EXPECT_EQ(ports.wait.depth, 0);
}

TEST_F(RirekiListLogicTest, ReleasingAnUnsavedExtractionAsksThenShowsEverything) {
    Setup(1, {{1, "a", 1}, {1, "b", 2}});
    doc->Extraction = std::make_shared<CExCondition>();
    doc->RirekiList.pop_back();
    ASSERT_TRUE(logic->Fill());
    EXPECT_TRUE(screen.buttons);
    EXPECT_EQ(screen.count, "1件");

    // Yes with a cancelled save dialog abandons the release.
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->ReleaseExtraction();
    EXPECT_NE(doc->Extraction, nullptr);
    EXPECT_EQ(screen.saveDialogs, 1);
    ports.prompt.QueueAnswer(Answer::No);
    logic->ReleaseExtraction();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>(2, "抽出した条件は保存されていません。保存しますか？"));
    EXPECT_EQ(doc->Extraction, nullptr);
    EXPECT_FALSE(logic->ExtractionShown());
    EXPECT_FALSE(screen.buttons);
    EXPECT_EQ(screen.count, "2件");
    logic->ReleaseExtraction();  // nothing extracted: nothing happens
    EXPECT_EQ(ports.prompt.Log().size(), 2u);
}

TEST_F(RirekiListLogicTest, LeavingChecksTheExtractionAndClosingDropsWhatNoScreenTook) {
    Setup(1, {{1, "a", 1}});
    doc->Extraction = std::make_shared<CExCondition>();
    logic->SetExtractionSaved(true);
    logic->MenuScreen();
    doc->PastDataMode = 1;  // read-only data never asks
    logic->SetExtractionSaved(false);
    logic->Exit();
    EXPECT_EQ(screen.switchedTo, std::vector<int>{0});
    EXPECT_EQ(screen.closes, 1);
    EXPECT_TRUE(ports.prompt.Log().empty());

    logic->LoadColumnWidths(1000);
    list.SetColumnWidth(5, 321);
    logic->HandToCustomerList();
    logic->Close();
    EXPECT_NE(doc->Extraction, nullptr);  // the customer list shows it
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ((ports.profile.ints[{"Settings-RList", "colwidth5"}]), 321);
    EXPECT_EQ(ports.profile.ints.size(), 9u);

    CRirekiListLogic other(doc.get(), list, screen);
    doc->Extraction.reset();
    doc->AnalysisKind = 3;
    other.Close();
    EXPECT_EQ(doc->AnalysisKind, -1);
}

TEST_F(RirekiListLogicTest, SelectedEntriesAreGroupedByCustomerInRowOrder) {
    Setup(3, {{1, "a", 1}, {2, "b", 2}, {1, "c", 3}, {3, "d", 4}, {0, "e", 5}, {2, "f", 6}});
    // Rows: f(2) e(-) d(3) c(1) b(2) a(1)
    Select({0, 1, 3, 4, 5});
    std::vector<CRirekiCustomerEntries> groups = logic->SelectedByCustomer();
    ASSERT_EQ(groups.size(), 3u);
    auto titles = [](const CRirekiCustomerEntries& g) {
        std::string s;
        for (const auto& r : g.entries) s += r->ActionTitle;
        return s;
    };
    EXPECT_EQ(groups[0].customer->CustomerID, "C2");
    EXPECT_EQ(titles(groups[0]), "fb");
    EXPECT_EQ(groups[1].customer, nullptr);  // not in the database
    EXPECT_EQ(titles(groups[1]), "e");
    EXPECT_EQ(groups[2].customer->CustomerID, "C1");
    EXPECT_EQ(titles(groups[2]), "ca");
}

TEST_F(RirekiListLogicTest, ExtractionCommandsRefillOrHandOverTheResult) {
    Setup(2, {{1, "a", 1}, {2, "b", 2}});
    // "抽出..." with the result preset to history; a history result refills.
    screen.dialog = [&] {
        doc->Extraction = std::make_shared<CExCondition>();
        doc->Extraction->ResultKind = 1;
        doc->RirekiList.resize(1);
        return 2;
    };
    logic->Extract();
    EXPECT_EQ(screen.dialogs, (std::vector<std::pair<int, int>>{{kExtractAny, 1}}));
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_TRUE(logic->ExtractionShown());

    // Redo keeps to history conditions and skips the unsaved check.
    screen.dialog = [] { return 0; };
    logic->RedoExtraction();
    EXPECT_EQ(screen.dialogs.back(), std::make_pair(int(kExtractRireki), 1));
    EXPECT_TRUE(ports.prompt.Log().empty());

    // A customer result goes to the customer list, which keeps the extraction.
    doc->ExtractSaved = 1;
    screen.dialog = [] { return 1; };
    logic->Extract();
    EXPECT_EQ(screen.switchedTo, std::vector<int>{SCREEN_KOKYAKU_LIST});
    logic->Close();
    EXPECT_NE(doc->Extraction, nullptr);
}

TEST_F(RirekiListLogicTest, AnalysisHandsItsResultToTheScreenThatShowsIt) {
    Setup(1, {{1, "a", 1}});
    const struct {
        int kind;
        bool dmBuilt;
        std::vector<int> switchedTo;
        bool kept;  // the result and the extraction outlive the view
    } cases[] = {
        {0, true, {}, false},  // cancelled
        {1, true, {SCREEN_KOKYAKU_LIST}, true},
        {5, true, {SCREEN_KOKYAKU_LIST}, true},
        {4, true, {SCREEN_DM}, true},
        {4, false, {}, false},  // no DM screen: the result goes with the view
    };
    for (const auto& c : cases) {
        CRirekiListLogic view(doc.get(), list, screen);
        doc->Extraction = std::make_shared<CExCondition>();
        doc->ExtractSaved = 1;
        doc->AnalysisKind = c.kind ? c.kind : -1;
        screen.sheetKind = c.kind;
        screen.dmBuilt = c.dmBuilt;
        screen.switchedTo.clear();
        view.Analysis();
        EXPECT_EQ(screen.switchedTo, c.switchedTo) << c.kind;
        view.Close();
        EXPECT_EQ(doc->AnalysisKind, c.kept ? c.kind : -1) << c.kind;
        EXPECT_EQ(doc->Extraction != nullptr, c.kept) << c.kind;
    }
    EXPECT_EQ(screen.sheets, 5);

    // The unsaved-extraction check comes first; a cancelled save opens no sheet.
    doc->Extraction = std::make_shared<CExCondition>();
    doc->ExtractSaved = 0;
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Analysis();
    EXPECT_EQ(screen.saveDialogs, 1);
    EXPECT_EQ(screen.sheets, 5);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"抽出した条件は保存されていません。保存しますか？"});
}

}  // namespace
