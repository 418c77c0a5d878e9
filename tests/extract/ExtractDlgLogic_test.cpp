#include "extract/ExtractDlgLogic.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/MasterColSet.h"
#include "customers/PreExtraction.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

CExCondition Saved(const char* name, int kind, const char* ref, const char* value, const char* pattern,
                   const char* query) {
    CExCondition c;
    c.ResultKind = kind;
    c.ConditionName = name;
    c.QueryText = query;
    c.RowA = {ref, value, pattern};
    return c;
}

class ExtractDlgTest : public ::testing::Test {
protected:
    ExtractDlgTest() {
        dataDir = MakeInstallation(install);
        doc = OpenDocument(install, true);
        SaveColumns(install, MasterColumns());
        for (const char* name : {"山田太郎", "山田花子", "佐藤一郎"}) {
            CKokyaku k;
            k.Name = name;
            k.Sex = keys.size() == 1 ? 1 : 0;
            keys.push_back(static_cast<uint32_t>(doc->Database().AddNewKokyaku(k)));
        }
        CRirekiData r;
        r.Date = CDateTime::FromParts(2004, 5, 20);
        r.Money = 500;
        doc->Database().AddNewRireki(static_cast<int32_t>(keys[0]), r, r.Date);

        CExtract list(install.Path());
        EXPECT_EQ(list.Load(), 1);
        // The stored text deliberately differs from what the row would build.
        list.Append(Saved("女性", 0, "[Customer].[Sex]", "女", " = *",
                          "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] = '佐藤一郎'"));
        list.Append(Saved("五月", 1, "[Rireki].[Date]", "5", "Month()= *",
                          "SELECT DISTINCTROW Rireki.* FROM Rireki WHERE Month(Int([Rireki].[Date]))= 5"));
        list.Append(Saved("山田", 0, "[Customer].[Name]", "山田", " Like '*%'",
                          "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] Like '山田%'"));
    }

    std::unique_ptr<CExtractDlgLogic> Open(int mode, int kind = 0) {
        auto logic = std::make_unique<CExtractDlgLogic>(doc.get(), install.Path(), mode, kind);
        logic->Open();
        return logic;
    }
    int FieldIndex(const CExtractDlgLogic& logic, const std::string& ref) {
        const auto& f = logic.Fields();
        for (std::size_t i = 0; i < f.size(); ++i)
            if (f[i].sqlRef == ref) return static_cast<int>(i);
        return -1;
    }
    std::string SavedFile() const { return dataDir + "/MLVExtract.sys"; }

    TestPorts ports;
    TempDir install;
    std::string dataDir;
    std::unique_ptr<CMilvaneDoc> doc;
    std::vector<uint32_t> keys;
};

