#include "maintenance/StagedReplace.h"

#include <cerrno>

#include "common/Archive.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "common/SjisText.h"

using mfs::FileError;

namespace {

constexpr const char* kPictureFolder = "Picture";
constexpr const char* kMarkerTemp = "Commit.tmp";

// Names, one a line, Shift-JIS.
std::string JoinLines(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += Utf8ToSjis(n) + "\n";
    return out;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        if (end > start) out.push_back(SjisToUtf8(bytes.substr(start, end - start)));
        start = end + 1;
    }
    return out;
}

bool WriteSynced(const std::string& path, const std::string& bytes, FileError& err) {
    mfs::CFile f;
    return f.Open(path, mfs::CFile::CreateTruncate, err) && f.Write(bytes, err) && f.Sync(err) && f.Close(err);
}

// The snapshot folder named in the note, or "" (also for a name that is not
// a plain folder name of the data folder).
std::string NotedSnapshot(const std::string& staging) {
    std::string bytes;
    if (!ReadWholeFile(JoinPath(staging, kSnapshotNoteName), bytes)) return {};
    std::vector<std::string> lines = SplitLines(bytes);
    if (lines.size() != 1 || !mfs::IsBareName(lines[0]) || lines[0] == kPictureFolder ||
        lines[0] == kStagingFolderName)
        return {};
    return lines[0];
}

bool RemoveSnapshotAndStage(const std::string& dataDir, const std::string& staging, FileError& err) {
    const std::string snapshot = NotedSnapshot(staging);
    if (!snapshot.empty() && !mfs::RemoveTree(JoinPath(dataDir, snapshot), err)) return false;
    const std::string marker = JoinPath(staging, kCommitMarkerName);
    if (!mfs::RemoveFile(marker, err) || !mfs::SyncFolder(staging, err)) return false;
    return mfs::RemoveTree(staging, err) && mfs::SyncFolder(dataDir, err);
}

// Step after the marker: delete, move in, sync, clean up. Safe to repeat.
bool Finish(const std::string& dataDir, const std::string& staging, FileError& err) {
    std::string bytes;
    if (!ReadWholeFile(JoinPath(staging, kCommitMarkerName), bytes)) {
        err.Set(EIO, JoinPath(staging, kCommitMarkerName));
        return false;
    }
    for (const std::string& name : SplitLines(bytes)) {
        if (!mfs::IsBareName(name) || name == kPictureFolder || name == kStagingFolderName) continue;
        if (!mfs::RemoveFile(JoinPath(dataDir, name), err)) return false;
    }
    for (const std::string& name : mfs::ListFiles(staging)) {
        if (name == kCommitMarkerName || name == kSnapshotNoteName || name == kMarkerTemp) continue;
        if (!mfs::RenameFile(JoinPath(staging, name), JoinPath(dataDir, name), err)) return false;
    }
    const std::string stagedPictures = JoinPath(staging, kPictureFolder);
    const std::string pictures = JoinPath(dataDir, kPictureFolder);
    const std::vector<std::string> pictureNames = mfs::ListFiles(stagedPictures);
    if (!pictureNames.empty() && !FolderExists(pictures)) {
        if (!mfs::MakeFolder(pictures, err)) return false;
    }
    for (const std::string& name : pictureNames) {
        if (!mfs::RenameFile(JoinPath(stagedPictures, name), JoinPath(pictures, name), err)) return false;
    }
    if (!mfs::SyncFolder(dataDir, err)) return false;
    if (FolderExists(pictures) && !mfs::SyncFolder(pictures, err)) return false;
    return RemoveSnapshotAndStage(dataDir, staging, err);
}

}  // namespace

const std::vector<std::string>& DatabaseSideFiles() {
    static const std::vector<std::string> names = {"QSMLV.mlv-journal", "QSMLV.mlv-wal", "QSMLV.mlv-shm"};
    return names;
}

int RecoverDataFolder(const std::string& dataDir, FileError& err) {
    const std::string staging = JoinPath(dataDir, kStagingFolderName);
    if (!FolderExists(staging)) return 0;
    if (FileExists(JoinPath(staging, kCommitMarkerName))) return Finish(dataDir, staging, err) ? 1 : -1;
    const std::string snapshot = NotedSnapshot(staging);
    if (!snapshot.empty() && !mfs::RemoveTree(JoinPath(dataDir, snapshot), err)) return -1;
    if (!mfs::RemoveTree(staging, err) || !mfs::SyncFolder(dataDir, err)) return -1;
    return 2;
}

bool FinishCommittedBeforeReading(const std::string& dataDir, const std::function<bool()>& takeLock) {
    if (!FileExists(JoinPath(JoinPath(dataDir, kStagingFolderName), kCommitMarkerName))) return true;
    if (!takeLock()) {
        ShowMessage("データの復元が完了していないため、データを読み込めません。\n復元している『Milvane』が終了してから、もう一度操作してください。");
        return false;
    }
    FileError err;
    if (RecoverDataFolder(dataDir, err) == 1) return true;
    ShowMessage("データの復元を完了できませんでした。\n" + mfs::FileErrorText(err));
    return false;
}

CStagedReplace::CStagedReplace(std::string dataDir)
    : m_dataDir(std::move(dataDir)), m_staging(JoinPath(m_dataDir, kStagingFolderName)) {}

CStagedReplace::~CStagedReplace() {
    if (m_begun && !m_committed) {
        FileError ignored;
        Abandon(ignored);
    }
}

bool CStagedReplace::Begin(const std::string& snapshotName, FileError& err) {
    if (RecoverDataFolder(m_dataDir, err) < 0) return false;
    if (!mfs::MakeFolder(m_staging, err)) return false;
    m_begun = true;
    if (!mfs::MakeFolder(JoinPath(m_staging, kPictureFolder), err)) return false;
    if (!snapshotName.empty() &&
        !WriteSynced(JoinPath(m_staging, kSnapshotNoteName), JoinLines({snapshotName}), err))
        return false;
    return mfs::SyncFolder(m_staging, err) && mfs::SyncFolder(m_dataDir, err);
}

std::string CStagedReplace::StagedFile(const std::string& name) const { return JoinPath(m_staging, name); }

std::string CStagedReplace::StagedPicture(const std::string& name) const {
    return JoinPath(JoinPath(m_staging, kPictureFolder), name);
}

bool CStagedReplace::Commit(const std::vector<std::string>& namesToDelete, FileError& err) {
    const std::string temp = JoinPath(m_staging, kMarkerTemp);
    if (!mfs::SyncFolder(JoinPath(m_staging, kPictureFolder), err) || !mfs::SyncFolder(m_staging, err) ||
        !WriteSynced(temp, JoinLines(namesToDelete), err) ||
        !mfs::RenameFile(temp, JoinPath(m_staging, kCommitMarkerName), err) || !mfs::SyncFolder(m_staging, err)) {
        // The marker may still have arrived: only a stage without it can be abandoned.
        if (FileExists(JoinPath(m_staging, kCommitMarkerName))) m_committed = true;
        return false;
    }
    m_committed = true;
    return Finish(m_dataDir, m_staging, err);
}

bool CStagedReplace::Abandon(FileError& err) {
    if (!m_begun || m_committed) return !m_committed;
    m_begun = false;
    return mfs::RemoveTree(m_staging, err) && mfs::SyncFolder(m_dataDir, err);
}
