// The import: text parsing, workbook and table readers, field rules, the
// mapping dialog's rules and the command.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "exchange/ExchangeSupport.h"
#include "common/Archive.h"
#include "common/SjisText.h"
#include "exchange/ContactXml.h"
#include "exchange/Import.h"
#include "exchange/XmlConv.h"
#include "exchange/TextImport.h"
#include "exchange/WorkbookImport.h"
#include "support/TestPorts.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(TextImport, ParsingRules) {
    struct Case {
        std::string bytes;
        char delimiter;
        bool ok;
        Rows records;  // without the labels of column 0
    };
    const std::string po = Utf8ToSjis("ポ");  // trail byte is "|"
    const std::string hyo = Utf8ToSjis("表");  // trail byte is "\"
    const Case cases[] = {
        {"a,\"b \"\"x\"\" c\",d\r\n", ',', true, {{"a", "b \"x\" c", "d"}}},
        {"\"1\r\n2\",b\r\nc,d", ',', true, {{"1\r\n2", "b"}, {"c", "d"}}},
        {"a,b\r\nc,d\r\ne,f,g\r\n", ',', false, {}},
        {"a,b\nc,d\ne,f", ',', true, {{"a", "b\nc", "d\ne", "f"}}},
        {"a\rb,c", ',', true, {{"a\rb", "c"}}},
        {"x\"y\"z,1", ',', false, {}},
        {"\"open,1", ',', false, {}},
        {"ab\"c,d\",e", ',', true, {{"abc,d", "e"}}},
        {po + "|" + hyo + "|1", '|', true, {{"ポ", "表", "1"}}},
        {"a\tb c", '\t', true, {{"a", "b c"}}},
        {"", ',', true, {}},
    };
    for (const Case& c : cases) {
        ExchangeTable rows;
        EXPECT_EQ(ParseDelimitedText(c.bytes, c.delimiter, rows), c.ok) << c.bytes;
        Rows records;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r][0], std::to_string(r));
            records.emplace_back(rows[r].begin() + 1, rows[r].end());
        }
        EXPECT_EQ(records, c.records) << c.bytes;
        if (!c.records.empty()) {
            EXPECT_EQ(rows[0][1], "F1");
        }
    }
}

TEST(TextImport, EncodingsAndPreview) {
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::string first;
    };
    const Case cases[] = {
        {bom + "山田,1", TextEncoding::Utf8Bom, "山田"},
        {"山田,1", TextEncoding::Utf8, "山田"},
        {Utf8ToSjis("ｱｲｳ,1"), TextEncoding::Sjis, "ｱｲｳ"},
        {Utf8ToSjis("山田,1"), TextEncoding::Sjis, "山田"},
        {"abc,1", TextEncoding::Sjis, "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding);
        ExchangeTable rows;
        ASSERT_TRUE(ParseDelimitedText(c.bytes, ',', rows));
        EXPECT_EQ(rows.at(1).at(1), c.first);
    }
    // The preview stops before a character that would cross the limit.
    std::string big(kTextPreviewBytes - 1, 'a');
    EXPECT_EQ(TextPreview(big + Utf8ToSjis("表") + "b"), big);
    EXPECT_EQ(TextPreview(Utf8ToSjis("表")), "表");
}

TEST(TextImport, DelimiterChoices) {
    TestPorts ports;
    std::string field = "|x";
    EXPECT_EQ(ChosenDelimiter(1, field), '\t');
    EXPECT_EQ(ChosenDelimiter(3, field), '|');
    field = "ｱ";
    EXPECT_EQ(ChosenDelimiter(3, field), '\xB1');
    field = "\"";
    EXPECT_EQ(ChosenDelimiter(3, field), std::nullopt);
    EXPECT_TRUE(field.empty());
    EXPECT_EQ(ChosenDelimiter(3, field), std::nullopt);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"区切り文字には \" (ﾀﾞﾌﾞﾙｸｫｰﾃｰｼｮﾝ)は使用できません。"});
}

