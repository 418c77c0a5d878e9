#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/Folders.h"
#include "common/SjisText.h"
#include "support/SjisNames.h"
#include "support/TestPorts.h"

namespace {

TEST(ClassifyPath, Classes) {
    // "/データ/表": a multi-byte last character.
    const std::pair<const char*, int> cases[] = {{"/home/shop", 1}, {"/home/shop/", 2}, {"a", 3}, {"/", 4}, {"/データ/表", 1}};
    for (const auto& [path, cls] : cases) EXPECT_EQ(ClassifyPath(path), cls) << path;
}

TEST(GetDataFolder, ReadsTheFirstLineAndDropsTheTrailingSeparator) {
    TempDir install;
    std::filesystem::create_directories(install.File("Data/MyData"));
    EXPECT_EQ(GetDataFolder(install.Path()), "");
    WriteBytes(install.File("Data/MyData/datadir.dat"), Utf8ToSjis("/srv/顧客データ/"));
    EXPECT_EQ(GetDataFolder(install.Path()), "/srv/顧客データ");
    WriteBytes(install.File("Data/MyData/datadir.dat"), Utf8ToSjis("/srv/shop\r\nsecond"));
    EXPECT_EQ(GetDataFolder(install.Path()), "/srv/shop");
    WriteBytes(install.File("Data/MyData/datadir.dat"), "/");
    EXPECT_EQ(GetDataFolder(install.Path()), "");
}

// Names read back from Shift-JIS files find their entry by its Shift-JIS bytes.
TEST(SjisNames, ResolveAndLeadBack) {
    const struct Case {
        std::vector<std::string> entries;
        std::string name;      // as written before the round trip
        std::string resolved;  // what the name read back resolves to
        bool leadsBack;
        bool safeNameTaken;  // a copy under SjisSafeName(name) needs another name
    } cases[] = {
        {{"春〜夏"}, "春〜夏", "春〜夏", true, true},
        {{"春〜夏", "春～夏"}, "春〜夏", "春～夏", false, true},  // the exact entry wins the read
        {{"春〜夏", "春～夏"}, "春～夏", "春～夏", true, true},
        {{"😀"}, "😀", "😀", true, false},                      // its safe name is "_"
        {{"😀", "🌸"}, "😀", "〓", false, false},               // several: none is chosen
        {{}, "春〜夏", "春～夏", true, false},                  // not there yet: nothing else takes it
        {{"plain"}, "plain", "plain", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " among " + std::to_string(c.entries.size()));
        TempDir dir;
        for (const std::string& e : c.entries) WriteBytes(dir.File(e), e);
        EXPECT_EQ(ResolveSjisName(dir.Path(), SjisRoundTrip(c.name)), c.resolved);
        EXPECT_EQ(SjisNameLeadsBack(dir.Path(), c.name), c.leadsBack);
        EXPECT_EQ(SjisNameTaken(dir.Path(), SjisSafeName(c.name)), c.safeNameTaken);
    }
    // Paths resolve one folder at a time; a twin anywhere on the way stops the write.
    TempDir dir;
    std::filesystem::create_directories(dir.File("顧客〜データ/店舗−1"));
    const std::string path = dir.File("顧客〜データ/店舗−1");
    EXPECT_EQ(ResolveSjisPath(SjisRoundTrip(path)), path);
    EXPECT_EQ(ResolveSjisPath(SjisRoundTrip(path) + "/新規"), path + "/新規");
    EXPECT_EQ(ResolveSjisPath("relative〜"), "relative〜");
    EXPECT_TRUE(SjisPathLeadsBack(path));
    std::filesystem::create_directories(dir.File("顧客～データ"));
    EXPECT_FALSE(SjisPathLeadsBack(path));
    EXPECT_EQ(ResolveSjisPath(SjisRoundTrip(path)), SjisRoundTrip(path));
}

TEST(GetDataFolder, FindsFoldersNamedWithEveryChangedCharacter) {
    TempDir install;
    std::filesystem::create_directories(install.File("Data/MyData"));
    for (const std::string& c : SjisChangedCharacters()) {
        const std::string folder = install.File("顧客データ" + c + "2024");
        std::filesystem::create_directories(folder);
        WriteBytes(install.File("Data/MyData/datadir.dat"), Utf8ToSjis(folder + "/"));
        EXPECT_EQ(GetDataFolder(install.Path()), folder) << c;
    }
}

TEST(SamePath, ByIdentityThenByNormalisedPath) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("data/sub"));
    std::filesystem::create_directory_symlink(dir.File("data"), dir.File("link"));
    WriteBytes(dir.File("data/a.mlv"), "x");
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {"data", "data/", true},
        {"data", "DATA", false},  // letter case names another folder
        {"data/a.mlv", "data/A.mlv", false},
        {"data", "data/sub/..", true},
        {"data", "link", true},
        {"data/a.mlv", "link/a.mlv", true},
        {"data", "data/sub", false},
        {"new", "new/", true},  // neither exists yet
        {"new", "data/../new", true},
        {"new", "link/../new", true},
        {"link/new", "data/new", true},
        {"new", "NEW", false},
        {"new", "data", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SamePath(dir.File(c.a), dir.File(c.b)), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(SamePath(dir.File(c.b), dir.File(c.a)), c.same) << c.b << " / " << c.a;
    }
    EXPECT_TRUE(SamePath("", ""));
    EXPECT_FALSE(SamePath("", dir.Path()));
}

