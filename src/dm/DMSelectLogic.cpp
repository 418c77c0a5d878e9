#include "dm/DMSelectLogic.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/KokyakuRow.h"

namespace {
constexpr const char* kNoData = "データが取得できません\n";
constexpr const char* kDateDiffers =
    "「送付日」が異なりますが印刷しますか？\n\n※送付履歴を登録する場合\n　DMタイトルの「送付日」が履歴の「日付」に登録されます。";
}  // namespace

// ---- DM title selection

CDMTitleSelectLogic::CDMTitleSelectLogic(CMilvaneDoc* doc, int mode, CDMKeys customerKeys)
    : m_doc(doc), m_mode(mode), m_customers(std::move(customerKeys)) {}

void CDMTitleSelectLogic::Open() {
    m_titles.clear();
    keepHistory = true;
    if (m_doc) m_doc->Database().GetAllDMTitle(m_titles);
}

bool CDMTitleSelectLogic::HistoryEnabled() const { return !IsReadOnly(m_doc); }

bool CDMTitleSelectLogic::Ok(int row) {
    if (row < 0 || row >= static_cast<int>(m_titles.size())) {
        ShowMessage("DMタイトルを選択してください");
        return false;
    }
    const CDMListData& t = *m_titles[static_cast<std::size_t>(row)];
    if (m_mode == 1) {
        if (!m_doc) return true;
        m_doc->PreselectDMKey = t.ID;
        CDMMngList current;
        m_doc->Database().GetDMUserInfo(t.ID, current);
        std::set<uint32_t> present;
        for (auto& d : current) present.insert(static_cast<uint32_t>(d->CustomerID));
        CDMKeys keys;
        for (uint32_t k : m_customers)
            if (present.insert(k).second) keys.push_back(k);
        if (keys.empty()) return true;
        CDMKeys failed;
        int r = m_doc->Database().AddDMTarget(t.ID, keys, failed, nullptr, CDateTime::Now());
        if (r == -1) ShowMessage("すべての顧客を追加できませんでした。\n");
        else if (r == 0) ShowMessage("指定されたDMが見つかりませんでした。\n");
        else if (r == 10) ShowMessage("一部の顧客を追加できませんでした。\nDM送付管理画面で確認してください。\n");
        return true;
    }
    if (!m_doc) {
        ShowMessage(kNoData);
        return false;
    }
    if (t.ID <= 0) {
        ShowMessage("DMタイトルのデータが取得できません\n");
        return false;
    }
    if (!IsReadOnly(m_doc) && t.Date.DateOnly() != CDateTime::Now().DateOnly() &&
        Ports::Prompt().AskYesNo(kDateDiffers, MsgIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    CDMMngList targets;
    if (m_doc->Database().GetDMUserInfo(t.ID, targets) != 1) {
        ShowMessage(kNoData);
        return false;
    }
    resultKeys.clear();
    for (auto& d : targets) resultKeys.push_back(static_cast<uint32_t>(d->CustomerID));
    resultDMKey = t.ID;
    return true;
}

bool CDMTitleSelectLogic::RegisterNew(const std::function<bool(CDMTitleForm&)>& editTitle) {
    CDMTitleForm form = CDMTitleForm::ForNew(DM_MODE_COPY, CDateTime::Now());
    if (!editTitle(form)) return false;
    if (!m_doc) {
        ShowMessage(kNoData);
        return false;
    }
    if (m_customers.empty()) {
        ShowMessage("追加する顧客がありません\n");
        return false;
    }
    CDMKeys failed;
    auto rec = m_doc->Database().AddNewDMTitle(form.BuildDate(), form.title, form.content, form.manager,
                                               form.sendMethod, m_customers, failed);
    if (!rec) {
        ShowMessage("登録できませんでした\n");
        return false;
    }
    m_doc->PreselectDMKey = rec->ID;
    if (!failed.empty())
        ShowMessage(failed.size() >= m_customers.size()
                        ? "顧客の登録ができませんでした\n"
                        : "一部の顧客が登録できませんでした。\nDM送付管理画面で確認してください。\n");
    return true;
}

// ---- customer selection

CCustomerSelectLogic::CCustomerSelectLogic(CMilvaneDoc& doc, int mode)
    : keepHistory(mode == 2), m_doc(doc), m_mode(mode) {
    for (const auto& k : doc.KokyakuList) m_rows.push_back(k.get());
    m_ticked.assign(m_rows.size(), false);
}

void CCustomerSelectLogic::TickAll() { std::fill(m_ticked.begin(), m_ticked.end(), true); }

std::vector<int> CCustomerSelectLogic::ApplyExtraction() {
    std::set<uint32_t> keys(m_doc.ExtractKeys.begin(), m_doc.ExtractKeys.end());
    std::vector<int> rows;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (keys.count(static_cast<uint32_t>(m_rows[i]->ID))) {
            rows.push_back(static_cast<int>(i));
            m_ticked[i] = true;
        }
    if (m_doc.Extraction && rows.empty()) ShowMessage("抽出条件に該当する顧客がありませんでした。");
    return rows;
}

bool CCustomerSelectLogic::Ok() {
    targets.clear();
    records.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_ticked[i]) continue;
        const CKokyakuRow& k = *m_rows[i];
        if (m_mode == 1) {
            CDMMngData d;
            d.CustomerID = k.ID;
            d.CustomerCode = k.CustomerID();
            d.Name = k.Name();
            d.CompName = k.CompName();
            targets.push_back(std::move(d));
        } else {
            records.push_back(static_cast<uint32_t>(k.ID));
        }
    }
    if (targets.empty() && records.empty()) {
        ShowMessage("顧客が選択されていません。\n対象顧客にチェックをつけてください。\n");
        return false;
    }
    DiscardExtraction();
    return true;
}

void CCustomerSelectLogic::Cancel() { DiscardExtraction(); }

void CCustomerSelectLogic::DiscardExtraction() {
    m_doc.Extraction.reset();
    m_doc.ExtractKeys.clear();
    m_doc.ExtractActive = 0;
    m_doc.ExtractSaved = 0;
}

// ---- the customer screen's hand-over

bool CustomersToDm(CMilvaneDoc* doc, const CDMKeys& selected, const std::function<bool(const CDMKeys&)>& chooseTitle) {
    Answer a = Answer::No;
    if (!selected.empty()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d", static_cast<int>(selected.size()));
        a = Ports::Prompt().AskYesNoCancel(std::string("選択されている") + buf +
                                               "件の顧客をDM送付管理に追加しますか？\n\n「はい」で追加します。\n"
                                               "「いいえ」で選択を解除してDM送付管理画面に移動します。",
                                           MsgIcon::Question, Answer::Yes);
    }
    if (a == Answer::Cancel) return false;
    if (a == Answer::No) return true;
    if (IsReadOnly(doc)) {
        ShowMessage("データベースは読取専用です。\nDM送付管理に追加することはできません。\n");
        return false;
    }
    return chooseTitle(selected);
}
