// Keeping the database small: "履歴をﾊﾞｯｸｱｯﾌﾟしてから削除..." (32795) copies
// the database and the pictures into an empty folder (a copy that past-data
// browsing opens) and deletes the history up to a day; "ﾃﾞｰﾀﾍﾞｰｽの最適化..."
// (32796) writes a copy of the database to a named file and compacts it.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "common/DateTime.h"

class CMilvaneDoc;

struct RirekiPurgeRequest {
    std::string folder;         // no trailing "/"
    std::string pictureFolder;  // folder + "/Picture"
    std::string backupFile;     // folder + "/顧客<y><m><d>.mlv" with today's date
    CDateTime cutOff;           // midnight of the last day deleted
};

// "顧客%d%d%d.mlv" / "%d%d%d の顧客ﾃﾞｰﾀ.mlv" with the year, month and day of t.
std::string PurgeBackupFileName(const std::tm& t);
std::string OptimiseBackupFileName(const std::tm& t);

// Dialog 223: the backup folder, the cut-off day and the checks of OK.
class CRirekiPurgeDlgLogic {
public:
    enum Field { FieldFolder, FieldYear, FieldMonth, FieldDay };
    explicit CRirekiPurgeDlgLogic(const std::tm& today);

    std::string folder;
    std::string year, month, day;  // as typed; today's date at first

    // Runs the checks in order (the last is the question); true closes the
    // dialog with OK. focus names the field a refused value came from.
    bool OnOK();
    Field focus = FieldFolder;
    RirekiPurgeRequest Result() const;

private:
    std::tm m_today;
};

// Dialog 224: the backup file name and the checks of OK.
class COptimiseDlgLogic {
public:
    explicit COptimiseDlgLogic(const std::tm& today) : m_today(today) {}

    std::string name;
    // "参照...": the save-file chooser; the chosen path fills name and is
    // remembered, so it is not asked about again.
    void Browse();
    bool OnOK();

private:
    std::tm m_today;
    std::string m_browsed;
};

class CRirekiPurge {
public:
    explicit CRirekiPurge(CMilvaneDoc* doc) : m_doc(doc) {}
    std::function<std::optional<RirekiPurgeRequest>()> runDialog;
    bool Run();  // true when history was deleted

private:
    CMilvaneDoc* m_doc;
};

class CDatabaseOptimise {
public:
    explicit CDatabaseOptimise(CMilvaneDoc* doc);
    std::function<std::optional<std::string>()> runDialog;  // the backup file name
    std::function<int(const std::string& backupFile)> compact;  // CompactDB by default
    int Run();  // CompactDB's result; 0 when it did not run

private:
    CMilvaneDoc* m_doc;
};

// The local time now.
std::tm LocalToday();
