#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "AppTestSupport.h"
#include "app/IxenEnv.h"
#include "app/MilvaneApp.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/DefaultSort.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

const char* const kWriteMessage =
    "ファイルの書き込み権限がないため「Milvane」は使えません。\n制限ユーザーに設定されている場合は権限を変更してご利用ください。";
const char* const kRecovery =
    "前回『Milvane』が正常に終了しませんでした。\n前回の作業途中のデータを削除し、それ以前に保存されていたデータを開きます。";

class AppTest : public ::testing::Test {
protected:
    void SetUp() override { MakeTemplate(tpl); }

    AppOptions Options() const {
        AppOptions o;
        o.installDir = InstallDir();
        o.templateDir = tpl.Path();
        o.sessionLockDir = session.Path();
        o.globalLockDir = global.Path();
        o.changeDirectory = false;
        o.passwordStrength = CMLVPassCheck::Strength::Interactive;
        return o;
    }
    std::string InstallDir() const { return root.File("Milvane"); }
    std::string DataDir() const { return InstallDir() + "/Data/MyData"; }

    // Installs without starting: the template copy of a first start.
    void Install() { ASSERT_TRUE(PrepareInstallation(InstallDir(), tpl.Path())); }

    // A start that shows one message and ends before any window, releasing its lock.
    void ExpectRefused(const std::string& message, MsgIcon icon = MsgIcon::Exclamation) {
        FakeShell own;
        CMilvaneApp app(own, Options());
        EXPECT_EQ(app.InitInstance(), 0);
        ASSERT_EQ(ports.prompt.Texts(), (std::vector<std::string>{message}));
        EXPECT_EQ(ports.prompt.Log()[0].icon, icon);
        EXPECT_TRUE(own.events.empty());
        EXPECT_FALSE(app.Locks().HoldsSession());
    }

    TestPorts ports;
    TempDir tpl, root, session, global;
    FakeShell shell;
};

TEST_F(AppTest, FirstStartSetsUpTheInstallationAndShowsTheWindow) {
    CMilvaneApp app(shell, Options());
    ASSERT_EQ(app.InitInstance(), 1);
    EXPECT_TRUE(ports.prompt.Log().empty());
    EXPECT_EQ(shell.events, (std::vector<std::string>{"wait+", "window", "wait-", "show"}));
    ASSERT_NE(app.Document(), nullptr);
    EXPECT_EQ(shell.windowDoc, app.Document());
    EXPECT_EQ(app.Document()->DataDir, DataDir());
    EXPECT_TRUE(app.Document()->Database().IsOpen());
    EXPECT_TRUE(fs::exists(DataDir() + "/QSMLV2.mlv2"));
    EXPECT_TRUE(fs::exists(app.HelpFile()));
    EXPECT_TRUE(app.Locks().HoldsSession());
    EXPECT_TRUE(app.Locks().HoldsGlobal());

    app.Document()->SelectedFormTab = 2;
    app.OnMainWindowClose();
    EXPECT_FALSE(fs::exists(DataDir() + "/QSMLV2.mlv2"));
    EXPECT_EQ(ReadBytes(InstallDir() + "/Data/MyData/EndInfo.dat").size(), 8u);
    EXPECT_EQ(ports.wait.depth, 0);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(app.Locks().HoldsSession());
    EXPECT_FALSE(app.Locks().HoldsGlobal());
}

TEST_F(AppTest, ShippedTemplateIsACompleteInstallation) {
    // The template the build writes beside the executables (<build>/share/milvane/template).
    AppOptions o = Options();
    o.templateDir = CIxenEnv::TemplateDir();
    if (o.templateDir.empty()) GTEST_SKIP() << "the installation template has not been built";
    CMilvaneApp app(shell, o);
    ASSERT_EQ(app.InitInstance(), 1);
    EXPECT_TRUE(ports.prompt.Log().empty());
    EXPECT_TRUE(app.Document()->Database().IsOpen());
    EXPECT_TRUE(fs::is_regular_file(app.HelpFile()));
    EXPECT_FALSE(fs::exists(InstallDir() + "/Data/Tmp/.keep"));
    app.OnMainWindowClose();
}

TEST_F(AppTest, SecondStartInTheSessionEndsWithoutAWindow) {
    CMilvaneApp first(shell, Options());
    ASSERT_EQ(first.InitInstance(), 1);

    ExpectRefused("『Milvane』は既に起動しています。", MsgIcon::Information);
    EXPECT_TRUE(first.Document()->Database().IsOpen());  // the first copy is unaffected
    first.OnMainWindowClose();
}

