#include <gtest/gtest.h>

#include "common/SjisText.h"
#include "customers/ComboData.h"
#include "customers/MLVColSet.h"
#include "customers/SettingsFixture.h"

namespace {

TEST_F(SettingsTest, ColSetFile_OneDefinitionThenASecondByReference) {
    CMLVColSet set(inst.install);
    set.columns = {{"CustomerID", "お客様コード", 0}};
    ASSERT_EQ(set.Save(), 1);
    const std::string one = Hex("01 00 FF FF 01 00 07 00") + "CMLVCol" + Text("CustomerID") + Text("お客様コード") +
                            Hex("00 00 00 00");
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")), one);

    set.columns.push_back({"Note1", "備考１", 1});
    ASSERT_EQ(set.Save(), 1);
    const std::string two = Hex("02 00 FF FF 01 00 07 00") + "CMLVCol" + Text("CustomerID") + Text("お客様コード") +
                            Hex("00 00 00 00") + Hex("01 80") + Text("Note1") + Text("備考１") + Hex("01 00 00 00");
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")), two);

    CMLVColSet again(inst.install);
    ASSERT_EQ(again.Load(), 1);
    EXPECT_EQ(again.columns, set.columns);
    EXPECT_TRUE(ports.prompt.Log().empty());

    // A 255-byte label takes the wide length form, 254 bytes the short one.
    set.columns = {{"Note1", std::string(255, 'x'), 1}, {"Note2", std::string(254, 'y'), 1}};
    ASSERT_EQ(set.Save(), 1);
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")),
              Hex("02 00 FF FF 01 00 07 00") + "CMLVCol" + Text("Note1") + Hex("FF FF 00") + std::string(255, 'x') +
                  Hex("01 00 00 00") + Hex("01 80") + Text("Note2") + Hex("FE") + std::string(254, 'y') +
                  Hex("01 00 00 00"));
    ASSERT_EQ(again.Load(), 1);
    EXPECT_EQ(again.columns, set.columns);
}

TEST_F(SettingsTest, ColSetLoad_MissingFileIsResetFromTheMasterAfterAsking) {
    const std::string noMaster = "元の列定義ファイルが見つかりません。\n修正インストールを行ってください。";
    ports.prompt.QueueAnswer(Answer::Yes);
    CMLVColSet set(inst.install);
    EXPECT_EQ(set.Load(), 0);
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].text,
              "列定義ファイルを読み込めません。列定義ファイルの初期化を試みます。初期化すると変更したラベルが元に戻ります。"
              "\n初期化してよろしいですか？");
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Information);
    EXPECT_EQ(ports.prompt.Log()[0].kind, Shown::YesNo);
    EXPECT_EQ(ports.prompt.Log()[1].text, noMaster);
    // Without the question, as the free item names dialog resets.
    ports.prompt.Clear();
    EXPECT_EQ(set.ResetToMaster(false), 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{noMaster});

    TestInstall::WriteSet(inst.MasterFile(), SampleColumns());
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(set.Load(), 0);
    EXPECT_FALSE(FileExists(inst.DataFile("MLVColSet.sys")));
    ports.prompt.QueueAnswer(Answer::Yes);
    ASSERT_EQ(set.Load(), 1);
    EXPECT_EQ(set.columns, SampleColumns());
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")), ReadBytes(inst.MasterFile()));

    // A damaged master copy: the question, then the file error.
    std::filesystem::remove(inst.DataFile("MLVColSet.sys"));
    WriteBytes(inst.MasterFile(), Hex("05 00 FF FF"));
    ports.prompt.Clear();
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(set.Load(), 0);
    EXPECT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Texts().back(), "ファイル操作中にエラーが発生しました");
}

TEST_F(SettingsTest, ColSetLoad_TruncatedFileShowsTheErrorAndIsKeptWhenTheResetIsRefused) {
    TestInstall::WriteSet(inst.DataFile("MLVColSet.sys"), SampleColumns());
    std::string bytes = ReadBytes(inst.DataFile("MLVColSet.sys"));
    bytes.resize(bytes.size() - 3);
    WriteBytes(inst.DataFile("MLVColSet.sys"), bytes);

    ports.prompt.QueueAnswer(Answer::No);
    CMLVColSet set(inst.install);
    EXPECT_EQ(set.Load(), 0);
    EXPECT_TRUE(set.columns.empty());
    ASSERT_EQ(ports.prompt.Texts().size(), 2u);
    EXPECT_EQ(ports.prompt.Texts()[0], "ファイル操作中にエラーが発生しました");
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")), bytes);
}

