#include "dm/DMViewLogic.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "analysis/SorunaSheet.h"
#include "app/CommandIds.h"
#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Ports.h"
#include "customers/Kokyaku.h"

namespace {

constexpr const char* kNoData = "データが取得できません\n";
constexpr const char* kChooseTitle = "DM送付予定を選択してください";

constexpr const char* kUnsendWithHistory =
    "送付済みで履歴にも登録しています。\n未送付状態にすると、このDMについての履歴が削除されます。\n"
    "本当に未送付状態にしてもよろしいですか？";
constexpr const char* kUnsend = "送付済みですが、未送付状態にしますか？";

// The question before a title's state or fields change; null when none is asked.
const char* StateQuestion(int oldState, int newState, int oldHistory, int newHistory) {
    if (oldState != 1) return nullptr;
    if (newState == 0) return oldHistory == 1 ? kUnsendWithHistory : kUnsend;
    if (oldHistory == 1)
        return newHistory == 0 ? "送付対象顧客の送付履歴を削除します。\n本当によろしいですか？"
                               : "送付済みで履歴にも登録しています。\n送付対象顧客の送付履歴を変更します。\n"
                                 "本当によろしいですか？";
    return newHistory == 1 ? "送付対象顧客の履歴に、送付履歴を登録します。\n本当によろしいですか？"
                           : "送付済みですが、変更してもよろしいですか？";
}

bool Yes(const char* question, MsgIcon icon = MsgIcon::Question, Answer def = Answer::Yes) {
    return Ports::Prompt().AskYesNo(question, icon, def) == Answer::Yes;
}

}  // namespace

std::string DMSendMethodText(int sendMethod) { return sendMethod == 1 ? "メール送信" : "DM印刷"; }

double DMHitRate(int hits, int targets) {
    if (hits <= 0 || targets <= 0) return 0;
    return static_cast<double>(hits) / targets * 100.0;
}

std::string DMHitRateCaption(double rate) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "DMヒット率 : %.2f％", rate);
    return buf;
}

std::string DMCountText(int count) { return std::to_string(count) + "件"; }

void MarkHistoryChanged(CMilvaneDoc& doc, const std::vector<uint32_t>& customerKeys, const CDateTime& now) {
    doc.KokyakuList.SetRirekiUpDate(customerKeys, now);
}

CDMViewLogic::CDMViewLogic(CMilvaneDoc* doc, IDMScreen& screen) : m_doc(doc), m_screen(screen) {}

// ---- opening and closing

void CDMViewLogic::Open() {
    m_screen.SetFrameTitle(kDMScreenTitle);
    m_rows.clear();
    m_selected.clear();
    m_selectedTargets.clear();
    if (!m_doc) {
        ShowMessage(kNoData);
        m_screen.Redraw();
        return;
    }
    m_doc->DMTitleList.clear();
    m_doc->DMTargetList.clear();
    m_doc->Database().GetAllDMTitle(m_doc->DMTitleList);
    for (auto& t : m_doc->DMTitleList) m_rows.push_back(t.get());

    if (m_doc->AnalysisKind == 4) {
        m_showingHitRate = true;
        int row = RowOfKey(m_doc->AnalysisDMKey);
        if (row >= 0) m_selected = {row};
        LoadTargets();
        m_targetCount = static_cast<int>(m_doc->DMTargetList.size());
        m_hitCount = static_cast<int>(m_doc->AnalysisKeys.size());
    } else {
        int row = m_doc->PreselectDMKey ? RowOfKey(m_doc->PreselectDMKey) : -1;
        if (row >= 0) m_selected = {row};
        LoadTargets();
    }
    m_screen.Redraw();
}

void CDMViewLogic::Close() {
    m_rows.clear();
    m_selected.clear();
    m_selectedTargets.clear();
    m_showingHitRate = false;
    if (!m_doc) return;
    m_doc->DMTitleList.clear();
    m_doc->DMTargetList.clear();
    m_doc->PreselectDMKey = 0;
    ResetAnalysis(*m_doc);
}

// ---- state shown

std::vector<const CDMMngData*> CDMViewLogic::Targets() const {
    std::vector<const CDMMngData*> out;
    if (m_doc)
        for (auto& t : m_doc->DMTargetList) out.push_back(t.get());
    return out;
}

