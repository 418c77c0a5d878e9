// Entry point of the widget tests: a QApplication (offscreen) around GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "common/ui/Accessible.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    InstallAccessibleFactories();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
