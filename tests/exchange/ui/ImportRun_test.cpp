// The import command of the customer list run end to end: dialogs answered
// through their controls, customers added to a real database and listed.
#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QTreeWidget>

#include "exchange/ExchangeSupport.h"
#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "common/SjisText.h"
#include "customers/ui/KokyakuView.h"
#include "customers/ui/SettingsUiFixture.h"
#include "exchange/Import.h"
#include "exchange/ui/ExportDlg.h"
#include "exchange/ui/ImportDlg.h"
#include "support/TestInstall.h"

namespace {

class ImportRunTest : public ::testing::Test {
protected:
    ImportRunTest() {
        MakeInstallation(install);
        SaveColumns(install, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"Yomi", "ﾌﾘｶﾞﾅ"}, {"BirthDay", "誕生日"}},
                    {"CustomerID", "Name"});
        doc = OpenDocument(install, true);
        frame = std::make_unique<CMainFrame>(*doc);
        view = new CKokyakuView(*doc, *frame, SCREEN_KOKYAKU_LIST, frame.get());
        view->OnInitialUpdate();
    }
    ~ImportRunTest() override {
        delete view;
        frame.reset();
    }

    // Chooses the source, then maps the columns in order to fields (by label).
    void Answer(int source, const std::function<void()>& between, Strings labels, bool firstRow) {
        WhenModal<CChoiceDlg>([=](CChoiceDlg* d) {
            between();
            WhenModal<CImportMapDlg>([=](CImportMapDlg* m) {
                for (std::size_t line = 0; line < labels.size(); ++line) {
                    Strings fields = Rows(m->FieldList());
                    auto it = std::find(fields.begin(), fields.end(), labels[line]);
                    if (it == fields.end()) continue;
                    m->FieldList()->setCurrentRow(static_cast<int>(it - fields.begin()));
                    m->DataList()->setCurrentItem(m->DataList()->topLevelItem(static_cast<int>(line)));
                    m->Button(QStringLiteral("対応づける→"))->click();
                }
                m->FirstRowBox()->setChecked(firstRow);
                m->accept();
            });
            d->Group()->button(source)->click();
            d->accept();
        });
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const auto& k : doc->KokyakuList) out.emplace_back(k->Name());
        std::sort(out.begin(), out.end());
        return out;
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    CKokyakuView* view = nullptr;
};

TEST_F(ImportRunTest, TextFileCustomersAreListed) {
    WriteBytes(install.File("in.csv"), Utf8ToSjis("001,山田 太郎,ﾔﾏﾀﾞ\r\n002,佐藤 花子,ｻﾄｳ\r\n"));
    ports.prompt.QueueChoice(install.File("in.csv"));
    Answer(2, [] { WhenModal<CTextFormatDlg>([](CTextFormatDlg* t) { t->accept(); }); },
           {"お客様コード", "氏名", "ﾌﾘｶﾞﾅ"}, true);
    view->OnCommand(ID_IMPORT);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤 花子", "山田 太郎"}));
    EXPECT_EQ(ports.prompt.Texts(), Strings{"ファイルを開く"});
}

TEST_F(ImportRunTest, WorkbookCustomersAreListed) {
    ports.prompt.QueueChoice(Fixture("import.xlsx"));
    Answer(1, [] { WhenModal<CNameChoiceDlg>([](CNameChoiceDlg* s) { s->accept(); }); },
           {"お客様コード", "氏名", "ﾌﾘｶﾞﾅ", "誕生日"}, false);
    view->OnCommand(ID_IMPORT);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤 花子", "山田 太郎"}));
    for (const auto& k : doc->KokyakuList)
        if (k->CustomerID() == "001") {
            EXPECT_EQ(k->Record()->BirthDay.Format(), "1980/02/29");
        }
}

// The old-format workbook is read in a child of the window's process: a good
// one is imported, one that crashes the reading library only ends the import.
TEST_F(ImportRunTest, OldFormatWorkbooksAreReadInAChild) {
    ports.prompt.QueueChoice(Fixture("damaged/xls-sst-string-flags.xls"));
    WhenModal<CChoiceDlg>([](CChoiceDlg* d) {
        d->Group()->button(1)->click();
        d->accept();
    });
    view->OnCommand(ID_IMPORT);
    EXPECT_EQ(ports.prompt.Texts(), (Strings{"ファイルを開く", "xls-sst-string-flags.xlsを読み込めませんでした。"}));
    EXPECT_TRUE(Names().empty());

    ports.prompt.QueueChoice(Fixture("import.xls"));
    Answer(1, [] { WhenModal<CNameChoiceDlg>([](CNameChoiceDlg* s) { s->accept(); }); }, {"お客様コード", "氏名"}, false);
    view->OnCommand(ID_IMPORT);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤 花子", "山田 太郎"}));
}

}  // namespace
