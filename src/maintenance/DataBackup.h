// Backup and restore of the whole data set: the menu screen's
// "ﾃﾞｰﾀのﾊﾞｯｸｱｯﾌﾟ" (32789) and "ﾃﾞｰﾀの復元" (32790).
//
// Files (integers 32-bit little-endian, names Shift-JIS without terminator):
//   <base>.mlvdbu   title "Milvane ﾃﾞｰﾀﾊﾞｯｸｱｯﾌﾟ", version 1, total length,
//                   count N, N x (length, name), N x (size, bytes), number of
//                   picture files;
//   <base>_<k>.mlvpbu  title "Milvane 画像ﾊﾞｯｸｱｯﾌﾟ", count M,
//                   M x (length, name, size, bytes), grouped under a size limit.
//
// The restore takes a snapshot ("BupTmp…"), writes the backup into a staging
// folder and commits it (see StagedReplace.h): an interrupted restore leaves
// the data folder as it was before or as the backup has it, never a mix.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "maintenance/SafeFile.h"

class CMilvaneDoc;

inline constexpr const char* kDataBackupTitle = "Milvane ﾃﾞｰﾀﾊﾞｯｸｱｯﾌﾟ";
inline constexpr const char* kPictureBackupTitle = "Milvane 画像ﾊﾞｯｸｱｯﾌﾟ";
inline constexpr uint64_t kPictureBackupLimit = 524288000;  // 500 MiB per picture backup file

// "顧客_" followed by year, month, day, hour, minute and second without leading zeros.
std::string BackupBaseName(const std::tm& t);

// Pictures grouped into backup files: a file starts at its title plus 4
// bytes and each picture adds its name, its size and 8; a picture that would
// pass the limit starts the next file. Indexes into sizes, in order.
struct BackupItem {
    std::string name;  // UTF-8
    uint64_t size = 0;
};
std::vector<std::vector<std::size_t>> GroupPictures(const std::vector<BackupItem>& pictures, uint64_t limit);

// The folder-name dialog: title, prompt, start folder; nullopt when cancelled.
using FolderNameChooser =
    std::function<std::optional<std::string>(const std::string& title, const std::string& prompt,
                                             const std::string& start)>;

class CDataBackup {
public:
    explicit CDataBackup(CMilvaneDoc* doc);

    // The folder-name dialog of the backup; by default the prompt port's folder browser.
    FolderNameChooser chooseFolderName;
    // The moment the backup starts; by default the local time.
    std::function<std::tm()> clock;
    uint64_t pictureLimit = kPictureBackupLimit;

    // The commands. True when the backup or the restore succeeded.
    bool RunBackup();
    bool RunRestore();
    // The restore of one backup file, named by the caller instead of the
    // folder chooser (the command-line program): the same checks, question
    // and steps.
    bool RunRestore(const std::string& backupPath);

    // The steps after the questions, for callers that already know the folder.
    // WriteBackup: the .mlvdbu and .mlvpbu files of the current data folder
    // into folder (messages shown; the final one is the caller's).
    bool WriteBackup(const std::string& folder, const std::string& baseName);
    // Restore from the .mlvdbu file at path, with the database already saved
    // and closed; ends with the database opened again. Messages shown,
    // including the final one.
    bool RestoreFrom(const std::string& backupPath);

private:
    // No document or past data refuses; then the question (default No).
    bool ConfirmRestore();
    // SaveMLV(true), then RestoreFrom.
    bool SaveAndRestore(const std::string& backupPath);
    std::optional<std::string> AskBackupFolder();
    // -1 failed, otherwise the number of picture backup files written.
    int WritePictureBackup(const std::string& folder, const std::string& baseName, mfs::CCopyBuffer& buffer);
    enum class Outcome { Ok, RolledBack };
    Outcome RestoreIntoStage(const std::string& backupPath, class CStagedReplace& stage,
                             std::vector<std::string>& restoredNames, mfs::CCopyBuffer& buffer);
    bool RestorePictures(const std::string& folder, const std::string& baseName, uint32_t count,
                         class CStagedReplace& stage, mfs::CCopyBuffer& buffer);
    void OpenDatabaseAgain();

    CMilvaneDoc* m_doc;
};
