#include <gtest/gtest.h>

#include "customers/DefaultSort.h"
#include "customers/DispSettings.h"
#include "customers/SettingsFixture.h"

namespace {

std::vector<std::string> Names(const std::vector<CMLVCol>& cols) {
    std::vector<std::string> out;
    for (const auto& c : cols) out.push_back(c.fieldName);
    return out;
}

class DispSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestInstall::WriteSet(inst.DataFile("MLVColSet.sys"), SampleColumns());
        CMLVDispKokyakuCol disp(inst.install);
        disp.names = {"Name", "Gone", "CustomerID"};
        ASSERT_EQ(disp.Save(), 1);
    }
    TestPorts ports;
    TestInstall inst;
};

TEST_F(DispSettingsTest, OpeningFillsTheListsThenShowHideAndMove) {
    CDispSettingsModel model(inst.install);
    ASSERT_EQ(model.Open(), 1);
    EXPECT_EQ(Names(model.Displayed()), (std::vector<std::string>{"Name", "CustomerID"}));
    EXPECT_EQ(Names(model.Available()),
              (std::vector<std::string>{"Yomi", "TEL_Home", "Ranking1", "Note1", "RirekiUpDate"}));
    EXPECT_EQ(Names(model.SortChoices()), (std::vector<std::string>{"CustomerID", "Name", "Yomi", "TEL_Home",
                                                                    "Ranking1", "Note1", "RirekiUpDate"}));
    // No "DefOrder.dat": descending by RirekiUpDate.
    EXPECT_EQ(model.SortIndex(), 6);
    EXPECT_EQ(model.SortDirection(), 1);
    EXPECT_TRUE(ports.prompt.Log().empty());

    EXPECT_EQ(model.Show(-1), -1);
    EXPECT_EQ(model.Hide(-1), false);
    EXPECT_EQ(model.MoveUp(-1), -1);
    EXPECT_EQ(model.MoveDown(5), -1);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"表示したい列を「表示可能な列」から選択してください",
                                        "表示をやめる列を「表示列」から選択してください", "移動する項目を選択してください",
                                        "移動する項目を選択してください"}));
    ports.prompt.Clear();

    EXPECT_EQ(model.Show(3), 2);  // Note1 goes to the end
    EXPECT_EQ(Names(model.Displayed()), (std::vector<std::string>{"Name", "CustomerID", "Note1"}));
    EXPECT_EQ(Names(model.Available()), (std::vector<std::string>{"Yomi", "TEL_Home", "Ranking1", "RirekiUpDate"}));

    EXPECT_EQ(model.MoveUp(0), 0);
    EXPECT_EQ(model.MoveDown(2), 2);
    EXPECT_EQ(model.MoveUp(1), 0);
    EXPECT_EQ(Names(model.Displayed()), (std::vector<std::string>{"CustomerID", "Name", "Note1"}));

    EXPECT_TRUE(model.Hide(1));  // Name returns to its place in set order
    EXPECT_EQ(Names(model.Available()),
              (std::vector<std::string>{"Name", "Yomi", "TEL_Home", "Ranking1", "RirekiUpDate"}));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(DispSettingsTest, HidingAColumnListedTwiceTakesOutItsFirstEntry) {
    CMLVDispKokyakuCol disp(inst.install);
    disp.names = {"Name", "CustomerID", "Yomi", "Name"};
    ASSERT_EQ(disp.Save(), 1);
    CDispSettingsModel model(inst.install);
    ASSERT_EQ(model.Open(), 1);
    EXPECT_TRUE(model.Hide(3));
    EXPECT_EQ(Names(model.Displayed()), (std::vector<std::string>{"CustomerID", "Yomi", "Name"}));
    EXPECT_EQ(Names(model.Available()), (std::vector<std::string>{"TEL_Home", "Ranking1", "Note1", "RirekiUpDate"}));
    EXPECT_TRUE(model.Hide(2));
    EXPECT_EQ(Names(model.Displayed()), (std::vector<std::string>{"CustomerID", "Yomi"}));
}

