#include "printing/FormPrinting.h"

#include <memory>
#include <unordered_map>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "history/RirekiData.h"
#include "history/RirekiListLogic.h"
#include "printing/DispPrev.h"

int PrintForms(CMilvaneDoc& doc, const std::vector<const CKokyaku*>& customers, int32_t layout, int32_t second,
               int32_t formType, bool recordHistory, const std::vector<CRirekiRefs>* histories) {
    if (layout < 1) {
        ShowMessage("レイアウト情報がありません。");
        return 0;
    }
    int result = 0;
    CMLVDispPrev prev(doc.InstallDir());
    prev.SetForm(layout, second, formType);
    prev.SetPictureDir(doc.PictureFolder());
    if (formType == 4) {
        std::vector<CRirekiList> owned;
        std::vector<CRirekiRefs> read;
        if (!histories) {
            WaitScope wait;
            owned.resize(customers.size());
            read.resize(customers.size());
            for (size_t i = 0; i < customers.size(); ++i) {
                doc.Database().GetRirekiForKokyaku(customers[i]->ID, owned[i]);
                for (const auto& r : owned[i]) read[i].push_back(r.get());
            }
            histories = &read;
        }
        result = prev.CallNPrtFormType2(customers, *histories);
    } else {
        result = prev.CallNPrtFormType1(customers);
    }
    if (recordHistory && result != 0 && !customers.empty()) {
        CKeyArray keys;
        for (const CKokyaku* k : customers) keys.push_back(static_cast<uint32_t>(k->ID));
        CRirekiData entry;
        entry.ActionTitle = "フォーム印刷";
        entry.Action = CBrnMainData(doc.InstallDir()).GetLayoutTitle(layout) + "を印刷。";
        CDateTime now = CDateTime::Now();
        entry.Date = HistoryDate(now);
        int added = doc.Database().AddNewRireki(keys, entry, now);
        if (added == -1) {
            ShowMessage("顧客への履歴登録に失敗しました。\n");
        } else if (added == 10) {
            ShowMessage("一部の顧客への履歴登録に失敗しました。\n");
        } else if (added == 1) {
            doc.KokyakuList.SetRirekiUpDate(keys, now);
        }
    }
    return result;
}

int PrintFormsByKeys(CMilvaneDoc& doc, const std::vector<uint32_t>& keys, int32_t layout, int32_t second,
                     int32_t formType, bool recordHistory) {
    CKokyakuList customers;
    {
        WaitScope wait;
        if (!doc.ReadListedCustomers(keys, customers)) return 0;
    }
    return PrintForms(doc, RecordPointers(customers), layout, second, formType, recordHistory);
}

bool PrintSelectedCustomers(CMilvaneDoc& doc, const std::vector<const CKokyaku*>& selected) {
    if (selected.empty()) {
        ShowMessage("印刷する顧客が選択されていません。");
        return false;
    }
    if (Ports::Prompt().AskYesNo("選択されている" + std::to_string(selected.size()) +
                                     "件の顧客を印刷します。よろしいですか？",
                                 MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    bool readOnly = IsReadOnly(&doc);
    CMLVDispPrev prev(doc.InstallDir());
    if (!prev.CallDispPrevDlg(0, !readOnly, true)) return false;
    bool record = prev.Choice.recordHistory;
    if (record && readOnly) {
        ShowMessage("データベースは読取専用です。\n履歴を残すことはできません。印刷のみ行ないます。");
        record = false;
    }
    int printed = PrintForms(doc, selected, prev.Choice.layout, prev.Choice.second, prev.Choice.formType, record);
    return record && printed != 0;
}

void PrintSelectedRireki(CMilvaneDoc& doc, const std::vector<CRirekiCustomerEntries>& selected, int selectedRows) {
    if (selectedRows <= 0 || selected.empty()) {
        ShowMessage("印刷する履歴が選択されていません。");
        return;
    }
    if (Ports::Prompt().AskYesNo("選択されている" + std::to_string(selectedRows) + "件の履歴を印刷します。よろしいですか？",
                                 MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return;
    bool readOnly = IsReadOnly(&doc);
    CMLVDispPrev prev(doc.InstallDir());
    if (prev.CallDispPrevDlg(0, !readOnly, true) != 1) return;
    bool record = prev.Choice.recordHistory;
    if (record && !readOnly) {
        ShowMessage("この印刷の履歴は、次回履歴一覧画面を表示したときから表示されます。", MsgIcon::Information);
    } else if (record) {
        ShowMessage("データベースは読取専用です。\n履歴を残すことはできません。印刷のみ行ないます。");
        record = false;
    }
    std::vector<const CKokyaku*> customers;
    std::vector<CRirekiRefs> histories;
    for (const CRirekiCustomerEntries& c : selected) {
        if (!c.customer) continue;
        customers.push_back(c.customer.get());
        CRirekiRefs& refs = histories.emplace_back();
        for (const auto& e : c.entries) refs.push_back(e.get());
    }
    const CFormChoice& choice = prev.Choice;
    PrintForms(doc, customers, choice.layout, choice.second, choice.formType, record,
               choice.formType == 4 ? &histories : nullptr);
}
