#include "maintenance/DataBackup.h"

#include <algorithm>
#include <cerrno>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"
#include "maintenance/BackupFile.h"
#include "maintenance/DataSnapshot.h"
#include "maintenance/StagedReplace.h"

using mfs::CCopyBuffer;
using mfs::CFile;
using mfs::FileError;

namespace {

constexpr const char* kNoDocument = "この操作を行うことはできません";
constexpr const char* kReadFailed = "バックアップ対象ファイルの読み込みに失敗しました。";
constexpr const char* kBackupFailed = "バックアップができませんでした。";
constexpr const char* kFormatBad = "バックアップファイルの形式が不正です。";
constexpr const char* kPictureFormatBad = "画像バックアップファイルの形式が不正です。";
constexpr const char* kPictureNameClash =
    "画像ファイル <%s> は、同じ名前で記録される別の画像ファイルがあるため、バックアップできません。";
constexpr const char* kSaveFailedStop =
    "現状(復元前)の状態を保存できませんでした。処理を中止します。\nディスクの空き容量が足りない場合は、いったん『Milvane』"
    "を終了して、ディスクの空き容量を増やしてから再度操作してください。";
constexpr const char* kSnapshotFailed =
    "現状(復元前)の状態を保存できませんでした。\n処理を中止します。ディスクの空き容量が足りない場合は、いったん『Milvane』"
    "を終了して、ディスクの空き容量を増やしてから再度操作してください。";

std::string Format1(const char* format, const std::string& value) {
    std::string out = format;
    auto pos = out.find("%s");
    if (pos == std::string::npos) pos = out.find("%d");
    if (pos != std::string::npos) out.replace(pos, 2, value);
    return out;
}

std::string Sjis(const std::string& utf8) { return Utf8ToSjis(utf8); }

// Reads and drops n bytes (a file that could not be created).
bool Skip(CFile& in, uint64_t n, CCopyBuffer& buffer, FileError& err) {
    while (n > 0) {
        long long r = in.Read(buffer.Data(), std::size_t(std::min<uint64_t>(n, buffer.Size())), err);
        if (r <= 0) return false;
        n -= uint64_t(r);
    }
    return true;
}

// The message for a failed write: the disk message for a full disk, else the file error.
void ShowWriteError(const FileError& err, const std::string& diskFullText) {
    ShowMessage(err.IsDiskFull() && !diskFullText.empty() ? diskFullText : mfs::FileErrorText(err));
}

// The staged database must be there and sound before it may replace the
// current one: a damaged backup never costs the data it would replace.
bool StagedDatabaseSound(const CStagedReplace& stage, const std::vector<std::string>& restored) {
    return std::find(restored.begin(), restored.end(), kDatabaseFileName) != restored.end() &&
           VerifyMilvaneDatabaseFile(stage.StagedFile(kDatabaseFileName));
}

}  // namespace

std::string BackupBaseName(const std::tm& t) {
    return "顧客_" + std::to_string(t.tm_year + 1900) + std::to_string(t.tm_mon + 1) + std::to_string(t.tm_mday) +
           std::to_string(t.tm_hour) + std::to_string(t.tm_min) + std::to_string(t.tm_sec);
}

std::vector<std::vector<std::size_t>> GroupPictures(const std::vector<BackupItem>& pictures, uint64_t limit) {
    std::vector<std::vector<std::size_t>> groups;
    const uint64_t start = Sjis(kPictureBackupTitle).size() + 4;
    uint64_t running = start;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const uint64_t add = Sjis(pictures[i].name).size() + pictures[i].size + 8;
        if (groups.empty() || (running + add > limit && !groups.back().empty())) {
            groups.emplace_back();
            running = start;
        }
        groups.back().push_back(i);
        running += add;
    }
    return groups;
}

CDataBackup::CDataBackup(CMilvaneDoc* doc) : m_doc(doc) {
    chooseFolderName = [](const std::string&, const std::string& prompt, const std::string& start) {
        return Ports::Prompt().ChooseFolder(prompt, start);
    };
    clock = [] {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        return t;
    };
}

// ------------------------------------------------------------------ backup

