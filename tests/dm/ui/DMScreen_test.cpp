// The DM screen in the main window and its dialogs, offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTreeWidget>

#include "app/CommandIds.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MilvaneView.h"
#include "root/Wiring.h"
#include "common/ui/ValueLabel.h"
#include "customers/MLVColSet.h"
#include "dm/DMFixture.h"
#include "dm/ui/DMListView.h"
#include "dm/ui/DMSelectDlgs.h"
#include "dm/ui/DMTitleDlg.h"
#include "dm/ui/DMWidgets.h"

namespace {

class DMScreenTest : public DMTest {
protected:
    ~DMScreenTest() override {
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    CDMListView* Open() {
        frame = std::make_unique<CMainFrame>(*doc, BuiltScreens());
        frame->SetCloseHandler([] {});
        EXPECT_TRUE(frame->CreateFirstScreen());
        frame->SwitchView(SCREEN_DM);
        auto* view = qobject_cast<CDMListView*>(frame->ActiveView());
        if (view) view->resize(1000, 600);
        return view;
    }
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(DMScreenTest, ReachedFromTheMenuScreenAndTheCustomerScreen) {
    frame = std::make_unique<CMainFrame>(*doc, BuiltScreens());
    frame->SetCloseHandler([] {});
    ASSERT_TRUE(frame->CreateFirstScreen());
    auto* menu = qobject_cast<CMilvaneView*>(frame->ActiveView());
    ASSERT_TRUE(menu);
    menu->UpdateButtons();
    EXPECT_TRUE(menu->ButtonWidget(CMilvaneView::BTN_DM)->isEnabled());
    menu->RunButton(CMilvaneView::BTN_DM);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_DM);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Milvane－DM送付管理"));
    EXPECT_TRUE(frame->QueryCommand(ID_FILE_PRINT).enabled);
    EXPECT_TRUE(frame->QueryCommand(ID_MAIL_SEND).enabled);

    SaveColumns(install, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}}, {"CustomerID", "Name"});
    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    ASSERT_EQ(frame->CurrentScreen(), SCREEN_KOKYAKU_LIST);
    EXPECT_TRUE(frame->QueryCommand(ID_VIEW_DM_SCREEN).enabled);
    frame->OnCommand(ID_VIEW_DM_SCREEN);  // nothing selected: straight to the DM screen
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_DM);
}

TEST_F(DMScreenTest, TitlesTargetsCaptionAndButtons) {
    auto c = AddCustomers(2);
    AddTitle("送付済み", {c[0], c[1]}, 1, 0, CDateTime::FromParts(2026, 6, 1));
    AddTitle("未送付", {c[0]}, 0, 0, CDateTime::FromParts(2026, 5, 1));
    CDMListView* view = Open();
    ASSERT_TRUE(view);
    QTreeWidget* titles = view->TitleList();
    ASSERT_EQ(titles->topLevelItemCount(), 2);
    EXPECT_EQ(titles->headerItem()->text(0), QStringLiteral("済"));
    EXPECT_EQ(titles->topLevelItem(0)->text(5), QStringLiteral("DM印刷"));
    EXPECT_EQ(titles->topLevelItem(0)->data(0, Qt::AccessibleTextRole).toString(), QStringLiteral("送付済み"));
    EXPECT_EQ(titles->topLevelItem(1)->data(0, Qt::AccessibleTextRole).toString(), QStringLiteral("未送付"));
    EXPECT_NE(DMCheckPixmap(true).toImage(), DMCheckPixmap(false).toImage());
    EXPECT_TRUE(view->Button(ID_DM_ADD)->isEnabled());
    EXPECT_FALSE(view->Button(ID_DM_MODIFY)->isEnabled());
    EXPECT_TRUE(view->Button(ID_DM_HIT_RATE)->isEnabled());  // the analysis sheet is plugged in

    titles->topLevelItem(0)->setSelected(true);
    EXPECT_EQ(view->TargetList()->topLevelItemCount(), 2);
    EXPECT_EQ(view->CaptionLabel()->Value(), QStringLiteral("『2026/06/01 送付済み』　送付対象顧客　：　2人"));
    EXPECT_EQ(view->CaptionLabel()->accessibleDescription(), view->CaptionLabel()->Value());
    EXPECT_TRUE(view->Button(ID_DM_MODIFY)->isEnabled());
    EXPECT_FALSE(view->Button(ID_DM_ADD)->isEnabled());

    titles->topLevelItem(1)->setSelected(true);
    EXPECT_EQ(view->TargetList()->topLevelItemCount(), 0);
    EXPECT_EQ(view->CaptionLabel()->Value(), QStringLiteral("DM送付対象顧客"));
    EXPECT_TRUE(view->Button(ID_DM_DELETE)->isEnabled());
    EXPECT_FALSE(view->Button(ID_DM_COPY)->isEnabled());
    EXPECT_TRUE(frame->QueryCommand(ID_DM_DELETE).enabled);
    EXPECT_FALSE(frame->QueryCommand(ID_DM_MODIFY).enabled);

    // The lists share the scrolled page, which keeps a minimum size.
    QWidget* page = view->ScrollArea()->widget();
    EXPECT_EQ(page->minimumHeight(), 400);
    EXPECT_GE(page->minimumWidth(), 740);  // wider where the target list's columns need it
    EXPECT_EQ(view->TitleList()->width(), std::min((page->width() - 30) / 2, 500));
    EXPECT_EQ(view->TitleList()->height(), page->height() - 80);
    EXPECT_EQ(view->TargetList()->x(), view->TitleList()->geometry().right() + 1 + 5);

    // Leaving the screen clears the document's DM state.
    frame->SwitchView(SCREEN_MENU);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(doc->DMTitleList.empty());
    EXPECT_TRUE(doc->DMTargetList.empty());
}

