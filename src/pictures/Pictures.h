// Pictures of customers and history entries: the raw bitmap holder, the
// scale rule of the picture windows, where a picture file is found, and the
// rules of the picture dialog "画像の選択".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A bitmap file image held whole, file header included. Reading accepts only
// a complete file that starts with the bitmap signature "BM"; anything else
// leaves no data and sets the error flag.
class CPalDIB {
public:
    static constexpr int kSchema = 1;

    // Reads the whole file. False (error flag set) when it is unreadable,
    // short or no bitmap; an allocation failure shows kPictureTooLarge.
    bool Read(const std::string& path);
    // Takes a file image already in memory (same checks as Read).
    bool Load(std::vector<uint8_t> bytes);
    // Writes the buffer unchanged.
    bool Write(const std::string& path) const;
    void Clear();

    bool IsValid() const { return !m_data.empty(); }
    bool Error() const { return m_error; }
    const std::vector<uint8_t>& Data() const { return m_data; }
    uint32_t Size() const { return static_cast<uint32_t>(m_data.size()); }
    // From the info header at byte offsets 18 and 22.
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }

    double zoom = 100.0;  // display scale in percent

private:
    std::vector<uint8_t> m_data;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_error = false;
};

inline constexpr const char* kPictureTooLarge =
    "画像ファイルが大きすぎてメモリ確保できませんでした｡\n起動中の他のｱﾌﾟﾘｹｰｼｮﾝを終了し､再度操作を行ってみてください。";

// Scale in percent that fits a picture into a rectangle keeping its aspect:
// 100 × min(rw / bw, rh / bh); 0 when any size is zero.
double PictureZoom(int bitmapWidth, int bitmapHeight, int rectWidth, int rectHeight);

// The file of a picture value: a value holding "/" is a path of its own,
// a bare name lives in the picture folder.
std::string PicturePath(const std::string& value, const std::string& pictureFolder);

// The open-file dialog of "登録..." (title, filter as the prompt port takes it).
inline constexpr const char* kPictureChooserTitle = "ファイルを開く";
inline constexpr const char* kPictureFilter = "jpg ﾌｧｲﾙ(*.jpg);;bmp ﾌｧｲﾙ(*.bmp)";
// Asks for a picture file; the full path, or "" when cancelled.
std::string ChoosePictureFile();
// "画像の登録を解除してよろしいですか？..." (the file itself stays); true on Yes.
bool AskRemovePicture();

// ---------------------------------------------------------------- picture dialog

inline constexpr int kPictureSlots = 5;

// Control ids of the five slots.
struct PictureSlotIds {
    int window, name, add, remove;
};
const std::array<PictureSlotIds, kPictureSlots>& PictureSlotControls();

class CPictureSelectLogic {
public:
    CPictureSelectLogic(std::array<std::string, kPictureSlots> names, bool viewOnly);

    std::string Title() const;
    bool ViewOnly() const { return m_viewOnly; }
    bool OkEnabled() const { return !m_viewOnly; }
    bool AddEnabled() const { return !m_viewOnly; }
    bool RemoveEnabled(int slot) const { return !m_viewOnly && !m_names[slot].empty(); }
    std::string CancelText() const { return m_viewOnly ? "閉じる" : "ｷｬﾝｾﾙ"; }

    // True when the slot changed.
    bool OnAdd(int slot);
    bool OnRemove(int slot);

    const std::array<std::string, kPictureSlots>& Names() const { return m_names; }

private:
    std::array<std::string, kPictureSlots> m_names;
    bool m_viewOnly;
};

// The slot captions: the labels of "Picture1".."Picture5" from the column set
// of the data folder named by the installation, or "画像１".."画像５".
std::array<std::string, kPictureSlots> PictureSlotCaptions(const std::string& installDir);
