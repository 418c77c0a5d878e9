#include <gtest/gtest.h>

#include "history/RirekiEntry.h"
#include "history/RirekiNavigator.h"
#include "support/TestPorts.h"

namespace {

struct FakeView : IRirekiEntryView {
    CRirekiFields fields;
    int focused = 0;
    int writes = 0;
    CRirekiFields ReadFields() override { return fields; }
    void WriteFields(const CRirekiFields& f) override {
        fields = f;
        ++writes;
    }
    void FocusControl(int id) override { focused = id; }
};

// A card of entries with a current row.
struct FakeCard : IRirekiOwner {
    std::vector<CRirekiData> rows;
    int current = 0;
    int32_t addResult = 50;
    int modifyResult = 1;
    std::vector<CRirekiData> added, modified;

    const CRirekiData* Step(int d, bool& more) {
        int to = current + d;
        if (to < 0 || to >= int(rows.size())) return nullptr;
        current = to;
        more = to + d >= 0 && to + d < int(rows.size());
        return &rows[current];
    }
    const CRirekiData* PreviousEntry(bool& more) override { return Step(-1, more); }
    const CRirekiData* NextEntry(bool& more) override { return Step(+1, more); }
    const CRirekiData* LocateEntry(int32_t key, bool& prev, bool& next) override {
        for (int i = 0; i < int(rows.size()); ++i)
            if (rows[i].ID == key) {
                current = i;
                prev = i > 0;
                next = i + 1 < int(rows.size());
                return &rows[i];
            }
        return nullptr;
    }
    int32_t AddEntry(int32_t customer, CRirekiData& r) override {
        EXPECT_EQ(customer, r.CustomerID);
        added.push_back(r);
        if (addResult > 0) r.ID = addResult;
        return addResult;
    }
    int ModifyEntry(int32_t key, CRirekiData& r) override {
        EXPECT_EQ(key, r.ID);
        modified.push_back(r);
        if (modifyResult == 1)
            for (auto& row : rows)
                if (row.ID == key) row = r;
        return modifyResult;
    }
};

CRirekiData Entry(int32_t id, const char* title, int y = 2024, int mo = 5, int d = 10, int h = 9, int mi = 30) {
    CRirekiData r;
    r.ID = id;
    r.CustomerID = 3;
    r.ActionTitle = title;
    r.Date = CDateTime::FromParts(y, mo, d, h, mi);
    r.Money = 1500;
    return r;
}

CRirekiFields Valid() {
    CRirekiFields f;
    f.year = "2024";
    f.month = 4;
    f.day = 9;
    f.hour = 1;
    f.minute = 30;
    f.money = "0";
    return f;
}

}  // namespace

TEST(RirekiDates, DayListFollowsTheCalendar) {
    struct Case {
        const char* year;
        int month;  // index
        std::size_t days;
    } cases[] = {{"2000", 1, 29}, {"1900", 1, 28}, {"2100", 1, 28}, {"2400", 1, 29}, {"2023", 1, 28},
                 {"2024", 3, 30}, {"2024", 0, 31}, {"2024", 10, 30}, {"2024", 11, 31}};
    for (const auto& c : cases) {
        auto days = RirekiDayTexts(c.year, c.month);
        EXPECT_EQ(days.size(), c.days) << c.year << "/" << c.month + 1;
        EXPECT_EQ(days.front(), "1");
        EXPECT_EQ(days.back(), std::to_string(c.days));
    }
}

TEST(RirekiDates, DayIndexAfterRefill) {
    EXPECT_EQ(DayIndexAfterRefill(30, 30, true), 29);   // at start: clipped to the last day
    EXPECT_EQ(DayIndexAfterRefill(30, 30, false), -1);  // reopened: day 31 is gone
    EXPECT_EQ(DayIndexAfterRefill(31, 14, false), 14);
}

TEST(RirekiDates, HourIndexRule) {
    struct Case {
        int index, hour;
    } cases[] = {{0, 8}, {15, 23}, {16, 0}, {23, 7}, {-1, 0}};
    for (const auto& c : cases) EXPECT_EQ(HourFromIndex(c.index), c.hour) << c.index;
    for (int h = 0; h < 24; ++h) EXPECT_EQ(HourFromIndex(HourToIndex(h)), h);
}

