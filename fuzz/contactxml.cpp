// The ContactXML reader of the import.
#include "FuzzSupport.h"
#include "exchange/ContactXml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKokyakuList records;
    ParseContactXml(fuzz::Bytes(data, size), fuzz::Scratch(), records);
    return 0;
}
