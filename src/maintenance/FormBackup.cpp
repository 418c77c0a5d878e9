#include "maintenance/FormBackup.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"
#include "maintenance/BackupFile.h"
#include "maintenance/SafeFile.h"

using mfs::CCopyBuffer;
using mfs::CFile;
using mfs::FileError;

namespace {

constexpr const char* kFilter = "MilvaneORGﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ(*.mlvobu)";
constexpr const char* kFormatBad = "このバックアップファイルは形式が不正です。";
constexpr const char* kRestoreFailed = "復元ができませんでした。";
constexpr const char* kNoMemory = "メモリ不足です";
constexpr const char* kTempSuffix = ".mlvtmp";

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> FormBackupPaths(const std::vector<int>& formNumbers) {
    std::vector<std::string> paths = {"\\Data\\MyData\\Original.dat", "\\Data\\Org\\OrgNum.dat"};
    for (int n : formNumbers) paths.push_back("\\Data\\Org\\" + std::to_string(n) + ".org");
    return paths;
}

bool IsFormBackupPath(const std::string& p) {
    if (p == "\\Data\\MyData\\Original.dat" || p == "\\Data\\Org\\OrgNum.dat") return true;
    const std::string prefix = "\\Data\\Org\\", suffix = ".org";
    if (p.size() <= prefix.size() + suffix.size() || p.compare(0, prefix.size(), prefix) != 0 ||
        p.compare(p.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string digits = p.substr(prefix.size(), p.size() - prefix.size() - suffix.size());
    if (digits.size() > 10 || (digits[0] == '0' && digits.size() > 1)) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string FormBackupTarget(const std::string& installDir, const std::string& storedPath) {
    std::string rel = storedPath;
    for (char& c : rel)
        if (c == '\\') c = '/';
    return installDir + rel;
}

bool IsOnRemovableMedia(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) return false;
    std::error_code ec;
    const std::string link =
        "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    std::filesystem::path dev = std::filesystem::canonical(link, ec);
    if (ec) return false;
    if (std::filesystem::exists(dev / "partition", ec)) dev = dev.parent_path();
    std::string flag;
    return ReadWholeFile((dev / "removable").string(), flag) && !flag.empty() && flag[0] == '1';
}

CFormBackup::CFormBackup(CMilvaneDoc* doc, std::string installDir) : m_doc(doc), m_installDir(std::move(installDir)) {}

std::string CFormBackup::StartFolder() const {
    std::string folder = Ports::Profile().GetString("", "OrgBup", "");
    if (folder.empty()) {
        const char* home = std::getenv("HOME");
        folder = home && *home ? home : m_installDir;
    }
    return folder;
}

void CFormBackup::RememberFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (isRemovable(folder)) {
        if (::chdir((m_installDir + "/exe").c_str()) != 0) {
            // The current directory stays; nothing else depends on it.
        }
        return;
    }
    Ports::Profile().WriteString("", "OrgBup", folder);
}

bool CFormBackup::RunBackup(const std::vector<int>& formNumbers) {
    if (!m_doc) {
        ShowMessage("この操作を行うことはできません");
        return false;
    }
    if (formNumbers.empty() || !FileExists(m_installDir + "/Data/MyData/Original.dat")) {
        ShowMessage("オリジナルフォームがありません。");
        return false;
    }
    ShowMessage(
        "オリジナルフォームのバックアップでは、フォームに含まれる画像データのバックアップは行いません。\nフォームに画像が含"
        "まれている場合は、個別にデータを保存しておく必要があります。\n\n次の画面で保存するバックアップファイル名を指定して"
        "ください。",
        MsgIcon::Information);
    std::optional<std::string> chosen = Ports::Prompt().ChooseSaveFile(
        "ｵﾘｼﾞﾅﾙﾌｫｰﾑ情報のﾊﾞｯｸｱｯﾌﾟ", kFilter, JoinPath(StartFolder(), "ｵﾘｼﾞﾅﾙﾌｫｰﾑ情報.mlvobu"));
    if (!chosen) return false;
    std::string path = *chosen;
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.find('.') == std::string::npos) path += ".mlvobu";
    bool ok = false;
    {
        WaitScope wait;
        ok = WriteBackup(path, formNumbers);
    }
    if (ok) ShowMessage("バックアップが正常に終了しました。", MsgIcon::Information);
    else ShowMessage("バックアップができませんでした。");
    RememberFolder(path);
    return ok;
}

bool CFormBackup::WriteBackup(const std::string& path, const std::vector<int>& formNumbers) {
    struct Item {
        std::string stored;
        std::string file;
        uint64_t size;
    };
    std::vector<Item> items;
    const std::string title = Utf8ToSjis(kFormBackupTitle);
    uint64_t total = title.size() + 12;
    for (const std::string& stored : FormBackupPaths(formNumbers)) {
        const std::string file = FormBackupTarget(m_installDir, stored);
        if (!FileExists(file)) continue;
        items.push_back({stored, file, mfs::FileSize(file)});
        total += 8 + Utf8ToSjis(stored).size() + items.back().size;
    }
    CCopyBuffer buffer;
    if (!buffer.Ok()) {
        ShowMessage(kNoMemory);
        return false;
    }
    // Written beside the chosen file and put in its place only when complete.
    const std::string temp = path + kTempSuffix;
    FileError err;
    CFile out;
    bool ok = out.Open(temp, CFile::CreateTruncate, err) && out.Write(title, err) && out.WriteU32(1, err) &&
              out.WriteU32(uint32_t(total), err) && out.WriteU32(uint32_t(items.size()), err);
    for (std::size_t i = 0; ok && i < items.size(); ++i) {
        const std::string stored = Utf8ToSjis(items[i].stored);
        ok = out.WriteU32(uint32_t(stored.size()), err) && out.Write(stored, err);
    }
    bool sourceFailed = false;
    for (std::size_t i = 0; ok && i < items.size(); ++i) {
        CFile in;
        FileError readErr;
        bool sourceShort = false;
        if (!in.Open(items[i].file, CFile::OpenRead, readErr)) {
            ok = false;
            sourceFailed = true;
            break;
        }
        ok = out.WriteU32(uint32_t(items[i].size), err) && out.CopyFrom(in, items[i].size, buffer, err, &sourceShort);
        sourceFailed = !ok && (sourceShort || err.path == in.Path());
    }
    ok = ok && out.Sync(err) && out.Close(err) && mfs::RenameFile(temp, path, err);
    if (!ok) {
        FileError ignored;
        out.Close(ignored);
        mfs::RemoveFile(temp, ignored);
        if (!sourceFailed) {
            if (err.IsDiskFull())
                ShowMessage("ディスクの空き容量が足りないため、バックアップできませんでした。\nバックアップに必要なディスク空"
                            "き容量は " +
                            std::to_string(total) + " バイトです。");
            else
                ShowMessage(mfs::FileErrorText(err));
        }
    }
    return ok;
}

bool CFormBackup::RunRestore() {
    if (!m_doc) {
        ShowMessage("この操作を行うことはできません");
        return false;
    }
    if (Ports::Prompt().AskYesNo(
            "オリジナルフォームの情報をバックアップを取ったときの状態に戻します。バックアップを取ったあとに行った変更や新しく"
            "作成したオリジナルフォームの情報は失われます。\n復元してよろしいですか？\n復元してよい場合は【はい】をクリックし"
            "てバックアップファイルを指定してください。",
            MsgIcon::Question, Answer::No) != Answer::Yes)
        return false;
    std::optional<std::string> chosen =
        Ports::Prompt().ChooseOpenFile("ｵﾘｼﾞﾅﾙﾌｫｰﾑ情報の復元", kFilter, StartFolder());
    if (!chosen) return false;
    bool ok = false;
    {
        WaitScope wait;
        ok = RestoreFrom(*chosen);
    }
    if (ok) ShowMessage("復元が正常に終了しました。", MsgIcon::Information);
    RememberFolder(*chosen);
    return ok;
}

bool CFormBackup::RestoreFrom(const std::string& path) {
    FileError err;
    CFile in;
    if (!in.Open(path, CFile::OpenRead, err)) {
        ShowMessage(kRestoreFailed);
        return false;
    }
    switch (ReadBackupTitle(in, Utf8ToSjis(kFormBackupTitle), err)) {
    case BackupTitle::Ok: break;
    case BackupTitle::Short: ShowMessage(kFormatBad); return false;
    case BackupTitle::Other:
        ShowMessage("このファイルはMilvaneオリジナルフォームのバックアップファイルではありません。");
        return false;
    }
    uint32_t count = 0;
    if (!ReadBackupHeader(in, 100000, count, err)) {
        ShowMessage(kFormatBad);
        return false;
    }
    std::vector<std::string> stored;
    for (uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (!ReadBackupName(in, name, err) || !IsFormBackupPath(name) || std::find(stored.begin(), stored.end(), name) != stored.end()) {
            ShowMessage(kFormatBad);
            return false;
        }
        stored.push_back(name);
    }
    CCopyBuffer buffer;
    if (!buffer.Ok()) {
        ShowMessage(kNoMemory);
        ShowMessage(kRestoreFailed);
        return false;
    }
    std::vector<std::string> temps;
    auto dropTemps = [&temps] {
        FileError ignored;
        for (const std::string& t : temps) mfs::RemoveFile(t, ignored);
    };
    for (const std::string& name : stored) {
        uint32_t size = 0;
        if (!in.ReadU32(size, err)) {
            dropTemps();
            ShowMessage(kFormatBad);
            return false;
        }
        const std::string temp = FormBackupTarget(m_installDir, name) + kTempSuffix;
        CFile out;
        bool sourceShort = false;
        const bool opened = out.Open(temp, CFile::CreateTruncate, err);
        if (opened) temps.push_back(temp);
        if (!opened || !out.CopyFrom(in, size, buffer, err, &sourceShort) || !out.Sync(err) || !out.Close(err)) {
            dropTemps();
            ShowMessage(sourceShort ? kFormatBad : mfs::FileErrorText(err));
            return false;
        }
    }
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (!mfs::RenameFile(temps[i], FormBackupTarget(m_installDir, stored[i]), err)) {
            ShowMessage(mfs::FileErrorText(err));
            return false;
        }
    }
    FileError ignored;
    mfs::SyncFolder(m_installDir + "/Data/MyData", ignored);
    mfs::SyncFolder(m_installDir + "/Data/Org", ignored);
    return true;
}
