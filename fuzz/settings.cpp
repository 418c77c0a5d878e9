// The settings files of the data folder and the installation, read by their
// own loaders: the first byte of the input chooses the file, the rest is its
// content.
#include "FuzzSupport.h"
#include "common/SjisText.h"
#include "customers/ComboData.h"
#include "customers/DefaultSort.h"
#include "customers/MLVColSet.h"
#include "customers/PreExtraction.h"
#include "extract/ExCondition.h"
#include "printing/UserForms.h"

namespace {

struct Install {
    std::string dir = fuzz::Scratch() + "/settings";
    std::string data = dir + "/data";
    Install() {
        std::filesystem::create_directories(dir + "/Data/Org");
        std::filesystem::create_directories(data);
        fuzz::WriteInput("settings/Data/MyData/datadir.dat", Utf8ToSjis(data));
    }
};

void Write(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Install install;
    if (size == 0) return 0;
    const std::string_view content(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 7) {
    case 0:
        Write(install.data + "/" + kColSetFileName, content);
        CMLVColSet(install.dir).Load();
        break;
    case 1:
        Write(install.data + "/" + kDispColFileName, content);
        CMLVDispKokyakuCol(install.dir).Load();
        break;
    case 2:
        Write(install.data + "/MLVExtract.sys", content);
        CExtract(install.dir).Load();
        break;
    case 3: {
        const int list = static_cast<int>(content.empty() ? 0 : static_cast<unsigned char>(content[0]) % 9);
        CMLVComboData combo(install.dir);
        combo.Load(list);  // the default list, so that the path is known
        Write(combo.FilePath(), content);
        combo.Load(list);
        break;
    }
    case 4:
        Write(PreExtractionPath(install.data), content);
        LoadCondition(install.data);
        break;
    case 5: {
        CDefaultSort sort(install.data);
        Write(sort.FilePath(), content);
        sort.GetOrderText();
        break;
    }
    default:
        Write(UserFormListPath(install.dir), content);
        Write(UserFormNumberPath(install.dir), content);
        ReadUserForms(install.dir);
        TakeUserFormNumber(install.dir);
        break;
    }
    return 0;
}
