// milvane-cli: the register's routine work without the window. Every command
// runs the core operation the window runs; the questions of those operations
// are answered from the options and their messages go to standard error.
//
// Exit status: 0 done, 1 refused or failed, 2 usage error.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "CliPorts.h"
#include "ImportMap.h"
#include "app/InstanceLock.h"
#include "app/IxenEnv.h"
#include "app/MilvaneApp.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Archive.h"
#include "common/Folders.h"
#include "customers/DefaultSort.h"
#include "customers/Kokyaku.h"
#include "exchange/Export.h"
#include "exchange/Formats.h"
#include "exchange/Import.h"
#include "exchange/TextImport.h"
#include "extract/ExCondition.h"
#include "extract/ExtractDlgLogic.h"
#include "history/RirekiData.h"
#include "maintenance/DataBackup.h"
#include "maintenance/SafeFile.h"
#include "maintenance/StagedReplace.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kUsageTold = -2;  // a usage error whose message was shown

const char* const kUsageText =
    "使い方: milvane-cli [--data FOLDER] [--yes] COMMAND [ARGS]\n"
    "\n"
    "  backup FOLDER                  データをバックアップする (空のフォルダ、なければ作る)\n"
    "  restore FILE.mlvdbu            バックアップから復元する (--yes が必要)\n"
    "  export --format csv|xlsx|contactxml [--extract NAME] [--columns F1,F2,...] FILE\n"
    "                                 顧客を書き出す\n"
    "  import --format csv|xlsx --map MAPFILE [--encoding sjis|utf8|auto] FILE\n"
    "                                 顧客を読み込む (MAPFILE: docs/import-map.md)\n"
    "  extract NAME [--csv]           保存した抽出条件の顧客の番号 (--csv: 書き出しと同じ形式) を出力する\n"
    "  check                          データベースを検査し、件数を出力する\n"
    "\n"
    "  --data FOLDER   datadir.dat の代わりに使うデータフォルダ\n"
    "  --yes           確認にすべて「はい」で答える (上書き、復元など)\n"
    "  COMMAND --help  コマンドの説明\n"
    "\n"
    "終了コード: 0 成功, 1 中止または失敗, 2 使い方の誤り\n";

struct CommandHelp {
    const char* name;
    const char* text;
};

const CommandHelp kHelp[] = {
    {"backup",
     "使い方: milvane-cli [--data FOLDER] backup FOLDER\n"
     "データフォルダのデータと画像を FOLDER にバックアップします。FOLDER は空のフォルダで、\n"
     "なければ作られます。ウィンドウが動いている間は使えません (データベースを保存するため)。\n"},
    {"restore",
     "使い方: milvane-cli [--data FOLDER] --yes restore FILE.mlvdbu\n"
     "バックアップファイルから復元します。現在のデータは失われるため --yes が必要です。\n"
     "画像のバックアップ (FILE_1.mlvpbu ...) は同じフォルダから読まれます。\n"},
    {"export",
     "使い方: milvane-cli [--data FOLDER] [--yes] export --format csv|xlsx|contactxml\n"
     "                   [--extract NAME] [--columns F1,F2,...] FILE\n"
     "全顧客 (--extract: 保存した抽出条件の顧客) を既定の並び順で FILE に書き出します。\n"
     "--columns は項目名 (顧客項目表の名前) の並び、既定は書き出せるすべての列です。\n"
     "既存の FILE は --yes のときだけ置き換えます。ウィンドウが動いていても使えます。\n"},
    {"import",
     "使い方: milvane-cli [--data FOLDER] [--yes] import --format csv|xlsx --map MAPFILE\n"
     "                   [--encoding sjis|utf8|auto] FILE\n"
     "テキストファイルまたはブックの顧客を追加します。MAPFILE は列と項目名の対応です\n"
     "(docs/import-map.md)。--encoding はテキストファイルの文字コードで、既定の auto は\n"
     "ファイルから判定します (バイト順マークがあれば UTF-8、なければ日本語として自然な方、\n"
     "決め手がなければ Shift-JIS)。ウィンドウが動いている間は使えません。\n"},
    {"extract",
     "使い方: milvane-cli [--data FOLDER] extract NAME [--csv]\n"
     "MLVExtract.sys に保存した抽出条件 NAME を実行し、顧客の番号を 1 行に 1 つ出力します。\n"
     "--csv では顧客を書き出しのテキスト形式 (Shift-JIS, CR LF) で出力します。\n"},
    {"check",
     "使い方: milvane-cli [--data FOLDER] check\n"
     "データベースの整合性を検査し、顧客、履歴、DM、DM対象、画像の件数を出力します。\n"
     "問題があれば終了コードは 1 です。\n"},
};

