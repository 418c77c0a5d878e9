#include "dm/MailSend.h"

#include <cstdio>
#include <unordered_map>

#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "common/SjisField.h"
#include "common/SjisText.h"
#include "customers/Kokyaku.h"
#include "dm/XdgMail.h"

namespace {
IMailInterface* g_installed = nullptr;
}  // namespace

IMailInterface& Mail::Interface() {
    static CXdgMail desktop;
    return g_installed ? *g_installed : desktop;
}

void Mail::Install(IMailInterface* mail) { g_installed = mail; }

std::optional<std::string> MailAddressOf(const CKokyaku& k) {
    const std::string* mails[] = {&k.EMail1, &k.EMail2, &k.EMail3, &k.EMail4, &k.EMail5};
    if (k.CommonMail < 1 || k.CommonMail > 5) return std::nullopt;
    const std::string& address = *mails[k.CommonMail - 1];
    if (address.empty()) return std::nullopt;
    return address;
}

int CollectMailAddresses(CMilvaneDoc& doc, const std::vector<uint32_t>& customerKeys,
                         std::vector<std::string>& addresses) {
    addresses.clear();
    CKokyakuList customers;
    if (!doc.ReadListedCustomers(customerKeys, customers)) return -1;
    for (const auto& k : customers)
        if (auto address = MailAddressOf(*k)) addresses.push_back(*address);
    if (addresses.empty()) return -1;
    return addresses.size() == customerKeys.size() ? 1 : 0;
}

CMailMessage BuildMailMessage(const std::string& subject, const std::vector<std::string>& addresses) {
    CMailMessage message;
    message.subject = subject;
    const int recipClass = addresses.size() == 1 ? kMailRecipientTo : kMailRecipientBcc;
    for (const auto& a : addresses) message.recipients.push_back({recipClass, a, "SMTP:" + a});
    return message;
}

std::string TooManyMailRecipientsMessage() {
    char text[256];
    std::snprintf(text, sizeof text,
                  "メール送信の対象者が多すぎます。一括で送信できるのは %d 人までです。\n送信対象者を減らしてください。",
                  static_cast<int>(kMaxMailRecipients));
    return text;
}

int SendMail(IMailInterface& mail, const std::string& subject, const std::vector<std::string>& addresses) {
    if (addresses.empty()) {
        ShowMessage("メール送信の対象者が指定されていません");
        return 0;
    }
    if (addresses.size() > kMaxMailRecipients) {
        ShowMessage(TooManyMailRecipientsMessage());
        return 0;
    }
    const CMailMessage message = BuildMailMessage(subject, addresses);
    MailResult result;
    {
        WaitScope wait;
        result = mail.Send(message);
    }
    switch (result) {
    case MailResult::Accepted: return 1;
    case MailResult::Unavailable: ShowMessage(kMailInterfaceMissing); return 0;
    case MailResult::Failed: ShowMessage("送信できませんでした"); return 0;
    case MailResult::TooManyRecipients: {
        char text[256];
        std::snprintf(text, sizeof text,
                      "メール送信の対象者が多すぎます。ご利用のメーラーでは %d 件の同報送信はできませんでした。",
                      static_cast<int>(message.recipients.size()));
        ShowMessage(text);
        return 0;
    }
    case MailResult::Cancelled: break;
    }
    return 0;
}

bool CheckMailSubject(const std::string& subject) {
    return CheckSjisField(subject, static_cast<int>(kMaxMailSubjectBytes),
                          "件名が長すぎます。半角で256文字までにしてください。");
}