// Starts that show one message and end before any window, each from a fresh folder.
TEST_F(AppTest, RefusedStarts) {
    int fd = -1;  // another user's running copy holds its lock file
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[this] { fs::remove(tpl.File("Data/MyData/acck.sys")); }, "ファイルが見つからないため「Milvane」を起動できません"},
        {[this] { fs::remove(tpl.File("Data/MyData/pass.sys")); },
         "構成ファイルがないため『Milvane』を起動できません\n再インストールしてください。"},
        // Root writes through permissions: a folder where the access file or the probe file belongs.
        {[this] { Install(), fs::remove(DataDir() + "/acck.sys"), fs::create_directory(DataDir() + "/acck.sys"); },
         kWriteMessage},
        {[this] { Install(), fs::create_directories(InstallDir() + "/Data/Html/dmy.txt/x"); }, kWriteMessage},
        {[&] {
             fd = ::open(CInstanceLocks::GlobalLockFile(global.Path(), "hMilvane", ::geteuid() + 77).c_str(),
                         O_RDONLY | O_CREAT, 0644);
             ASSERT_EQ(::flock(fd, LOCK_SH), 0);
         },
         "他のユーザーが「Milvane」を使用しています。\nそのユーザーがアプリケーションを終了してからご利用ください。"},
    };
    for (const auto& [setUp, message] : cases) {
        SCOPED_TRACE(message);
        fs::remove_all(InstallDir());
        MakeTemplate(tpl);
        ports.prompt.Clear();
        setUp();
        ExpectRefused(message);
    }
    ::close(fd);
}

TEST(CheckFolderWritable, MissingFolderPassesAndTheProbeIsRemoved) {
    TestPorts ports;
    TempDir dir;
    EXPECT_EQ(CMilvaneApp::CheckFolderWritable(dir.File("missing")), 1);
    WriteBytes(dir.File("dmy.txt"), "left over");
    EXPECT_EQ(CMilvaneApp::CheckFolderWritable(dir.Path()), 1);
    EXPECT_FALSE(fs::exists(dir.File("dmy.txt")));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(AppTest, RefusedPasswordEndsTheStart) {
    Install();
    {
        ScriptedPasswordPort setter;
        setter.newPasswords.push_back(std::make_pair("secret", "secret"));
        CMLVPassCheck pass(InstallDir(), setter, CMLVPassCheck::Strength::Interactive);
        ASSERT_EQ(pass.SetPassWord(), 1);
        ports.prompt.Clear();
    }
    shell.passwords.passwords = {"a", "b", "c"};
    CMilvaneApp app(shell, Options());
    EXPECT_EQ(app.InitInstance(), 0);
    auto texts = ports.prompt.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts.back(), "『Milvane』を起動できません");
    EXPECT_TRUE(shell.events.empty());
    EXPECT_FALSE(app.Locks().HoldsSession());
}

TEST_F(AppTest, LeftWorkFileIsDeletedOnceAndTheDatabaseOpens) {
    Install();
    WriteBytes(DataDir() + "/QSMLV2.mlv2", "left by a crash");
    CMilvaneApp app(shell, Options());
    ASSERT_EQ(app.InitInstance(), 1);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{kRecovery}));
    EXPECT_TRUE(app.Document()->Database().IsOpen());
    EXPECT_TRUE(shell.Shown());
    app.OnMainWindowClose();
}

TEST_F(AppTest, InterruptedRestoreIsFinishedBeforeTheDatabaseOpens) {
    Install();
    WriteBytes(DataDir() + "/KRank1.dat", "old");
    fs::create_directories(DataDir() + "/MLVStage");
    WriteBytes(DataDir() + "/MLVStage/Tantou.dat", "restored");
    WriteBytes(DataDir() + "/MLVStage/Commit.dat", "KRank1.dat\n");
    CMilvaneApp app(shell, Options());
    ASSERT_EQ(app.InitInstance(), 1);
    EXPECT_TRUE(ports.prompt.Texts().empty());
    EXPECT_EQ(ReadBytes(DataDir() + "/Tantou.dat"), "restored");
    EXPECT_FALSE(fs::exists(DataDir() + "/KRank1.dat"));
    EXPECT_FALSE(fs::exists(DataDir() + "/MLVStage"));
    EXPECT_TRUE(app.Document()->Database().IsOpen());
    app.OnMainWindowClose();
}

