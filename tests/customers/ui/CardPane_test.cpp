#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "customers/Kokyaku.h"
#include "customers/ui/CardPane.h"
#include "customers/ui/KokyakuListCtrl.h"
#include "customers/ui/KokyakuView.h"
#include "support/TestPorts.h"
#include "support/TestInstall.h"

namespace {

class CardViewTest : public ::testing::Test {
protected:
    CardViewTest() {
        MakeInstallation(install);
        SaveColumns(install, {{"CustomerID", "お客様コード"}, {"ClosingDay", "締日"}}, {"CustomerID", "ClosingDay"});
        doc = OpenDocument(install, true);
        auto k = std::make_unique<CKokyaku>();
        k->CustomerID = "C1";
        k->ClosingDay = 99;
        EXPECT_GT(doc->AddKokyaku(k), 0);
    }
    ~CardViewTest() override {
        delete view;
        frame.reset();
    }
    CKokyakuView* Open(int mode) {
        doc->CustomerScreenMode = mode;
        frame = std::make_unique<CMainFrame>(*doc);
        view = new CKokyakuView(*doc, *frame, mode, frame.get());
        view->resize(900, 500);
        view->OnInitialUpdate();
        return view;
    }
    bool Enabled(int id) {
        CCommandState s;
        view->UpdateCommand(id, s);
        return s.enabled;
    }

    TestPorts ports;
    TempDir install;
    std::unique_ptr<CMilvaneDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    CKokyakuView* view = nullptr;
};

}  // namespace

TEST(CardPaneWidget, NarrowPaneDrawsItsTabsFromTheLeft) {
    CCardPane pane({});
    pane.show();
    for (int width : {500, 200}) {
        pane.resize(width, 300);
        const int left = width < 240 ? 0 : width - 240;
        for (int page = 0; page < 3; ++page) EXPECT_EQ(pane.Tab(page)->geometry().left(), left + 80 * page);
    }
    EXPECT_EQ(pane.Logic().Page(), kCardPageDetail);
    EXPECT_TRUE(pane.Tab(kCardPageDetail)->isChecked());
}

TEST_F(CardViewTest, CustomerWithoutHistoryHasNothingToChange) {
    Open(SCREEN_KOKYAKU_RIREKI);
    CCardPane* card = view->Card();
    ASSERT_TRUE(view->CardShown());
    EXPECT_EQ(card->Logic().Page(), kCardPageHistory);
    EXPECT_TRUE(card->HistoryList()->isVisibleTo(card));
    EXPECT_EQ(card->HistoryList()->topLevelItemCount(), 0);
    for (int id : {ID_RIREKI_MODIFY, ID_RIREKI_COPY, ID_RIREKI_DELETE}) {
        EXPECT_FALSE(card->Button(id)->isEnabled()) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(card->Button(ID_RIREKI_ADD)->isEnabled());
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(CardViewTest, AddingWhileHiddenShowsTheHistoryPage) {
    Open(SCREEN_KOKYAKU_LIST);
    ASSERT_FALSE(view->CardShown());
    view->runRirekiDialog = [](const RirekiDialogRequest& r, CRirekiData&) {
        CRirekiData entry;
        entry.ActionTitle = "来店";
        entry.Date = CDateTime::FromParts(2024, 4, 1, 9, 0);
        EXPECT_GT(r.owner->AddEntry(r.customerKey, entry), 0);
        return kRirekiEndStored;
    };
    view->OnCommand(ID_RIREKI_ADD);
    ASSERT_TRUE(view->CardShown());
    CCardPane* card = view->Card();
    EXPECT_EQ(card->Logic().Page(), kCardPageHistory);
    ASSERT_EQ(card->HistoryList()->topLevelItemCount(), 1);
    EXPECT_EQ(card->HistoryList()->topLevelItem(0)->text(1), QString::fromUtf8("来店"));
    EXPECT_TRUE(card->Button(ID_RIREKI_MODIFY)->isEnabled());
    EXPECT_TRUE(Enabled(ID_RIREKI_DELETE));

    ports.prompt.QueueAnswer(Answer::Yes);
    view->OnCommand(ID_RIREKI_DELETE);
    EXPECT_EQ(card->HistoryList()->topLevelItemCount(), 0);
    EXPECT_FALSE(Enabled(ID_RIREKI_DELETE));
}

TEST_F(CardViewTest, ClosingDayEndOfMonthReadsDifferentlyOnTheCard) {
    Open(SCREEN_KOKYAKU_DETAIL);
    EXPECT_EQ(view->Card()->DetailValue("ClosingDay")->text(), QString::fromUtf8("月末"));
    EXPECT_EQ(view->ListCtrl()->List().CellText(0, 1), "99");
    view->OnCommand(ID_CARD_DETAIL2_PAGE);
    EXPECT_TRUE(view->Card()->PictureCard()->isVisibleTo(view->Card()));
    view->OnCommand(ID_VIEW_CARD);
    EXPECT_FALSE(view->CardShown());
    EXPECT_FALSE(Enabled(ID_CARD_DETAIL_PAGE));
}
