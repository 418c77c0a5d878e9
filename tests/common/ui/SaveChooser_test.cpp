// The save chooser of the Qt prompt: a name typed without extension takes the
// filter's first extension, so the overwrite question sees the real file.
#include <QFileDialog>
#include <QLineEdit>

#include "common/ui/QtPorts.h"
#include "customers/ui/SettingsUiFixture.h"

TEST(SaveChooser, DefaultExtensionFromTheFilter) {
    TempDir dir;
    CQtPrompt prompt;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
        d->setOption(QFileDialog::DontUseNativeDialog);
        d->selectFile(QString::fromStdString(dir.File("list")));
        QMetaObject::invokeMethod(d, "accept");
    });
    std::optional<std::string> chosen = prompt.ChooseSaveFile("名前を付けて保存", "Microsoft Excelｼｰﾄ(*.xlsx)", dir.Path());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, dir.File("list.xlsx"));
}
