// The menu screen's moves between data folders: "ﾃﾞｰﾀ保存先の設定..."
// (32788) points the current data at another folder; "過去の履歴を参照する"
// (32797) opens another data set read-only; "現在のﾃﾞｰﾀに戻す" (32798)
// returns to the folder named in datadir.dat.
#pragma once

#include <functional>
#include <optional>
#include <string>

class CMilvaneDoc;

enum DataLocationChoice { kLocationSwitch = 0, kLocationCopy = 1, kLocationNew = 2 };

struct DataLocationRequest {
    int choice = kLocationSwitch;
    std::string folder;         // no trailing "/"
    std::string pictureFolder;  // folder + "/Picture"
};

// Dialog 228: the choice and the folder, and the checks of its OK button.
class CDataLocationDlgLogic {
public:
    explicit CDataLocationDlgLogic(std::string currentDataDir) : m_current(std::move(currentDataDir)) {}

    int choice = kLocationSwitch;
    std::string folder;

    // Runs the checks in order, each telling its own message; true closes
    // the dialog. A trailing "/" is dropped from folder; folders may be created.
    bool OnOK();
    DataLocationRequest Result() const;

private:
    std::string m_current;
};

class CDataLocation {
public:
    explicit CDataLocation(CMilvaneDoc* doc) : m_doc(doc) {}

    // Dialog 228; nullopt when cancelled. By default nothing is chosen.
    std::function<std::optional<DataLocationRequest>(const std::string& currentDataDir)> runDialog;

    // The three commands. True when the data in use changed.
    bool RunChangeLocation();
    bool RunPastData();
    bool RunBackToCurrent();

private:
    bool CopyDataSet(const DataLocationRequest& req);

    CMilvaneDoc* m_doc;
};
