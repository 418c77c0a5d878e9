// The export table, the text and workbook writers and the export command.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Archive.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"
#include "exchange/Export.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/Formats.h"
#include "support/TestPorts.h"

namespace {

TEST(ExchangeFormatTable, ImportOrderFiltersAndExtensions) {
    std::vector<std::string> names;
    for (CExchangeFormat* f : ExchangeFormats()) names.push_back(f->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"desktop-database", "workbook", "text", "contactxml"}));
    EXPECT_EQ(FindExchangeFormat("workbook")->Filter(), "Microsoft Excelｼｰﾄ(*.xlsx)");
    const CExchangeFormat& text = *FindExchangeFormat("text");
    EXPECT_EQ(text.Filter(), "ﾃｷｽﾄﾌｧｲﾙ(*.csv *.txt)");
    EXPECT_EQ(text.WithDefaultExtension("/t/list.txt"), "/t/list.txt");
    EXPECT_EQ(text.WithDefaultExtension("/t.d/list"), "/t.d/list.csv");
}

TEST(ExportCells, TextByField) {
    CKokyaku k;
    k.Name = "山田";
    k.Add1_Home = "東京都";
    k.Add2_Home = "千代田区";
    k.StartDate = CDateTime::FromParts(2024, 3, 5, 10, 30);
    k.ClosingDate = 13;
    k.CommonMail = 3;
    struct Case {
        std::function<void(CKokyaku&)> set;
        const char* field;
        const char* text;
    };
    const Case cases[] = {
        {[](CKokyaku& r) { r.Sex = 0; }, "Sex", "0：男"},
        {[](CKokyaku& r) { r.Sex = 1; }, "Sex", "1：女"},
        {[](CKokyaku& r) { r.Sex = 5; }, "Sex", "5：女"},
        {[](CKokyaku& r) { r.EntryType = 0; }, "EntryType", "0：法人"},
        {[](CKokyaku& r) { r.EntryType = 1; }, "EntryType", "1：個人"},
        {[](CKokyaku& r) { r.CustomerType = 1; }, "CustomerType", "1：見込み客"},
        {[](CKokyaku& r) { r.TaxMethod = 0; }, "TaxMethod", "0：外税（納品ごと）"},
        {[](CKokyaku& r) { r.TaxMethod = 2; }, "TaxMethod", "2：内税"},
        {[](CKokyaku& r) { r.TaxMethod = 4; }, "TaxMethod", "4：未設定"},
        {[](CKokyaku&) {}, "StartDate", "2024/03/05"},
        {[](CKokyaku& r) { r.BirthDay = CDateTime(); }, "BirthDay", ""},
        {[](CKokyaku& r) { r.BirthDay = CDateTime::FromParts(1980, 12, 31); }, "BirthDay", "1980/12/31"},
        {[](CKokyaku&) {}, "ClosingDate", "13"},
        {[](CKokyaku&) {}, "CommonMail", "3"},
        {[](CKokyaku&) {}, "Name", "山田"},
        {[](CKokyaku&) {}, "Add_Home_X", "東京都千代田区"},
    };
    for (const Case& c : cases) {
        CKokyaku r = k;
        c.set(r);
        EXPECT_EQ(ExportCellText(r, c.field), c.text) << c.field;
    }
}

TEST(TextFile, QuotedCellsCrLfShiftJis) {
    const ExchangeTable table = {{"氏名", "備考"}, {"a\"b\"", "x,y"}, {"l1\r\nl2", ""}};
    const std::string expected = Utf8ToSjis("\"氏名\",\"備考\"\r\n") + "\"a\"\"b\"\"\",\"x,y\"\r\n" +
                                 "\"l1\r\nl2\",\"\"\r\n";
    EXPECT_EQ(TextFileBytes(table), expected);
    EXPECT_NE(static_cast<unsigned char>(TextFileBytes(table)[0]), 0xEF);  // no byte-order mark
}

