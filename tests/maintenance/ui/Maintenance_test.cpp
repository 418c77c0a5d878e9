// The folder-name dialog and the backup and restore commands of the menu
// screen, run as a person would: back up, change a customer, restore.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "../MaintenanceFixture.h"
#include "app/CommandIds.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MilvaneView.h"
#include "app/ui/ScreenRegistry.h"
#include "maintenance/ui/FolderNameDlg.h"

namespace fs = std::filesystem;

namespace {

// Runs fn on the folder-name dialog once it is up.
template <typename Fn>
void OnNextFolderDialog(Fn fn) {
    QTimer::singleShot(0, [fn] {
        auto* dlg = qobject_cast<CFolderNameDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        fn(*dlg);
    });
}

}  // namespace

TEST(FolderNameDlg, TypedOrBrowsedFolderByKeyboard) {
    TestPorts ports;
    CFolderNameDlg dlg("題", "案内", "", nullptr);
    dlg.show();
    EXPECT_EQ(dlg.FolderEdit()->accessibleName(), "フォルダ");
    EXPECT_EQ(dlg.BrowseButton()->accessibleName(), "参照...");
    EXPECT_EQ(dlg.windowTitle(), "題");
    EXPECT_FALSE(dlg.OkButton()->isEnabled());  // nothing typed yet

    ports.prompt.QueueChoice(std::string("/tmp/chosen"));
    dlg.BrowseButton()->click();
    EXPECT_EQ(dlg.Folder(), "/tmp/chosen");
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"案内"});

    dlg.FolderEdit()->setText("/tmp/新しいフォルダ");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dlg.FolderEdit(), &enter);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Folder(), "/tmp/新しいフォルダ");
}

TEST(MaintenanceMenu, BackUpChangeRestoreShowsTheOldCustomer) {
    RegisterBuiltScreens();
    DataFolderFixture f;
    const int32_t key = f.AddCustomer("山田太郎");
    CMainFrame frame(*f.doc);
    ASSERT_TRUE(frame.CreateFirstScreen());
    auto* view = qobject_cast<CMilvaneView*>(frame.ActiveView());
    ASSERT_NE(view, nullptr);
    CCommandState state;
    ASSERT_TRUE(view->UpdateCommand(ID_DATA_BACKUP, state));
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(view->UpdateCommand(ID_FORM_RESTORE, state));
    EXPECT_FALSE(state.enabled);  // the user-made form list is not there yet

    const std::string folder = f.install.File("backup");  // does not exist yet
    f.ports.prompt.QueueAnswer(Answer::Yes);          // create it
    OnNextFolderDialog([folder](CFolderNameDlg& d) {
        EXPECT_EQ(d.windowTitle(), "データのバックアップフォルダを指定");
        d.FolderEdit()->setText(QString::fromStdString(folder));
        d.accept();
    });
    ASSERT_TRUE(view->OnCommand(ID_DATA_BACKUP));
    EXPECT_EQ(f.ports.prompt.Texts().back(),
              "バックアップが終了しました。\nバックアップファイルを保存したフォルダは <" + folder + "> です。");

    CKokyaku changed;
    changed.Name = "変更後";
    ASSERT_EQ(f.doc->Database().ModifyKokyaku(key, changed), 1);
    f.ports.prompt.QueueAnswer(Answer::Yes);
    f.ports.prompt.QueueChoice(folder);
    ASSERT_TRUE(view->OnCommand(ID_DATA_RESTORE));
    EXPECT_EQ(f.ports.prompt.Texts().back(), "データの復元は終了しました。");
    ASSERT_EQ(f.doc->KokyakuList.size(), 1u);
    EXPECT_EQ(f.doc->KokyakuList[0]->Name, "山田太郎");
    EXPECT_TRUE(f.ports.prompt.AllAnswersUsed());
}
