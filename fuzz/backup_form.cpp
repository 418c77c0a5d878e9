// The form backup file (.mlvobu) read by the restore of the user-made forms.
#include "FuzzSupport.h"
#include "maintenance/FormBackup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string install = fuzz::Scratch() + "/forms";
    std::filesystem::create_directories(install + "/Data/MyData");
    std::filesystem::create_directories(install + "/Data/Org");
    CFormBackup(nullptr, install).RestoreFrom(fuzz::WriteInput("in.mlvobu", fuzz::Bytes(data, size)));
    return 0;
}
