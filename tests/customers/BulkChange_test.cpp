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

TEST(BulkChangeFlow, PartialResultUpdatesOnlyTheReportedCustomers) {
    TestPorts ports;
    FakeScreen s;
    s.dialogResult = BulkChangeChoice{"Ranking1", "特A", 0};
    s.result = 10;
    s.reportChanged = {3, 8};
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), 10);
    EXPECT_EQ(s.passedKeys, (std::vector<uint32_t>{3, 5, 8}));
    EXPECT_EQ(s.passedField, "Ranking1");
    EXPECT_EQ(s.passedText, "特A");
    EXPECT_EQ(s.passedColor, 0);
    EXPECT_EQ(s.cached, (std::map<uint32_t, std::string>{{3, "特A"}, {8, "特A"}}));
    EXPECT_EQ(s.rewritten, (std::vector<uint32_t>{3, 5, 8}));
    EXPECT_EQ(ports.prompt.Texts().back(), "一部の顧客データが修正できませんでした。");
}

TEST(BulkChangeFlow, ResultMessages) {
    {
        TestPorts ports;
        FakeScreen s;
        s.dialogResult = BulkChangeChoice{"ColorMark", "", 0x0099FF};
        s.reportChanged = s.selected;
        ports.prompt.QueueAnswer(Answer::Yes);
        EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), 1);
        EXPECT_EQ(s.passedText, "");
        EXPECT_EQ(s.passedColor, 0x0099FF);
        EXPECT_EQ(s.cached.size(), 3u);
        EXPECT_EQ(ports.prompt.Log().back().text, "顧客データを一括修正しました。");
        EXPECT_EQ(ports.prompt.Log().back().icon, MsgIcon::Information);
    }
    {
        TestPorts ports;
        FakeScreen s;
        s.dialogResult = BulkChangeChoice{"ImportantRanking", "VIP", 0};
        s.result = -1;
        ports.prompt.QueueAnswer(Answer::Yes);
        EXPECT_EQ(RunBulkChange(s, CDateTime::Now()), -1);
        EXPECT_TRUE(s.cached.empty());
        EXPECT_TRUE(s.rewritten.empty());  // rows stay as they were
        EXPECT_EQ(ports.prompt.Texts().back(), "顧客データが修正できませんでした。");
    }
}

}  // namespace
