// Shared by the benchmarks of the screens: the main window over a document,
// shown offscreen with its first (menu) screen.
#pragma once

#include <QApplication>

#include "BenchData.h"
#include "app/ui/MainFrame.h"

namespace bench {

inline void ShowFrame(CMainFrame& frame, QApplication& app) {
    frame.SetCloseHandler([] {});
    Check(frame.CreateFirstScreen(), "the menu screen");
    frame.resize(1280, 900);
    frame.show();
    app.processEvents();
}

}  // namespace bench
