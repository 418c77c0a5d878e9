#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "analysis/SorunaHit.h"
#include "analysis/ui/SorunaSheet.h"
#include "app/CommandIds.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "root/Wiring.h"
#include "customers/Kokyaku.h"
#include "db/MilvaneData.h"
#include "db/MilvaneDataFixture.h"
#include "extract/ExCondition.h"
#include "history/RirekiData.h"
#include "history/ui/RirekiListCtrl.h"
#include "history/ui/RirekiView.h"
#include "history/ui/RirekiViewDlg.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

class RirekiViewUiTest : public ::testing::Test {
protected:
    RirekiViewUiTest() {
        MakeInstallation(install);
        SaveColumns(install, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}, {"CompName", "会社名"}});
        doc = OpenDocument(install, true);
        auto k = std::make_unique<CKokyaku>();
        k->CustomerID = "C7";
        k->Name = "山田太郎";
        const int32_t customer = doc->AddKokyaku(k);
        const struct { const char* title; int day; double money; } entries[] = {
            {"購入", 3, 1500.5}, {"問合せ", 1, 0}, {"見積", 2, 20}};
        for (const auto& e : entries) {
            CRirekiData r;
            r.ActionTitle = e.title;
            r.Date = CDateTime::FromParts(2024, 5, e.day);
            r.Money = e.money;
            const int32_t key = doc->Database().AddNewRireki(customer, r, CDateTime::Now());
            EXPECT_GT(key, 0);
            doc->RirekiList.push_back({key, r.Date.Days()});  // the rows in this order
        }
        frame = std::make_unique<CMainFrame>(*doc, BuiltScreens());
        frame->SetCloseHandler([] {});
        EXPECT_TRUE(frame->CreateFirstScreen());
    }
    ~RirekiViewUiTest() override {
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CRirekiView* Show() {
        frame->SwitchView(SCREEN_RIREKI_LIST);
        return qobject_cast<CRirekiView*>(frame->ActiveView());
    }
    QString Cell(CRirekiView* v, int row, int column) {
        QAbstractItemModel* m = v->ListCtrl()->model();
        return m->data(m->index(row, column)).toString();
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(RirekiViewUiTest, ShowsTheDocumentsHistoryAndFollowsTheUser) {
    CRirekiView* view = Show();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(frame->windowTitle(), QString("Milvane－履歴一覧"));
    CRirekiListCtrl* list = view->ListCtrl();
    QAbstractItemModel* model = list->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QString("お客様コード"));
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QString("会社名"));
    EXPECT_EQ(Cell(view, 0, 2), QString("山田太郎"));
    EXPECT_EQ(Cell(view, 0, 8), QString("1500.5"));
    EXPECT_EQ(view->CountLabel()->text(), QString("3件"));
    // The count label is named by its caption; the count is its description.
    QAccessibleInterface* count = QAccessible::queryAccessibleInterface(view->CountLabel());
    EXPECT_EQ(count->text(QAccessible::Name), QString("件数"));
    EXPECT_EQ(count->text(QAccessible::Description), QString("3件"));
    EXPECT_TRUE(view->Button(ID_EXTRACT_CLEAR_RIREKI)->isHidden());
    EXPECT_EQ(view->Button(ID_FIND)->accessibleName(), QString("検索..."));

    // Nothing selected: view and delete are off; a click in the list selects.
    EXPECT_FALSE(frame->QueryCommand(ID_RIREKI_DELETE).enabled);
    list->selectionModel()->select(model->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(frame->QueryCommand(ID_RIREKI_DELETE).enabled);
    EXPECT_EQ(view->Logic().ViewTarget().record->ActionTitle, "問合せ");

    // A heading click sorts; the selection stays with its row.
    list->header()->sectionClicked(0);
    EXPECT_EQ(Cell(view, 0, 4), QString("問合せ"));
    EXPECT_TRUE(list->selectionModel()->isRowSelected(0, {}));

    // The history table is gone: the deletion fails and nothing goes.
    ASSERT_TRUE(SecondConnection(doc->Database().GetMLVFName()).Exec("DROP TABLE Rireki"));
    ports.prompt.QueueAnswer(Answer::Yes);
    frame->OnCommand(ID_RIREKI_DELETE);
    EXPECT_EQ(ports.prompt.Texts().back(), "履歴が削除できませんでした");
    EXPECT_EQ(model->rowCount(), 3);

    list->header()->resizeSection(4, 150);
    frame->OnCommand(ID_VIEW_MENU_SCREEN);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ((ports.profile.ints[{"Settings-RList", "colwidth4"}]), 150);
}

TEST_F(RirekiViewUiTest, ScrollsBelowItsMinimumSizeAndFillsAboveIt) {
    CRirekiView* view = Show();
    ASSERT_NE(view, nullptr);
    view->resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_GE(view->ListCtrl()->geometry().right(), 700);  // laid out on the page, not cut to the window
    view->resize(1200, 900);
    QCoreApplication::processEvents();
    EXPECT_GE(view->ListCtrl()->width(), 1100);
}

TEST_F(RirekiViewUiTest, AnExtractionShowsItsButtonsUntilReleasedOrLeft) {
    doc->Extraction = std::make_shared<CExCondition>();
    CRirekiView* view = Show();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->Button(ID_EXTRACT_CLEAR_RIREKI)->isHidden());
    EXPECT_TRUE(view->Button(ID_EXTRACT_CLEAR_RIREKI)->isEnabled());
    EXPECT_TRUE(frame->QueryCommand(ID_EXTRACT_CLEAR_RIREKI).enabled);
    for (int id : {ID_EXTRACT, ID_EXTRACT_REDO, ID_EXTRACT_SAVE}) {
        EXPECT_TRUE(frame->QueryCommand(id).enabled) << id;
        if (QPushButton* b = view->Button(id)) {
            EXPECT_TRUE(b->isEnabled()) << id;
        }
    }
    EXPECT_TRUE(frame->QueryCommand(ID_ANALYSIS).enabled);
    EXPECT_TRUE(frame->QueryCommand(ID_PRINT).enabled);

    // Leaving asks about the unsaved extraction; the screen then drops it.
    ports.prompt.QueueAnswer(Answer::No);
    frame->OnCommand(ID_VIEW_MENU_SCREEN);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"抽出した条件は保存されていません。保存しますか？"});
    EXPECT_EQ(doc->Extraction, nullptr);
}

