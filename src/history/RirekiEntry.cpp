#include "history/RirekiEntry.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/KokyakuEntry.h"
#include "history/RirekiNavigator.h"
#include "pictures/Pictures.h"

namespace {

// A number typed into an edit: surrounding blanks allowed, nothing else.
bool ParseDouble(const std::string& text, double& out) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    if (!*begin) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0';
}

bool ParseInt(const std::string& text, int& out) {
    double d = 0;
    if (text.find_first_of(".eExX") != std::string::npos || !ParseDouble(text, d)) return false;
    if (d < -2147483648.0 || d > 2147483647.0) return false;
    out = static_cast<int>(d);
    return true;
}

bool TextFits(const std::string& text, int limit) {
    if (auto ch = FirstNonSjisChar(text)) {
        ShowMessage(NonSjisMessage(*ch));
        return false;
    }
    if (SjisLength(text) > static_cast<std::size_t>(limit)) {
        ShowMessage(LimitMessage(limit));
        return false;
    }
    return true;
}

std::vector<std::string> Counting(int first, int last, bool twoDigits) {
    std::vector<std::string> out;
    for (int n = first; n <= last; ++n) {
        std::string s = std::to_string(n);
        if (twoDigits && s.size() < 2) s.insert(0, "0");
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------- date lists

const std::vector<std::string>& RirekiHourTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> v;
        for (int i = 0; i < 24; ++i) v.push_back(std::to_string((i + 8) % 24));
        return v;
    }();
    return texts;
}

const std::vector<std::string>& RirekiMinuteTexts() {
    static const std::vector<std::string> texts = Counting(0, 59, true);
    return texts;
}

const std::vector<std::string>& RirekiMonthTexts() {
    static const std::vector<std::string> texts = Counting(1, 12, false);
    return texts;
}

int HourToIndex(int hour) { return hour >= 8 ? hour - 8 : hour + 16; }

int HourFromIndex(int index) {
    if (index < 0) return 0;
    int h = index + 8;
    return h >= 24 ? h - 24 : h;
}

std::vector<std::string> RirekiDayTexts(const std::string& yearText, int monthIndex) {
    int year = 0;
    if (!ParseInt(yearText, year)) year = 0;
    return Counting(1, DaysInMonth(year, monthIndex + 1), false);
}

int DayIndexAfterRefill(int days, int previousIndex, bool atStart) {
    if (atStart) return std::min(previousIndex, days - 1);
    return previousIndex < days ? previousIndex : -1;
}

// ---------------------------------------------------------------- fields

CRirekiFields FieldsFromRecord(const CRirekiData& r) {
    CRirekiFields f;
    f.tantou = r.TantouName;
    f.title = r.ActionTitle;
    f.keyword = r.Keyword;
    f.action = r.Action;
    f.money = FormatAmount(r.Money);
    f.picture = r.Picture;
    if (r.Date.IsValid()) {
        f.year = std::to_string(r.Date.Year());
        f.month = r.Date.Month() - 1;
        f.day = r.Date.Day() - 1;
        f.hour = HourToIndex(r.Date.Hour());
        f.minute = r.Date.Minute();
    } else {
        f.year.clear();
        f.month = f.day = f.hour = f.minute = -1;
    }
    return f;
}

CRirekiFields BlankFields(const CDateTime& at) {
    CRirekiData r;
    r.Date = at;
    return FieldsFromRecord(r);
}

std::string NumberRangeMessage(const char* low, const char* high) {
    return std::string(low) + " から " + high + " までの数値を入力してください。";
}

