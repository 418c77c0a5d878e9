#include "printing/FormGallery.h"

#include <unordered_set>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Archive.h"
#include "common/DateTime.h"
#include "common/Folders.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"
#include "printing/DispPrev.h"
#include "printing/FormPrinting.h"
#include "printing/UserForms.h"

std::vector<CGalleryEntry> GalleryEntries(const std::string& installDir, int tab) {
    std::vector<CGalleryEntry> out;
    if (tab == kUserFormTab) {
        CBrnMainData forms(installDir);
        for (const CUserFormEntry& e : ReadUserForms(installDir)) {
            CGalleryEntry g;
            g.layout = e.number;
            g.name = e.name;
            CFormLayout layout;
            if (forms.LoadLayout(e.number, layout)) {
                g.second = layout.second;
                g.customerCount = layout.takesCustomers ? 1 : 0;
                g.formType = layout.formType;
            }
            out.push_back(std::move(g));
        }
        return out;
    }
    if (tab < 0 || tab >= kUserFormTab) return out;
    for (const CFormLayout& f : BuiltInForms())
        if (f.group == kGalleryTabs[tab])
            out.push_back({f.number, f.second, f.title, f.takesCustomers ? 1 : 0, f.formType});
    return out;
}

bool StartFormProgram(const std::string& installDir, int32_t layout) {
    if (StartSibling(installDir, "exe/Frmprint", " /L:" + std::to_string(layout))) return true;
    ShowMessage(JoinPath(installDir, "exe/Frmprint") + "を起動できません", MsgIcon::Exclamation);
    return false;
}

void OpenGalleryForm(CMilvaneDoc* doc, const CGalleryEntry* entry, const CFormLaunchUi& ui) {
    if (!entry || entry->layout < 1) {
        ShowMessage("フォームを選択してください");
        return;
    }
    if (!doc) {
        ShowMessage("リストの情報を取得できません");
        return;
    }
    int choice = 0;
    if (entry->customerCount > 0) {
        choice = ui.chooseMethod ? ui.chooseMethod(1) : -1;
        if (choice < 0) return;
    }
    const bool writable = !IsReadOnly(doc);
    switch (choice) {
    case 0: StartFormProgram(doc->InstallDir(), entry->layout); break;
    case 1: {
        std::vector<uint32_t> customers;
        bool record = false;
        if (!ui.selectCustomers || !ui.selectCustomers(customers, record)) return;
        PrintFormsByKeys(*doc, customers, entry->layout, entry->second, entry->formType, record && writable);
        break;
    }
    case 2: {
        int32_t dmKey = 0;
        std::vector<uint32_t> targets;
        bool record = false;
        if (!ui.selectDm || !ui.selectDm(dmKey, targets, record)) return;
        if (targets.empty()) {
            ShowMessage("選択したDMタイトルに送付対象顧客がありません。\n「DM送付管理」画面で送付対象顧客を設定してください。");
            return;
        }
        record = record && writable;
        int printed = PrintFormsByKeys(*doc, targets, entry->layout, entry->second, entry->formType, record);
        if (printed != 0 && writable) {
            CDateTime now = CDateTime::Now();
            if (doc->Database().SetStatusDMTitle(dmKey, 1, record ? 1 : 0, 0, now) == 1 && record) {
                doc->KokyakuList.SetRirekiUpDate(targets, now);
            }
        }
        break;
    }
    default: break;
    }
}
