// The DM title form, the two selection dialogs' logic and the customer
// screen's hand-over of customers to a DM.
#include "dm/DMFixture.h"
#include "dm/DMSelectLogic.h"
#include "dm/DMTitleForm.h"
#include "extract/ExCondition.h"

namespace {

TEST(DMTitleForm, DayListsAndYearRange) {
    struct Case {
        int year, month, days;
    } cases[] = {{2000, 2, 29}, {2040, 2, 29}, {2100, 2, 28}, {2027, 2, 28}, {2026, 4, 30}, {2026, 12, 31}};
    for (const Case& c : cases) {
        EXPECT_EQ(DMDayTexts(c.year, c.month).size(), static_cast<std::size_t>(c.days)) << c.year << "/" << c.month;
        CDMTitleForm f;
        f.year = c.year, f.monthIndex = c.month - 1;
        EXPECT_EQ(f.DayCount(), c.days);
    }
    TestPorts ports;
    CDMTitleForm f;
    f.title = "題";
    f.year = 1900;
    EXPECT_FALSE(f.Validate());
    f.year = 2041;
    EXPECT_FALSE(f.Validate());
    f.year = 2040;
    EXPECT_TRUE(f.Validate());
    EXPECT_EQ(ports.prompt.Texts().size(), 2u);
}

// Title, content and manager hold only what Shift-JIS can, within their bytes.
TEST(DMTitleForm, TextsKeepTheTextRule) {
    struct Case {
        std::string CDMTitleForm::*field;
        std::string text;
        const char* message;
    } cases[] = {
        {&CDMTitleForm::title, "春の案内😀", "「😀」は登録できない文字です。\n別の文字に置き換えてください。"},
        {&CDMTitleForm::content, "案内𠮷", "「𠮷」は登録できない文字です。\n別の文字に置き換えてください。"},
        {&CDMTitleForm::manager, "한", "「한」は登録できない文字です。\n別の文字に置き換えてください。"},
        {&CDMTitleForm::title, std::string(101, 'a'), "「DMタイトル」は100文字（ﾊﾞｲﾄ）以内で入力してください"},
        {&CDMTitleForm::manager, std::string(31, 'a'), "「管理者」は30文字（ﾊﾞｲﾄ）以内で入力してください"},
    };
    for (const Case& c : cases) {
        TestPorts ports;
        CDMTitleForm f;
        f.title = "題";
        f.year = 2024;
        f.*c.field = c.text;
        EXPECT_FALSE(f.Validate()) << c.text;
        EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{c.message});
    }
}

TEST(DMTitleForm, HourListAndDateRoundTrip) {
    auto hours = DMHourTexts();
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours.front(), "8");  // the list starts at eight
    for (int h = 0; h < 24; ++h) {
        CDMTitleForm f = CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::FromParts(2030, 2, 28, h, 45, 12));
        EXPECT_EQ(hours[static_cast<std::size_t>(f.hourIndex)], std::to_string(h));
        EXPECT_EQ(f.BuildDate().Format("%Y/%m/%d %H:%M:%S"),
                  CDateTime::FromParts(2030, 2, 28, h, 45, 0).Format("%Y/%m/%d %H:%M:%S"));
    }
}

TEST(DMTitleForm, MonthChoiceKeepsTheDayWithinTheMonth) {
    TestPorts ports;
    CDMTitleForm f = CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::FromParts(2001, 3, 31));
    f.monthIndex = 1;
    EXPECT_TRUE(f.MonthChosen());
    EXPECT_EQ(f.dayIndex, 27);
    f.monthIndex = 12;
    EXPECT_FALSE(f.MonthChosen());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"設定された月の値がヘンです。確認してください。"});
}

