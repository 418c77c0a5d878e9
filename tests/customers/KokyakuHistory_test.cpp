// The customer screen's history commands and the card pane on a real database.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "customers/CardPane.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuHistory.h"
#include "customers/KokyakuListCells.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace fs = std::filesystem;

namespace {

struct FakeScreen final : IKokyakuHistoryScreen {
    CKokyakuHistory* history = nullptr;
    CCardPaneLogic* card = nullptr;
    bool shown = true;
    bool CardShown() const override { return shown; }
    void ShowCard(int page) override {
        card->SelectPage(page);
        shown = true;
        history->Refresh();
    }
};

class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() : list(MakeKokyakuCellSource()) {
        dataDir = MakeInstallation(install);
        doc = OpenDocument(install, true);
        for (int i = 1; i <= 2; ++i) {
            auto k = std::make_unique<CKokyaku>();
            k->CustomerID = "C" + std::to_string(i);
            EXPECT_GT(doc->AddKokyaku(k), 0);
        }
        std::vector<CKokyakuListItem> items;
        for (auto& k : doc->KokyakuList) items.push_back({k.get(), nullptr});
        list.SetColumns({{"CustomerID", "ID"}, {"RirekiUpDate", "履歴更新日"}}, ColumnWidthMode::Stored);
        list.SetRows(std::move(items));
        list.SelectOnly(0);
        history = std::make_unique<CKokyakuHistory>(doc.get(), list, card, screen);
        screen.history = history.get();
        screen.card = &card;
    }
    ~HistoryTest() override {
        history.reset();
        list.SetRows({});
    }

    int32_t CustomerKey(int row) const { return list.Item(row).row->ID; }

    // A runner that types the fields into the dialog logic and presses OK.
    RirekiDialogRunner Typing(const std::string& title, const std::string& picture = {}) {
        return [this, title, picture](const RirekiDialogRequest& r, CRirekiData& result) {
            requests.push_back(r);
            CRirekiEntryLogic logic(r.mode, r.owner, r.customerKey, r.record, r.hasPrevious, r.hasNext);
            struct View : IRirekiEntryView {
                CRirekiFields f;
                CRirekiFields ReadFields() override { return f; }
                void WriteFields(const CRirekiFields& x) override { f = x; }
                void FocusControl(int) override {}
            } view;
            logic.Attach(&view);
            view.f.title = title;
            if (!picture.empty()) view.f.picture = picture;
            ports.prompt.QueueAnswer(Answer::Yes);
            int code = logic.OnOk();
            if (code == kRirekiStay) code = logic.OnClose();
            result = logic.Working();
            return code;
        };
    }

    TestPorts ports;
    TempDir install;
    std::string dataDir;
    std::unique_ptr<CMilvaneDoc> doc;
    CKokyakuListModel list;
    CCardPaneLogic card;
    FakeScreen screen;
    std::unique_ptr<CKokyakuHistory> history;
    std::vector<RirekiDialogRequest> requests;
};

}  // namespace

TEST_F(HistoryTest, EmptyHistoryLeavesNothingToChange) {
    history->Refresh();
    EXPECT_EQ(card.Customer(), list.Item(0).row->Record());
    EXPECT_EQ(card.RowCount(), 0);
    EXPECT_FALSE(card.RowCommandsEnabled());
    const auto noop = [](const RirekiDialogRequest&, CRirekiData&) { ADD_FAILURE(); return 0; };
    history->Change(noop);
    history->Copy(noop);
    history->Delete();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>(3, "履歴を選択してください"));
}

TEST_F(HistoryTest, AddedEntryLeadsTheCardAndMarksTheCustomer) {
    history->Refresh();
    history->Add(Typing("来店"));
    ASSERT_EQ(card.RowCount(), 1);
    EXPECT_EQ(card.Selected(), 0);
    EXPECT_EQ(card.CellText(0, 1), "来店");
    EXPECT_GT(card.Row(0)->ID, 0);
    EXPECT_TRUE(list.Item(0).row->Record()->RirekiUpDate.IsValid());
    CRirekiList stored;
    ASSERT_EQ(doc->Database().GetRirekiForKokyaku(CustomerKey(0), stored), 1);
    EXPECT_EQ(stored.size(), 1u);
    EXPECT_EQ(requests[0].customerKey, CustomerKey(0));
}

