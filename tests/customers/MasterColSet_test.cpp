#include <gtest/gtest.h>

#include <set>

#include "customers/Kokyaku.h"
#include "customers/MasterColSet.h"
#include "customers/SettingsFixture.h"

namespace {

TEST(MasterColSet, HoldsEveryFieldAndTheJoinedAddresses) {
    const auto cols = MasterColumns();
    std::set<std::string> names;
    for (const auto& c : cols) {
        EXPECT_TRUE(names.insert(c.fieldName).second) << "twice: " << c.fieldName;
        EXPECT_FALSE(c.label.empty()) << c.fieldName;
    }
    for (const KokyakuField& f : KokyakuFields()) EXPECT_TRUE(names.count(f.name)) << f.name;
    for (const char* n : {"ID", "Add_Home_X", "Add_Office_X", "CommonMail", "TEL_Home_X", "TEL_Office_X"})
        EXPECT_TRUE(names.count(n)) << n;
    EXPECT_EQ(cols.size(), KokyakuFields().size() + 2);
}

TEST_F(SettingsTest, MasterColSet_GeneratedFileServesAFirstStart) {
    ASSERT_TRUE(WriteMasterColSet(inst.install));
    ports.prompt.QueueAnswer(Answer::Yes);
    CMLVColSet set(inst.install);
    ASSERT_EQ(set.Load(), 1);
    EXPECT_EQ(set.columns, MasterColumns());
    EXPECT_EQ(ReadBytes(inst.DataFile("MLVColSet.sys")), ReadBytes(inst.MasterFile()));
}

}  // namespace
