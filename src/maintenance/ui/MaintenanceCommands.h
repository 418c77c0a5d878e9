// The maintenance commands of the menu screen's tools pop-up.
#pragma once

#include <span>
#include <vector>

#include "app/ui/MenuScreenFeatures.h"

// The data backup (32789), data restore (32790), data location (32788),
// past data (32797), back to current data (32798), history purge (32795),
// optimisation (32796) and user-made form restore (32783). A form restore
// sends the menu screen WM_MLV_FORMLIST_CHANGED.
std::span<const CMenuCommand> MaintenanceCommands();

// The user-made form backup (32782) over the numbers of the user-made forms
// in the menu screen's list.
void RunFormBackup(CMilvaneView& view, const std::vector<int>& userForms);