int ValidateFields(const CRirekiFields& f, CRirekiData& r) {
    using namespace RirekiCtl;
    if (!TextFits(f.tantou, kRirekiTantouLimit)) return Tantou;
    if (!TextFits(f.title, kRirekiActionTitleLimit)) return Title;
    if (!TextFits(f.keyword, kRirekiKeywordLimit)) return Keyword;
    if (!TextFits(f.action, kRirekiActionLimit)) return Action;
    double money = 0;
    if (!ParseDouble(f.money, money)) {
        ShowMessage(kNumberMessage);
        return Money;
    }
    if (money < -100000000.0 || money > 1000000000000.0) {
        ShowMessage(NumberRangeMessage("-100000000", "1000000000000"));
        return Money;
    }
    int year = 0;
    if (!ParseInt(f.year, year)) {
        ShowMessage("整数を入力してください。");
        return Year;
    }
    if (year < 100 || year > 9999) {
        ShowMessage("100 から 9999 までの整数を入力してください。");
        return Year;
    }
    const CDateTime date = CDateTime::FromParts(year, f.month + 1, f.day + 1, HourFromIndex(f.hour),
                                                f.minute < 0 ? 0 : f.minute);
    if (!date.IsValid()) {
        ShowMessage(kRirekiBadDate);
        return Day;
    }
    if (auto dot = f.money.find('.'); dot != std::string::npos) {
        std::string m = f.money;
        while (!m.empty() && m.back() == ' ') m.pop_back();
        while (!m.empty() && m.back() == '0') m.pop_back();
        if (m.size() - dot - 1 > 2) {
            ShowMessage(kRirekiTwoDecimals);
            return Money;
        }
    }
    r.TantouName = f.tantou;
    r.ActionTitle = f.title;
    r.Keyword = f.keyword;
    r.Action = f.action;
    r.Money = money;
    r.Picture = f.picture;
    r.Date = date;
    return 0;
}

bool FieldsDiffer(const CRirekiData& a, const CRirekiData& b) {
    if (a.TantouName != b.TantouName || a.ActionTitle != b.ActionTitle || a.Keyword != b.Keyword ||
        a.Action != b.Action || a.Picture != b.Picture || a.Money != b.Money)
        return true;
    if (a.Date.IsValid() != b.Date.IsValid()) return true;
    if (!a.Date.IsValid()) return false;
    return a.Date.Year() != b.Date.Year() || a.Date.Month() != b.Date.Month() || a.Date.Day() != b.Date.Day() ||
           a.Date.Hour() != b.Date.Hour() || a.Date.Minute() != b.Date.Minute();
}

// ---------------------------------------------------------------- entry dialog

namespace {
constexpr const char* kAskAdd = "履歴を追加します。よろしいですか？";
constexpr const char* kAskModify = "履歴を修正します。よろしいですか？";
constexpr const char* kModifyFailed = "履歴が修正できませんでした。\n";

bool AskYes(const char* text, MsgIcon icon = MsgIcon::Information) {
    return Ports::Prompt().AskYesNo(text, icon, Answer::Yes) == Answer::Yes;
}
}  // namespace

CRirekiEntryLogic::CRirekiEntryLogic(HistoryDialogMode mode, IRirekiOwner* owner, int32_t customerKey,
                                     const CRirekiData* record, bool hasPrevious, bool hasNext)
    : m_mode(mode),
      m_owner(owner),
      m_customerKey(customerKey),
      m_hasPrevious(hasPrevious),
      m_hasNext(hasNext),
      m_openedAt(HistoryDate(CDateTime::Now())) {
    if (record && mode != HistoryDialogMode::Add && mode != HistoryDialogMode::BulkAdd) m_working = *record;
    if (mode == HistoryDialogMode::Copy) {
        m_working.Date = m_openedAt;
        m_working.ID = -1;
        if (record) m_customerKey = record->CustomerID;
    }
    if (mode == HistoryDialogMode::Add || mode == HistoryDialogMode::BulkAdd) m_working.Date = m_openedAt;
}

void CRirekiEntryLogic::SetOpenedAt(const CDateTime& at) {
    m_openedAt = HistoryDate(at);
    if (m_mode == HistoryDialogMode::Add || m_mode == HistoryDialogMode::BulkAdd ||
        m_mode == HistoryDialogMode::Copy)
        m_working.Date = m_openedAt;
    if (m_view) Show(m_working);
}

void CRirekiEntryLogic::Attach(IRirekiEntryView* view) {
    m_view = view;
    Show(m_working);
}

std::string CRirekiEntryLogic::Title() const {
    switch (m_mode) {
    case HistoryDialogMode::Modify: return "履歴の修正";
    case HistoryDialogMode::View: return "履歴の参照(修正することはできません)";
    case HistoryDialogMode::BulkAdd: return "履歴を一括追加";
    default: return "履歴を追加";
    }
}

