// The DM screen's logic on a real database.
#include "app/CommandIds.h"
#include "dm/DMFixture.h"

namespace {

class DMViewTest : public DMTest {
protected:
    DMViewTest() : logic(doc.get(), screen) {}
    // Opens the screen and selects the row of the title key.
    void OpenAndSelect(int32_t key) {
        logic.Open();
        for (std::size_t i = 0; i < logic.Rows().size(); ++i)
            if (logic.Rows()[i]->ID == key) logic.SelectTitles({static_cast<int>(i)});
    }
    FakeDMScreen screen;
    CDMViewLogic logic;
};

TEST_F(DMViewTest, OpeningListsTitlesAndCaptionFollowsTheSelection) {
    auto c = AddCustomers(3);
    int32_t a = AddTitle("春の案内", {c[0], c[1]}, 0, 0, CDateTime::FromParts(2026, 4, 1));
    AddTitle("夏の案内", {c[2]}, 0, 0, CDateTime::FromParts(2026, 7, 1));
    logic.Open();
    EXPECT_EQ(screen.title, "Milvane－DM送付管理");
    ASSERT_EQ(logic.Rows().size(), 2u);
    EXPECT_EQ(logic.Caption(), "DM送付対象顧客");
    EXPECT_TRUE(logic.ButtonEnabled(ID_DM_ADD));
    EXPECT_FALSE(logic.ButtonEnabled(ID_DM_DELETE));

    OpenAndSelect(a);
    EXPECT_EQ(logic.Targets().size(), 2u);
    EXPECT_EQ(logic.Caption(), "『2026/04/01 春の案内』　送付対象顧客　：　2人");
    EXPECT_FALSE(logic.ButtonEnabled(ID_DM_ADD));
    EXPECT_TRUE(logic.ButtonEnabled(ID_DM_MODIFY));
    EXPECT_TRUE(logic.CommandEnabled(ID_DM_ADD));

    // Several titles: no targets, the plain caption, only deleting.
    logic.SelectTitles({0, 1});
    EXPECT_TRUE(logic.Targets().empty());
    EXPECT_TRUE(doc->DMTargetList.empty());
    EXPECT_EQ(logic.Caption(), "DM送付対象顧客");
    for (int id : {ID_DM_ADD, ID_DM_MODIFY, ID_DM_COPY, ID_DM_TARGET_ADD, ID_DM_TARGET_DELETE})
        EXPECT_FALSE(logic.ButtonEnabled(id)) << id;
    EXPECT_TRUE(logic.ButtonEnabled(ID_DM_DELETE));

    doc->PastDataMode = 1;
    EXPECT_FALSE(logic.ButtonEnabled(ID_DM_DELETE));
    EXPECT_FALSE(logic.CommandEnabled(ID_DM_ADD));
}

TEST_F(DMViewTest, AddStoresTheHourShownAndSelectsTheNewTitle) {
    logic.Open();
    screen.editForm = [](CDMTitleForm& f) {
        f.title = "秋の案内";
        f.year = 2026, f.monthIndex = 9, f.dayIndex = 4;
        f.hourIndex = DMHourIndex(3);  // the entry "3" of the hour list
        EXPECT_EQ(DMHourTexts()[static_cast<std::size_t>(f.hourIndex)], "3");
        f.minuteIndex = 7;
    };
    logic.Add();
    ASSERT_EQ(logic.Rows().size(), 1u);
    EXPECT_EQ(logic.SelectedRows(), std::vector<int>{0});
    CDMListData stored = StoredTitle(logic.Rows()[0]->ID);
    EXPECT_EQ(stored.Date.Format("%Y/%m/%d %H:%M"), "2026/10/05 03:07");
    EXPECT_EQ(stored.SendState, 0);
    EXPECT_EQ(screen.forms.at(0).mode, DM_MODE_ADD);
}

TEST_F(DMViewTest, CopyTakesTheTargetsAndReportsThoseThatFailed) {
    auto c = AddCustomers(3);
    int32_t a = AddTitle("元", {c[0], c[1], c[2]}, 1, 1);
    OpenAndSelect(a);
    ASSERT_EQ(logic.Targets().size(), 3u);
    CKeyArray deleted;
    ASSERT_EQ(doc->Database().DeleteKokyaku({c[1]}, deleted), 1);  // one target cannot be copied
    screen.editForm = [](CDMTitleForm& f) { f.title = "写し"; };
    logic.Copy();
    EXPECT_EQ(screen.forms.at(0).mode, DM_MODE_COPY);
    EXPECT_EQ(screen.forms.at(0).sendState, 0);
    EXPECT_EQ(screen.forms.at(0).historyRegistered, 0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"一部の顧客を登録できませんでした\n"});
    ASSERT_EQ(logic.Rows().size(), 2u);
    EXPECT_EQ(logic.Rows()[0]->Title, "写し");
    EXPECT_EQ(logic.Rows()[0]->SendState, 0);
    EXPECT_EQ(logic.Targets().size(), 2u);
    EXPECT_EQ(doc->DMTitleList.front()->Title, "写し");
}

