#include "app/ui/MenuDefs.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/CommandIds.h"
#include "app/ui/ScreenView.h"

namespace {

MenuItemDef Cmd(int id, const char* text) { return {MenuItemDef::Command, id, text, {}, false}; }
MenuItemDef Radio(int id, const char* text) { return {MenuItemDef::Command, id, text, {}, true}; }
MenuItemDef Sep() { return {MenuItemDef::Separator, 0, "", {}, false}; }
MenuItemDef Sub(const char* text, std::vector<MenuItemDef> items) {
    return {MenuItemDef::SubMenu, 0, text, std::move(items), false};
}

MenuItemDef HelpMenu() {
    return Sub("ﾍﾙﾌﾟ", {Cmd(ID_HELP_CONTENTS, "ﾍﾙﾌﾟ..."), Sep(), Cmd(ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報(&A)...")});
}

// The customer screen's menu adds the count command at the end.
MenuItemDef KokyakuGroup(bool withCount = false) {
    MenuItemDef group = Sub("顧客", {
        Cmd(ID_KOKYAKU_ADD, "顧客を追加..."),
        Cmd(ID_KOKYAKU_MODIFY, "顧客を修正..."),
        Cmd(ID_KOKYAKU_BULK_MODIFY, "顧客を一括修正..."),
        Cmd(ID_KOKYAKU_DELETE, "顧客を削除"),
        Cmd(ID_KOKYAKU_COPY, "顧客をコピー..."),
        Sep(),
        Cmd(ID_KOKYAKU_BULK_RIREKI, "顧客に一括して履歴追加..."),
        Cmd(ID_KOKYAKU_DELETE_RIREKI, "顧客の履歴をすべて削除"),
        Sep(),
        Cmd(ID_FIND, "顧客内を検索..."),
        Cmd(ID_KOKYAKU_SELECT_ALL, "一覧の顧客をすべて選択"),
    });
    if (withCount) group.children.push_back(Cmd(ID_KOKYAKU_COUNT, "現在の顧客数を表示..."));
    return group;
}

MenuItemDef CardTypeMenu() {
    return Sub("顧客入力画面選択", {
        Radio(ID_CARDTYPE_NORMAL, "通常タイプ"),
        Radio(ID_CARDTYPE_PERSONAL, "個人タイプ"),
        Radio(ID_CARDTYPE_CORPORATE, "法人タイプ"),
    });
}

const std::vector<MenuItemDef> kKokyakuMenu = {
    Sub("ﾌｧｲﾙ", {
        Cmd(ID_DB_UPDATE_LIST, "データベースを更新"),
        Sep(),
        Cmd(ID_IMPORT, "外部ﾃﾞｰﾀの取り込み..."),
        Cmd(ID_EXPORT, "外部ﾃﾞｰﾀへ書き出し..."),
        Cmd(ID_EXPORT_HTML, "HTMLに書き出し..."),
        Cmd(ID_IMPORT_BRENNA, "Brenna4の顧客ﾃﾞｰﾀ取り込み..."),
        Sep(),
        Cmd(ID_PRINT, "印刷..."),
        Cmd(ID_MAIL_SEND, "メール送信..."),
        Sep(),
        Cmd(ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"),
    }),
    Sub("表示", {
        Cmd(ID_VIEW_MENU_SCREEN, "メニュー画面へ"),
        Cmd(ID_VIEW_DM_SCREEN, "DM登録画面へ"),
        Sep(),
        Cmd(ID_EXTRACT, "抽出..."),
        Cmd(ID_ANALYSIS, "ソルナ分析..."),
        Sep(),
        Cmd(ID_VIEW_CARD, "カード"),
        Sub("カード切り替え", {
            Cmd(ID_CARD_RIREKI_PAGE, "履歴画面"),
            Cmd(ID_CARD_DETAIL_PAGE, "詳細画面"),
            Cmd(ID_CARD_DETAIL2_PAGE, "詳細画面２"),
        }),
        Sep(),
        Cmd(ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)"),
    }),
    KokyakuGroup(true),
    Sub("履歴", {
        Cmd(ID_RIREKI_ADD, "履歴を追加..."),
        Cmd(ID_RIREKI_MODIFY, "履歴を修正..."),
        Cmd(ID_RIREKI_DELETE, "履歴を削除"),
        Cmd(ID_RIREKI_COPY, "履歴をコピー..."),
        Sep(),
        Cmd(ID_RIREKI_FIND, "履歴内を検索..."),
    }),
    Sub("抽出", {
        Cmd(ID_EXTRACT_CLEAR, "抽出を解除(すべて表示)"),
        Cmd(ID_EXTRACT_REDO, "抽出のやり直し..."),
        Cmd(ID_EXTRACT_SAVE, "抽出条件の保存..."),
    }),
    Sub("設定", {
        CardTypeMenu(),
        Cmd(ID_LIST_COLUMNS, "顧客一覧の表示項目設定..."),
    }),
    HelpMenu(),
};

const std::vector<MenuItemDef> kRirekiMenu = {
    Sub("ﾌｧｲﾙ", {Cmd(ID_PRINT, "印刷..."), Sep(), Cmd(ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)")}),
    Sub("表示", {
        Cmd(ID_VIEW_MENU_SCREEN, "メニュー画面へ"),
        Sep(),
        Cmd(ID_EXTRACT, "抽出..."),
        Cmd(ID_ANALYSIS, "ソルナ分析..."),
        Sep(),
        Cmd(ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)"),
    }),
    Sub("履歴", {
        Cmd(ID_RIREKI_MODIFY, "履歴を参照..."),
        Cmd(ID_RIREKI_DELETE, "履歴を削除"),
        Sep(),
        Cmd(ID_FIND, "履歴内を検索..."),
    }),
    Sub("抽出", {
        Cmd(ID_EXTRACT_CLEAR_RIREKI, "抽出を解除(すべて表示)"),
        Cmd(ID_EXTRACT_REDO, "抽出のやり直し..."),
        Cmd(ID_EXTRACT_SAVE, "抽出条件の保存..."),
    }),
    HelpMenu(),
};

const std::vector<MenuItemDef> kDMMenu = {
    Sub("ﾌｧｲﾙ", {
        Cmd(ID_FILE_PRINT, "印刷..."),
        Cmd(ID_MAIL_SEND, "メール送信..."),
        Sep(),
        Cmd(ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"),
    }),
    Sub("表示", {Cmd(ID_VIEW_MENU_SCREEN, "メニュー画面へ"), Sep(), Cmd(ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)")}),
    Sub("DMタイトル", {
        Cmd(ID_DM_ADD, "DMタイトルを追加..."),
        Cmd(ID_DM_MODIFY, "DMタイトルを修正..."),
        Cmd(ID_DM_DELETE, "DMタイトルを削除"),
        Cmd(ID_DM_COPY, "DMタイトルをコピー..."),
    }),
    Sub("顧客", {Cmd(ID_DM_TARGET_ADD, "顧客を追加..."), Cmd(ID_DM_TARGET_DELETE, "顧客を削除")}),
    HelpMenu(),
};

const std::vector<MenuItemDef> kPopupMenu = {
    Sub("設定", {
        CardTypeMenu(),
        Cmd(ID_LIST_COLUMNS, "顧客一覧の表示項目設定..."),
        Cmd(ID_FREE_ITEM_NAMES, "顧客情報フリー項目の設定..."),
        Sep(),
        Cmd(ID_PRE_EXTRACT_SET, "顧客一覧の事前抽出の設定..."),
        Cmd(ID_PRE_EXTRACT_CLEAR, "顧客一覧の事前抽出設定を解除"),
        Sep(),
        Cmd(ID_TANTOU_LIST, "自社担当者の設定..."),
        Cmd(ID_CHOICE_LISTS, "入力用の選択肢を編集..."),
        Sep(),
        Cmd(ID_OWN_COMPANY, "自社情報設定..."),
        Cmd(ID_AMOUNT_SETTINGS, "金額計算設定..."),
        Cmd(ID_FORM_NAMES, "ｵﾘｼﾞﾅﾙﾌｫｰﾑ名の変更・削除..."),
        Sep(),
        Cmd(ID_DATA_LOCATION, "ﾃﾞｰﾀ保存先の設定..."),
        Cmd(ID_PASSWORD, "ﾊﾟｽﾜｰﾄﾞの設定..."),
    }),
    Sub("ツール", {
        Cmd(ID_PHONE_BOOK, "電話帳"),
        Cmd(ID_AREA_MARKETING, "エリアマーケティング"),
        Sep(),
        Cmd(ID_PHONE_BACKUP, "電話帳ﾃﾞｰﾀ - ﾊﾞｯｸｱｯﾌﾟ"),
        Cmd(ID_PHONE_RESTORE, "電話帳ﾃﾞｰﾀ - 復元"),
        Sep(),
        Cmd(ID_DATA_BACKUP, "ﾃﾞｰﾀのﾊﾞｯｸｱｯﾌﾟ"),
        Cmd(ID_DATA_RESTORE, "ﾃﾞｰﾀの復元"),
        Cmd(ID_FORM_BACKUP, "ｵﾘｼﾞﾅﾙﾌｫｰﾑのﾊﾞｯｸｱｯﾌﾟ"),
        Cmd(ID_FORM_RESTORE, "ｵﾘｼﾞﾅﾙﾌｫｰﾑの復元"),
        Sep(),
        Cmd(ID_RIREKI_BACKUP_DELETE, "履歴をﾊﾞｯｸｱｯﾌﾟしてから削除..."),
        Cmd(ID_DB_OPTIMIZE, "ﾃﾞｰﾀﾍﾞｰｽの最適化..."),
        Sep(),
        Cmd(ID_PAST_DATA, "過去の履歴を参照する"),
        Cmd(ID_CURRENT_DATA, "現在のﾃﾞｰﾀに戻す"),
        Sep(),
        Cmd(ID_DB_UPDATE, "ﾃﾞｰﾀﾍﾞｰｽを更新"),
    }),
    Sub("ヘルプ", {Cmd(ID_HELP_CONTENTS, "ヘルプ目次"), Sep(), Cmd(ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報...")}),
    KokyakuGroup(),
};

const std::vector<MenuItemDef> kNone;

void Fill(QMenu* menu, const std::vector<MenuItemDef>& items, const CommandSink& sink) {
    QActionGroup* radios = nullptr;
    for (const MenuItemDef& item : items) {
        switch (item.kind) {
        case MenuItemDef::Separator: menu->addSeparator(); break;
        case MenuItemDef::SubMenu: {
            QMenu* sub = menu->addMenu(QString::fromUtf8(item.text));
            Fill(sub, item.children, sink);
            break;
        }
        case MenuItemDef::Command: {
            QAction* a = menu->addAction(QString::fromUtf8(item.text));
            a->setData(item.id);
            a->setObjectName(QStringLiteral("cmd_%1").arg(item.id));
            if (item.radio) {
                if (!radios) {
                    radios = new QActionGroup(menu);
                    radios->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
                }
                a->setCheckable(true);
                radios->addAction(a);
            }
            const int id = item.id;
            QObject::connect(a, &QAction::triggered, menu, [sink, id] { if (sink) sink(id); });
            break;
        }
        }
    }
}

void WireUpdates(QMenu* menu, const CommandStateQuery& query) {
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, query] { UpdateMenuActions(menu, query); });
}

}  // namespace

CommandSink Deferred(QObject* context, CommandSink sink) {
    return [context, sink = std::move(sink)](int id) {
        QTimer::singleShot(0, context, [sink, id] {
            // A person cannot reach a menu behind a modal dialog; neither may a remote client.
            if (!QApplication::activeModalWidget()) sink(id);
        });
    };
}

const std::vector<MenuItemDef>& MenuDefinition(int resource) {
    switch (resource) {
    case MENU_KOKYAKU: return kKokyakuMenu;
    case MENU_RIREKI: return kRirekiMenu;
    case MENU_DM: return kDMMenu;
    case MENU_POPUP: return kPopupMenu;
    default: return kNone;
    }
}

QMenuBar* BuildMenuBar(int resource, QWidget* parent, const CommandSink& sink, const CommandStateQuery& query) {
    auto* bar = new QMenuBar(parent);
    for (const MenuItemDef& top : MenuDefinition(resource)) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(top.text));
        Fill(menu, top.children, sink);
        WireUpdates(menu, query);
    }
    return bar;
}

QMenu* BuildPopupMenu(int resource, int subMenu, QWidget* parent, const CommandSink& sink,
                      const CommandStateQuery& query) {
    const auto& def = MenuDefinition(resource);
    if (subMenu < 0 || subMenu >= static_cast<int>(def.size())) return nullptr;
    auto* menu = new QMenu(QString::fromUtf8(def[subMenu].text), parent);
    Fill(menu, def[subMenu].children, sink);
    WireUpdates(menu, query);
    return menu;
}

void UpdateMenuActions(QMenu* menu, const CommandStateQuery& query) {
    if (!menu || !query) return;
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu()) {
            UpdateMenuActions(sub, query);
            continue;
        }
        if (a->isSeparator() || !a->data().isValid()) continue;
        const CCommandState s = query(a->data().toInt());
        a->setEnabled(s.enabled);
        if (a->isCheckable() || s.checkable) {
            a->setCheckable(true);
            a->setChecked(s.checked);
        }
    }
}

QAction* FindCommandAction(QMenu* menu, int id) {
    if (!menu) return nullptr;
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu()) {
            if (QAction* found = FindCommandAction(sub, id)) return found;
        } else if (a->data().isValid() && a->data().toInt() == id) {
            return a;
        }
    }
    return nullptr;
}