TEST(TextImport, RandomBytesNeverCrash) {
    std::mt19937 gen(7);
    for (int i = 0; i < 200; ++i) {
        std::string bytes(gen() % 300, '\0');
        for (char& b : bytes) b = static_cast<char>(gen() % 256);
        ExchangeTable rows;
        if (ParseDelimitedText(bytes, ',', rows) && !rows.empty()) {
            for (const auto& row : rows) EXPECT_EQ(row.size(), rows[0].size());
        }
        TextPreview(bytes);
    }
}

TEST(WorkbookImport, FixturesOfBothKinds) {
    for (const char* name : {"import.xlsx", "import.xls"}) {
        SCOPED_TRACE(name);
        TestPorts ports;
        std::unique_ptr<CWorkbookReader> reader = OpenWorkbookForImport(Fixture(name));
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->SheetNames(), (std::vector<std::string>{"顧客", "空白"}));
        ExchangeTable table;
        ASSERT_TRUE(ReadSheetForImport(*reader, 0, table));
        ASSERT_EQ(table.size(), 4u);
        EXPECT_EQ(table[0], (std::vector<std::string>{"", "A", "B", "C", "D", "E", "F", "G", "H"}));
        EXPECT_EQ(table[2], (std::vector<std::string>{"3", "001", "山田 太郎", "ﾔﾏﾀﾞ ﾀﾛｳ", "1980/02/29", "1899/12/30",
                                                      "1200", "1.235", "1"}));
        EXPECT_EQ(table[3][6], "-5");
        EXPECT_EQ(table[3][7], "0.5");
        ASSERT_TRUE(ReadSheetForImport(*reader, 1, table));
        EXPECT_EQ(table.size(), 1u);
        EXPECT_TRUE(ports.prompt.Texts().empty());
    }
}

TEST(WorkbookImport, TruncatedFilesAreRefusedOrRead) {
    TestPorts ports;
    TempDir dir;
    for (const char* name : {"import.xlsx", "import.xls"}) {
        const std::string whole = ReadBytes(Fixture(name));
        for (std::size_t cut : {std::size_t{0}, std::size_t{100}, whole.size() / 2, whole.size() - 10}) {
            const std::string path = dir.File(std::string("cut") + std::to_string(cut) + "_" + name);
            WriteBytes(path, whole.substr(0, cut));
            ports.prompt.Clear();
            std::unique_ptr<CWorkbookReader> reader = OpenWorkbookForImport(path);
            if (!reader) {
                EXPECT_EQ(ports.prompt.Texts().size(), 1u) << name << " " << cut;
                continue;
            }
            ExchangeTable table;
            ReadSheetForImport(*reader, 0, table);
        }
    }
}

TEST(WorkbookImport, RefusalsAndCellRules) {
    TestPorts ports;
    TempDir dir;
    EXPECT_FALSE(OpenWorkbookForImport(dir.File("none.xlsx")));
    WriteBytes(dir.File("bad.xlsx"), "PK\x03\x04 not really");
    EXPECT_FALSE(OpenWorkbookForImport(dir.File("bad.xlsx")));
    std::filesystem::copy_file(Fixture("import.xls"), dir.File("open.xls"));
    WriteBytes(dir.File(".~lock.open.xls#"), "x");
    EXPECT_FALSE(OpenWorkbookForImport(dir.File("open.xls")));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{dir.File("none.xlsx") + "が見つかりませんでした。処理を中断します",
                                        "bad.xlsxを読み込めませんでした。",
                                        "open.xlsは 現在 Excelで開かれています。\nﾌﾞｯｸを閉じてから 操作を行ってください。"}));

    struct Format {
        const char* code;
        bool date, time;
    };
    for (const Format& f : {Format{"General", false, false}, Format{"0.00E+00", false, false},
                            Format{"yyyy/mm/dd", true, false}, Format{"[$-411]ggge\"年\"m\"月\"d\"日\"", true, false},
                            Format{"h:mm:ss", false, true}, Format{"\"d\"0", false, false}, Format{"[h]:mm", false, true},
                            Format{"[Red]0.0", false, false}, Format{"mm:ss", false, true}}) {
        bool date, time;
        ClassifyNumberFormat(f.code, date, time);
        EXPECT_EQ(date, f.date) << f.code;
        EXPECT_EQ(time, f.time) << f.code;
    }
    EXPECT_EQ(NumberCellText(45000.1234, false, true), "45000.123");
    EXPECT_EQ(NumberCellText(45000.75, true, false), "2023/03/15");
    EXPECT_EQ(NumberCellText(0.25, false, true), "1899/12/30");
    EXPECT_EQ(NumberCellText(2.5, false, false), "2.5");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
    EXPECT_EQ(ColumnLetters(256), "IV");
    SheetRange wide;
    wide.cells = {std::vector<std::string>(300, "x"), std::vector<std::string>(3)};
    bool clipped = false;
    ExchangeTable table = SheetTable(wide, clipped);
    EXPECT_TRUE(clipped);
    EXPECT_EQ(table.size(), 2u);  // the empty row is dropped
    EXPECT_EQ(table[0].size(), 257u);
}

