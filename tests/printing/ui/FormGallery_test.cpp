// The menu screen's gallery: tabs, the picture of the selected form (a
// user-made form shows its original's), "開く" and "顧客選択方法".
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

#include <filesystem>

#include "app/ui/FrameFixture.h"
#include "common/ui/ValueLabel.h"
#include "printing/FormLayout.h"
#include "printing/UserForms.h"
#include "printing/ui/FormGalleryUi.h"

namespace {

class GalleryUiTest : public FrameTest {
protected:
    void SetUp() override {
        features = std::make_shared<CMenuScreenFeatures>();
        FrameTest::SetUp();
        std::filesystem::create_directories(install.File("Data/Preview"));
        std::filesystem::create_directories(install.File("Data/Org"));
        QImage picture(30, 40, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        ASSERT_TRUE(picture.save(QString::fromStdString(install.File("Data/Preview/3.jpg")), "JPG"));
        CFormLayout copy = *FindBuiltInForm(3);
        copy.number = TakeUserFormNumber(install.Path());
        copy.second = 3;
        WriteBytes(UserFormPath(install.Path(), copy.number), FormLayoutXml(copy));
        WriteUserForms(install.Path(), {{"私のはがき", copy.number}});
    }
    QLabel* Preview() { return Menu()->findChild<QLabel*>("formPreview"); }
    CValueLabel* Name() { return Menu()->findChild<CValueLabel*>("formName"); }
};

}  // namespace

TEST_F(GalleryUiTest, TabsFillTheListAndTheSelectionShowsItsPicture) {
    CMilvaneView* view = Menu();
    view->SelectTab(1);
    QListWidget* gallery = view->Gallery();
    ASSERT_EQ(gallery->count(), 5);
    EXPECT_EQ(gallery->currentItem(), nullptr);
    gallery->setCurrentRow(2);  // the postcard, which has a picture
    EXPECT_EQ(doc->SelectedFormId, 3);
    ASSERT_NE(Preview(), nullptr);
    EXPECT_FALSE(Preview()->pixmap().isNull());
    EXPECT_EQ(Name()->Value(), "はがき宛名（縦書き）");
    gallery->setCurrentRow(0);  // no picture
    EXPECT_TRUE(Preview()->pixmap().isNull());

    view->SelectTab(4);
    ASSERT_EQ(gallery->count(), 1);
    gallery->setCurrentRow(0);
    EXPECT_EQ(doc->SelectedFormId, 40000);
    EXPECT_FALSE(Preview()->pixmap().isNull());  // the original's picture
    EXPECT_EQ(Name()->Value(), "私のはがき");
    // Coming back keeps the remembered form selected.
    view->SelectTab(0);
    view->SelectTab(4);
    ASSERT_NE(gallery->currentItem(), nullptr);
    EXPECT_EQ(gallery->currentItem()->text(), "私のはがき");
    EXPECT_EQ(features->UserFormCount(*doc), 1);
}

TEST_F(GalleryUiTest, OpeningWithoutAFormAsksForOne) {
    CMilvaneView* view = Menu();
    view->SelectTab(2);  // no forms on this tab
    EXPECT_EQ(view->Gallery()->count(), 0);
    features->OpenForm(*view);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"フォームを選択してください"});
}

TEST(CustomerMethodDlg, ChoicesNotAvailableStayOff) {
    CCustomerMethodDlg dialog({true, false, true}, 1, nullptr);
    EXPECT_TRUE(dialog.Option(0)->isChecked());  // the preset is not available
    EXPECT_FALSE(dialog.Option(1)->isEnabled());
    dialog.Option(2)->setChecked(true);
    EXPECT_EQ(dialog.Choice(), 2);
    EXPECT_EQ(dialog.Option(1)->accessibleName(), "顧客一覧から選択する");
}