const char* HelpOf(const std::string& command) {
    for (const CommandHelp& h : kHelp)
        if (command == h.name) return h.text;
    return nullptr;
}

// ---------------------------------------------------------------- command line

struct Args {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // --format, --map, --encoding, --extract, --columns, --data
    bool yes = false;
    bool help = false;
    bool csv = false;
};

// Options that take a value, and the commands that accept each option.
const std::map<std::string, std::vector<std::string>> kValueOptions = {
    {"--data", {}}, {"--format", {"export", "import"}}, {"--map", {"import"}}, {"--encoding", {"import"}},
    {"--extract", {"export"}}, {"--columns", {"export"}}};

// The values of import's --encoding; nullopt detects the encoding.
const std::map<std::string, std::optional<TextEncoding>> kEncodings = {
    {"auto", std::nullopt}, {"sjis", TextEncoding::Sjis}, {"utf8", TextEncoding::Utf8}};

std::optional<Args> Parse(int argc, char** argv, std::string& error) {
    Args a;
    for (int i = 1; i < argc; ++i) {
        std::string s = argv[i];
        std::string value;
        bool hasValue = false;
        if (s.rfind("--", 0) == 0 && s.find('=') != std::string::npos) {
            value = s.substr(s.find('=') + 1);
            s = s.substr(0, s.find('='));
            hasValue = true;
        }
        if (s == "--yes" || s == "-y") a.yes = true;
        else if (s == "--help" || s == "-h") a.help = true;
        else if (s == "--csv") a.csv = true;
        else if (kValueOptions.count(s)) {
            if (!hasValue) {
                if (i + 1 >= argc) {
                    error = s + " には値が必要です";
                    return std::nullopt;
                }
                value = argv[++i];
            }
            a.values[s] = value;
        } else if (s.size() > 1 && s[0] == '-') {
            error = "不明なオプションです: " + s;
            return std::nullopt;
        } else if (a.command.empty()) {
            a.command = s;
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

// ---------------------------------------------------------------- the session

bool g_yes = false;  // --yes given

class CSession {
public:
    CSession() = default;
    ~CSession() {
        if (m_doc) {
            if (m_changing) m_doc->Database().SaveMLV(true);
            m_doc->ClearData();
        }
        m_locks.Release();
    }

    // Finds the data folder and opens the database: a changing command takes
    // the locks as the window does and opens the database as start-up does;
    // a reading command opens it read-only and takes no lock.
    bool Open(bool changing) {
        m_changing = changing;
        // Only a changing command given --yes may rewrite a damaged settings file.
        AllowSettingsRepair(changing && g_yes);
        m_doc = std::make_unique<CMilvaneDoc>(CIxenEnv::InstallDir());
        m_doc->OnNewDocument();  // a missing folder is told; the folder chooser answers Cancel
        if (!FileExists(JoinPath(m_doc->DataDir, kDatabaseFileName))) return false;
        if (!changing) {
            // A restore killed after its commit is finished first, unless someone holds the data.
            const bool readable = FinishCommittedBeforeReading(m_doc->DataDir, [this] {
                return m_locks.AcquireExclusive() == CInstanceLocks::Exclusive::Held;
            });
            m_locks.Release();
            if (!readable) return false;
            if (m_doc->Database().InitDBFromPath(JoinPath(m_doc->DataDir, kDatabaseFileName), true) != 1) {
                ShowMessage("データベースを開けませんでした。");
                return false;
            }
            return true;
        }
        switch (m_locks.AcquireExclusive()) {
        case CInstanceLocks::Exclusive::Running: ShowMessage(kAlreadyRunningMessage, MsgIcon::Information); return false;
        case CInstanceLocks::Exclusive::OtherUser: ShowMessage(kOtherUserMessage); return false;
        case CInstanceLocks::Exclusive::Held: break;
        }
        return OpenDocumentDatabase(*m_doc) && m_doc->Database().IsOpen();
    }

    CMilvaneDoc& Doc() { return *m_doc; }
    std::string InstallDir() const { return m_doc->InstallDir(); }

private:
    std::unique_ptr<CMilvaneDoc> m_doc;
    CInstanceLocks m_locks;
    bool m_changing = false;
};

// The customers of a saved extraction, in the order the customer list shows
// them; nullopt after a message.
std::optional<CKokyakuList> ExtractedCustomers(CSession& session, const std::string& name) {
    CMilvaneDoc& doc = session.Doc();
    CExtract saved(session.InstallDir());
    if (!saved.Load()) {
        ShowMessage(kFileErrorMessage);
        return std::nullopt;
    }
    const CExCondition* condition = nullptr;
    for (const CExCondition& c : saved.Conditions)
        if (c.ConditionName == name) condition = &c;
    if (!condition) {
        ShowMessage("抽出条件 <" + name + "> は保存されていません。");
        return std::nullopt;
    }
    if (!RunExtraction(doc, *condition, true)) return std::nullopt;
    std::vector<uint32_t> keys;
    if (condition->ResultKind == 1) {
        std::unordered_set<int32_t> seen;
        CRirekiData r;
        for (const CRirekiKey& entry : doc.RirekiList)
            if (doc.Database().GetRireki(entry.ID, r) == 1 && seen.insert(r.CustomerID).second)
                keys.push_back(static_cast<uint32_t>(r.CustomerID));
    } else {
        keys = doc.ExtractKeys;
    }
    CKokyakuList out;
    if (!doc.ReadListedCustomers(keys, out)) return std::nullopt;
    return out;
}

// The export columns: the named fields in order, or every exportable column.
std::optional<std::vector<CMLVCol>> ChooseColumns(const std::string& installDir, const std::string& names) {
    CExportColumnsModel model(installDir);
    if (!model.Open()) return std::nullopt;
    if (names.empty()) {
        model.AddAll();
    } else {
        std::size_t pos = 0;
        while (pos <= names.size()) {
            std::size_t end = names.find(',', pos);
            if (end == std::string::npos) end = names.size();
            const std::string name = names.substr(pos, end - pos);
            pos = end + 1;
            const auto& available = model.Available();
            int index = -1;
            for (std::size_t i = 0; i < available.size(); ++i)
                if (available[i].fieldName == name) index = static_cast<int>(i);
            if (index < 0) {
                ShowMessage("書き出せる列ではありません: " + name);
                return std::nullopt;
            }
            model.Add(index);
        }
    }
    if (!model.Ok()) return std::nullopt;
    return model.Chosen();
}

// ---------------------------------------------------------------- commands

int Backup(CCliPrompt& prompt, const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    CSession session;
    if (!session.Open(true)) return kFailed;
    CDataBackup backup(&session.Doc());
    bool asked = false;
    const std::string folder = a.positional[0];
    backup.chooseFolderName = [&](const std::string&, const std::string&,
                                  const std::string&) -> std::optional<std::string> {
        if (asked) return std::nullopt;  // the folder was refused
        asked = true;
        return folder;
    };
    return backup.RunBackup() ? kDone : kFailed;
}

int Restore(CCliPrompt& prompt, const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    const std::string file = a.positional[0];
    if (!FileExists(file)) {
        ShowMessage("バックアップファイルがありません: " + file);
        return kFailed;
    }
    CSession session;
    if (!session.Open(true)) return kFailed;
    return CDataBackup(&session.Doc()).RunRestore(file) ? kDone : kFailed;
}

int Export(CCliPrompt& prompt, const Args& a) {
    static const std::map<std::string, const char*> kFormats = {
        {"csv", "text"}, {"xlsx", "workbook"}, {"contactxml", "contactxml"}};
    if (a.positional.size() != 1 || !a.values.count("--format") || !kFormats.count(a.values.at("--format")))
        return kUsage;
    const std::vector<CExchangeFormat*> writable = WritableFormats();
    int formatIndex = -1;
    for (std::size_t i = 0; i < writable.size(); ++i)
        if (std::string(writable[i]->Name()) == kFormats.at(a.values.at("--format"))) formatIndex = static_cast<int>(i);
    if (formatIndex < 0) return kUsage;
    const std::string target = writable[static_cast<std::size_t>(formatIndex)]->WithDefaultExtension(a.positional[0]);
    if (FileExists(target) && !prompt.Yes()) {
        ShowMessage(target + " は既にあります。置き換えるには --yes を指定してください。");
        return kFailed;
    }

    CSession session;
    if (!session.Open(false)) return kFailed;
    CExportDialogs dialogs;
    dialogs.chooseFormat = [formatIndex]() -> std::optional<int> { return formatIndex; };
    const std::string installDir = session.InstallDir();
    const std::string columns = a.values.count("--columns") ? a.values.at("--columns") : std::string();
    dialogs.chooseColumns = [&]() { return ChooseColumns(installDir, columns); };
    prompt.saveFile = a.positional[0];
    const std::string pictures = session.Doc().PictureFolder();
    if (a.values.count("--extract")) {
        LoadDocumentCustomers(session.Doc());
        auto extracted = ExtractedCustomers(session, a.values.at("--extract"));
        if (!extracted) return kFailed;
        return ExportCustomers(RecordPointers(*extracted), pictures, dialogs) == 1 ? kDone : kFailed;
    }
    // Every customer, in the list's order, read one at a time.
    CMilvaneData& db = session.Doc().Database();
    CMilvaneData::RecordCounts counts;
    std::unique_ptr<IKokyakuCursor> cursor;
    if (db.CountRecords(counts) == 1) cursor = db.OpenKokyakuCursor(CDefaultSort(session.Doc().DataDir).GetOrderText());
    if (!cursor) {
        ShowMessage("顧客データの取得に失敗しました。\n顧客データを表示できません。\n");
        return kFailed;
    }
    return ExportCustomers(*cursor, static_cast<std::size_t>(counts.customers), pictures, dialogs) == 1 ? kDone
                                                                                                       : kFailed;
}

int Import(CCliPrompt& prompt, const Args& a) {
    static const std::map<std::string, const char*> kFormats = {{"csv", "text"}, {"xlsx", "workbook"}};
    if (a.positional.size() != 1 || !a.values.count("--format") || !kFormats.count(a.values.at("--format")) ||
        !a.values.count("--map"))
        return kUsage;
    const std::optional<TextEncoding> encoding =
        a.values.count("--encoding") ? kEncodings.at(a.values.at("--encoding")) : std::nullopt;
    const std::string mapPath = a.values.at("--map");
    std::string mapText;
    if (!ReadWholeFile(mapPath, mapText)) {
        ShowMessage("対応付けファイルを読めません: " + mapPath);
        return kUsageTold;
    }
    std::string error;
    const std::optional<ImportMap> map = ParseImportMap(mapText, error);
    if (!map) {
        ShowMessage(mapPath + " " + error);
        return kUsageTold;
    }
    int source = -1;
    const auto formats = ExchangeFormats();
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (std::string(formats[i]->Name()) == kFormats.at(a.values.at("--format"))) source = static_cast<int>(i);

    CSession session;
    if (!session.Open(true)) return kFailed;
    CMilvaneData& db = session.Doc().Database();
    if (db.SaveMLV(false) != 1) {
        ShowMessage(kImportSaveFailed);
        return kFailed;
    }
    CImportDialogs dialogs;
    dialogs.chooseSource = [source]() -> std::optional<int> { return source; };
    dialogs.textFormat = [&](std::string_view bytes) -> std::optional<TextFormat> {
        return TextFormat{map->delimiter, encoding ? *encoding : DetectTextEncoding(bytes)};
    };
    dialogs.chooseSheet = [&](const std::vector<std::string>& names) -> std::optional<std::size_t> {
        if (map->sheet.empty()) return names.empty() ? std::nullopt : std::optional<std::size_t>(0);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == map->sheet) return i;
        ShowMessage("シート <" + map->sheet + "> がありません。");
        return std::nullopt;
    };
    dialogs.mapColumns = [&](CImportMapModel& model) {
        std::string why;
        if (ApplyImportMap(*map, model, why)) return true;
        if (!why.empty()) ShowMessage(mapPath + ": " + why);
        return false;
    };
    prompt.openFile = a.positional[0];
    const int added = ImportCustomersWithCatalogue(
        session.InstallDir(), dialogs,
        [&db](CKokyakuList& records, CKeyArray& refused) { return db.AddNewKokyaku(records, refused); },
        session.Doc().PictureFolder());
    return added == 1 ? kDone : kFailed;
}

int Extract(CCliPrompt& prompt, const Args& a) {
    if (a.positional.size() != 1) return kUsage;
    CSession session;
    if (!session.Open(false)) return kFailed;
    LoadDocumentCustomers(session.Doc());
    auto customers = ExtractedCustomers(session, a.positional[0]);
    if (!customers) return kFailed;
    std::string out;
    if (a.csv) {
        auto columns = ChooseColumns(session.InstallDir(), std::string());
        if (!columns) return kFailed;
        out = TextFileBytes(BuildExportTable(RecordPointers(*customers), *columns));
    } else {
        for (const auto& k : *customers) out += std::to_string(k->ID) + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? kDone : kFailed;
}

int Check(CCliPrompt& prompt, const Args& a) {
    if (!a.positional.empty()) return kUsage;
    CSession session;
    if (!session.Open(false)) return kFailed;
    CMilvaneData& db = session.Doc().Database();
    std::vector<std::string> problems;
    const int sound = db.IntegrityCheck(problems);
    CMilvaneData::RecordCounts counts;
    if (sound < 0 || db.CountRecords(counts) != 1) {
        ShowMessage("データベースを検査できませんでした。");
        return kFailed;
    }
    const std::size_t pictures = mfs::ListFiles(session.Doc().PictureFolder()).size();
    std::printf("data %s\ncustomers %lld\nhistory %lld\ndm-titles %lld\ndm-targets %lld\npictures %zu\n",
                session.Doc().DataDir.c_str(), counts.customers, counts.history, counts.dmTitles, counts.dmTargets,
                pictures);
    for (const std::string& p : problems) std::printf("problem %s\n", p.c_str());
    std::printf("integrity %s\n", sound == 1 ? "ok" : "damaged");
    std::fflush(stdout);
    return sound == 1 ? kDone : kFailed;
}

const std::map<std::string, int (*)(CCliPrompt&, const Args&)> kCommands = {
    {"backup", Backup}, {"restore", Restore}, {"export", Export},
    {"import", Import}, {"extract", Extract}, {"check", Check}};

int Usage(const std::string& command, const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "milvane-cli: %s\n", why.c_str());
    const char* help = HelpOf(command);
    std::fputs(help ? help : kUsageText, stderr);
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<Args> args = Parse(argc, argv, error);
    if (!args) return Usage("", error);
    if (args->help) {
        const char* help = HelpOf(args->command);
        if (!args->command.empty() && !help) return Usage("", "不明なコマンドです: " + args->command);
        std::fputs(help ? help : kUsageText, stdout);
        return kDone;
    }
    if (args->command.empty()) return Usage("", "コマンドがありません");
    auto command = kCommands.find(args->command);
    if (command == kCommands.end()) return Usage("", "不明なコマンドです: " + args->command);
    for (const auto& [option, value] : args->values) {
        const auto& allowed = kValueOptions.at(option);
        if (!allowed.empty() && std::find(allowed.begin(), allowed.end(), args->command) == allowed.end())
            return Usage(args->command, option + " は " + args->command + " では使えません");
    }
    // Paths are taken from the working folder once, so that every message names them in full.
    auto absolute = [](std::string& path) {
        std::error_code ec;
        const std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
        if (!ec && !path.empty()) path = full;
        while (path.size() > 1 && path.back() == '/') path.pop_back();
    };
    if (args->command != "extract")
        for (std::string& p : args->positional) absolute(p);
    for (const char* option : {"--data", "--map"})
        if (args->values.count(option)) absolute(args->values[option]);
    if (args->csv && args->command != "extract") return Usage(args->command, "--csv は extract でだけ使えます");
    if (args->values.count("--encoding")) {
        if (!kEncodings.count(args->values.at("--encoding")))
            return Usage(args->command, "--encoding は sjis, utf8, auto のどれかです");
        if (args->values.count("--format") && args->values.at("--format") != "csv")
            return Usage(args->command, "--encoding は --format csv でだけ使えます");
    }
    if (args->values.count("--data")) {
        if (args->values.at("--data").empty()) return Usage(args->command, "--data のフォルダが空です");
        OverrideDataFolder(args->values.at("--data"));
    }

    CCliWait wait;
    CCliPrompt prompt(args->yes, wait);
    g_yes = args->yes;
    AllowSettingsRepair(false);
    Ports::Install(&prompt, nullptr, &wait);
    const int status = command->second(prompt, *args);
    Ports::Install(nullptr, nullptr, nullptr);
    if (status == kUsage) return Usage(args->command, "引数が正しくありません");
    return status == kUsageTold ? kUsage : status;
}
