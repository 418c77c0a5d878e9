// The customer screen's logic on a real database in a temporary data folder.
#include <gtest/gtest.h>

#include <functional>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuListCells.h"
#include "customers/KokyakuViewLogic.h"
#include "customers/PreExtraction.h"
#include "extract/ExCondition.h"
#include "extract/ExtractDlgLogic.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

struct FakeScreen final : IKokyakuScreen {
    void SetFrameTitle(const std::string& t) override { title = t; }
    void SetCountText(const std::string& t) override { count = t; }
    void ShowExtractionButtons(bool r, bool d, bool s) override { buttons = {r, d, s}; }
    void RefreshCard() override {}
    void ClearCard() override { ++cardClears; }
    void HideCard() override {}
    bool SaveExtraction() override { ++saveDialogs; return saveAnswer; }
    void SwitchScreen(int s) override { switchedTo.push_back(s); }
    void CloseMainWindow() override { ++closes; }
    int ExtractionDialog(int mode) override {
        modes.push_back(mode);
        return dialog ? dialog() : 0;
    }
    bool CanShowHistory() const override { return historyScreen; }
    void ShowHistoryResult() override { ++historyShown; }

    std::string title, count;
    std::vector<bool> buttons;
    int cardClears = 0, saveDialogs = 0, closes = 0;
    bool saveAnswer = false;
    std::vector<int> switchedTo;
    std::vector<int> modes;
    std::function<int()> dialog;
    bool historyScreen = false;
    int historyShown = 0;
};

class ViewTest : public ::testing::Test {
protected:
    ViewTest() : list(MakeKokyakuCellSource()) {
        dataDir = MakeInstallation(install);
        doc = OpenDocument(install, true);
        SaveColumns(install,
                    {{"ID", "ID"},
                     {"CustomerID", "お客様コード"},
                     {"Name", "氏名"},
                     {"Sex", "性別"},
                     {"Add_Home_X", "住所"},
                     {"RirekiUpDate", "履歴更新日"}},
                    {"CustomerID", "Name", "Add_Home_X"});
        logic = std::make_unique<CKokyakuViewLogic>(doc.get(), list, screen);
    }
    ~ViewTest() override {
        logic.reset();
        list.SetRows({});
    }

    // Adds customers C1..Cn; the cache holds them newest first.
    void AddCustomers(int n, const std::vector<std::string>& names = {}) {
        for (int i = 1; i <= n; ++i) {
            auto k = std::make_unique<CKokyaku>();
            k->CustomerID = "C" + std::to_string(i);
            k->Name = i - 1 < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(i - 1)]
                                                             : "顧客" + std::to_string(i);
            k->Sex = i % 2;
            ASSERT_GT(doc->AddKokyaku(k), 0);
        }
    }
    void SavePreExtraction(const std::string& query) {
        CExCondition cond;
        cond.QueryText = query;
        ASSERT_EQ(SaveCondition(dataDir, cond), 1);
    }
    // Shows the cached customers at the given positions as an extraction.
    void Extract(std::initializer_list<std::size_t> positions) {
        doc->Extraction = std::make_shared<CExCondition>();
        doc->ExtractKeys.clear();
        for (std::size_t i : positions) doc->ExtractKeys.push_back(static_cast<uint32_t>(doc->KokyakuList[i].ID));
        logic->Populate();
    }
    std::vector<std::string> Ids() const {
        std::vector<std::string> ids;
        for (int r = 0; r < list.RowCount(); ++r) ids.emplace_back(list.Item(r).row->CustomerID());
        return ids;
    }

    TestPorts ports;
    TempDir install;
    std::string dataDir;
    std::unique_ptr<CMilvaneDoc> doc;
    CKokyakuListModel list;
    FakeScreen screen;
    std::unique_ptr<CKokyakuViewLogic> logic;
};

