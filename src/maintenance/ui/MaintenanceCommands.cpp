#include "maintenance/ui/MaintenanceCommands.h"

#include "app/CommandIds.h"
#include "app/ui/MilvaneView.h"
#include "maintenance/DataBackup.h"
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
    // The user-made form backup and restore (32782, 32783) join once the menu
    // screen keeps its list of user-made forms.
}
