// The import dialogs driven through their controls; the rules are tested on
// the core models.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "customers/ui/DialogParts.h"
#include "customers/ui/SettingsUiFixture.h"
#include "exchange/Import.h"
#include "exchange/ui/ExportDlg.h"
#include "exchange/ui/ImportDlg.h"

namespace {

Strings RadioNames(const CChoiceDlg& dlg) {
    Strings out;
    for (QAbstractButton* b : dlg.Group()->buttons()) out.push_back(b->accessibleName().toStdString());
    return out;
}

TEST(ImportSourceDlg, SourcesInTableOrder) {
    auto source = MakeImportSourceDlg(nullptr);
    EXPECT_EQ(RadioNames(*source), (Strings{"ACCESS（2002/2000/97）データ", "EXCEL（2002/2000/97）データ",
                                            "テキスト（*.csv/*.txt）データ", "ContactXML"}));
    EXPECT_EQ(source->Choice(), 0);
    ExpectAccessible(source.get());
    auto brenna = MakeBrennaSourceDlg(nullptr);
    EXPECT_EQ(RadioNames(*brenna), (Strings{"得意先Excelブック", "得意先台帳ツール"}));
}

TEST(TextFormatDlg, OtherDelimiterRefusesAQuote) {
    TestPorts ports;
    CTextFormatDlg dlg("a|b", nullptr);
    ExpectAccessible(&dlg);
    dlg.show();
    dlg.OtherEdit()->setText(QStringLiteral("\""));
    dlg.Group()->button(3)->click();
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.OtherEdit()->text().isEmpty());
    dlg.OtherEdit()->setText(QStringLiteral("|"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Format().delimiter, '|');
    EXPECT_EQ(ports.prompt.Texts(), Strings{"区切り文字には \" (ﾀﾞﾌﾞﾙｸｫｰﾃｰｼｮﾝ)は使用できません。"});
}

TEST(TextFormatDlg, EncodingShownAndTheImageFollowsAChange) {
    const std::string bytes = "0001,\xD0\xB7";  // ﾐｷ in Shift-JIS, "з" in UTF-8
    CTextFormatDlg dlg(bytes, nullptr);
    dlg.show();
    EXPECT_EQ(dlg.EncodingBox()->accessibleName().toStdString(), "文字コード");
    EXPECT_EQ(dlg.EncodingBox()->currentText().toStdString(), "Shift-JIS");
    EXPECT_EQ(dlg.Image()->toPlainText().toStdString(), "0001,ﾐｷ");
    const Strings chain = TabChain(dlg.OtherEdit());
    EXPECT_NE(std::find(chain.begin(), chain.end(), "文字コード"), chain.end());
    dlg.EncodingBox()->setCurrentIndex(1);
    EXPECT_EQ(dlg.Image()->toPlainText().toStdString(), "0001,з");
    dlg.accept();
    EXPECT_EQ(dlg.Format().encoding, TextEncoding::Utf8);
}

TEST(NameChoiceDlg, FirstPreselectedAndNoSelectionRefused) {
    TestPorts ports;
    CNameChoiceDlg dlg(QStringLiteral("シートの選択"), QStringLiteral("シートを選択してください"), {"顧客", "空白"},
                       kNoSheetChosen);
    dlg.show();
    EXPECT_EQ(SelectedRow(dlg.List()), 0);
    dlg.List()->clearSelection();
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(ports.prompt.Texts(), Strings{"ｼｰﾄ名を選択してください."});
    dlg.List()->setCurrentRow(1);
    dlg.accept();
    EXPECT_EQ(dlg.Choice(), 1);
}

TEST(ImportMapDlg, MapUnmapAndFinish) {
    TestPorts ports;
    ExchangeTable table = {{"", "F1", "F2"}, {"1", "山田", "東京"}, {"2", "佐藤", "大阪"}};
    std::vector<CMLVCol> columns = {{"ID", "ID"}, {"Name", "氏名"}, {"Add1_Home", "住所１"}, {"Sex", "性別"}};
    CImportMapModel model(table, columns, false);
    CImportMapDlg dlg(model);
    dlg.show();
    ExpectAccessible(&dlg);
    EXPECT_EQ(Rows(dlg.FieldList()), (Strings{"氏名", "住所１", "性別"}));
    EXPECT_EQ(dlg.DataList()->topLevelItem(0)->text(1).toStdString(), "山田");
    EXPECT_EQ(dlg.DataList()->topLevelItem(0)->text(2).toStdString(), "佐藤");
    EXPECT_FALSE(dlg.FirstRowBox()->isChecked());
    EXPECT_TRUE(dlg.FirstRowBox()->isEnabled());
    EXPECT_EQ(TabChain(dlg.FieldList()), (Strings{"顧客データベースの項目", "対応づける→", "解除する←", "読み込むデータ",
                                                   "読み込めるデータについて", "１行目から読み込む", "完了",
                                                   "キャンセル"}));

    dlg.FieldList()->setCurrentRow(2);
    EXPECT_EQ(dlg.RuleBox()->toPlainText().toStdString(), ImportRuleText("Sex"));
    dlg.FieldList()->setCurrentRow(0);
    dlg.Button(QStringLiteral("対応づける→"))->click();
    EXPECT_EQ(dlg.DataList()->topLevelItem(0)->text(0).toStdString(), "氏名");
    EXPECT_EQ(Rows(dlg.FieldList()), (Strings{"住所１", "性別"}));
    dlg.FirstRowBox()->setChecked(true);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(model.readFirstRow);
    EXPECT_EQ(model.Mapping(), (Strings{"Name", ""}));
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

}  // namespace
