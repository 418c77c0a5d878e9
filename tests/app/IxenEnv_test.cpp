#include <gtest/gtest.h>

#include <filesystem>

#include "AppTestSupport.h"
#include "app/IxenEnv.h"
#include "common/SjisText.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

TEST(IxenEnv, VersionTextTakesFirstDigitAndLastTwo) {
    EXPECT_EQ(FormatVersionText(405), "4.05");
    EXPECT_EQ(AboutText(312), "Milvane\nVersion 3.12");
}

TEST(IxenEnv, InstallDirFromHomeVariableThenDataHome) {
    TempDir dir;
    {
        ScopedEnv home("MILVANE_HOME", dir.Path() + "/inst/");
        EXPECT_EQ(CIxenEnv::InstallDir(), dir.Path() + "/inst");
    }
    {
        ScopedEnv home("MILVANE_HOME", std::nullopt);
        ScopedEnv data("XDG_DATA_HOME", dir.Path() + "/share");
        EXPECT_EQ(CIxenEnv::InstallDir(), dir.Path() + "/share/Milvane");
    }
    {
        ScopedEnv home("MILVANE_HOME", "");
        ScopedEnv data("XDG_DATA_HOME", std::nullopt);
        ScopedEnv user("HOME", dir.Path());
        EXPECT_EQ(CIxenEnv::InstallDir(), dir.Path() + "/.local/share/Milvane");
    }
}

TEST(PrepareInstallation, FillsAFreshFolder) {
    TempDir tpl, root;
    MakeTemplate(tpl);
    std::string install = root.File("インストール");
    ASSERT_TRUE(PrepareInstallation(install, tpl.Path()));

    EXPECT_TRUE(fs::is_regular_file(install + "/Data/MyData/acck.sys"));
    EXPECT_EQ(ReadBytes(install + "/exe/Kokyakuhelp.html"), "help v2");
    EXPECT_TRUE(fs::is_directory(install + "/Data/Tmp"));
    EXPECT_FALSE(fs::exists(install + "/Data/Tmp/.keep"));
    // The pointer names the default data folder in Shift-JIS, without line end.
    EXPECT_EQ(ReadBytes(install + "/Data/MyData/datadir.dat"), Utf8ToSjis(install + "/Data/MyData"));
    EXPECT_EQ(ReadBytes(install + "/Data/MyData/QSMLV.mlv"), ReadBytes(tpl.File("Data/Org/QSMLV.mlv")));
    EXPECT_EQ(ReadBytes(install + "/Data/MyData/MLVColSet.sys"), "MASTER");
}

TEST(PrepareInstallation, NeverOverwritesFilesThePointerOrTheDatabase) {
    TempDir tpl, install;
    MakeTemplate(tpl);
    fs::create_directories(install.File("exe"));
    fs::create_directories(install.File("Data/MyData"));
    WriteBytes(install.File("exe/Kokyakuhelp.html"), "edited");
    WriteBytes(install.File("Data/MyData/datadir.dat"), "/srv/shop");
    ASSERT_TRUE(PrepareInstallation(install.Path(), tpl.Path()));

    EXPECT_EQ(ReadBytes(install.File("exe/Kokyakuhelp.html")), "edited");
    EXPECT_EQ(ReadBytes(install.File("Data/MyData/datadir.dat")), "/srv/shop");
    EXPECT_FALSE(fs::exists(install.File("Data/MyData/QSMLV.mlv")));  // data lives elsewhere
    EXPECT_TRUE(fs::exists(install.File("Data/MyData/acck.sys")));      // missing files still come

    // A file added to the template later is taken up by the next start.
    WriteBytes(tpl.File("Data/Org/Jusho.dic"), "dict");
    ASSERT_TRUE(PrepareInstallation(install.Path(), tpl.Path()));
    EXPECT_EQ(ReadBytes(install.File("Data/Org/Jusho.dic")), "dict");

    // A database already in the default folder stays, and a missing pointer names it.
    fs::remove(install.File("Data/MyData/datadir.dat"));
    WriteBytes(install.File("Data/MyData/QSMLV.mlv"), "customers");
    ASSERT_TRUE(PrepareInstallation(install.Path(), tpl.Path()));
    EXPECT_EQ(ReadBytes(install.File("Data/MyData/QSMLV.mlv")), "customers");
    EXPECT_EQ(ReadBytes(install.File("Data/MyData/datadir.dat")), install.File("Data/MyData"));

    TempDir bare;  // without a template only the pointer is written
    EXPECT_TRUE(PrepareInstallation(bare.Path(), ""));
    EXPECT_EQ(ReadBytes(bare.File("Data/MyData/datadir.dat")), bare.File("Data/MyData"));
}

TEST(PrepareInstallation, LinksWhatTheTemplateLinksTo) {
    // The installed template links exe/Frmprint to the program outside it.
    TempDir prefix, install;
    MakeTemplate(prefix);
    fs::create_directories(prefix.File("lib"));
    WriteBytes(prefix.File("lib/Frmprint"), "program v1");
    fs::create_symlink("../lib/Frmprint", prefix.File("exe/Frmprint"));
    ASSERT_TRUE(PrepareInstallation(install.Path(), prefix.Path()));

    const fs::path link = install.File("exe/Frmprint");
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::canonical(prefix.File("lib/Frmprint")));
    WriteBytes(prefix.File("lib/Frmprint"), "program v2");  // an upgrade reaches the installation
    EXPECT_EQ(ReadBytes(link.string()), "program v2");

    // An existing entry stays; a link to nothing is a failure that leaves the rest done.
    fs::remove(link);
    WriteBytes(link.string(), "own copy");
    fs::create_symlink("../lib/missing", prefix.File("exe/Broken"));
    EXPECT_FALSE(PrepareInstallation(install.Path(), prefix.Path()));
    EXPECT_EQ(ReadBytes(link.string()), "own copy");
    EXPECT_FALSE(fs::exists(fs::symlink_status(install.File("exe/Broken"))));
    EXPECT_TRUE(fs::exists(install.File("Data/MyData/datadir.dat")));
}

}  // namespace