TEST_F(RirekiViewUiTest, ViewingOpensTheEntryAndItsButtonsWalkTheList) {
    CRirekiView* view = Show();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(frame->QueryCommand(ID_RIREKI_MODIFY).enabled);
    CRirekiListCtrl* list = view->ListCtrl();
    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_TRUE(frame->QueryCommand(ID_RIREKI_MODIFY).enabled);
    std::vector<QString> seen;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CRirekiViewDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        seen.push_back(dlg->Field(1395)->text());
        EXPECT_TRUE(dlg->Button(1356)->isEnabled());
        dlg->Button(1357)->click();
        seen.push_back(dlg->Field(1395)->text());
        EXPECT_FALSE(dlg->Button(1357)->isEnabled());  // the last row
        EXPECT_TRUE(list->selectionModel()->isRowSelected(2, {}));
        dlg->reject();
    });
    frame->OnCommand(ID_RIREKI_MODIFY);
    EXPECT_EQ(seen, (std::vector<QString>{"問合せ", "見積"}));

    bool previous = false, next = true;
    EXPECT_EQ(view->LocateEntry(1, previous, next)->ActionTitle, "購入");
    EXPECT_FALSE(previous);
    EXPECT_TRUE(next);
    EXPECT_EQ(view->LocateEntry(99, previous, next), nullptr);
}

TEST_F(RirekiViewUiTest, CancellingTheAnalysisSheetResetsTheResultAndStays) {
    doc->AnalysisKind = 2;
    doc->AnalysisHits.push_back(std::make_unique<CMLVSorunaHit>());
    ASSERT_NE(Show(), nullptr);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<CSorunaSheet*>(QApplication::activeModalWidget());
        ASSERT_NE(sheet, nullptr);
        opened = true;
        sheet->CancelButton()->click();
    });
    frame->OnCommand(ID_ANALYSIS);
    EXPECT_TRUE(opened);
    EXPECT_EQ(doc->AnalysisKind, -1);
    EXPECT_TRUE(doc->AnalysisHits.empty());
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_RIREKI_LIST);
}

}  // namespace
