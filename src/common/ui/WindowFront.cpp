#include "common/ui/WindowFront.h"

#include <QGuiApplication>
#include <QWidget>

bool PlatformCanRaise() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") &&
           platform != QLatin1String("minimalegl");
}

void ShowInFront(QWidget* window) {
    if (!window) return;
    window->show();
    if (PlatformCanRaise()) window->raise();
    window->activateWindow();
}
