// The composition root: the one place that knows every screen and dialog.
// It fills the registry of screens the frame is given and gives the menu
// screen what the other features provide. Nothing in src/ includes it.
#pragma once

#include "app/ui/ScreenRegistry.h"

struct CMenuScreenHooks;

// Plugs every feature built into the menu screen's hooks.
void InstallMenuScreenFeatures(CMenuScreenHooks& menu);

// Every screen built: the menu screen (with the features above) and the
// screens 1 to 5.
CScreenRegistry BuiltScreens();