TEST_F(ExtractDlgTest, ModesFilterTheSavedListAndRefuseMisfits) {
    EXPECT_EQ(Open(kExtractAny)->ListedNames(), (std::vector<std::string>{"女性", "五月", "山田"}));
    EXPECT_EQ(Open(kExtractCustomers)->ListedNames(), (std::vector<std::string>{"女性", "山田"}));
    EXPECT_EQ(Open(kExtractPreset)->ListedNames(), (std::vector<std::string>{"女性", "山田"}));
    EXPECT_TRUE(ports.prompt.Log().empty());

    // The current customer extraction is not shown in the history mode.
    doc->Extraction = std::make_shared<CExCondition>(
        Saved("", 0, "[Customer].[Name]", "山田", " Like '*%'", "SELECT DISTINCTROW Customer.* FROM Customer"));
    auto history = Open(kExtractRireki);
    EXPECT_EQ(history->ListedNames(), std::vector<std::string>{"五月"});
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{kExtractMisfit});
    EXPECT_EQ(history->Row(0).field, -1);
    EXPECT_EQ(history->ResultKind(), 1);
    EXPECT_FALSE(history->DisplaySettingsEnabled());

    // In the free mode it is shown again, as an edit.
    ports.prompt.Clear();
    auto any = Open(kExtractAny);
    EXPECT_EQ(any->RefOf(0), "[Customer].[Name]");
    EXPECT_EQ(any->Row(0).value, "山田");
    EXPECT_EQ(any->Operators(0)[any->Row(0).op].display, std::string("で始まる"));
    EXPECT_FALSE(any->Unchanged());
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(ExtractDlgTest, SavedConditionRunsAsStoredUntilEdited) {
    auto logic = Open(kExtractAny);
    logic->PickSaved(0);
    ASSERT_TRUE(logic->Unchanged());
    EXPECT_EQ(logic->Row(0).value, "女");
    ASSERT_TRUE(logic->Run());
    EXPECT_EQ(doc->ExtractKeys, std::vector<uint32_t>{keys[2]});
    EXPECT_EQ(doc->Extraction->ConditionName, "女性");
    EXPECT_TRUE(doc->ExtractSaved);

    logic->PickSaved(0);
    logic->SetValue(0, "女");
    ASSERT_TRUE(logic->Run());
    EXPECT_EQ(doc->ExtractKeys, std::vector<uint32_t>{keys[1]});
    EXPECT_EQ(doc->Extraction->QueryText, "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Sex] = 1");
    EXPECT_FALSE(doc->ExtractSaved);

    // A history condition fills the document's history list.
    logic->PickSaved(1);
    EXPECT_EQ(logic->ResultKind(), 1);
    ASSERT_TRUE(logic->Run());
    ASSERT_EQ(doc->RirekiList.size(), 1u);
    CRirekiData entry;
    ASSERT_EQ(doc->Database().GetRireki(doc->RirekiList[0].ID, entry), 1);
    EXPECT_EQ(entry.CustomerID, static_cast<int32_t>(keys[0]));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(ExtractDlgTest, RefusedStatementKeepsTheDocument) {
    auto logic = Open(kExtractCustomers);
    ASSERT_TRUE(logic->ChooseField(0, FieldIndex(*logic, "[Customer].[ClosingDay]")));
    logic->SetValue(0, "1e");  // passes the checks, refused by the database
    logic->SetOperator(0, 0);
    EXPECT_FALSE(logic->Run());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"抽出に失敗しました"});
    EXPECT_EQ(doc->Extraction, nullptr);
}

TEST_F(ExtractDlgTest, RowsOpenWithTheirConnectorsAndSeparatorsCannotBeChosen) {
    auto logic = Open(kExtractAny);
    EXPECT_FALSE(logic->RowEnabled(1));
    EXPECT_FALSE(logic->ChooseField(0, 0));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"この項目は選択できません"});
    EXPECT_EQ(logic->Row(0).field, -1);

    ASSERT_TRUE(logic->ChooseField(0, FieldIndex(*logic, "[Customer].[Sex]")));
    EXPECT_EQ(logic->Row(0).choices, (std::vector<std::string>{"男", "女"}));
    EXPECT_EQ(logic->Row(0).value, "男");
    EXPECT_EQ(logic->Row(0).op, -1);
    logic->SetConnector(0, kConnOr);
    EXPECT_TRUE(logic->RowEnabled(1));
    EXPECT_FALSE(logic->RowEnabled(2));
    logic->SetConnector(1, kConnAnd);
    EXPECT_TRUE(logic->RowEnabled(2));
    logic->SetResultKind(1);
    EXPECT_FALSE(logic->DisplaySettingsEnabled());
}

TEST_F(ExtractDlgTest, SaveRenameAndDeleteTheSavedList) {
    auto logic = Open(kExtractCustomers);
    ASSERT_TRUE(logic->ChooseField(0, FieldIndex(*logic, "[Customer].[Name]")));
    logic->SetValue(0, "佐藤");
    logic->SetOperator(0, 2);
    int dialogs = 0;
    logic->saveDialog = [&](CExCondition& c) {
        ++dialogs;
        return SaveConditionAs(install.Path(), c, "同名") == ExSaveResult::Saved;
    };
    logic->SaveConditions();
    logic->SaveConditions();
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(logic->Unchanged());
    EXPECT_EQ(logic->ListedNames(), (std::vector<std::string>{"女性", "山田", "同名", "同名"}));
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"抽出条件を保存しました。", "抽出条件を保存しました。"}));

    ports.prompt.Clear();
    logic->Rename(-1);
    logic->renameDialog = [](const std::string& old) { return std::optional<std::string>(old + "２"); };
    logic->Rename(3);
    EXPECT_EQ(logic->ListSelection(), 3);
    CExtract reread(install.Path());
    ASSERT_EQ(reread.Load(), 1);
    EXPECT_EQ(reread.Conditions.back().ConditionName, "同名２");

    logic->Delete(-1);
    ports.prompt.QueueAnswer(Answer::No);
    logic->Delete(0);
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Delete(0);
    EXPECT_EQ(logic->ListedNames(), (std::vector<std::string>{"山田", "同名", "同名２"}));
    const std::string ask = "条件「女性」を削除します。\nよろしいですか？";
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"名前を変更する条件を選択してください",
                                                              "削除する条件を選択してください", ask, ask}));
    EXPECT_EQ(ports.prompt.Log()[2].defaultButton, Answer::No);
}

