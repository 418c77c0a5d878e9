#include <gtest/gtest.h>

#include "common/Folders.h"
#include "common/SjisText.h"
#include "customers/SettingsFixture.h"
#include "extract/ExCondition.h"

namespace {

CExCondition NameCondition() {
    CExCondition c;
    c.DisplayColumns = {"CustomerID", "Name"};
    c.QueryText = "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] Like '山田%'";
    c.ConditionName = "山田さん";
    c.RowA = {"[Customer].[Name]", "山田", " Like '*%'"};
    return c;
}

CExCondition HistoryCondition() {
    CExCondition c;
    c.ResultKind = 1;
    c.QueryText = "SELECT Rireki.* FROM Rireki";
    c.RowA = {"[Rireki].[Date]", "2024/01/01", " >= *", "OR"};
    c.RowB = {"[Rireki].[Money]", "100", " > *", "AND"};
    c.RowC = {"[Rireki].[Type]", "DM", " = '*'"};
    return c;
}

// The members of NameCondition() as the archive writes them.
std::string NameConditionBytes() {
    return Hex("00 00 00 00") + Hex("02 00") + Text("CustomerID") + Text("Name") +
           Text("SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] Like '山田%'") +
           Text("山田さん") + Hex("03 00") + Text("[Customer].[Name]") + Text("山田") + Text(" Like '*%'") +
           Hex("00 00") + Hex("00 00");
}

TEST_F(SettingsTest, ExtractFile_TwoConditionsThenReadBack) {
    CExtract list(inst.install);
    ASSERT_EQ(list.Load(), 1);
    EXPECT_EQ(list.FilePath, inst.DataFile("MLVExtract.sys"));

    ASSERT_EQ(list.Append(NameCondition()), 1);
    EXPECT_EQ(ReadBytes(list.FilePath),
              Hex("01 00 FF FF 01 00 0C 00") + "CExCondition" + NameConditionBytes());
    ASSERT_EQ(list.Append(HistoryCondition()), 1);
    const std::string bytes = ReadBytes(list.FilePath);
    const std::string head = Hex("02 00 FF FF 01 00 0C 00") + "CExCondition" + NameConditionBytes() + Hex("01 80");
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(head.size(), 4), Hex("01 00 00 00"));

    CExtract again(inst.install);
    ASSERT_EQ(again.Load(), 1);
    ASSERT_EQ(again.Conditions.size(), 2u);
    EXPECT_EQ(again.Conditions[0], NameCondition());
    EXPECT_EQ(again.Conditions[1], HistoryCondition());
    EXPECT_TRUE(ports.prompt.Log().empty());

    // Removing and renaming, then saving.
    again.Conditions.erase(again.Conditions.begin());
    again.Conditions[0].ConditionName = "新しい名前";
    ASSERT_EQ(again.Save(), 1);
    ASSERT_EQ(list.Load(), 1);
    ASSERT_EQ(list.Conditions.size(), 1u);
    EXPECT_EQ(list.Conditions[0].ConditionName, "新しい名前");
    EXPECT_EQ(list.Conditions[0].RowA, HistoryCondition().RowA);
}

TEST_F(SettingsTest, ExtractFile_DamagedFileShowsTheErrorAndCannotBeOverwritten) {
    CExtract list(inst.install);
    ASSERT_EQ(list.Load(), 1);
    ASSERT_EQ(list.Append(NameCondition()), 1);
    ASSERT_EQ(list.Append(HistoryCondition()), 1);
    std::string bytes = ReadBytes(list.FilePath);
    bytes.resize(bytes.size() - 5);
    WriteBytes(list.FilePath, bytes);

    CExtract broken(inst.install);
    EXPECT_EQ(broken.Load(), 0);
    EXPECT_FALSE(broken.Loaded);
    EXPECT_TRUE(broken.Conditions.empty());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"ファイル操作中にエラーが発生しました"});
    EXPECT_EQ(broken.Append(NameCondition()), 0);
    EXPECT_EQ(broken.Save(), 0);
    EXPECT_EQ(ReadBytes(list.FilePath), bytes);

    // Another schema or class name is an error too.
    WriteBytes(list.FilePath, Hex("01 00 FF FF 02 00 0C 00") + "CExCondition" + NameConditionBytes());
    EXPECT_EQ(broken.Load(), 0);
    WriteBytes(list.FilePath, Hex("01 00 FF FF 01 00 0C 00") + "CExConditioN" + NameConditionBytes());
    EXPECT_EQ(broken.Load(), 0);
    EXPECT_EQ(ports.prompt.Texts().size(), 3u);
}

TEST(ExtractFile, WithoutDataFolderTheListIsEmptyAndSavingFails) {
    TestPorts ports;
    TempDir install;
    CExtract list(install.Path());
    ASSERT_EQ(list.Load(), 1);
    EXPECT_TRUE(list.Conditions.empty());
    EXPECT_EQ(list.Append(NameCondition()), 0);
    EXPECT_TRUE(list.Conditions.empty());
    EXPECT_TRUE(ports.prompt.Log().empty());
}

}  // namespace
