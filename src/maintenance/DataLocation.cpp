#include "maintenance/DataLocation.h"

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/SafeFile.h"

namespace {

constexpr const char* kNoDocument = "この操作を行うことはできません";
constexpr const char* kSameFolder = "現在の保存先と同じフォルダが指定されています。\n";
constexpr const char* kRootRefused = "ルートディレクトリを指定することはできません。別のフォルダを指定してください。";
constexpr const char* kSaveFailed =
    "現在のデータを保存できませんでした。処理を中止します。\nディスクの空き容量が足りない場合は、いったん『Milvane』を終"
    "了して、ディスクの空き容量を増やしてから再度操作してください。";
constexpr const char* kSaveFailedNew =
    "現在のデータを保存できませんでした。処理を中止します。ディスクの空き容量が足りない場合は、いったん『Milvane』を終了"
    "して、ディスクの空き容量を増やしてから再度操作してください。";
constexpr const char* kOpenFailed = "データベースを開けませんでした。";

bool FolderHasFile(const std::string& folder) { return FindFileInFolder(folder, ""); }

}  // namespace

// ------------------------------------------------------------------ dialog 228

bool CDataLocationDlgLogic::OnOK() {
    IPromptPort& prompt = Ports::Prompt();
    if (folder.empty()) {
        ShowMessage("変更先のフォルダ名を指定してください");
        return false;
    }
    if (SamePath(folder, m_current)) {
        if (choice != kLocationSwitch) {
            ShowMessage(std::string(kSameFolder) + "ファイルのコピーを行うことはできません。");
            return false;
        }
        if (prompt.AskYesNo(std::string(kSameFolder) + "処理を続けてよろしいですか？", MsgIcon::Question,
                            Answer::No) != Answer::Yes)
            return false;
    }
    switch (ClassifyPath(folder)) {
    case 2: folder = WithoutTrailingSlash(folder); break;
    case 3:
    case 4: ShowMessage(kRootRefused, MsgIcon::Exclamation); return false;
    default: break;
    }
    // datadir.dat must lead back to this folder.
    if (!SjisPathLeadsBack(folder)) {
        ShowMessage(kSjisNameClash);
        return false;
    }
    if (!FolderExists(folder)) {
        if (choice == kLocationSwitch) {
            ShowMessage("指定されたフォルダが存在しません。\nフォルダ名が正しいか確認してください。");
            return false;
        }
        const int made = EnsureFolder(folder, true, true);
        if (made != 1 && made != 2) return false;
    }
    if (choice != kLocationSwitch) {
        if (FolderHasFile(folder)) {
            ShowMessage(
                "指定されたフォルダにはファイルが存在しています。\nコピー先のフォルダには空のフォルダを指定してください。");
            return false;
        }
        const std::string picture = JoinPath(folder, "Picture");
        if (FolderExists(picture)) {
            if (FolderHasFile(picture)) {
                ShowMessage(
                    "指定されたフォルダ内のPictureフォルダにファイルが存在しています。\nコピー先のフォルダには空のフォルダを"
                    "指定してください。");
                return false;
            }
        } else {
            const int made = EnsureFolder(picture, true, false);
            if (made != 1 && made != 2) return false;
        }
    } else if (!FileExists(JoinPath(folder, kDatabaseFileName)) || !FileExists(JoinPath(folder, "MLVColSet.sys"))) {
        ShowMessage(
            "指定されたフォルダに『Milvane』のデータベースファイルが存在しないため、保存先の変更はできません\nフォルダ名が正"
            "しいか確認してください。");
        return false;
    }
    return true;
}

DataLocationRequest CDataLocationDlgLogic::Result() const {
    return {choice, folder, JoinPath(folder, "Picture")};
}

// ------------------------------------------------------------------ 32788

