// The Milvane program: a Japanese-font Qt application around the start-up,
// event loop and shutdown of RunMilvane.
#include <QApplication>

#include "root/AppShell.h"
#include "app/ui/Artwork.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ostrel/Zorund");
    QApplication::setApplicationName("Milvane");
    QApplication::setWindowIcon(AppIcon());
    ApplyJapaneseFont(app);
    return RunMilvane(app, RunOptionsFromCommandLine(argc, argv));
}
