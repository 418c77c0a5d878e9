// Mail to customers: the recipient addresses of customers, the message handed
// to the desktop's mail program, the send operation and the subject check.
// The mail program is reached through IMailInterface; the application uses
// the desktop one (XdgMail.h), tests a recording double.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CMilvaneDoc;
struct CKokyaku;

inline constexpr int kMailRecipientTo = 1;
inline constexpr int kMailRecipientBcc = 3;
inline constexpr std::size_t kMaxMailRecipients = 1000;
inline constexpr std::size_t kMaxMailSubjectBytes = 256;

struct CMailRecipient {
    int recipClass = kMailRecipientTo;  // kMailRecipientTo or kMailRecipientBcc
    std::string name;                   // the address text
    std::string address;                // "SMTP:" + the address text

    bool operator==(const CMailRecipient&) const = default;
};

// One message: a subject, no body, flagged unread, no attachments.
struct CMailMessage {
    std::string subject;
    std::vector<CMailRecipient> recipients;
    int flags = 1;  // unread
};

// How the mail program took a message.
enum class MailResult {
    Accepted,           // shown to the user, ready to edit and send
    Cancelled,          // the user cancelled in the mail program
    Failed,             // the hand-over failed
    TooManyRecipients,  // the mail program cannot take that many recipients
    Unavailable,        // the desktop mail interface is missing
};

class IMailInterface {
public:
    virtual ~IMailInterface() = default;
    // Hands the message to the mail program, which shows it for editing.
    virtual MailResult Send(const CMailMessage& message) = 0;
};

// The installed mail interface (the desktop one until something else is installed).
namespace Mail {
IMailInterface& Interface();
void Install(IMailInterface* mail);
}  // namespace Mail

// The customer's address: EMail<CommonMail> when CommonMail is 1..5 and that
// address is not empty; otherwise nullopt.
std::optional<std::string> MailAddressOf(const CKokyaku& k);

// For each key, in order, the address of that customer of the document's
// customer list. 1 every key gave an address; 0 some did; -1 none did (also
// for no keys).
int CollectMailAddresses(CMilvaneDoc& doc, const std::vector<uint32_t>& customerKeys,
                         std::vector<std::string>& addresses);

// The message of Send: one recipient is To, several are all Bcc.
CMailMessage BuildMailMessage(const std::string& subject, const std::vector<std::string>& addresses);

// "…一括で送信できるのは 1000 人までです。…"
std::string TooManyMailRecipientsMessage();

// Hands the subject and addresses to the mail program. 1 when it accepted the
// message, else 0 (after the message for the failure, if any).
int SendMail(IMailInterface& mail, const std::string& subject, const std::vector<std::string>& addresses);

// The subject dialog "メーラーを起動".
struct CMailSubjectRequest {
    bool registerHistory = true;  // the check "履歴に登録する" starts ticked
    bool canChange = true;        // the check can be changed
};
struct CMailSubject {
    std::string subject;
    bool registerHistory = false;
};

// The check of "メーラー起動": false (after its message) for a subject of
// more than 256 Shift-JIS bytes.
bool CheckMailSubject(const std::string& subject);
