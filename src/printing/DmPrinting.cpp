#include "printing/DmPrinting.h"

#include <string>
#include <vector>

#include "app/MilvaneDoc.h"
#include "common/DateTime.h"
#include "common/Ports.h"
#include "dm/DMData.h"
#include "dm/DMViewLogic.h"
#include "printing/DispPrev.h"
#include "printing/FormPrinting.h"

bool PrintDm(CMilvaneDoc* doc, CDMViewLogic& logic) {
    const std::vector<int>& rows = logic.SelectedRows();
    if (rows.empty()) {
        ShowMessage("印刷するDMタイトルを選択してください。");
        return false;
    }
    if (rows.size() > 1) {
        ShowMessage("印刷するDMタイトルをひとつ選択してください。");
        return false;
    }
    if (!doc) {
        ShowMessage("データが取得できません。");
        return false;
    }
    const std::vector<const CDMMngData*> targets = logic.Targets();
    if (targets.empty()) {
        ShowMessage("送付対象顧客を設定してください。");
        return false;
    }
    const int row = rows[0];
    const CDMListData* dm = row < static_cast<int>(logic.Rows().size()) ? logic.Rows()[row] : nullptr;
    if (!dm) {
        ShowMessage("DMデータが取得できません。");
        return false;
    }
    const bool writable = !IsReadOnly(doc);
    const bool sent = dm->SendState == 1;
    const bool registered = dm->HistoryRegistered != 0;
    std::vector<const CDMMngData*> printed = targets;
    if (!sent) {
        if (writable && dm->Date.IsValid() &&
            dm->Date.Format() != CDateTime::Now().Format() &&
            Ports::Prompt().AskYesNo("「送付日」が異なりますが印刷しますか？\n\n※送付履歴を登録する場合\n　DMタイトルの「送付日」が履歴の「日付」に登録されます。",
                                     MsgIcon::Question, Answer::Yes) != Answer::Yes)
            return false;
    } else if (!logic.SelectedTargets().empty() && targets.size() > 1) {
        const std::string text =
            registered ? "送付済みですが、印刷しますか？\n【はい】で選択している顧客を\n【いいえ】で対象の全顧客を印刷します。\n\n※既に送付履歴が登録されています。\n　今回の送付履歴は登録されません。"
                       : "送付済みですが、印刷しますか？\n【はい】で選択している顧客を\n【いいえ】で対象の全顧客を印刷します。\n\n※今回の送付履歴を登録する場合には、\n　DMタイトルの「送付日」が履歴の「日付」に登録されます。\n　対象の全顧客の履歴に登録されます。";
        Answer a = Ports::Prompt().AskYesNoCancel(text, MsgIcon::Question, Answer::Yes);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes) {
            printed.clear();
            for (int t : logic.SelectedTargets())
                if (t >= 0 && t < static_cast<int>(targets.size())) printed.push_back(targets[t]);
        }
    } else {
        const std::string text =
            registered ? "送付済みですが、印刷しますか？\n\n※既に送付履歴が登録されています。\n　今回の送付履歴は登録されません。"
                       : "送付済みですが、印刷しますか？\n\n※今回の送付履歴を登録する場合には、\n　DMタイトルの「送付日」が履歴の「日付」に登録されます。\n";
        if (Ports::Prompt().AskYesNo(text, MsgIcon::Question, Answer::Yes) != Answer::Yes) return false;
    }
    CMLVDispPrev prev(doc->InstallDir());
    if (prev.CallDispPrevDlg(1, !registered && writable, sent ? registered : true) != 1) return false;
    const CFormChoice choice = prev.Choice;
    std::vector<uint32_t> keys;
    for (const CDMMngData* t : printed) keys.push_back(static_cast<uint32_t>(t->CustomerID));
    int result = PrintFormsByKeys(*doc, keys, choice.layout, choice.second, choice.formType, choice.recordHistory);
    if (result != 0 && writable && (!sent || (!registered && choice.recordHistory)))
        logic.ChangeDmState(row, 1, choice.recordHistory ? 1 : 0, 0);
    return result != 0;
}