bool CDataBackup::RunBackup() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return false;
    }
    const std::string baseName = BackupBaseName(clock());
    int saved = 0;
    {
        WaitScope wait;
        saved = m_doc->Database().SaveMLV(false);
    }
    if (saved != 1) {
        ShowMessage(
            "データの保存ができませんでした。処理を中止します。\nディスクの空き容量が足りない場合は、いったん『Milvane』を終了"
            "して、ディスクの空き容量を増やしてから再度操作してください。");
        return false;
    }
    ShowMessage(
        "『Milvane』データのバックアップを行います。\n次の画面でバックアップファイルを保存するフォルダを指定してください。\n\n！！ "
        "バックアップ後にフォルダ内のファイル構成を変更すると正しく復元できません。\nフォルダ内のファイル構成は絶対に変更しないでく"
        "ださい。！！",
        MsgIcon::Information);
    std::optional<std::string> folder = AskBackupFolder();
    if (!folder) return false;

    bool any = false;
    for (const std::string& f : GetDataSetFiles())
        any = any || mfs::FileSize(JoinPath(m_doc->DataDir, f)) > 0;
    if (!any) {
        ShowMessage("バックアップ対象のファイルが見つかりませんでした。\n処理を中止します。");
        return false;
    }
    bool ok = false;
    {
        WaitScope wait(true);
        ok = WriteBackup(*folder, baseName);
    }
    if (ok)
        ShowMessage(Format1("バックアップが終了しました。\nバックアップファイルを保存したフォルダは <%s> です。", *folder),
                    MsgIcon::Information);
    else
        ShowMessage(kBackupFailed);
    return ok;
}

std::optional<std::string> CDataBackup::AskBackupFolder() {
    std::string start;
    for (;;) {
        std::optional<std::string> chosen = chooseFolderName(
            "データのバックアップフォルダを指定", "新しいフォルダ名、または既存の空のフォルダを指定してください", start);
        if (!chosen) return std::nullopt;
        std::string folder = *chosen;
        if (folder.empty()) continue;
        // "/" is a drive root and stays; a one-character name is a plain folder.
        if (ClassifyPath(folder) == 2) folder.pop_back();
        start = folder;
        if (folder != "/" && !FolderExists(folder)) {
            int made = EnsureFolder(folder, true, true);
            if (made != 1 && made != 2) continue;
        }
        if (FindFileInFolder(folder, "")) {
            ShowMessage(
                "指定されたフォルダにはファイルが存在しています。\nバックアップフォルダには空のフォルダを指定してください。");
            continue;
        }
        return folder;
    }
}

bool CDataBackup::WriteBackup(const std::string& folder, const std::string& baseName) {
    struct Item {
        std::string name;
        uint64_t size;
    };
    std::vector<Item> items;
    for (const std::string& f : GetDataSetFiles()) {
        const uint64_t size = mfs::FileSize(JoinPath(m_doc->DataDir, f));
        if (size > 0) items.push_back({f, size});
    }
    const std::string title = Sjis(kDataBackupTitle);
    uint64_t total = title.size() + 12 + 4;
    for (const Item& it : items) total += 8 + Sjis(it.name).size() + it.size;
    const std::string diskFull =
        "ディスクの空き容量が足りないため、データベースファイルのバックアップができませんでした。\nデータベースファイルの"
        "バックアップに必要なディスク容量はおよそ " +
        std::to_string(total) + " バイトです。\n\n画像データを登録している場合はさらに空き容量が必要です。";

    CCopyBuffer buffer;
    if (!buffer.Ok()) {
        ShowMessage(mfs::kNoMemoryMessage);
        return false;
    }
    FileError err;
    CFile out;
    if (total > UINT32_MAX) {
        err.Set(EFBIG, JoinPath(folder, baseName + ".mlvdbu"));
        ShowWriteError(err, "");
        return false;
    }
    bool ok = out.Open(JoinPath(folder, baseName + ".mlvdbu"), CFile::CreateExclusive, err) &&
              out.Write(title, err) && out.WriteU32(1, err) && out.WriteU32(uint32_t(total), err) &&
              out.WriteU32(uint32_t(items.size()), err);
    for (std::size_t i = 0; ok && i < items.size(); ++i) {
        const std::string name = Sjis(items[i].name);
        ok = out.WriteU32(uint32_t(name.size()), err) && out.Write(name, err);
    }
    for (std::size_t i = 0; ok && i < items.size(); ++i) {
        CFile in;
        FileError readErr;
        if (!in.Open(JoinPath(m_doc->DataDir, items[i].name), CFile::OpenRead, readErr)) {
            ShowMessage(kReadFailed);
            return false;
        }
        bool sourceShort = false;
        ok = out.WriteU32(uint32_t(items[i].size), err) && out.CopyFrom(in, items[i].size, buffer, err, &sourceShort);
        if (!ok && (sourceShort || err.path == in.Path())) {
            ShowMessage(kReadFailed);
            return false;
        }
    }
    if (!ok) {
        ShowWriteError(err, diskFull);
        return false;
    }
    int pictureFiles = WritePictureBackup(folder, baseName, buffer);
    if (pictureFiles < 0) {
        ShowMessage(
            "画像データのバックアップができませんでした。\nデータのバックアップはできましたが、このデータを復元すると画像デー"
            "タの不整合が起こります。\n");
        pictureFiles = 0;
    }
    if (!out.WriteU32(uint32_t(pictureFiles), err) || !out.Sync(err) || !out.Close(err)) {
        ShowWriteError(err, diskFull);
        return false;
    }
    return true;
}