TEST_F(DMViewTest, CopyWhoseTargetsAllFailSaysSo) {
    auto c = AddCustomers(1);
    OpenAndSelect(AddTitle("元", {c[0]}));
    CKeyArray deleted;
    doc->Database().DeleteKokyaku({c[0]}, deleted);
    screen.editForm = [](CDMTitleForm&) {};
    logic.Copy();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"顧客を登録できませんでした\n"});
    EXPECT_EQ(logic.Rows().size(), 2u);
}

TEST_F(DMViewTest, UnsendingByTheCheckImage) {
    auto c = AddCustomers(2);
    int32_t a = AddTitle("送付済み", {c[0], c[1]}, 1, 1);
    ASSERT_EQ(HistoryCount(c[0]), 1);
    OpenAndSelect(a);

    ports.prompt.QueueAnswer(Answer::No);
    logic.ClickCheck(0);
    EXPECT_EQ(logic.Rows()[0]->SendState, 1);
    EXPECT_EQ(StoredTitle(a).SendState, 1);
    EXPECT_EQ(HistoryCount(c[0]), 1);

    ports.prompt.QueueAnswer(Answer::Yes);
    logic.ClickCheck(0);
    ASSERT_EQ(ports.prompt.Log().size(), 2u);
    EXPECT_EQ(ports.prompt.Log()[1].text,
              "送付済みで履歴にも登録しています。\n未送付状態にすると、このDMについての履歴が削除されます。\n"
              "本当に未送付状態にしてもよろしいですか？");
    EXPECT_EQ(logic.Rows()[0]->SendState, 0);
    EXPECT_EQ(logic.Rows()[0]->HistoryRegistered, 0);
    EXPECT_EQ(StoredTitle(a).SendState, 0);
    EXPECT_EQ(HistoryCount(c[0]), 0);
    EXPECT_EQ(HistoryCount(c[1]), 0);

    // An unsent row only explains how the mark is set.
    ports.prompt.Clear();
    logic.ClickCheck(0);
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"済ﾁｪｯｸを付ける場合は、DMを送付してください。"});
}

TEST_F(DMViewTest, ChangeAsksByOldAndNewState) {
    struct Case {
        int oldState, oldHistory, newState, newHistory;
        bool retitle;
        const char* question;  // null: none asked
    } cases[] = {
        {1, 1, 0, 1, false,
         "送付済みで履歴にも登録しています。\n未送付状態にすると、このDMについての履歴が削除されます。\n"
         "本当に未送付状態にしてもよろしいですか？"},
        {1, 0, 0, 0, false, "送付済みですが、未送付状態にしますか？"},
        {1, 1, 1, 0, false, "送付対象顧客の送付履歴を削除します。\n本当によろしいですか？"},
        {1, 1, 1, 1, true, "送付済みで履歴にも登録しています。\n送付対象顧客の送付履歴を変更します。\n本当によろしいですか？"},
        {1, 0, 1, 1, false, "送付対象顧客の履歴に、送付履歴を登録します。\n本当によろしいですか？"},
        {1, 0, 1, 0, true, "送付済みですが、変更してもよろしいですか？"},
        {0, 0, 0, 0, true, nullptr},
    };
    auto c = AddCustomers(1);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.question ? k.question : "no question");
        int32_t key = AddTitle("題", {c[0]}, k.oldState, k.oldHistory);
        OpenAndSelect(key);
        ports.prompt.Clear();
        screen.editForm = [&](CDMTitleForm& f) {
            f.sendState = k.newState;
            f.historyRegistered = k.newHistory;
            if (k.retitle) f.title = "新しい題";
        };
        if (k.question) ports.prompt.QueueAnswer(Answer::Yes);
        logic.Change();
        EXPECT_EQ(ports.prompt.Texts(), k.question ? std::vector<std::string>{k.question} : std::vector<std::string>{});
        CDMListData stored = StoredTitle(key);
        EXPECT_EQ(stored.SendState, k.newState);
        EXPECT_EQ(stored.HistoryRegistered, k.newState ? k.newHistory : 0);
        EXPECT_EQ(stored.Title, k.retitle ? "新しい題" : "題");
        EXPECT_EQ(HistoryCount(c[0]), stored.HistoryRegistered);
        EXPECT_EQ(*logic.Rows()[logic.SelectedRows().at(0)], stored);
        CKeyArray gone;
        doc->Database().DeleteDMTitle({static_cast<uint32_t>(key)}, gone);
    }
}

