#include <gtest/gtest.h>

#include "customers/Kokyaku.h"
#include "customers/KokyakuEntry.h"
#include "support/TestPorts.h"

namespace {

// The dialog's controls as plain values.
struct FakeView : IKokyakuEntryView {
    ControlValues values;
    int focused = 0;
    ControlValues ReadControls() override { return values; }
    void WriteControls(const ControlValues& v) override { values = v; }
    void FocusControl(int id) override { focused = id; }
};

struct FakeHost : IKokyakuEntryHost {
    std::vector<CEntryRecord> added;
    std::vector<CEntryRecord> modified;
    int32_t addResult = 7;
    int modifyResult = 1;
    std::vector<NeighbourCustomer> next, prev;
    int32_t AddCustomer(const CEntryRecord& r) override {
        added.push_back(r);
        return addResult;
    }
    int ModifyCustomer(int32_t key, CEntryRecord& r) override {
        EXPECT_EQ(key, r.id);
        modified.push_back(r);
        return modifyResult;
    }
    std::optional<NeighbourCustomer> NextCustomer() override { return Pop(next); }
    std::optional<NeighbourCustomer> PrevCustomer() override { return Pop(prev); }
    static std::optional<NeighbourCustomer> Pop(std::vector<NeighbourCustomer>& q) {
        if (q.empty()) return std::nullopt;
        auto n = q.front();
        q.erase(q.begin());
        return n;
    }
};

CEntryRecord Customer(int32_t id, const std::string& name) {
    CEntryRecord r = CEntryRecord::Blank();
    r.id = id;
    r.SetText("Name", name);
    r.SetText("Suffix", "様");
    return r;
}

NeighbourCustomer Neighbour(int32_t id, const std::string& name, bool further) {
    return {Customer(id, name), further};
}

constexpr int kName = 1059, kCustomerId = 1058, kSuffix = 1065, kCompName = 1078;

// ---------------------------------------------------------------- loading and saving

TEST(KokyakuEntryControls, ClosingDayRoundTrip) {
    const auto& b = MainPageBindings(EntryLayout::Corporate);
    CEntryRecord r = CEntryRecord::Blank();
    r.SetInt("ClosingDay", 99);
    r.SetInt("ClosingDate", 3);
    ControlValues v = LoadControls(b, r, false);
    EXPECT_EQ(v[1184].text, "99(末)");
    EXPECT_EQ(v[1097].index, 2);

    v[1184].text = "20";
    v[1097].index = 11;
    ASSERT_EQ(SaveControls(b, v, r), 0);
    EXPECT_EQ(r.Int("ClosingDay"), 20);
    EXPECT_EQ(r.Int("ClosingDate"), 12);

    v[1184].text = "99(末)";
    ASSERT_EQ(SaveControls(b, v, r), 0);
    EXPECT_EQ(r.Int("ClosingDay"), 99);

    for (int day : {0, 32}) {
        r.SetInt("ClosingDay", day);
        EXPECT_EQ(LoadControls(b, r, false)[1184].text, "") << day;
    }
    EXPECT_EQ(ClosingDayFromText(""), 0);
}

TEST(KokyakuEntryControls, UrlShowsPrefixAndStoresItEmpty) {
    const auto& b = MainPageBindings(EntryLayout::Normal);
    CEntryRecord r = CEntryRecord::Blank();
    r.SetText("URL2", "http://example.jp/");
    ControlValues v = LoadControls(b, r, false);
    EXPECT_EQ(v[1095].text, "http://");
    EXPECT_EQ(v[1096].text, "http://example.jp/");
    EXPECT_EQ(LoadControls(b, r, true)[1095].text, "");

    r.SetText("URL1", "x");
    ASSERT_EQ(SaveControls(b, v, r), 0);
    EXPECT_EQ(r.Text("URL1"), "");
    EXPECT_EQ(r.Text("URL2"), "http://example.jp/");

    EXPECT_FALSE(UrlToOpen("http://"));
    EXPECT_FALSE(UrlToOpen(""));
    EXPECT_EQ(UrlToOpen("https://a.jp"), "https://a.jp");
}

TEST(KokyakuEntryControls, FirstTooLongFieldStopsAndNamesTheLimit) {
    TestPorts ports;
    const auto& b = MainPageBindings(EntryLayout::Normal);
    CEntryRecord r = Customer(3, "前の名前");
    ControlValues v = LoadControls(b, r, false);
    // 25 two-byte characters and one ASCII letter: 51 bytes.
    std::string name;
    for (int i = 0; i < 25; ++i) name += "あ";
    v[kName].text = name + "a";
    v[kCustomerId].text = std::string(21, '1');  // also too long, but saved after the name
    v[1074].text = "03-1234";
    EXPECT_EQ(SaveControls(b, v, r), kName);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"50文字(ﾊﾞｲﾄ)以内で入力してください"});
    EXPECT_EQ(r.Text("Name"), "前の名前");
    EXPECT_EQ(r.Text("TEL_Home"), "");  // nothing stored

    ports.prompt.Clear();
    v[kName].text = name;  // exactly 50 bytes
    EXPECT_EQ(SaveControls(b, v, r), kCustomerId);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"20文字(ﾊﾞｲﾄ)以内で入力してください"});

    // A character Shift-JIS lacks is named.
    ports.prompt.Clear();
    v[kCustomerId].text = std::string(20, '1');
    v[1072].text = "渋谷区😀";
    EXPECT_EQ(SaveControls(b, v, r), 1072);
    ASSERT_EQ(ports.prompt.Texts().size(), 1u);
    EXPECT_NE(ports.prompt.Texts()[0].find("「😀」"), std::string::npos);

    ports.prompt.Clear();
    v[1072].text = "渋谷区";
    EXPECT_EQ(SaveControls(b, v, r), 0);
    EXPECT_EQ(r.Text("Name"), name);
    EXPECT_EQ(r.Text("TEL_Home"), "03-1234");
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST(KokyakuEntryControls, BirthdayInvalidRefusedEmptyUnset) {
    TestPorts ports;
    const auto& b = MainPageBindings(EntryLayout::Individual);
    CEntryRecord r = CEntryRecord::Blank();
    r.SetDate("BirthDay", CDateTime::FromParts(1970, 5, 6));
    ControlValues v = LoadControls(b, r, false);
    EXPECT_EQ(v[1110].text, "1970/05/06");

    v[1110].text = "2023/2/29";
    EXPECT_EQ(SaveControls(b, v, r), 1110);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"日付の設定が正しくありません。"});
    EXPECT_EQ(r.Date("BirthDay").Format(), "1970/05/06");

    v[1110].text = "2024/2/29";
    ASSERT_EQ(SaveControls(b, v, r), 0);
    EXPECT_EQ(r.Date("BirthDay").Format(), "2024/02/29");

    v[1110].text = "";
    ASSERT_EQ(SaveControls(b, v, r), 0);
    EXPECT_FALSE(r.Date("BirthDay").IsValid());
}

