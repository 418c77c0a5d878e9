// The whole program on a fresh installation: it starts with the menu screen
// and ends with exit code 0; the About box and the password dialogs.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/IxenEnv.h"
#include "app/MilvaneApp.h"
#include "db/MilvaneData.h"
#include "app/PassCheck.h"
#include "app/ui/AboutDlg.h"
#include "root/AppShell.h"
#include "app/ui/MainFrame.h"
#include "app/ui/PasswordDlg.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

// A minimal installation: the access file, an empty database named by
// datadir.dat, and a password configuration without password.
void MakeInstallation(const std::string& root) {
    fs::create_directories(root + "/Data/MyData");
    fs::create_directories(root + "/exe");
    WriteBytes(root + "/Data/MyData/acck.sys", "");
    WriteBytes(root + "/Data/MyData/datadir.dat", root + "/Data/MyData");
    ASSERT_TRUE(CreateEmptyMilvaneDatabase(root + "/Data/MyData/QSMLV.mlv"));
    CMLVPassCheck::WriteEmptyConfig(root + "/Data/MyData/pass.sys");
}

RunOptions TestRun(const TempDir& install, const TempDir& locks) {
    RunOptions o;
    o.app.installDir = install.Path();
    o.app.templateDir = install.Path();  // nothing to copy from
    o.app.sessionLockDir = locks.File("session");
    o.app.globalLockDir = locks.File("global");
    o.app.changeDirectory = false;
    o.installQtPorts = false;
    o.quitAfterStart = true;
    return o;
}

}  // namespace

TEST(AppStart, StartsWithTheMenuScreenAndExitsWithZero) {
    TestPorts ports;
    TempDir install, locks;
    MakeInstallation(install.Path());
    fs::create_directories(locks.File("session"));
    fs::create_directories(locks.File("global"));

    // Watches the main window being shown; keeps its picture and every text it shows.
    struct ShowWatch : QObject {
        QString title;
        bool shown = false, activated = false;
        QPixmap shot;
        QStringList texts;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::WindowActivate && qobject_cast<CMainFrame*>(o)) activated = true;
            if (e->type() == QEvent::Show)
                if (auto* f = qobject_cast<CMainFrame*>(o)) {
                    shown = true;
                    title = f->windowTitle();
                    shot = f->grab();
                    for (QWidget* w : f->findChildren<QWidget*>())
                        if (w->isVisible()) texts << w->accessibleName();
                }
            return false;
        }
    } watch;
    QCoreApplication::instance()->installEventFilter(&watch);
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    const QString family = ApplyJapaneseFont(*app);
    // Windows come to the front without asking the platform for what it lacks.
    static QStringList warnings;
    warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg) warnings << text;
        });
    EXPECT_EQ(RunMilvane(*app, TestRun(install, locks)), 0);
    qInstallMessageHandler(previous);
    EXPECT_FALSE(warnings.join('\n').contains("does not support")) << warnings.join('\n').toStdString();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{}) << ports.prompt.Texts().front();
    QCoreApplication::instance()->removeEventFilter(&watch);
    EXPECT_TRUE(watch.shown);
    EXPECT_TRUE(watch.activated);  // it comes up with the keyboard focus
    EXPECT_EQ(watch.title, QString("Milvane－メニュー"));
    // Japanese is drawn with a font that holds every character shown, not as boxes;
    // the picture is left beside the test for a person to look at.
    EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(family)) << family.toStdString();
    const QFontMetrics metrics(app->font());
    EXPECT_TRUE(watch.texts.contains("顧客一覧"));
    for (const QString& text : watch.texts)
        for (char32_t c : text.toUcs4())
            EXPECT_TRUE(c < 0x80 || metrics.inFontUcs4(c)) << text.toStdString();
    EXPECT_FALSE(watch.shot.isNull());
    watch.shot.save("menu-screen.png");
    // The menu-screen state was written on the way out, and the work file is gone.
    EXPECT_EQ(ReadBytes(install.File("Data/MyData/EndInfo.dat")).size(), 8u);
    EXPECT_FALSE(fs::exists(install.File("Data/MyData/QSMLV2.mlv2")));
}

TEST(AppStart, AMissingInstallationEndsWithoutAWindow) {
    TestPorts ports;
    TempDir install, locks;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    // Without a person to read the message, a failed start is an error exit.
    EXPECT_EQ(RunMilvane(*app, TestRun(install, locks)), 1);
    ASSERT_FALSE(ports.prompt.Texts().empty());
    EXPECT_EQ(ports.prompt.Texts().front(), "ファイルが見つからないため「Milvane」を起動できません");
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<CMainFrame*>(w), nullptr);
}

TEST(PasswordDialogs, PortReturnsTheEntriesOrNothingOnCancel) {
    CQtPasswordPort port;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CPasswordDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->Edit()->setText("secret");
        dlg->accept();
    });
    EXPECT_EQ(port.AskPassword("?", 1), std::optional<std::string>("secret"));
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(port.AskPassword("?", 1), std::nullopt);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNewPasswordDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->Edit()->setText("新しい");
        dlg->ConfirmEdit()->setText("新しい");
        dlg->accept();
    });
    auto entered = port.AskNewPassword(true);
    ASSERT_TRUE(entered);
    EXPECT_EQ(entered->first, "新しい");
    EXPECT_EQ(entered->second, "新しい");
}

TEST(AboutBox, TheVersionIsHeardThroughAccessibility) {
    CAboutDlg dlg;
    QAccessibleInterface* version = nullptr;
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&dlg);
    for (int i = 0; i < box->childCount(); ++i)
        if (box->child(i)->text(QAccessible::Name) == QString::fromUtf8("バージョン")) version = box->child(i);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(QAccessible::Description), QString::fromStdString(CMilvaneApp::AboutBoxText()));
    EXPECT_TRUE(version->text(QAccessible::Description).startsWith("Milvane"));
}
