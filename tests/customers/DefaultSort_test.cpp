#include <gtest/gtest.h>

#include "common/Folders.h"
#include "customers/DefaultSort.h"
#include "support/TestPorts.h"

namespace {

TEST(DefaultSort, DefaultsThenFileLayoutIsFieldThenDirectionWithoutTag) {
    TestPorts ports;
    TempDir dir;
    CDefaultSort sort(dir.Path());
    EXPECT_EQ(sort.GetOrderText(), "ORDER BY [Customer].[RirekiUpDate] DESC");
    EXPECT_TRUE(ports.prompt.Log().empty());
    sort.fieldName = "Yomi";
    sort.direction = 0;
    ASSERT_EQ(sort.Save(), 1);
    EXPECT_EQ(ReadBytes(dir.File("DefOrder.dat")), Hex("04") + "Yomi" + Hex("00 00 00 00"));

    CDefaultSort again(dir.Path());
    EXPECT_EQ(again.GetOrderText(), "ORDER BY [Customer].[Yomi]");
    again.direction = 2;
    EXPECT_EQ(again.GetOrderText(), "");
    again.direction = 1;
    again.fieldName = "";
    EXPECT_EQ(again.GetOrderText(), "");
}

TEST(DefaultSort, BrokenOrUnwritableFiles) {
    TestPorts ports;
    TempDir dir;
    WriteBytes(dir.File("DefOrder.dat"), Hex("04") + "Yomi" + Hex("01 00"));
    CDefaultSort sort(dir.Path());
    EXPECT_EQ(sort.Load(), 0);
    EXPECT_EQ(sort.fieldName, "RirekiUpDate");  // defaults kept
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"ファイル操作中にエラーが発生しました"});

    ports.prompt.Clear();
    CDefaultSort nowhere(dir.File("missing"));
    EXPECT_EQ(nowhere.Save(), 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"ファイルを開けません。並び順を設定できません。"});
}

TEST(DefaultSort, OnlyCustomerColumnsReachTheStatement) {
    const std::string kDefault = "ORDER BY [Customer].[RirekiUpDate] DESC";
    struct Case {
        std::string field;
        std::string order;  // "" with a file error
    } cases[] = {
        {"ID] DESC, [Name", ""},
        {"Name]; DROP TABLE Customer; --", ""},
        {"NoSuchField", ""},
        {"name", ""},  // names match exactly
        {"Add_Home_X", "ORDER BY [Customer].[Add_Home_X] DESC"},
        {"TEL_Office", "ORDER BY [Customer].[TEL_Office] DESC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        TestPorts ports;
        TempDir dir;
        WriteBytes(dir.File("DefOrder.dat"), std::string(1, char(c.field.size())) + c.field + Hex("01 00 00 00"));
        CDefaultSort sort(dir.Path());
        EXPECT_EQ(sort.Load(), c.order.empty() ? 0 : 1);
        EXPECT_EQ(sort.GetOrderText(), c.order.empty() ? kDefault : c.order);
        EXPECT_EQ(ports.prompt.Texts().size(), c.order.empty() ? 1u : 0u);
        sort.fieldName = c.field;  // set in memory: the statement still takes only known columns
        EXPECT_EQ(sort.GetOrderText(), c.order.empty() ? kDefault : c.order);
    }
}

}  // namespace