TEST(KokyakuEntryControls, EachLayoutLoadsAndSavesOnlyItsPage) {
    TestPorts ports;
    const auto& normal = MainPageBindings(EntryLayout::Normal);
    const auto& individual = MainPageBindings(EntryLayout::Individual);
    CEntryRecord r = CEntryRecord::Blank();
    r.SetText("CompName", std::string(150, 'x'));  // over the limit, but not on the individual page
    r.SetInt("CommonMail", 5);
    EXPECT_EQ(LoadControls(normal, r, false)[1185].index, 5);
    EXPECT_EQ(LoadControls(MainPageBindings(EntryLayout::Corporate), r, false)[1185].index, 5);
    ControlValues v = LoadControls(individual, r, false);
    EXPECT_EQ(v[1185].index, 0);
    EXPECT_EQ(v.count(kCompName), 0u);

    // No button of the page chosen keeps the choice made on a sub-dialog.
    ASSERT_EQ(SaveControls(individual, v, r), 0);
    EXPECT_EQ(r.Int("CommonMail"), 5);
    v[1185].index = 2;
    ASSERT_EQ(SaveControls(individual, v, r), 0);
    EXPECT_EQ(r.Int("CommonMail"), 2);

    EXPECT_EQ(SaveControls(normal, LoadControls(normal, r, false), r), kCompName);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"100文字(ﾊﾞｲﾄ)以内で入力してください"});
}

