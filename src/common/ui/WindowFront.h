// Bringing a window to the front by the means the platform offers.
#pragma once

class QWidget;

// Whether the windowing platform can restack a window (the headless ones
// cannot, and warn when asked).
bool PlatformCanRaise();

// Shows the window, puts it above the others where the platform can, and gives
// it the keyboard focus.
void ShowInFront(QWidget* window);