std::string CDMViewLogic::Caption() const {
    const CDMListData* t = Single();
    if (!t) return kDMTargetCaption;
    std::size_t n = m_doc ? m_doc->DMTargetList.size() : 0;
    return "『" + t->Date.Format("%Y/%m/%d") + " " + t->Title + "』" + "　送付対象顧客" + "　：　" +
           std::to_string(n) + "人";
}

bool CDMViewLogic::ReadOnly() const { return IsReadOnly(m_doc); }

bool CDMViewLogic::ButtonEnabled(int command) const {
    if (command == ID_DM_HIT_RATE) return m_doc && m_screen.CanAnalyseHitRate();
    if (!m_doc || ReadOnly()) return false;
    std::size_t n = m_selected.size();
    switch (command) {
    case ID_DM_ADD: return n == 0;
    case ID_DM_DELETE: return n >= 1;
    case ID_DM_MODIFY:
    case ID_DM_COPY:
    case ID_DM_TARGET_ADD:
    case ID_DM_TARGET_DELETE: return n == 1;
    default: return false;
    }
}

bool CDMViewLogic::CommandEnabled(int command) const {
    if (!m_doc || ReadOnly()) return false;
    std::size_t n = m_selected.size();
    switch (command) {
    case ID_DM_ADD: return true;
    case ID_DM_DELETE: return n >= 1;
    case ID_DM_MODIFY:
    case ID_DM_COPY:
    case ID_DM_TARGET_ADD:
    case ID_DM_TARGET_DELETE: return n == 1;
    default: return false;
    }
}

bool CDMViewLogic::IsHit(int32_t customerKey) const {
    if (!m_doc || !m_showingHitRate) return false;
    const auto& keys = m_doc->AnalysisKeys;
    return std::find(keys.begin(), keys.end(), static_cast<uint32_t>(customerKey)) != keys.end();
}

// ---- selection

void CDMViewLogic::SelectTitles(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [&](int r) { return r < 0 || r >= static_cast<int>(m_rows.size()); });
    if (rows == m_selected) return;
    m_selected = std::move(rows);
    LoadTargets();
    m_screen.Redraw();
}

void CDMViewLogic::SelectTargets(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_selectedTargets = std::move(rows);
}

void CDMViewLogic::LoadTargets() {
    m_selectedTargets.clear();
    if (!m_doc) return;
    m_doc->DMTargetList.clear();
    const CDMListData* t = Single();
    if (t && m_doc->Database().GetDMUserInfo(t->ID, m_doc->DMTargetList) != 1) {
        m_doc->DMTargetList.clear();
        ShowMessage("顧客のデータが取得できません\n");
    }
    if (m_showingHitRate && (!t || t->ID != m_doc->AnalysisDMKey)) StopHitRate();
}

// ---- commands

void CDMViewLogic::InsertNew(std::unique_ptr<CDMListData> rec) {
    CDMListData* p = rec.get();
    m_doc->DMTitleList.insert(m_doc->DMTitleList.begin(), std::move(rec));
    m_rows.insert(m_rows.begin(), p);
    m_selected = {0};
    LoadTargets();
    m_screen.Redraw();
}

void CDMViewLogic::Add() {
    if (!m_doc) return ShowMessage(kNoData);
    if (ReadOnly()) return;
    CDMTitleForm form = CDMTitleForm::ForNew(DM_MODE_ADD, CDateTime::Now());
    if (!m_screen.EditTitle(form)) return;
    CKeyArray failed;
    auto rec = m_doc->Database().AddNewDMTitle(form.BuildDate(), form.title, form.content, form.manager,
                                               form.sendMethod, {}, failed);
    if (!rec) return ShowMessage("登録できませんでした。\n");
    InsertNew(std::move(rec));
}

void CDMViewLogic::Copy() {
    if (m_selected.empty()) return ShowMessage(kChooseTitle);
    if (!m_doc) return ShowMessage(kNoData);
    if (ReadOnly()) return;
    CDMTitleForm form = CDMTitleForm::FromTitle(*m_rows[static_cast<std::size_t>(m_selected.front())],
                                                DM_MODE_COPY, CDateTime::Now());
    if (!m_screen.EditTitle(form)) return;
    CKeyArray keys = TargetKeys(), failed;
    auto rec = m_doc->Database().AddNewDMTitle(form.BuildDate(), form.title, form.content, form.manager,
                                               form.sendMethod, keys, failed);
    if (!failed.empty())
        ShowMessage(failed.size() >= keys.size() ? "顧客を登録できませんでした\n" : "一部の顧客を登録できませんでした\n");
    if (!rec) return ShowMessage("DMタイトルを登録できませんでした\n");
    InsertNew(std::move(rec));
}

