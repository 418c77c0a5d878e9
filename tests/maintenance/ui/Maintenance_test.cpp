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
#include "root/Wiring.h"
#include "maintenance/ui/FolderNameDlg.h"
#include "maintenance/ui/MaintenanceCommands.h"

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
    DataFolderFixture f;
    const int32_t key = f.AddCustomer("山田太郎");
    CMainFrame frame(*f.doc, BuiltScreens());
    ASSERT_TRUE(frame.CreateFirstScreen());
    auto* view = qobject_cast<CMilvaneView*>(frame.ActiveView());
    ASSERT_NE(view, nullptr);
    CCommandState state;
    ASSERT_TRUE(view->UpdateCommand(ID_DATA_BACKUP, state));
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(view->UpdateCommand(ID_FORM_RESTORE, state));
    EXPECT_TRUE(state.enabled);
    ASSERT_TRUE(view->UpdateCommand(ID_FORM_BACKUP, state));
    EXPECT_FALSE(state.enabled);  // no user-made forms listed

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
    EXPECT_EQ(f.doc->KokyakuList[0].Name(), "山田太郎");
    EXPECT_TRUE(f.ports.prompt.AllAnswersUsed());
}

TEST(MaintenanceMenu, RenamedUserFormComesBackAndTheListIsReread) {
    DataFolderFixture f;
    fs::create_directories(f.install.File("bk"));
    WriteBytes(f.install.File("Data/MyData/Original.dat"), "7=見積書");
    WriteBytes(f.install.File("Data/Org/7.org"), "form");
    // The built features over a list of user-made forms holding form 7,
    // counting the re-reads of the gallery's list.
    struct Features : CMenuScreenFeatures {
        int reread = 0;
        void FormListChanged(CMilvaneView&) override { ++reread; }
        int UserFormCount(CMilvaneDoc&) override { return 1; }
        void RunCommand(int id, CMilvaneView& view) override {
            if (id == ID_FORM_BACKUP)
                RunFormBackup(view, {7});
            else
                CMenuScreenFeatures::RunCommand(id, view);
        }
    };
    auto features = std::make_shared<Features>();
    CScreenRegistry screens = BuiltScreens();
    screens.Register(SCREEN_MENU, [features](CMilvaneDoc& d, CMainFrame& fr, int) -> CScreenView* {
        return new CMilvaneView(d, fr, features);
    });
    CMainFrame frame(*f.doc, std::move(screens));
    ASSERT_TRUE(frame.CreateFirstScreen());
    auto* view = qobject_cast<CMilvaneView*>(frame.ActiveView());
    ASSERT_NE(view, nullptr);
    const int& reread = features->reread;

    f.ports.prompt.QueueChoice(f.install.File("bk/forms"));  // the extension is added
    ASSERT_TRUE(view->OnCommand(ID_FORM_BACKUP));
    EXPECT_EQ(f.ports.profile.GetString("", "OrgBup", ""), f.install.File("bk"));
    WriteBytes(f.install.File("Data/MyData/Original.dat"), "7=請求書, 8=新しい");
    WriteBytes(f.install.File("Data/Org/8.org"), "made later");
    f.ports.prompt.Clear();
    f.ports.prompt.QueueAnswer(Answer::Yes);
    f.ports.prompt.QueueChoice(f.install.File("bk/forms.mlvobu"));
    ASSERT_TRUE(view->OnCommand(ID_FORM_RESTORE));
    EXPECT_EQ(ReadBytes(f.install.File("Data/MyData/Original.dat")), "7=見積書");
    EXPECT_EQ(ReadBytes(f.install.File("Data/Org/8.org")), "made later");  // not in the backup: stays
    EXPECT_EQ(reread, 1);
    EXPECT_EQ(f.ports.prompt.Log()[0].defaultButton, Answer::No);
    EXPECT_EQ(f.ports.prompt.Texts().back(), "復元が正常に終了しました。");
}
