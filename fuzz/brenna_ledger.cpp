// The customer file of the slip-printing product's ledger tool.
#include "FuzzSupport.h"
#include "exchange/BrennaImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKokyakuList records;
    ReadBrennaLedger(fuzz::Bytes(data, size), records);
    return 0;
}