namespace {

// Files written while it lives cannot grow past one byte (root included).
struct NoRoomForFiles {
    NoRoomForFiles() {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        previous = ::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 1;
        ::setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~NoRoomForFiles() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::signal(SIGXFSZ, previous);
    }
    rlimit saved{};
    sighandler_t previous{};
};

}  // namespace

TEST_F(ExtractDlgTest, FailedWritesShowTheFileErrorAndKeepTheListAsOnDisk) {
    auto logic = Open(kExtractAny);
    const std::string before = ReadBytes(SavedFile());
    const std::vector<std::string> names = {"女性", "五月", "山田"};
    ASSERT_EQ(logic->ListedNames(), names);
    logic->renameDialog = [](const std::string&) { return std::optional<std::string>("新しい名前"); };
    ports.prompt.QueueAnswer(Answer::Yes);
    {
        NoRoomForFiles full;
        logic->Rename(1);
        logic->Delete(0);
    }
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"ファイル操作中にエラーが発生しました",
                                                              "条件「女性」を削除します。\nよろしいですか？",
                                                              "ファイル操作中にエラーが発生しました"}));
    EXPECT_EQ(logic->ListedNames(), names);
    EXPECT_EQ(ReadBytes(SavedFile()), before);
    // The next successful change writes the list as it was plus that change.
    logic->Rename(1);
    EXPECT_EQ(Open(kExtractAny)->ListedNames(), (std::vector<std::string>{"女性", "新しい名前", "山田"}));
}

TEST_F(ExtractDlgTest, DeletingTheOnlyConditionLeavesCountZero) {
    CExtract one(install.Path());
    one.Load();
    one.Conditions.resize(1);
    ASSERT_EQ(one.Save(), 1);
    auto logic = Open(kExtractAny);
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->Delete(0);
    EXPECT_EQ(ReadBytes(SavedFile()), Hex("00 00"));
}

TEST_F(ExtractDlgTest, SaveDialogRules) {
    TestPorts local;
    EXPECT_FALSE(CanOpenSaveDialog(nullptr));
    CExCondition c;
    EXPECT_EQ(SaveConditionAs(install.Path(), c, ""), ExSaveResult::Stay);
    // A damaged saved list is not overwritten.
    WriteBytes(SavedFile(), Hex("05 00 FF"));
    EXPECT_EQ(SaveConditionAs(install.Path(), c, "名"), ExSaveResult::NotSaved);
    EXPECT_EQ(ReadBytes(SavedFile()), Hex("05 00 FF"));
    EXPECT_EQ(local.prompt.Texts(), (std::vector<std::string>{"条件が不正です。保存できません。", "名前を入力してください",
                                                              "ファイル操作中にエラーが発生しました"}));
}

TEST_F(ExtractDlgTest, PresetStoresTheConditionWithoutColumns) {
    doc->Extraction = std::make_shared<CExCondition>(
        Saved("", 0, "[Customer].[Name]", "山田", " Like '*%'", "SELECT DISTINCTROW Customer.* FROM Customer"));
    doc->Extraction->DisplayColumns = {"Name"};
    auto logic = Open(kExtractPreset);
    EXPECT_FALSE(logic->RunEnabled());
    EXPECT_TRUE(logic->PresetShown());
    ports.prompt.QueueAnswer(Answer::Yes);
    ASSERT_TRUE(logic->Preset());
    auto stored = LoadCondition(dataDir);
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(stored->DisplayColumns.empty());
    EXPECT_EQ(stored->QueryText,
              "SELECT DISTINCTROW Customer.* FROM Customer WHERE ([Customer].[Name] Like '山田%' AND "
              "[Customer].[Name] Not Like '')");
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].kind, Shown::YesNo);
    EXPECT_EQ(ports.prompt.Texts()[1], "設定しました");

    // No leaves the stored one alone.
    ports.prompt.QueueAnswer(Answer::No);
    logic->SetValue(0, "佐藤");
    EXPECT_FALSE(logic->Preset());
    EXPECT_EQ(LoadCondition(dataDir)->RowA[1], "山田");
}

