// The old-format workbook: the sheet kinds read from the compound file in
// this process, and the library's reading through its fence.
#include "FuzzSupport.h"
#include "exchange/Import.h"
#include "exchange/WorkbookImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::Bytes(data, size);
    XlsWorksheets(bytes);
    const std::string path = fuzz::WriteInput("in.xls", bytes);
    std::unique_ptr<CWorkbookReader> reader = OpenWorkbookForImport(path);
    if (!reader) return 0;
    ExchangeTable table;
    if (!reader->SheetNames().empty()) ReadSheetForImport(*reader, 0, table);
    return 0;
}
