// The installation's datadir.dat, read at every start.
#include "FuzzSupport.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string install = fuzz::Scratch() + "/datadir";
    fuzz::WriteInput("datadir/Data/MyData/datadir.dat", fuzz::Bytes(data, size));
    CMilvaneDoc doc(install);
    doc.ReadDataDir();
    GetDataFolder(install);
    return 0;
}
