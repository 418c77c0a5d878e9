// Desktop database files through their fence: open, list, read each table.
#include "FuzzSupport.h"
#include "exchange/Import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::WriteInput("in.mdb", fuzz::Bytes(data, size));
    std::unique_ptr<ITableSource> source = MakeMdbTableSource();
    if (!source->Open(path)) return 0;
    const std::vector<std::string> tables = source->Tables();
    for (std::size_t i = 0; i < tables.size() && i < 4; ++i) {
        ExchangeTable rows;
        source->ReadTable(tables[i], rows);
    }
    return 0;
}