TEST(SettingsFiles, WithoutDataFolderEverythingFailsSilently) {
    TestPorts ports;
    TempDir install;
    CMLVColSet set(install.Path());
    EXPECT_EQ(set.Load(), 0);
    EXPECT_EQ(set.Save(), 0);
    CMLVDispKokyakuCol disp(install.Path());
    EXPECT_EQ(disp.Load(), 0);
    EXPECT_EQ(disp.Save(), 0);
    EXPECT_EQ(GetLabel(install.Path(), "Name"), "");
    CMLVComboData list(install.Path());
    EXPECT_EQ(list.Load(kListImportant), 0);
    EXPECT_EQ(list.Save(), 0);
    EXPECT_FALSE(list.AutoRegister("新規"));
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST(ColSetLabels, FirstMatchAndOnlyFreeItemsMayBeRenamed) {
    CMLVColSet set("");
    set.columns = SampleColumns();
    set.columns.push_back({"Note1", "二番目", 1});
    EXPECT_EQ(set.GetLabel("Note1"), "備考１");
    EXPECT_EQ(set.GetLabel("note1"), "");

    EXPECT_EQ(set.SetLabel("Name", "お名前"), 0);
    EXPECT_EQ(set.GetLabel("Name"), "氏名");
    EXPECT_EQ(set.SetLabel("Note1", "趣味"), 1);
    EXPECT_EQ(set.columns[8].label, "趣味");
    EXPECT_EQ(set.columns.back().label, "二番目");
}

TEST_F(SettingsTest, DispColFile_LayoutAndRemove) {
    CMLVDispKokyakuCol disp(inst.install);
    disp.names = {"Name", "Yomi", "Name"};
    ASSERT_EQ(disp.Save(), 1);
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVDispCol.sys")), Hex("03 00 04") + "Name" + Hex("04") + "Yomi" + Hex("04") + "Name");
    CMLVDispKokyakuCol again(inst.install);
    again.names = {"stale"};
    ASSERT_EQ(again.Load(), 1);
    EXPECT_EQ(again.names, disp.names);
    EXPECT_EQ(again.Remove("Name"), 1);
    EXPECT_EQ(again.names, (std::vector<std::string>{"Yomi", "Name"}));
    EXPECT_EQ(again.Remove("Zip_Home"), 0);

    WriteBytes(inst.DataFile("MLVDispCol.sys"), Hex("02 00 04") + "Name");
    EXPECT_EQ(again.Load(), 0);
    EXPECT_TRUE(again.names.empty());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"ファイル操作中にエラーが発生しました"});
}

TEST_F(SettingsTest, CustomerListColumns_DefaultColumnsAndANewListWhenNoneCanBeLoaded) {
    TestInstall::WriteSet(inst.DataFile("MLVColSet.sys"), SampleColumns());
    auto cols = BuildCustomerListColumns(inst.install);
    EXPECT_EQ(cols, (std::vector<CMLVCol>{{"CustomerID", "お客様コード", 0}, {"Name", "氏名", 0}}));
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVDispCol.sys")), Hex("02 00 0A") + "CustomerID" + Hex("04") + "Name");

    // Names the set lacks are skipped.
    CMLVDispKokyakuCol disp(inst.install);
    disp.names = {"Yomi", "Gone", "Note1"};
    ASSERT_EQ(disp.Save(), 1);
    EXPECT_EQ(BuildCustomerListColumns(inst.install), (std::vector<CMLVCol>{{"Yomi", "ﾌﾘｶﾞﾅ", 0}, {"Note1", "備考１", 1}}));
    // Keys and the first five pictures are never shown (see also the display settings' lists).
    EXPECT_FALSE(IsDisplayableColumn("Picture5"));
    EXPECT_TRUE(IsDisplayableColumn("Picture6"));
}

}  // namespace
