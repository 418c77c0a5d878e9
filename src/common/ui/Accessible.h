// Accessibility interfaces for the standard widgets whose Qt defaults do not
// serve a screen reader well.
#pragma once

// Installs them once for the whole application (idempotent).
void InstallAccessibleFactories();