bool CDataLocation::RunChangeLocation() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return false;
    }
    const bool past = m_doc->IsPastData();
    if (past) {
        if (Ports::Prompt().AskYesNo(
                "この操作は「現在のデータ」のファイルの保存先を変更するものです。過去のデータを参照している場合、そのデータ"
                "ファイルの保存先を変更することはありません。\n操作を続けますか？",
                MsgIcon::Question, Answer::No) != Answer::Yes)
            return false;
    } else {
        ShowMessage("データベースの保存場所を変更します。\nこの設定を行った後は、新しい保存場所のデータを使用します。\n",
                    MsgIcon::Information);
    }
    if (!runDialog) return false;
    const std::optional<DataLocationRequest> req = runDialog(m_doc->DataDir);
    if (!req) return false;

    WaitScope wait;
    CMilvaneData& db = m_doc->Database();
    if (req->choice == kLocationSwitch && !past && FileExists(JoinPath(req->folder, kWorkFileName))) {
        ShowMessage(
            "指定した保存先のデータファイルは他のユーザーに使用されています。\n保存先の設定を変更することはできません。",
            MsgIcon::Exclamation);
        return false;
    }
    if (!past && db.SaveMLV(true) == -1) {
        ShowMessage(req->choice == kLocationNew ? kSaveFailedNew : kSaveFailed);
        return false;
    }
    // From here a failure leaves the current database closed; datadir.dat
    // still names the current folder, so the next start uses it.
    if (req->choice != kLocationSwitch && !CopyDataSet(*req)) return false;

    const std::string oldDir = m_doc->DataDir;
    m_doc->DataDir = req->folder;
    if (!m_doc->WriteDataDir()) {
        ShowMessage("設定を変更できませんでした");
        m_doc->DataDir = oldDir;
        // The previous data was closed above: open it again so that the
        // program goes on with the data datadir.dat still names.
        if (!past) {
            m_doc->ClearData();
            if (RecoverBeforeOpen(oldDir) && db.InitDB(oldDir) == 1)
                LoadCustomersSorted(*m_doc);
            else
                ShowMessage(kOpenFailed);
        }
        return false;
    }
    if (past) return true;  // the new folder is opened on the return to current data

    m_doc->ClearData();
    const int opened = RecoverBeforeOpen(m_doc->DataDir) ? db.InitDB(m_doc->DataDir) : -1;
    if (opened == 0) {
        ShowMessage(
            "新しいフォルダのデータベースをOPENできませんでした。\n他のユーザーがファイルを使用している可能性があります。\n\n"
            "このまま『Milvane』を使用することはできません。\nいったんアプリケーションを終了し、データベースが使用可能になっ"
            "てから『Milvane』を起動してください。");
    } else if (opened != 1) {
        ShowMessage(kOpenFailed);
    } else if (LoadCustomersSorted(*m_doc)) {
        ShowMessage("データ保存先を変更し、新しい保存先のデータを読み込みました。", MsgIcon::Information);
    }
    return true;
}

bool CDataLocation::CopyDataSet(const DataLocationRequest& req) {
    mfs::CCopyBuffer buffer;
    if (!buffer.Ok()) {
        ShowMessage(mfs::kNoMemoryMessage);
        return false;
    }
    const std::string templateDb = JoinPath(m_doc->InstallDir(), "Data/Org/" + std::string(kDatabaseFileName));
    for (const std::string& name : GetDataSetFiles()) {
        std::string source = JoinPath(m_doc->DataDir, name);
        if (req.choice == kLocationNew && name == kDatabaseFileName) source = templateDb;
        if (!FileExists(source)) continue;
        mfs::FileError err;
        if (!mfs::CopyFileSynced(source, JoinPath(req.folder, name), buffer, err, true)) {
            std::string text = "ファイル<%s>のコピーができませんでした。処理を中止します。";
            text.replace(text.find("%s"), 2, name);
            ShowMessage(text);
            return false;
        }
    }
    mfs::FileError err;
    mfs::SyncFolder(req.folder, err);
    if (req.choice == kLocationCopy && !CopyPicturesSynced(m_doc->DataDir, req.pictureFolder, buffer).empty() &&
        Ports::Prompt().AskYesNo("画像データでコピーできないものがありました。\nこのまま処理を続行しますか？",
                                 MsgIcon::Exclamation, Answer::No) != Answer::Yes)
        return false;
    return true;
}