TEST(DMTitleForm, OkChecksInOrder) {
    struct Case {
        std::string title, content, manager;
        const char* message;  // null: accepted
    } cases[] = {
        {"", "", "", "DMタイトルを入力してください\n"},
        {std::string(101, 'a'), "", "", "「DMタイトル」は100文字（ﾊﾞｲﾄ）以内で入力してください"},
        {std::string(50, 'a') + std::string(25, 'a') + "あ", "", "", nullptr},  // 77 bytes
        {"題", "内容内容内容内容内容内容内容内容内容内容内容内容内容", "",
         "「内容」は50文字（ﾊﾞｲﾄ）以内で入力してください"},  // 26 double-byte characters
        {"題", std::string(50, 'x'), "管理者管理者管理者管理者管理者あ", "「管理者」は30文字（ﾊﾞｲﾄ）以内で入力してください"},
        {"題", "", "管理者管理者管理者管理者管理者", nullptr},  // exactly 30 bytes
    };
    for (const Case& c : cases) {
        TestPorts ports;
        CDMTitleForm f = CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::FromParts(2026, 1, 1));
        f.title = c.title, f.content = c.content, f.manager = c.manager;
        EXPECT_EQ(f.Validate(), c.message == nullptr) << c.title;
        EXPECT_EQ(ports.prompt.Texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

TEST(DMTitleForm, ModesAndSentControls) {
    CDMListData t;
    t.Date = CDateTime::FromParts(2026, 6, 1, 9, 30);
    t.Title = "題";
    t.SendState = 1;
    t.HistoryRegistered = 1;
    t.SendMethod = 1;
    CDMTitleForm m = CDMTitleForm::FromTitle(t, DM_MODE_MODIFY);
    EXPECT_STREQ(m.Caption(), "DMタイトルを修正");
    EXPECT_TRUE(m.sentOnOpening);
    EXPECT_EQ(m.BuildDate(), t.Date);
    CDMTitleForm c = CDMTitleForm::FromTitle(t, DM_MODE_COPY, CDateTime::FromParts(2026, 7, 1));
    EXPECT_STREQ(c.Caption(), "DMタイトルを追加");
    EXPECT_FALSE(c.sentOnOpening);
    EXPECT_EQ(c.sendState, 0);
    EXPECT_EQ(c.historyRegistered, 0);
    EXPECT_EQ(c.sendMethod, 1);
    CDMTitleForm v = CDMTitleForm::FromTitle(t, DM_MODE_VIEW);
    EXPECT_STREQ(v.Caption(), "DMタイトルを参照");
    EXPECT_FALSE(v.OkEnabled());
}

class DMSelectTest : public DMTest {};

TEST_F(DMSelectTest, TitleSelectionAddsOnlyNewTargets) {
    auto c = AddCustomers(3);
    int32_t a = AddTitle("題", {c[0], c[1]});
    CDMTitleSelectLogic all(doc.get(), 1, {c[0], c[1]});
    all.Open();
    EXPECT_FALSE(all.HistoryShown());
    EXPECT_TRUE(all.NewButtonShown());
    EXPECT_FALSE(all.Ok(-1));
    EXPECT_TRUE(all.Ok(0));  // all already targets: nothing stored, nothing said
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"DMタイトルを選択してください"});
    EXPECT_EQ(doc->PreselectDMKey, a);

    CDMTitleSelectLogic some(doc.get(), 1, {c[1], c[2]});
    some.Open();
    EXPECT_TRUE(some.Ok(0));
    CDMMngList stored;
    doc->Database().GetDMUserInfo(a, stored);
    EXPECT_EQ(stored.size(), 3u);
    EXPECT_EQ(ports.prompt.Texts().size(), 1u);
}

TEST_F(DMSelectTest, TitleSelectionForPrintingReturnsTheTargets) {
    auto c = AddCustomers(2);
    int32_t a = AddTitle("題", {c[0], c[1]}, 0, 0, CDateTime::Now());
    CDMTitleSelectLogic s(doc.get(), 2);
    s.Open();
    EXPECT_TRUE(s.HistoryShown());
    EXPECT_TRUE(s.keepHistory);
    EXPECT_TRUE(s.Ok(0));
    EXPECT_EQ(s.resultDMKey, a);
    EXPECT_EQ(s.resultKeys, (CDMKeys{c[0], c[1]}));

    AddTitle("別の日", {c[0]}, 0, 0, CDateTime(CDateTime::Now().DateOnly().Days() + 3));
    s.Open();
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(s.Ok(0));  // another send date: No keeps the dialog open
    EXPECT_EQ(ports.prompt.Texts().at(0).rfind("「送付日」が異なりますが印刷しますか？", 0), 0u);
}

