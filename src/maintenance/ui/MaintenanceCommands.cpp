#include "maintenance/ui/MaintenanceCommands.h"

#include "app/CommandIds.h"
#include "app/ui/MilvaneView.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "maintenance/DataBackup.h"
#include "maintenance/FormBackup.h"
#include "maintenance/DataLocation.h"
#include "maintenance/HistoryPurge.h"
#include "maintenance/ui/FolderNameDlg.h"
#include "maintenance/ui/MaintenanceDlgs.h"

namespace {

// After the data in use changed: the menu screen's tools follow the read-only state.
void DataChanged(CMilvaneView& view) {
    view.UpdateButtons();
    view.update();
}

CDataLocation Location(CMilvaneView& view) {
    CDataLocation location(&view.Document());
    location.runDialog = [&view](const std::string& current) -> std::optional<DataLocationRequest> {
        CDataLocationDlg dlg(current, view.window());
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Result();
    };
    return location;
}

void DataBackup(CMilvaneView& view) {
    CDataBackup backup(&view.Document());
    backup.chooseFolderName = [&view](const std::string& title, const std::string& prompt, const std::string& start) {
        return RunFolderNameDialog(view.window(), title, prompt, start);
    };
    backup.RunBackup();
}

void DataRestore(CMilvaneView& view) {
    CDataBackup(&view.Document()).RunRestore();
    view.update();
}

void ChangeLocation(CMilvaneView& view) {
    Location(view).RunChangeLocation();
    DataChanged(view);
}

void PastData(CMilvaneView& view) {
    Location(view).RunPastData();
    DataChanged(view);
}

void CurrentData(CMilvaneView& view) {
    Location(view).RunBackToCurrent();
    DataChanged(view);
}

void PurgeHistory(CMilvaneView& view) {
    CRirekiPurge purge(&view.Document());
    purge.runDialog = [&view]() -> std::optional<RirekiPurgeRequest> {
        CRirekiPurgeDlg dlg(LocalToday(), view.window());
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.Result();
    };
    purge.Run();
    view.window()->raise();
    view.window()->activateWindow();
}

void Optimise(CMilvaneView& view) {
    CDatabaseOptimise optimise(&view.Document());
    optimise.runDialog = [&view]() -> std::optional<std::string> {
        COptimiseDlg dlg(LocalToday(), view.window());
        if (dlg.exec() != QDialog::Accepted) return std::nullopt;
        return dlg.FileName();
    };
    optimise.Run();
}

void FormRestore(CMilvaneView& view) {
    if (CFormBackup(&view.Document(), view.Document().InstallDir()).RunRestore())
        view.Frame().SendFrameMessage(WM_MLV_FORMLIST_CHANGED);
}

constexpr CMenuCommand kCommands[] = {
    {ID_DATA_BACKUP, DataBackup},   {ID_DATA_RESTORE, DataRestore},        {ID_DATA_LOCATION, ChangeLocation},
    {ID_PAST_DATA, PastData},       {ID_CURRENT_DATA, CurrentData},        {ID_RIREKI_BACKUP_DELETE, PurgeHistory},
    {ID_DB_OPTIMIZE, Optimise},     {ID_FORM_RESTORE, FormRestore},
};

}  // namespace

std::span<const CMenuCommand> MaintenanceCommands() { return kCommands; }

void RunFormBackup(CMilvaneView& view, const std::vector<int>& userForms) {
    CFormBackup(&view.Document(), view.Document().InstallDir()).RunBackup(userForms);
}
