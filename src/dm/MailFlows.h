// The three ways a mail is started: the customer screen's "メール送信..." for
// the selected customers, a mail-address link of the card pane, and the DM
// screen's "メール送信..." for the targets of one DM title.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "dm/MailSend.h"

class CDMViewLogic;
class CMilvaneDoc;
class IRirekiOwner;
struct CDMListData;

// Opens the subject dialog "メーラーを起動"; nullopt when cancelled.
using MailSubjectRunner = std::function<std::optional<CMailSubject>(const CMailSubjectRequest&)>;

inline constexpr const char* kMailHistoryTitle = "メール送信";

// What the customer screen does after a mail to the selected customers.
struct CCustomerMailOutcome {
    int historyResult = 0;  // 0 no history written, else the bulk AddNewRireki result (1, 10, -1)
    CDateTime at;           // the time of that history
};

// Mail to the customers with these keys (the selection in row order); doc may
// be null. On a sent mail with the check ticked on writable data, one history
// entry "メール送信" with the subject goes to every one of them.
CCustomerMailOutcome MailToCustomers(CMilvaneDoc* doc, const std::vector<uint32_t>& keys, IMailInterface& mail,
                                     const MailSubjectRunner& askSubject);

// A mail-address link of the card pane: the subject dialog, the mail to that
// address and, with the check ticked, a history entry for the customer through
// the owner's history add. Returns true when the mail was handed over.
bool MailFromCard(CMilvaneDoc* doc, int32_t customerKey, const std::string& address, IMailInterface& mail,
                  const MailSubjectRunner& askSubject, IRirekiOwner& owner);

// What the DM screen hands to its mail command.
struct CDmMailRequest {
    CMilvaneDoc* doc = nullptr;
    int selectedTitles = 0;                  // number of selected title rows
    int row = -1;                            // the selected title's row
    const CDMListData* title = nullptr;      // its record, or none
    std::vector<uint32_t> targetKeys;        // every target of the title
    std::vector<uint32_t> selectedTargetKeys;
    // ChangeDmState(row, sendState, historyRegistered, sendMethod) of the screen; 1 done.
    std::function<int(int, int, int, int)> changeDmState;
};

// The DM screen's mail. Returns true when the DM was marked sent by e-mail.
bool MailForDm(const CDmMailRequest& request, IMailInterface& mail, const MailSubjectRunner& askSubject);

// MailForDm over the DM screen: its selected title, that title's targets and
// the selected ones, and its ChangeDmState.
bool MailForDmScreen(CDMViewLogic& screen, CMilvaneDoc* doc, IMailInterface& mail,
                     const MailSubjectRunner& askSubject);
