// The one rule of every text entry.
#include <gtest/gtest.h>

#include "common/SjisField.h"
#include "support/TestPorts.h"

namespace {

TEST(SjisField, FitsAnEditAtTheCursor) {
    struct Case {
        const char* name;
        std::string before, after;
        int limit;
        std::string keptBefore, keptAfter;
        std::optional<std::string> refused;
    } cases[] = {
        {"fits", "山田", "", 4, "山田", "", std::nullopt},
        {"no limit", std::string(300, 'a'), "", 0, std::string(300, 'a'), "", std::nullopt},
        {"typed part cut", "abc", "", 2, "ab", "", std::nullopt},
        {"never half a character", "山田", "", 3, "山", "", std::nullopt},
        {"insertion cut, tail kept", "xy山田", "z", 4, "xy", "z", std::nullopt},
        {"tail alone too long", "a", "山田太", 4, "", "a山", std::nullopt},
        {"refused and named", "春の案内😀", "", 100, "春の案内", "", "😀"},
        {"first refusal named", "a😀b", "𠮷c", 0, "ab", "c", "😀"},
        {"refused after the cursor", "a", "한b", 10, "a", "b", "한"},
        {"half-width katakana are one byte", "ﾐｷﾐｷ", "", 3, "ﾐｷﾐ", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const SjisFieldFit fit = FitSjisField(c.before, c.after, c.limit);
        EXPECT_EQ(fit.before, c.keptBefore) << c.name;
        EXPECT_EQ(fit.after, c.keptAfter) << c.name;
        EXPECT_EQ(fit.refused, c.refused) << c.name;
    }
}

TEST(SjisField, FinishedTextsEarnOneMessage) {
    struct Case {
        std::string text;
        int limit;
        std::string limitMessage;
        std::string message;
    } cases[] = {
        {"山田", 4, "", ""},
        {"山田a", 4, "", "4文字(ﾊﾞｲﾄ)以内で入力してください"},
        {"山田a", 4, "半角50文字以内にしてください。", "半角50文字以内にしてください。"},
        {"😀" + std::string(10, 'a'), 4, "", "「😀」は登録できない文字です。\n別の文字に置き換えてください。"},
        {std::string(1000, 'a'), 0, "", ""},
    };
    for (const Case& c : cases) {
        TestPorts ports;
        EXPECT_EQ(SjisFieldProblem(c.text, c.limit, c.limitMessage), c.message) << c.text;
        EXPECT_EQ(CheckSjisField(c.text, c.limit, c.limitMessage), c.message.empty());
        EXPECT_EQ(ports.prompt.Texts(), c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    }
}

}  // namespace
