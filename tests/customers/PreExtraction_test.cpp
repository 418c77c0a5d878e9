#include <gtest/gtest.h>

#include "common/Archive.h"
#include "customers/PreExtraction.h"
#include "extract/ExCondition.h"
#include "support/TestPorts.h"

namespace {

CExCondition CustomerCondition() {
    CExCondition c;
    c.QueryText = "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Sex] = 1";
    c.RowA = {"[Customer].[Sex]", "女", " = *"};
    return c;
}

TEST(PreExtraction, OneBareConditionThenReadBack) {
    TestPorts ports;
    TempDir data;
    EXPECT_FALSE(Exists(data.Path()));
    EXPECT_EQ(LoadCondition(data.Path()), nullptr);
    ASSERT_EQ(SaveCondition(data.Path(), CustomerCondition()), 1);
    EXPECT_TRUE(Exists(data.Path()));

    // Kind, no columns, query, empty name, row A of three, rows B and C empty:
    // no count of conditions and no tag.
    const std::string query = "SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Sex] = 1";
    EXPECT_EQ(ReadBytes(data.File("DefKokyaku.dat")),
              Hex("00 00 00 00 00 00") + std::string(1, char(query.size())) + query + Hex("00") + Hex("03 00") +
                  Hex("10") + "[Customer].[Sex]" + Hex("02 8F 97") + Hex("04") + " = *" + Hex("00 00 00 00"));

    auto loaded = LoadCondition(data.Path());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(*loaded, CustomerCondition());
    EXPECT_TRUE(ports.prompt.Log().empty());

    // Truncated: the error, no condition, the file as it was.
    std::string bytes = ReadBytes(data.File("DefKokyaku.dat"));
    bytes.pop_back();
    WriteBytes(data.File("DefKokyaku.dat"), bytes);
    EXPECT_EQ(LoadCondition(data.Path()), nullptr);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"ファイル操作中にエラーが発生しました"});
    EXPECT_EQ(ReadBytes(data.File("DefKokyaku.dat")), bytes);
}

TEST(PreExtraction, HistoryConditionOrMissingFolderIsRefused) {
    TestPorts ports;
    TempDir data;
    CExCondition c = CustomerCondition();
    c.ResultKind = 1;
    EXPECT_EQ(SaveCondition(data.Path(), c), 0);
    EXPECT_FALSE(Exists(data.Path()));
    EXPECT_EQ(SaveCondition(data.File("missing"), CustomerCondition()), 0);
    EXPECT_EQ(SaveCondition("", CustomerCondition()), 0);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"指定された条件が不正です", "条件を保存できませんでした",
                                                              "条件を保存できませんでした"}));
}

TEST(PreExtraction, RemovingTwice) {
    TestPorts ports;
    TempDir data;
    EXPECT_EQ(DeleteCondition(data.Path()), 1);
    ASSERT_EQ(SaveCondition(data.Path(), CustomerCondition()), 1);

    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(RemovePreExtraction(data.Path()), 0);
    EXPECT_TRUE(Exists(data.Path()));

    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(RemovePreExtraction(data.Path()), 1);
    EXPECT_FALSE(Exists(data.Path()));
    EXPECT_EQ(RemovePreExtraction(data.Path()), 0);

    const std::string question =
        "現在設定されている、顧客一覧の表示データ設定を解除します。\n解除すると、通常、顧客一覧画面ですべての顧客が表示されます。\n解除してよろしいですか？";
    ASSERT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{question, question, "解除しました", "現在、表示データは設定されていません。"}));
    const auto& log = ports.prompt.Log();
    EXPECT_EQ(log[0].icon, MsgIcon::Question);
    EXPECT_EQ(log[2].icon, MsgIcon::Information);
    EXPECT_EQ(log[3].icon, MsgIcon::Information);
}

}  // namespace
