#include "maintenance/FolderCopy.h"

#include <algorithm>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "maintenance/StagedReplace.h"

std::vector<std::string> CopyPicturesSynced(const std::string& dataFolder, const std::string& target,
                                            mfs::CCopyBuffer& buffer) {
    std::vector<std::string> failed;
    const std::string from = JoinPath(dataFolder, "Picture");
    for (const std::string& name : mfs::ListFiles(from)) {
        mfs::FileError err;
        if (!mfs::CopyFileSynced(JoinPath(from, name), JoinPath(target, name), buffer, err, true))
            failed.push_back(name);
    }
    mfs::FileError err;
    mfs::SyncFolder(target, err);
    return failed;
}

bool CopyFileReplacing(const std::string& source, const std::string& target, mfs::CCopyBuffer& buffer,
                       mfs::FileError& err) {
    const std::string temp = target + ".tmp";
    if (!mfs::CopyFileSynced(source, temp, buffer, err, true)) return false;
    if (!mfs::RenameFile(temp, target, err)) {
        mfs::FileError ignored;
        mfs::RemoveFile(temp, ignored);
        return false;
    }
    const auto slash = target.find_last_of('/');
    return mfs::SyncFolder(slash == std::string::npos ? "." : target.substr(0, std::max<size_t>(slash, 1)), err);
}

bool LoadCustomersSorted(CMilvaneDoc& doc) {
    if (doc.ReadCustomers() != 0) return true;
    ShowMessage("顧客データの取得に失敗しました。\n顧客データを表示できません。");
    return false;
}

bool RecoverBeforeOpen(const std::string& folder) {
    mfs::FileError err;
    if (RecoverDataFolder(folder, err) >= 0) return true;
    ShowMessage("前回の復元処理を完了できませんでした。\n" + mfs::FileErrorText(err));
    return false;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}