TEST(ImportFields, RulesByField) {
    struct Case {
        const char* field;
        std::string text;
        std::string expected;  // the field's value text afterwards
    };
    const std::string longName(60, 'a');
    const Case cases[] = {
        {"Sex", "1", "1"},           {"Sex", "2", "0"},          {"Sex", "女", "0"},
        {"Sex", "１", "1"},          {"EntryType", "0", "0"},    {"EntryType", "x", "1"},
        {"ClosingDay", "99", "99"},  {"ClosingDay", "32", "0"},  {"ClosingDate", " 12月", "12"},
        {"TaxMethod", "5", "4"},     {"CommonMail", "", "1"},    {"CommonMail", "5", "5"},
        {"BirthDay", "1980/2/29", "1980/02/29"},                 {"BirthDay", "1981/2/29", ""},
        {"BirthDay", "1990-01-02", "1990/01/02"},                {"Name", longName, longName.substr(0, 50)},
        {"Suffix", "様様様様様様", "様様様様様"},                {"Suffix", "a様様様様様", "a様様様様"},
        {"Name", "𠮷野家", "〓野家"},
    };
    for (const Case& c : cases) {
        CKokyaku k = NewImportedKokyaku();
        SetImportedValue(k, *FindKokyakuField(c.field), c.text);
        EXPECT_EQ(FindKokyakuField(c.field)->ValueText(k), c.expected) << c.field << " " << c.text;
    }
    EXPECT_EQ(ImportRuleText("Add1_Home"), "最大 20 バイトまで。これを超えるデータは切り捨てられます。");
    EXPECT_EQ(ImportRuleText("TantouName"), "最大 30 バイトまで。これを超えるデータは切り捨てられます。");
    EXPECT_EQ(ImportRuleText("Note10"), "最大 255 バイトまで。これを超えるデータは切り捨てられます。");
    for (const char* excluded : {"ID", "StartDate", "LastUpDate", "TEL_Home_X", "ColorMark", "Picture3", "RirekiUpDate"})
        EXPECT_FALSE(IsImportableColumn(excluded)) << excluded;
    for (const KokyakuField& f : KokyakuFields())
        if (IsImportableColumn(f.name)) {
            EXPECT_FALSE(ImportRuleText(f.name).empty()) << f.name;
        }
}

std::vector<CMLVCol> Catalogue() {
    std::vector<CMLVCol> cols;
    for (const KokyakuField& f : KokyakuFields()) cols.emplace_back(f.name, std::string("L_") + f.name);
    cols.back().label = "氏名";
    cols[KokyakuFieldIndex("Name")].label = "氏名";
    cols[KokyakuFieldIndex("CompName")].label = "会社名";
    return cols;
}

