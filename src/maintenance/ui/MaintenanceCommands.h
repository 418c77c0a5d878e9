// The maintenance commands of the menu screen's tools pop-up.
#pragma once

struct CMenuScreenHooks;

#include <functional>
#include <vector>

class CMilvaneDoc;

// Plugs the data backup (32789), data restore (32790), data location (32788),
// past data (32797), back to current data (32798), history purge (32795) and
// optimisation (32796) into the menu screen.
void RegisterMaintenanceCommands(CMenuScreenHooks& hooks);

// Plugs the user-made form backup (32782) and restore (32783) in, over the
// numbers of the user-made forms in the menu screen's list. A restore sends
// the menu screen WM_MLV_FORMLIST_CHANGED.
void RegisterFormBackupCommands(CMenuScreenHooks& hooks, std::function<std::vector<int>(CMilvaneDoc&)> userForms);
