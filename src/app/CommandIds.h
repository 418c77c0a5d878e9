// Command identifiers of the whole program: menus, toolbars, pop-ups and the
// screens' buttons dispatch by these numbers. Nothing else repeats them.
#pragma once

#include <string_view>

enum CommandId : int {
    // Buttons and commands shared with the list screens' forms
    ID_KOKYAKU_ADD = 1002,            // 顧客を追加...
    ID_VIEW_DM_SCREEN = 1004,         // DM登録画面へ
    ID_ANALYSIS = 1008,               // ソルナ分析...
    ID_EXTRACT = 1009,                // 抽出...
    ID_FIND = 1017,                   // 顧客内を検索... / 履歴内を検索...
    ID_EXTRACT_SAVE = 1224,           // 抽出条件の保存...
    ID_EXTRACT_CLEAR = 1234,          // 抽出を解除(すべて表示) (customer list)
    ID_EXTRACT_REDO = 1235,           // 抽出のやり直し...
    ID_EXTRACT_CLEAR_RIREKI = 1237,   // 抽出を解除(すべて表示) (history list)

    // Screens and panes
    ID_VIEW_MENU_SCREEN = 32772,      // メニュー画面へ
    ID_VIEW_CARD = 32773,             // カード
    ID_CARD_RIREKI_PAGE = 32799,      // 履歴画面
    ID_CARD_DETAIL_PAGE = 32800,      // 詳細画面
    ID_CARD_DETAIL2_PAGE = 32801,     // 詳細画面２
    ID_VIEW_TOOLBAR = 59392,          // ﾂｰﾙ ﾊﾞｰ(&T)

    // Customers
    ID_KOKYAKU_DELETE = 32777,        // 顧客を削除
    ID_KOKYAKU_MODIFY = 32779,        // 顧客を修正...
    ID_KOKYAKU_COPY = 32803,          // 顧客をコピー...
    ID_KOKYAKU_DELETE_RIREKI = 32819, // 顧客の履歴をすべて削除
    ID_KOKYAKU_SELECT_ALL = 32827,    // 一覧の顧客をすべて選択
    ID_KOKYAKU_COUNT = 32828,         // 現在の顧客数を表示...
    ID_KOKYAKU_BULK_MODIFY = 32831,   // 顧客を一括修正...
    ID_KOKYAKU_BULK_RIREKI = 32832,   // 顧客に一括して履歴追加...

    // History
    ID_RIREKI_ADD = 32775,            // 履歴を追加...
    ID_RIREKI_MODIFY = 32776,         // 履歴を修正... / 履歴を参照...
    ID_RIREKI_DELETE = 32778,         // 履歴を削除
    ID_RIREKI_COPY = 32802,           // 履歴をコピー...
    ID_RIREKI_FIND = 32804,           // 履歴内を検索... (card pane)

    // Files, exchange, printing, mail
    ID_MAIL_SEND = 32806,             // メール送信...
    ID_IMPORT = 32809,                // 外部ﾃﾞｰﾀの取り込み...
    ID_PRINT = 32816,                 // 印刷... (customer and history lists)
    ID_EXPORT = 32817,                // 外部ﾃﾞｰﾀへ書き出し...
    ID_EXPORT_HTML = 32818,           // HTMLに書き出し...
    ID_IMPORT_BRENNA = 32824,         // Brenna4の顧客ﾃﾞｰﾀ取り込み...
    ID_DB_UPDATE_LIST = 32825,        // データベースを更新 (customer list)
    ID_FILE_PRINT = 57607,            // 印刷... (DM screen)
    ID_APP_ABOUT = 57664,             // ﾊﾞｰｼﾞｮﾝ情報(&A)...
    ID_APP_EXIT = 57665,              // ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)

    // DM management
    ID_DM_ADD = 32810,                // DMタイトルを追加...
    ID_DM_MODIFY = 32811,             // DMタイトルを修正...
    ID_DM_DELETE = 32812,             // DMタイトルを削除
    ID_DM_COPY = 32813,               // DMタイトルをコピー...
    ID_DM_TARGET_ADD = 32814,         // 顧客を追加... (DM targets)
    ID_DM_TARGET_DELETE = 32815,      // 顧客を削除 (DM targets)
    ID_DM_HIT_RATE = 1018,            // DMヒット率分析... (DM screen button)

