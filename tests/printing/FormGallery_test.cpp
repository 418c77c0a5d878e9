// The gallery's entries, "開く" and the user-made form list with its dialog rules.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "customers/Kokyaku.h"
#include "printing/DispPrev.h"
#include "printing/FormGallery.h"
#include "printing/FormNames.h"
#include "printing/UserForms.h"
#include "support/TestPorts.h"

namespace fs = std::filesystem;

namespace {

class GalleryTest : public ::testing::Test {
protected:
    GalleryTest() { fs::create_directories(install.File("Data/Org")); }

    // A user-made copy of a built-in form, listed.
    int32_t AddUserForm(const std::string& name, int32_t original) {
        int32_t number = TakeUserFormNumber(install.Path());
        CFormLayout layout = *FindBuiltInForm(original);
        layout.number = number;
        layout.second = original;
        layout.title = name;
        WriteBytes(UserFormPath(install.Path(), number), FormLayoutXml(layout));
        auto forms = ReadUserForms(install.Path());
        forms.push_back({name, number});
        EXPECT_TRUE(WriteUserForms(install.Path(), forms));
        return number;
    }

    TestPorts ports;
    TempDir install;
};

}  // namespace

TEST_F(GalleryTest, TabsListBuiltInAndUserMadeForms) {
    std::vector<int32_t> numbers;
    for (int tab = 0; tab < 4; ++tab)
        for (const CGalleryEntry& e : GalleryEntries(install.Path(), tab)) numbers.push_back(e.layout);
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(GalleryEntries(install.Path(), kUserFormTab).empty());

    EXPECT_EQ(AddUserForm("私の封筒", 4), 40000);
    EXPECT_EQ(AddUserForm("名刺の控え", 8), 40001);
    auto user = GalleryEntries(install.Path(), kUserFormTab);
    ASSERT_EQ(user.size(), 2u);
    EXPECT_EQ(user[0].name, "私の封筒");
    EXPECT_EQ(user[0].second, 4);
    EXPECT_EQ(user[0].customerCount, 1);
    EXPECT_EQ(user[1].customerCount, 0);
    EXPECT_EQ(PreviewPicturePath(install.Path(), user[1].layout, user[1].second),
              install.File("Data/Preview/8.jpg"));
}

TEST_F(GalleryTest, OpeningAFormAsksHowCustomersAreChosen) {
    CMilvaneDoc doc(install.Path());
    CGalleryEntry labels = GalleryEntries(install.Path(), 1)[0];
    CGalleryEntry cards;
    for (const CGalleryEntry& e : GalleryEntries(install.Path(), 3)) cards = e;
    std::vector<int> presets;
    CFormLaunchUi ui;
    ui.chooseMethod = [&](int preset) {
        presets.push_back(preset);
        return -1;
    };
    OpenGalleryForm(&doc, nullptr, ui);
    OpenGalleryForm(nullptr, &labels, ui);
    OpenGalleryForm(&doc, &labels, ui);  // cancelled
    EXPECT_EQ(presets.size(), 1u);
    OpenGalleryForm(&doc, &cards, ui);  // no customer data: the form program straight away
    EXPECT_EQ(presets.size(), 1u);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"フォームを選択してください", "リストの情報を取得できません",
                                                              install.File("exe/Frmprint") + "を起動できません"}));
    EXPECT_EQ(ports.prompt.Log().back().icon, MsgIcon::Exclamation);
}

TEST_F(GalleryTest, AnEmptyDmStopsPrinting) {
    CMilvaneDoc doc(install.Path());
    CGalleryEntry labels = GalleryEntries(install.Path(), 1)[0];
    CFormLaunchUi ui;
    ui.chooseMethod = [](int) { return 2; };
    ui.selectDm = [](int32_t& key, std::vector<uint32_t>& targets, bool& record) {
        key = 5;
        targets.clear();
        return true;
    };
    OpenGalleryForm(&doc, &labels, ui);
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{
                  "選択したDMタイトルに送付対象顧客がありません。\n「DM送付管理」画面で送付対象顧客を設定してください。"});
}