TEST_F(DMScreenTest, HitRateChartAndHitRows) {
    auto c = AddCustomers(4);
    int32_t a = AddTitle("題", {c[0], c[1], c[2], c[3]}, 1, 1);
    doc->AnalysisKind = 4;
    doc->AnalysisDMKey = a;
    doc->AnalysisKeys = {c[1]};
    CDMListView* view = Open();
    ASSERT_TRUE(view);
    ASSERT_FALSE(view->Chart()->isHidden());
    EXPECT_EQ(view->Chart()->Caption(), QStringLiteral("DMヒット率 : 25.00％"));
    EXPECT_TRUE(view->Chart()->accessibleDescription().startsWith(QStringLiteral("DMヒット率 : 25.00％")));
    QTreeWidget* targets = view->TargetList();
    ASSERT_EQ(targets->topLevelItemCount(), 4);
    EXPECT_EQ(targets->topLevelItem(1)->background(0).color(), QColor(200, 255, 200));
    EXPECT_EQ(targets->topLevelItem(0)->background(0).style(), Qt::NoBrush);
    EXPECT_LT(view->TitleList()->height(), view->TargetList()->height());
    QImage shot(view->Chart()->size(), QImage::Format_ARGB32);
    view->Chart()->render(&shot);
    EXPECT_FALSE(shot.isNull());
}

TEST_F(DMScreenTest, TitleDialogDatesAndChecks) {
    CDMTitleForm form = CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::FromParts(2000, 2, 10, 9, 5));
    CDMTitleDlg dlg(install.Path(), form);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("DMタイトルを追加"));
    EXPECT_EQ(dlg.Day()->count(), 29);
    EXPECT_EQ(dlg.Year()->minimum(), 1970);
    EXPECT_EQ(dlg.Year()->maximum(), 2040);
    EXPECT_FALSE(dlg.Sent()->isEnabled());
    EXPECT_FALSE(dlg.History()->isEnabled());
    dlg.Year()->setValue(2001);
    EXPECT_EQ(dlg.Day()->count(), 28);
    dlg.Year()->setValue(2040);
    EXPECT_EQ(dlg.Day()->count(), 29);

    dlg.accept();  // empty title: the dialog stays
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"DMタイトルを入力してください\n"});
    EXPECT_NE(dlg.result(), QDialog::Accepted);

    dlg.Title()->setText(QStringLiteral("春"));
    dlg.Hour()->setCurrentIndex(dlg.Hour()->findText(QStringLiteral("3")));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Form().BuildDate().Hour(), 3);
    EXPECT_EQ(dlg.Form().BuildDate().Year(), 2040);

    CDMListData sent;
    sent.Date = CDateTime::FromParts(2026, 1, 1);
    sent.Title = "題";
    sent.SendState = 1;
    CDMTitleDlg view(install.Path(), CDMTitleForm::FromTitle(sent, DM_MODE_VIEW));
    EXPECT_EQ(view.windowTitle(), QStringLiteral("DMタイトルを参照"));
    EXPECT_FALSE(view.OkButton()->isEnabled());
    EXPECT_TRUE(view.Sent()->isChecked());
    EXPECT_TRUE(view.Sent()->isEnabled());
}

TEST_F(DMScreenTest, CustomerSelectionDialog) {
    AddCustomers(3);
    CCustomerSelectDlg dlg(*doc, 1);
    ASSERT_EQ(dlg.List()->topLevelItemCount(), 3);
    EXPECT_TRUE(dlg.KeepHistory()->isHidden());
    EXPECT_TRUE(dlg.ExtractButton()->isEnabled());  // the extraction dialog is plugged in
    dlg.accept();
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"顧客が選択されていません。\n対象顧客にチェックをつけてください。\n"});
    EXPECT_NE(dlg.result(), QDialog::Accepted);

    dlg.SelectAllButton()->click();
    EXPECT_EQ(dlg.List()->selectedItems().size(), 3);
    EXPECT_EQ(dlg.List()->topLevelItem(2)->data(0, Qt::AccessibleTextRole).toString(), QStringLiteral("選択"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Logic().targets.size(), 3u);
}

TEST_F(DMScreenTest, TitleSelectionDialogModes) {
    AddTitle("題", {});
    CDMTitleSelectDlg add(doc.get(), 1, {});
    EXPECT_TRUE(add.KeepHistory()->isHidden());
    EXPECT_FALSE(add.NewButton()->isHidden());
    EXPECT_EQ(add.List()->topLevelItemCount(), 1);
    CDMTitleSelectDlg print(doc.get(), 2, {});
    EXPECT_FALSE(print.KeepHistory()->isHidden());
    EXPECT_TRUE(print.KeepHistory()->isChecked());
    EXPECT_TRUE(print.NewButton()->isHidden());

    CDMKeys gone;
    doc->Database().DeleteDMTitle({static_cast<uint32_t>(add.Logic().Titles()[0]->ID)}, gone);
    CDMTitleSelectDlg empty(doc.get(), 1, {});
    EXPECT_FALSE(empty.OkButton()->isEnabled());
}

}  // namespace