TEST(TextFile, WrittenRowByRowAsTheWholeFile) {
    // Over a megabyte, so that the writer flushes in the middle of the rows.
    ExchangeTable table = {{"氏名", "住所", "備考"}};
    for (int i = 0; i < 30000; ++i)
        table.push_back({"山田太郎" + std::to_string(i), "東京都千代田区丸の内1-2-3", i % 7 ? "" : "\"注\",\r\n"});
    TempDir dir;
    const std::string path = dir.File("rows.csv");
    CTextFormat text;
    ASSERT_TRUE(text.WriteRows(path, table));
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_GT(bytes.size(), std::size_t(1) << 20);
    EXPECT_EQ(bytes, TextFileBytes(table));
}

// ---------------------------------------------------------------- command

class ExportCommand : public ::testing::Test {
protected:
    TestPorts ports;
    TempDir dir;
    TestCustomers customers;
    std::vector<CMLVCol> columns = {{"Name", "氏名"}, {"CustomerID", "お客様コード"}};
    int formatIndex = 0;  // workbook
    int columnDialogs = 0;

    CExportDialogs Dialogs() {
        return {[this] { return std::optional<int>(formatIndex); },
                [this] {
                    ++columnDialogs;
                    return std::optional<std::vector<CMLVCol>>(columns);
                }};
    }
    int Run(const std::string& target) {
        ports.prompt.QueueAnswer(Answer::Yes);
        ports.prompt.QueueChoice(target);
        return ExportCustomers(customers.All(), dir.Path(), Dialogs());
    }
    std::string Sheet(const std::string& file) { return ZipMember(file, "xl/worksheets/sheet1.xml"); }
};

