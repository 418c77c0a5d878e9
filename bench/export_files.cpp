// Export of generated customers with every exportable column: the text file
// (export-csv-100k) and the workbook (export-xlsx-63k), table building
// included. The raw side writes the same cells straight from the records:
// one iconv pass for the text file, the workbook library without our cell
// rules and widths.
#include <iconv.h>
#include <xlsxwriter.h>

#include "BenchData.h"
#include "exchange/Export.h"
#include "exchange/Formats.h"

namespace {

std::vector<CMLVCol> AllColumns() {
    std::vector<CMLVCol> cols;
    for (const KokyakuField& f : KokyakuFields())
        if (f.IsUserField() && IsExportableColumn(f.name)) cols.push_back({f.name, f.name});
    return cols;
}

void RawText(const std::vector<const CKokyaku*>& customers, const std::vector<CMLVCol>& cols, const std::string& path) {
    std::string utf8;
    for (const CMLVCol& c : cols) utf8.append("\"").append(c.label).append("\",");
    utf8 += "\r\n";
    for (const CKokyaku* k : customers) {
        for (const CMLVCol& c : cols) utf8.append("\"").append(ExportCellText(*k, c.fieldName)).append("\",");
        utf8 += "\r\n";
    }
    std::string out(utf8.size() * 2, '\0');
    iconv_t cd = iconv_open("CP932", "UTF-8");
    char* in = utf8.data();
    char* o = out.data();
    size_t inLeft = utf8.size(), outLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size() - outLeft, f);
    std::fclose(f);
}

void RawWorkbook(const std::vector<const CKokyaku*>& customers, const std::vector<CMLVCol>& cols,
                 const std::string& path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    for (std::size_t c = 0; c < cols.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), cols[c].label.c_str(), nullptr);
    for (std::size_t r = 0; r < customers.size(); ++r)
        for (std::size_t c = 0; c < cols.size(); ++c) {
            std::string cell = ExportCellText(*customers[r], cols[c].fieldName);
            if (!cell.empty()) worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), cell.c_str(), nullptr);
        }
    workbook_close(book);
}

}  // namespace

int main() {
    const int count = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::ScratchFolder scratch;
    bench::Generator gen;
    CKokyakuList list = bench::MakeCustomers(gen, count);
    std::vector<const CKokyaku*> customers;
    for (const auto& k : list) customers.push_back(k.get());
    const std::vector<CMLVCol> cols = AllColumns();

    CTextFormat text;
    bench::Compare(
        "export-csv-100k", 3,
        [&] { bench::Check(text.WriteRows(scratch.Path() + "/ours.csv", BuildExportTable(customers, cols)), "text"); },
        [&] { RawText(customers, cols, scratch.Path() + "/raw.csv"); });

    customers.resize(std::min<std::size_t>(customers.size(), CWorkbookFormat::kMaxDataRows));
    CWorkbookFormat workbook;
    bench::Compare(
        "export-xlsx-63k", 1,
        [&] {
            bench::Check(workbook.WriteRows(scratch.Path() + "/ours.xlsx", BuildExportTable(customers, cols)),
                         "workbook");
        },
        [&] { RawWorkbook(customers, cols, scratch.Path() + "/raw.xlsx"); });
    return 0;
}
