#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "analysis/AddressLevels.h"
#include "analysis/ui/SorunaPages.h"
#include "analysis/ui/SorunaSheet.h"
#include "common/ui/ValueLabel.h"
#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MilvaneView.h"
#include "root/Wiring.h"
#include "customers/ui/ChoiceComboBox.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

template <typename T>
T* Ctl(QWidget* w, int id) {
    T* c = w->findChild<T*>(QStringLiteral("ctl%1").arg(id));
    EXPECT_NE(c, nullptr) << id;
    return c;
}

// Two levels of addresses below 東京都.
class FakeLevels : public IAddressLevels {
public:
    std::vector<CAddressLevelEntry> Entries(int level, const std::vector<std::string>& parents) override {
        if (level == 0) return {{"東京都", ""}, {"大阪府", ""}};
        if (level == 1 && parents[0] == "東京都") return {{"千代田区", "100"}};
        if (level == 2) return {{"丸の内（次のビルを除く）", "100-0005"}};
        return {};
    }
};

// An installation with a data folder holding customers A (three purchases)
// and B (one), loaded into the document.
class SorunaSheetTest : public ::testing::Test {
protected:
    SorunaSheetTest() {
        MakeInstallation(install);
        SaveColumns(install, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}}, {"CustomerID", "Name"});
        doc = OpenDocument(install, true);
        for (const char* name : {"A", "B"}) {
            CKokyaku k;
            k.Name = name;
            k.MainMerchant1 = std::string(name) + "商事";
            keys.push_back(doc->Database().AddNewKokyaku(k));
        }
        const int purchases[] = {3, 1};
        for (int i = 0; i < 2; ++i)
            for (int n = 0; n < purchases[i]; ++n) {
                CRirekiData r;
                r.ActionTitle = "購入";
                r.Date = CDateTime::FromParts(2004, 1, 1 + n);
                doc->Database().AddNewRireki(keys[size_t(i)], r, r.Date);
            }
        EXPECT_EQ(doc->ReadCustomers(), 1);
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    std::vector<int32_t> keys;
};

}  // namespace

TEST_F(SorunaSheetTest, ButtonsPagesBackgroundAndLockedMode) {
    CSorunaSheet sheet(doc.get(), false, nullptr);
    EXPECT_EQ(sheet.palette().color(QPalette::Window), QColor(255, 255, 170));
    EXPECT_EQ(sheet.CurrentPage()->PageNumber(), 1);
    for (int i = 1; i <= kSorunaPageCount; ++i) {
        EXPECT_EQ(sheet.PageButton(i)->accessibleName(), U(kSorunaPageLabels[i - 1]));
        EXPECT_FALSE(sheet.PageButton(i)->icon().isNull());
        EXPECT_TRUE(sheet.PageButton(i)->isEnabled());
    }
    sheet.PageButton(3)->click();
    EXPECT_EQ(sheet.CurrentPage()->objectName(), QStringLiteral("page217"));
    EXPECT_TRUE(sheet.PageButton(3)->isChecked());

    CSorunaSheet locked(doc.get(), true, nullptr);
    EXPECT_EQ(locked.CurrentPage()->PageNumber(), 4);
    for (int i = 1; i <= kSorunaPageCount; ++i) EXPECT_EQ(locked.PageButton(i)->isEnabled(), i == 4);
}

// Exactly one page is chosen: the page buttons are one group of radio buttons.
TEST_F(SorunaSheetTest, PageButtonsAreOneRadioGroup) {
    CSorunaSheet sheet(doc.get(), false, nullptr);
    auto checkedPages = [&] {
        std::vector<int> pages;
        for (int i = 1; i <= kSorunaPageCount; ++i) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(sheet.PageButton(i));
            EXPECT_EQ(a->role(), QAccessible::RadioButton) << i;
            EXPECT_TRUE(a->state().checkable) << i;
            EXPECT_EQ(a->text(QAccessible::Name), U(kSorunaPageLabels[i - 1]));
            if (a->state().checked) pages.push_back(i);
        }
        return pages;
    };
    EXPECT_EQ(checkedPages(), std::vector<int>{1});
    QAccessibleInterface* third = QAccessible::queryAccessibleInterface(sheet.PageButton(3));
    ASSERT_NE(third->actionInterface(), nullptr);
    third->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(sheet.CurrentPage()->PageNumber(), 3);
    EXPECT_EQ(checkedPages(), std::vector<int>{3});
    sheet.PageButton(3)->click();  // choosing the chosen page keeps it chosen
    EXPECT_EQ(checkedPages(), std::vector<int>{3});
}

