#include "dm/MailFlows.h"

#include <cstdio>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "dm/DMData.h"
#include "dm/DMViewLogic.h"
#include "history/RirekiData.h"
#include "history/RirekiNavigator.h"

namespace {

bool Yes(const std::string& text) {
    return Ports::Prompt().AskYesNo(text, MsgIcon::Question, Answer::Yes) == Answer::Yes;
}

CRirekiData MailHistory(const std::string& subject, const CDateTime& now) {
    CRirekiData r;
    r.ActionTitle = kMailHistoryTitle;
    r.Action = subject;
    r.Date = HistoryDate(now);
    return r;
}

// The same calendar day.
bool SameDay(const CDateTime& a, const CDateTime& b) { return a.Format() == b.Format(); }

}  // namespace

CCustomerMailOutcome MailToCustomers(CMilvaneDoc* doc, const std::vector<uint32_t>& keys, IMailInterface& mail,
                                     const MailSubjectRunner& askSubject) {
    CCustomerMailOutcome outcome;
    if (keys.empty()) {
        ShowMessage("メールを送る顧客を選択してください。");
        return outcome;
    }
    if (!doc) {
        ShowMessage("送付対象者のメールアドレスが取得できませんでした。\n");
        return outcome;
    }
    std::vector<std::string> addresses;
    const int collected = CollectMailAddresses(*doc, keys, addresses);
    if (addresses.size() > kMaxMailRecipients) {
        ShowMessage(TooManyMailRecipientsMessage());
        return outcome;
    }
    if (collected == -1) {
        ShowMessage("送付対象者にメールアドレスがありません。\nメールを送れません。\n");
        return outcome;
    }
    if (collected == 0 &&
        !Yes("一部の送付対象者のメールアドレスがありませんが、このまま続けますか？\n"
             "※履歴に登録する場合は、全送付対象者の履歴に登録されます。"))
        return outcome;
    char question[128];
    std::snprintf(question, sizeof question, "%d件の顧客にメールを送ります。よろしいですか？",
                  static_cast<int>(addresses.size()));
    if (!Yes(question)) return outcome;

    const bool readOnly = IsReadOnly(doc);
    CMailSubjectRequest request;
    request.registerHistory = !readOnly;
    request.canChange = !readOnly;
    const std::optional<CMailSubject> subject = askSubject(request);
    if (!subject) return outcome;
    if (SendMail(mail, subject->subject, addresses) != 1 || !subject->registerHistory || readOnly) return outcome;

    outcome.at = CDateTime::Now();
    outcome.historyResult = doc->Database().AddNewRireki(keys, MailHistory(subject->subject, outcome.at), outcome.at);
    if (outcome.historyResult == -1) ShowMessage("顧客への履歴登録に失敗しました。\n");
    else if (outcome.historyResult == 10) ShowMessage("一部の顧客への履歴登録に失敗しました。\n");
    return outcome;
}

bool MailFromCard(CMilvaneDoc* doc, int32_t customerKey, const std::string& address, IMailInterface& mail,
                  const MailSubjectRunner& askSubject, IRirekiOwner& owner) {
    const bool readOnly = IsReadOnly(doc);
    CMailSubjectRequest request;
    request.registerHistory = !readOnly;
    request.canChange = !readOnly;
    const std::optional<CMailSubject> subject = askSubject(request);
    if (!subject) return false;
    if (SendMail(mail, subject->subject, {address}) != 1) return false;
    if (subject->registerHistory && !readOnly) {
        CRirekiData entry = MailHistory(subject->subject, CDateTime::Now());
        if (owner.AddEntry(customerKey, entry) < 1) ShowMessage("履歴が登録できませんでした。\n");
    }
    return true;
}

