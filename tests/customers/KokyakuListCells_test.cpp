// The sort texts the customer list reads from lean rows.
#include <gtest/gtest.h>

#include <array>

#include "customers/KokyakuListCells.h"
#include "customers/KokyakuRow.h"

namespace {

TEST(KokyakuCellSource, JoinedAddressesSortByTheirPartsInOrder) {
    CKokyakuRows rows;
    ASSERT_TRUE(rows.Keep({"Add_Home_X", "Add_Office_X", "Yomi"}));
    const std::vector<std::array<const char*, 3>> parts = {
        {"東京都", "千代田区", "1-1"}, {"", "", ""}, {"大阪府", "", "北区2"}, {"", "札幌市", ""}};
    CKokyakuRows::Storage made;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        CKokyaku k;
        k.ID = static_cast<int32_t>(i + 1);
        k.Add1_Home = parts[i][0];
        k.Add2_Home = parts[i][1];
        k.Add3_Home = parts[i][2];
        k.Add1_Office = parts[i][2];
        k.Add2_Office = parts[i][0];
        k.Add3_Office = parts[i][1];
        k.Yomi = "ﾔﾏﾀﾞ";
        made.push_back(rows.MakeRow(k));
    }
    rows.Adopt(std::move(made));
    const auto source = MakeKokyakuCellSource();
    std::string storage;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const CKokyakuListItem item{&rows[i], nullptr};
        EXPECT_EQ(source->SortText(item, "Add_Home_X", storage),
                  std::string(parts[i][0]) + parts[i][1] + parts[i][2]);
        EXPECT_EQ(source->SortText(item, "Add_Office_X", storage),
                  std::string(parts[i][2]) + parts[i][0] + parts[i][1]);
        EXPECT_EQ(source->SortText(item, "Yomi", storage), "ﾔﾏﾀﾞ");
    }
    // Rows without the parts join what the display shows: nothing.
    CKokyakuRows lean;
    CKokyaku k;
    k.ID = 9;
    k.Add1_Home = "東京都";
    CKokyakuRows::Storage one;
    one.push_back(lean.MakeRow(k));
    lean.Adopt(std::move(one));
    EXPECT_EQ(source->SortText({&lean[0], nullptr}, "Add_Home_X", storage), "");
}

}  // namespace
