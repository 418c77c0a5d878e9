// Every text entry of every dialog keeps one rule while the user types: a
// character Shift-JIS cannot hold is dropped and named, and the text stays
// within its Shift-JIS byte limit.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "common/SjisText.h"
#include "common/ui/SjisFieldBinding.h"
#include "app/MilvaneDoc.h"
#include "app/ui/FindDlg.h"
#include "analysis/ui/SorunaSheet.h"
#include "app/ui/PasswordDlg.h"
#include "customers/ui/BulkChangeDlg.h"
#include "customers/ui/ChoiceEditDlg.h"
#include "customers/ui/DispSettingsDlg.h"
#include "customers/ui/KokyakuEntryDlg.h"
#include "customers/ui/KokyakuSubDlg.h"
#include "dm/ui/DMTitleDlg.h"
#include "dm/ui/MailSubjectDlg.h"
#include "exchange/ui/ImportDlg.h"
#include "extract/ExCondition.h"
#include "extract/ExtractDlgLogic.h"
#include "extract/ui/ExtractDlg.h"
#include "history/ui/RirekiEntryDlg.h"
#include "maintenance/ui/MaintenanceDlgs.h"
#include "printing/ui/FormNamesDlg.h"
#include "printing/ui/OwnCompanyDlg.h"
#include "support/TestInstall.h"
#include "support/TestPorts.h"

namespace {

std::string NoLabels(const std::string&) { return {}; }

using DialogFactory = std::function<std::unique_ptr<QWidget>(const std::string& installDir, CMilvaneDoc& doc)>;

// The analysis sheet on one page (the others it holds stay hidden).
std::unique_ptr<QWidget> SorunaPage(CMilvaneDoc& doc, int page) {
    auto sheet = std::make_unique<CSorunaSheet>(&doc, false, nullptr);
    sheet->SelectPage(page);
    return sheet;
}

const std::map<std::string, DialogFactory>& Dialogs() {
    static const std::map<std::string, DialogFactory> dialogs = {
        {"顧客の登録", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CKokyakuEntryDlg>(EntryLayout::Normal, EntryMode::Add, nullptr, false, false,
                                                       nullptr, NoLabels);
         }},
        {"備考", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CKokyakuSubDlg>(SubDialogKind::Notes, CEntryRecord::Blank(), false, NoLabels);
         }},
        {"会社詳細情報", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CKokyakuSubDlg>(SubDialogKind::CompanyDetails, CEntryRecord::Blank(), false,
                                                     NoLabels);
         }},
        {"会社情報の登録", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CKokyakuSubDlg>(SubDialogKind::CompanyInfo, CEntryRecord::Blank(), false,
                                                     NoLabels);
         }},
        {"自宅情報の登録", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CKokyakuSubDlg>(SubDialogKind::HomeInfo, CEntryRecord::Blank(), false, NoLabels);
         }},
        {"顧客の一括修正", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CBulkChangeDlg>(nullptr);
         }},
        {"項目の追加・変更", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CChoiceEntryDlg>("", 30, [](const std::string&) { return true; });
         }},
        {"項目名の変更", [](const std::string& install, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CFreeItemDlg>(install);
         }},
        {"履歴の追加", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CRirekiEntryDlg>(HistoryDialogMode::BulkAdd, nullptr, -1, nullptr, false, false,
                                                      "", "");
         }},
        {"DMタイトルを追加", [](const std::string& install, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CDMTitleDlg>(
                 install, CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::FromParts(2024, 4, 1, 9, 0)));
         }},
        {"メーラーを起動", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CMailSubjectDlg>(CMailSubjectRequest{});
         }},
        {"オリジナルフォーム名の変更", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CFormNameDlg>(QString());
         }},
        {"自社情報設定", [](const std::string& install, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<COwnCompanyDlg>(install);
         }},
        {"金額計算設定", [](const std::string& install, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CAmountDlg>(install);
         }},
        {"抽出条件の保存", [](const std::string& install, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             static CExCondition condition;
             return std::make_unique<CExSaveDlg>(install, condition);
         }},
        {"保存済み抽出条件の名前を変更", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CExRenameDlg>("条件");
         }},
        {"検索", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> { return std::make_unique<CFindDlg>(); }},
        {"抽出", [](const std::string&, CMilvaneDoc& doc) -> std::unique_ptr<QWidget> {
             return std::make_unique<CExtractDlg>(doc, kExtractAny, 0);
         }},
        {"ｿﾙﾅ分析 1", [](const std::string&, CMilvaneDoc& doc) { return SorunaPage(doc, 1); }},
        {"ｿﾙﾅ分析 2", [](const std::string&, CMilvaneDoc& doc) { return SorunaPage(doc, 2); }},
        {"ｿﾙﾅ分析 3", [](const std::string&, CMilvaneDoc& doc) { return SorunaPage(doc, 3); }},
        {"ｿﾙﾅ分析 4", [](const std::string&, CMilvaneDoc& doc) { return SorunaPage(doc, 4); }},
        {"ｿﾙﾅ分析 6", [](const std::string&, CMilvaneDoc& doc) { return SorunaPage(doc, 6); }},
        {"ｿﾙﾅ分析 7", [](const std::string&, CMilvaneDoc& doc) { return SorunaPage(doc, 7); }},
        {"パスワードの確認", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CPasswordDlg>(QStringLiteral("パスワードを入力してください"), 0);
         }},
        {"パスワードの設定", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CNewPasswordDlg>(false);
         }},
        {"ﾃｷｽﾄﾌｧｲﾙの形式", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             return std::make_unique<CTextFormatDlg>("a,b");
         }},
        {"過去の履歴の削除", [](const std::string&, CMilvaneDoc&) -> std::unique_ptr<QWidget> {
             std::tm today{};
             today.tm_year = 124;
             today.tm_mon = 3;
             today.tm_mday = 1;
             return std::make_unique<CRirekiPurgeDlg>(today);
         }},
    };
    return dialogs;
}

