// The menu screen: hover, press and release on its painted buttons and tabs,
// the pop-up enabling rules, the commands that work without other screens,
// keyboard and accessibility.
#include <QAccessible>
#include <QAction>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>

#include "FrameFixture.h"
#include "app/ui/MenuDefs.h"
#include "app/ui/RirekiModeDlg.h"
#include "common/Folders.h"

namespace {

class MenuScreenTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        view = Menu();
        ASSERT_NE(view, nullptr);
    }
    int State(int button) const { return view->ButtonWidget(button)->State(); }
    int TabState(int tab) const { return view->TabWidget(tab)->State(); }
    // Every pop-up command counts as built, so that only the rules decide.
    void ProvideAllPopupCommands() {
        for (int id : {ID_LIST_COLUMNS, ID_FREE_ITEM_NAMES, ID_PRE_EXTRACT_SET, ID_PRE_EXTRACT_CLEAR, ID_TANTOU_LIST,
                       ID_CHOICE_LISTS, ID_OWN_COMPANY, ID_AMOUNT_SETTINGS, ID_FORM_NAMES, ID_DATA_LOCATION,
                       ID_DATA_BACKUP, ID_DATA_RESTORE, ID_FORM_BACKUP, ID_FORM_RESTORE, ID_RIREKI_BACKUP_DELETE,
                       ID_DB_OPTIMIZE, ID_PAST_DATA, ID_CURRENT_DATA})
            MenuScreenHooks().commands[id] = [](CMilvaneView&) {};
    }
    bool Enabled(QMenu* menu, int id) {
        QAction* a = FindCommandAction(menu, id);
        EXPECT_NE(a, nullptr) << id;
        return a && a->isEnabled();
    }
    std::unique_ptr<QMenu> Popup(int n) { return std::unique_ptr<QMenu>(view->BuildPopup(n)); }

    CMilvaneView* view = nullptr;
};

// Runs fn on the next modal dialog once it is up.
template <typename Fn>
void OnNextModal(Fn fn) {
    QTimer::singleShot(0, [fn] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        fn(*dlg);
    });
}

}  // namespace

TEST_F(MenuScreenTest, HoverHighlightsAndLeavingRestores) {
    Move(view, CenterOf(CMilvaneView::BTN_KOKYAKU_LIST));
    EXPECT_EQ(State(CMilvaneView::BTN_KOKYAKU_LIST), 1);
    EXPECT_TRUE(view->IsHot());
    EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);

    Move(view, CenterOf(CMilvaneView::BTN_SETTINGS));
    EXPECT_EQ(State(CMilvaneView::BTN_KOKYAKU_LIST), 0);
    Move(view, QPoint(5, 300));  // empty part of the picture
    EXPECT_EQ(State(CMilvaneView::BTN_SETTINGS), 0);
    EXPECT_FALSE(view->IsHot());
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MenuScreenTest, OnlyPressAndReleaseOnTheSameButtonRunIt) {
    const QPoint dm = CenterOf(CMilvaneView::BTN_DM), outside(5, 300), list = CenterOf(CMilvaneView::BTN_KOKYAKU_LIST);
    Move(view, dm);
    Press(view, dm);
    Move(view, outside, true);
    EXPECT_EQ(State(CMilvaneView::BTN_DM), 0);
    Move(view, dm, true);
    EXPECT_EQ(State(CMilvaneView::BTN_DM), 2);  // still the pressed button
    Move(view, outside, true);
    Release(view, outside);
    EXPECT_EQ(view->PressedButton(), -1);
    EXPECT_EQ(State(CMilvaneView::BTN_DM), 0);
    // Pressed on one button, released on another: neither runs.
    Press(view, dm);
    Move(view, list, true);
    EXPECT_EQ(State(CMilvaneView::BTN_KOKYAKU_LIST), 1);
    Release(view, list);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);

    Press(view, list);
    EXPECT_EQ(State(CMilvaneView::BTN_KOKYAKU_LIST), 2);
    EXPECT_EQ(view->PressedButton(), CMilvaneView::BTN_KOKYAKU_LIST);
    Release(view, list);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_KOKYAKU_LIST);
    EXPECT_EQ(doc->CustomerScreenMode, 1);
}

TEST_F(MenuScreenTest, UnbuiltFeaturesAreDisabledAndIgnoreTheMouse) {
    // A screen that is not registered makes its button unusable.
    frame->Screens().Unregister(SCREEN_DM);
    view->UpdateButtons();
    EXPECT_FALSE(view->ButtonWidget(CMilvaneView::BTN_DM)->isEnabled());
    EXPECT_TRUE(view->ButtonWidget(CMilvaneView::BTN_KOKYAKU_LIST)->isEnabled());

    // No customer entry dialog plugged in.
    ASSERT_FALSE(view->ButtonWidget(CMilvaneView::BTN_ADD_KOKYAKU)->isEnabled());
    const QPoint p = CenterOf(CMilvaneView::BTN_ADD_KOKYAKU);
    Move(view, p);
    Press(view, p);
    EXPECT_EQ(State(CMilvaneView::BTN_ADD_KOKYAKU), 0);
    EXPECT_FALSE(view->IsHot());
    Release(view, p);
}

