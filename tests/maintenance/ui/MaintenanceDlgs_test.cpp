#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "maintenance/ui/MaintenanceDlgs.h"
#include "../MaintenanceFixture.h"

namespace {

// Enter in a field presses the default button, as from the keyboard.
void PressEnter(QDialog& dlg, QWidget* field) {
    dlg.show();
    field->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(field, &press);
}

void ExpectNamed(QDialog& dlg) {
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w)) && w->isVisibleTo(&dlg)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        }
    }
}

}  // namespace

TEST(DataLocationDlg, KeyboardOkRunsTheChecksAndKeepsTheDialog) {
    TestPorts ports;
    TempDir dir;
    CDataLocationDlg dlg(dir.File("data"));
    ExpectNamed(dlg);
    EXPECT_EQ(dlg.Choices()->checkedId(), 0);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("データベース保存先の設定"));
    PressEnter(dlg, dlg.FolderEdit());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"変更先のフォルダ名を指定してください"});
    EXPECT_EQ(dlg.result(), QDialog::Rejected);

    ports.prompt.Clear();
    std::filesystem::create_directories(dir.File("copy"));
    dlg.Choices()->button(1)->click();
    dlg.FolderEdit()->setText(QString::fromStdString(dir.File("copy/")));
    PressEnter(dlg, dlg.FolderEdit());
    EXPECT_TRUE(ports.prompt.Texts().empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.FolderEdit()->text().toStdString(), dir.File("copy"));
    EXPECT_EQ(dlg.Result().choice, 1);
    EXPECT_EQ(dlg.Result().pictureFolder, dir.File("copy/Picture"));
}

TEST(RirekiPurgeDlg, ARefusedDatePartTakesTheFocus) {
    TestPorts ports;
    TempDir dir;
    CRirekiPurgeDlg dlg(Day(2026, 12, 6));
    ExpectNamed(dlg);
    EXPECT_EQ(dlg.DateEdit(0)->text(), QStringLiteral("2026"));
    dlg.FolderEdit()->setText(QString::fromStdString(dir.File("bk")));
    dlg.DateEdit(1)->setText(QStringLiteral("13"));
    ports.prompt.QueueAnswer(Answer::Yes);  // create the folder
    PressEnter(dlg, dlg.FolderEdit());
    EXPECT_EQ(ports.prompt.Texts().back(), "1月から12月の間の数字を指定してください");
    EXPECT_EQ(QApplication::focusWidget() ? QApplication::focusWidget() : dlg.focusWidget(), dlg.DateEdit(1));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);

    dlg.DateEdit(1)->setText(QStringLiteral("5"));
    ports.prompt.QueueAnswer(Answer::Yes);  // delete
    PressEnter(dlg, dlg.DateEdit(1));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Result().backupFile, dir.File("bk/顧客2026126.mlv"));
}