TEST(ImportMapping, DialogRules) {
    TestPorts ports;
    ExchangeTable table = {{"", "F1", "F2", "F3"}, {"1", "a", "b", "c"}, {"2", "d", "e", "f"}};
    CImportMapModel model(table, Catalogue(), false);
    EXPECT_FALSE(model.readFirstRow);
    EXPECT_EQ(model.Lines()[1], (std::vector<std::string>{"", "b", "e"}));
    const std::size_t fields = model.Fields().size();
    auto fieldIndex = [&](const char* name) {
        for (std::size_t i = 0; i < model.Fields().size(); ++i)
            if (model.Fields()[i].fieldName == name) return static_cast<int>(i);
        return -1;
    };
    EXPECT_FALSE(model.Finish());
    EXPECT_FALSE(model.Map(-1, 0));
    EXPECT_FALSE(model.Map(0, -1));
    ASSERT_TRUE(model.Map(fieldIndex("Add1_Home"), 0));
    EXPECT_FALSE(model.Map(0, 0));
    EXPECT_EQ(model.Fields().size(), fields - 1);
    EXPECT_EQ(fieldIndex("Add1_Home"), -1);
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(model.Finish());  // neither name: both questions in one
    ASSERT_TRUE(model.Map(fieldIndex("Name"), 1));
    EXPECT_EQ(model.Lines()[1][0], "氏名");
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(model.Finish());
    EXPECT_FALSE(model.Unmap(-1));
    ASSERT_TRUE(model.Unmap(0));
    EXPECT_TRUE(model.Finish());  // a name and no short address: no question
    EXPECT_EQ(model.Mapping(), (std::vector<std::string>{"", "Name", ""}));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{
                  "ひとつも対応づけがされていません。\nデータを読み込むには最低１つのデータを対応づける必要があります。",
                  "対応づける列名を選択してください", "対応づけるデータを選択してください",
                  "選択したデータはすでに対応づけをおこなっています。\n対応づけを変更するにはいったん対応づけを解除してください。",
                  "項目<氏名>も<会社名>も対応づけされていません。\nまた、項目<住所１>の対応づけを行いましたが<住所２>と<住所３>は対応づけされていません。\n<住所１>は20バイトまでしか登録できませんが、このまま処理を進めてもよろしいですか？",
                  "項目<住所１>の対応づけを行いましたが<住所２>と<住所３>は対応づけされていません。\n<住所１>は20バイトまでしか登録できませんが、このまま処理を進めてもよろしいですか？",
                  "対応づけを解除するデータを選択してください"}));
    EXPECT_EQ(ports.prompt.Log()[4].defaultButton, Answer::No);
}

TEST(ImportAdd, RefusedRecordsDroppedHighestFirst) {
    CKokyakuList records;
    for (int i = 0; i < 5; ++i) {
        records.push_back(std::make_unique<CKokyaku>());
        records.back()->CustomerID = std::to_string(i);
    }
    EXPECT_EQ(AddImportedRecords(records,
                                 [](CKokyakuList&, CKeyArray& refused) {
                                     refused = {1, 3};
                                     return 10;
                                 }),
              1);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0]->CustomerID + records[1]->CustomerID + records[2]->CustomerID, "024");
    EXPECT_EQ(AddImportedRecords(records, [](CKokyakuList&, CKeyArray&) { return -1; }), 0);
}

// A desktop database of one table, in memory.
class FakeTables final : public ITableSource {
public:
    ExchangeTable rows;
    std::string openError;  // Open fails with this driver text when set
    bool Open(const std::string&) override { return openError.empty(); }
    std::vector<std::string> Tables() override { return rows.empty() ? std::vector<std::string>{} : std::vector<std::string>{"顧客 一覧"}; }
    bool ReadTable(const std::string&, ExchangeTable& out) override {
        out = rows;
        return true;
    }
    std::string ErrorText() const override { return openError; }
};

struct ImportRun {
    TestPorts ports;
    TempDir dir;
    CImportDialogs dialogs;
    CKokyakuList added;
    int source = 2;
    std::vector<std::string> mapTo;  // field per source column

