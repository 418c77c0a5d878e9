#include "pictures/Pictures.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <new>

#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/MLVColSet.h"

namespace {

int32_t ReadLe32(const std::vector<uint8_t>& d, std::size_t at) {
    return static_cast<int32_t>(uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 |
                                uint32_t(d[at + 3]) << 24);
}

}  // namespace

bool CPalDIB::Load(std::vector<uint8_t> bytes) {
    Clear();
    if (bytes.size() < 26 || (bytes[0] | bytes[1] << 8) != 0x4D42) {
        m_error = true;
        return false;
    }
    m_data = std::move(bytes);
    m_width = ReadLe32(m_data, 18);
    m_height = ReadLe32(m_data, 22);
    return true;
}

bool CPalDIB::Read(const std::string& path) {
    Clear();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        m_error = true;
        return false;
    }
    const std::streamoff length = in.tellg();
    in.seekg(0);
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(std::max<std::streamoff>(length, 0)));
    } catch (const std::bad_alloc&) {
        ShowMessage(kPictureTooLarge);
        m_error = true;
        return false;
    } catch (const std::length_error&) {
        ShowMessage(kPictureTooLarge);
        m_error = true;
        return false;
    }
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        m_error = true;
        return false;
    }
    return Load(std::move(bytes));
}

bool CPalDIB::Write(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(m_data.data()), static_cast<std::streamsize>(m_data.size()));
    return static_cast<bool>(out);
}

void CPalDIB::Clear() {
    m_data.clear();
    m_width = m_height = 0;
    m_error = false;
}

double PictureZoom(int bw, int bh, int rw, int rh) {
    if (bw <= 0 || bh <= 0 || rw <= 0 || rh <= 0) return 0.0;
    return 100.0 * std::min(static_cast<double>(rw) / bw, static_cast<double>(rh) / bh);
}

std::string PicturePath(const std::string& value, const std::string& pictureFolder) {
    if (value.find('/') != std::string::npos) return value;
    return JoinPath(pictureFolder, ResolveSjisName(pictureFolder, value));
}

std::string ChoosePictureFile() {
    auto path = Ports::Prompt().ChooseOpenFile(kPictureChooserTitle, kPictureFilter, "");
    return path ? *path : std::string();
}

bool AskRemovePicture() {
    return Ports::Prompt().AskYesNo("画像の登録を解除してよろしいですか？\n(画像ファイル自身は削除しません)",
                                    MsgIcon::Question, Answer::Yes) == Answer::Yes;
}

// ---------------------------------------------------------------- picture dialog

const std::array<PictureSlotIds, kPictureSlots>& PictureSlotControls() {
    static const std::array<PictureSlotIds, kPictureSlots> ids = {{{1294, 1290, 1291, 1292},
                                                                   {1298, 1299, 1296, 1297},
                                                                   {1303, 1304, 1301, 1302},
                                                                   {1308, 1309, 1306, 1307},
                                                                   {1313, 1314, 1311, 1312}}};
    return ids;
}

CPictureSelectLogic::CPictureSelectLogic(std::array<std::string, kPictureSlots> names, bool viewOnly)
    : m_names(std::move(names)), m_viewOnly(viewOnly) {}

std::string CPictureSelectLogic::Title() const {
    return m_viewOnly ? "画像を参照(修正することはできません)" : "画像の選択";
}

bool CPictureSelectLogic::OnAdd(int slot) {
    if (m_viewOnly || slot < 0 || slot >= kPictureSlots) return false;
    std::string path = ChoosePictureFile();
    if (path.empty()) return false;
    m_names[slot] = std::move(path);
    return true;
}

bool CPictureSelectLogic::OnRemove(int slot) {
    if (!RemoveEnabled(slot) || !AskRemovePicture()) return false;
    m_names[slot].clear();
    return true;
}

std::array<std::string, kPictureSlots> PictureSlotCaptions(const std::string& installDir) {
    std::array<std::string, kPictureSlots> captions = {"画像１", "画像２", "画像３", "画像４", "画像５"};
    CMLVColSet set(installDir);
    if (!set.Load()) return captions;
    for (int i = 0; i < kPictureSlots; ++i) {
        std::string label = set.GetLabel("Picture" + std::to_string(i + 1));
        if (!label.empty()) captions[i] = label;
    }
    return captions;
}