TEST(RirekiValidate, FieldsInOrder) {
    TestPorts ports;
    struct Case {
        const char* name;
        void (*edit)(CRirekiFields&);
        int focus;
        const char* message;
    } cases[] = {
        {"31 April", [](CRirekiFields& f) { f.month = 3; f.day = 30; }, RirekiCtl::Day, kRirekiBadDate},
        {"day gone", [](CRirekiFields& f) { f.day = -1; }, RirekiCtl::Day, kRirekiBadDate},
        {"29 Feb 1900", [](CRirekiFields& f) { f.year = "1900"; f.month = 1; f.day = 28; }, RirekiCtl::Day,
         kRirekiBadDate},
        {"12.345", [](CRirekiFields& f) { f.money = "12.345"; }, RirekiCtl::Money, kRirekiTwoDecimals},
        {"amount text", [](CRirekiFields& f) { f.money = "12a"; }, RirekiCtl::Money, kNumberMessage},
        {"amount low", [](CRirekiFields& f) { f.money = "-100000001"; }, RirekiCtl::Money,
         "-100000000 から 1000000000000 までの数値を入力してください。"},
        {"year low", [](CRirekiFields& f) { f.year = "99"; }, RirekiCtl::Year,
         "100 から 9999 までの整数を入力してください。"},
        {"staff long", [](CRirekiFields& f) { f.tantou = std::string(16, 'x') + "あいうえおかきく"; },
         RirekiCtl::Tantou, "30文字(ﾊﾞｲﾄ)以内で入力してください"},
        // The text limit comes before the bad date.
        {"order", [](CRirekiFields& f) { f.title = std::string(101, 'a'); f.day = 30; f.month = 3; },
         RirekiCtl::Title, "100文字(ﾊﾞｲﾄ)以内で入力してください"},
    };
    for (const auto& c : cases) {
        ports.prompt.Clear();
        CRirekiFields f = Valid();
        c.edit(f);
        CRirekiData r = Entry(1, "before");
        const CRirekiData before = r;
        EXPECT_EQ(ValidateFields(f, r), c.focus) << c.name;
        EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(r, before) << c.name;
    }
}

TEST(RirekiValidate, AcceptedValues) {
    TestPorts ports;
    struct Case {
        const char* money;
        double value;
        int hourIndex, hour;
    } cases[] = {{"12.340", 12.34, 16, 0}, {"-0.5", -0.5, 15, 23}, {"1000000000000", 1e12, 0, 8}, {"5.", 5, 23, 7}};
    for (const auto& c : cases) {
        CRirekiFields f = Valid();
        f.money = c.money;
        f.hour = c.hourIndex;
        CRirekiData r;
        ASSERT_EQ(ValidateFields(f, r), 0) << c.money;
        EXPECT_DOUBLE_EQ(r.Money, c.value);
        EXPECT_EQ(r.Date.Hour(), c.hour);
        EXPECT_EQ(r.Date.Second(), 0);
    }
    CRirekiFields leap = Valid();
    leap.year = "2400";
    leap.month = 1;
    leap.day = 28;
    CRirekiData r;
    EXPECT_EQ(ValidateFields(leap, r), 0);
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST(RirekiEntryAdd, UntouchedClosesWithoutQuestionAndEditedAsks) {
    TestPorts ports;
    FakeCard card;
    for (bool edited : {false, true}) {
        CRirekiEntryLogic logic(HistoryDialogMode::Add, &card, 3, nullptr, false, false);
        FakeView view;
        logic.Attach(&view);
        EXPECT_FALSE(logic.NavigationVisible());
        if (edited) {
            view.fields.title = "来店";
            ports.prompt.QueueAnswer(Answer::No);
        }
        EXPECT_EQ(logic.OnClose(), edited ? kRirekiEndCancel : kRirekiEndStored);
    }
    EXPECT_EQ(ports.prompt.Texts().size(), 1u);
    EXPECT_TRUE(card.added.empty());
}

TEST(RirekiEntryAdd, OkStoresAndStaysOpenEmpty) {
    TestPorts ports;
    FakeCard card;
    CRirekiEntryLogic logic(HistoryDialogMode::Add, &card, 3, nullptr, false, false);
    FakeView view;
    logic.Attach(&view);
    view.fields.title = "来店";
    view.fields.money = "12.5";
    card.addResult = 0;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(logic.OnOk(), kRirekiStay);
    EXPECT_EQ(view.fields.title, "来店");  // kept after a failure
    card.addResult = 60;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(logic.OnOk(), kRirekiStay);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"履歴を追加します。よろしいですか？",
                                                               "履歴が登録できませんでした。\n",
                                                               "履歴を追加します。よろしいですか？"}));
    ASSERT_EQ(card.added.size(), 2u);
    EXPECT_EQ(card.added[1].CustomerID, 3);
    EXPECT_DOUBLE_EQ(card.added[1].Money, 12.5);
    EXPECT_EQ(view.fields.title, "");
    EXPECT_EQ(view.fields.money, "0");
}

TEST(RirekiEntryCopy, DatedNowAndAddedToTheRecordsCustomer) {
    TestPorts ports;
    FakeCard card;
    CRirekiData source = Entry(9, "見積", 2001);
    source.CustomerID = 44;
    CRirekiEntryLogic logic(HistoryDialogMode::Copy, &card, -1, &source, true, true);
    FakeView view;
    logic.Attach(&view);
    EXPECT_EQ(logic.Title(), "履歴を追加");
    EXPECT_EQ(view.fields.year, std::to_string(CDateTime::Now().Year()));
    EXPECT_EQ(logic.OnClose(), kRirekiEndStored);  // unchanged copy
    ports.prompt.QueueAnswer(Answer::Yes);
    view.fields.keyword = "k";
    EXPECT_EQ(logic.OnClose(), kRirekiEndStored);
    ASSERT_EQ(card.added.size(), 1u);
    EXPECT_EQ(card.added[0].CustomerID, 44);
    EXPECT_EQ(card.added[0].ActionTitle, "見積");
}