void CRirekiEntryLogic::Show(const CRirekiData& r) {
    if (m_view) m_view->WriteFields(FieldsFromRecord(r));
}

bool CRirekiEntryLogic::Validate(CRirekiData& r) {
    const int failed = ValidateFields(m_view->ReadFields(), r);
    if (failed) m_view->FocusControl(failed);
    return failed == 0;
}

CRirekiData CRirekiEntryLogic::Baseline() const {
    if (m_mode == HistoryDialogMode::Add) {
        CRirekiData blank;
        blank.Date = m_openedAt;
        return blank;
    }
    return m_working;
}

int CRirekiEntryLogic::OnOk() {
    switch (m_mode) {
    case HistoryDialogMode::Add:
    case HistoryDialogMode::Copy: {
        if (!FromCard()) return kRirekiStay;
        CRirekiData r = m_working;
        if (!Validate(r) || !AskYes(kAskAdd)) return kRirekiStay;
        r.CustomerID = m_customerKey;
        r.ID = -1;
        if (m_owner->AddEntry(m_customerKey, r) < 1) {
            ShowMessage("履歴が登録できませんでした。\n");
            return kRirekiStay;
        }
        m_mode = HistoryDialogMode::Add;  // the next entry starts empty
        m_openedAt = HistoryDate(CDateTime::Now());
        m_working = CRirekiData();
        m_working.Date = m_openedAt;
        Show(m_working);
        return kRirekiStay;
    }
    case HistoryDialogMode::Modify: {
        if (!FromCard()) return kRirekiStay;
        CRirekiData r = m_working;
        if (!Validate(r) || !AskYes(kAskModify)) return kRirekiStay;
        if (m_owner->ModifyEntry(r.ID, r) != 1) {
            ShowMessage(kModifyFailed);
            return kRirekiStay;
        }
        m_working = r;
        bool prev = false, next = false;
        if (const CRirekiData* located = m_owner->LocateEntry(r.ID, prev, next)) {
            m_working = *located;
            m_hasPrevious = prev;
            m_hasNext = next;
        }
        Show(m_working);
        return kRirekiStay;
    }
    case HistoryDialogMode::BulkAdd: {
        CRirekiData r = m_working;
        if (!Validate(r) || !AskYes("履歴を一括登録します。よろしいですか？")) return kRirekiStay;
        m_working = r;
        return kRirekiEndBulk;
    }
    case HistoryDialogMode::View: break;
    }
    return kRirekiStay;
}

int CRirekiEntryLogic::OnClose() {
    switch (m_mode) {
    case HistoryDialogMode::View:
    case HistoryDialogMode::BulkAdd: return kRirekiEndCancel;
    case HistoryDialogMode::Modify: {
        CRirekiData r = m_working;
        if (!Validate(r)) return kRirekiStay;
        if (!FieldsDiffer(r, m_working)) return kRirekiEndStored;
        if (!AskYes("履歴を修正しますか？\n【はい】で修正してダイアログを閉じます。\n【いいえ】で修正せずにダイアログを閉じます。",
                    MsgIcon::Question))
            return kRirekiEndCancel;
        if (!FromCard()) return kRirekiEndCancel;
        if (m_owner->ModifyEntry(r.ID, r) != 1) {
            ShowMessage("履歴が更新できませんでした。\n");
            return kRirekiStay;
        }
        m_working = r;
        return kRirekiEndStored;
    }
    case HistoryDialogMode::Add:
    case HistoryDialogMode::Copy: {
        CRirekiData r = m_working;
        if (!Validate(r)) return kRirekiStay;
        if (!FieldsDiffer(r, Baseline())) return kRirekiEndStored;
        if (!AskYes("履歴を追加しますか？\n【はい】で追加してダイアログを閉じます。\n【いいえ】で追加せずにダイアログを閉じます。",
                    MsgIcon::Question))
            return kRirekiEndCancel;
        if (!FromCard()) return kRirekiEndCancel;
        r.CustomerID = m_customerKey;
        r.ID = -1;
        if (m_owner->AddEntry(m_customerKey, r) < 1) ShowMessage("履歴が追加できませんでした。\n");
        return kRirekiEndStored;
    }
    }
    return kRirekiStay;
}

