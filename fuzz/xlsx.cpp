// The .xlsx reader as the import uses it: open, list, read every sheet.
#include "FuzzSupport.h"
#include "exchange/Import.h"
#include "exchange/WorkbookImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::WriteInput("in.xlsx", fuzz::Bytes(data, size));
    std::unique_ptr<CWorkbookReader> reader = OpenWorkbookForImport(path);
    if (!reader) return 0;
    const std::size_t sheets = reader->SheetNames().size();
    for (std::size_t i = 0; i < sheets && i < 4; ++i) {
        ExchangeTable table;
        ReadSheetForImport(*reader, i, table);
    }
    return 0;
}
