// The export dialogs driven through their controls; the rules are tested on
// the core models.
#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MilvaneDoc.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"
#include "customers/ui/SettingsUiFixture.h"
#include "exchange/Export.h"
#include "exchange/ui/ExportDlg.h"

namespace {

Strings RadioNames(const CChoiceDlg& dlg) {
    Strings out;
    for (QAbstractButton* b : dlg.Group()->buttons()) out.push_back(b->accessibleName().toStdString());
    return out;
}

}  // namespace

TEST(ExportChoiceDlg, FormatsAndForms) {
    auto format = MakeExportFormatDlg(nullptr);
    EXPECT_EQ(RadioNames(*format),
              (Strings{"EXCEL（2002/2000/97）データ", "テキスト（*.csv/*.txt）データ", "ContactXML"}));
    EXPECT_EQ(format->Choice(), 0);
    format->Group()->button(2)->click();
    EXPECT_EQ(format->Choice(), 2);
    ExpectAccessible(format.get());
    auto form = MakeHtmlFormDlg(nullptr);
    EXPECT_EQ(RadioNames(*form), (Strings{"顧客データ", "顧客データ＋履歴"}));
    EXPECT_EQ(form->Choice(), 0);
}

class ExportColumnsDlgTest : public SettingsUiTest {};

TEST_F(ExportColumnsDlgTest, ChooseColumnsByButtons) {
    CExportColumnsDlg dlg(install);
    ASSERT_TRUE(dlg.Open());
    dlg.show();
    EXPECT_EQ(Rows(dlg.AvailableList()), (Strings{"お客様コード", "氏名", "ﾌﾘｶﾞﾅ", "自宅TEL", "ランク１", "ランク２",
                                                  "備考１", "備考２", "登録日"}));
    dlg.Button(QStringLiteral("OK"))->click();  // nothing chosen: stays open
    EXPECT_TRUE(dlg.isVisible());
    dlg.AvailableList()->setCurrentRow(1);
    dlg.Button(QStringLiteral("書き出す←"))->click();
    dlg.Button(QStringLiteral("書き出す←"))->click();  // the next column is selected
    dlg.AvailableList()->setCurrentRow(0);
    dlg.Button(QStringLiteral("書き出す←"))->click();
    EXPECT_EQ(Rows(dlg.ChosenList()), (Strings{"氏名", "ﾌﾘｶﾞﾅ", "お客様コード"}));
    dlg.Button(QStringLiteral("上へ"))->click();  // the added row stays selected
    EXPECT_EQ(Rows(dlg.ChosenList()), (Strings{"氏名", "お客様コード", "ﾌﾘｶﾞﾅ"}));
    dlg.Button(QStringLiteral("全部書き出さない→"))->click();
    EXPECT_TRUE(Rows(dlg.ChosenList()).empty());
    dlg.Button(QStringLiteral("全部書き出す←"))->click();
    EXPECT_EQ(Rows(dlg.ChosenList()).size(), 9u);
    dlg.Button(QStringLiteral("OK"))->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ports.prompt.Texts(),
              Strings{"書き出す列が１つも設定されていません。\n最低１つは設定してください。"});
    ExpectAccessible(&dlg);
    EXPECT_EQ(TabChain(dlg.ChosenList()),
              (Strings{"書き出す列", "上へ", "下へ", "書き出す←", "全部書き出す←", "書き出さない→", "全部書き出さない→",
                       "書き出し可能な列", "OK", "キャンセル"}));
}

TEST(FolderDlg, TypedOrBrowsed) {
    TestPorts ports;
    const QString prompt = QStringLiteral("HTMLファイルを書き出すフォルダを指定して【ＯＫ】をクリックしてください。");
    CFolderDlg dlg(prompt, QStringLiteral("/tmp/a"), nullptr);
    EXPECT_EQ(dlg.Folder(), QStringLiteral("/tmp/a"));
    ports.prompt.QueueChoice(std::string("/tmp/b"));
    for (QPushButton* b : dlg.findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("参照...")) b->click();
    EXPECT_EQ(dlg.Folder(), QStringLiteral("/tmp/b"));
    EXPECT_EQ(dlg.Edit()->accessibleName(), prompt);
    ExpectAccessible(&dlg);
}

// ---------------------------------------------------------------- commands through the dialogs

class ExportCommandUiTest : public SettingsUiTest {
protected:
    std::vector<const CKokyaku*> Selected() {
        k.CustomerID = "0123";
        k.Name = "山田";
        return {&k};
    }
    CKokyaku k;
};

TEST_F(ExportCommandUiTest, TextExportThroughTheDialogs) {
    CMilvaneDoc doc(install);
    doc.DataDir = data;
    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueChoice(tmp.Path() + "/out");
    WhenModal<CChoiceDlg>([](CChoiceDlg* d) {
        d->Group()->button(1)->click();
        WhenModal<CExportColumnsDlg>([](CExportColumnsDlg* c) {
            c->AvailableList()->setCurrentRow(1);
            c->Button(QStringLiteral("書き出す←"))->click();
            c->AvailableList()->setCurrentRow(0);
            c->Button(QStringLiteral("書き出す←"))->click();
            c->Button(QStringLiteral("OK"))->click();
        });
        d->accept();
    });
    RunExportCommand(nullptr, doc, Selected());
    EXPECT_EQ(ReadBytes(tmp.Path() + "/out.csv"), Utf8ToSjis("\"氏名\",\"お客様コード\"\r\n\"山田\",\"0123\"\r\n"));
    EXPECT_EQ(ports.prompt.Texts().back(), "書き出しを完了しました。");
}

TEST_F(ExportCommandUiTest, HtmlExportThroughTheDialogs) {
    CMilvaneDoc doc(install);
    doc.DataDir = data;
    const std::string out = tmp.Path() + "/html";
    ports.prompt.QueueAnswer(Answer::Yes);  // export
    ports.prompt.QueueAnswer(Answer::Yes);  // create the folder
    WhenModal<CChoiceDlg>([out](CChoiceDlg* d) {
        WhenModal<CFolderDlg>([out](CFolderDlg* f) {
            f->Edit()->setText(QString::fromStdString(out));
            f->accept();
        });
        d->accept();
    });
    RunHtmlExportCommand(nullptr, doc, Selected());
    EXPECT_TRUE(std::filesystem::exists(out + "/index.htm"));
    EXPECT_EQ(ports.prompt.Log().back().icon, MsgIcon::Information);
}
