#include "maintenance/HistoryPurge.h"

#include <charconv>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/SafeFile.h"

namespace {

constexpr const char* kNoDocument = "この操作を行うことはできません";

std::string YMD(const std::tm& t) {
    return std::to_string(t.tm_year + 1900) + std::to_string(t.tm_mon + 1) + std::to_string(t.tm_mday);
}

// The whole text as a number; nullopt for anything else.
std::optional<int> Number(const std::string& text) {
    int v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

bool InRange(const std::string& text, int lo, int hi) {
    const auto v = Number(text);
    return v && *v >= lo && *v <= hi;
}

}  // namespace

std::tm LocalToday() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

std::string PurgeBackupFileName(const std::tm& t) { return "顧客" + YMD(t) + ".mlv"; }
std::string OptimiseBackupFileName(const std::tm& t) { return YMD(t) + " の顧客ﾃﾞｰﾀ.mlv"; }

// ------------------------------------------------------------------ dialog 223

CRirekiPurgeDlgLogic::CRirekiPurgeDlgLogic(const std::tm& today)
    : year(std::to_string(today.tm_year + 1900)),
      month(std::to_string(today.tm_mon + 1)),
      day(std::to_string(today.tm_mday)),
      m_today(today) {}

bool CRirekiPurgeDlgLogic::OnOK() {
    focus = FieldFolder;
    if (folder.empty()) {
        ShowMessage("バックアップフォルダ名を指定してください");
        return false;
    }
    switch (ClassifyPath(folder)) {
    case 2: folder = WithoutTrailingSlash(folder); break;
    case 3:
    case 4:
        ShowMessage("ルートディレクトリを指定することはできません。別のフォルダを指定してください。", MsgIcon::Exclamation);
        return false;
    default: break;
    }
    const int made = EnsureFolder(folder, true, true);
    if (made != 1 && made != 2) return false;
    if (FindFileInFolder(folder, "")) {
        ShowMessage("指定されたフォルダにはファイルが存在しています。\nバックアップフォルダには空のフォルダを指定してください。");
        return false;
    }
    const std::string picture = JoinPath(folder, "Picture");
    if (FolderExists(picture)) {
        if (FindFileInFolder(picture, "")) {
            ShowMessage(
                "指定されたフォルダ内のPictureフォルダにファイルが存在しています。\nバックアップフォルダには空のフォルダを指"
                "定してください。");
            return false;
        }
    } else if (const int pic = EnsureFolder(picture, true, false); pic != 1 && pic != 2) {
        return false;
    }
    const struct {
        const std::string& text;
        int lo, hi;
        Field field;
        const char* message;
    } ranges[] = {
        {year, 1800, 9999, FieldYear, "1800年から9999年の間の数字を指定してください"},
        {month, 1, 12, FieldMonth, "1月から12月の間の数字を指定してください"},
        {day, 1, 31, FieldDay, "1日から31日の間の数字を指定してください"},
    };
    for (const auto& r : ranges) {
        if (!InRange(r.text, r.lo, r.hi)) {
            focus = r.field;
            ShowMessage(r.message);
            return false;
        }
    }
    const int y = *Number(year), m = *Number(month), d = *Number(day);
    if (d > DaysInMonth(y, m)) {
        focus = FieldDay;
        ShowMessage("指定した日付の値が不正です。確認してください。");
        return false;
    }
    std::string question =
        "「" + std::to_string(y) + "/" + std::to_string(m) + "/" + std::to_string(d) +
        "」以前の履歴を削除します。\nこの操作は元に戻すことができません。\n\n本当に削除してよろしいですか？";
    return Ports::Prompt().AskYesNo(question, MsgIcon::Information, Answer::No) == Answer::Yes;
}

RirekiPurgeRequest CRirekiPurgeDlgLogic::Result() const {
    RirekiPurgeRequest r;
    r.folder = folder;
    r.pictureFolder = JoinPath(folder, "Picture");
    r.backupFile = JoinPath(folder, PurgeBackupFileName(m_today));
    r.cutOff = CDateTime::FromParts(*Number(year), *Number(month), *Number(day));
    return r;
}

// ------------------------------------------------------------------ dialog 224

void COptimiseDlgLogic::Browse() {
    std::optional<std::string> path =
        Ports::Prompt().ChooseSaveFile("", "Milvaneﾃﾞｰﾀﾍﾞｰｽﾌｧｲﾙ(*.mlv)", OptimiseBackupFileName(m_today));
    if (!path) return;
    const auto slash = path->find_last_of('/');
    if (path->find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) *path += ".mlv";
    name = m_browsed = *path;
}

bool COptimiseDlgLogic::OnOK() {
    IPromptPort& prompt = Ports::Prompt();
    if (name.empty()) {
        ShowMessage("バックアップファイル名を指定してください");
        return false;
    }
    if (!SamePath(name, m_browsed) && FileExists(name) &&
        prompt.AskYesNo("指定したファイル名はすでに存在します。\nこのファイルに上書きしてもよろしいですか？",
                        MsgIcon::Question, Answer::No) != Answer::Yes)
        return false;
    return prompt.AskYesNo("データベースの最適化を行います。処理には時間がかかります。\n開始してよろしいですか？",
                           MsgIcon::Question, Answer::No) == Answer::Yes;
}

// ------------------------------------------------------------------ 32795

bool CRirekiPurge::Run() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return false;
    }
    if (m_doc->IsPastData()) {
        ShowMessage("読取専用です。履歴を削除することはできません。");
        return false;
    }
    if (!runDialog) return false;
    const std::optional<RirekiPurgeRequest> req = runDialog();
    if (!req) return false;

    CMilvaneData& db = m_doc->Database();
    int deleted = -1;
    {
        WaitScope wait(true);
        if (db.SaveMLV(false) != 1) {
            ShowMessage(
                "現在の状態を保存できません。処理を中止します。\nディスクの空き容量が足りない場合は、いったん『Milvane』を終了"
                "して、ディスクの空き容量を増やしてから再度操作してください。");
            return false;
        }
        mfs::CCopyBuffer buffer;
        mfs::FileError err;
        const bool copied = buffer.Ok() && CopyFileReplacing(db.GetMLVFName(), req->backupFile, buffer, err);
        const char* question = nullptr;
        if (!copied)
            question =
                "現在のデータのバックアップができませんでした。\nこのまま履歴の削除を行った場合、履歴データが完全に削除されて"
                "しまい、あとから過去の履歴データを参照することができません。\n\n履歴の削除を行いますか？";
        else if (!CopyPicturesSynced(m_doc->DataDir, req->pictureFolder, buffer).empty())
            question =
                "画像データでバックアップができないものがありました。\nこのまま履歴の削除を行った場合、あとから過去の履歴参照を"
                "するときに画像データが表示できないものがあります。\n\n履歴の削除を行いますか？";
        if (question && Ports::Prompt().AskYesNo(question, MsgIcon::Exclamation, Answer::No) != Answer::Yes) return false;
        deleted = db.DeleteRirekiForDate(req->cutOff);
    }
    if (deleted != 1) {
        ShowMessage("履歴の削除ができませんでした");
        return false;
    }
    std::string where = req->folder;
    if (FileExists(req->backupFile)) where = req->backupFile.substr(0, req->backupFile.find_last_of('/'));
    std::string text =
        "履歴を削除しました。バックアップフォルダは<%s>です。\nデータベースの圧縮を行うには【ツール】－［ﾃﾞｰﾀﾍﾞｰｽの最適化］を"
        "行ってください。";
    text.replace(text.find("%s"), 2, where);
    ShowMessage(text, MsgIcon::Information);
    return true;
}

// ------------------------------------------------------------------ 32796

CDatabaseOptimise::CDatabaseOptimise(CMilvaneDoc* doc) : m_doc(doc) {
    compact = [this](const std::string& file) { return m_doc->Database().CompactDB(file); };
}

int CDatabaseOptimise::Run() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return 0;
    }
    if (m_doc->IsPastData()) {
        ShowMessage("読取専用です。最適化を行うことはできません。");
        return 0;
    }
    if (!runDialog) return 0;
    const std::optional<std::string> file = runDialog();
    if (!file) return 0;
    int result = 0;
    {
        WaitScope wait(true);
        result = compact(*file);
    }
    if (result == 1)
        ShowMessage("最適化が終了しました", MsgIcon::Information);
    else if (result == -1)
        ShowMessage("最適化を行うことができませんでした");
    return result;
}
