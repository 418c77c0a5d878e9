// The customer screen's, the card's and the DM screen's mail.
#include "dm/DMData.h"
#include "dm/MailTestSupport.h"

using Texts = std::vector<std::string>;

TEST_F(MailTest, CustomersWithoutAddressStillGetTheHistory) {
    const std::vector<uint32_t> keys{Customer(1, "a@example.jp"), Customer(0, ""), Customer(2, "b@example.jp")};
    ports.prompt.QueueAnswer(Answer::Yes);
    ports.prompt.QueueAnswer(Answer::Yes);
    FixedClock clock;
    const CCustomerMailOutcome out = MailToCustomers(doc.get(), keys, mail, askSubject);
    EXPECT_EQ(ports.prompt.Texts(),
              (Texts{"一部の送付対象者のメールアドレスがありませんが、このまま続けますか？\n"
                     "※履歴に登録する場合は、全送付対象者の履歴に登録されます。",
                     "2件の顧客にメールを送ります。よろしいですか？"}));
    ASSERT_EQ(mail.sent.size(), 1u);
    EXPECT_EQ(mail.sent[0].recipients.size(), 2u);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].registerHistory && requests[0].canChange);
    EXPECT_EQ(out.historyResult, 1);
    for (uint32_t key : keys) {
        EXPECT_EQ(HistoryTitles(key), Texts{"メール送信/ご案内"});
        CRirekiList list;
        doc->Database().GetRirekiForKokyaku(static_cast<int32_t>(key), list);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0]->Date.Second(), 0);  // kept to the minute
    }
}

TEST_F(MailTest, CustomerMailStopsWithoutTouchingTheMailProgram) {
    const uint32_t withMail = Customer(1, "a@example.jp");
    const uint32_t without = Customer(0, "");
    struct Case {
        std::vector<uint32_t> keys;
        std::vector<Answer> answers;
        Texts texts;
    } cases[] = {
        {{}, {}, {"メールを送る顧客を選択してください。"}},
        {{without}, {}, {"送付対象者にメールアドレスがありません。\nメールを送れません。\n"}},
        {{withMail, without}, {Answer::No}, {"一部の送付対象者のメールアドレスがありませんが、このまま続けますか？\n"
                                             "※履歴に登録する場合は、全送付対象者の履歴に登録されます。"}},
        {{withMail}, {Answer::No}, {"1件の顧客にメールを送ります。よろしいですか？"}},
    };
    for (const auto& c : cases) {
        ports.prompt.Clear();
        for (Answer a : c.answers) ports.prompt.QueueAnswer(a);
        EXPECT_EQ(MailToCustomers(doc.get(), c.keys, mail, askSubject).historyResult, 0);
        EXPECT_EQ(ports.prompt.Texts(), c.texts);
    }
    ports.prompt.Clear();
    EXPECT_EQ(MailToCustomers(nullptr, {withMail}, mail, askSubject).historyResult, 0);
    EXPECT_EQ(ports.prompt.Texts(), Texts{"送付対象者のメールアドレスが取得できませんでした。\n"});
    EXPECT_TRUE(mail.sent.empty());
    EXPECT_TRUE(requests.empty());
}

TEST_F(MailTest, ReadOnlyDataRecordsNothing) {
    const uint32_t key = Customer(1, "a@example.jp");
    doc->PastDataMode = 1;
    ports.prompt.QueueAnswer(Answer::Yes);
    EXPECT_EQ(MailToCustomers(doc.get(), {key}, mail, askSubject).historyResult, 0);
    EXPECT_FALSE(requests.at(0).registerHistory || requests.at(0).canChange);
    EXPECT_EQ(mail.sent.size(), 1u);
    doc->PastDataMode = 0;
    EXPECT_TRUE(HistoryTitles(key).empty());
}

// ---------------------------------------------------------------- DM

class DmMailTest : public MailTest {
protected:
    DmMailTest() {
        dm.ID = 3;
        dm.Date = CDateTime::Now();
        request.doc = doc.get();
        request.selectedTitles = 1;
        request.row = 0;
        request.title = &dm;
        request.targetKeys = {Customer(1, "a@example.jp"), Customer(1, "b@example.jp"), Customer(0, "")};
        request.changeDmState = [this](int row, int state, int history, int method) {
            changes.push_back({row, state, history, method});
            return 1;
        };
    }
    CDMListData dm;
    CDmMailRequest request;
    std::vector<std::vector<int>> changes;
};

TEST_F(DmMailTest, UnsentDmIsMarkedSentByMail) {
    ports.prompt.QueueAnswer(Answer::Yes);  // some customers have no address
    EXPECT_TRUE(MailForDm(request, mail, askSubject));
    EXPECT_EQ(ports.prompt.Texts(),
              Texts{"一部の顧客にメールアドレスがありませんが、このまま続けますか？\n"
                    "※履歴に登録する場合は、全ての顧客の履歴に登録されます。"});
    EXPECT_EQ(mail.sent.at(0).recipients.size(), 2u);
    EXPECT_EQ(changes, (std::vector<std::vector<int>>{{0, 1, 1, 1}}));

    dm.Date = CDateTime(dm.Date.Days() - 3);
    ports.prompt.Clear();
    ports.prompt.QueueAnswer(Answer::No);
    EXPECT_FALSE(MailForDm(request, mail, askSubject));
    EXPECT_EQ(ports.prompt.Texts().at(0).rfind("「送付日」が異なりますがメール送信しますか？", 0), 0u);
    EXPECT_EQ(mail.sent.size(), 1u);
}

TEST_F(DmMailTest, SentDmWithHistoryMailsTheChosenTargetsOnly) {
    dm.SendState = 1;
    dm.HistoryRegistered = 1;
    request.selectedTargetKeys = {request.targetKeys[1]};
    ports.prompt.QueueAnswer(Answer::Yes);  // the selected customers
    EXPECT_FALSE(MailForDm(request, mail, askSubject));
    EXPECT_EQ(ports.prompt.Log().at(0).kind, Shown::YesNoCancel);
    ASSERT_EQ(mail.sent.size(), 1u);
    EXPECT_EQ(mail.sent[0].recipients.at(0).name, "b@example.jp");
    EXPECT_EQ(mail.sent[0].recipients.at(0).recipClass, kMailRecipientTo);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].registerHistory);
    EXPECT_FALSE(requests[0].canChange);
    EXPECT_TRUE(changes.empty());

    dm.HistoryRegistered = 0;  // sent without history: the check decides
    ports.prompt.QueueAnswer(Answer::Cancel);
    EXPECT_FALSE(MailForDm(request, mail, askSubject));
    request.selectedTargetKeys.clear();
    for (bool tick : {false, true}) {
        ports.prompt.QueueAnswer(Answer::Yes);
        ports.prompt.QueueAnswer(Answer::Yes);
        EXPECT_EQ(MailForDm(request, mail, [&](const CMailSubjectRequest& r) {
                      EXPECT_FALSE(r.registerHistory);
                      EXPECT_TRUE(r.canChange);
                      return std::optional<CMailSubject>(CMailSubject{"s", tick});
                  }),
                  tick);
    }
    EXPECT_EQ(mail.sent.back().recipients.size(), 2u);
    EXPECT_EQ(changes, (std::vector<std::vector<int>>{{0, 1, 1, 1}}));
}
