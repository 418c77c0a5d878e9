#include <gtest/gtest.h>

#include <map>

#include "customers/BulkChange.h"
#include "support/TestPorts.h"

namespace {

struct FakeScreen : IBulkChangeScreen {
    bool readOnly = false;
    std::vector<uint32_t> selected = {3, 5, 8};
    std::optional<BulkChangeChoice> dialogResult;
    int dialogRuns = 0;
    int result = 1;
    std::vector<uint32_t> reportChanged;  // what the database reports
    std::vector<uint32_t> passedKeys;
    std::string passedField, passedText;
    int32_t passedColor = -1;
    std::map<uint32_t, std::string> cached;  // key -> new value
    std::vector<uint32_t> rewritten;

    bool IsReadOnly() override { return readOnly; }
    std::vector<uint32_t> SelectedKeys() override { return selected; }
    std::optional<BulkChangeChoice> RunDialog() override {
        ++dialogRuns;
        return dialogResult;
    }
    int ModifyKokyaku(const std::vector<uint32_t>& keys, std::vector<uint32_t>& changed, const std::string& field,
                      const CDateTime&, const std::string& text, int32_t color) override {
        passedKeys = keys;
        passedField = field;
        passedText = text;
        passedColor = color;
        changed = reportChanged;
        return result;
    }
    void UpdateCached(uint32_t key, const BulkChangeChoice& c, const CDateTime&) override {
        cached[key] = c.field == "ColorMark" ? std::to_string(c.color) : c.text;
    }
    void RewriteRows(const std::vector<uint32_t>& keys) override { rewritten = keys; }
};

TEST(BulkChangeDialog, RankingOver50BytesRefusedBeforeAnyQuestion) {
    TestPorts ports;
    std::string text;
    for (int i = 0; i < 25; ++i) text += "ア";
    EXPECT_EQ(CheckBulkChangeOk(2, "ランク１", text + "x", -1), BulkOkResult::FocusValue);
    ASSERT_EQ(ports.prompt.Log().size(), 1u);
    EXPECT_EQ(ports.prompt.Log()[0].kind, Shown::Message);
    EXPECT_EQ(ports.prompt.Log()[0].text, "半角50文字以内にしてください。");

    ports.prompt.Clear();
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(CheckBulkChangeOk(2, "ランク１", text, -1), BulkOkResult::Stay);
    EXPECT_EQ(ports.prompt.Texts(),
              std::vector<std::string>{"選択されている顧客のランク１を「" + text + "」に変更します。\nよろしいですか？"});
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(CheckBulkChangeOk(2, "ランク１", text, -1), BulkOkResult::Accept);
}

TEST(BulkChangeDialog, ColourNeedsAChoice) {
    TestPorts ports;
    EXPECT_EQ(CheckBulkChangeOk(0, "カラー", "", -1), BulkOkResult::FocusValue);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"カラーを選択してください。"});
    ports.prompt.Clear();
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(CheckBulkChangeOk(0, "カラー", "", 5), BulkOkResult::Accept);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"選択されている顧客のカラーを赤に変更します。\nよろしいですか？"});
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Question);

    // The colour choice carries no text, a text choice no colour.
    auto is = [](const BulkChangeChoice& c, const char* field, const char* text, uint32_t color) {
        return c.field == field && c.text == text && c.color == color;
    };
    EXPECT_TRUE(is(MakeBulkChangeChoice(0, "ignored", 5), "ColorMark", "", 0x0000FF));
    EXPECT_TRUE(is(MakeBulkChangeChoice(3, "B", 5), "Ranking2", "B", 0));
}

TEST(BulkChangeFlow, RefusalsBeforeTheDialog) {
    TestPorts ports;
    FakeScreen s;
    s.readOnly = true;
    EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), 0);
    s.readOnly = false;
    s.selected.clear();
    EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), 0);
    s.selected = {1, 2};
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), 0);
    EXPECT_EQ(s.dialogRuns, 0);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{
                                        "データベースは読取専用です。\n顧客を修正することはできません。\n",
                                        "顧客を選択してください。",
                                        "選択されている2件の顧客を一括修正します。よろしいですか？"}));
    // A cancelled dialog changes nothing.
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), 0);
    EXPECT_EQ(s.dialogRuns, 1);
    EXPECT_TRUE(s.passedKeys.empty());
}

TEST(BulkChangeFlow, ResultsUpdateOnlyTheReportedCustomers) {
    const std::vector<uint32_t> all = {3, 5, 8};
    struct Case {
        BulkChangeChoice choice;
        int result;
        std::vector<uint32_t> changed;
        std::map<uint32_t, std::string> cached;
        std::vector<uint32_t> rewritten;
        const char* message;
        MsgIcon icon;
    } cases[] = {
        {{"Ranking1", "特A", 0}, 10, {3, 8}, {{3, "特A"}, {8, "特A"}}, all,
         "一部の顧客データが修正できませんでした。", MsgIcon::Exclamation},
        {{"ColorMark", "", 0x0099FF}, 1, all, {{3, "39423"}, {5, "39423"}, {8, "39423"}}, all,
         "顧客データを一括修正しました。", MsgIcon::Information},
        // A failure leaves the rows as they were.
        {{"ImportantRanking", "VIP", 0}, -1, {}, {}, {}, "顧客データが修正できませんでした。", MsgIcon::Exclamation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice.field);
        TestPorts ports;
        FakeScreen s;
        s.dialogResult = c.choice;
        s.result = c.result;
        s.reportChanged = c.changed;
        ports.prompt.QueueAnswer(Answer::Yes);
        EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), c.result);
        EXPECT_EQ(s.passedKeys, all);
        EXPECT_EQ(s.passedField, c.choice.field);
        EXPECT_EQ(s.passedText, c.choice.text);
        EXPECT_EQ(s.passedColor, static_cast<int32_t>(c.choice.color));
        EXPECT_EQ(s.cached, c.cached);
        EXPECT_EQ(s.rewritten, c.rewritten);
        EXPECT_EQ(ports.prompt.Log().back().text, c.message);
        EXPECT_EQ(ports.prompt.Log().back().icon, c.icon);
    }
}

}  // namespace