TEST_F(DMSelectTest, NewTitleFromTheSelectionDialog) {
    auto c = AddCustomers(2);
    CDMTitleSelectLogic none(doc.get(), 1, {});
    none.Open();
    EXPECT_FALSE(none.RegisterNew([](CDMTitleForm& f) { f.title = "新"; return true; }));
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"追加する顧客がありません\n"});

    CDMTitleSelectLogic s(doc.get(), 1, {c[0], c[1], 99999});
    s.Open();
    int mode = 0;
    EXPECT_TRUE(s.RegisterNew([&](CDMTitleForm& f) { mode = f.mode; f.title = "新"; return true; }));
    EXPECT_EQ(mode, DM_MODE_COPY);
    EXPECT_EQ(ports.prompt.Texts().back(), "一部の顧客が登録できませんでした。\nDM送付管理画面で確認してください。\n");
    CDMMngList stored;
    doc->Database().GetDMUserInfo(doc->PreselectDMKey, stored);
    EXPECT_EQ(stored.size(), 2u);
}

TEST_F(DMSelectTest, CustomerSelection) {
    auto c = AddCustomers(3);
    CCustomerSelectLogic s(*doc, 1);
    ASSERT_EQ(s.RowCount(), 3);
    EXPECT_FALSE(s.keepHistory);
    EXPECT_FALSE(s.Ok());  // nothing ticked: the dialog stays
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"顧客が選択されていません。\n対象顧客にチェックをつけてください。\n"});

    doc->Extraction = std::make_shared<CExCondition>();
    doc->ExtractKeys = {c[1]};
    std::vector<int> rows = s.ApplyExtraction();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(s.Row(rows[0]).ID, static_cast<int32_t>(c[1]));
    EXPECT_TRUE(s.Ticked(rows[0]));
    ASSERT_TRUE(s.Ok());
    ASSERT_EQ(s.targets.size(), 1u);
    EXPECT_EQ(s.targets[0].CustomerCode, "C2");
    EXPECT_EQ(s.targets[0].Name, "顧客2");
    EXPECT_EQ(s.targets[0].CompName, "会社2");
    EXPECT_FALSE(doc->Extraction);  // the extraction is discarded

    doc->Extraction = std::make_shared<CExCondition>();
    doc->ExtractKeys.clear();
    ports.prompt.Clear();
    EXPECT_TRUE(s.ApplyExtraction().empty());
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"抽出条件に該当する顧客がありませんでした。"});

    CCustomerSelectLogic print(*doc, 2);
    EXPECT_TRUE(print.keepHistory);
    print.TickAll();
    ASSERT_TRUE(print.Ok());
    EXPECT_EQ(print.records.size(), 3u);
}

TEST_F(DMSelectTest, CustomerScreenHandOver) {
    struct Case {
        CDMKeys selected;
        Answer answer;  // Ok: no question
        bool pastData, dialogOk;
        bool switches;
        int dialogs;
    } cases[] = {
        {{}, Answer::Ok, false, true, true, 0},
        {{1, 2}, Answer::Yes, false, true, true, 1},
        {{1, 2}, Answer::Yes, false, false, false, 1},
        {{1}, Answer::No, false, true, true, 0},
        {{1}, Answer::Cancel, false, true, false, 0},
        {{1}, Answer::Yes, true, true, false, 0},
    };
    for (const Case& k : cases) {
        ports.prompt.Clear();
        doc->PastDataMode = k.pastData;
        if (k.answer != Answer::Ok) ports.prompt.QueueAnswer(k.answer);
        int dialogs = 0;
        bool switches = CustomersToDm(doc.get(), k.selected, [&](const CDMKeys&) { ++dialogs; return k.dialogOk; });
        EXPECT_EQ(switches, k.switches);
        EXPECT_EQ(dialogs, k.dialogs);
        if (k.selected.size() == 2) {
            EXPECT_EQ(ports.prompt.Texts().at(0),
                      "選択されている2件の顧客をDM送付管理に追加しますか？\n\n「はい」で追加します。\n"
                      "「いいえ」で選択を解除してDM送付管理画面に移動します。");
        }
    }
}

}  // namespace