TEST_F(ViewTest, FirstDisplayListsAllCustomersInCacheOrder) {
    AddCustomers(3);
    logic->FirstDisplay();
    EXPECT_EQ(screen.title, "Milvane－顧客一覧");
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C3", "C2", "C1"}));
    EXPECT_EQ(screen.count, "3件");
    EXPECT_EQ(screen.buttons, (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(logic->IsFiltered());
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{0});
    ASSERT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.Columns()[2].label, "住所");
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(ViewTest, PreExtractionIsAppliedWithTheOrderTextAndMarkedSaved) {
    AddCustomers(4);
    SavePreExtraction("SELECT [Customer].[ID] FROM [Customer] WHERE [Customer].[Sex] = 1");
    logic->FirstDisplay();
    EXPECT_TRUE(logic->IsFiltered());
    EXPECT_TRUE(logic->ExtractionSaved());
    ASSERT_TRUE(doc->Extraction);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(screen.count, "2件");
    EXPECT_EQ(screen.buttons, (std::vector<bool>{true, true, true}));
    // Leaving needs no question: the pre-extraction counts as saved.
    logic->MenuScreen();
    EXPECT_EQ(screen.switchedTo, std::vector<int>{0});
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(ViewTest, FailedPreExtractionAsksAndYesShowsEveryone) {
    AddCustomers(2);
    SavePreExtraction("SELECT nonsense FROM Nowhere");
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->FirstDisplay();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"抽出に失敗しました。全顧客を表示してよろしいですか？"});
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Question);
    EXPECT_FALSE(doc->Extraction);
    EXPECT_EQ(list.RowCount(), 2);
}

TEST_F(ViewTest, EmptyList) {
    logic->FirstDisplay();
    EXPECT_EQ(screen.count, "0件");
    EXPECT_FALSE(logic->CanSelectAll());
    EXPECT_EQ(logic->EntryTarget().record, nullptr);
    logic->Delete();
    logic->DeleteAllHistory();
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"削除する顧客を選択してください", "履歴を削除する顧客を選択してください"}));
    EXPECT_EQ(logic->NextCustomer().key, 0);
}

TEST_F(ViewTest, CommandsWorkOnTheFocusedRowAndReadOnlyDataRefusesThem) {
    AddCustomers(3);
    logic->FirstDisplay();
    list.ClearSelection();
    list.SetFocusFromView(1);
    CEntryTarget target = logic->EntryTarget();
    EXPECT_EQ(target.record, list.Item(1).row->Record());
    EXPECT_TRUE(target.hasPrev && target.hasNext);
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(list.FocusedRow(), 1);

    ports.prompt.QueueAnswer(Answer::Yes);
    logic->DeleteAllHistory();
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].defaultButton, Answer::No);
    EXPECT_EQ(ports.prompt.Log()[1].text, "指定された顧客の履歴はありませんでした。\n");
    EXPECT_EQ(ports.prompt.Log()[1].icon, MsgIcon::Information);

    ports.prompt.Clear();
    doc->PastDataMode = 1;
    logic->Delete();
    logic->DeleteAllHistory();
    logic->Update();
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"データベースは読取専用です。\n顧客を削除することはできません。\n",
                                        "データベースは読取専用です。\n履歴を削除することはできません。\n",
                                        "データベースは読取専用です。\n更新することはできません。\n"}));
    EXPECT_EQ(list.RowCount(), 3);
}

TEST_F(ViewTest, DeleteOfFiveWithTwoFailingRemovesThreeRows) {
    AddCustomers(7);
    logic->FirstDisplay();  // C7 .. C1
    for (int r = 0; r < 5; ++r) list.SetSelectedFromView(r, true);  // C7 C6 C5 C4 C3
    // Two of them are gone from the database already: the deletion is partial.
    std::vector<uint32_t> gone;
    ASSERT_EQ(doc->Database().DeleteKokyaku({static_cast<uint32_t>(list.Item(1).row->ID),
                                             static_cast<uint32_t>(list.Item(3).row->ID)},
                                            gone),
              1);
    ports.prompt.QueueAnswer(Answer::No);
    logic->Delete();  // No: nothing goes
    EXPECT_EQ(list.RowCount(), 7);
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Delete();
    ASSERT_EQ(ports.prompt.Log().size(), 3u);
    EXPECT_EQ(ports.prompt.Log()[1].text, ports.prompt.Log()[0].text);
    EXPECT_EQ(ports.prompt.Log()[0].text,
              "選択されている5件の顧客を削除します。\n顧客を削除すると、二度と元に戻すことはできません。\n"
              "また、削除する顧客の履歴・DM送付予定などもすべて削除されます。\n\n本当に削除してよろしいですか？");
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ports.prompt.Log()[0].defaultButton, Answer::No);
    EXPECT_EQ(ports.prompt.Log()[2].text, "一部の顧客情報が削除できませんでした。\n");
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C6", "C4", "C2", "C1"}));
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 1}));  // the rows that stayed
    EXPECT_EQ(doc->KokyakuList.size(), 4u);
    EXPECT_EQ(screen.count, "4件");
    EXPECT_EQ(screen.cardClears, 1);
    // A complete deletion selects the first row.
    list.SelectOnly(2);
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Delete();
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C6", "C4", "C1"}));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{0});
}

