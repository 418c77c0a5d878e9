// The text import: encoding guess, preview and the delimited-text parser.
#include "FuzzSupport.h"
#include "exchange/TextImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::Bytes(data, size);
    DetectTextEncoding(bytes);
    TextPreview(bytes);
    for (char delimiter : {',', '\t', '|'}) {
        ExchangeTable rows;
        ParseDelimitedText(bytes, delimiter, rows);
    }
    return 0;
}
