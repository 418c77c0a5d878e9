// The maintenance commands of the menu screen's tools pop-up.
#pragma once

struct CMenuScreenHooks;

// Plugs the data backup (32789) and data restore (32790) into the menu screen.
void RegisterMaintenanceCommands(CMenuScreenHooks& hooks);
