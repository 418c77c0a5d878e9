#include "analysis/SorunaSheet.h"

#include "db/MilvaneData.h"
#include "app/MilvaneDoc.h"
#include "common/Folders.h"
#include "common/Ports.h"

const char* const kSorunaPageLabels[kSorunaPageCount] = {
    "お得意様は誰？", "”旬”な顧客は誰？", "アプローチ候補は誰？", "DMヒット率分析",
    "ローラー作戦",   "履歴金額について", "取引先チェック",
};

void ResetAnalysis(CMilvaneDoc& doc) {
    doc.AnalysisKind = -1;
    doc.AnalysisDMKey = 0;
    doc.AnalysisKeys.clear();
    doc.AnalysisHits.clear();
}

int QuerySorunaHits(CMilvaneData& db, int kind, const CSorunaStatement& statement, CSorunaHitList& hits) {
    const std::optional<std::string> unordered = SorunaUnorderedStatement(statement.sql, kind);
    if (!unordered) return db.QuerySoruna(kind, SorunaRunStatement(statement.sql), hits, statement.maxHits);
    const int result = db.QuerySoruna(kind, *unordered, hits, 0);
    if (result == 1) SortSorunaHits(kind, hits, statement.maxHits);
    return result;
}

CSorunaSheetLogic::CSorunaSheetLogic(CMilvaneDoc* doc, bool lockedDM, std::function<void()> beforeReset)
    : m_doc(doc), m_locked(lockedDM), m_page(lockedDM ? 4 : 1), m_beforeReset(std::move(beforeReset)) {}

bool CSorunaSheetLogic::SelectPage(int page) {
    if (page < 1 || page > kSorunaPageCount || page == m_page || !PageEnabled(page)) return false;
    m_page = page;
    return true;
}

void CSorunaSheetLogic::Cancel() {
    if (!m_locked && m_doc) Reset();
}

void CSorunaSheetLogic::Reset() {
    if (m_beforeReset) m_beforeReset();
    ResetAnalysis(*m_doc);
}

bool CSorunaSheetLogic::HasDocument() const {
    if (m_doc) return true;
    ShowMessage("データベースに問い合わせができません");
    return false;
}

SorunaOutcome CSorunaSheetLogic::Query(int kind, const CSorunaBuild& statement) {
    if (!statement) return SorunaOutcome::Failed;
    Reset();
    int result;
    {
        WaitScope wait;
        result = QuerySorunaHits(m_doc->Database(), kind, *statement, m_doc->AnalysisHits);
    }
    if (result == -1) {
        ShowMessage("抽出に失敗しました");
        Reset();
        return SorunaOutcome::Failed;
    }
    m_doc->AnalysisKind = kind;
    return SorunaOutcome::Stored;
}

SorunaOutcome CSorunaSheetLogic::Extract(int kind, const CSorunaBuild& statement, int32_t dmKey) {
    if (!statement) return SorunaOutcome::Failed;
    Reset();
    int result;
    {
        WaitScope wait;
        result = m_doc->Database().ExtractKokyaku(statement->sql, m_doc->AnalysisKeys);
    }
    if (result == -1) {
        ShowMessage("抽出に失敗しました");
        Reset();
        return SorunaOutcome::Failed;
    }
    m_doc->AnalysisKind = kind;
    if (kind == 4) m_doc->AnalysisDMKey = dmKey;
    return SorunaOutcome::Stored;
}

SorunaOutcome CSorunaSheetLogic::RunPage1(const CSorunaPage1& page, SorunaFocus* focus) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Query(1, BuildSorunaPage1(page, focus));
}

SorunaOutcome CSorunaSheetLogic::RunPage2(const CSorunaPage2& page) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Query(2, BuildSorunaPage2(page));
}

SorunaOutcome CSorunaSheetLogic::RunPage3(const CSorunaPage3& page, const CDateTime& today) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Query(3, BuildSorunaPage3(page, today));
}

SorunaOutcome CSorunaSheetLogic::RunPage4(const CSorunaPage4& page) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Extract(4, BuildSorunaPage4(page), page.dmKey);
}

SorunaOutcome CSorunaSheetLogic::RunPage5(const std::vector<CAreaAddress>& addresses) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Extract(5, BuildSorunaPage5(addresses));
}

