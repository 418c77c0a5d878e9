// milvane-cli run as a process on a fresh installation, checked against the
// window's own operations run in this process on the same data.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/InstanceLock.h"
#include "app/IxenEnv.h"
#include "app/MilvaneApp.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/SjisText.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/Export.h"
#include "extract/ExCondition.h"
#include "maintenance/DataBackup.h"
#include "maintenance/SafeFile.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

const std::string kRunning = "『Milvane』は既に起動しています。";

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The members of a workbook; the moments of writing in its properties are
// blanked, everything else must match byte for byte.
std::map<std::string, std::string> WorkbookParts(const std::string& path) {
    std::map<std::string, std::string> parts;
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!z) return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st);
        std::string bytes(st.size, '\0');
        zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        zip_fread(f, bytes.data(), st.size);
        zip_fclose(f);
        parts[st.name] = std::regex_replace(bytes, std::regex("<dcterms:(created|modified)[^<]*</dcterms:\\w+>"), "");
    }
    zip_close(z);
    return parts;
}

struct Result {
    int status = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    TempDir dir;
    TestPorts ports;
    std::string install = dir.File("home");

    void SetUp() override {
        ASSERT_TRUE(PrepareInstallation(install, MILVANE_TEMPLATE_DIR));
        ASSERT_TRUE(fs::exists(DataDir() + "/QSMLV.mlv"));
    }

    std::string DataDir() const { return install + "/Data/MyData"; }

