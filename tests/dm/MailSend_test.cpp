// Addresses, the message handed over, the limits and the failure messages.
#include "dm/MailTestSupport.h"
#include "dm/XdgMail.h"

namespace {
std::vector<std::string> Addresses(std::size_t n) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < n; ++i) out.push_back("c" + std::to_string(i) + "@example.jp");
    return out;
}
}  // namespace

TEST_F(MailTest, AddressOnlyFromTheCommonMailField) {
    const uint32_t none = Customer(0, "");              // EMail1 filled, CommonMail 0
    const uint32_t third = Customer(3, "san@example.jp");
    const uint32_t empty = Customer(2, "");
    const uint32_t outOfRange = Customer(6, "");
    struct Case {
        std::vector<uint32_t> keys;
        int result;
        std::vector<std::string> addresses;
    } cases[] = {
        {{third}, 1, {"san@example.jp"}},
        {{none, third, empty}, 0, {"san@example.jp"}},
        {{none, empty, outOfRange, 999999}, -1, {}},
        {{}, -1, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got{"stale"};
        EXPECT_EQ(CollectMailAddresses(*doc, c.keys, got), c.result);
        EXPECT_EQ(got, c.addresses);
    }
}

TEST_F(MailTest, OneRecipientIsToSeveralAreBcc) {
    ASSERT_EQ(SendMail(mail, "件名", {"a@example.jp"}), 1);
    ASSERT_EQ(SendMail(mail, "件名", {"a@example.jp", "b@example.jp"}), 1);
    ASSERT_EQ(mail.sent.size(), 2u);
    EXPECT_EQ(mail.sent[0].recipients,
              (std::vector<CMailRecipient>{{kMailRecipientTo, "a@example.jp", "SMTP:a@example.jp"}}));
    EXPECT_EQ(mail.sent[1].recipients,
              (std::vector<CMailRecipient>{{kMailRecipientBcc, "a@example.jp", "SMTP:a@example.jp"},
                                           {kMailRecipientBcc, "b@example.jp", "SMTP:b@example.jp"}}));
    EXPECT_EQ(mail.sent[1].subject, "件名");
    EXPECT_TRUE(ports.prompt.Texts().empty());
}

TEST_F(MailTest, RecipientLimitIsCheckedBeforeTheMailInterface) {
    EXPECT_EQ(SendMail(mail, "s", Addresses(1000)), 1);
    EXPECT_EQ(SendMail(mail, "s", Addresses(1001)), 0);
    EXPECT_EQ(SendMail(mail, "s", {}), 0);
    EXPECT_EQ(mail.sent.size(), 1u);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"メール送信の対象者が多すぎます。一括で送信できるのは 1000 人までです。\n"
                                        "送信対象者を減らしてください。",
                                        "メール送信の対象者が指定されていません"}));
}

TEST_F(MailTest, EachFailureOfTheMailProgramHasItsMessage) {
    struct Case {
        MailResult answer;
        int result;
        std::vector<std::string> texts;
    } cases[] = {
        {MailResult::Accepted, 1, {}},
        {MailResult::Cancelled, 0, {}},
        {MailResult::Failed, 0, {"送信できませんでした"}},
        {MailResult::Unavailable, 0, {kMailInterfaceMissing}},
        {MailResult::TooManyRecipients, 0,
         {"メール送信の対象者が多すぎます。ご利用のメーラーでは 3 件の同報送信はできませんでした。"}},
    };
    for (const auto& c : cases) {
        ports.prompt.Clear();
        mail.answer = c.answer;
        EXPECT_EQ(SendMail(mail, "s", Addresses(3)), c.result);
        EXPECT_EQ(ports.prompt.Texts(), c.texts);
    }
}

// The subject: at most 256 Shift-JIS bytes, only characters Shift-JIS holds.
TEST(MailSubject, LimitAndCharacters) {
    const std::string kanji128 = [] {
        std::string s;
        for (int i = 0; i < 128; ++i) s += "件";
        return s;
    }();
    struct Case {
        std::string subject;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {kanji128, nullptr},
        {kanji128 + "x", "件名が長すぎます。半角で256文字までにしてください。"},
        {"ご案内😀", "「😀」は登録できない文字です。\n別の文字に置き換えてください。"},
    };
    for (const Case& c : cases) {
        TestPorts ports;
        EXPECT_EQ(CheckMailSubject(c.subject), c.message == nullptr);
        EXPECT_EQ(ports.prompt.Texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}