TEST_F(HistoryTest, ChangeCopyDeleteAndReadOnly) {
    history->Refresh();
    history->Add(Typing("a"));
    history->Add(Typing("b"));
    ASSERT_EQ(card.RowCount(), 2);
    card.Select(1);
    history->Change(Typing("a2"));
    EXPECT_EQ(requests.back().mode, HistoryDialogMode::Modify);
    EXPECT_TRUE(requests.back().hasPrevious);
    EXPECT_FALSE(requests.back().hasNext);
    EXPECT_EQ(card.CellText(1, 1), "a2");

    history->Copy(Typing("a3"));
    EXPECT_EQ(requests.back().mode, HistoryDialogMode::Copy);
    EXPECT_EQ(card.RowCount(), 3);

    card.Select(0);
    ports.prompt.Clear();
    ports.prompt.QueueAnswer(Answer::Yes);
    history->Delete();
    EXPECT_EQ(ports.prompt.Log()[0].text, "選択されている履歴を削除します。\nよろしいですか？\n");
    EXPECT_EQ(card.RowCount(), 2);
    EXPECT_EQ(history->History().size(), 2u);

    doc->PastDataMode = 1;
    ports.prompt.Clear();
    card.Select(0);
    history->Add(Typing("x"));
    history->Copy(Typing("x"));
    history->Delete();
    history->Change(Typing("x"));
    EXPECT_EQ(requests.back().mode, HistoryDialogMode::View);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"データベースは読取専用です。\n履歴を追加することはできません。\n",
                                        "データベースは読取専用です。\n履歴をコピーすることはできません。\n",
                                        "データベースは読取専用です。\n履歴を削除することはできません。\n",
                                        "データベースは読取専用です。\n履歴を修正することはできません。\n参照のみを行ないます。"}));
}

TEST_F(HistoryTest, PickedPictureIsStoredBesideAnExistingName) {
    TempDir elsewhere;
    const std::string picked = elsewhere.File("name.jpg");
    WriteBytes(picked, "JPEG");
    fs::create_directories(dataDir + "/Picture");
    WriteBytes(dataDir + "/Picture/name.jpg", "older");
    history->Refresh();
    history->Add(Typing("写真", picked));
    ASSERT_EQ(card.RowCount(), 1);
    EXPECT_EQ(card.Row(0)->Picture, "name_1.jpg");
    EXPECT_EQ(ReadBytes(dataDir + "/Picture/name_1.jpg"), "JPEG");
    EXPECT_EQ(ReadBytes(dataDir + "/Picture/name.jpg"), "older");
    EXPECT_TRUE(fs::exists(picked));
}

TEST_F(HistoryTest, BulkAddReachesEverySelectedCustomer) {
    list.SetSingleSelection(false);
    list.SelectAll();
    ports.prompt.QueueAnswer(Answer::Yes);
    history->BulkAdd([this](const RirekiDialogRequest& r, CRirekiData& result) {
        EXPECT_EQ(r.mode, HistoryDialogMode::BulkAdd);
        result.ActionTitle = "DM";
        result.Date = CDateTime::FromParts(2024, 1, 2, 10, 0);
        return kRirekiEndBulk;
    });
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"選択されている2件の顧客に履歴を一括追加します。よろしいですか？",
                                        "選択されている顧客に履歴を登録しました。\n"}));
    for (int row = 0; row < 2; ++row) {
        CRirekiList stored;
        ASSERT_EQ(doc->Database().GetRirekiForKokyaku(CustomerKey(row), stored), 1);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0]->ActionTitle, "DM");
        EXPECT_TRUE(list.Item(row).row->Record()->RirekiUpDate.IsValid());
    }
    list.SetRows({});
    ports.prompt.Clear();
    history->BulkAdd([](const RirekiDialogRequest&, CRirekiData&) { return kRirekiEndBulk; });
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"顧客を選択してください。"});
}