// ---------------------------------------------------------------- name and honorific

TEST(KokyakuEntryCheck, MissingNamesAndHonorific) {
    TestPorts ports;
    CEntryRecord r = CEntryRecord::Blank();
    bool changed = false;
    r.SetInt("EntryType", 1);
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(CheckNameAndSuffix(r, changed), NameCheck::Stop);
    r.SetInt("EntryType", 0);
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(CheckNameAndSuffix(r, changed), NameCheck::Go);
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[0].text, "氏名が入力されていません。\nこのまま登録しますか？\n");
    EXPECT_EQ(ports.prompt.Log()[1].text, "会社名・氏名がいずれも入力されていません。\nこのまま登録しますか？\n");
    EXPECT_EQ(ports.prompt.Log()[0].defaultButton, Answer::No);
    EXPECT_EQ(ports.prompt.Log()[1].defaultButton, Answer::No);
    EXPECT_EQ(ports.prompt.Log()[0].icon, MsgIcon::Question);

    r.SetText("Name", "山田");
    ports.prompt.Clear();
    EXPECT_EQ(CheckNameAndSuffix(r, changed), NameCheck::Go);
    EXPECT_TRUE(ports.prompt.Log().empty());

    // A company without a name under "様": No keeps it (Yes and Cancel: see the corporate add).
    r.SetText("Name", "");
    r.SetText("CompName", "山田商事");
    r.SetText("Suffix", "様");
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_EQ(CheckNameAndSuffix(r, changed), NameCheck::Go);
    EXPECT_EQ(r.Text("Suffix"), "様");
    ASSERT_EQ(ports.prompt.Log().size(), 1u);
    EXPECT_EQ(ports.prompt.Log()[0].kind, Shown::YesNoCancel);
    EXPECT_EQ(ports.prompt.Log()[0].text, "氏名が入力されていませんが、敬称が「様」です。\n「御中」に変更しますか？\n");
    r.SetText("Suffix", "御中");  // no further question
    EXPECT_EQ(CheckNameAndSuffix(r, changed), NameCheck::Go);
    EXPECT_EQ(ports.prompt.Log().size(), 1u);
}

// ---------------------------------------------------------------- dialog flow

class EntryFlow : public ::testing::Test {
protected:
    void Open(EntryLayout layout, EntryMode mode, const CEntryRecord* r = nullptr, bool hasPrev = false,
              bool hasNext = false) {
        logic = std::make_unique<CKokyakuEntryLogic>(layout, mode, r, hasPrev, hasNext, &host);
        logic->Attach(&view);
    }
    TestPorts ports;
    FakeHost host;
    FakeView view;
    std::unique_ptr<CKokyakuEntryLogic> logic;
};

TEST_F(EntryFlow, CorporateAddWithCompanyOnly) {
    Open(EntryLayout::Corporate, EntryMode::Add);
    EXPECT_EQ(view.values[kSuffix].text, "様");
    EXPECT_EQ(view.values[1360].index, 0);  // 法人
    EXPECT_EQ(view.values[1185].index, 4);  // the first company address
    view.values[kCompName].text = "山田商事";

    // Cancel stores nothing.
    ports.prompt.QueueAnswer(Answer::Cancel);
    logic->OnButton1();
    EXPECT_TRUE(host.added.empty());
    EXPECT_EQ(view.values[kSuffix].text, "様");

    // Yes stores "御中" and the controls show it before the add question.
    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->OnButton1();
    ASSERT_EQ(host.added.size(), 1u);
    EXPECT_EQ(host.added[0].Text("Suffix"), "御中");
    EXPECT_EQ(host.added[0].Text("CompName"), "山田商事");
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客を追加します。よろしいですか？");
    EXPECT_EQ(ports.prompt.Log().back().icon, MsgIcon::Information);
    // The dialog stays open with a fresh record.
    EXPECT_EQ(view.values[kCompName].text, "");
    EXPECT_EQ(view.values[kSuffix].text, "様");
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
}