    // Settings
    ID_LIST_COLUMNS = 32780,          // 顧客一覧の表示項目設定...
    ID_FORM_NAMES = 32781,            // ｵﾘｼﾞﾅﾙﾌｫｰﾑ名の変更・削除...
    ID_DATA_LOCATION = 32788,         // ﾃﾞｰﾀ保存先の設定...
    ID_OWN_COMPANY = 32791,           // 自社情報設定...
    ID_AMOUNT_SETTINGS = 32792,       // 金額計算設定...
    ID_TANTOU_LIST = 32793,           // 自社担当者の設定...
    ID_CHOICE_LISTS = 32794,          // 入力用の選択肢を編集...
    ID_FREE_ITEM_NAMES = 32805,       // 顧客情報フリー項目の設定...
    ID_PASSWORD = 32820,              // ﾊﾟｽﾜｰﾄﾞの設定...
    ID_CARDTYPE_NORMAL = 32821,       // 通常タイプ
    ID_CARDTYPE_PERSONAL = 32822,     // 個人タイプ
    ID_CARDTYPE_CORPORATE = 32823,    // 法人タイプ
    ID_PRE_EXTRACT_SET = 32829,       // 顧客一覧の事前抽出の設定...
    ID_PRE_EXTRACT_CLEAR = 32830,     // 顧客一覧の事前抽出設定を解除

    // Tools
    ID_FORM_BACKUP = 32782,           // ｵﾘｼﾞﾅﾙﾌｫｰﾑのﾊﾞｯｸｱｯﾌﾟ
    ID_FORM_RESTORE = 32783,          // ｵﾘｼﾞﾅﾙﾌｫｰﾑの復元
    ID_PHONE_BOOK = 32784,            // 電話帳
    ID_AREA_MARKETING = 32785,        // エリアマーケティング
    ID_HELP_CONTENTS = 32786,         // ﾍﾙﾌﾟ... / ヘルプ目次
    ID_DATA_BACKUP = 32789,           // ﾃﾞｰﾀのﾊﾞｯｸｱｯﾌﾟ
    ID_DATA_RESTORE = 32790,          // ﾃﾞｰﾀの復元
    ID_RIREKI_BACKUP_DELETE = 32795,  // 履歴をﾊﾞｯｸｱｯﾌﾟしてから削除...
    ID_DB_OPTIMIZE = 32796,           // ﾃﾞｰﾀﾍﾞｰｽの最適化...
    ID_PAST_DATA = 32797,             // 過去の履歴を参照する
    ID_CURRENT_DATA = 32798,          // 現在のﾃﾞｰﾀに戻す
    ID_PHONE_BACKUP = 32834,          // 電話帳ﾃﾞｰﾀ - ﾊﾞｯｸｱｯﾌﾟ
    ID_PHONE_RESTORE = 32835,         // 電話帳ﾃﾞｰﾀ - 復元
    ID_DB_UPDATE = 32836,             // ﾃﾞｰﾀﾍﾞｰｽを更新 (menu screen)
};

// Window messages between the frame and its screens.
enum FrameMessage : int {
    WM_MLV_FORMLIST_CHANGED = 1051,   // the menu screen re-reads its form pick-up list
    WM_MLV_FIND_REQUEST = 1124,       // a find-dialog request forwarded to a list screen
};

// Screen numbers of the main window.
enum ScreenNumber : int {
    SCREEN_MENU = 0,
    SCREEN_KOKYAKU_LIST = 1,          // customer list alone
    SCREEN_KOKYAKU_RIREKI = 2,        // customer list with the history card
    SCREEN_KOKYAKU_DETAIL = 3,        // customer list with the detail card
    SCREEN_RIREKI_LIST = 4,
    SCREEN_DM = 5,
    SCREEN_COUNT = 6,
};

struct CommandText {
    int id;
    const char* text;
};

