// The list display settings dialog and the free item names dialog, driven
// through their buttons: add, move and remove columns, choose the sort order,
// rename free items, reset to the master set.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "SettingsUiFixture.h"
#include "common/Folders.h"
#include "customers/DefaultSort.h"
#include "customers/ui/DispSettingsDlg.h"

// ---------------------------------------------------------------- display settings

class DispSettingsDlgTest : public SettingsUiTest {
protected:
    std::unique_ptr<CDispSettingsDlg> OpenDlg() {
        auto dlg = std::make_unique<CDispSettingsDlg>(install);
        EXPECT_TRUE(dlg->Open());
        dlg->show();
        return dlg;
    }
    void Click(CDispSettingsDlg& dlg, const char* caption) { dlg.Button(QString::fromUtf8(caption))->click(); }
};

TEST_F(DispSettingsDlgTest, OpeningShowsDisplayedAvailableAndSortOrder) {
    WriteDisplayed({"Name", "CustomerID", "Unknown"});
    auto dlg = OpenDlg();
    EXPECT_EQ("顧客一覧の表示設定", dlg->windowTitle().toStdString());
    EXPECT_EQ((std::vector<std::string>{"氏名", "お客様コード"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ((std::vector<std::string>{"ﾌﾘｶﾞﾅ", "自宅TEL", "ランク１", "ランク２", "備考１", "備考２", "登録日", "履歴更新日"}),
              Rows(dlg->AvailableList()));
    EXPECT_EQ((std::vector<std::string>{"お客様コード", "氏名", "ﾌﾘｶﾞﾅ", "自宅TEL", "ランク１", "ランク２", "備考１",
                                        "備考２", "登録日", "履歴更新日"}),
              Items(dlg->SortField()));
    EXPECT_EQ("履歴更新日", dlg->SortField()->currentText().toStdString());
    EXPECT_TRUE(dlg->Descending()->isChecked());
    ExpectAccessible(dlg.get());
    EXPECT_EQ((std::vector<std::string>{"表示列", "上へ", "下へ", "←表示する", "表示しない→", "表示可能な列", "並べ替える列",
                                        "昇順で並べ替え", "降順で並べ替え", "OK", "キャンセル"}),
              TabChain(dlg->DisplayedList()));
}

TEST_F(DispSettingsDlgTest, ShowHideAndMoveColumns) {
    WriteDisplayed({"CustomerID", "Name"});
    auto dlg = OpenDlg();

    Click(*dlg, "←表示する");
    Click(*dlg, "表示しない→");
    Click(*dlg, "上へ");
    Click(*dlg, "下へ");
    EXPECT_EQ((std::vector<std::string>{"表示したい列を「表示可能な列」から選択してください",
                                        "表示をやめる列を「表示列」から選択してください", "移動する項目を選択してください",
                                        "移動する項目を選択してください"}),
              ports.prompt.Texts());
    ports.prompt.Clear();

    dlg->AvailableList()->setCurrentRow(4);  // 備考１
    Click(*dlg, "←表示する");
    EXPECT_EQ((std::vector<std::string>{"お客様コード", "氏名", "備考１"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ(2, dlg->DisplayedList()->currentRow());
    EXPECT_EQ((std::vector<std::string>{"ﾌﾘｶﾞﾅ", "自宅TEL", "ランク１", "ランク２", "備考２", "登録日", "履歴更新日"}),
              Rows(dlg->AvailableList()));

    Click(*dlg, "上へ");
    Click(*dlg, "上へ");
    Click(*dlg, "上へ");  // at the top: nothing
    EXPECT_EQ((std::vector<std::string>{"備考１", "お客様コード", "氏名"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ(0, dlg->DisplayedList()->currentRow());
    Click(*dlg, "下へ");
    EXPECT_EQ((std::vector<std::string>{"お客様コード", "備考１", "氏名"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ(1, dlg->DisplayedList()->currentRow());

    dlg->DisplayedList()->setCurrentRow(0);
    Click(*dlg, "表示しない→");
    EXPECT_EQ((std::vector<std::string>{"備考１", "氏名"}), Rows(dlg->DisplayedList()));
    // The available list is rebuilt in set order.
    EXPECT_EQ((std::vector<std::string>{"お客様コード", "ﾌﾘｶﾞﾅ", "自宅TEL", "ランク１", "ランク２", "備考２", "登録日",
                                        "履歴更新日"}),
              Rows(dlg->AvailableList()));
    EXPECT_TRUE(ports.prompt.Texts().empty());
    EXPECT_EQ((std::vector<std::string>{"CustomerID", "Name"}), Displayed());  // nothing written yet
}

TEST_F(DispSettingsDlgTest, OkWritesColumnsAndSortOrder) {
    WriteDisplayed({"CustomerID", "Name"});
    auto dlg = OpenDlg();
    dlg->AvailableList()->setCurrentRow(0);
    Click(*dlg, "←表示する");
    dlg->SortField()->setCurrentIndex(1);  // 氏名
    dlg->Ascending()->click();
    Click(*dlg, "OK");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(QDialog::Accepted, dlg->result());
    EXPECT_EQ((std::vector<std::string>{"CustomerID", "Name", "Yomi"}), Displayed());
    CDefaultSort sort(data);
    ASSERT_EQ(1, sort.Load());
    EXPECT_EQ("Name", sort.fieldName);
    EXPECT_EQ(0, sort.direction);
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(DispSettingsDlgTest, CancelWritesNothing) {
    WriteDisplayed({"CustomerID", "Name"});
    WhenModal<CDispSettingsDlg>([](CDispSettingsDlg* d) {
        d->DisplayedList()->setCurrentRow(0);
        d->Button("表示しない→")->click();
        d->Ascending()->click();
        d->Button("キャンセル")->click();
    });
    EXPECT_FALSE(RunDispSettingsDialog(nullptr, install));
    EXPECT_EQ((std::vector<std::string>{"CustomerID", "Name"}), Displayed());
    EXPECT_FALSE(FileExists(data + "/DefOrder.dat"));
}

TEST_F(DispSettingsDlgTest, WithoutADirectionTheSortOrderIsNotWritten) {
    WriteDisplayed({"CustomerID"});
    CDefaultSort stored(data);
    stored.fieldName = "Name";
    stored.direction = 2;
    ASSERT_EQ(1, stored.Save());
    const std::string before = ReadBytes(data + "/DefOrder.dat");

    auto dlg = OpenDlg();
    EXPECT_EQ("氏名", dlg->SortField()->currentText().toStdString());
    EXPECT_FALSE(dlg->Ascending()->isChecked());
    EXPECT_FALSE(dlg->Descending()->isChecked());
    dlg->SortField()->setCurrentIndex(0);
    Click(*dlg, "OK");
    EXPECT_EQ(before, ReadBytes(data + "/DefOrder.dat"));
}

TEST_F(DispSettingsDlgTest, FailedWritesAreToldAndTheDialogStillCloses) {
    WriteDisplayed({"CustomerID"});
    auto dlg = OpenDlg();
    BlockFile("MLVDispCol.sys");
    BlockFile("DefOrder.dat");
    Click(*dlg, "OK");
    EXPECT_FALSE(dlg->isVisible());
    const auto texts = ports.prompt.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "表示列の設定ができませんでした"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), "並び順の設定ができませんでした"), texts.end());
}

TEST_F(DispSettingsDlgTest, MissingColumnSetRefusedClosesAtOnce) {
    std::filesystem::remove(data + "/MLVColSet.sys");
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(RunDispSettingsDialog(nullptr, install));
    ASSERT_EQ(1u, ports.prompt.Log().size());
    EXPECT_EQ(Shown::YesNo, ports.prompt.Log()[0].kind);
}

// ---------------------------------------------------------------- free item names

class FreeItemDlgTest : public SettingsUiTest {
protected:
    std::unique_ptr<CFreeItemDlg> OpenDlg() {
        auto dlg = std::make_unique<CFreeItemDlg>(install);
        EXPECT_TRUE(dlg->Open());
        dlg->show();
        return dlg;
    }
    std::string DataLabel(const char* field) {
        CMLVColSet set(install);
        EXPECT_EQ(1, set.Load());
        return set.GetLabel(field);
    }
    void Rename(CFreeItemDlg& dlg, int row, const QString& name) {
        dlg.ItemList()->setCurrentRow(row);
        dlg.NewName()->setText(name);
        dlg.Button("変更")->click();
    }
};

TEST_F(FreeItemDlgTest, ListsTheFreeItemsAndCopiesTheSelectedLabel) {
    auto dlg = OpenDlg();
    EXPECT_EQ((std::vector<std::string>{"ランク１", "ランク２", "備考１", "備考２"}), Rows(dlg->ItemList()));
    EXPECT_EQ("", dlg->NewName()->text().toStdString());
    dlg->ItemList()->setCurrentRow(2);
    EXPECT_EQ("備考１", dlg->NewName()->text().toStdString());
    ExpectAccessible(dlg.get());
    EXPECT_EQ((std::vector<std::string>{"変更可能な項目名", "新しい項目名", "変更", "初期状態に戻す", "OK", "キャンセル"}),
              TabChain(dlg->ItemList()));
}

TEST_F(FreeItemDlgTest, RenameRulesAndTheTenByteWarning) {
    auto dlg = OpenDlg();
    dlg->NewName()->setText(QStringLiteral("新"));
    dlg->Button("変更")->click();  // nothing selected
    Rename(*dlg, 0, QString());
    Rename(*dlg, 2, QStringLiteral("お客様の趣味"));  // 6 full-width = 12 bytes: warned, accepted
    const auto warned = ports.prompt.Texts();
    ports.prompt.Clear();
    Rename(*dlg, 3, QStringLiteral("趣味の内容"));  // exactly 10 bytes: no warning
    Rename(*dlg, 1, QStringLiteral("会員種別"));
    EXPECT_EQ((std::vector<std::string>{"変更する項目名が選択されていません。\nリストから現在の項目名を選択した後、新しい項目名を入力して【変更】ボタンをクリックしてください。",
                                        "項目名を入力してください。",
                                        "項目名が全角で５文字を超えています。\n詳細設定画面で、項目名を表示しきれない可能性があります。"}),
              warned);
    EXPECT_TRUE(ports.prompt.Texts().empty());
    EXPECT_EQ((std::vector<std::string>{"ランク１", "会員種別", "お客様の趣味", "趣味の内容"}), Rows(dlg->ItemList()));
    EXPECT_EQ(1, dlg->ItemList()->currentRow());
    EXPECT_EQ("ランク２", DataLabel("Ranking2"));  // written by OK only
    dlg->Button("OK")->click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ("会員種別", DataLabel("Ranking2"));
    EXPECT_EQ("ランク１", DataLabel("Ranking1"));
}

TEST_F(FreeItemDlgTest, ResetAsksThenRestoresTheMasterAtOnce) {
    auto cols = MasterColumns();
    cols[9].label = "趣味";
    WriteSet(data + "/MLVColSet.sys", cols);
    auto dlg = OpenDlg();
    EXPECT_EQ("趣味", Rows(dlg->ItemList())[2]);

    ports.prompt.QueueAnswer(Answer::No);
    dlg->Button("初期状態に戻す")->click();
    EXPECT_EQ("趣味", Rows(dlg->ItemList())[2]);
    EXPECT_EQ("趣味", DataLabel("Note1"));

    ports.prompt.QueueAnswer(Answer::Yes);
    dlg->Button("初期状態に戻す")->click();
    EXPECT_EQ((std::vector<std::string>{"ランク１", "ランク２", "備考１", "備考２"}), Rows(dlg->ItemList()));
    ASSERT_EQ(2u, ports.prompt.Log().size());
    EXPECT_EQ("すべての項目名を初期状態に戻します。この操作は元に戻せません。\nよろしいですか？", ports.prompt.Log()[0].text);
    EXPECT_EQ(MsgIcon::Information, ports.prompt.Log()[0].icon);

    // Cancel afterwards keeps the reset.
    dlg->Button("キャンセル")->click();
    EXPECT_EQ("備考１", DataLabel("Note1"));
}

TEST_F(FreeItemDlgTest, FailedWriteIsToldAndTheDialogCloses) {
    auto dlg = OpenDlg();
    Rename(*dlg, 0, QStringLiteral("区分"));
    BlockFile("MLVColSet.sys");
    dlg->Button("OK")->click();
    EXPECT_FALSE(dlg->isVisible());
    const auto texts = ports.prompt.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "項目名の変更ができませんでした"), texts.end());
}