TEST_F(ViewTest, FindSearchesDownAndUpFromTheSelection) {
    AddCustomers(4, {"山田太郎", "佐藤花子", "山田次郎", "鈴木一郎"});
    logic->FirstDisplay();  // C4 鈴木, C3 山田次郎, C2 佐藤, C1 山田太郎
    list.SelectOnly(0);
    EXPECT_TRUE(logic->Find("山田", true));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
    EXPECT_TRUE(logic->Find("山田", true));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{3});
    EXPECT_TRUE(logic->Find("山田", false));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
    // The only match lies above the selection: searching down ends.
    list.SelectOnly(2);
    EXPECT_FALSE(logic->Find("鈴木", true));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"検索が終了しました。\n"});
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});
    EXPECT_TRUE(logic->Find("C4", false));  // every column is searched
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{0});
}

TEST_F(ViewTest, CountsAndTheUnsavedExtractionCheck) {
    AddCustomers(3);
    logic->FirstDisplay();
    logic->Counts();
    doc->ExtractActive = 1;
    Extract({2});
    logic->Counts();
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "現在データベースに登録されている顧客は3人です。\n");
    EXPECT_EQ(ports.prompt.Log()[1].text,
              "現在データベースに登録されている顧客は3人です。\n\n現在顧客一覧に抽出されている顧客は1人です。\n");
    EXPECT_EQ(ports.prompt.Log()[1].icon, MsgIcon::Information);

    // Yes, then a cancelled save keeps the screen.
    ports.prompt.Clear();
    logic->SetExtractionSaved(false);
    ports.prompt.QueueAnswer(Answer::Yes);
    screen.saveAnswer = false;
    logic->MenuScreen();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"抽出した条件は保存されていません。保存しますか？"});
    EXPECT_EQ(screen.saveDialogs, 1);
    EXPECT_TRUE(screen.switchedTo.empty());
    // Saved this time: the command goes on and the extraction counts as saved.
    ports.prompt.QueueAnswer(Answer::Yes);
    screen.saveAnswer = true;
    logic->Exit();
    EXPECT_EQ(screen.closes, 1);
    EXPECT_TRUE(logic->ExtractionSaved());
    // No answers: the command goes on without saving.
    logic->SetExtractionSaved(false);
    ports.prompt.QueueAnswer(Answer::No);
    logic->ReleaseExtraction();
    EXPECT_FALSE(doc->Extraction);
    EXPECT_EQ(list.RowCount(), 3);
    EXPECT_FALSE(logic->IsFiltered());
}

TEST_F(ViewTest, ExtractionDisplayColumnsAreLookedUpWithWidth150) {
    AddCustomers(1);
    Extract({0});
    doc->Extraction->DisplayColumns = {"Name", "NoSuchField", "Sex"};
    logic->Populate();
    ASSERT_EQ(list.ColumnCount(), 2);
    EXPECT_EQ(list.Columns()[1].label, "性別");
    EXPECT_EQ(list.ColumnWidth(0), 150);
    EXPECT_EQ(list.CellText(0, 1), "女");
}

TEST_F(ViewTest, ColumnsTheRowsLackAreReadOnceOrToldWhenTheyCannotBe) {
    AddCustomers(2, {"佐藤", "鈴木"});
    ASSERT_EQ(doc->ReadCustomers(), 1);  // lean rows, no whole records
    Extract({0, 1});
    doc->Extraction->DisplayColumns = {"Name", "Sex"};
    logic->Populate();
    EXPECT_EQ(list.CellText(0, 1), "男");  // C2
    EXPECT_EQ(list.CellText(1, 1), "女");  // C1
    EXPECT_TRUE(ports.prompt.Log().empty());

    // The database is gone: the message, and the rows stay as they were.
    ASSERT_EQ(doc->Database().SaveMLV(true), 1);
    doc->Extraction->DisplayColumns = {"Name", "RirekiUpDate", "Sex"};
    logic->Populate();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"顧客データの取得に失敗しました。\n"});
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.CellText(0, 0), "鈴木");
    EXPECT_EQ(list.CellText(0, 1), "");
    EXPECT_EQ(list.CellText(1, 2), "女");
}