TEST_F(DMViewTest, ChangeAnsweredNoOrUnchangedStoresNothing) {
    auto c = AddCustomers(1);
    int32_t a = AddTitle("題", {c[0]}, 1, 1);
    OpenAndSelect(a);
    screen.editForm = [](CDMTitleForm&) {};
    logic.Change();
    EXPECT_TRUE(ports.prompt.Texts().empty());
    screen.editForm = [](CDMTitleForm& f) { f.sendState = 0; };
    ports.prompt.QueueAnswer(Answer::No);
    logic.Change();
    EXPECT_EQ(StoredTitle(a).SendState, 1);
    EXPECT_EQ(HistoryCount(c[0]), 1);
}

TEST_F(DMViewTest, ChangeOnPastDataOnlyShowsTheTitle) {
    OpenAndSelect(AddTitle("題", {}));
    doc->PastDataMode = 1;
    screen.editForm = [](CDMTitleForm& f) { f.title = "変更"; };
    logic.Change();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{
        "データベースは読み取り専用です。\nDMタイトルを修正することはできません。\n参照のみを行ないます。"});
    EXPECT_EQ(screen.forms.at(0).mode, DM_MODE_VIEW);
    EXPECT_EQ(logic.Rows()[0]->Title, "題");
}

TEST_F(DMViewTest, DeleteAsksByStateAndRemovesTheRows) {
    auto c = AddCustomers(1);
    int32_t sent = AddTitle("送付", {c[0]}, 1, 1, CDateTime::FromParts(2026, 3, 1));
    int32_t plain = AddTitle("未送付", {}, 0, 0, CDateTime::FromParts(2026, 2, 1));
    OpenAndSelect(sent);
    ports.prompt.QueueAnswer(Answer::No);
    logic.Delete();
    EXPECT_EQ(ports.prompt.Log().at(0).text,
              "送付済みで履歴にも登録しています。\nDMタイトルを削除すると、このDMについての履歴が顧客の履歴から"
              "削除されます。\n本当に削除してもよろしいですか？");
    EXPECT_EQ(ports.prompt.Log().at(0).defaultButton, Answer::No);
    EXPECT_EQ(logic.Rows().size(), 2u);

    ports.prompt.Clear();
    logic.SelectTitles({0, 1});
    ports.prompt.QueueAnswer(Answer::Yes);
    logic.Delete();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{
        "削除してもよろしいですか？\n送付済みで履歴にも登録している場合には\nそのDMについての履歴が顧客の履歴から削除されます。\n"});
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_TRUE(doc->DMTitleList.empty());
    EXPECT_EQ(StoredTitle(plain).ID, -1);
    EXPECT_EQ(HistoryCount(c[0]), 0);

    ports.prompt.Clear();
    logic.Delete();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"DM送付予定を選択してください"});
}

TEST_F(DMViewTest, AddingTargetsDropsThoseAlreadyThere) {
    auto c = AddCustomers(3);
    int32_t a = AddTitle("題", {c[0], c[1]});
    OpenAndSelect(a);
    auto target = [&](uint32_t key) {
        CDMMngData d;
        d.CustomerID = static_cast<int32_t>(key);
        return d;
    };
    // All already targets: nothing stored, nothing said.
    screen.choose = {target(c[0]), target(c[1])};
    logic.AddTargets();
    EXPECT_TRUE(ports.prompt.Texts().empty());
    EXPECT_EQ(logic.Targets().size(), 2u);

    screen.choose = {target(c[1]), target(c[2])};
    logic.AddTargets();
    EXPECT_EQ(logic.Targets().size(), 3u);
    EXPECT_EQ(logic.Caption(), "『2026/05/01 題』　送付対象顧客　：　3人");
    CDMMngList stored;
    doc->Database().GetDMUserInfo(a, stored);
    EXPECT_EQ(stored.size(), 3u);

    screen.choose.clear();
    logic.AddTargets();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"顧客が取得できません\n"});
}

TEST_F(DMViewTest, AddingTargetsToASentDMAsksFirst) {
    auto c = AddCustomers(2);
    OpenAndSelect(AddTitle("題", {c[0]}, 1, 1));
    ports.prompt.QueueAnswer(Answer::No);
    logic.AddTargets();
    EXPECT_EQ(screen.chooserRuns, 0);
    CDMMngData d;
    d.CustomerID = static_cast<int32_t>(c[1]);
    screen.choose = {d};
    ports.prompt.QueueAnswer(Answer::Yes);
    logic.AddTargets();
    EXPECT_EQ(HistoryCount(c[1]), 1);  // the new target gets the sending history
    EXPECT_EQ(ports.prompt.Texts().at(0),
              "送付済みで履歴にも登録しています。\n追加した顧客の履歴にも、履歴情報として自動登録されます。\n"
              "追加してもよろしいですか？");
}

