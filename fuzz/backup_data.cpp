// The data backup file (.mlvdbu) read by the restore; its picture file is a good one.
#include "BackupSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::BackupSet set;
    static const std::string picture = set.Good("b_1.mlvpbu");
    fuzz::WriteInput("in/b.mlvdbu", fuzz::Bytes(data, size));
    fuzz::WriteInput("in/b_1.mlvpbu", picture);
    set.Restore(fuzz::Scratch() + "/in");
    return 0;
}