TEST_F(EntryFlow, TooLongNameFocusesTheName) {
    Open(EntryLayout::Normal, EntryMode::Add);
    view.values[kName].text = std::string(51, 'a');
    logic->OnButton1();
    EXPECT_EQ(view.focused, kName);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"50文字(ﾊﾞｲﾄ)以内で入力してください"});
    EXPECT_TRUE(host.added.empty());
    EXPECT_FALSE(logic->OnClose());  // closing saves first and stops there too
}

TEST_F(EntryFlow, ClosingAnUntouchedAddDialogAsksNothing) {
    for (EntryLayout layout : {EntryLayout::Normal, EntryLayout::Individual, EntryLayout::Corporate}) {
        Open(layout, EntryMode::Add);
        EXPECT_TRUE(logic->OnClose());
    }
    EXPECT_TRUE(ports.prompt.Log().empty());
    // Nor when copying an untouched record.
    CEntryRecord src = Customer(5, "山田");
    src.SetInt("ClosingDay", 77);  // outside the list
    src.SetInt("Sex", 1);
    Open(EntryLayout::Normal, EntryMode::Add, &src, true, true);
    EXPECT_FALSE(logic->NavigationVisible());
    EXPECT_TRUE(logic->OnClose());
    EXPECT_TRUE(ports.prompt.Log().empty());
}

TEST_F(EntryFlow, ClosingAnAddDialogWithText) {
    Open(EntryLayout::Normal, EntryMode::Add);
    view.values[kName].text = "山田";
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_TRUE(logic->OnClose());
    EXPECT_TRUE(host.added.empty());
    EXPECT_EQ(ports.prompt.Texts()[0],
              "顧客を追加しますか？\n【はい】で追加してダイアログを閉じます。\n【いいえ】で追加せずにダイアログを閉じます。");

    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_TRUE(logic->OnClose());
    ASSERT_EQ(host.added.size(), 1u);

    // A failed add keeps the dialog and its data, from the button as from closing.
    host.addResult = -1;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(logic->OnClose());
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客が追加できませんでした。\n");
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->OnButton1();
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客が追加できませんでした。\n");
    EXPECT_EQ(view.values[kName].text, "山田");
    EXPECT_EQ(host.added.size(), 3u);
}

TEST_F(EntryFlow, ChangeAndClose) {
    CEntryRecord rec = Customer(12, "山田");
    Open(EntryLayout::Individual, EntryMode::Change, &rec, false, true);
    EXPECT_EQ(logic->Button1Text(), "修正");
    EXPECT_TRUE(logic->OnClose());  // nothing changed
    EXPECT_TRUE(ports.prompt.Log().empty());

    view.values[kName].text = "山田太郎";
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->OnButton1();
    ASSERT_EQ(host.modified.size(), 1u);
    EXPECT_EQ(host.modified[0].id, 12);
    EXPECT_EQ(host.modified[0].Text("Name"), "山田太郎");
    EXPECT_TRUE(logic->OnClose());  // the change is now the record

    view.values[kName].text = "山田次郎";
    host.modifyResult = -1;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_FALSE(logic->OnClose());
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客が修正できませんでした。\n");
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_TRUE(logic->OnClose());
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
}