int CDataBackup::WritePictureBackup(const std::string& folder, const std::string& baseName, CCopyBuffer& buffer) {
    const std::string pictureDir = JoinPath(m_doc->DataDir, "Picture");
    std::vector<BackupItem> pictures;
    const std::vector<std::string> names = mfs::ListFiles(pictureDir);
    // Two pictures written as the same Shift-JIS name would come back as one.
    if (const std::optional<std::string> clash = SjisDuplicateName(names)) {
        ShowMessage(Format1(kPictureNameClash, *clash));
        return -1;
    }
    for (const std::string& p : names) pictures.push_back({p, mfs::FileSize(JoinPath(pictureDir, p))});
    const auto groups = GroupPictures(pictures, pictureLimit);
    const std::string title = Sjis(kPictureBackupTitle);
    for (std::size_t k = 0; k < groups.size(); ++k) {
        FileError err;
        CFile out;
        bool ok = out.Open(JoinPath(folder, baseName + "_" + std::to_string(k + 1) + ".mlvpbu"), CFile::CreateExclusive,
                           err) &&
                  out.Write(title, err) && out.WriteU32(uint32_t(groups[k].size()), err);
        for (std::size_t i = 0; ok && i < groups[k].size(); ++i) {
            const BackupItem& pic = pictures[groups[k][i]];
            CFile in;
            FileError readErr;
            if (!in.Open(JoinPath(pictureDir, pic.name), CFile::OpenRead, readErr)) {
                ShowMessage(kReadFailed);
                return -1;
            }
            const std::string name = Sjis(pic.name);
            bool sourceShort = false;
            ok = out.WriteU32(uint32_t(name.size()), err) && out.Write(name, err) &&
                 out.WriteU32(uint32_t(pic.size), err) && out.CopyFrom(in, pic.size, buffer, err, &sourceShort);
            if (!ok && (sourceShort || err.path == in.Path())) {
                ShowMessage(kReadFailed);
                return -1;
            }
        }
        ok = ok && out.Sync(err) && out.Close(err);
        if (!ok) {
            ShowWriteError(err, "ディスクの空き容量が足りないため、バックアップできませんでした。");
            return -1;
        }
    }
    return int(groups.size());
}

// ------------------------------------------------------------------ restore

bool CDataBackup::RunRestore() {
    if (!ConfirmRestore()) return false;
    std::optional<std::string> folder =
        Ports::Prompt().ChooseFolder("バックアップファイルを保存したフォルダを選択して下さい", "");
    if (!folder) return false;
    std::string dir = *folder;
    if (ClassifyPath(dir) == 2) dir.pop_back();
    std::string backupPath;
    if (!FindFileInFolder(dir, "mlvdbu", &backupPath)) {
        ShowMessage("指定されたフォルダにはバックアップファイルがありません。");
        return false;
    }
    return SaveAndRestore(backupPath);
}

bool CDataBackup::RunRestore(const std::string& backupPath) {
    return ConfirmRestore() && SaveAndRestore(backupPath);
}

bool CDataBackup::ConfirmRestore() {
    if (!m_doc) {
        ShowMessage(kNoDocument);
        return false;
    }
    if (m_doc->IsPastData()) {
        ShowMessage("この操作は現在のデータを使用中にのみ行うことができます。");
        return false;
    }
    return Ports::Prompt().AskYesNo(
            "『Milvane』のデータをバックアップを取ったときの状態に戻します。現在のデータは消失するため、バックアップを取ったあとに"
            "行った変更や新しく追加した情報はすべて失われます。\n必要であれば現状のバックアップを取ってから復元操作をしてください"
            "。\n本当に復元してよろしいですか？\n\n復元してよい場合は【はい】をクリックしてバックアップファイルを保存したフォルダ"
            "を指定してください。",
            MsgIcon::Question, Answer::No) == Answer::Yes;
}

bool CDataBackup::SaveAndRestore(const std::string& backupPath) {
    int saved = 0;
    {
        WaitScope wait;
        saved = m_doc->Database().SaveMLV(true);
    }
    if (saved == -1) {
        ShowMessage(kSaveFailedStop);
        return false;
    }
    return RestoreFrom(backupPath);
}

