#include "maintenance/FormBackup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "MaintenanceFixture.h"

namespace fs = std::filesystem;

namespace {

// "Milvane ｵﾘｼﾞﾅﾙﾌｫｰﾑﾊﾞｯｸｱｯﾌﾟ" in Shift-JIS.
const std::string kTitle = "Milvane " + Hex("B5 D8 BC DE C5 D9 CC AB B0 D1 CA DE AF B8 B1 AF CC DF");

struct FormFixture {
    TestPorts ports;
    TempDir install;
    CMilvaneDoc doc{install.Path()};
    CFormBackup forms{&doc, install.Path()};
    std::vector<std::string> remembered;  // folders asked about removability

    FormFixture() {
        fs::create_directories(install.File("Data/MyData"));
        fs::create_directories(install.File("Data/Org"));
        fs::create_directories(install.File("exe"));
        fs::create_directories(install.File("bk"));
        WriteBytes(install.File("Data/MyData/Original.dat"), "names: 3=見積書");
        WriteBytes(install.File("Data/Org/OrgNum.dat"), "N");
        WriteBytes(install.File("Data/Org/3.org"), "form three");
        forms.isRemovable = [this](const std::string& folder) {
            remembered.push_back(folder);
            return folder.find("media") != std::string::npos;
        };
    }
    std::string File() const { return install.File("bk/forms.mlvobu"); }
    std::map<std::string, std::string> Installed() { return TreeOf(install.File("Data")); }
};

}  // namespace

TEST(FormBackup, FileBytesLeaveOutMissingForms) {
    FormFixture f;
    ASSERT_TRUE(f.forms.WriteBackup(f.File(), {3, 5}));  // 5.org does not exist
    const std::string names = U32(25) + "\\Data\\MyData\\Original.dat" + U32(20) + "\\Data\\Org\\OrgNum.dat" + U32(15) +
                              "\\Data\\Org\\3.org";
    const std::string original = ReadBytes(f.install.File("Data/MyData/Original.dat"));
    const std::string contents = U32(uint32_t(original.size())) + original + U32(1) + "N" + U32(10) + "form three";
    const uint32_t total = uint32_t(kTitle.size() + 12 + names.size() + contents.size());
    EXPECT_EQ(ReadBytes(f.File()), kTitle + U32(1) + U32(total) + U32(3) + names + contents);
    EXPECT_FALSE(fs::exists(f.File() + ".mlvtmp"));
}

TEST(FormBackup, DiskFullTellsTheSizeAndKeepsTheOldFile) {
    FormFixture f;
    WriteBytes(f.File(), "an older backup");
    WriteBytes(f.install.File("Data/MyData/Original.dat"), "O");
    {
        FailingWrites failing(".mlvobu", ENOSPC);
        EXPECT_FALSE(f.forms.WriteBackup(f.File(), {}));
    }
    // title 26, header 12, two files: 8 + 25 + 1, 8 + 20 + 1.
    EXPECT_EQ(f.ports.prompt.Texts(),
              std::vector<std::string>{"ディスクの空き容量が足りないため、バックアップできませんでした。\nバックアップに必要な"
                                       "ディスク空き容量は 101 バイトです。"});
    EXPECT_EQ(ReadBytes(f.File()), "an older backup");
    EXPECT_FALSE(fs::exists(f.File() + ".mlvtmp"));
}

TEST(FormBackup, StoredPathsAccepted) {
    for (const char* good :
         {"\\Data\\MyData\\Original.dat", "\\Data\\Org\\OrgNum.dat", "\\Data\\Org\\12.org", "\\Data\\Org\\0.org"})
        EXPECT_TRUE(IsFormBackupPath(good)) << good;
    for (const char* bad : {"\\Data\\Org\\.org", "\\Data\\Org\\01.org", "\\Data\\Org\\..\\x.org",
                            "\\Data\\Org\\1\\2.org", "\\Data\\Org\\-1.org", "/Data/Org/1.org",
                            "\\Data\\MyData\\datadir.dat", "..", "\\Data\\Org\\12345678901.org"})
        EXPECT_FALSE(IsFormBackupPath(bad)) << bad;
}

TEST(FormBackup, CommandRefusesWithoutForms) {
    for (bool originalMissing : {false, true}) {
        FormFixture f;
        if (originalMissing) fs::remove(f.install.File("Data/MyData/Original.dat"));
        EXPECT_FALSE(f.forms.RunBackup(originalMissing ? std::vector<int>{3} : std::vector<int>{}));
        EXPECT_EQ(f.ports.prompt.Texts(), std::vector<std::string>{"オリジナルフォームがありません。"});
    }
    TestPorts ports;
    EXPECT_FALSE(CFormBackup(nullptr, "/nowhere").RunBackup({1}));
    EXPECT_FALSE(CFormBackup(nullptr, "/nowhere").RunRestore());
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"この操作を行うことはできません", "この操作を行うことはできません"}));
}

TEST(FormBackup, BadFilesChangeNothing) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string& good)> spoil;
        const char* message;
    } cases[] = {
        {"cut by one byte", [](const std::string& g) { return g.substr(0, g.size() - 1); },
         "このバックアップファイルは形式が不正です。"},
        {"another file", [](const std::string& g) { return "X" + g.substr(1); },
         "このファイルはMilvaneオリジナルフォームのバックアップファイルではありません。"},
        {"path leaves the installation",
         [](const std::string&) {
             const std::string name = "\\Data\\Org\\..\\..\\..\\x.org";
             const std::string body = U32(1) + U32(uint32_t(name.size())) + name + U32(4) + "evil";
             return kTitle + U32(1) + U32(uint32_t(kTitle.size() + 8 + body.size())) + body;
         },
         "このバックアップファイルは形式が不正です。"},
        {"second file runs short",
         [](const std::string& g) {
             // Keep the length field true to the shortened file: the contents themselves run out.
             std::string s = g.substr(0, g.size() - 3);
             return s.substr(0, kTitle.size() + 4) + U32(uint32_t(s.size())) + s.substr(kTitle.size() + 8);
         },
         "このバックアップファイルは形式が不正です。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormFixture f;
        ASSERT_TRUE(f.forms.WriteBackup(f.File(), {3}));
        WriteBytes(f.File(), c.spoil(ReadBytes(f.File())));
        WriteBytes(f.install.File("Data/Org/3.org"), "changed since");
        const auto before = f.Installed();
        EXPECT_FALSE(f.forms.RestoreFrom(f.File()));
        EXPECT_EQ(f.ports.prompt.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(f.Installed(), before);
        EXPECT_FALSE(fs::exists(f.install.File("x.org")));
    }
}

TEST(FormBackup, RemovableFolderIsNotRemembered) {
    FormFixture f;
    f.ports.profile.WriteString("", "OrgBup", "/home/someone/forms");
    fs::create_directories(f.install.File("media/usb"));
    const fs::path cwd = fs::current_path();
    f.forms.RememberFolder(f.install.File("media/usb/forms.mlvobu"));
    EXPECT_EQ(f.ports.profile.GetString("", "OrgBup", ""), "/home/someone/forms");
    EXPECT_EQ(fs::current_path(), fs::path(f.install.File("exe")));
    EXPECT_EQ(f.forms.StartFolder(), "/home/someone/forms");
    fs::current_path(cwd);

    f.forms.RememberFolder(f.install.File("bk/forms.mlvobu"));
    EXPECT_EQ(f.ports.profile.GetString("", "OrgBup", ""), f.install.File("bk"));
    EXPECT_EQ(f.remembered, (std::vector<std::string>{f.install.File("media/usb"), f.install.File("bk")}));
}