    ImportRun() {
        dialogs.chooseSource = [this] { return std::optional<int>(source); };
        dialogs.textFormat = [](const std::string&) { return std::optional<char>(','); };
        dialogs.chooseSheet = [](const std::vector<std::string>&) { return std::optional<std::size_t>(0); };
        dialogs.chooseTable = [](const std::vector<std::string>&) { return std::optional<std::size_t>(0); };
        dialogs.mapColumns = [this](CImportMapModel& m) {
            for (std::size_t line = 0; line < mapTo.size(); ++line)
                for (std::size_t f = 0; f < m.Fields().size(); ++f)
                    if (m.Fields()[f].fieldName == mapTo[line]) m.Map(static_cast<int>(f), static_cast<int>(line));
            return m.Finish();
        };
    }
    int Run() {
        return ImportCustomers(Catalogue(), dialogs, [this](CKokyakuList& records, CKeyArray& refused) {
            refused.clear();
            for (auto& r : records) added.push_back(std::make_unique<CKokyaku>(*r));
            return 1;
        });
    }
};

TEST(ImportCommand, TextFileEndToEnd) {
    ImportRun run;
    WriteBytes(run.dir.File("in.csv"), Utf8ToSjis("氏名,性別\r\n山田,女\r\n佐藤,1\r\n,\r\n"));
    run.ports.prompt.QueueChoice(run.dir.File("in.csv"));
    run.mapTo = {"Name", "Sex"};
    EXPECT_EQ(run.Run(), 1);
    ASSERT_EQ(run.added.size(), 2u);  // the heading row dropped, the empty row yields nothing
    EXPECT_EQ(FieldsOf(*run.added[0], {"Name", "Sex", "EntryType"}), "山田|0|1");
    EXPECT_EQ(run.added[1]->Sex, 1);
    EXPECT_EQ(run.ports.prompt.Log()[0].text, "ファイルを開く");
}

TEST(ImportCommand, RefusalsEndWithTheirMessage) {
    struct Case {
        std::string bytes;
        std::vector<std::string> mapTo;
        std::string message;
    };
    const Case cases[] = {
        {"", {}, "データ行がありません。処理を中止します。"},
        {"a,b\r\nc\r\n", {}, kTextMalformed},
        {"x\r\n\r\n", {"Name"}, kNoImportRecords},
        {"x\r\n,\r\n", {"Name"}, kTextMalformed},
    };
    for (const Case& c : cases) {
        ImportRun run;
        WriteBytes(run.dir.File("in.csv"), c.bytes);
        run.ports.prompt.QueueChoice(run.dir.File("in.csv"));
        run.mapTo = c.mapTo;
        EXPECT_EQ(run.Run(), 0);
        EXPECT_TRUE(run.added.empty());
        EXPECT_EQ(run.ports.prompt.Texts().back(), c.message) << c.bytes;
    }
    ImportRun bad;
    bad.source = 4;
    EXPECT_EQ(bad.Run(), 0);
    EXPECT_EQ(bad.ports.prompt.Texts().back(), kBadFormatChoice);
}