// The usual menu text of each command (tooltips, accessible names, toolbars).
// Where two menus word one command differently the customer-list wording is given.
inline constexpr CommandText kCommandTexts[] = {
    {ID_KOKYAKU_ADD, "顧客を追加..."},
    {ID_VIEW_DM_SCREEN, "DM登録画面へ"},
    {ID_ANALYSIS, "ソルナ分析..."},
    {ID_EXTRACT, "抽出..."},
    {ID_FIND, "顧客内を検索..."},
    {ID_EXTRACT_SAVE, "抽出条件の保存..."},
    {ID_EXTRACT_CLEAR, "抽出を解除(すべて表示)"},
    {ID_EXTRACT_REDO, "抽出のやり直し..."},
    {ID_EXTRACT_CLEAR_RIREKI, "抽出を解除(すべて表示)"},
    {ID_VIEW_MENU_SCREEN, "メニュー画面へ"},
    {ID_VIEW_CARD, "カード"},
    {ID_CARD_RIREKI_PAGE, "履歴画面"},
    {ID_CARD_DETAIL_PAGE, "詳細画面"},
    {ID_CARD_DETAIL2_PAGE, "詳細画面２"},
    {ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)"},
    {ID_KOKYAKU_DELETE, "顧客を削除"},
    {ID_KOKYAKU_MODIFY, "顧客を修正..."},
    {ID_KOKYAKU_COPY, "顧客をコピー..."},
    {ID_KOKYAKU_DELETE_RIREKI, "顧客の履歴をすべて削除"},
    {ID_KOKYAKU_SELECT_ALL, "一覧の顧客をすべて選択"},
    {ID_KOKYAKU_COUNT, "現在の顧客数を表示..."},
    {ID_KOKYAKU_BULK_MODIFY, "顧客を一括修正..."},
    {ID_KOKYAKU_BULK_RIREKI, "顧客に一括して履歴追加..."},
    {ID_RIREKI_ADD, "履歴を追加..."},
    {ID_RIREKI_MODIFY, "履歴を修正..."},
    {ID_RIREKI_DELETE, "履歴を削除"},
    {ID_RIREKI_COPY, "履歴をコピー..."},
    {ID_RIREKI_FIND, "履歴内を検索..."},
    {ID_MAIL_SEND, "メール送信..."},
    {ID_IMPORT, "外部ﾃﾞｰﾀの取り込み..."},
    {ID_PRINT, "印刷..."},
    {ID_EXPORT, "外部ﾃﾞｰﾀへ書き出し..."},
    {ID_EXPORT_HTML, "HTMLに書き出し..."},
    {ID_IMPORT_BRENNA, "Brenna4の顧客ﾃﾞｰﾀ取り込み..."},
    {ID_DB_UPDATE_LIST, "データベースを更新"},
    {ID_FILE_PRINT, "印刷..."},
    {ID_APP_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"},
    {ID_DM_ADD, "DMタイトルを追加..."},
    {ID_DM_MODIFY, "DMタイトルを修正..."},
    {ID_DM_DELETE, "DMタイトルを削除"},
    {ID_DM_COPY, "DMタイトルをコピー..."},
    {ID_DM_TARGET_ADD, "顧客を追加..."},
    {ID_DM_TARGET_DELETE, "顧客を削除"},
    {ID_DM_HIT_RATE, "DMヒット率分析..."},
    {ID_LIST_COLUMNS, "顧客一覧の表示項目設定..."},
    {ID_FORM_NAMES, "ｵﾘｼﾞﾅﾙﾌｫｰﾑ名の変更・削除..."},
    {ID_DATA_LOCATION, "ﾃﾞｰﾀ保存先の設定..."},
    {ID_OWN_COMPANY, "自社情報設定..."},
    {ID_AMOUNT_SETTINGS, "金額計算設定..."},
    {ID_TANTOU_LIST, "自社担当者の設定..."},
    {ID_CHOICE_LISTS, "入力用の選択肢を編集..."},
    {ID_FREE_ITEM_NAMES, "顧客情報フリー項目の設定..."},
    {ID_PASSWORD, "ﾊﾟｽﾜｰﾄﾞの設定..."},
    {ID_CARDTYPE_NORMAL, "通常タイプ"},
    {ID_CARDTYPE_PERSONAL, "個人タイプ"},
    {ID_CARDTYPE_CORPORATE, "法人タイプ"},
    {ID_PRE_EXTRACT_SET, "顧客一覧の事前抽出の設定..."},
    {ID_PRE_EXTRACT_CLEAR, "顧客一覧の事前抽出設定を解除"},
    {ID_FORM_BACKUP, "ｵﾘｼﾞﾅﾙﾌｫｰﾑのﾊﾞｯｸｱｯﾌﾟ"},
    {ID_FORM_RESTORE, "ｵﾘｼﾞﾅﾙﾌｫｰﾑの復元"},
    {ID_PHONE_BOOK, "電話帳"},
    {ID_AREA_MARKETING, "エリアマーケティング"},
    {ID_HELP_CONTENTS, "ﾍﾙﾌﾟ..."},
    {ID_DATA_BACKUP, "ﾃﾞｰﾀのﾊﾞｯｸｱｯﾌﾟ"},
    {ID_DATA_RESTORE, "ﾃﾞｰﾀの復元"},
    {ID_RIREKI_BACKUP_DELETE, "履歴をﾊﾞｯｸｱｯﾌﾟしてから削除..."},
    {ID_DB_OPTIMIZE, "ﾃﾞｰﾀﾍﾞｰｽの最適化..."},
    {ID_PAST_DATA, "過去の履歴を参照する"},
    {ID_CURRENT_DATA, "現在のﾃﾞｰﾀに戻す"},
    {ID_PHONE_BACKUP, "電話帳ﾃﾞｰﾀ - ﾊﾞｯｸｱｯﾌﾟ"},
    {ID_PHONE_RESTORE, "電話帳ﾃﾞｰﾀ - 復元"},
    {ID_DB_UPDATE, "ﾃﾞｰﾀﾍﾞｰｽを更新"},
};

// The usual menu text of a command, or "" for an unknown id.
constexpr std::string_view CommandMenuText(int id) {
    for (const auto& c : kCommandTexts)
        if (c.id == id) return c.text;
    return {};
}