TEST_F(ExportCommand, RefusalsEndWithoutAFile) {
    EXPECT_EQ(ExportCustomers({}, dir.Path(), Dialogs()), 0);
    customers.Add("C1", "山田");
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(ExportCustomers(customers.All(), dir.Path(), Dialogs()), 0);
    EXPECT_EQ(columnDialogs, 0);
    EXPECT_EQ(WriteExport(nullptr, dir.Path(), Dialogs()), 0);
    const std::vector<const CKokyaku*> none;
    EXPECT_EQ(WriteExport(&none, dir.Path(), Dialogs()), 0);
    formatIndex = 3;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(ExportCustomers(customers.All(), dir.Path(), Dialogs()), 0);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"書き出す顧客を選択してください。",
                                        "選択されている1件の顧客を外部データに書き出します。よろしいですか？",
                                        "引数が不正です", "書き出すデータがありません",
                                        "選択されている1件の顧客を外部データに書き出します。よろしいですか？",
                                        "選択した形式が不正です"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(ExportCommand, TextColumnsInChosenOrder) {
    customers.Add("C1", "山田 \"太\"").BirthDay = CDateTime();
    formatIndex = 1;
    columns.push_back({"BirthDay", "生年月日"});
    ASSERT_EQ(Run(dir.File("list")), 1);
    EXPECT_EQ(ReadBytes(dir.File("list.csv")),
              Utf8ToSjis("\"氏名\",\"お客様コード\",\"生年月日\"\r\n\"山田 \"\"太\"\"\",\"C1\",\"\"\r\n"));
    EXPECT_EQ(ports.prompt.Texts().back(), "書き出しを完了しました。");
}

// Gives its records, then fails as a database read can.
class BreakingCursor final : public IKokyakuCursor {
public:
    explicit BreakingCursor(std::vector<const CKokyaku*> records) : m_records(std::move(records)) {}
    const CKokyaku* Next() override {
        if (m_next < m_records.size()) return m_records[m_next++];
        m_failed = true;
        return nullptr;
    }
    bool Failed() const override { return m_failed; }

private:
    std::vector<const CKokyaku*> m_records;
    std::size_t m_next = 0;
    bool m_failed = false;
};

TEST_F(ExportCommand, ACursorThatFailsLeavesTheOldFile) {
    customers.Add("C1", "山田");
    customers.Add("C2", "佐藤");
    const std::string target = dir.File("list.csv");
    WriteBytes(target, "old");
    for (int format : {1, 0, 2}) {  // text, workbook, records document
        formatIndex = format;
        ports.prompt.Clear();
        BreakingCursor cursor(customers.All());
        ports.prompt.QueueAnswer(Answer::Yes);
        if (format != 2) ports.prompt.QueueChoice(format == 1 ? target : dir.File("list.xlsx"));
        EXPECT_EQ(ExportCustomers(cursor, 3, dir.Path(), Dialogs()), 0);
        EXPECT_EQ(ports.prompt.Texts().back(), "顧客データの取得に失敗しました。") << format;
    }
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_FALSE(std::filesystem::exists(dir.File("list.xlsx")));

    // A cursor that ends early is a whole, shorter export.
    formatIndex = 1;
    const std::vector<const CKokyaku*> both = customers.All();
    CKokyakuListCursor two(both);
    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueChoice(target);
    EXPECT_EQ(ExportCustomers(two, 3, dir.Path(), Dialogs()), 1);
    EXPECT_EQ(ReadBytes(target), Utf8ToSjis("\"氏名\",\"お客様コード\"\r\n\"山田\",\"C1\"\r\n\"佐藤\",\"C2\"\r\n"));
}

TEST_F(ExportCommand, WorkbookCells) {
    customers.Add("0312345678", "山田\r\n太郎");
    customers.Add("0", "-12.5");
    ASSERT_EQ(Run(dir.File("book.xlsx")), 1);
    pugi::xml_document sheet, styles;
    ASSERT_TRUE(ParseXml(sheet, Sheet(dir.File("book.xlsx"))));
    ASSERT_TRUE(ParseXml(styles, ZipMember(dir.File("book.xlsx"), "xl/styles.xml")));

    auto cell = [&](const char* ref) {
        return sheet.select_node((std::string("//*[local-name()='c'][@r='") + ref + "']").c_str()).node();
    };
    auto xf = [&](pugi::xml_node c) {
        return styles.select_nodes("//*[local-name()='cellXfs']/*[local-name()='xf']")[c.attribute("s").as_uint()].node();
    };
    // Header: order of the chosen columns, bold with a thin bottom border.
    EXPECT_STREQ(cell("A1").child("is").child_value("t"), "氏名");
    EXPECT_STREQ(cell("B1").child("is").child_value("t"), "お客様コード");
    pugi::xml_node headerXf = xf(cell("A1"));
    pugi::xml_node font = styles.select_nodes("//*[local-name()='fonts']/*[local-name()='font']")
                              [headerXf.attribute("fontId").as_uint()].node();
    EXPECT_TRUE(font.child("b"));
    pugi::xml_node border = styles.select_nodes("//*[local-name()='borders']/*[local-name()='border']")
                                [headerXf.attribute("borderId").as_uint()].node();
    EXPECT_STREQ(border.child("bottom").attribute("style").value(), "thin");
    // CR removed, LF kept.
    EXPECT_STREQ(cell("A2").child("is").child_value("t"), "山田\n太郎");
    // A leading zero keeps the cell text with the format "@"; "0" alone is a number.
    EXPECT_STREQ(cell("B2").attribute("t").value(), "inlineStr");
    EXPECT_EQ(xf(cell("B2")).attribute("numFmtId").as_int(), 49);
    EXPECT_STREQ(cell("B3").child_value("v"), "0");
    EXPECT_FALSE(cell("B3").attribute("t"));
    EXPECT_NE(xf(cell("B3")).attribute("numFmtId").as_int(), 49);
    EXPECT_STREQ(cell("A3").child_value("v"), "-12.5");
    EXPECT_DOUBLE_EQ(sheet.select_node("//*[local-name()='sheetFormatPr']").node().attribute("defaultRowHeight").as_double(),
                     13.5);
    // Widths follow the longest cell in Shift-JIS bytes ("お客様コード": 12).
    EXPECT_GT(sheet.select_node("//*[local-name()='col'][@min='2']").node().attribute("width").as_double(), 12.0);
}

TEST_F(ExportCommand, WorkbookKeepsAtMostTheLimit) {
    for (int i = 0; i < 63356; ++i) customers.Add("K" + std::to_string(i), "N");
    columns.resize(1);
    ASSERT_EQ(Run(dir.File("big.xlsx")), 1);
    const std::vector<std::string> texts = ports.prompt.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2],
              "一度に書き出せるのは63355件までです。\n63355件目までのﾃﾞｰﾀを書き出します。");
    pugi::xml_document sheet;
    ASSERT_TRUE(ParseXml(sheet, Sheet(dir.File("big.xlsx"))));
    EXPECT_EQ(sheet.select_nodes("//*[local-name()='row']").size(), 63356u);
}