void CRirekiEntryLogic::Move(bool next) {
    if (!NavigationVisible()) return;
    IRirekiNavigator* nav = m_owner ? static_cast<IRirekiNavigator*>(m_owner) : m_navigator;
    if (!nav) return;
    auto fetch = [&](bool& hasMore) { return next ? nav->NextEntry(hasMore) : nav->PreviousEntry(hasMore); };
    auto take = [&](const CRirekiData& r, bool hasMore) {
        m_working = r;
        if (next) {
            m_hasNext = hasMore;
            m_hasPrevious = true;
        } else {
            m_hasPrevious = hasMore;
            m_hasNext = true;
        }
        Show(m_working);
    };

    if (m_mode == HistoryDialogMode::Modify && m_owner) {
        CRirekiData r = m_working;
        if (!Validate(r)) return;
        if (FieldsDiffer(r, m_working) && AskYes(kAskModify)) {
            bool hasMore = false;
            const CRirekiData* neighbour = fetch(hasMore);
            const int32_t neighbourKey = neighbour ? neighbour->ID : 0;
            if (m_owner->ModifyEntry(r.ID, r) != 1) {
                ShowMessage(kModifyFailed);
                return;
            }
            m_working = r;
            if (!neighbour) {
                Show(m_working);
                return;
            }
            bool prev = false, nxt = false;
            if (const CRirekiData* located = m_owner->LocateEntry(neighbourKey, prev, nxt)) {
                m_working = *located;
                m_hasPrevious = prev;
                m_hasNext = nxt;
            }
            Show(m_working);
            return;
        }
    }
    bool hasMore = false;
    if (const CRirekiData* neighbour = fetch(hasMore)) take(*neighbour, hasMore);
}

void CRirekiEntryLogic::OnPickPicture() {
    if (ReadOnly() || !m_view) return;
    const std::string path = ChoosePictureFile();
    if (path.empty()) return;
    CRirekiFields f = m_view->ReadFields();
    f.picture = path;
    m_view->WriteFields(f);
}

void CRirekiEntryLogic::OnRemovePicture() {
    if (ReadOnly() || !m_view || !AskRemovePicture()) return;
    CRirekiFields f = m_view->ReadFields();
    f.picture.clear();
    m_view->WriteFields(f);
}

// ---------------------------------------------------------------- view-only dialog

CRirekiViewTexts RirekiViewTexts(const CRirekiData* r) {
    CRirekiViewTexts t;
    if (!r) return t;
    if (r->Date.IsValid()) {
        t.year = std::to_string(r->Date.Year());
        t.month = std::to_string(r->Date.Month());
        t.day = std::to_string(r->Date.Day());
        t.hour = std::to_string(r->Date.Hour());
        t.minute = std::to_string(r->Date.Minute());
    }
    t.tantou = r->TantouName;
    t.title = r->ActionTitle;
    t.keyword = r->Keyword;
    t.action = r->Action;
    t.money = FormatAmount(r->Money);
    t.picture = r->Picture;
    return t;
}

CRirekiViewLogic::CRirekiViewLogic(IRirekiNavigator* navigator, const CRirekiData* record, bool hasPrevious,
                                   bool hasNext)
    : m_navigator(navigator), m_hasRecord(record != nullptr), m_hasPrevious(hasPrevious), m_hasNext(hasNext) {
    if (record) m_record = *record;
}

bool CRirekiViewLogic::Move(bool next) {
    if (!m_navigator) return false;
    bool hasMore = false;
    const CRirekiData* r = next ? m_navigator->NextEntry(hasMore) : m_navigator->PreviousEntry(hasMore);
    if (!r) return false;
    m_record = *r;
    m_hasRecord = true;
    if (next) {
        m_hasNext = hasMore;
        m_hasPrevious = true;
    } else {
        m_hasPrevious = hasMore;
        m_hasNext = true;
    }
    return true;
}
