// The menu bars of the list screens and the pop-up menus of the menu screen,
// as data; BuildMenu turns a definition into Qt menus whose actions carry
// their command id (QAction::data) and report it when triggered.
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QWidget;
struct CCommandState;

struct MenuItemDef {
    enum Kind { Command, Separator, SubMenu };
    Kind kind = Command;
    int id = 0;
    const char* text = "";
    std::vector<MenuItemDef> children;  // SubMenu only
    bool radio = false;                 // Command: shows a radio mark when checked
};

enum MenuResource : int {
    MENU_KOKYAKU = 133,
    MENU_RIREKI = 134,
    MENU_DM = 135,
    MENU_POPUP = 193,  // sub-menus 0 設定, 1 ツール, 2 ヘルプ, 3 顧客 (customer context menu)
};

// Top-level sub-menus of a menu resource; empty for an unknown id.
const std::vector<MenuItemDef>& MenuDefinition(int resource);

using CommandSink = std::function<void(int id)>;
using CommandStateQuery = std::function<CCommandState(int id)>;

// A sink that runs the command once control is back in the event loop (and
// only while context lives and no modal dialog is up): a menu item chosen
// through accessibility then answers at once even when its command opens a
// modal dialog.
CommandSink Deferred(QObject* context, CommandSink sink);

// Builds a menu bar (resources 133 to 135) with the actions wired to sink.
// Each menu asks query for the state of its commands before it opens.
QMenuBar* BuildMenuBar(int resource, QWidget* parent, const CommandSink& sink, const CommandStateQuery& query);
// Builds sub-menu n of a menu resource as a stand-alone pop-up.
QMenu* BuildPopupMenu(int resource, int subMenu, QWidget* parent, const CommandSink& sink,
                      const CommandStateQuery& query);
// Applies query to every command action of the menu and its sub-menus.
void UpdateMenuActions(QMenu* menu, const CommandStateQuery& query);
// The action of a command in a menu tree (first match), or null.
QAction* FindCommandAction(QMenu* menu, int id);
