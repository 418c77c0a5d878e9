// The picture backup file (.mlvpbu) read by the restore after a good data backup file.
#include "BackupSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::BackupSet set;
    static const std::string book = set.Good("b.mlvdbu");
    fuzz::WriteInput("in/b.mlvdbu", book);
    fuzz::WriteInput("in/b_1.mlvpbu", fuzz::Bytes(data, size));
    set.Restore(fuzz::Scratch() + "/in");
    return 0;
}