TEST_F(EntryFlow, ViewOnlyRefusesButMoves) {
    host.next = {Neighbour(2, "次の人", false)};
    host.prev = {Neighbour(1, "前の人", false)};
    CEntryRecord rec = Customer(1, "最初");
    Open(EntryLayout::Normal, EntryMode::View, &rec, false, true);
    EXPECT_FALSE(logic->Button1Enabled());
    EXPECT_TRUE(logic->NavigationVisible());
    EXPECT_FALSE(logic->PrevEnabled());
    EXPECT_TRUE(logic->NextEnabled());

    view.values[kName].text = "書き換え";
    logic->OnButton1();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"現在、顧客は参照のみです。修正はできません。\n"});
    logic->OnNext();
    EXPECT_EQ(view.values[kName].text, "次の人");
    EXPECT_TRUE(logic->PrevEnabled());
    EXPECT_FALSE(logic->NextEnabled());
    logic->OnPrev();
    EXPECT_EQ(view.values[kName].text, "前の人");
    EXPECT_FALSE(logic->PrevEnabled());
    EXPECT_TRUE(logic->NextEnabled());
    EXPECT_TRUE(host.modified.empty());
    EXPECT_TRUE(logic->OnClose());
    EXPECT_EQ(ports.prompt.Log().size(), 1u);
}

TEST_F(EntryFlow, NextWithChangesAsksFirst) {
    host.next = {Neighbour(2, "次の人", true), Neighbour(3, "三人目", false)};
    CEntryRecord rec = Customer(1, "最初");
    Open(EntryLayout::Normal, EntryMode::Change, &rec, false, true);

    view.values[kName].text = "変更";
    ports.prompt.QueueAnswer(Answer::No);
    logic->OnNext();  // No: stays without moving
    EXPECT_EQ(view.values[kName].text, "変更");
    EXPECT_EQ(host.next.size(), 2u);

    host.modifyResult = 0;
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->OnNext();
    EXPECT_EQ(ports.prompt.Texts().back(), "顧客が更新できませんでした。\n");
    EXPECT_EQ(host.next.size(), 2u);

    host.modifyResult = 1;
    ports.prompt.QueueAnswer(Answer::Yes);
    logic->OnNext();
    EXPECT_EQ(view.values[kName].text, "次の人");
    EXPECT_TRUE(logic->NextEnabled());
    logic->OnNext();  // unchanged: no question
    EXPECT_EQ(view.values[kName].text, "三人目");
    EXPECT_FALSE(logic->NextEnabled());
    EXPECT_TRUE(ports.prompt.AllAnswersUsed());
    EXPECT_EQ(ports.prompt.Log().size(), 4u);
}

// ---------------------------------------------------------------- sub-dialogs

TEST(KokyakuEntrySub, CorporateHomeInformationTakesTheStandardMail) {
    CEntryRecord working = CEntryRecord::Blank();
    working.SetInt("CommonMail", 4);
    const auto& b = SubDialogBindings(SubDialogKind::HomeInfo);
    CEntryRecord in = SubDialogInput(working, 4, nullptr);
    ControlValues v = LoadControls(b, in, false);
    EXPECT_EQ(v[1185].index, 0);  // no home button for a company address
    v[1185].index = 2;
    v[1091].text = "home2@example.jp";
    ASSERT_EQ(SaveControls(b, v, in), 0);
    EXPECT_TRUE(ApplySubDialog(SubDialogKind::HomeInfo, in, working));
    EXPECT_EQ(working.Int("CommonMail"), 2);
    EXPECT_EQ(working.Text("EMail2"), "home2@example.jp");

    // The page now shows no company button, and saving it keeps the 2.
    const auto& page = MainPageBindings(EntryLayout::Corporate);
    ControlValues pv = LoadControls(page, working, false);
    EXPECT_EQ(pv[1185].index, 0);
    ASSERT_EQ(SaveControls(page, pv, working), 0);
    EXPECT_EQ(working.Int("CommonMail"), 2);

    // Leaving the home buttons alone does not take the mail.
    working.SetInt("CommonMail", 5);
    CEntryRecord again = SubDialogInput(working, 5, nullptr);
    ASSERT_EQ(SaveControls(b, LoadControls(b, again, false), again), 0);
    EXPECT_FALSE(ApplySubDialog(SubDialogKind::HomeInfo, again, working));
    EXPECT_EQ(working.Int("CommonMail"), 5);
}