    Result Run(const std::vector<std::string>& args, const std::string& sessionDir = "s") {
        std::string cmd = "env MILVANE_HOME=" + Quote(install) + " MILVANE_SESSION_LOCK_DIR=" +
                          Quote(dir.File(sessionDir)) + " MILVANE_GLOBAL_LOCK_DIR=" + Quote(dir.File("g")) + " " +
                          Quote(MILVANE_CLI_PROGRAM);
        for (const std::string& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote(dir.File("out.txt")) + " 2>" + Quote(dir.File("err.txt")) + " </dev/null";
        Result r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = ReadBytes(dir.File("out.txt"));
        r.err = ReadBytes(dir.File("err.txt"));
        return r;
    }

    // The window's document on the data folder, database open, customers loaded.
    std::unique_ptr<CMilvaneDoc> OpenDoc() {
        auto doc = std::make_unique<CMilvaneDoc>(install);
        EXPECT_TRUE(doc->ReadDataDir());
        EXPECT_EQ(doc->Database().InitDB(doc->DataDir), 1);
        LoadDocumentCustomers(*doc);
        return doc;
    }

    void AddCustomers(const std::vector<std::string>& names) {
        auto doc = OpenDoc();
        for (const std::string& n : names) {
            CKokyaku k;
            k.Name = n;
            k.Yomi = "ﾃｽﾄ";
            k.Add1_Home = "東京都";
            ASSERT_GT(doc->Database().AddNewKokyaku(k), 0);
        }
        doc->Database().SaveMLV(true);
    }

    std::vector<std::string> Names() {
        auto doc = OpenDoc();
        std::vector<std::string> names;
        for (const auto& k : doc->KokyakuList) names.emplace_back(k->Name());
        doc->Database().SaveMLV(true);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(CliTest, UsageErrorsAndHelp) {
    struct Case {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{}, 2},
        {{"nosuch"}, 2},
        {{"--bogus", "check"}, 2},
        {{"backup"}, 2},
        {{"backup", "a", "b"}, 2},
        {{"export", "--format", "pdf", "x.pdf"}, 2},
        {{"export", "x.csv"}, 2},
        {{"import", "--format", "csv", "x.csv"}, 2},            // no map
        {{"import", "--format", "contactxml", "--map", "m", "x"}, 2},
        {{"import", "--format", "csv", "--map", "m", "--encoding", "latin1", "x"}, 2},
        {{"import", "--format", "xlsx", "--map", "m", "--encoding", "sjis", "x"}, 2},
        {{"export", "--format", "csv", "--encoding", "sjis", "x"}, 2},
        {{"check", "--map", "m"}, 2},                           // option of another command
        {{"check", "--csv"}, 2},
        {{"export", "--format"}, 2},                             // option without its value
        {{"check", "--help"}, 0},
        {{"--help"}, 0},
    };
    for (const Case& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.args) << r.err;
        EXPECT_NE((c.status == 0 ? r.out : r.err).find("使い方: milvane-cli"), std::string::npos);
    }
}

TEST_F(CliTest, CheckCountsAndWorksBesideTheWindow) {
    AddCustomers({"山田", "佐藤"});
    auto window = OpenDoc();  // holds the work file, as the running window does
    const Result r = Run({"check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("customers 2\nhistory 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("integrity ok\n"), std::string::npos);
    window->Database().SaveMLV(true);

    // --data names another folder; one without a database is refused.
    fs::create_directories(dir.File("empty"));
    const Result other = Run({"--data", dir.File("empty"), "check"});
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("データベースファイルの保存先にデータベースファイルが存在しないか"), std::string::npos);
}

TEST_F(CliTest, BackupsRestoreAcrossTheWindowAndTheProgram) {
    AddCustomers({"山田", "佐藤"});
    // The program's backup, restored by the window's code.
    ASSERT_EQ(Run({"backup", dir.File("cli-backup")}).status, 0);
    AddCustomers({"後から"});
    std::string backupFile;
    ASSERT_TRUE(FindFileInFolder(dir.File("cli-backup"), "mlvdbu", &backupFile));
    {
        auto doc = OpenDoc();
        ASSERT_EQ(doc->Database().SaveMLV(true), 1);
        EXPECT_TRUE(CDataBackup(doc.get()).RestoreFrom(backupFile));
        doc->Database().SaveMLV(true);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤", "山田"}));

    // The window's backup, restored by the program, which wants --yes.
    {
        auto doc = OpenDoc();
        fs::create_directories(dir.File("win-backup"));
        ASSERT_TRUE(CDataBackup(doc.get()).WriteBackup(dir.File("win-backup"), "w"));
        doc->Database().SaveMLV(true);
    }
    AddCustomers({"後から"});
    const Result refused = Run({"restore", dir.File("win-backup/w.mlvdbu")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("本当に復元してよろしいですか？"), std::string::npos);
    EXPECT_NE(refused.err.find("→ いいえ"), std::string::npos);
    EXPECT_EQ(Names().size(), 3u);
    const Result restored = Run({"--yes", "restore", dir.File("win-backup/w.mlvdbu")});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_NE(restored.err.find("データの復元は終了しました。"), std::string::npos);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤", "山田"}));
}

TEST_F(CliTest, RestoreOfADamagedDatabaseKeepsTheData) {
    AddCustomers({"山田", "佐藤"});
    ASSERT_EQ(Run({"backup", dir.File("bk")}).status, 0);
    std::string backupFile;
    ASSERT_TRUE(FindFileInFolder(dir.File("bk"), "mlvdbu", &backupFile));
    std::string bytes = ReadBytes(backupFile);
    const std::size_t at = bytes.find(std::string("SQLite format 3\0", 16));
    ASSERT_NE(at, std::string::npos);
    WriteBytes(backupFile, bytes.replace(at, 16, 16, 'X'));  // the lengths stay as they were
    AddCustomers({"後から"});
    const std::string before = ReadBytes(DataDir() + "/QSMLV.mlv");

    const Result r = Run({"--yes", "restore", backupFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("バックアップファイルの形式が不正です。\n復元ができませんでした。"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("復元後のデータベース"), std::string::npos);
    EXPECT_EQ(Names(), (std::vector<std::string>{"佐藤", "山田", "後から"}));
    EXPECT_EQ(Run({"check"}).status, 0);
    EXPECT_FALSE(fs::exists(DataDir() + "/MLVStage"));
    EXPECT_FALSE(fs::exists(DataDir() + "/BupTmp"));
    EXPECT_EQ(before.size(), ReadBytes(DataDir() + "/QSMLV.mlv").size());
}

TEST_F(CliTest, ReadingCommandsLeaveDamagedSettingsAsTheyAre) {
    AddCustomers({"山田"});
    const std::string damaged = std::string("\x01\x00\xFF\xFF\x01\x00", 6);
    WriteBytes(dir.File("map.txt"), "1 = Name\n");
    WriteBytes(dir.File("in.csv"), "氏名\r\n田中\r\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        bool repaired;
    } cases[] = {
        {{"export", "--format", "csv", dir.File("a.csv")}, 1, false},
        {{"--yes", "export", "--format", "csv", dir.File("b.csv")}, 1, false},  // --yes is for the output file
        {{"check"}, 0, false},
        {{"import", "--format", "csv", "--map", dir.File("map.txt"), dir.File("in.csv")}, 1, false},
        {{"--yes", "import", "--format", "csv", "--map", dir.File("map.txt"), dir.File("in.csv")}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
        for (const char* f : {"MLVColSet.sys", "Tantou.dat"}) WriteBytes(DataDir() + "/" + f, damaged);
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(ReadBytes(DataDir() + "/MLVColSet.sys") != damaged, c.repaired);
        EXPECT_EQ(ReadBytes(DataDir() + "/Tantou.dat"), damaged);  // none of them reads the staff list
        if (c.status == 1) {
            EXPECT_NE(r.err.find("設定ファイル<" + DataDir() + "/MLVColSet.sys>を読み込めません。"), std::string::npos)
                << r.err;
        }
    }
}

TEST_F(CliTest, ReadingCommandsFinishAnInterruptedRestoreOrRefuse) {
    AddCustomers({"山田"});
    ASSERT_EQ(Run({"backup", dir.File("bk")}).status, 0);
    std::string backupFile;
    ASSERT_TRUE(FindFileInFolder(dir.File("bk"), "mlvdbu", &backupFile));
    AddCustomers({"後から"});
    {
        // A restore that committed but could not move its files in: the state a kill leaves.
        auto doc = OpenDoc();
        ASSERT_EQ(doc->Database().SaveMLV(true), 1);
        mfs::SetFailPointHook([](const char* op, const std::string& path) {
            const bool staged = path.find("MLVStage/") != std::string::npos && path.find("Commit") == std::string::npos;
            return std::string(op) == "rename" && staged ? EIO : 0;
        });
        EXPECT_FALSE(CDataBackup(doc.get()).RestoreFrom(backupFile));
        mfs::SetFailPointHook(nullptr);
        ASSERT_TRUE(fs::exists(DataDir() + "/MLVStage/Commit.dat"));
    }
    {
        CInstanceLocks window(dir.File("s"), dir.File("g"));
        ASSERT_TRUE(window.AcquireSession());
        ASSERT_TRUE(window.AcquireGlobal());
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"check"}, {"export", "--format", "csv", dir.File("x.csv")}}) {
            const Result r = Run(args);
            EXPECT_EQ(r.status, 1) << args[0];
            EXPECT_NE(r.err.find("データの復元が完了していないため、データを読み込めません。"), std::string::npos) << r.err;
        }
        EXPECT_TRUE(fs::exists(DataDir() + "/MLVStage/Commit.dat"));
        EXPECT_FALSE(fs::exists(dir.File("x.csv")));
    }
    const Result r = Run({"check"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("customers 1\n"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(DataDir() + "/MLVStage"));
    EXPECT_EQ(Names(), std::vector<std::string>{"山田"});
}

TEST_F(CliTest, ExportEqualsTheWindowsExport) {
    AddCustomers({"山田", "佐藤", "鈴木"});
    {
        // A saved condition of one customer.
        CExtract saved(install);
        ASSERT_TRUE(saved.Load());
        CExCondition c;
        c.ConditionName = "山田さん";
        c.QueryText = "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] Like '山田%'";
        ASSERT_TRUE(saved.Append(c));
    }
    struct Case {
        const char* format;
        int formatIndex;  // in WritableFormats()
        const char* extract;
    } cases[] = {{"csv", 1, nullptr}, {"csv", 1, "山田さん"}, {"xlsx", 0, nullptr}, {"contactxml", 2, nullptr}};
    const std::map<std::string, std::pair<std::string, std::string>> kFormat = {
        {"csv", {"text", ".csv"}}, {"xlsx", {"workbook", ".xlsx"}}, {"contactxml", {"contactxml", ".xml"}}};
    auto same = [](const std::string& format, const std::string& a, const std::string& b) {
        if (format != "xlsx") return ReadBytes(a) == ReadBytes(b);
        const auto parts = WorkbookParts(a);
        return parts.size() > 3 && parts == WorkbookParts(b);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(WritableFormats()[c.formatIndex]->Name(), kFormat.at(c.format).first);
        const std::string ext = kFormat.at(c.format).second;
        const std::string cliFile = dir.File(std::string("cli-") + c.format + (c.extract ? "-x" : "") + ext);
        const std::string winFile = dir.File(std::string("win-") + c.format + (c.extract ? "-x" : "") + ext);
        std::vector<std::string> args = {"export", "--format", c.format, cliFile};
        if (c.extract) args.insert(args.begin() + 3, {"--extract", c.extract});
        const Result r = Run(args);
        ASSERT_EQ(r.status, 0) << r.err;

        auto doc = OpenDoc();
        std::vector<const CKokyaku*> selected;
        for (const auto& k : doc->KokyakuList)
            if (!c.extract || k->Name() == "山田") selected.push_back(k->Record());
        CExportDialogs dialogs;
        dialogs.chooseFormat = [&] { return std::optional<int>(c.formatIndex); };
        dialogs.chooseColumns = [&]() -> std::optional<std::vector<CMLVCol>> {
            CExportColumnsModel model(install);
            model.Open();
            model.AddAll();
            return model.Chosen();
        };
        ports.prompt.QueueAnswer(Answer::Yes);
        ports.prompt.QueueChoice(winFile);
        ASSERT_EQ(ExportCustomers(selected, doc->PictureFolder(), dialogs), 1);
        doc->Database().SaveMLV(true);
        EXPECT_TRUE(same(c.format, cliFile, winFile));
        EXPECT_NE(r.err.find("書き出しを完了しました。"), std::string::npos);

        // An existing file is kept unless --yes.
        WriteBytes(cliFile, "old");
        EXPECT_EQ(Run(args).status, 1);
        EXPECT_EQ(ReadBytes(cliFile), "old");
        args.insert(args.begin(), "--yes");
        EXPECT_EQ(Run(args).status, 0);
        EXPECT_TRUE(same(c.format, cliFile, winFile));
    }

    const Result keys = Run({"extract", "山田さん"});
    EXPECT_EQ(keys.status, 0);
    EXPECT_EQ(keys.out, "1\n");
    // The CSV of an extraction is the text export of its customers.
    EXPECT_EQ(Run({"extract", "山田さん", "--csv"}).out, ReadBytes(dir.File("cli-csv-x.csv")));
    const Result missing = Run({"extract", "ない条件"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("ない条件"), std::string::npos);
}

TEST_F(CliTest, ImportAddsMappedRowsAndMalformedFilesAddNothing) {
    AddCustomers({"既存"});
    WriteBytes(dir.File("map.txt"),
               "# 見出しと番号で\n\"氏名\" = Name\n3 = Add3_Home\nB = Yomi\n");
    WriteBytes(dir.File("good.csv"), "氏名,ﾌﾘｶﾞﾅ,住所\r\n田中,ﾀﾅｶ,大阪府\r\n中村,ﾅｶﾑﾗ,京都府\r\n");
    const Result ok = Run({"import", "--format", "csv", "--map", dir.File("map.txt"), dir.File("good.csv")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(Names(), (std::vector<std::string>{"中村", "既存", "田中"}));

    struct Case {
        const char* name;
        std::string file, map;
        int status;
        const char* message;
    } cases[] = {
        {"open quote", "氏名\r\n\"田中\r\n", "1 = Name\n", 1, nullptr},
        {"uneven rows", "a,b\r\nc\r\n", "1 = Name\n", 1, nullptr},
        {"no data rows", "氏名\r\n", "1 = Name\n", 1, "読み込む顧客データがありません"},
        {"column outside", "氏名\r\n田中\r\n", "5 = Name\n", 1, "列 5 がありません"},
        {"unknown field", "氏名\r\n田中\r\n", "1 = NoSuchField\n", 2, "読み込める項目名ではありません"},
        {"field twice", "氏名\r\n田中\r\n", "1 = Name\n2 = Name\n", 2, "対応づけ済み"},
        {"no name without --yes", "住所\r\n大阪\r\n", "1 = Add3_Home\n", 1, "このまま処理を進めてもよろしいですか？\n→ いいえ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.File("bad.csv"), c.file);
        WriteBytes(dir.File("bad-map.txt"), c.map);
        const Result r = Run({"import", "--format", "csv", "--map", dir.File("bad-map.txt"), dir.File("bad.csv")});
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.message) {
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        }
        EXPECT_EQ(Names().size(), 3u);
    }
}

// A Shift-JIS file of half-width katakana pairs is valid UTF-8 by accident:
// detection reads it as Shift-JIS, and --encoding overrides it.
TEST_F(CliTest, ImportEncodingIsDetectedOrChosen) {
    WriteBytes(dir.File("map.txt"), "1 = Name\n2 = Yomi\nfirst-row = data\n");
    struct Case {
        std::vector<std::string> option;
        std::string yomi;
    } cases[] = {
        {{}, "ﾐｷ"},
        {{"--encoding", "auto"}, "ﾐｷ"},
        {{"--encoding=sjis"}, "ﾐｷ"},
        {{"--encoding", "utf8"}, "з"},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.option));
        WriteBytes(dir.File("in.csv"), Utf8ToSjis("0001,ﾐｷ\r\n"));
        std::vector<std::string> args = {"import", "--format", "csv", "--map", dir.File("map.txt")};
        args.insert(args.end(), c.option.begin(), c.option.end());
        args.push_back(dir.File("in.csv"));
        const Result r = Run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        expected.push_back(c.yomi);
        std::sort(expected.begin(), expected.end());
        auto doc = OpenDoc();
        std::vector<std::string> yomi;
        for (const auto& k : doc->KokyakuList) yomi.push_back(k->Record()->Yomi);
        std::sort(yomi.begin(), yomi.end());
        EXPECT_EQ(yomi, expected);
        doc->Database().SaveMLV(true);
    }
}

TEST_F(CliTest, ChangingCommandsRefuseWhileTheWindowHoldsTheLocks) {
    AddCustomers({"山田"});
    WriteBytes(dir.File("map.txt"), "1 = Name\n");
    WriteBytes(dir.File("in.csv"), "氏名\r\n田中\r\n");
    ASSERT_EQ(Run({"backup", dir.File("b0")}).status, 0);
    std::string backupFile;
    ASSERT_TRUE(FindFileInFolder(dir.File("b0"), "mlvdbu", &backupFile));

    // The window in this session, and the window of this user in another session.
    for (const char* windowSession : {"s", "other-session"}) {
        SCOPED_TRACE(windowSession);
        CInstanceLocks window(dir.File(windowSession), dir.File("g"));
        ASSERT_TRUE(window.AcquireSession());
        ASSERT_TRUE(window.AcquireGlobal());
        auto doc = OpenDoc();  // the window's open database
        const auto before = fs::last_write_time(DataDir() + "/QSMLV.mlv");
        const std::vector<std::vector<std::string>> changing = {
            {"backup", dir.File("b1")},
            {"--yes", "restore", backupFile},
            {"import", "--format", "csv", "--map", dir.File("map.txt"), dir.File("in.csv")},
        };
        for (const auto& args : changing) {
            const Result r = Run(args);
            EXPECT_EQ(r.status, 1) << args[0];
            EXPECT_EQ(r.err, kRunning + "\n");
        }
        EXPECT_FALSE(fs::exists(dir.File("b1")));
        EXPECT_TRUE(fs::exists(DataDir() + "/" + kWorkFileName));
        EXPECT_EQ(fs::last_write_time(DataDir() + "/QSMLV.mlv"), before);
        CKokyakuList list;
        doc->Database().GetAllKokyaku(list);
        EXPECT_EQ(list.size(), 1u);

        // Reading still works.
        EXPECT_EQ(Run({"check"}).status, 0);
        EXPECT_EQ(Run({"export", "--format", "csv", "--yes", dir.File("x.csv")}).status, 0);
        doc->Database().SaveMLV(true);
    }
    // With the window gone the program works again.
    EXPECT_EQ(Run({"import", "--format", "csv", "--map", dir.File("map.txt"), dir.File("in.csv")}).status, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"山田", "田中"}));
}

// Damaged workbooks that once ended the program: each import ends with the
// message of an unreadable file, the program closes its data as usual, and
// the data is as it was.
TEST_F(CliTest, DamagedWorkbooksEndTheImportNotTheProgram) {
    AddCustomers({"山田"});
    WriteBytes(dir.File("map.txt"), "1 = Name\n");
    for (const DamagedWorkbook& c : kDamagedWorkbooks) {
        SCOPED_TRACE(c.file);
        const Result r =
            Run({"import", "--format", "xlsx", "--map", dir.File("map.txt"), Fixture(std::string("damaged/") + c.file)});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(DataDir() + "/" + kWorkFileName));
        EXPECT_EQ(Names(), std::vector<std::string>{"山田"});
    }
    EXPECT_EQ(Run({"check"}).status, 0);
}

}  // namespace
