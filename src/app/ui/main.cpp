// Placeholder program: an empty main window titled "Milvane".
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Milvane");
    w.resize(800, 600);
    w.show();
    if (qEnvironmentVariableIsSet("MILVANE_QUIT_AFTER_START")) QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
