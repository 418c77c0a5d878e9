#include <gtest/gtest.h>

#include <cstring>

#include "pictures/Pictures.h"
#include "support/TestPorts.h"

namespace {

// A minimal bitmap file image of the given size (header fields only).
std::string Bitmap(int32_t w, int32_t h) {
    std::string b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    std::memcpy(&b[18], &w, 4);
    std::memcpy(&b[22], &h, 4);
    return b;
}

}  // namespace

TEST(PalDIB, AcceptsOnlyWholeBitmaps) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        bool ok;
    } cases[] = {{"ok.bmp", Bitmap(200, 100), true},
                 {"jpeg.bmp", std::string("\xFF\xD8\xFF\xE0", 4) + std::string(60, '\0'), false},
                 {"short.bmp", "BM", false},
                 {"empty.bmp", "", false}};
    for (const auto& c : cases) {
        WriteBytes(dir.File(c.name), c.bytes);
        CPalDIB dib;
        EXPECT_EQ(dib.Read(dir.File(c.name)), c.ok) << c.name;
        EXPECT_EQ(dib.Error(), !c.ok) << c.name;
        EXPECT_EQ(dib.IsValid(), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(dib.Width(), 200);
            EXPECT_EQ(dib.Height(), 100);
            EXPECT_EQ(dib.Size(), 54u);
            ASSERT_TRUE(dib.Write(dir.File("copy.bmp")));
            EXPECT_EQ(ReadBytes(dir.File("copy.bmp")), c.bytes);
        }
    }
    CPalDIB missing;
    EXPECT_FALSE(missing.Read(dir.File("none.bmp")));
    EXPECT_TRUE(missing.Error());
}

TEST(PictureZoom, KeepsTheAspect) {
    struct Case {
        int bw, bh, rw, rh;
        double zoom;
    } cases[] = {{200, 100, 92, 99, 46.0}, {100, 200, 92, 99, 49.5}, {50, 50, 100, 200, 200.0},
                 {0, 100, 92, 99, 0.0},    {200, 100, 0, 99, 0.0}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(PictureZoom(c.bw, c.bh, c.rw, c.rh), c.zoom);
    EXPECT_EQ(PicturePath("a.jpg", "/data/Picture"), "/data/Picture/a.jpg");
    EXPECT_EQ(PicturePath("/elsewhere/a.jpg", "/data/Picture"), "/elsewhere/a.jpg");
}