TEST_F(MenuScreenTest, AddCustomerFollowsInputTypeAndReadOnlyData) {
    std::vector<int> opened;
    MenuScreenHooks().addCustomer = [&](CMilvaneView&, int type) { opened.push_back(type); };
    view->UpdateButtons();
    ASSERT_TRUE(view->ButtonWidget(CMilvaneView::BTN_ADD_KOKYAKU)->isEnabled());
    for (int type : {1, 3}) {  // 3 is not a known type: nothing happens
        ports.profile.WriteInt("Settings", "CardType", type);
        view->OnInitialUpdate();
        view->RunButton(CMilvaneView::BTN_ADD_KOKYAKU);
    }
    EXPECT_EQ(opened, std::vector<int>{1});
    EXPECT_TRUE(ports.prompt.Texts().empty());

    doc->PastDataMode = 1;
    view->RunButton(CMilvaneView::BTN_ADD_KOKYAKU);
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"データベースは読取専用です。\n顧客を追加することはできません。\n"});
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(MenuScreenTest, TabsHoverAndSelectOnPress) {
    int fills = 0;
    MenuScreenHooks().fillGallery = [&](CMilvaneView&) { ++fills; };
    EXPECT_EQ(TabState(0), 2);
    const QPoint second = CMilvaneView::TabRect(1).center();
    Move(view, second);
    EXPECT_EQ(TabState(1), 1);
    EXPECT_TRUE(view->IsHot());
    Move(view, CMilvaneView::TabRect(0).center());
    EXPECT_EQ(TabState(0), 2);  // the selected tab keeps its look
    EXPECT_EQ(TabState(1), 0);

    Move(view, second);
    Press(view, second);
    EXPECT_EQ(doc->SelectedFormTab, 1);
    EXPECT_EQ(TabState(1), 2);
    EXPECT_EQ(TabState(0), 0);
    EXPECT_EQ(fills, 1);
    Release(view, second);
    Move(view, QPoint(5, 300));
    EXPECT_EQ(TabState(1), 2);
    // Pressing the selected tab again refills nothing.
    Press(view, second);
    EXPECT_EQ(fills, 1);
    Release(view, second);
}

TEST_F(MenuScreenTest, PopupCommandsFollowPastDataUserFormsAndPreExtraction) {
    ProvideAllPopupCommands();
    int forms = 0;
    bool pre = false;
    MenuScreenHooks().userFormCount = [&](CMilvaneDoc&) { return forms; };
    MenuScreenHooks().hasPreExtraction = [&](CMilvaneDoc&) { return pre; };
    // Settings pop-up 0, tools pop-up 1.
    auto on = [this](int popup, int id) { return Enabled(Popup(popup).get(), id); };
    for (int past : {0, 1}) {
        SCOPED_TRACE(past);
        doc->PastDataMode = past;
        EXPECT_EQ(on(1, ID_CURRENT_DATA), past == 1);
        for (int id : {ID_DATA_BACKUP, ID_DATA_RESTORE, ID_RIREKI_BACKUP_DELETE, ID_DB_OPTIMIZE, ID_DB_UPDATE})
            EXPECT_EQ(on(1, id), past == 0) << id;
    }
    EXPECT_TRUE(on(1, ID_PHONE_BACKUP));
    doc->PastDataMode = 0;
    for (int id : {ID_PAST_DATA, ID_PHONE_BOOK}) EXPECT_TRUE(on(1, id)) << id;

    for (bool set : {false, true}) {
        SCOPED_TRACE(set);
        forms = set ? 2 : 0;
        pre = set;
        EXPECT_EQ(on(0, ID_PRE_EXTRACT_CLEAR), set);
        EXPECT_EQ(on(0, ID_FORM_NAMES), set);
        EXPECT_EQ(on(1, ID_FORM_BACKUP), set);
        EXPECT_TRUE(on(0, ID_PRE_EXTRACT_SET));
        EXPECT_TRUE(on(1, ID_FORM_RESTORE));
    }
}

TEST_F(MenuScreenTest, AnalysisAndExtractionResultsChooseTheScreen) {
    int analysis = 0, extraction = 0;
    MenuScreenHooks().analysis = [&](CMilvaneView&) { return analysis; };
    MenuScreenHooks().extraction = [&](CMilvaneView&) { return extraction; };
    view->UpdateButtons();

    view->RunButton(CMilvaneView::BTN_ANALYSIS);  // cancelled
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    analysis = 4;
    view->RunButton(CMilvaneView::BTN_ANALYSIS);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_DM);

    frame->SwitchView(SCREEN_MENU);
    FlushDeletes();
    view = Menu();
    extraction = 2;
    view->RunButton(CMilvaneView::BTN_EXTRACT);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_RIREKI_LIST);
}

