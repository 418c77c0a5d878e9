// Drawn artwork of the main window: the application icon and the toolbar
// button images (no image files are shipped).
#pragma once

#include <QIcon>

// The application icon (a blue card with a person).
QIcon AppIcon();
// The toolbar image of a command; a neutral image for commands without one.
QIcon CommandIcon(int id);