void CDMViewLogic::Change() {
    if (m_selected.empty()) return ShowMessage(kChooseTitle);
    if (!m_doc) return ShowMessage(kNoData);
    int row = m_selected.front();
    CDMListData* t = m_rows[static_cast<std::size_t>(row)];
    if (ReadOnly()) {
        ShowMessage("データベースは読み取り専用です。\nDMタイトルを修正することはできません。\n参照のみを行ないます。");
        CDMTitleForm view = CDMTitleForm::FromTitle(*t, DM_MODE_VIEW);
        m_screen.EditTitle(view);
        return;
    }
    CDMTitleForm form = CDMTitleForm::FromTitle(*t, DM_MODE_MODIFY);
    if (!m_screen.EditTitle(form)) return;
    CDateTime date = form.BuildDate();
    bool sameFields = date == t->Date && form.title == t->Title && form.content == t->Content &&
                      form.manager == t->Manager && form.sendMethod == t->SendMethod;
    int newHistory = form.sendState == 0 ? 0 : form.historyRegistered;
    bool sameState = form.sendState == t->SendState && form.historyRegistered == t->HistoryRegistered;
    if (sameFields && sameState) return;
    if (const char* q = StateQuestion(t->SendState, form.sendState, t->HistoryRegistered, form.historyRegistered))
        if (!Yes(q)) return;
    if (!sameState) {
        if (ChangeDmState(row, form.sendState, newHistory, t->SendMethod) != 1) return;
    }
    if (sameFields) return;
    int r = m_doc->Database().ModifyDMTitle(t->ID, date, form.title, form.content, form.manager, form.sendMethod,
                                            CDateTime::Now());
    if (r == -1) return ShowMessage("更新できませんでした。\n");
    if (r != 1) return ShowMessage("更新するDMﾀｲﾄﾙの情報が見つかりませんでした。\n");
    t->Date = date;
    t->Title = form.title;
    t->Content = form.content;
    t->Manager = form.manager;
    t->SendMethod = form.sendMethod;
    if (t->SendState == 1 && t->HistoryRegistered == 1) MarkHistoryChanged(*m_doc, TargetKeys(), CDateTime::Now());
    m_screen.Redraw();
}

void CDMViewLogic::Delete() {
    if (m_selected.empty()) return ShowMessage(kChooseTitle);
    if (!m_doc) return ShowMessage(kNoData);
    if (ReadOnly()) return;
    const char* q = "削除してもよろしいですか？";
    if (m_selected.size() > 1) {
        q = "削除してもよろしいですか？\n送付済みで履歴にも登録している場合には\nそのDMについての履歴が顧客の履歴から削除されます。\n";
    } else {
        const CDMListData* t = m_rows[static_cast<std::size_t>(m_selected.front())];
        if (t->SendState == 1)
            q = t->HistoryRegistered == 1
                    ? "送付済みで履歴にも登録しています。\nDMタイトルを削除すると、このDMについての履歴が顧客の"
                      "履歴から削除されます。\n本当に削除してもよろしいですか？"
                    : "送付済みですが、削除してもよろしいですか？";
    }
    if (!Yes(q, MsgIcon::None, Answer::No)) return;
    CKeyArray keys, deleted;
    for (int r : m_selected) keys.push_back(static_cast<uint32_t>(m_rows[static_cast<std::size_t>(r)]->ID));
    int result;
    {
        WaitScope wait;
        result = m_doc->Database().DeleteDMTitle(keys, deleted);
    }
    if (result == 10) ShowMessage("一部削除できないDMタイトルがあります。\n");
    if (result == 20) ShowMessage("履歴の削除に失敗したDMタイトルがあります。\n");
    if (result == -1) return ShowMessage("削除できませんでした。\n");
    for (auto it = m_selected.rbegin(); it != m_selected.rend(); ++it) m_rows.erase(m_rows.begin() + *it);
    std::set<uint32_t> gone(deleted.begin(), deleted.end());
    std::erase_if(m_doc->DMTitleList, [&](const auto& t) { return gone.count(static_cast<uint32_t>(t->ID)) > 0; });
    m_selected.clear();
    LoadTargets();
    m_screen.Redraw();
}