TEST_F(ViewTest, AnalysisHitsComeFirstWithTheirColumn) {
    AddCustomers(3);
    ports.profile.WriteInt("Settings-KList", "colwidth1", 77);
    doc->AnalysisKind = 6;
    for (int i : {0, 2}) {
        auto hit = std::make_unique<CMLVSorunaHit>();
        hit->Kind = 6;
        hit->CustomerID = doc->KokyakuList[static_cast<std::size_t>(i)].ID;
        hit->Money = 1234.5 * (i + 1);
        doc->AnalysisHits.push_back(std::move(hit));
    }
    logic->Populate();
    EXPECT_EQ(Ids(), (std::vector<std::string>{"C3", "C1"}));
    EXPECT_EQ(screen.buttons, (std::vector<bool>{true, false, false}));
    ASSERT_EQ(list.ColumnCount(), 4);
    EXPECT_EQ(list.Columns()[0].field, "金額");
    EXPECT_EQ(list.ColumnWidth(0), 100);
    EXPECT_EQ(list.ColumnWidth(2), 77);
    EXPECT_EQ(list.CellText(1, 0), "3703.5");
    // Released: every customer again, the analysis gone.
    logic->ReleaseExtraction();
    EXPECT_EQ(doc->AnalysisKind, -1);
    EXPECT_EQ(list.RowCount(), 3);
}

TEST_F(ViewTest, AnalysisResultReplacesTheExtractionAndTheDMRateGoesToTheDMScreen) {
    AddCustomers(3);
    // Analysis columns win over the extraction's own columns.
    Extract({0, 1});
    doc->Extraction->DisplayColumns = {"Sex"};
    doc->AnalysisKind = 7;
    doc->AnalysisKeys = {static_cast<uint32_t>(doc->KokyakuList[2].ID)};
    logic->AnalysisFinished(7, true);
    EXPECT_FALSE(doc->Extraction);
    EXPECT_TRUE(doc->ExtractKeys.empty());
    EXPECT_EQ(Ids(), std::vector<std::string>{"C1"});
    EXPECT_EQ(list.Columns()[0].field, "CustomerID");

    // Kind 4: the rows come back without it, the result stays for the DM screen.
    const uint32_t key = doc->AnalysisKeys[0];
    doc->AnalysisKind = 4;
    doc->AnalysisDMKey = 9;
    logic->AnalysisFinished(4, true);
    EXPECT_EQ(list.RowCount(), 3);
    EXPECT_EQ(screen.switchedTo, std::vector<int>{5});
    EXPECT_EQ(doc->AnalysisKind, 4);
    EXPECT_EQ(doc->AnalysisDMKey, 9);
    EXPECT_EQ(doc->AnalysisKeys, std::vector<uint32_t>{key});
}

TEST_F(ViewTest, AddModifyAndNeighbours) {
    AddCustomers(2);
    logic->FirstDisplay();  // C2 C1
    CKokyaku fresh;
    fresh.CustomerID = "N1";
    fresh.Name = "新規";
    int32_t key = logic->AddCustomer(fresh);
    ASSERT_GT(key, 0);
    EXPECT_EQ(Ids(), (std::vector<std::string>{"N1", "C2", "C1"}));
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(screen.count, "3件");

    CKokyaku changed = *list.Item(2).row->Record();
    changed.Name = "変更後";
    EXPECT_EQ(logic->ModifyCustomer(changed.ID, changed), 1);
    EXPECT_EQ(list.Item(2).row->Name(), "変更後");
    EXPECT_EQ(list.CellText(2, 1), "変更後");
    EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});

    CNeighbour prev = logic->PrevCustomer();
    EXPECT_EQ(prev.key, list.Item(1).row->ID);
    EXPECT_TRUE(prev.further);
    prev = logic->PrevCustomer();
    EXPECT_EQ(prev.key, key);
    EXPECT_FALSE(prev.further);
    EXPECT_EQ(logic->PrevCustomer().key, 0);
    CNeighbour next = logic->NextCustomer();
    EXPECT_EQ(next.key, list.Item(1).row->ID);
    EXPECT_TRUE(next.further);
    list.SelectAll();
    EXPECT_EQ(logic->NextCustomer().key, 0);  // more than one selected

    CKokyaku missing;
    missing.CustomerID = "X9";
    EXPECT_EQ(logic->ModifyCustomer(99999, missing), 0);
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客ID：X9の情報が見つかりませんでした。\n");
}

