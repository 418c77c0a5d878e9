// The list display settings dialog and the free item names dialog, driven
// through their buttons: add, move and remove columns, choose the sort order,
// rename free items, reset to the master set. The rules themselves are tested
// on the core models.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "SettingsUiFixture.h"
#include "common/Folders.h"
#include "customers/DefaultSort.h"
#include "customers/ui/DispSettingsDlg.h"

namespace {

template <class D>
void Click(D& dlg, const char* caption, int row = -2) {
    if (row != -2) dlg.DisplayedList()->setCurrentRow(row);
    dlg.Button(QString::fromUtf8(caption))->click();
}

bool Told(const TestPorts& ports, const std::string& text) {
    const auto texts = ports.prompt.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

// ---------------------------------------------------------------- display settings

class DispSettingsDlgTest : public SettingsUiTest {
protected:
    std::unique_ptr<CDispSettingsDlg> OpenDlg(const Strings& displayed) {
        WriteDisplayed(displayed);
        auto dlg = std::make_unique<CDispSettingsDlg>(install);
        EXPECT_TRUE(dlg->Open());
        dlg->show();
        return dlg;
    }
};

TEST_F(DispSettingsDlgTest, OpeningShowsDisplayedAvailableAndSortOrder) {
    auto dlg = OpenDlg({"Name", "CustomerID", "Unknown"});
    EXPECT_EQ((Strings{"氏名", "お客様コード"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ((Strings{"ﾌﾘｶﾞﾅ", "自宅TEL", "ランク１", "ランク２", "備考１", "備考２", "登録日", "履歴更新日"}),
              Rows(dlg->AvailableList()));
    EXPECT_EQ(10, dlg->SortField()->count());
    EXPECT_EQ("履歴更新日", dlg->SortField()->currentText().toStdString());
    EXPECT_TRUE(dlg->Descending()->isChecked());
    ExpectAccessible(dlg.get());
    EXPECT_EQ((Strings{"表示列", "上へ", "下へ", "←表示する", "表示しない→", "表示可能な列", "並べ替える列",
                       "昇順で並べ替え", "降順で並べ替え", "OK", "キャンセル"}),
              TabChain(dlg->DisplayedList()));
}

TEST_F(DispSettingsDlgTest, ShowHideAndMoveColumns) {
    auto dlg = OpenDlg({"CustomerID", "Name"});
    for (const char* b : {"←表示する", "表示しない→", "上へ", "下へ"}) Click(*dlg, b);
    EXPECT_EQ((Strings{"表示したい列を「表示可能な列」から選択してください", "表示をやめる列を「表示列」から選択してください",
                       "移動する項目を選択してください", "移動する項目を選択してください"}),
              ports.prompt.Texts());
    ports.prompt.Clear();

    dlg->AvailableList()->setCurrentRow(4);  // 備考１
    Click(*dlg, "←表示する");
    EXPECT_EQ((Strings{"お客様コード", "氏名", "備考１"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ(2, dlg->DisplayedList()->currentRow());
    EXPECT_EQ(7, dlg->AvailableList()->count());
    for (int i = 0; i < 3; ++i) Click(*dlg, "上へ");  // the third one at the top: nothing
    EXPECT_EQ((Strings{"備考１", "お客様コード", "氏名"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ(0, dlg->DisplayedList()->currentRow());
    Click(*dlg, "下へ");
    EXPECT_EQ((Strings{"お客様コード", "備考１", "氏名"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ(1, dlg->DisplayedList()->currentRow());

    Click(*dlg, "表示しない→", 0);
    EXPECT_EQ((Strings{"備考１", "氏名"}), Rows(dlg->DisplayedList()));
    EXPECT_EQ("お客様コード", Rows(dlg->AvailableList()).front());  // rebuilt in set order
    EXPECT_TRUE(ports.prompt.Texts().empty());
    EXPECT_EQ((Strings{"CustomerID", "Name"}), Displayed());  // nothing written yet
}

TEST_F(DispSettingsDlgTest, OkWritesColumnsAndSortOrderCancelNothing) {
    WhenModal<CDispSettingsDlg>([](CDispSettingsDlg* d) {
        Click(*d, "表示しない→", 0);
        d->Ascending()->click();
        Click(*d, "キャンセル");
    });
    WriteDisplayed({"CustomerID", "Name"});
    EXPECT_FALSE(RunDispSettingsDialog(nullptr, install));
    EXPECT_EQ((Strings{"CustomerID", "Name"}), Displayed());
    EXPECT_FALSE(FileExists(data + "/DefOrder.dat"));

    auto dlg = OpenDlg({"CustomerID", "Name"});
    dlg->AvailableList()->setCurrentRow(0);
    Click(*dlg, "←表示する");
    dlg->SortField()->setCurrentIndex(1);  // 氏名
    dlg->Ascending()->click();
    Click(*dlg, "OK");
    EXPECT_EQ(QDialog::Accepted, dlg->result());
    EXPECT_EQ((Strings{"CustomerID", "Name", "Yomi"}), Displayed());
    CDefaultSort sort(data);
    ASSERT_EQ(1, sort.Load());
    EXPECT_EQ("Name", sort.fieldName);
    EXPECT_EQ(0, sort.direction);
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(DispSettingsDlgTest, WithoutADirectionTheSortOrderIsNotWritten) {
    CDefaultSort stored(data);
    stored.fieldName = "Name";
    stored.direction = 2;
    ASSERT_EQ(1, stored.Save());
    const std::string before = ReadBytes(data + "/DefOrder.dat");

    auto dlg = OpenDlg({"CustomerID"});
    EXPECT_EQ("氏名", dlg->SortField()->currentText().toStdString());
    EXPECT_FALSE(dlg->Ascending()->isChecked() || dlg->Descending()->isChecked());
    dlg->SortField()->setCurrentIndex(0);
    Click(*dlg, "OK");
    EXPECT_EQ(before, ReadBytes(data + "/DefOrder.dat"));
}

TEST_F(DispSettingsDlgTest, FailuresAreTold) {
    auto dlg = OpenDlg({"CustomerID"});
    BlockFile("MLVDispCol.sys");
    BlockFile("DefOrder.dat");
    Click(*dlg, "OK");
    EXPECT_FALSE(dlg->isVisible());  // closes all the same
    EXPECT_TRUE(Told(ports, "表示列の設定ができませんでした"));
    EXPECT_TRUE(Told(ports, "並び順の設定ができませんでした"));

    std::filesystem::remove(data + "/MLVColSet.sys");  // a missing set whose reset is refused: no dialog
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(RunDispSettingsDialog(nullptr, install));
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
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

TEST_F(FreeItemDlgTest, RenameRulesAndTheTenByteWarning) {
    auto dlg = OpenDlg();
    EXPECT_EQ((Strings{"ランク１", "ランク２", "備考１", "備考２"}), Rows(dlg->ItemList()));
    ExpectAccessible(dlg.get());
    EXPECT_EQ((Strings{"変更可能な項目名", "新しい項目名", "変更", "初期状態に戻す", "OK", "キャンセル"}),
              TabChain(dlg->ItemList()));
    EXPECT_EQ("", dlg->NewName()->text().toStdString());
    dlg->ItemList()->setCurrentRow(2);
    EXPECT_EQ("備考１", dlg->NewName()->text().toStdString());  // the selected label is copied

    dlg->ItemList()->setCurrentRow(-1);
    dlg->NewName()->setText(QStringLiteral("新"));
    dlg->Button("変更")->click();  // nothing selected
    Rename(*dlg, 0, QString());
    Rename(*dlg, 2, QStringLiteral("お客様の趣味"));  // 12 bytes: warned, accepted
    EXPECT_EQ(3u, ports.prompt.Texts().size());
    EXPECT_EQ("項目名が全角で５文字を超えています。\n詳細設定画面で、項目名を表示しきれない可能性があります。",
              ports.prompt.Texts().back());
    Rename(*dlg, 3, QStringLiteral("趣味の内容"));  // exactly 10 bytes: no warning
    Rename(*dlg, 1, QStringLiteral("会員種別"));
    EXPECT_EQ(3u, ports.prompt.Texts().size());
    EXPECT_EQ((Strings{"ランク１", "会員種別", "お客様の趣味", "趣味の内容"}), Rows(dlg->ItemList()));
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
    ports.prompt.QueueAnswer(Answer::No);
    dlg->Button("初期状態に戻す")->click();
    EXPECT_EQ("趣味", Rows(dlg->ItemList())[2]);
    EXPECT_EQ("趣味", DataLabel("Note1"));

    ports.prompt.QueueAnswer(Answer::Yes);
    dlg->Button("初期状態に戻す")->click();
    EXPECT_EQ((Strings{"ランク１", "ランク２", "備考１", "備考２"}), Rows(dlg->ItemList()));
    dlg->Button("キャンセル")->click();  // cancel afterwards keeps the reset
    EXPECT_EQ("備考１", DataLabel("Note1"));
}

TEST_F(FreeItemDlgTest, FailedWriteIsToldAndTheDialogCloses) {
    auto dlg = OpenDlg();
    Rename(*dlg, 0, QStringLiteral("区分"));
    BlockFile("MLVColSet.sys");
    dlg->Button("OK")->click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(Told(ports, "項目名の変更ができませんでした"));
}
