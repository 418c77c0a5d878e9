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

}  // namespace

void RegisterMaintenanceCommands(CMenuScreenHooks& hooks) {
    hooks.commands[ID_DATA_BACKUP] = [](CMilvaneView& view) {
        CDataBackup backup(&view.Document());
        backup.chooseFolderName = [&view](const std::string& title, const std::string& prompt,
                                          const std::string& start) {
            return RunFolderNameDialog(view.window(), title, prompt, start);
        };
        backup.RunBackup();
    };
    hooks.commands[ID_DATA_RESTORE] = [](CMilvaneView& view) {
        CDataBackup(&view.Document()).RunRestore();
        view.update();
    };
    hooks.commands[ID_DATA_LOCATION] = [](CMilvaneView& view) {
        Location(view).RunChangeLocation();
        DataChanged(view);
    };
    hooks.commands[ID_PAST_DATA] = [](CMilvaneView& view) {
        Location(view).RunPastData();
        DataChanged(view);
    };
    hooks.commands[ID_CURRENT_DATA] = [](CMilvaneView& view) {
        Location(view).RunBackToCurrent();
        DataChanged(view);
    };
    hooks.commands[ID_RIREKI_BACKUP_DELETE] = [](CMilvaneView& view) {
        CRirekiPurge purge(&view.Document());
        purge.runDialog = [&view]() -> std::optional<RirekiPurgeRequest> {
            CRirekiPurgeDlg dlg(LocalToday(), view.window());
            if (dlg.exec() != QDialog::Accepted) return std::nullopt;
            return dlg.Result();
        };
        purge.Run();
        view.window()->raise();
        view.window()->activateWindow();
    };
    hooks.commands[ID_DB_OPTIMIZE] = [](CMilvaneView& view) {
        CDatabaseOptimise optimise(&view.Document());
        optimise.runDialog = [&view]() -> std::optional<std::string> {
            COptimiseDlg dlg(LocalToday(), view.window());
            if (dlg.exec() != QDialog::Accepted) return std::nullopt;
            return dlg.FileName();
        };
        optimise.Run();
    };
    // The user-made form commands join through RegisterFormBackupCommands
    // once the menu screen keeps its list of user-made forms.
}

void RegisterFormBackupCommands(CMenuScreenHooks& hooks, std::function<std::vector<int>(CMilvaneDoc&)> userForms) {
    hooks.commands[ID_FORM_BACKUP] = [userForms](CMilvaneView& view) {
        CFormBackup(&view.Document(), view.Document().InstallDir()).RunBackup(userForms(view.Document()));
    };
    hooks.commands[ID_FORM_RESTORE] = [](CMilvaneView& view) {
        if (CFormBackup(&view.Document(), view.Document().InstallDir()).RunRestore())
            view.Frame().SendFrameMessage(WM_MLV_FORMLIST_CHANGED);
    };
}