TEST_F(DMViewTest, RemovingTargets) {
    auto c = AddCustomers(3);
    int32_t a = AddTitle("題", {c[0], c[1], c[2]}, 1, 0);
    OpenAndSelect(a);
    logic.RemoveTargets();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"顧客を選択してください"});
    ports.prompt.Clear();
    logic.SelectTargets({0, 2});
    ports.prompt.QueueAnswer(Answer::Yes);
    logic.RemoveTargets();
    EXPECT_EQ(ports.prompt.Texts(), std::vector<std::string>{"送付済みになっています。削除してよろしいですか？"});
    ASSERT_EQ(logic.Targets().size(), 1u);
    EXPECT_EQ(logic.Targets()[0]->CustomerID, static_cast<int32_t>(c[1]));
    EXPECT_EQ(logic.Caption(), "『2026/05/01 題』　送付対象顧客　：　1人");
}

TEST_F(DMViewTest, HitRateOfTheAnalysedDM) {
    auto c = AddCustomers(4);
    int32_t a = AddTitle("題", {c[0], c[1], c[2], c[3]}, 1, 1);
    int32_t b = AddTitle("別", {c[0]}, 1, 1, CDateTime::FromParts(2026, 1, 1));
    OpenAndSelect(a);
    logic.SelectTitles({1});
    logic.HitRateAnalysis();  // a cancelled analysis shows nothing
    EXPECT_FALSE(logic.ShowingHitRate());
    screen.analyse = [&] {
        doc->AnalysisKind = 4;
        doc->AnalysisDMKey = a;
        doc->AnalysisKeys = {c[2]};
        return true;
    };
    logic.SelectTitles({0});
    logic.HitRateAnalysis();
    ASSERT_TRUE(logic.ShowingHitRate());
    EXPECT_EQ(logic.TargetCount(), 4);
    EXPECT_EQ(logic.HitCount(), 1);
    EXPECT_EQ(DMHitRateCaption(logic.HitRate()), "DMヒット率 : 25.00％");
    EXPECT_TRUE(logic.IsHit(static_cast<int32_t>(c[2])));
    EXPECT_FALSE(logic.IsHit(static_cast<int32_t>(c[0])));

    // Another title ends the display and the analysis result.
    OpenAndSelect(b);
    EXPECT_FALSE(logic.ShowingHitRate());
    EXPECT_EQ(doc->AnalysisKind, -1);
}

TEST_F(DMViewTest, OpeningAfterAnAnalysisShowsItsHitRate) {
    auto c = AddCustomers(2);
    int32_t a = AddTitle("題", {c[0], c[1]}, 1, 1);
    doc->AnalysisKind = 4;
    doc->AnalysisDMKey = a;
    doc->AnalysisKeys = {c[0], c[1]};
    logic.Open();
    EXPECT_TRUE(logic.ShowingHitRate());
    EXPECT_EQ(logic.SelectedRows(), std::vector<int>{0});
    EXPECT_DOUBLE_EQ(logic.HitRate(), 100.0);
    logic.Close();
    EXPECT_EQ(doc->AnalysisKind, -1);
    EXPECT_TRUE(doc->DMTitleList.empty());
}

TEST_F(DMViewTest, HitRateRefusals) {
    logic.HitRateAnalysis();
    OpenAndSelect(AddTitle("未送付", {}));
    logic.HitRateAnalysis();
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{
        "DMヒット率を調べるDMタイトルをひとつ選択してください",
        "DMヒット率は送付済みのDMタイトルに対してのみ調べられます。\n送付済みのDMタイトルを選択してください"}));
    EXPECT_DOUBLE_EQ(DMHitRate(0, 4), 0);
    EXPECT_DOUBLE_EQ(DMHitRate(3, 0), 0);
}

TEST_F(DMViewTest, ChangeDmStateOfAMissingTitle) {
    OpenAndSelect(AddTitle("題", {}));
    CKeyArray gone;
    doc->Database().DeleteDMTitle({static_cast<uint32_t>(logic.Rows()[0]->ID)}, gone);
    EXPECT_EQ(logic.ChangeDmState(0, 1, 0, 0), 0);
    EXPECT_EQ(logic.ChangeDmState(5, 1, 0, 0), -1);
    EXPECT_EQ(ports.prompt.Texts(), (std::vector<std::string>{"指定されたDMIDが見つかりませんでした",
                                                              "DMタイトルのデータが取得できません\n"}));
    EXPECT_EQ(logic.Rows()[0]->SendState, 0);
}

}  // namespace