// ------------------------------------------------------------------ 32797

bool CDataLocation::RunPastData() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return false;
    }
    IPromptPort& prompt = Ports::Prompt();
    if (prompt.AskYesNo(
            "現在使用しているデータベースを閉じて、過去のデータを閲覧します。過去のデータを変更することはできません。\nなお"
            "、データ以外の設定などは現時点のものです。過去のデータ保存時から設定を変更している場合は、その部分を考慮して閲覧"
            "してください。\n\n過去のデータを閲覧しますか？",
            MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    std::optional<std::string> chosen = prompt.ChooseFolder("データを保存したフォルダを選択して下さい", "");
    if (!chosen) return false;
    const std::string folder = WithoutTrailingSlash(*chosen);
    std::string dbFile;
    if (!FindFileInFolder(folder, "mlv", &dbFile)) {
        ShowMessage("指定されたフォルダにはデータファイルがありません。");
        return false;
    }
    if (FindFileInFolder(folder, "mlv2")) {
        ShowMessage("指定されたフォルダ内のデータベースが開かれています。\n参照することはできません。");
        return false;
    }
    WaitScope wait;
    CMilvaneData& db = m_doc->Database();
    if (db.SaveMLV(true) == -1) {
        ShowMessage(
            "現在のデータの保存ができませんでした。\n過去のデータ参照はできません。\nディスクの空き容量が足りない場合は、いっ"
            "たん『Milvane』を終了して、ディスクの空き容量を増やしてから再度操作してください。");
        return false;
    }
    m_doc->ClearData();
    m_doc->PastDataMode = 1;
    m_doc->PictureDir = JoinPath(folder, "Picture");
    if (RecoverBeforeOpen(folder) && db.InitDBFromPath(dbFile, true) == 1) {
        if (LoadCustomersSorted(*m_doc)) ShowMessage("指定されたフォルダ内のデータベースを開きました", MsgIcon::Information);
    } else {
        ShowMessage(
            "指定されたフォルダ内のデータベースを開けませんでした。\n\n過去のデータ参照を行う場合はフォルダを指定しなおしてく"
            "ださい。\n\n現在のデータで作業をはじめる場合は【ツール】－［現在のﾃﾞｰﾀに戻す］で現在のデータを開いてください。");
    }
    return true;
}

// ------------------------------------------------------------------ 32798

bool CDataLocation::RunBackToCurrent() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return false;
    }
    if (!m_doc->IsPastData()) {
        ShowMessage("今使用しているデータベースが現在のものです", MsgIcon::Information);
        return false;
    }
    if (FileExists(JoinPath(m_doc->DataDir, kWorkFileName))) {
        ShowMessage(
            "他のユーザーがデータファイルを使用しています。現在のデータに戻すには他のユーザーがデータファイルの使用を終了す"
            "る必要があります。\n\nこのまま過去のデータの閲覧を続行します。");
        return false;
    }
    if (Ports::Prompt().AskYesNo("過去のデータの閲覧を終了し、現在のデータベースを開きます。\nよろしいですか？",
                                 MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    WaitScope wait;
    CMilvaneData& db = m_doc->Database();
    db.SaveMLV(true);
    m_doc->ClearData();
    const int opened = RecoverBeforeOpen(m_doc->DataDir) ? db.InitDB(m_doc->DataDir) : -1;
    if (opened == 0) {
        ShowMessage(
            "データベースをOPENできませんでした。\n他のユーザーがファイルを使用している可能性があります。\n\nこのまま『Milvan"
            "e』を使用することはできません。\n\nアプリケーションを終了するか、データベースが使用可能になってから【ツール】－［"
            "現在のﾃﾞｰﾀに戻す］を行ってください。");
        return false;
    }
    m_doc->PastDataMode = 0;
    if (opened != 1) {
        ShowMessage(kOpenFailed);
        return true;
    }
    m_doc->PictureDir.clear();
    if (LoadCustomersSorted(*m_doc)) ShowMessage("現在のデータを開きました", MsgIcon::Information);
    return true;
}