TEST(EnsureFolder, AllResults) {
    TestPorts ports;
    TempDir dir;
    EXPECT_EQ(EnsureFolder(dir.Path(), false, false), 1);
    EXPECT_EQ(EnsureFolder(dir.File("a"), false, true), 0);
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(EnsureFolder(dir.File("a"), true, true), 3);
    EXPECT_FALSE(FolderExists(dir.File("a")));
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(EnsureFolder(dir.File("a/b/c"), true, true), 2);
    EXPECT_TRUE(FolderExists(dir.File("a/b/c")));
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "指定されたフォルダは存在しません。\nフォルダを作成しますか？");
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Question);
    EXPECT_EQ(EnsureFolder(dir.File("d"), true, false), 2);

    if (geteuid() != 0) {  // root ignores permissions
        chmod(dir.File("a").c_str(), 0500);
        ports.prompt.Clear();
        EXPECT_EQ(EnsureFolder(dir.File("a/x/y"), true, false), 4);
        EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"フォルダを作成できませんでした。"});
    }
    WriteBytes(dir.File("file"), "x");
    EXPECT_EQ(EnsureFolder(dir.File("file/sub"), true, false), 4);
}

TEST(FindFileInFolder, FilesOnlyWithExtension) {
    TempDir dir;
    std::string first;
    EXPECT_FALSE(FindFileInFolder(dir.Path(), "", &first));
    std::filesystem::create_directories(dir.File("sub.mlvdbu"));
    EXPECT_FALSE(FindFileInFolder(dir.Path(), "mlvdbu"));
    WriteBytes(dir.File("b.mlvdbu"), "");
    WriteBytes(dir.File("a.MLVDBU"), "");
    WriteBytes(dir.File("c.txt"), "");
    EXPECT_TRUE(FindFileInFolder(dir.Path(), "mlvdbu", &first));
    EXPECT_EQ(first, dir.File("a.MLVDBU"));
    EXPECT_FALSE(FindFileInFolder(dir.Path(), "jpg"));
    EXPECT_TRUE(FindFileInFolder(dir.Path(), "", &first));
    EXPECT_FALSE(FindFileInFolder(dir.File("missing"), ""));
}

TEST(CopyPictures, CopiesEveryFileOverwriting) {
    TempDir data, target;
    std::filesystem::create_directories(data.File("Picture/sub"));
    WriteBytes(data.File("Picture/1.jpg"), "new");
    WriteBytes(data.File("Picture/写真.bmp"), "b");
    WriteBytes(target.File("1.jpg"), "old");
    EXPECT_TRUE(CopyPictures(data.Path(), target.Path()).empty());
    EXPECT_EQ(ReadBytes(target.File("1.jpg")), "new");
    EXPECT_EQ(ReadBytes(target.File("写真.bmp")), "b");
    EXPECT_FALSE(std::filesystem::exists(target.File("sub")));
    auto failed = CopyPictures(data.Path(), target.File("missing"));
    EXPECT_EQ(failed.size(), 2u);
}

TEST(StartSibling, StartsWithSplitArgumentsWithoutWaiting) {
    TempDir install;
    std::filesystem::create_directories(install.File("exe"));
    std::string script = install.File("exe/echo.sh");
    WriteBytes(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > \"$(dirname \"$0\")/out.txt\"\n");
    chmod(script.c_str(), 0755);
    ASSERT_TRUE(StartSibling(install.Path(), "/exe/echo.sh", " /L:3 \"two words\""));
    // The sibling runs on its own; wait for its output file to appear complete.
    std::string out;
    for (int i = 0; i < 3000 && out.find("[two words]\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        out = ReadBytes(install.File("exe/out.txt"));
    }
    EXPECT_EQ(out, "[/L:3]\n[two words]\n");
    EXPECT_FALSE(StartSibling(install.Path(), "/exe/missing", ""));
}

}  // namespace