TEST(ImportCommand, DesktopDatabaseKeepsItsFirstRow) {
    ImportRun run;
    auto fake = std::make_shared<FakeTables>();
    fake->rows = {{"", "コード", "名前"}, {"1", "10", "山田"}, {"2", "11", "佐藤"}};
    run.dialogs.tableSource = [fake] { return std::make_unique<FakeTables>(*fake); };
    run.source = 0;
    run.ports.prompt.QueueChoice("/x.mdb");
    run.mapTo = {"CustomerID", "Name"};
    bool fixed = false;
    auto map = run.dialogs.mapColumns;
    run.dialogs.mapColumns = [&](CImportMapModel& m) {
        fixed = m.FirstRowFixed() && m.readFirstRow;
        EXPECT_EQ(m.Headings()[1], "ﾃﾞｰﾀの列名");
        EXPECT_EQ(m.Lines()[1], (std::vector<std::string>{"", "名前", "山田"}));
        return map(m);
    };
    EXPECT_EQ(run.Run(), 1);
    EXPECT_TRUE(fixed);
    ASSERT_EQ(run.added.size(), 2u);
    EXPECT_EQ(run.added[0]->CustomerID, "10");

    ImportRun empty;
    empty.dialogs.tableSource = [] { return std::make_unique<FakeTables>(); };
    empty.source = 0;
    empty.ports.prompt.QueueChoice("/x.mdb");
    EXPECT_EQ(empty.Run(), 0);
    EXPECT_EQ(empty.ports.prompt.Texts().back(), "テーブルがありません。\n処理を中止します。");

    // A driver error is shown as the database component shows its own.
    ImportRun broken;
    broken.dialogs.tableSource = [] {
        auto t = std::make_unique<FakeTables>();
        t->openError = "file is not a database";
        return t;
    };
    broken.source = 0;
    broken.ports.prompt.QueueChoice("/x.mdb");
    EXPECT_EQ(broken.Run(), 0);
    EXPECT_EQ(broken.ports.prompt.Log().back().text, "データベースでエラーが発生しました。\nfile is not a database");
    EXPECT_EQ(broken.ports.prompt.Log().back().icon, MsgIcon::Stop);
    EXPECT_TRUE(broken.added.empty());
}

// Every source adds its customers as the entry dialog adds one: last update
// and history update are the moment of the import, so they lead the default
// order (history update, newest first) and are found by that day.
TEST(ImportDates, EverySourceStampsTheAddTime) {
    const CDateTime fileStart = CDateTime::FromParts(2001, 2, 3);
    struct Case {
        int source;
        bool keepsStart;  // ContactXML brings its own registration date
    };
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{2, false}, Case{3, true}}) {
        SCOPED_TRACE(c.source);
        ImportRun run;
        run.source = c.source;
        run.mapTo = {"CustomerID", "Name"};
        auto fake = std::make_shared<FakeTables>();
        fake->rows = {{"", "コード", "名前"}, {"1", "10", "山田"}};
        run.dialogs.tableSource = [fake] { return std::make_unique<FakeTables>(*fake); };
        run.dialogs.readXml = [&](CKokyakuList& records) {
            records.push_back(std::make_unique<CKokyaku>(NewImportedKokyaku()));
            records.back()->StartDate = fileStart;
            records.back()->LastUpDate = records.back()->RirekiUpDate = CDateTime::FromParts(2002, 1, 1);
            return 1;
        };
        WriteBytes(run.dir.File("in.csv"), "10,山田\r\n");
        if (c.source == 0) run.ports.prompt.QueueChoice("/x.mdb");
        if (c.source == 1) run.ports.prompt.QueueChoice(Fixture("import.xlsx"));
        if (c.source == 2) run.ports.prompt.QueueChoice(run.dir.File("in.csv"));
        if (c.source == 1 || c.source == 2) run.dialogs.mapColumns = [](CImportMapModel& m) {
            m.readFirstRow = true;
            return m.Map(0, 0);
        };
        const double before = CDateTime::Now().Days();
        ASSERT_EQ(run.Run(), 1);
        const double after = CDateTime::Now().Days();
        ASSERT_FALSE(run.added.empty());
        for (const auto& k : run.added) {
            for (const CDateTime* d : {&k->LastUpDate, &k->RirekiUpDate}) {
                ASSERT_TRUE(d->IsValid());
                EXPECT_GE(d->Days(), before);
                EXPECT_LE(d->Days(), after);
            }
            if (c.keepsStart) EXPECT_EQ(k->StartDate, fileStart);
            else EXPECT_EQ(k->StartDate, k->RirekiUpDate);
        }
    }
}

}  // namespace