bool CDataBackup::RestoreFrom(const std::string& backupPath) {
    const std::string& dataDir = m_doc->DataDir;
    CCopyBuffer buffer;
    if (!buffer.Ok()) {
        ShowMessage(mfs::kNoMemoryMessage);
        OpenDatabaseAgain();
        ShowMessage("復元ができませんでした。");
        return false;
    }
    CDataSnapshot snapshot(dataDir);
    CStagedReplace stage(dataDir);
    {
        WaitScope wait;
        FileError err;
        const std::string name = CDataSnapshot::ChooseName(dataDir);
        if (!stage.Begin(name, err) || !snapshot.Take(name, buffer, err)) {
            FileError ignored;
            stage.Abandon(ignored);
            ShowMessage(kSnapshotFailed);
            return false;
        }
    }
    m_doc->ClearData();

    bool ok = false;
    {
        WaitScope wait(true);
        std::vector<std::string> restored;
        Outcome outcome = RestoreIntoStage(backupPath, stage, restored, buffer);
        FileError err;
        if (outcome == Outcome::Ok && !StagedDatabaseSound(stage, restored)) {
            ShowMessage(kFormatBad);
            outcome = Outcome::RolledBack;
        }
        if (outcome == Outcome::Ok) {
            std::vector<std::string> remove;
            for (const std::string& f : GetDataSetFiles())
                if (std::find(restored.begin(), restored.end(), f) == restored.end()) remove.push_back(f);
            for (const std::string& f : DatabaseSideFiles()) remove.push_back(f);
            ok = stage.Commit(remove, err);
            if (!ok && stage.Committed()) {
                // The new data has won: finish it, or leave it for the next start.
                FileError again;
                ok = RecoverDataFolder(dataDir, again) == 1;
                if (!ok) {
                    ShowMessage(Format1("復元前の状態に戻すのに失敗しました。データファイルの状態が不正です。\n『Milvane』を終了"
                                        "し、ディスク容量が足りない場合は空き容量を確保してください。\n その後、<%s> に保存"
                                        "されている復元前のデータを元に戻して『Milvane』を起動し、再度復元操作を行ってくださ"
                                        "い。",
                                        snapshot.Folder()),
                                MsgIcon::Stop);
                    return false;
                }
            }
        }
        if (!ok && outcome == Outcome::Ok) ShowMessage(mfs::FileErrorText(err));  // the commit marker failed
        if (!ok) {
            // Roll back: the data folder was never touched.
            FileError ignored;
            stage.Abandon(ignored);
            snapshot.Discard(ignored);
        }
        OpenDatabaseAgain();
    }
    if (ok) ShowMessage("データの復元は終了しました。", MsgIcon::Information);
    else ShowMessage("復元ができませんでした。");
    return ok;
}

CDataBackup::Outcome CDataBackup::RestoreIntoStage(const std::string& backupPath, CStagedReplace& stage,
                                                   std::vector<std::string>& restoredNames, CCopyBuffer& buffer) {
    FileError err;
    CFile in;
    if (!in.Open(backupPath, CFile::OpenRead, err)) return Outcome::RolledBack;
    switch (ReadBackupTitle(in, Sjis(kDataBackupTitle), err)) {
    case BackupTitle::Ok: break;
    case BackupTitle::Short: ShowMessage(kFormatBad); return Outcome::RolledBack;
    case BackupTitle::Other:
        ShowMessage("このフォルダに存在するファイルはMilvaneデータのバックアップファイルではありません。");
        return Outcome::RolledBack;
    }
    uint32_t count = 0;
    if (!ReadBackupHeader(in, uint32_t(GetDataSetFiles().size()), count, err)) {
        ShowMessage(kFormatBad);
        return Outcome::RolledBack;
    }
    // Every name must be a data-set file, each at most once; checked before anything is written.
    std::vector<std::string> names;
    for (uint32_t i = 0; i < count; ++i) {
        std::string name;
        const auto& set = GetDataSetFiles();
        if (!ReadBackupName(in, name, err) || std::find(set.begin(), set.end(), name) == set.end() ||
            std::find(names.begin(), names.end(), name) != names.end()) {
            ShowMessage(kFormatBad);
            return Outcome::RolledBack;
        }
        names.push_back(name);
    }
    bool anyFailed = false;
    for (const std::string& name : names) {
        uint32_t size = 0;
        if (!in.ReadU32(size, err)) {
            ShowMessage(kFormatBad);
            return Outcome::RolledBack;
        }
        CFile out;
        FileError createErr;
        if (!out.Open(stage.StagedFile(name), CFile::CreateExclusive, createErr)) {
            anyFailed = true;
            if (!Skip(in, size, buffer, err)) {
                ShowMessage(kFormatBad);
                return Outcome::RolledBack;
            }
            continue;
        }
        bool sourceShort = false;
        if (!out.CopyFrom(in, size, buffer, err, &sourceShort) || !out.Sync(err) || !out.Close(err)) {
            ShowMessage(sourceShort ? kFormatBad : mfs::FileErrorText(err));
            return Outcome::RolledBack;
        }
        restoredNames.push_back(name);
    }
    uint32_t pictureFiles = 0;
    if (!in.ReadU32(pictureFiles, err)) {
        ShowMessage(kFormatBad);
        return Outcome::RolledBack;
    }
    in.Close(err);
    if (anyFailed) {
        ShowMessage("いくつかのファイルの復元ができなかったため、復元前の状態に戻します。");
        return Outcome::RolledBack;
    }
    if (pictureFiles >= 1) {
        std::string folder = backupPath.substr(0, backupPath.rfind('/'));
        std::string file = backupPath.substr(backupPath.rfind('/') + 1);
        const std::string base = file.substr(0, file.rfind('.'));
        if (!RestorePictures(folder, base, pictureFiles, stage, buffer)) {
            ShowMessage("画像データの復元ができなかったため、復元前の状態に戻します。");
            return Outcome::RolledBack;
        }
    }
    return Outcome::Ok;
}

