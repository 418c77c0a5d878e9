// The extraction dialog driven through its controls: the mode's buttons,
// rows that open with their connectors, the colour picker in the value's
// place, running and saving. The rules themselves are tested on the core.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>

#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"
#include "customers/ui/SettingsUiFixture.h"
#include "extract/ui/ExtractDlg.h"

namespace {

class ExtractDlgUiTest : public SettingsUiTest {
protected:
    ExtractDlgUiTest() {
        std::vector<CMLVCol> cols = MasterColumns();
        cols.push_back({"ColorMark", "カラー"});
        WriteSet(data + "/MLVColSet.sys", cols);
        EXPECT_TRUE(CreateEmptyMilvaneDatabase(data + "/QSMLV.mlv"));
        doc = std::make_unique<CMilvaneDoc>(install);
        doc->DataDir = data;
        EXPECT_EQ(doc->Database().InitDB(data), 1);
        for (const char* name : {"山田太郎", "佐藤花子"}) {
            CKokyaku k;
            k.Name = name;
            keys.push_back(static_cast<uint32_t>(doc->Database().AddNewKokyaku(k)));
        }
    }
    static int Index(QComboBox* box, const char* text) { return box->findText(QString::fromUtf8(text)); }

    std::unique_ptr<CMilvaneDoc> doc;
    std::vector<uint32_t> keys;
};

TEST_F(ExtractDlgUiTest, PresetModeShowsItsOwnButton) {
    CExtractDlg dlg(*doc, kExtractPreset, 0);
    dlg.show();
    ExpectAccessible(&dlg);
    QPushButton* preset = dlg.Button(QStringLiteral("通常、顧客一覧をこの条件で抽出して表示する"));
    EXPECT_TRUE(preset->isVisible());
    EXPECT_TRUE(preset->isDefault());
    EXPECT_FALSE(dlg.Button(QStringLiteral("抽出実行"))->isEnabled());
    EXPECT_FALSE(dlg.Button(QStringLiteral("条件を保存..."))->isVisible());
    EXPECT_FALSE(dlg.Button(QStringLiteral("名前の変更..."))->isEnabled());
    EXPECT_FALSE(dlg.Button(QStringLiteral("条件を削除"))->isEnabled());
    EXPECT_FALSE(dlg.RirekiChoice()->isEnabled());
    EXPECT_FALSE(dlg.Button(QStringLiteral("顧客一覧の表示設定..."))->isEnabled());
}

TEST_F(ExtractDlgUiTest, RowsFollowTheirFieldsAndConnectors) {
    CExtractDlg dlg(*doc, kExtractAny, 0);
    dlg.show();
    EXPECT_TRUE(dlg.Button(QStringLiteral("抽出実行"))->isDefault());
    EXPECT_FALSE(dlg.FieldBox(1)->isEnabled());
    EXPECT_EQ(dlg.FieldBox(0)->accessibleName().toStdString(), "条件A：項目");

    // A separator is refused and the choice stays.
    dlg.FieldBox(0)->setCurrentIndex(0);
    EXPECT_EQ(dlg.FieldBox(0)->currentIndex(), -1);
    EXPECT_EQ(ports.prompt.Texts(), Strings{"この項目は選択できません"});

    // The colour picker takes the value's place.
    dlg.FieldBox(0)->setCurrentIndex(Index(dlg.FieldBox(0), "カラー"));
    auto* stack = static_cast<QStackedLayout*>(dlg.ValueBox(0)->parentWidget()->layout());
    EXPECT_EQ(stack->currentWidget(), dlg.ColourBox(0));
    EXPECT_EQ(Items(dlg.OperatorBox(0)), (Strings{"と等しい", "と等しくない"}));

    dlg.FieldBox(0)->setCurrentIndex(Index(dlg.FieldBox(0), "氏名"));
    EXPECT_EQ(stack->currentWidget(), dlg.ValueBox(0));
    dlg.ValueBox(0)->setEditText(QStringLiteral("山田"));
    dlg.OperatorBox(0)->setCurrentIndex(Index(dlg.OperatorBox(0), "で始まる"));
    dlg.ConnectorBox(0)->setCurrentIndex(kConnOr);
    EXPECT_TRUE(dlg.FieldBox(1)->isEnabled());
    EXPECT_FALSE(dlg.FieldBox(2)->isEnabled());
    dlg.ConnectorBox(1)->setCurrentIndex(kConnAnd);
    EXPECT_TRUE(dlg.FieldBox(2)->isEnabled());
    // Closing row B closes row C and the choice after B.
    dlg.ConnectorBox(0)->setCurrentIndex(kConnEnd);
    EXPECT_FALSE(dlg.FieldBox(1)->isEnabled());
    EXPECT_FALSE(dlg.FieldBox(2)->isEnabled());
    EXPECT_EQ(dlg.ConnectorBox(1)->currentText().toStdString(), "おわり");
}

TEST_F(ExtractDlgUiTest, SaveDialogNamesTheConditionAndTheListShowsIt) {
    CExtractDlg dlg(*doc, kExtractCustomers, 0);
    dlg.show();
    EXPECT_FALSE(dlg.RirekiChoice()->isEnabled());
    dlg.FieldBox(0)->setCurrentIndex(Index(dlg.FieldBox(0), "氏名"));
    dlg.ValueBox(0)->setEditText(QStringLiteral("佐藤"));
    dlg.OperatorBox(0)->setCurrentIndex(0);
    WhenModal<CExSaveDlg>([](CExSaveDlg* save) {
        ExpectAccessible(save);
        save->accept();  // an empty name stays
        EXPECT_TRUE(save->isVisible());
        save->NameEdit()->setText(QStringLiteral("佐藤さん"));
        save->accept();
    });
    dlg.Button(QStringLiteral("条件を保存..."))->click();
    EXPECT_EQ(Rows(dlg.SavedList()), Strings{"佐藤さん"});
    EXPECT_EQ(ports.prompt.Texts(), (Strings{"名前を入力してください", "抽出条件を保存しました。"}));

    // Picked again after an edit, it shows its rows unchanged.
    dlg.ValueBox(0)->setEditText(QStringLiteral("別"));
    dlg.SavedList()->setCurrentRow(0);
    EXPECT_EQ(dlg.ValueBox(0)->currentText().toStdString(), "佐藤");
    EXPECT_TRUE(dlg.Logic().Unchanged());
}

TEST_F(ExtractDlgUiTest, CustomerScreenRunsAndRedoesAnExtraction) {
    ASSERT_EQ(doc->ReadCustomers(), 1);
    WriteDisplayed({"CustomerID", "Name"});
    CMainFrame frame(*doc);
    auto* view = new CKokyakuView(*doc, frame, SCREEN_KOKYAKU_LIST, &frame);
    view->OnInitialUpdate();
    EXPECT_TRUE(view->ExtractButton(ID_EXTRACT_REDO)->isHidden());

    WhenModal<CExtractDlg>([this](CExtractDlg* dlg) {
        dlg->FieldBox(0)->setCurrentIndex(Index(dlg->FieldBox(0), "氏名"));
        dlg->ValueBox(0)->setEditText(QStringLiteral("佐藤"));
        dlg->OperatorBox(0)->setCurrentIndex(Index(dlg->OperatorBox(0), "で始まる"));
        dlg->Button(QStringLiteral("抽出実行"))->click();
    });
    view->OnCommand(ID_EXTRACT);
    EXPECT_EQ(view->ListCtrl()->model()->rowCount(), 1);
    EXPECT_TRUE(view->ExtractButton(ID_EXTRACT_REDO)->isEnabled());
    EXPECT_TRUE(view->ExtractButton(ID_EXTRACT_SAVE)->isEnabled());
    EXPECT_FALSE(view->ExtractButton(ID_EXTRACT_SAVE)->isHidden());

    // Redo shows the conditions again; widening them brings both customers.
    WhenModal<CExtractDlg>([](CExtractDlg* dlg) {
        EXPECT_EQ(dlg->ValueBox(0)->currentText().toStdString(), "佐藤");
        EXPECT_FALSE(dlg->RirekiChoice()->isEnabled());
        dlg->ValueBox(0)->setEditText(QString());
        dlg->OperatorBox(0)->setCurrentIndex(Index(dlg->OperatorBox(0), "と等しくない"));
        dlg->Button(QStringLiteral("抽出実行"))->click();
    });
    ports.prompt.QueueAnswer(Answer::Yes);  // an empty value counts as empty text
    view->OnCommand(ID_EXTRACT_REDO);
    EXPECT_EQ(view->ListCtrl()->model()->rowCount(), 2);
    EXPECT_EQ(doc->Extraction->QueryText, "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] <> ''");
    delete view;
}

}  // namespace