TEST_F(GalleryTest, DeletingSelectedFormsGoesBottomUp) {
    for (const char* name : {"一", "二", "三", "四"}) AddUserForm(name, 1);
    auto forms = ReadUserForms(install.Path());
    int changes = 0;
    CFormNamesLogic logic(install.Path(), forms, [&] { ++changes; });

    logic.Delete({});
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_TRUE(logic.Delete({0, 2, 3}).empty());
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(logic.Delete({0, 2, 3}), (std::vector<int>{3, 2, 0}));
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"削除するフォームを選択してください",
                                                              "選択したフォームをすべて削除してよろしいですか？",
                                                              "選択したフォームをすべて削除してよろしいですか？"}));
    EXPECT_EQ(ports.prompt.Log()[1].defaultButton, Answer::No);
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0].name, "二");
    EXPECT_EQ(ReadUserForms(install.Path()), forms);
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(fs::exists(UserFormPath(install.Path(), 40000)));
    EXPECT_TRUE(fs::exists(UserFormPath(install.Path(), 40001)));
    // A form no longer in the list stays in the dialog.
    WriteUserForms(install.Path(), {});
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(logic.Delete({0}).empty());
    EXPECT_EQ(forms.size(), 1u);
}

TEST_F(GalleryTest, RenamingNeedsExactlyOneRow) {
    AddUserForm("一", 1);
    AddUserForm("二", 2);
    auto forms = ReadUserForms(install.Path());
    CFormNamesLogic logic(install.Path(), forms, nullptr);
    int asked = 0;
    auto ask = [&](std::string& name) {
        ++asked;
        EXPECT_EQ(name, "二");
        name = "新しい名前";
        return true;
    };
    EXPECT_FALSE(logic.Rename({0, 1}, ask));
    EXPECT_FALSE(logic.Rename({}, ask));
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(logic.Rename({1}, ask));
    EXPECT_EQ(ReadUserForms(install.Path())[1].name, "新しい名前");
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"名前の変更をするには、フォームを１つだけ選択してください",
                                                              "名前を変更するフォームを選択してください"}));
    EXPECT_EQ(CFormNamesLogic::CheckName(""), "フォーム名を入力してください");
    EXPECT_EQ(CFormNamesLogic::CheckName("x"), "");
    EXPECT_TRUE(CFormNamesLogic::RenameEnabled({2}));
    EXPECT_FALSE(CFormNamesLogic::RenameEnabled({1, 2}));
    EXPECT_FALSE(CFormNamesLogic::DeleteEnabled({}));
}

TEST_F(GalleryTest, CopiesBecomeUserMadeFormsOfTheirOriginal) {
    const int32_t first = SaveUserFormCopy(install.Path(), *FindBuiltInForm(2), "ずらしたラベル", 1.5, -2);
    ASSERT_EQ(first, 40000);
    CFormLayout copy;
    ASSERT_TRUE(CBrnMainData(install.Path()).LoadLayout(first, copy));
    EXPECT_EQ(copy.second, 2);
    EXPECT_EQ(copy.title, "ずらしたラベル");
    EXPECT_DOUBLE_EQ(copy.left, FindBuiltInForm(2)->left + 1.5);
    EXPECT_DOUBLE_EQ(copy.top, FindBuiltInForm(2)->top - 2);
    // A copy of a copy keeps the built-in original; postal boxes stay put.
    CFormLayout card = *FindBuiltInForm(3);
    card.number = 40007;
    card.second = 3;
    const int32_t second = SaveUserFormCopy(install.Path(), card, "はがき2", 0, 3);
    ASSERT_EQ(second, 40001);
    ASSERT_TRUE(CBrnMainData(install.Path()).LoadLayout(second, copy));
    EXPECT_EQ(copy.second, 3);
    EXPECT_DOUBLE_EQ(copy.items[0].y, card.items[0].y);      // postal
    EXPECT_DOUBLE_EQ(copy.items[1].y, card.items[1].y + 3);  // address
    EXPECT_EQ(ReadUserForms(install.Path()),
              (std::vector<CUserFormEntry>{{"ずらしたラベル", 40000}, {"はがき2", 40001}}));
}

TEST_F(GalleryTest, FormsWithoutCustomersStartTheFormProgramWithTheirNumber) {
    fs::create_directories(install.File("exe"));
    const std::string out = install.File("args.txt");
    WriteBytes(install.File("exe/Frmprint"), "#!/bin/sh\necho \"$@\" > " + out + ".tmp && mv " + out + ".tmp " + out + "\n");
    fs::permissions(install.File("exe/Frmprint"), fs::perms::owner_all);
    CMilvaneDoc doc(install.Path());
    CGalleryEntry cards = GalleryEntries(install.Path(), 3)[0];
    OpenGalleryForm(&doc, &cards, {});
    EXPECT_TRUE(ports.prompt.Log().empty());
    for (int i = 0; i < 200 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadBytes(out), "/L:8\n");
}
