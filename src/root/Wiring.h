// The composition root: the one place that knows every screen and dialog.
// It registers the screens with the frame's registry and gives the menu
// screen what the other features provide. Nothing in src/ includes it.
#pragma once

struct CMenuScreenHooks;

// Plugs every feature built into the menu screen's hooks.
void InstallMenuScreenFeatures(CMenuScreenHooks& menu);

// Registers the menu screen (with the features above) and every other
// screen. The program calls it once at start-up; idempotent.
void RegisterBuiltScreens();