namespace {

TEST(ContactXmlRead, ExportMappingReversed) {
    CKokyaku k = NewImportedKokyaku();
    k.CustomerID = "C1";
    k.Name = "山田 太郎";
    k.Yomi = "ﾔﾏﾀﾞ ﾀﾛｳ";
    k.CompName = "みどり商事";
    k.Section = "営業部";
    k.Zip_Home = "100-0001";
    k.Add1_Home = "東京都";
    k.Add3_Home = "丸の内1-1";
    k.Zip_Office = "200-0002";
    k.TEL_Home = "03-1";
    k.CellPhone2 = "090-2";
    k.EMail2 = "b@x.jp";
    k.EMail3 = "c@x.jp";
    k.EMail5 = "e@x.jp";
    k.CommonMail = 3;
    k.Sex = 1;
    k.EntryType = 0;
    k.BirthDay = CDateTime::FromParts(1970, 1, 2);
    k.URL2 = "http://x.jp/";
    const CKokyaku* list[] = {&k};
    CKokyakuList read;
    ASSERT_TRUE(ParseContactXml(ContactXmlText(list), "/none", read));
    ASSERT_EQ(read.size(), 1u);
    const CKokyaku& r = *read[0];
    for (const KokyakuField& f : KokyakuFields()) {
        std::string name = f.name;
        if (name.starts_with("EMail") || name == "CommonMail" || name == "StartDate" || name == "LastUpDate")
            continue;
        EXPECT_EQ(f.ValueText(r), f.ValueText(k)) << name;
    }
    // Home addresses close up: the second and third fill EMail1 and EMail2.
    // A split address is read from its extension items.
    EXPECT_EQ(FieldsOf(r, {"EMail1", "EMail2", "CommonMail", "EMail4", "EMail5", "Add3_Office"}), "b@x.jp|c@x.jp|2|e@x.jp||");

    const std::string plain =
        "<ContactXML><ContactXMLItem><Address><AddressItem locationType=\"Home\"><FullAddress>" +
        std::string(300, 'a') + "</FullAddress></AddressItem></Address></ContactXMLItem></ContactXML>";
    read.clear();
    ASSERT_TRUE(ParseContactXml(plain, "/none", read));
    EXPECT_EQ(read[0]->Add3_Home, std::string(255, 'a'));
    EXPECT_EQ(read[0]->EntryType, 1);
    EXPECT_FALSE(ParseContactXml("<not xml", "/none", read));
    EXPECT_FALSE(ParseContactXml("<other/>", "/none", read));
    EXPECT_EQ(read.size(), 1u);
}

TEST(ContactXmlRead, PicturesRemovedWhenTheAddFails) {
    for (int result : {-1, 1}) {
        ImportRun run;
        run.source = 3;
        const std::string xml = run.dir.File("list.xml");
        std::filesystem::create_directory(run.dir.File("list_pictures"));
        WriteBytes(run.dir.File("list_pictures/face.jpg"), "jpeg");
        WriteBytes(xml,
                   "<ContactXML><ContactXMLItem><PersonName><PersonNameItem><FullName>山田</FullName></PersonNameItem>"
                   "</PersonName><Extension><ExtensionItem name=\"X-Picture1\">face.jpg</ExtensionItem>"
                   "<ExtensionItem name=\"X-Picture2\">gone.jpg</ExtensionItem></Extension></ContactXMLItem></ContactXML>");
        run.ports.prompt.QueueChoice(xml);
        run.dialogs.readXml = [](CKokyakuList& records) { return CXmlConv().ReadXML(records); };
        const std::string pictures = run.dir.File("Picture");
        CKokyaku seen;
        int got = ImportCustomers(
            Catalogue(), run.dialogs,
            [&](CKokyakuList& records, CKeyArray&) {
                seen = *records.at(0);
                return result;
            },
            pictures);
        EXPECT_EQ(got, result == 1 ? 1 : 0);
        EXPECT_EQ(seen.Picture1, "face.jpg");
        EXPECT_EQ(seen.Picture2, "");
        EXPECT_EQ(std::filesystem::exists(pictures + "/face.jpg"), result == 1);
    }
}

}  // namespace