bool CDataBackup::RestorePictures(const std::string& folder, const std::string& baseName, uint32_t count,
                                  CStagedReplace& stage, CCopyBuffer& buffer) {
    const std::string title = Sjis(kPictureBackupTitle);
    for (uint32_t k = 1; k <= count; ++k) {
        const std::string path = JoinPath(folder, baseName + "_" + std::to_string(k) + ".mlvpbu");
        if (!FileExists(path)) {
            ShowMessage("画像データのバックアップファイルが見つかりません。");
            return false;
        }
        FileError err;
        CFile in;
        if (!in.Open(path, CFile::OpenRead, err)) {
            ShowMessage("画像データのバックアップファイルを開けません。");
            return false;
        }
        switch (ReadBackupTitle(in, title, err)) {
        case BackupTitle::Ok: break;
        case BackupTitle::Short: ShowMessage(kPictureFormatBad); return false;
        case BackupTitle::Other:
            ShowMessage("このフォルダに存在するファイルはMilvane画像データのバックアップファイルではありません。");
            return false;
        }
        uint32_t pictures = 0;
        if (!in.ReadU32(pictures, err)) {
            ShowMessage(kPictureFormatBad);
            return false;
        }
        for (uint32_t i = 0; i < pictures; ++i) {
            std::string name;
            uint32_t size = 0;
            if (!ReadBackupName(in, name, err) || !mfs::IsBareName(name) || !in.ReadU32(size, err)) {
                ShowMessage(kPictureFormatBad);
                return false;
            }
            CFile out;
            FileError createErr;
            // A later copy of the same name replaces the earlier one, as writing in place would.
            FileError ignored;
            mfs::RemoveFile(stage.StagedPicture(name), ignored);
            if (!out.Open(stage.StagedPicture(name), CFile::CreateExclusive, createErr)) {
                if (!Skip(in, size, buffer, err)) {
                    ShowMessage(kPictureFormatBad);
                    return false;
                }
                continue;
            }
            bool sourceShort = false;
            if (!out.CopyFrom(in, size, buffer, err, &sourceShort) || !out.Sync(err) || !out.Close(err)) {
                if (sourceShort) ShowMessage(kPictureFormatBad);
                else
                    ShowWriteError(err, "ディスクの空き容量が足りないため、画像データの復元ができませんでした。\n空き容量を充"
                                        "分に確保してから再度復元を試みてください。");
                return false;
            }
        }
    }
    return true;
}

void CDataBackup::OpenDatabaseAgain() {
    CMilvaneData& db = m_doc->Database();
    if (db.InitDB(m_doc->DataDir) == 1) {
        if (m_doc->ReadCustomers() == 0) ShowMessage("顧客データの取得に失敗しました。\n顧客データを表示できません。");
    } else {
        ShowMessage(
            "復元後のデータベースを開くことができません。\nディスク容量が足りない場合は、『Milvane』を終了して空き容量を確保して"
            "から再度『Milvane』を起動してください。");
    }
}