struct Field {
    const char* dialog;
    const char* name;  // accessible name
    int limit;         // Shift-JIS bytes, 0 for none
    bool digitsOnly = false;
};

// File-system paths are taken whole or refused by their own checks: dropping
// a character would name another folder.
const char* const kPaths[] = {"バックアップフォルダ"};

// Every text entry of every dialog (and of the analysis sheet's pages).
const Field kFields[] = {
    {"顧客の登録", "基本情報：お客様ｺｰﾄﾞ", 20},
    {"顧客の登録", "基本情報：氏名", 50},
    {"顧客の登録", "基本情報：ﾌﾘｶﾞﾅ", 50},
    {"顧客の登録", "基本情報：敬称", 10},
    {"顧客の登録", "基本情報：生年月日", 0},
    {"顧客の登録", "基本情報：自社担当者", 30},
    {"顧客の登録", "基本情報：重要度", 50},
    {"顧客の登録", "基本情報：ﾗﾝｷﾝｸﾞ１", 50},
    {"顧客の登録", "基本情報：ﾗﾝｷﾝｸﾞ２", 50},
    {"顧客の登録", "基本情報：備考１", 255},
    {"顧客の登録", "自宅：〒", 10},
    {"顧客の登録", "自宅：都道府県", 20},
    {"顧客の登録", "自宅：市区町村", 255},
    {"顧客の登録", "自宅：番地等", 255},
    {"顧客の登録", "自宅：TEL", 20},
    {"顧客の登録", "自宅：FAX", 20},
    {"顧客の登録", "自宅：携帯電話", 20},
    {"顧客の登録", "自宅：E-Mail1", 255},
    {"顧客の登録", "自宅：E-Mail2", 255},
    {"顧客の登録", "自宅：E-Mail3", 255},
    {"顧客の登録", "自宅：URL", 255},
    {"顧客の登録", "会社：会社名", 100},
    {"顧客の登録", "会社：ﾌﾘｶﾞﾅ", 100},
    {"顧客の登録", "会社：部署", 100},
    {"顧客の登録", "会社：役職", 100},
    {"顧客の登録", "会社：〒", 10},
    {"顧客の登録", "会社：都道府県", 20},
    {"顧客の登録", "会社：市区町村", 255},
    {"顧客の登録", "会社：番地等", 255},
    {"顧客の登録", "会社：TEL", 20},
    {"顧客の登録", "会社：FAX", 20},
    {"顧客の登録", "会社：携帯電話", 20},
    {"顧客の登録", "会社：E-Mail4", 255},
    {"顧客の登録", "会社：E-Mail5", 255},
    {"顧客の登録", "会社：URL", 255},
    {"備考", "備考：備考１", 255},
    {"備考", "備考：備考２", 255},
    {"備考", "備考：備考３", 255},
    {"備考", "備考：備考４", 255},
    {"備考", "備考：備考５", 255},
    {"備考", "備考：備考６", 255},
    {"備考", "備考：備考７", 255},
    {"備考", "備考：備考８", 255},
    {"備考", "備考：備考９", 255},
    {"備考", "備考：備考１０", 255},
    {"会社詳細情報", "会社詳細：代表者", 50},
    {"会社詳細情報", "会社詳細：業種", 50},
    {"会社詳細情報", "会社詳細：支払方法", 50},
    {"会社詳細情報", "会社詳細：主要取引銀行１", 255},
    {"会社詳細情報", "会社詳細：主要取引銀行２", 255},
    {"会社詳細情報", "会社詳細：主要取引先１", 100},
    {"会社詳細情報", "会社詳細：主要取引先２", 100},
    {"会社詳細情報", "会社詳細：主要取引先３", 100},
    {"会社詳細情報", "会社詳細：主要取引先４", 100},
    {"会社詳細情報", "会社詳細：主要取引先５", 100},
    {"顧客の一括修正", "重要度ランキングの値", 50},
    {"顧客の一括修正", "ランク１の値", 50},
    {"顧客の一括修正", "ランク２の値", 50},
    {"項目の追加・変更", "内容", 30},
    {"項目名の変更", "新しい項目名", 0},
    {"履歴の追加", "担当者", 30},
    {"履歴の追加", "概要", 100},
    {"履歴の追加", "検索ｷｰﾜｰﾄﾞ", 255},
    {"履歴の追加", "詳細", 2000},
    {"履歴の追加", "金額", 0},
    {"DMタイトルを追加", "DMタイトル", 100},
    {"DMタイトルを追加", "内容", 50},
    {"DMタイトルを追加", "管理者", 30},
    {"メーラーを起動", "件名", 256},
    {"オリジナルフォーム名の変更", "新しい名前を入力してください", 200},
    {"自社情報設定", "会社名", 0},
    {"自社情報設定", "部署名", 0},
    {"自社情報設定", "担当者", 30},
    {"自社情報設定", "郵便番号：1", 3, true},
    {"自社情報設定", "郵便番号：2", 4, true},
    {"自社情報設定", "住所/所在地", 0},
    {"自社情報設定", "電話番号：1", 0, true},
    {"自社情報設定", "電話番号：2", 0, true},
    {"自社情報設定", "電話番号：3", 0, true},
    {"自社情報設定", "FAX番号：1", 0, true},
    {"自社情報設定", "FAX番号：2", 0, true},
    {"自社情報設定", "FAX番号：3", 0, true},
    {"自社情報設定", "取引銀行", 0},
    {"自社情報設定", "会社ｷｬｯﾁﾌﾚｰｽﾞ", 0},
    {"金額計算設定", "消費税率を指定してください。", 3},
    {"抽出", "条件A：条件", 0},
    {"抽出", "条件B：条件", 0},
    {"抽出", "条件C：条件", 0},
    {"抽出条件の保存", "条件の名前", 0},
    {"保存済み抽出条件の名前を変更", "新しい名前", 0},
    {"検索", "検索する文字列", 0},
    {"ｿﾙﾅ分析 1", "履歴概要", 100},
    {"ｿﾙﾅ分析 1", "期間：開始日", 10},
    {"ｿﾙﾅ分析 1", "期間：終了日", 10},
    {"ｿﾙﾅ分析 2", "履歴概要", 100},
    {"ｿﾙﾅ分析 2", "日付", 10},
    {"ｿﾙﾅ分析 3", "履歴概要", 100},
    {"ｿﾙﾅ分析 4", "履歴概要", 100},
    {"ｿﾙﾅ分析 6", "履歴概要", 100},
    {"ｿﾙﾅ分析 6", "合計金額が", 20},
    {"ｿﾙﾅ分析 6", "最高金額が", 20},
    {"ｿﾙﾅ分析 6", "平均金額が", 20},
    {"ｿﾙﾅ分析 6", "期間：開始日", 10},
    {"ｿﾙﾅ分析 6", "期間：終了日", 10},
    {"ｿﾙﾅ分析 7", "名前", 0},
    {"パスワードの確認", "パスワード", 16},
    {"パスワードの設定", "新しいパスワード", 16},
    {"パスワードの設定", "新しいパスワード（確認）", 16},
    {"ﾃｷｽﾄﾌｧｲﾙの形式", "その他の区切り文字", 1},
    {"過去の履歴の削除", "削除する日付 年", 4},
    {"過去の履歴の削除", "削除する日付 月", 2},
    {"過去の履歴の削除", "削除する日付 日", 2},
};