TEST_F(AppTest, UndeletableWorkFileEndsWithoutShowingTheWindow) {
    Install();
    fs::create_directories(DataDir() + "/QSMLV2.mlv2/held");
    CMilvaneApp app(shell, Options());
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{kRecovery,
                                        "前回の作業途中のデータを削除できませんでした。\nデータベースをOPENできません。"}));
    EXPECT_EQ(shell.events, (std::vector<std::string>{"wait+", "window", "wait-"}));
    EXPECT_FALSE(app.Locks().HoldsSession());
}

TEST_F(AppTest, DatabaseThatCannotOpenIsToldAndTheRunGoesOn) {
    Install();
    fs::remove(DataDir() + "/QSMLV.mlv");
    WriteBytes(DataDir() + "/QSMLV.mlv", std::string(4096, 'x'));
    CMilvaneApp app(shell, Options());
    EXPECT_EQ(app.InitInstance(), 1);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"データベースを開けませんでした。",
                                        "顧客データの取得に失敗しました。\n顧客データを表示できません。\n"}));
    EXPECT_TRUE(shell.Shown());
    app.OnMainWindowClose();
}

TEST_F(AppTest, MissingDataFolderAsksForOneBeforeTheWindow) {
    Install();
    WriteBytes(InstallDir() + "/Data/MyData/datadir.dat", "/no/such/folder");
    std::string other = root.File("other");
    fs::create_directories(other);
    ASSERT_TRUE(CreateEmptyMilvaneDatabase(other + "/QSMLV.mlv"));
    ports.prompt.QueueChoice(other);
    CMilvaneApp app(shell, Options());
    ASSERT_EQ(app.InitInstance(), 1);
    EXPECT_EQ(app.Document()->DataDir, other);
    EXPECT_EQ(ReadBytes(InstallDir() + "/Data/MyData/datadir.dat"), other);
    EXPECT_TRUE(app.Document()->Database().IsOpen());
    app.OnMainWindowClose();
}

TEST_F(AppTest, WindowThatCannotBeCreatedEndsTheStart) {
    shell.windowCreates = false;
    CMilvaneApp app(shell, Options());
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_EQ(shell.events, (std::vector<std::string>{"wait+", "window", "wait-"}));
    EXPECT_EQ(app.Document(), nullptr);
    EXPECT_FALSE(app.Locks().HoldsSession());
}

class CustomerOrderTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Install();
        CMilvaneData db;
        ASSERT_EQ(db.InitDB(DataDir()), 1);
        const std::pair<const char*, double> rows[] = {{"古い", 100.0}, {"新しい", 300.0}, {"中間", 200.0}};
        for (const auto& [name, day] : rows) {
            CKokyaku k;
            k.Name = name;
            k.RirekiUpDate = CDateTime(day);
            ASSERT_GT(db.AddNewKokyaku(k), 0);
        }
        ASSERT_EQ(db.SaveMLV(true), 1);
    }
    std::vector<std::string> StartAndListNames() {
        CMilvaneApp app(shell, Options());
        EXPECT_EQ(app.InitInstance(), 1);
        std::vector<std::string> names;
        for (const auto& k : app.Document()->KokyakuList) names.emplace_back(k->Name());
        app.OnMainWindowClose();
        app.ExitInstance();
        return names;
    }
};

TEST_F(CustomerOrderTest, NewestHistoryFirstUnlessTheOrderFileSaysOtherwise) {
    EXPECT_EQ(StartAndListNames(), (std::vector<std::string>{"新しい", "中間", "古い"}));
    EXPECT_TRUE(ports.prompt.Log().empty());
    CDefaultSort sort(DataDir());
    sort.fieldName = "RirekiUpDate";
    sort.direction = 0;
    ASSERT_EQ(sort.Save(), 1);
    EXPECT_EQ(StartAndListNames(), (std::vector<std::string>{"古い", "中間", "新しい"}));
    sort.direction = 2;  // no order: as stored
    ASSERT_EQ(sort.Save(), 1);
    EXPECT_EQ(StartAndListNames(), (std::vector<std::string>{"古い", "新しい", "中間"}));
}

TEST_F(AppTest, ClosingWhilePastDataIsBrowsedTellsTheNextStart) {
    CMilvaneApp app(shell, Options());
    ASSERT_EQ(app.InitInstance(), 1);
    app.Document()->PastDataMode = 1;
    app.OnMainWindowClose();
    app.OnMainWindowClose();  // a second close does nothing more
    ASSERT_EQ(ports.prompt.Log().size(), 1u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "今、過去の履歴を参照中ですが、次回起動時は現在のデータを使用してはじめます");
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Information);
}

}  // namespace
