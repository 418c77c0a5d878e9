// The menu bars and pop-ups built from their definitions: every command is a
// known id with its text, triggering reports the id, states are applied.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <memory>
#include <set>

#include "app/CommandIds.h"
#include "app/ui/MenuDefs.h"
#include "app/ui/ScreenView.h"

namespace {

void CollectIds(const std::vector<MenuItemDef>& items, std::vector<int>& ids) {
    for (const auto& i : items) {
        if (i.kind == MenuItemDef::Command) ids.push_back(i.id);
        CollectIds(i.children, ids);
    }
}

std::vector<int> IdsOf(int resource) {
    std::vector<int> ids;
    CollectIds(MenuDefinition(resource), ids);
    return ids;
}

}  // namespace

TEST(CommandTable, IdsAreUniqueAndEveryMenuCommandHasAText) {
    std::set<int> seen;
    for (const auto& c : kCommandTexts) {
        EXPECT_TRUE(seen.insert(c.id).second) << c.id;
        EXPECT_FALSE(std::string_view(c.text).empty()) << c.id;
    }
    for (int menu : {MENU_KOKYAKU, MENU_RIREKI, MENU_DM, MENU_POPUP})
        for (int id : IdsOf(menu)) EXPECT_FALSE(CommandMenuText(id).empty()) << "menu " << menu << " id " << id;
    EXPECT_TRUE(CommandMenuText(4711).empty());
}

TEST(MenuBars, SharedCommandsAndScreenWording) {
    for (int menu : {MENU_KOKYAKU, MENU_RIREKI, MENU_DM}) {
        const auto ids = IdsOf(menu);
        for (int shared : {int(ID_VIEW_MENU_SCREEN), int(ID_VIEW_TOOLBAR), int(ID_APP_EXIT), int(ID_APP_ABOUT),
                           int(ID_HELP_CONTENTS)})
            EXPECT_EQ(std::count(ids.begin(), ids.end(), shared), 1) << menu << " " << shared;
    }
    // The same id carries the wording of its screen.
    auto history = std::unique_ptr<QMenuBar>(BuildMenuBar(MENU_RIREKI, nullptr, nullptr, nullptr));
    QMenu* file = history->actions().at(2)->menu();
    EXPECT_EQ(FindCommandAction(file, ID_RIREKI_MODIFY)->text(), QString("履歴を参照..."));
    EXPECT_EQ(FindCommandAction(file, ID_FIND)->text(), QString("履歴内を検索..."));
    // The history list releases its extraction with its own id.
    const auto rirekiIds = IdsOf(MENU_RIREKI);
    EXPECT_NE(std::find(rirekiIds.begin(), rirekiIds.end(), ID_EXTRACT_CLEAR_RIREKI), rirekiIds.end());
    EXPECT_EQ(std::find(rirekiIds.begin(), rirekiIds.end(), ID_EXTRACT_CLEAR), rirekiIds.end());
}

TEST(MenuBars, TriggeringReportsTheIdAndShowingAppliesTheStates) {
    std::vector<int> triggered;
    const CommandStateQuery query = [](int id) {
        CCommandState s;
        s.enabled = id != ID_KOKYAKU_DELETE;
        s.checkable = id == ID_VIEW_TOOLBAR;
        s.checked = id == ID_VIEW_TOOLBAR;
        return s;
    };
    auto bar = std::unique_ptr<QMenuBar>(
        BuildMenuBar(MENU_KOKYAKU, nullptr, [&](int id) { triggered.push_back(id); }, query));
    QMenu* view = bar->actions().at(1)->menu();
    QMenu* customers = bar->actions().at(2)->menu();

    emit customers->aboutToShow();
    EXPECT_FALSE(FindCommandAction(customers, ID_KOKYAKU_DELETE)->isEnabled());
    EXPECT_TRUE(FindCommandAction(customers, ID_KOKYAKU_ADD)->isEnabled());
    emit view->aboutToShow();
    QAction* toolbar = FindCommandAction(view, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(toolbar->isCheckable());
    EXPECT_TRUE(toolbar->isChecked());
    // Sub-menus are updated with their parent.
    EXPECT_TRUE(FindCommandAction(view, ID_CARD_DETAIL2_PAGE)->isEnabled());

    FindCommandAction(customers, ID_KOKYAKU_ADD)->trigger();
    FindCommandAction(view, ID_CARD_DETAIL_PAGE)->trigger();
    EXPECT_EQ(triggered, (std::vector<int>{ID_KOKYAKU_ADD, ID_CARD_DETAIL_PAGE}));
}

TEST(PopupMenus, MenuScreenPopupsShareNoCommand) {
    const CommandStateQuery query = [](int) { return CCommandState{}; };
    std::unique_ptr<QMenu> help(BuildPopupMenu(MENU_POPUP, 2, nullptr, nullptr, query));
    EXPECT_EQ(FindCommandAction(help.get(), ID_HELP_CONTENTS)->text(), QString("ヘルプ目次"));
    EXPECT_EQ(BuildPopupMenu(MENU_POPUP, 4, nullptr, nullptr, query), nullptr);
    std::vector<int> all;
    for (int i = 0; i < 3; ++i) CollectIds(MenuDefinition(MENU_POPUP)[i].children, all);
    EXPECT_EQ(std::set<int>(all.begin(), all.end()).size(), all.size());
}

// A deferred command runs from the event loop, and not at all behind a modal
// dialog or once its context is gone.
TEST(PopupMenus, DeferredCommandsRunFromTheEventLoop) {
    std::vector<int> ran;
    auto context = std::make_unique<QObject>();
    CommandSink sink = Deferred(context.get(), [&ran](int id) { ran.push_back(id); });
    sink(ID_KOKYAKU_ADD);
    EXPECT_TRUE(ran.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, std::vector<int>{ID_KOKYAKU_ADD});

    {
        QDialog modal;
        modal.setModal(true);
        modal.show();
        sink(ID_KOKYAKU_COPY);
        QCoreApplication::processEvents();
        EXPECT_EQ(ran.size(), 1u);
    }

    sink(ID_KOKYAKU_DELETE);
    context.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.size(), 1u);
}