TEST(KokyakuEntrySub, IndividualCompanyInformation) {
    CEntryRecord working = CEntryRecord::Blank();
    working.SetInt("CommonMail", 1);
    const auto& b = SubDialogBindings(SubDialogKind::CompanyInfo);
    CEntryRecord in = SubDialogInput(working, 1, nullptr);
    ControlValues v = LoadControls(b, in, false);
    EXPECT_EQ(v[1185].index, 0);
    EXPECT_EQ(v[1096].text, "http://");
    v[1185].index = 5;
    v[1184].text = "99(末)";
    ASSERT_EQ(SaveControls(b, v, in), 0);
    EXPECT_TRUE(ApplySubDialog(SubDialogKind::CompanyInfo, in, working));
    EXPECT_EQ(working.Int("CommonMail"), 5);
    EXPECT_EQ(working.Int("ClosingDay"), 99);
    EXPECT_EQ(working.Text("URL2"), "");
}

TEST(KokyakuEntrySub, NotesTakeNote1FromThePage) {
    CEntryRecord working = CEntryRecord::Blank();
    working.SetText("Note1", "old");
    working.SetText("Note10", "ten");
    const std::string typed = "typed on the page";
    CEntryRecord in = SubDialogInput(working, 0, &typed);
    const auto& b = SubDialogBindings(SubDialogKind::Notes);
    ASSERT_EQ(b.size(), 10u);
    ControlValues v = LoadControls(b, in, false);
    EXPECT_EQ(v[EntryCtl::Note1].text, typed);
    EXPECT_EQ(v[EntryCtl::Note2 + 8].text, "ten");
    TestPorts ports;
    v[EntryCtl::Note2].text = std::string(256, 'n');
    EXPECT_EQ(SaveControls(b, v, in), EntryCtl::Note2);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"255文字(ﾊﾞｲﾄ)以内で入力してください"});
}

CKokyaku FilledKokyaku() {
    CKokyaku k;
    k.ID = 42;
    int n = 0;
    for (const KokyakuField& f : KokyakuFields()) {
        if (!f.IsUserField()) continue;
        ++n;
        if (f.IsText())
            f.Text(k) = std::string("v") + std::to_string(n);
        else if (f.IsDate())
            f.SetDate(k, CDateTime::FromParts(2000, 1, n % 28 + 1));
        else if (f.IsInt())
            f.SetInt(k, n);
    }
    k.TEL_Home_X = 123;
    return k;
}

TEST(KokyakuEntryRecord, ConversionKeepsAndComparesEveryEnteredField) {
    const CKokyaku k = FilledKokyaku();
    const CEntryRecord r = ToEntryRecord(k);
    EXPECT_EQ(r.id, 42);
    EXPECT_EQ(r.Text("Picture5"), k.Picture5);
    CKokyaku back;
    back.ID = 42;
    back.TEL_Home_X = 123;
    ApplyEntryRecord(r, back);
    EXPECT_EQ(back, k);

    // Every entered field takes part in the comparison, the stamps do not.
    for (const KokyakuField& f : KokyakuFields()) {
        if (!f.IsUserField()) continue;
        CKokyaku changed = k;
        if (f.IsText())
            f.Text(changed) += "x";
        else if (f.IsDate())
            f.SetDate(changed, CDateTime());
        else if (f.IsInt())
            f.SetInt(changed, f.Int(k) + 100);
        const std::string name = f.name;
        const bool stamped = name == "StartDate" || name == "LastUpDate" || name == "RirekiUpDate";
        EXPECT_EQ(RecordsDiffer(r, ToEntryRecord(changed)), !stamped) << name;
    }
}

}  // namespace
