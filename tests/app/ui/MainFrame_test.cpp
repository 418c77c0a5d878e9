// The main window: first screen, screen switching, menus and toolbars per
// screen, the toolbar toggle, command routing, the find box, closing.
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

#include "FrameFixture.h"
#include "app/ui/FindDlg.h"

namespace {

bool IsShown(QToolBar* bar) { return !bar->isHidden(); }

}  // namespace

TEST_F(FrameTest, StartsWithTheMenuScreenAndSwitchingToTheShownScreenDoesNothing) {
    EXPECT_EQ(frame->size(), QSize(800, 600));
    ASSERT_TRUE(frame->CreateFirstScreen());
    CScreenView* menu = frame->ActiveView();
    ASSERT_EQ(menu, Menu());
    EXPECT_EQ(frame->menuWidget(), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsShown(frame->ToolBar(i)));
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
    ASSERT_TRUE(frame->CreateFirstScreen());
    const struct { int screen; const char* menu; int toolbar; } cases[] = {
        {1, "MenuBar133", 0}, {4, "MenuBar134", 1}, {5, "MenuBar135", 2}, {3, "MenuBar133", 0}};
    for (const auto& c : cases) {
        frame->SwitchView(c.screen);
        FlushDeletes();
        ASSERT_EQ(frame->CurrentScreen(), c.screen);
        ASSERT_NE(frame->menuWidget(), nullptr);
        EXPECT_EQ(frame->menuWidget()->objectName(), QString(c.menu));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(IsShown(frame->ToolBar(i)), i == c.toolbar) << c.screen << " " << i;
        EXPECT_TRUE(frame->IsResizable());
    }
    frame->SwitchView(SCREEN_MENU);
    FlushDeletes();
    EXPECT_EQ(frame->menuWidget(), nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsShown(frame->ToolBar(i)));
    // The screens left behind are gone.
    EXPECT_EQ(CFakeScreen::Destroyed()[1] + CFakeScreen::Destroyed()[3] + CFakeScreen::Destroyed()[4] +
                  CFakeScreen::Destroyed()[5],
              4);
}

TEST_F(FrameTest, UnreachableScreensAreRefusedAndAFailedBuildKeepsTheOldScreen) {
    ASSERT_TRUE(frame->CreateFirstScreen());
    UnregisterScreen(SCREEN_DM);
    frame->SwitchView(SCREEN_DM);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    frame->SwitchView(17);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);

    RegisterScreen(SCREEN_DM, [](CMilvaneDoc&, CMainFrame&, int) -> CScreenView* { return nullptr; });
    CScreenView* menu = frame->ActiveView();
    frame->SwitchView(SCREEN_DM);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    EXPECT_EQ(frame->ActiveView(), menu);
    EXPECT_FALSE(menu->isHidden());
    EXPECT_EQ(frame->menuWidget(), nullptr);
}

TEST_F(FrameTest, ToolbarToggle) {
    ASSERT_TRUE(frame->CreateFirstScreen());
    // Nothing on the menu screen.
    EXPECT_FALSE(frame->QueryCommand(ID_VIEW_TOOLBAR).enabled);
    frame->OnCommand(ID_VIEW_TOOLBAR);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsShown(frame->ToolBar(i)));

    frame->SwitchView(SCREEN_RIREKI_LIST);
    CCommandState s = frame->QueryCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(s.enabled && s.checkable && s.checked);
    frame->OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(IsShown(frame->ToolBar(CMainFrame::TOOLBAR_RIREKI)));
    EXPECT_FALSE(frame->QueryCommand(ID_VIEW_TOOLBAR).checked);
    frame->OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(IsShown(frame->ToolBar(CMainFrame::TOOLBAR_RIREKI)));
    EXPECT_FALSE(IsShown(frame->ToolBar(CMainFrame::TOOLBAR_KOKYAKU)));
}

TEST_F(FrameTest, CommandsGoToTheScreenFirstAndUnhandledOnesAreDisabled) {
    ASSERT_TRUE(frame->CreateFirstScreen());
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
    ASSERT_TRUE(frame->CreateFirstScreen());
    frame->SwitchView(SCREEN_KOKYAKU_LIST);
    CFindDlg* find = frame->OpenFindDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(frame->OpenFindDialog(), find);  // brought forward, not a second one
    EXPECT_TRUE(find->DownButton()->isChecked());
    find->FindNextButton()->click();  // disabled without text
    find->TextEdit()->setText("佐藤");
    find->FindNextButton()->click();
    find->UpButton()->click();
    find->FindNextButton()->click();
    ASSERT_EQ(CFakeScreen::Requests().size(), 2u);
    for (const auto& [screen, request] : CFakeScreen::Requests()) {
        EXPECT_EQ(screen, 1);
        EXPECT_EQ(request.text, QString("佐藤"));
    }
    EXPECT_TRUE(CFakeScreen::Requests()[0].second.down);
    EXPECT_FALSE(CFakeScreen::Requests()[1].second.down);
    EXPECT_EQ(find->FindNextButton()->accessibleName(), QString("次を検索"));

    frame->SwitchView(SCREEN_RIREKI_LIST);
    EXPECT_EQ(frame->FindDialog(), nullptr);

    // The DM screen gets no find requests.
    frame->SwitchView(SCREEN_DM);
    find = frame->OpenFindDialog();
    find->TextEdit()->setText("x");
    find->FindNextButton()->click();
    EXPECT_EQ(CFakeScreen::Requests().size(), 2u);

    // Closing the box forgets it.
    find->reject();
    EXPECT_EQ(frame->FindDialog(), nullptr);
    FlushDeletes();
}

TEST_F(FrameTest, ClosingRunsTheShutdownOnce) {
    ASSERT_TRUE(frame->CreateFirstScreen());
    int closed = 0;
    QObject::connect(frame.get(), &CMainFrame::closed, [&] { ++closed; });
    frame->show();
    frame->OnCommand(ID_APP_EXIT);
    EXPECT_EQ(closeCalls, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(frame->isVisible());
    frame->close();
    EXPECT_EQ(closeCalls, 1);
}

TEST_F(FrameTest, ToolbarFollowsTheScreenAfterInput) {
    ASSERT_TRUE(frame->CreateFirstScreen());
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
