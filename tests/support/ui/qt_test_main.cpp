// Entry point of the widget tests: a QApplication (offscreen) around GoogleTest.
// Every dialog of the program that a test shows is checked for focusable
// controls without a name.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <gtest/gtest.h>

#include "common/ui/Accessible.h"
#include "support/ui/UnnamedFocusables.h"

namespace {

// The program's own dialogs, not Qt's standard ones (message boxes, choosers).
bool OwnClass(const QObject* o) {
    for (const char* standard : {"QMessageBox", "QFileDialog", "QInputDialog", "QColorDialog", "QFontDialog",
                                 "QProgressDialog", "QAbstractPrintDialog", "QPageSetupDialog", "QErrorMessage"})
        if (o->inherits(standard)) return false;
    return true;
}

class CShownDialogCheck : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow() && OwnClass(dialog)) {
                const QStringList unnamed = UnnamedFocusables(dialog);
                if (!unnamed.isEmpty())
                    ADD_FAILURE() << "dialog \"" << dialog->windowTitle().toStdString()
                                  << "\" has unnamed focusable controls: " << unnamed.join(", ").toStdString();
            }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    InstallAccessibleFactories();
    app.installEventFilter(new CShownDialogCheck(&app));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