void CDMViewLogic::ClickCheck(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || !m_doc || ReadOnly()) return;
    CDMListData* t = m_rows[static_cast<std::size_t>(row)];
    if (t->SendState != 1) return ShowMessage("済ﾁｪｯｸを付ける場合は、DMを送付してください。", MsgIcon::Information);
    if (!Yes(t->HistoryRegistered == 1 ? kUnsendWithHistory : kUnsend, MsgIcon::Question, Answer::No)) return;
    ChangeDmState(row, 0, 0, t->SendMethod);
}

int CDMViewLogic::ChangeDmState(int row, int sendState, int historyRegistered, int sendMethod) {
    if (!m_doc) {
        ShowMessage(kNoData);
        return -1;
    }
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_rows[static_cast<std::size_t>(row)]->ID <= 0) {
        ShowMessage("DMタイトルのデータが取得できません\n");
        return -1;
    }
    CDMListData* t = m_rows[static_cast<std::size_t>(row)];
    CDateTime now = CDateTime::Now();
    int r = m_doc->Database().SetStatusDMTitle(t->ID, sendState, historyRegistered, sendMethod, now);
    if (r == 1) {
        t->SendState = sendState;
        t->HistoryRegistered = historyRegistered;
        t->SendMethod = sendMethod;
        if (historyRegistered == 1) MarkHistoryChanged(*m_doc, TargetKeys(), now);
        m_screen.Redraw();
    } else if (r == -1) {
        ShowMessage("ﾃﾞｰﾀﾍﾞｰｽの変更ができませんでした");
    } else {
        ShowMessage("指定されたDMIDが見つかりませんでした");
    }
    return r;
}

void CDMViewLogic::AddTargets() {
    CDMListData* t = Single();
    if (!t) return ShowMessage("対象DMを選択してください");
    if (!m_doc) return ShowMessage(kNoData);
    if (ReadOnly()) return;
    if (t->SendState == 1) {
        const char* q = t->HistoryRegistered == 1
                            ? "送付済みで履歴にも登録しています。\n追加した顧客の履歴にも、履歴情報として自動登録されます。\n"
                              "追加してもよろしいですか？"
                            : "送付済みになっています。顧客を追加しますか？";
        if (!Yes(q)) return;
    }
    std::vector<CDMMngData> chosen;
    if (!m_screen.ChooseCustomers(chosen)) return;
    if (chosen.empty()) return ShowMessage("顧客が取得できません\n");
    std::set<int32_t> present;
    for (auto& d : m_doc->DMTargetList) present.insert(d->CustomerID);
    std::erase_if(chosen, [&](const CDMMngData& c) { return !present.insert(c.CustomerID).second; });
    if (!chosen.empty()) {
        CKeyArray keys, failed;
        for (auto& c : chosen) keys.push_back(static_cast<uint32_t>(c.CustomerID));
        CDateTime now = CDateTime::Now();
        int r = m_doc->Database().AddDMTarget(t->ID, keys, failed, &m_doc->DMTitleList, now);
        if (r == 0) return ShowMessage("指定されたDMが見つかりませんでした。\n");
        if (r == -1) return ShowMessage("すべての顧客を追加できませんでした。\n");
        if (r == 10) {
            ShowMessage("一部の顧客を追加できませんでした。\n");
            std::set<uint32_t> bad(failed.begin(), failed.end());
            std::erase_if(chosen, [&](const CDMMngData& c) { return bad.count(static_cast<uint32_t>(c.CustomerID)); });
            std::erase_if(keys, [&](uint32_t k) { return bad.count(k) > 0; });
        }
        if (t->HistoryRegistered == 1) MarkHistoryChanged(*m_doc, keys, now);
        for (auto& c : chosen) {
            auto rec = std::make_unique<CDMMngData>(c);
            rec->DMID = t->ID;
            m_doc->DMTargetList.push_back(std::move(rec));
        }
    }
    if (m_showingHitRate) StopHitRate();
    m_screen.Redraw();
}

