// The analysis sheet without widgets: which page is shown, running a page
// through the customer database into the document's analysis result, and
// the lists that pages 4, 5 and 7 keep.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/SorunaQuery.h"

class CMilvaneDoc;
class CMilvaneData;

inline constexpr int kSorunaPageCount = 7;
// Button label of each page (1..7 at index 0..6).
extern const char* const kSorunaPageLabels[kSorunaPageCount];
// Dialog number of each page.
inline constexpr int kSorunaPageDialogs[kSorunaPageCount] = {215, 216, 217, 218, 219, 220, 221};

// Resets the document's analysis result.
void ResetAnalysis(CMilvaneDoc& doc);

// Runs the statement of an analysis of kind (1, 2, 3 or 6) into hits
// (empty) as its run statement orders them, sorted in memory where that is
// the same order (SorunaUnorderedStatement). QuerySoruna's result.
int QuerySorunaHits(CMilvaneData& db, int kind, const CSorunaStatement& statement, CSorunaHitList& hits);

enum class SorunaOutcome {
    Failed,   // a message was shown; the sheet stays open
    Stored,   // the document holds the new result
    Started,  // the area program was started; the result is untouched
};

class CSorunaSheetLogic {
public:
    // lockedDM: opened from the DM screen on its DM title (page 4 only).
    // beforeReset is called before the document's result is deleted, for
    // screens that show it.
    CSorunaSheetLogic(CMilvaneDoc* doc, bool lockedDM, std::function<void()> beforeReset = {});

    int Page() const { return m_page; }
    bool Locked() const { return m_locked; }
    // Whether the button of page (1..7) can be pressed.
    bool PageEnabled(int page) const { return !m_locked || page == 4; }
    // False when the page cannot be chosen or is already shown.
    bool SelectPage(int page);
    // キャンセル: resets the result unless locked.
    void Cancel();

    SorunaOutcome RunPage1(const CSorunaPage1& page, SorunaFocus* focus = nullptr);
    SorunaOutcome RunPage2(const CSorunaPage2& page);
    SorunaOutcome RunPage3(const CSorunaPage3& page, const CDateTime& today);
    SorunaOutcome RunPage4(const CSorunaPage4& page);
    SorunaOutcome RunPage5(const std::vector<CAreaAddress>& addresses);
    // The phone-directory target: starts the area program on the first address.
    SorunaOutcome RunPage5Phone(const std::vector<CAreaAddress>& addresses);
    SorunaOutcome RunPage6(const CSorunaPage6& page, SorunaFocus* focus = nullptr);
    SorunaOutcome RunPage7(const std::vector<std::string>& names);

private:
    bool HasDocument() const;
    SorunaOutcome Query(int kind, const CSorunaBuild& statement);
    SorunaOutcome Extract(int kind, const CSorunaBuild& statement, int32_t dmKey = 0);
    void Reset();

    CMilvaneDoc* m_doc;
    bool m_locked;
    int m_page;
    std::function<void()> m_beforeReset;
};

// ---- page 4: the DM titles that were sent
struct CSentDMTitle {
    int32_t key = -1;
    std::string text;  // "%Y/%m/%d" + " " + title
};
inline constexpr const char* kNoSentDM = "※発送済みDMはありません。";
// The sent titles, newest first; false after "DM送付情報を取得できませんでした".
bool LoadSentDMTitles(CMilvaneDoc& doc, std::vector<CSentDMTitle>& titles);

// ---- page 5: the address list
// The text of a dictionary entry as listed: every part in "（" ... "）" removed.
std::string StripFullWidthParentheses(const std::string& text);

class CAreaAddressList {
public:
    // prefectureChosen: a prefecture is selected. The texts are stripped of
    // their parenthesised parts before comparing and adding. False after the message.
    bool Add(bool prefectureChosen, CAreaAddress address);
    void Remove(int index);
    void Clear() { m_rows.clear(); }
    const std::vector<CAreaAddress>& Rows() const { return m_rows; }

private:
    std::vector<CAreaAddress> m_rows;
};

// ---- page 7: the names searched
class CNameList {
public:
    enum class Added { Yes, Full, Empty, Duplicate };
    // After the message of a refusal; Empty and Duplicate put the focus on the name.
    Added Add(const std::string& name);
    // False after "リストから削除する名前を選択してください" when index is -1.
    bool Remove(int index);
    bool Full() const { return m_names.size() >= 5; }
    const std::vector<std::string>& Names() const { return m_names; }

private:
    std::vector<std::string> m_names;
};