TEST(RirekiEntryModify, CloseComparesAndStores) {
    TestPorts ports;
    FakeCard card;
    card.rows = {Entry(1, "a"), Entry(2, "b")};
    CRirekiEntryLogic logic(HistoryDialogMode::Modify, &card, -1, &card.rows[0], false, true);
    FakeView view;
    logic.Attach(&view);
    EXPECT_EQ(logic.OkText(), "修正");
    EXPECT_EQ(logic.OnClose(), kRirekiEndStored);
    EXPECT_TRUE(ports.prompt.Texts().empty());

    view.fields.money = "1500.00";  // the same amount
    EXPECT_EQ(logic.OnClose(), kRirekiEndStored);
    view.fields.title = "changed";
    card.modifyResult = 0;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(logic.OnClose(), kRirekiStay);
    card.modifyResult = 1;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(logic.OnClose(), kRirekiEndStored);
    EXPECT_EQ(card.rows[0].ActionTitle, "changed");
    EXPECT_EQ(ports.prompt.Texts().back(),
              "履歴を修正しますか？\n【はい】で修正してダイアログを閉じます。\n【いいえ】で修正せずにダイアログを閉じます。");
    EXPECT_EQ(ports.prompt.Texts()[1], "履歴が更新できませんでした。\n");
}

TEST(RirekiEntryModify, WalkingStoresAChangeThenLocatesTheNeighbour) {
    TestPorts ports;
    FakeCard card;
    card.rows = {Entry(1, "a"), Entry(2, "b"), Entry(3, "c")};
    CRirekiEntryLogic logic(HistoryDialogMode::Modify, &card, -1, &card.rows[0], false, true);
    FakeView view;
    logic.Attach(&view);

    logic.OnNext();  // unchanged: simply moves
    EXPECT_EQ(view.fields.title, "b");
    EXPECT_TRUE(logic.PreviousEnabled());
    EXPECT_TRUE(logic.NextEnabled());

    view.fields.title = "b2";
    ports.prompt.QueueAnswer(Answer::Yes);
    logic.OnNext();
    EXPECT_EQ(card.rows[1].ActionTitle, "b2");
    EXPECT_EQ(view.fields.title, "c");
    EXPECT_FALSE(logic.NextEnabled());

    logic.OnNext();  // no neighbour: nothing changes
    EXPECT_EQ(view.fields.title, "c");

    view.fields.title = "c2";
    ports.prompt.QueueAnswer(Answer::No);  // moves without storing
    logic.OnPrevious();
    EXPECT_EQ(card.rows[2].ActionTitle, "c");
    EXPECT_EQ(view.fields.title, "b2");
    EXPECT_EQ(card.modified.size(), 1u);
}

TEST(RirekiEntryBulk, ConfirmEndsWithTheRecord) {
    TestPorts ports;
    CRirekiEntryLogic logic(HistoryDialogMode::BulkAdd, nullptr, -1, nullptr, false, false);
    FakeView view;
    logic.Attach(&view);
    EXPECT_EQ(logic.CloseText(), "ｷｬﾝｾﾙ");
    view.fields.title = "DM送付";
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(logic.OnOk(), kRirekiStay);
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(logic.OnOk(), kRirekiEndBulk);
    EXPECT_EQ(logic.Working().ActionTitle, "DM送付");
    EXPECT_EQ(logic.OnClose(), kRirekiEndCancel);
}

TEST(RirekiEntryPicture, PickAndRemoveKeepTheFile) {
    TestPorts ports;
    CRirekiEntryLogic logic(HistoryDialogMode::Add, nullptr, 3, nullptr, false, false);
    FakeView view;
    logic.Attach(&view);
    ports.prompt.QueueChoice("/tmp/x/photo.jpg");
    logic.OnPickPicture();
    EXPECT_EQ(view.fields.picture, "/tmp/x/photo.jpg");
    ports.prompt.QueueAnswer(Answer::No);
    logic.OnRemovePicture();
    EXPECT_EQ(view.fields.picture, "/tmp/x/photo.jpg");
    ports.prompt.QueueAnswer(Answer::Yes);
    logic.OnRemovePicture();
    EXPECT_EQ(view.fields.picture, "");
    EXPECT_EQ(ports.prompt.Log()[0].text, "ファイルを開く");
    EXPECT_EQ(ports.prompt.Log()[1].text, "画像の登録を解除してよろしいですか？\n(画像ファイル自身は削除しません)");
    EXPECT_EQ(ports.prompt.Log()[1].icon, MsgIcon::Question);
}