TEST_F(SorunaSheetTest, RadioOptionsEnableTheirFieldsAndTakeTheFocus) {
    CSorunaSheet sheet(doc.get(), false, nullptr);
    sheet.show();
    QWidget* page = sheet.CurrentPage();
    auto* count = Ctl<QSpinBox>(page, 1279);
    auto* top = Ctl<QSpinBox>(page, 1280);
    EXPECT_TRUE(count->isEnabled());
    EXPECT_FALSE(top->isEnabled());
    EXPECT_FALSE(Ctl<QLineEdit>(page, 1284)->isEnabled());
    auto* title = Ctl<CChoiceComboBox>(page, 1277);
    EXPECT_FALSE(title->AutoRegisterEnabled());
    Ctl<QRadioButton>(page, 1192)->click();
    EXPECT_FALSE(count->isEnabled());
    EXPECT_TRUE(top->isEnabled());
    EXPECT_EQ(sheet.focusWidget(), top);
    EXPECT_EQ(Ctl<QRadioButton>(page, 1278)->accessibleName(), U("回以上ある顧客"));

    // A bad period start takes the focus back to it.
    Ctl<QRadioButton>(page, 1283)->click();
    Ctl<QLineEdit>(page, 1284)->setText(QStringLiteral("2004-1-1"));
    title->SetText("購入");
    sheet.OnRun();
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"期間設定の開始日が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。"});
    EXPECT_EQ(sheet.focusWidget(), Ctl<QLineEdit>(page, 1284));
    EXPECT_TRUE(sheet.isVisible());
}

TEST_F(SorunaSheetTest, PartnerPageListsUpToFiveNames) {
    CSorunaSheet sheet(doc.get(), false, nullptr);
    sheet.show();
    sheet.PageButton(7)->click();
    QWidget* page = sheet.CurrentPage();
    auto* name = Ctl<QLineEdit>(page, 1313);
    auto* add = Ctl<QPushButton>(page, 1315);
    auto* list = Ctl<QListWidget>(page, 1007);
    for (const char* n : {"B商", "x", "y", "z", "w"}) {
        name->setText(U(n));
        add->click();
    }
    EXPECT_EQ(list->count(), 5);
    EXPECT_FALSE(add->isEnabled());
    EXPECT_EQ(sheet.focusWidget(), name);
    list->setCurrentRow(4);
    Ctl<QPushButton>(page, 1316)->click();
    EXPECT_EQ(list->count(), 4);
    EXPECT_TRUE(add->isEnabled());
    sheet.OnRun();
    EXPECT_EQ(sheet.StoredKind(), 7);
    EXPECT_EQ(doc->AnalysisKeys, std::vector<uint32_t>{uint32_t(keys[1])});
}

TEST_F(SorunaSheetTest, AreaPageBuildsItsAddressListFromTheLevels) {
    FakeLevels levels;
    CSorunaSheet sheet(doc.get(), false, &levels);
    sheet.PageButton(5)->click();
    auto* page = qobject_cast<CSorunaAreaPage*>(sheet.CurrentPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Level(0)->count(), 2);
    page->AddButton()->click();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"住所を選択してください"});
    page->Level(0)->setCurrentRow(0);
    page->Level(1)->setCurrentRow(0);
    page->Level(2)->setCurrentRow(0);
    EXPECT_EQ(page->ZipLabel()->text(), U("〒100-0005"));
    EXPECT_EQ(page->ZipLabel()->accessibleName(), U("〒"));
    EXPECT_EQ(page->ZipLabel()->accessibleDescription(), U("〒100-0005"));
    page->AddButton()->click();
    ASSERT_EQ(page->AddressList()->topLevelItemCount(), 1);
    EXPECT_EQ(page->AddressList()->topLevelItem(0)->text(3), U("丸の内"));
    // Leaving and coming back reloads the levels and keeps the list.
    sheet.PageButton(1)->click();
    sheet.PageButton(5)->click();
    EXPECT_EQ(page->Level(1)->count(), 0);
    EXPECT_EQ(page->AddressList()->topLevelItemCount(), 1);
    sheet.OnRun();
    EXPECT_EQ(sheet.StoredKind(), 5);
    EXPECT_EQ(doc->AnalysisKind, 5);
}