TEST_F(DispSettingsTest, OkWritesTheColumnsAndTheOrder) {
    CDispSettingsModel model(inst.install);
    ASSERT_EQ(model.Open(), 1);
    model.Show(0);
    model.SetSortIndex(2);
    model.SetSortDirection(0);
    model.Ok();
    EXPECT_TRUE(ports.prompt.Log().empty());
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVDispCol.sys")),
              Hex("03 00 04") + "Name" + Hex("0A") + "CustomerID" + Hex("04") + "Yomi");
    EXPECT_EQ(ReadBytes(inst.DataFile("DefOrder.dat")), Hex("04") + "Yomi" + Hex("00 00 00 00"));

    CDispSettingsModel again(inst.install);
    ASSERT_EQ(again.Open(), 1);
    EXPECT_EQ(again.SortIndex(), 2);
    EXPECT_EQ(again.SortDirection(), 0);

    // No direction leaves the order file alone.
    CDefaultSort sort(inst.data);
    sort.fieldName = "Name";
    sort.direction = 2;
    ASSERT_EQ(sort.Save(), 1);
    const std::string before = ReadBytes(inst.DataFile("DefOrder.dat"));
    CDispSettingsModel none(inst.install);
    ASSERT_EQ(none.Open(), 1);
    EXPECT_EQ(none.SortDirection(), 2);
    none.Ok();
    EXPECT_EQ(ReadBytes(inst.DataFile("DefOrder.dat")), before);
}

TEST_F(DispSettingsTest, FailedWritesOfBothDialogsAreTold) {
    CDispSettingsModel model(inst.install);
    CFreeItemNamesModel names(inst.install);
    ASSERT_EQ(model.Open(), 1);
    ASSERT_EQ(names.Open(), 1);
    std::filesystem::remove_all(inst.data);
    model.Ok();
    EXPECT_FALSE(names.Ok());
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"ファイル操作中にエラーが発生しました", "表示列の設定ができませんでした",
                                        "ファイルを開けません。並び順を設定できません。", "並び順の設定ができませんでした",
                                        "ファイル操作中にエラーが発生しました", "項目名の変更ができませんでした"}));
}

TEST_F(DispSettingsTest, RefusedResetClosesTheDialog) {
    std::filesystem::remove(inst.DataFile("MLVColSet.sys"));
    ports.prompt.QueueAnswer(Answer::No);
    CDispSettingsModel model(inst.install);
    EXPECT_EQ(model.Open(), 0);
}

using FreeItemNamesTest = DispSettingsTest;

TEST_F(FreeItemNamesTest, ChangeRulesAndOk) {
    CFreeItemNamesModel model(inst.install);
    ASSERT_EQ(model.Open(), 1);
    EXPECT_EQ(Names(model.Items()), (std::vector<std::string>{"Ranking1", "Note1"}));

    EXPECT_FALSE(model.Change(-1, "趣味"));
    EXPECT_FALSE(model.Change(1, ""));
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"変更する項目名が選択されていません。\nリストから現在の項目名を選択した後、"
                                        "新しい項目名を入力して【変更】ボタンをクリックしてください。",
                                        "項目名を入力してください。"}));
    ports.prompt.Clear();

    EXPECT_TRUE(model.Change(1, "趣味と特技"));  // 10 bytes: no warning
    EXPECT_TRUE(ports.prompt.Log().empty());
    EXPECT_TRUE(model.Change(0, "会員ランク区分"));  // 14 bytes: warned, then accepted
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"項目名が全角で５文字を超えています。\n"
                                                             "詳細設定画面で、項目名を表示しきれない可能性があります。"});
    EXPECT_EQ(model.Items()[0].label, "会員ランク区分");
    EXPECT_EQ(model.Items()[1].label, "趣味と特技");

    EXPECT_TRUE(model.Ok());
    EXPECT_EQ(GetLabel(inst.install, "Note1"), "趣味と特技");
    EXPECT_EQ(GetLabel(inst.install, "Ranking1"), "会員ランク区分");
}

TEST_F(FreeItemNamesTest, ResetCopiesTheMasterAtOnce) {
    auto master = SampleColumns();
    master[8].label = "備考(元)";
    TestInstall::WriteSet(inst.MasterFile(), master);
    CFreeItemNamesModel model(inst.install);
    ASSERT_EQ(model.Open(), 1);
    ASSERT_TRUE(model.Change(1, "趣味"));

    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(model.Reset());
    EXPECT_EQ(model.Items()[1].label, "趣味");

    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(model.Reset());
    EXPECT_EQ(model.Items()[1].label, "備考(元)");
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")), ReadBytes(inst.MasterFile()));
    EXPECT_EQ(ports.prompt.Log().back().text,
              "すべての項目名を初期状態に戻します。この操作は元に戻せません。\nよろしいですか？");
    EXPECT_EQ(ports.prompt.Log().back().icon, MsgIcon::Information);
}

}  // namespace