TEST_F(ExportCommand, OpenWorkbookIsRefusedAndKept) {
    customers.Add("C1", "山田");
    WriteBytes(dir.File("book.xlsx"), "old");
    WriteBytes(dir.File(".~lock.book.xlsx#"), "");
    EXPECT_EQ(Run(dir.File("book.xlsx")), 0);
    EXPECT_EQ(ports.prompt.Texts().back(),
              "book.xlsxは 現在 Excelで開かれています。\nﾌﾞｯｸを閉じてから 操作を行ってください。");
    EXPECT_EQ(ReadBytes(dir.File("book.xlsx")), "old");
}

TEST_F(ExportCommand, UnwritableFolderLeavesNothing) {
    customers.Add("C1", "山田");
    for (int index : {0, 1}) {
        formatIndex = index;
        EXPECT_EQ(Run(dir.File("missing/out")), 0);
        EXPECT_EQ(ports.prompt.Texts().back(), "ファイルを作成できませんでした。");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

// ---------------------------------------------------------------- column dialog

TEST(ExportColumns, Rules) {
    TestPorts ports;
    TempDir root;
    std::filesystem::create_directories(root.File("inst/Data/MyData"));
    std::filesystem::create_directories(root.File("data"));
    WriteBytes(root.File("inst/Data/MyData/datadir.dat"), root.File("data"));
    CMLVColSet set(root.File("inst"));
    set.columns = {{"ID", "ID"},           {"CustomerID", "お客様コード"}, {"Name", "氏名"},
                   {"TEL_Home_X", "数値"}, {"Picture1", "画像１"},         {"ColorMark", "カラー"},
                   {"RirekiUpDate", "履歴更新日"}, {"Note1", "備考１"},
                   {"TEL_Office_X", "数値"}, {"Picture5", "画像５"}};
    ASSERT_EQ(set.Save(), 1);

    CExportColumnsModel model(root.File("inst"));
    ASSERT_EQ(model.Open(), 1);
    auto names = [](const std::vector<CMLVCol>& cols) {
        std::vector<std::string> out;
        for (const auto& c : cols) out.push_back(c.fieldName);
        return out;
    };
    EXPECT_EQ(names(model.Available()), (std::vector<std::string>{"CustomerID", "Name", "Note1"}));
    EXPECT_FALSE(model.Ok());
    EXPECT_FALSE(model.Add(-1));
    EXPECT_TRUE(model.Add(1));  // Name
    EXPECT_TRUE(model.Add(0));  // CustomerID
    EXPECT_EQ(names(model.Chosen()), (std::vector<std::string>{"Name", "CustomerID"}));
    EXPECT_EQ(model.MoveUp(1), 0);
    EXPECT_EQ(model.MoveUp(0), 0);
    EXPECT_EQ(model.MoveDown(-1), -1);
    EXPECT_FALSE(model.Remove(-1));
    EXPECT_TRUE(model.Remove(0));  // CustomerID goes back in catalogue order
    EXPECT_EQ(names(model.Available()), (std::vector<std::string>{"CustomerID", "Note1"}));
    model.AddAll();
    EXPECT_EQ(names(model.Chosen()), (std::vector<std::string>{"Name", "CustomerID", "Note1"}));
    EXPECT_TRUE(model.Ok());
    model.RemoveAll();
    EXPECT_EQ(model.Available().size(), 3u);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"書き出す列が１つも設定されていません。\n最低１つは設定してください。",
                                        "書き出す列を「書き出し可能な列」から選択してください",
                                        "移動する項目を選択してください",
                                        "書き出しをやめる列を「書き出す列」から選択してください"}));
}

}  // namespace
