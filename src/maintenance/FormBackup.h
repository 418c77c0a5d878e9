// Backup and restore of the user-made forms of the installation: the menu
// screen's "ｵﾘｼﾞﾅﾙﾌｫｰﾑのﾊﾞｯｸｱｯﾌﾟ" (32782) and "ｵﾘｼﾞﾅﾙﾌｫｰﾑの復元" (32783).
//
// The ".mlvobu" file (integers 32-bit little-endian, texts Shift-JIS):
// title "Milvane ｵﾘｼﾞﾅﾙﾌｫｰﾑﾊﾞｯｸｱｯﾌﾟ", version 1, total length, count N,
// N x (length, path), N x (size, bytes). Paths are relative to the install
// folder, written with "\": "\Data\MyData\Original.dat",
// "\Data\Org\OrgNum.dat" and "\Data\Org\<n>.org". A restore writes every file
// to a temporary file first and renames them all only when all are written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CMilvaneDoc;

inline constexpr const char* kFormBackupTitle = "Milvane ｵﾘｼﾞﾅﾙﾌｫｰﾑﾊﾞｯｸｱｯﾌﾟ";

// The stored paths of the files a backup holds for the given form numbers,
// in order, whether or not they exist.
std::vector<std::string> FormBackupPaths(const std::vector<int>& formNumbers);
// A stored path a restore accepts (one of the three kinds above, nothing else).
bool IsFormBackupPath(const std::string& storedPath);
// "<install>/Data/Org/3.org" from "\Data\Org\3.org".
std::string FormBackupTarget(const std::string& installDir, const std::string& storedPath);

// Whether a folder lies on removable media (a mount whose block device is
// removable, including optical drives).
bool IsOnRemovableMedia(const std::string& folder);

class CFormBackup {
public:
    CFormBackup(CMilvaneDoc* doc, std::string installDir);

    // The removable-media test of the remembered folder (replaceable in tests).
    std::function<bool(const std::string&)> isRemovable = IsOnRemovableMedia;

    // The backup command over the user-made forms listed (their numbers, in list order).
    bool RunBackup(const std::vector<int>& formNumbers);
    // The restore command; true when forms were restored (the menu screen
    // then re-reads its form list).
    bool RunRestore();

    // The file steps with the file already chosen; messages shown.
    bool WriteBackup(const std::string& path, const std::vector<int>& formNumbers);
    bool RestoreFrom(const std::string& path);

    // The profile value "OrgBup": the folder of the last chosen file, or the
    // home folder when none is remembered.
    std::string StartFolder() const;
    // Remembers the folder of path, unless it is on removable media: then the
    // current directory goes back to <install>/exe.
    void RememberFolder(const std::string& path);

private:
    CMilvaneDoc* m_doc;
    std::string m_installDir;
};