TEST_F(ExtractDlgTest, DisplayColumnsDialog) {
    CMLVDispKokyakuCol disp(install.Path());
    disp.names = {"CustomerID", "Name"};
    ASSERT_EQ(disp.Save(), 1);
    CExColumnsModel model(install.Path());
    ASSERT_TRUE(model.Open({}));
    ASSERT_EQ(model.Shown().size(), 2u);
    EXPECT_EQ(model.Shown()[1].label, "氏名");
    for (const CMLVCol& c : model.Available()) {
        EXPECT_TRUE(IsDisplayableColumn(c.fieldName)) << c.fieldName;
        EXPECT_NE(c.fieldName, "Name");
    }
    EXPECT_EQ(model.Show(-1), -1);
    EXPECT_EQ(model.Show(0), 2);  // "Yomi", the first column left
    EXPECT_EQ(model.Shown()[2].fieldName, "Yomi");
    EXPECT_EQ(model.MoveUp(2), 1);
    EXPECT_EQ(model.MoveUp(0), 0);
    EXPECT_EQ(model.MoveDown(2), 2);
    EXPECT_EQ(model.MoveDown(-1), -1);
    EXPECT_FALSE(model.Hide(5));
    EXPECT_EQ(model.Ok(), (std::vector<std::string>{"CustomerID", "Yomi", "Name"}));
    ASSERT_TRUE(model.Hide(0) && model.Hide(0) && model.Hide(0));
    EXPECT_TRUE(model.Ok().empty());
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"表示したい列を「表示可能な列」から選択してください", "移動する項目を選択してください",
                                        "表示をやめる列を「表示列」から選択してください",
                                        "表示列を設定していません。顧客リストの通常と同じ状態で結果を表示します。"}));

    // Given columns win over the customer list's.
    CExColumnsModel given(install.Path());
    ASSERT_TRUE(given.Open({"Sex", "TEL_Home_X"}));
    ASSERT_EQ(given.Shown().size(), 1u);
    EXPECT_EQ(given.Shown()[0].fieldName, "Sex");
}

TEST_F(ExtractDlgTest, DisplayColumnsStartFromTheListsColumnsWithoutTheirFile) {
    std::filesystem::remove(dataDir + "/MLVDispCol.sys");
    CExColumnsModel model(install.Path());
    ASSERT_TRUE(model.Open({}));
    std::vector<std::string> shown;
    for (const CMLVCol& c : model.Shown()) shown.push_back(c.fieldName);
    std::vector<std::string> listed;
    for (const CMLVCol& c : BuildCustomerListColumns(install.Path())) listed.push_back(c.fieldName);
    EXPECT_EQ(shown, (std::vector<std::string>{"CustomerID", "Name"}));
    EXPECT_EQ(shown, listed);
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(ExtractDlgTest, PresetCommandShowsTheStoredConditionThenDropsIt) {
    CExCondition stored = Saved("", 0, "[Customer].[Sex]", "女", " = *", "SELECT DISTINCTROW Customer.* FROM Customer");
    ASSERT_EQ(SaveCondition(dataDir, stored), 1);
    int shownMode = 0;
    SetPreExtractionCommand(*doc, [&](int mode) {
        shownMode = mode;
        EXPECT_TRUE(doc->Extraction && *doc->Extraction == stored);
        auto logic = Open(mode);
        EXPECT_EQ(logic->Row(0).value, "女");
        return 0;
    });
    EXPECT_EQ(shownMode, kExtractPreset);
    EXPECT_EQ(doc->Extraction, nullptr);
    EXPECT_FALSE(doc->ExtractActive);
    ASSERT_EQ(ports.prompt.Log().size(), 1u);
    EXPECT_EQ(ports.prompt.Log()[0].text, kPreExtractionIntro);
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Information);
}

}  // namespace
