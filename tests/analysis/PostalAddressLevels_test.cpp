// The area page's address levels read from a small postal dictionary.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/PostalAddressLevels.h"
#include "lookup/Dictionaries.h"
#include "lookup/PostalDict.h"
#include "support/TestPorts.h"

namespace {

std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<CAddressLevelEntry>& entries) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& e : entries) out.emplace_back(e.text, e.zip);
    return out;
}

}  // namespace

TEST(PostalAddressLevels, WalksTheLevelsWithTheirCodes) {
    const std::vector<PostalSourceEntry> records = {
        {"1000001", "東京都", "千代田区", "千代田", "", ""},
        {"1000005", "東京都", "千代田区", "丸の内（次のビルを除く）", "", ""},
        {"0600000", "北海道", "札幌市中央区", "", "", ""},
        {"0600001", "北海道", "札幌市中央区", "北一条西", "", ""},
    };
    TempDir dir;
    std::filesystem::create_directories(dir.File("y"));
    std::filesystem::create_directories(dir.File("h"));
    WriteBytes(dir.File("y") + "/" + kYubinFileName, BuildPostalDictFile(records, false));
    WriteBytes(dir.File("h") + "/" + kHojinFileName, BuildPostalDictFile(records, true));
    TestPorts ports;
    CPostalDict dict;
    CPostalAddressLevels levels(&dict);
    EXPECT_TRUE(levels.Entries(0, {}).empty());  // not open
    EXPECT_FALSE(levels.Ready());
    ASSERT_EQ(dict.Open(dir.File("y"), dir.File("h")), PostalResult::Open);
    EXPECT_TRUE(levels.Ready());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{kNoAreaData});

    using P = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(Pairs(levels.Entries(0, {})), (P{{"北海道", "060"}, {"東京都", "100"}}));
    EXPECT_EQ(Pairs(levels.Entries(1, {"東京都"})), (P{{"千代田区", "100"}}));
    EXPECT_EQ(Pairs(levels.Entries(2, {"東京都", "千代田区"})),
              (P{{"千代田", "100-0001"}, {"丸の内（次のビルを除く）", "100-0005"}}));
    EXPECT_TRUE(levels.Entries(2, {"東京都"}).empty());  // a parent missing
    EXPECT_EQ(FormatPostalCode("0600001"), "060-0001");
    EXPECT_EQ(FormatPostalCode("060"), "060");
}

// Without an open dictionary the page is told why instead of showing empty lists.
TEST(PostalAddressLevels, ReadyTellsWhyTheLevelsAreMissing) {
    TestPorts ports;
    CPostalAddressLevels none;
    EXPECT_FALSE(none.Ready());
    CLookupDictionaries unconfigured;  // no dictionary folders known
    CPostalAddressLevels levels;
    levels.SetDictionaries(&unconfigured);
    EXPECT_FALSE(levels.Ready());
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{kNoAreaData, "郵便番号・住所検索のためのデータが取得できませんでした。\n"}));
}