bool MailForDm(const CDmMailRequest& in, IMailInterface& mail, const MailSubjectRunner& askSubject) {
    if (in.selectedTitles < 1) {
        ShowMessage("送信するDMタイトルを選択してください。");
        return false;
    }
    if (in.selectedTitles > 1) {
        ShowMessage("送信するDMタイトルをひとつ選択してください。");
        return false;
    }
    if (!in.doc) {
        ShowMessage("データが取得できません。");
        return false;
    }
    if (in.targetKeys.empty()) {
        ShowMessage("送付対象顧客を選択してください。");
        return false;
    }
    if (!in.title) {
        ShowMessage("DMデータが取得できません。");
        return false;
    }
    const CDMListData& dm = *in.title;
    const bool readOnly = IsReadOnly(in.doc);
    const bool sent = dm.SendState == 1;
    const bool withHistory = dm.HistoryRegistered == 1;
    const std::vector<uint32_t>* chosen = &in.targetKeys;

    if (!sent) {
        if (!readOnly && !SameDay(dm.Date, CDateTime::Now()) &&
            !Yes("「送付日」が異なりますがメール送信しますか？\n\n※送付履歴を登録する場合\n"
                 "　DMタイトルの「送付日」が履歴の「日付」に登録されます。"))
            return false;
    } else if (!in.selectedTargetKeys.empty() && in.targetKeys.size() > 1) {
        const char* text =
            withHistory ? "送付済みですが、メール送信しますか？\n【はい】で選択している顧客を\n"
                          "【いいえ】で対象の全顧客をメール送信します。\n\n"
                          "※既に送付履歴が登録されています。\n　今回の送付履歴は登録されません。"
                        : "送付済みですが、メール送信しますか？\n【はい】で選択している顧客を\n"
                          "【いいえ】で対象の全顧客をメール送信します。\n\n"
                          "※今回の送付履歴を登録する場合には、\n"
                          "　DMタイトルの「送付日」が履歴の「日付」に登録されます。\n"
                          "　対象の全顧客の履歴に登録されます。";
        const Answer a = Ports::Prompt().AskYesNoCancel(text, MsgIcon::Question, Answer::Yes);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes) chosen = &in.selectedTargetKeys;
    } else {
        const char* text = withHistory ? "送付済みですが、メール送信しますか？\n\n"
                                         "※既に送付履歴が登録されています。\n　今回の送付履歴は登録されません。"
                                       : "送付済みですが、メール送信しますか？\n\n"
                                         "※今回の送付履歴を登録する場合には、\n"
                                         "　DMタイトルの「送付日」が履歴の「日付」に登録されます。\n";
        if (!Yes(text)) return false;
    }

    std::vector<std::string> addresses;
    const int collected = CollectMailAddresses(*in.doc, *chosen, addresses);
    if (addresses.size() > kMaxMailRecipients) {
        ShowMessage(TooManyMailRecipientsMessage());
        return false;
    }
    if (collected == -1) {
        ShowMessage("顧客のメールアドレスがありません");
        return false;
    }
    if (collected == 0) {
        const char* text = sent && withHistory
                               ? "一部の顧客にメールアドレスがありませんが、このまま続けますか？\n"
                               : "一部の顧客にメールアドレスがありませんが、このまま続けますか？\n"
                                 "※履歴に登録する場合は、全ての顧客の履歴に登録されます。";
        if (!Yes(text)) return false;
    }

    CMailSubjectRequest request;
    request.registerHistory = sent ? withHistory : true;
    request.canChange = !withHistory && !readOnly;
    const std::optional<CMailSubject> subject = askSubject(request);
    if (!subject) return false;
    if (SendMail(mail, subject->subject, addresses) != 1 || readOnly) return false;
    if (sent && (withHistory || !subject->registerHistory)) return false;
    if (!in.changeDmState) return false;
    return in.changeDmState(in.row, 1, subject->registerHistory ? 1 : 0, 1) == 1;
}

bool MailForDmScreen(CDMViewLogic& screen, CMilvaneDoc* doc, IMailInterface& mail,
                     const MailSubjectRunner& askSubject) {
    CDmMailRequest request;
    request.doc = doc;
    const std::vector<int>& rows = screen.SelectedRows();
    request.selectedTitles = static_cast<int>(rows.size());
    if (rows.size() == 1 && rows[0] < static_cast<int>(screen.Rows().size())) {
        request.row = rows[0];
        request.title = screen.Rows()[static_cast<std::size_t>(rows[0])];
    }
    const std::vector<const CDMMngData*> targets = screen.Targets();
    for (const CDMMngData* t : targets) request.targetKeys.push_back(static_cast<uint32_t>(t->CustomerID));
    for (int i : screen.SelectedTargets())
        if (i >= 0 && i < static_cast<int>(targets.size()))
            request.selectedTargetKeys.push_back(static_cast<uint32_t>(targets[static_cast<std::size_t>(i)]->CustomerID));
    request.changeDmState = [&screen](int row, int state, int history, int method) {
        return screen.ChangeDmState(row, state, history, method);
    };
    return MailForDm(request, mail, askSubject);
}