// A text entry a person types into; the line edits inside combo and spin
// boxes count as their box.
bool IsTextEntry(QWidget* w) {
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->isEditable();
    if (qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QAbstractSpinBox*>(w->parentWidget())) return false;
    if (auto* line = qobject_cast<QLineEdit*>(w)) return !line->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return !plain->isReadOnly();
    return false;
}

// Types text into the emptied entry as a person would (through the entry's
// own input handling, which the program's setText bypasses).
void Type(QWidget* w, const QString& text) {
    QLineEdit* line = qobject_cast<QLineEdit*>(w);
    if (auto* c = qobject_cast<QComboBox*>(w)) line = c->lineEdit();
    if (line) {
        line->clear();
        line->insert(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->clear();
        plain->insertPlainText(text);
    }
    QApplication::processEvents();
}

std::string Text(QWidget* w) {
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText().toStdString();
    if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text().toStdString();
    return qobject_cast<QPlainTextEdit*>(w)->toPlainText().toStdString();
}

TEST(SjisFields, EveryTextEntryOfEveryDialogKeepsTheRule) {
    TestPorts ports;
    TempDir install;
    MakeInstallation(install);
    SaveColumns(install, {{"CustomerID", "お客様コード"}, {"Name", "氏名"}}, {"CustomerID", "Name"});
    std::unique_ptr<CMilvaneDoc> doc = OpenDocument(install, true);
    // The company and home information dialogs hold the entry dialog's
    // company and home blocks and the company details.
    std::vector<Field> fields(std::begin(kFields), std::end(kFields));
    for (const Field& f : kFields) {
        const std::string name = f.name;
        if (name.starts_with("会社：") || std::string(f.dialog) == "会社詳細情報")
            fields.push_back({"会社情報の登録", f.name, f.limit, f.digitsOnly});
        if (name.starts_with("自宅："))
            fields.push_back({"自宅情報の登録", f.name, f.limit, f.digitsOnly});
    }
    fields.push_back({"自宅情報の登録", "自宅：生年月日", 0});
    std::map<std::string, std::vector<const Field*>> byDialog;
    for (const Field& f : fields) byDialog[f.dialog].push_back(&f);
    EXPECT_EQ(byDialog.size(), Dialogs().size());
    for (const auto& [dialogName, fields] : byDialog) {
        SCOPED_TRACE(dialogName);
        ASSERT_TRUE(Dialogs().count(dialogName));
        std::unique_ptr<QWidget> dialog = Dialogs().at(dialogName)(install.Path(), *doc);
        dialog->show();
        std::size_t covered = 0;
        for (const Field* f : fields) {
            SCOPED_TRACE(f->name);
            std::vector<QWidget*> entries;
            for (QWidget* w : dialog->findChildren<QWidget*>())
                if (w->accessibleName() == QString::fromUtf8(f->name) && IsTextEntry(w) &&
                    w->isVisibleTo(dialog.get()))
                    entries.push_back(w);
            EXPECT_EQ(entries.size(), 1u);
            if (entries.size() != 1) continue;
            QWidget* w = entries[0];
            ++covered;
            const std::size_t limit = f->limit > 0 ? static_cast<std::size_t>(f->limit) : 300;
            // Single-byte input fills the limit exactly.
            Type(w, QString(static_cast<int>(limit) + 5, QChar('1')));
            EXPECT_EQ(SjisLength(Text(w)), f->limit > 0 ? limit : limit + 5);
            // Two-byte characters stop short of a split one.
            Type(w, QString(static_cast<int>(limit), QChar(0x9234)));  // 鈴
            const std::size_t kanji = SjisLength(Text(w));
            EXPECT_LE(kanji, f->limit > 0 ? limit : 2 * limit);
            if (!f->digitsOnly) {
                EXPECT_GE(kanji + 1, f->limit > 0 ? limit : 2 * limit);
            }
            // A character Shift-JIS cannot hold is dropped and named.
            const std::size_t told = ports.prompt.Texts().size();
            Type(w, QString::fromUtf8("1😀"));
            EXPECT_EQ(Text(w), "1");
            ASSERT_EQ(ports.prompt.Texts().size(), told + 1);
            EXPECT_EQ(ports.prompt.Texts().back(), "「😀」は登録できない文字です。\n別の文字に置き換えてください。");
        }
        // The table lists every text entry the dialog has.
        std::size_t entries = 0;
        for (QWidget* w : dialog->findChildren<QWidget*>())
            if (IsTextEntry(w) && w->isVisibleTo(dialog.get()) && std::none_of(std::begin(kPaths), std::end(kPaths), [w](const char* path) {
                    return w->accessibleName() == QString::fromUtf8(path);
                }))
                ++entries;
        EXPECT_EQ(entries, covered);
    }
}

}  // namespace
