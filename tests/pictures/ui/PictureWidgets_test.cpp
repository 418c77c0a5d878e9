#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "pictures/ui/PictureSelectDlg.h"
#include "pictures/ui/PictureWnd.h"
#include "support/TestPorts.h"

namespace {

void SaveImage(const std::string& path, int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(path), format));
}

}  // namespace

TEST(PictureWnd, BitmapsAndJpegsWhateverTheirName) {
    TempDir dir;
    SaveImage(dir.File("wide.bmp"), 200, 100, "BMP");
    SaveImage(dir.File("photo.bmp"), 40, 40, "JPG");  // a JPEG named .bmp
    WriteBytes(dir.File("junk.jpg"), "not a picture");
    CPictureWnd wnd;
    wnd.setFixedSize(92, 99);
    wnd.SetFolder(dir.Path());
    struct Case {
        std::string value;
        bool shown;
        bool bitmap;
    } cases[] = {{"wide.bmp", true, true},
                 {dir.File("photo.bmp"), true, false},
                 {"junk.jpg", false, false},
                 {"missing.bmp", false, false},
                 {"", false, false}};
    for (const auto& c : cases) {
        wnd.SetPicture(c.value);
        EXPECT_EQ(wnd.EnsureLoaded(), c.shown) << c.value;
        EXPECT_EQ(wnd.Bitmap().IsValid(), c.bitmap) << c.value;
    }
    wnd.SetPicture("wide.bmp");
    ASSERT_TRUE(wnd.EnsureLoaded());
    EXPECT_DOUBLE_EQ(wnd.Bitmap().zoom, 46.0);
    EXPECT_EQ(wnd.Image().size(), QSize(200, 100));
}

TEST(PictureSelectDlg, RegisterRemoveAndViewOnly) {
    TestPorts ports;
    TempDir dir;
    SaveImage(dir.File("a.jpg"), 10, 10, "JPG");
    const std::array<std::string, kPictureSlots> captions = {"画像１", "画像２", "画像３", "画像４", "画像５"};
    CPictureSelectDlg dlg({"a.jpg", "", "", "", ""}, false, captions, dir.Path());
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("画像の選択"));
    EXPECT_TRUE(dlg.RemoveButton(0)->isEnabled());
    EXPECT_FALSE(dlg.RemoveButton(1)->isEnabled());
    EXPECT_EQ(dlg.NameBox(0)->accessibleName(), QString::fromUtf8("画像１：ファイル名"));

    ports.prompt.QueueChoice(dir.File("a.jpg"));
    dlg.OnAdd(1);
    EXPECT_EQ(dlg.NameBox(1)->text().toStdString(), dir.File("a.jpg"));
    EXPECT_TRUE(dlg.RemoveButton(1)->isEnabled());
    EXPECT_TRUE(dlg.Window(1)->EnsureLoaded());

    ports.prompt.QueueAnswer(Answer::Yes);
    dlg.OnRemove(0);
    EXPECT_EQ(dlg.NameBox(0)->text(), QString());
    EXPECT_FALSE(dlg.RemoveButton(0)->isEnabled());
    EXPECT_FALSE(dlg.Window(0)->EnsureLoaded());
    EXPECT_TRUE(std::filesystem::exists(dir.File("a.jpg")));  // the file stays

    CPictureSelectDlg view({"a.jpg", "", "", "", ""}, true, captions, dir.Path());
    EXPECT_EQ(view.windowTitle(), QString::fromUtf8("画像を参照(修正することはできません)"));
    EXPECT_FALSE(view.OkButton()->isEnabled());
    EXPECT_EQ(view.CancelButton()->text(), QString::fromUtf8("閉じる"));
    for (int i = 0; i < kPictureSlots; ++i) {
        EXPECT_FALSE(view.AddButton(i)->isEnabled());
        EXPECT_FALSE(view.RemoveButton(i)->isEnabled());
    }
}