SorunaOutcome CSorunaSheetLogic::RunPage5Phone(const std::vector<CAreaAddress>& addresses) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    if (addresses.empty()) {
        BuildSorunaPage5(addresses);  // its message
        return SorunaOutcome::Failed;
    }
    if (addresses.size() > 1 &&
        Ports::Prompt().AskYesNo("電話帳から抽出できる住所は一件だけです。\nいちばん上の住所を検索します。よろしいですか？",
                                 MsgIcon::Information, Answer::Yes) != Answer::Yes)
        return SorunaOutcome::Failed;
    const std::string& zip = addresses.front().zip;
    int digits = 0;
    for (char c : zip)
        if (c >= '0' && c <= '9') ++digits;
    if (digits < 3) {
        ShowMessage("電話帳から住所を抽出するには、3桁以上の郵便番号が設定されている必要があります。\n"
                    "住所を選びなおしてください。\n");
        return SorunaOutcome::Failed;
    }
    if (!StartSibling(m_doc->InstallDir(), "exe/Zonemap.exe", " /Z:" + zip)) {
        ShowMessage("エリアマーケティングツールを起動できませんでした。\n");
        return SorunaOutcome::Failed;
    }
    return SorunaOutcome::Started;
}

SorunaOutcome CSorunaSheetLogic::RunPage6(const CSorunaPage6& page, SorunaFocus* focus) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Query(6, BuildSorunaPage6(page, focus));
}

SorunaOutcome CSorunaSheetLogic::RunPage7(const std::vector<std::string>& names) {
    if (!HasDocument()) return SorunaOutcome::Failed;
    return Extract(7, BuildSorunaPage7(names));
}

// ---------------------------------------------------------------- page 4

bool LoadSentDMTitles(CMilvaneDoc& doc, std::vector<CSentDMTitle>& titles) {
    CDMList all;
    if (doc.Database().GetAllDMTitle(all) != 1) {
        ShowMessage("DM送付情報を取得できませんでした");
        return false;
    }
    for (const auto& dm : all)
        if (dm->SendState == 1) titles.push_back({dm->ID, dm->Date.Format("%Y/%m/%d") + " " + dm->Title});
    return true;
}

// ---------------------------------------------------------------- page 5

std::string StripFullWidthParentheses(const std::string& text) {
    static const std::string open = "（", close = "）";
    std::string out = text;
    for (;;) {
        const auto from = out.find(open);
        if (from == std::string::npos) break;
        const auto to = out.find(close, from + open.size());
        if (to == std::string::npos) break;
        out.erase(from, to + close.size() - from);
    }
    return out;
}

bool CAreaAddressList::Add(bool prefectureChosen, CAreaAddress address) {
    if (!prefectureChosen) {
        ShowMessage("住所を選択してください");
        return false;
    }
    for (std::string* text : {&address.prefecture, &address.city, &address.town, &address.rest})
        *text = StripFullWidthParentheses(*text);
    for (const CAreaAddress& row : m_rows)
        if (row == address) {
            ShowMessage("既に同じ住所が追加されています。");
            return false;
        }
    if (m_rows.size() >= 10) {
        ShowMessage("追加できる住所は10個までです。");
        return false;
    }
    m_rows.push_back(std::move(address));
    return true;
}

void CAreaAddressList::Remove(int index) {
    if (index >= 0 && index < static_cast<int>(m_rows.size())) m_rows.erase(m_rows.begin() + index);
}

// ---------------------------------------------------------------- page 7

CNameList::Added CNameList::Add(const std::string& name) {
    if (Full()) {
        ShowMessage("すでに5個の名前が登録されています。\nこれ以上登録できません。");
        return Added::Full;
    }
    if (name.empty()) {
        ShowMessage("リストに追加する名前を入力してください");
        return Added::Empty;
    }
    for (const std::string& n : m_names)
        if (n == name) {
            ShowMessage("同じ名前がすでに登録されています");
            return Added::Duplicate;
        }
    m_names.push_back(name);
    return Added::Yes;
}

bool CNameList::Remove(int index) {
    if (index < 0 || index >= static_cast<int>(m_names.size())) {
        ShowMessage("リストから削除する名前を選択してください");
        return false;
    }
    m_names.erase(m_names.begin() + index);
    return true;
}