TEST_F(SorunaSheetTest, AreaPageWithoutDictionaryTellsWhy) {
    CSorunaSheet sheet(doc.get(), false, nullptr);
    sheet.PageButton(5)->click();
    auto* page = qobject_cast<CSorunaAreaPage*>(sheet.CurrentPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Level(0)->count(), 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{kNoAreaData});
}

TEST_F(SorunaSheetTest, DMPageListsSentTitlesAndSelectsTheDocumentsTitle) {
    {
        CSorunaSheet sheet(doc.get(), true, nullptr);
        auto* list = Ctl<QListWidget>(sheet.CurrentPage(), 1197);
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), U("※発送済みDMはありません。"));
        EXPECT_FALSE(list->isEnabled());
    }
    CKeyArray failed;
    auto dm = doc->Database().AddNewDMTitle(CDateTime::FromParts(2003, 12, 31), "冬", "", "", 0,
                                            {uint32_t(keys[0])}, failed);
    ASSERT_TRUE(dm);
    ASSERT_EQ(doc->Database().SetStatusDMTitle(dm->ID, 1, 0, 0, CDateTime::Now()), 1);
    doc->AnalysisDMKey = dm->ID;
    CSorunaSheet sheet(doc.get(), true, nullptr);
    auto* list = Ctl<QListWidget>(sheet.CurrentPage(), 1197);
    EXPECT_EQ(list->currentItem()->text(), U("2003/12/31 冬"));
    Ctl<QRadioButton>(sheet.CurrentPage(), 1275)->click();
    sheet.OnRun();
    EXPECT_EQ(sheet.StoredKind(), 4);
    EXPECT_EQ(doc->AnalysisKeys, std::vector<uint32_t>{uint32_t(keys[0])});
    EXPECT_EQ(doc->AnalysisDMKey, dm->ID);
    sheet.reject();  // locked: the result stays
    EXPECT_EQ(doc->AnalysisKind, 4);
}

TEST_F(SorunaSheetTest, CustomerScreenShowsTheHitsWithTheirColumn) {
    EXPECT_TRUE(CMenuScreenFeatures().Provides(MenuFeature::Analysis));  // the menu screen's button
    CMainFrame frame(*doc, BuiltScreens());
    doc->CustomerScreenMode = SCREEN_KOKYAKU_LIST;
    auto* view = new CKokyakuView(*doc, frame, SCREEN_KOKYAKU_LIST, &frame);
    view->resize(800, 500);
    view->OnInitialUpdate();
    CCommandState state;
    ASSERT_TRUE(view->UpdateCommand(ID_ANALYSIS, state));
    EXPECT_TRUE(state.enabled);
    for (int run = 0; run < 2; ++run) {
        QTimer::singleShot(0, [] {
            auto* sheet = qobject_cast<CSorunaSheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            QWidget* page = sheet->CurrentPage();
            Ctl<CChoiceComboBox>(page, 1277)->SetText("購入");
            Ctl<QRadioButton>(page, 1281)->click();
            sheet->OnRun();
        });
        view->OnCommand(ID_ANALYSIS);
        QAbstractItemModel* model = view->ListCtrl()->model();
        ASSERT_EQ(model->rowCount(), 2);
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), U("回数"));
        EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("3"));
        EXPECT_EQ(view->CountLabel()->text(), U("2件"));
    }
    // Cancelled: back to every customer.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    view->OnCommand(ID_ANALYSIS);
    EXPECT_EQ(doc->AnalysisKind, -1);
    EXPECT_EQ(view->ListCtrl()->model()->headerData(0, Qt::Horizontal).toString(), U("お客様コード"));
    delete view;
}