TEST(KokyakuSplitter, StoredCardWidthAndLimits) {
    EXPECT_EQ(SplitterListWidth(1000, 0, 1200), 500);       // nothing stored: half
    EXPECT_EQ(SplitterListWidth(1000, 300, 1200), 697);     // 1000 - 300 - 3
    EXPECT_EQ(SplitterListWidth(1000, 950, 1200), 100);     // not closer than 100 to the left
    EXPECT_EQ(SplitterListWidth(1400, 1, 1200), 1100);      // nor to the minimum form's right edge
    EXPECT_EQ(ClampSplitter(50, 800), 100);
    EXPECT_EQ(ClampSplitter(750, 800), 700);
    EXPECT_EQ(ClampSplitter(400, 800), 400);
}

}  // namespace

TEST_F(ViewTest, ImportAddsThroughTheDatabaseAndReloadsEveryone) {
    AddCustomers(2);
    logic->FirstDisplay();
    Extract({0});
    ASSERT_EQ(list.RowCount(), 1);
    int runs = 0;
    auto import = [&runs](const std::function<int(CKokyakuList&, std::vector<uint32_t>&)>& add) {
        ++runs;
        CKokyakuList records;
        records.push_back(std::make_unique<CKokyaku>());
        records.back()->CustomerID = "N1";
        std::vector<uint32_t> refused;
        return add(records, refused) == 1 ? 1 : 0;
    };
    // The unsaved extraction is offered for saving first; a cancelled save
    // keeps the list and imports nothing.
    const std::string unsaved = "抽出した条件は保存されていません。保存しますか？";
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Import(import);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(screen.saveDialogs, 1);
    EXPECT_TRUE(doc->Extraction);
    EXPECT_EQ(list.RowCount(), 1);

    ports.prompt.QueueAnswer(Answer::No);
    logic->Import(import);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(doc->Extraction);
    EXPECT_EQ(list.RowCount(), 3);
    EXPECT_EQ(doc->KokyakuList.size(), 3u);

    doc->PastDataMode = 1;
    logic->Import([](const auto&) -> int {
        ADD_FAILURE() << "read-only data is never imported into";
        return 0;
    });
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{unsaved, unsaved,
                                        "データベースは読取専用です。\n外部データの読み込みをすることはできません。"}));
}

namespace {

TEST_F(ViewTest, ExtractionCommandsOpenTheDialogInTheirModes) {
    AddCustomers(3);
    logic->FirstDisplay();
    // Without the history screen the result stays a customer list; the
    // dialog's result replaces the rows.
    screen.dialog = [&] {
        doc->Extraction = std::make_shared<CExCondition>();
        doc->ExtractKeys = {static_cast<uint32_t>(doc->KokyakuList[1].ID)};
        return 1;
    };
    logic->Extract();
    EXPECT_EQ(screen.modes, std::vector<int>{kExtractCustomers});
    EXPECT_EQ(Ids(), std::vector<std::string>{"C2"});
    EXPECT_TRUE(logic->IsFiltered());

    // The unsaved extraction is offered for saving first; a cancelled save stops.
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Extract();
    EXPECT_EQ(screen.modes.size(), 1u);
    EXPECT_EQ(screen.saveDialogs, 1);

    screen.historyScreen = true;
    doc->ExtractSaved = 1;
    screen.dialog = [] { return 2; };
    logic->Extract();
    EXPECT_EQ(screen.modes.back(), kExtractAny);
    EXPECT_EQ(screen.historyShown, 1);

    // Redo edits customer conditions only; cancelling keeps the rows.
    screen.dialog = [] { return 0; };
    logic->RedoExtraction();
    EXPECT_EQ(screen.modes.back(), kExtractCustomers);
    EXPECT_EQ(Ids(), std::vector<std::string>{"C2"});

    // Saving marks the extraction saved; read-only data refuses.
    doc->ExtractSaved = 0;
    screen.saveAnswer = true;
    logic->SaveExtractionCommand();
    EXPECT_TRUE(logic->ExtractionSaved());
    doc->PastDataMode = 1;
    ports.prompt.Clear();
    logic->SaveExtractionCommand();
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"データベースは読取専用です。\n抽出条件の保存はできません。"});
    EXPECT_EQ(screen.saveDialogs, 2);
}

}  // namespace