TEST_F(MenuScreenTest, HistoryListShowsAllOrTellsTheFailure) {
    int result = 0;
    MenuScreenHooks().loadAllHistory = [&](CMilvaneDoc&) { return result; };
    view->UpdateButtons();
    ASSERT_TRUE(view->ButtonWidget(CMilvaneView::BTN_RIREKI_LIST)->isEnabled());
    // Cancelled; chosen with a failed load; chosen with a load.
    const struct { bool accept; int loaded, screen; } runs[] = {
        {false, 1, SCREEN_MENU}, {true, 0, SCREEN_MENU}, {true, 1, SCREEN_RIREKI_LIST}};
    for (const auto& r : runs) {
        result = r.loaded;
        // Without the extraction dialog only "すべて表示する" can be chosen.
        OnNextModal([accept = r.accept](QDialog& d) {
            auto& dlg = static_cast<CRirekiModeDlg&>(d);
            EXPECT_FALSE(dlg.ExtractButton()->isEnabled());
            EXPECT_TRUE(dlg.AllButton()->isChecked());
            accept ? dlg.accept() : dlg.reject();
        });
        view->RunButton(CMilvaneView::BTN_RIREKI_LIST);
        EXPECT_EQ(frame->CurrentScreen(), r.screen);
    }
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"履歴情報を取得できませんでした"});
    EXPECT_EQ(ports.wait.depth, 0);  // every wait ended
}

TEST_F(MenuScreenTest, DatabaseUpdateAndSiblingFailuresAreTold) {
    doc->PastDataMode = 1;
    view->OnCommand(ID_DB_UPDATE);
    doc->PastDataMode = 0;
    view->OnCommand(ID_DB_UPDATE);  // no database open
    view->OnCommand(ID_PHONE_BOOK);
    view->OnCommand(ID_AREA_MARKETING);
    view->OnCommand(ID_PHONE_BACKUP);
    view->OnCommand(ID_PHONE_RESTORE);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"読取専用です。更新できません。", "更新できませんでした", "電話帳を起動できません",
                                        "エリアマーケティングツールを起動できません", "バックアップ処理ができません",
                                        "復元処理ができません"}));
    EXPECT_EQ(ports.prompt.Log()[4].icon, MsgIcon::Exclamation);
}

TEST_F(MenuScreenTest, ButtonsAndTabsAreAccessibleByNameAndKeyboard) {
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view->ButtonWidget(CMilvaneView::BTN_KOKYAKU_LIST));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), QString("顧客一覧"));
    QAccessibleInterface* tab = QAccessible::queryAccessibleInterface(view->TabWidget(3));
    EXPECT_EQ(tab->text(QAccessible::Name), QString("名刺・オフィス"));
    EXPECT_FALSE(tab->state().selected);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(view->ButtonWidget(CMilvaneView::BTN_ADD_KOKYAKU))->state().disabled);

    // A header button shows the commands of its pop-up as its child.
    QAccessibleInterface* settings = QAccessible::queryAccessibleInterface(view->ButtonWidget(CMilvaneView::BTN_SETTINGS));
    ASSERT_EQ(settings->childCount(), 1);
    EXPECT_EQ(settings->child(0)->role(), QAccessible::PopupMenu);
    EXPECT_EQ(settings->indexOfChild(settings->child(0)), 0);
    EXPECT_GT(settings->child(0)->childCount(), 5);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view->ButtonWidget(CMilvaneView::BTN_EXIT))->childCount(), 0);

    // The press action selects a tab and runs a button.
    tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(doc->SelectedFormTab, 3);
    EXPECT_TRUE(tab->state().selected);

    // Space on a focused button runs it.
    QWidget* dm = view->ButtonWidget(CMilvaneView::BTN_DM);
    EXPECT_EQ(dm->focusPolicy(), Qt::TabFocus);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(dm, &press);
    EXPECT_EQ(view->ButtonWidget(CMilvaneView::BTN_DM)->ShownState(), 2);
    QApplication::sendEvent(dm, &release);
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_DM);

    // A button pressed through accessibility runs after the call has returned
    // (it may open a modal dialog).
    frame->SwitchView(SCREEN_MENU);
    view = Menu();
    QAccessible::queryAccessibleInterface(view->ButtonWidget(CMilvaneView::BTN_DM))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_MENU);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->CurrentScreen(), SCREEN_DM);
}

TEST_F(MenuScreenTest, ClearingTheStoredPreExtractionWorksFromTheSettingsPopup) {
    InstallMenuScreenFeatures(MenuScreenHooks());  // the features built so far
    doc->DataDir = install.Path();
    auto settings = Popup(0);
    EXPECT_FALSE(Enabled(settings.get(), ID_PRE_EXTRACT_CLEAR));  // nothing stored

    WriteBytes(install.File("DefKokyaku.dat"), "x");
    settings = Popup(0);
    ASSERT_TRUE(Enabled(settings.get(), ID_PRE_EXTRACT_CLEAR));
    ports.prompt.QueueAnswer(Answer::Yes);
    FindCommandAction(settings.get(), ID_PRE_EXTRACT_CLEAR)->trigger();
    QCoreApplication::processEvents();  // commands run from the event loop
    EXPECT_FALSE(FileExists(install.File("DefKokyaku.dat")));
    ASSERT_EQ(ports.prompt.Texts().size(), 2u);
    EXPECT_EQ(ports.prompt.Texts()[1], "解除しました");
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
}
