#include "maintenance/ui/MaintenanceCommands.h"

#include "app/CommandIds.h"
#include "app/ui/MilvaneView.h"
#include "app/MilvaneDoc.h"
#include "app/ui/MainFrame.h"
#include "maintenance/DataBackup.h"
#include "maintenance/FormBackup.h"
#include "maintenance/ui/FolderNameDlg.h"

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
