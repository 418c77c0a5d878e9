// Artwork of the main window: the application icon (built from the desktop
// icon) and the drawn toolbar button images.
#pragma once

#include <QIcon>

// The application icon (a card with a person on a blue tile), 16 to 256 px.
QIcon AppIcon();
// The toolbar image of a command; a neutral image for commands without one.
QIcon CommandIcon(int id);
