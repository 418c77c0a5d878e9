// The main window: first screen, screen switching, menus and toolbars per
// screen, the toolbar toggle, command routing, the find box, closing.
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "FrameFixture.h"
#include "app/ui/FindDlg.h"

TEST_F(FrameTest, StartsWithTheMenuScreenAndSwitchingToTheShownScreenDoesNothing) {
    CScreenView* menu = frame->ActiveView();
    ASSERT_EQ(menu, Menu());
    EXPECT_EQ(frame->menuWidget(), nullptr);
    EXPECT_EQ(ShownToolBar(), -1);
    // The window fits the picture and cannot be resized.
    EXPECT_FALSE(frame->IsResizable());
    EXPECT_EQ(frame->size(), QSize(750, 530));
    frame->SwitchView(SCREEN_MENU);
    EXPECT_EQ(frame->ActiveView(), menu);

    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    CFakeScreen* list = Fake();
    ASSERT_NE(list, nullptr);
    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    EXPECT_EQ(Fake(), list);
    EXPECT_EQ(CFakeScreen::Created()[1], 1);
    EXPECT_EQ(list->initialUpdates, 1);
}

TEST_F(FrameTest, EachScreenGetsItsMenuBarAndToolbar) {
    const struct { int screen; const char* menu; int toolbar; } cases[] = {
        {1, "MenuBar133", 0}, {4, "MenuBar134", 1}, {5, "MenuBar135", 2}, {3, "MenuBar133", 0}, {0, nullptr, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen);
        frame->SwitchView(c.screen);
        FlushDeletes();
        ASSERT_EQ(frame->CurrentScreen(), c.screen);
        EXPECT_EQ(frame->menuWidget() ? frame->menuWidget()->objectName() : QString(), QString(c.menu));
        EXPECT_EQ(ShownToolBar(), c.toolbar);
        EXPECT_EQ(frame->IsResizable(), c.screen != SCREEN_MENU);
    }
    // The screens left behind are gone.
    int destroyed = 0;
    for (auto [screen, n] : CFakeScreen::Destroyed()) destroyed += n;
    EXPECT_EQ(destroyed, 4);
}

TEST_F(FrameTest, UnreachableScreensAreRefusedAndAFailedBuildKeepsTheOldScreen) {
    CScreenView* menu = frame->ActiveView();
    frame->Screens().Unregister(SCREEN_DM);
    frame->SwitchView(SCREEN_DM);
    frame->SwitchView(17);
    frame->Screens().Register(SCREEN_DM, [](CMilvaneDoc&, CMainFrame&, int) -> CScreenView* { return nullptr; });
    frame->SwitchView(SCREEN_DM);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    EXPECT_EQ(frame->ActiveView(), menu);
    EXPECT_FALSE(menu->isHidden());
    EXPECT_EQ(frame->menuWidget(), nullptr);
}

TEST_F(FrameTest, ToolbarToggle) {
    // Nothing on the menu screen.
    EXPECT_FALSE(frame->QueryCommand(ID_VIEW_TOOLBAR).enabled);
    frame->OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_EQ(ShownToolBar(), -1);

    frame->SwitchView(SCREEN_RIREKI_LIST);
    CCommandState s = frame->QueryCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(s.enabled && s.checkable && s.checked);
    frame->OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_EQ(ShownToolBar(), -1);
    EXPECT_FALSE(frame->QueryCommand(ID_VIEW_TOOLBAR).checked);
    frame->OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_EQ(ShownToolBar(), int(CMainFrame::TOOLBAR_RIREKI));
}

TEST_F(FrameTest, CommandsGoToTheScreenFirstAndUnhandledOnesAreDisabled) {
    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    CFakeScreen* list = Fake();
    list->handledCommand = ID_APP_EXIT;  // the list checks its extraction before exiting
    frame->OnCommand(ID_APP_EXIT);
    EXPECT_EQ(list->handledCount, 1);
    EXPECT_EQ(closeCalls, 0);

    EXPECT_FALSE(frame->QueryCommand(ID_KOKYAKU_DELETE).enabled);
    EXPECT_TRUE(frame->QueryCommand(ID_APP_ABOUT).enabled);
    frame->OnCommand(ID_VIEW_MENU_SCREEN);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
}

TEST_F(FrameTest, FindRequestsReachListScreensAndASwitchClosesTheFindBox) {
    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    CFindDlg* find = frame->OpenFindDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(frame->OpenFindDialog(), find);  // brought forward, not a second one
    EXPECT_EQ(find->FindNextButton()->accessibleName(), QString("次を検索"));
    EXPECT_TRUE(find->DownButton()->isChecked());
    find->FindNextButton()->click();  // disabled without text
    find->TextEdit()->setText("佐藤");
    find->FindNextButton()->click();
    find->UpButton()->click();
    find->FindNextButton()->click();
    const auto& requests = CFakeScreen::Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].first == 1 && requests[1].first == 1);
    EXPECT_TRUE(requests[0].second.text == "佐藤" && requests[1].second.text == "佐藤");
    EXPECT_TRUE(requests[0].second.down);
    EXPECT_FALSE(requests[1].second.down);

    frame->SwitchView(SCREEN_RIREKI_LIST);
    EXPECT_EQ(frame->FindDialog(), nullptr);

    // The DM screen gets no find requests.
    frame->SwitchView(SCREEN_DM);
    find = frame->OpenFindDialog();
    find->TextEdit()->setText("x");
    find->FindNextButton()->click();
    EXPECT_EQ(requests.size(), 2u);
    find->reject();  // closing the box forgets it
    EXPECT_EQ(frame->FindDialog(), nullptr);
    FlushDeletes();
}

TEST_F(FrameTest, ClosingRunsTheShutdownOnce) {
    int closed = 0;
    QObject::connect(frame.get(), &CMainFrame::closed, [&] { ++closed; });
    frame->show();
    frame->OnCommand(ID_APP_EXIT);
    EXPECT_FALSE(frame->isVisible());
    frame->close();
    EXPECT_EQ(closeCalls, 1);
    EXPECT_EQ(closed, 1);
}

TEST_F(FrameTest, ToolbarFollowsTheScreenAfterInput) {
    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    QAction* del = nullptr;
    for (QAction* a : frame->ToolBar(CMainFrame::TOOLBAR_KOKYAKU)->actions())
        if (a->data().toInt() == ID_KOKYAKU_DELETE) del = a;
    ASSERT_NE(del, nullptr);
    EXPECT_FALSE(del->isEnabled());

    Fake()->handledCommand = ID_KOKYAKU_DELETE;  // e.g. a row was selected
    QKeyEvent key(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(Fake(), &key);
    QCoreApplication::processEvents();
    EXPECT_TRUE(del->isEnabled());
}

// A screen reader finds a name on every button of every toolbar, Qt's overflow button included.
TEST_F(FrameTest, EveryToolbarButtonIsNamed) {
    for (int i : {CMainFrame::TOOLBAR_KOKYAKU, CMainFrame::TOOLBAR_RIREKI, CMainFrame::TOOLBAR_DM})
        for (QAbstractButton* b : frame->ToolBar(i)->findChildren<QAbstractButton*>()) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << i << " " << b->objectName().toStdString();
        }
}
