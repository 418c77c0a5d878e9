// A full disk and other file errors, made at chosen files through the
// failure-point hook: the exact messages, and the outcome.
#include <gtest/gtest.h>

#include <filesystem>

#include "MaintenanceFixture.h"
#include "maintenance/DataBackup.h"
#include "maintenance/FormBackup.h"

namespace fs = std::filesystem;

TEST(DiskFull, DataBackupMessages) {
    struct Case {
        const char* part;
        int err;
        bool ok;
        std::vector<std::string> messages;
    } cases[] = {
        {".mlvdbu", ENOSPC, false,
         {"ディスクの空き容量が足りないため、データベースファイルのバックアップができませんでした。\nデータベースファイルの"
          "バックアップに必要なディスク容量はおよそ 80 バイトです。\n\n画像データを登録している場合はさらに空き容量が必要で"
          "す。"}},
        {".mlvpbu", ENOSPC, true,
         {"ディスクの空き容量が足りないため、バックアップできませんでした。",
          "画像データのバックアップができませんでした。\nデータのバックアップはできましたが、このデータを復元すると画像デー"
          "タの不整合が起こります。\n"}},
        {".mlvdbu", EACCES, false, {"<out>/b.mlvdbu の操作中にエラーが発生しました。\nアクセスが拒否されました。"}},
        {"Tantou.dat", EIO, false, {"バックアップ対象ファイルの読み込みに失敗しました。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.err));
        TestPorts ports;
        TempDir dir;
        fs::create_directories(dir.File("data/Picture"));
        fs::create_directories(dir.File("out"));
        WriteBytes(dir.File("data/MLVColSet.sys"), "AB");
        WriteBytes(dir.File("data/Tantou.dat"), "xyz");
        WriteBytes(dir.File("data/Picture/p.jpg"), "P");
        CMilvaneDoc doc(dir.Path());
        doc.DataDir = dir.File("data");
        bool ok = false;
        {
            FailingWrites failing(c.part, c.err);
            ok = CDataBackup(&doc).WriteBackup(dir.File("out"), "b");
        }
        EXPECT_EQ(ok, c.ok);
        std::vector<std::string> expected;
        for (std::string m : c.messages) {
            if (auto at = m.find("<out>"); at != std::string::npos) m.replace(at, 5, dir.File("out"));
            expected.push_back(m);
        }
        EXPECT_EQ(ports.prompt.Texts(), expected);
        if (c.ok) {  // the data backup stands, telling that no picture file goes with it
            const std::string b = ReadBytes(dir.File("out/b.mlvdbu"));
            EXPECT_EQ(b.substr(b.size() - 4), Hex("00000000"));
        }
    }
}

TEST(DiskFull, FormBackupTellsTheSizeAndKeepsTheOldFile) {
    TestPorts ports;
    TempDir install;
    fs::create_directories(install.File("Data/MyData"));
    fs::create_directories(install.File("Data/Org"));
    WriteBytes(install.File("Data/MyData/Original.dat"), "O");
    WriteBytes(install.File("forms.mlvobu"), "an older backup");
    CMilvaneDoc doc(install.Path());
    CFormBackup forms(&doc, install.Path());
    {
        FailingWrites failing(".mlvobu", ENOSPC);
        EXPECT_FALSE(forms.WriteBackup(install.File("forms.mlvobu"), {1}));
    }
    // title 26, header 12, one file: 8 + 25 + 1.
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"ディスクの空き容量が足りないため、バックアップできませんでした。\nバックアップに必要な"
                                       "ディスク空き容量は 72 バイトです。"});
    EXPECT_EQ(ReadBytes(install.File("forms.mlvobu")), "an older backup");
    EXPECT_FALSE(fs::exists(install.File("forms.mlvobu.mlvtmp")));
}