void CDMViewLogic::RemoveTargets() {
    if (m_selected.empty()) return ShowMessage("DMタイトルを選択してください。");
    if (!m_doc) return ShowMessage(kNoData);
    if (ReadOnly()) return;
    CDMListData* t = DocCopy(m_rows[static_cast<std::size_t>(m_selected.front())]->ID);
    if (!t) return ShowMessage("選択したDMタイトルのデータがみつかりません。");
    if (m_selectedTargets.empty()) return ShowMessage("顧客を選択してください");
    const char* q = "削除してよろしいですか？";
    if (t->SendState == 1)
        q = t->HistoryRegistered == 1
                ? "送付済みで履歴にも登録しています。\n削除する顧客の履歴も自動的に削除されます。\n削除してもよろしいですか？"
                : "送付済みになっています。削除してよろしいですか？";
    if (!Yes(q, MsgIcon::Question, Answer::No)) return;
    CKeyArray keys;
    auto& list = m_doc->DMTargetList;
    for (int r : m_selectedTargets)
        if (r >= 0 && r < static_cast<int>(list.size()))
            keys.push_back(static_cast<uint32_t>(list[static_cast<std::size_t>(r)]->CustomerID));
    int result = m_doc->Database().DeleteDMTarget(t->ID, keys, CDateTime::Now());
    if (result == 1) {
        for (auto it = m_selectedTargets.rbegin(); it != m_selectedTargets.rend(); ++it)
            if (*it >= 0 && *it < static_cast<int>(list.size())) list.erase(list.begin() + *it);
        m_selectedTargets.clear();
        if (m_showingHitRate) StopHitRate();
    } else if (result == -1) {
        ShowMessage("削除できませんでした。\n");
    } else if (result == 0) {
        ShowMessage("削除する顧客の情報が見つかりませんでした。\n");
    } else {
        ShowMessage("指定された顧客は一部削除できませんでした。\n");
    }
    m_screen.Redraw();
}

void CDMViewLogic::HitRateAnalysis() {
    if (!m_doc) return ShowMessage(kNoData);
    if (m_selected.empty()) return ShowMessage("DMヒット率を調べるDMタイトルをひとつ選択してください");
    if (m_selected.size() > 1)
        return ShowMessage("DMヒット率は一度にひとつのDMタイトルに対してのみ調べられます。\nDMタイトルをひとつだけ選択してください");
    const CDMListData* t = Single();
    if (t->SendState != 1)
        return ShowMessage("DMヒット率は送付済みのDMタイトルに対してのみ調べられます。\n送付済みのDMタイトルを選択してください");
    if (!m_screen.CanAnalyseHitRate()) return;
    m_doc->AnalysisDMKey = t->ID;
    if (!m_screen.AnalyseHitRate()) return;
    m_showingHitRate = true;
    int row = RowOfKey(m_doc->AnalysisDMKey);
    m_selected.clear();
    if (row >= 0) m_selected = {row};
    LoadTargets();
    m_targetCount = static_cast<int>(m_doc->DMTargetList.size());
    m_hitCount = static_cast<int>(m_doc->AnalysisKeys.size());
    m_screen.Redraw();
}

// ---- helpers

CDMListData* CDMViewLogic::Single() const {
    return m_selected.size() == 1 ? m_rows[static_cast<std::size_t>(m_selected.front())] : nullptr;
}

CDMListData* CDMViewLogic::DocCopy(int32_t key) const {
    if (!m_doc) return nullptr;
    for (auto& t : m_doc->DMTitleList)
        if (t->ID == key) return t.get();
    return nullptr;
}

int CDMViewLogic::RowOfKey(int32_t key) const {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i]->ID == key) return static_cast<int>(i);
    return -1;
}

void CDMViewLogic::StopHitRate() {
    m_showingHitRate = false;
    m_hitCount = m_targetCount = 0;
    if (m_doc) ResetAnalysis(*m_doc);
}

std::vector<uint32_t> CDMViewLogic::TargetKeys() const {
    std::vector<uint32_t> keys;
    if (m_doc)
        for (auto& d : m_doc->DMTargetList) keys.push_back(static_cast<uint32_t>(d->CustomerID));
    return keys;
}
