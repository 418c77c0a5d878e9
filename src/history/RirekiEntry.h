// The history entry dialog and the view-only history dialog without widgets:
// the date lists, the fields as the controls hold them, the checks before a
// store, the comparison used when closing, and the flow of the buttons of the
// five modes. The dialogs read and write their controls as CRirekiFields and
// forward their buttons here; the records are stored by the owner
// (IRirekiOwner).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "history/RirekiData.h"

class IRirekiNavigator;
class IRirekiOwner;

enum class HistoryDialogMode { Add = 0, Modify = 1, View = 2, BulkAdd = 3, Copy = 4 };

// Control ids of the entry dialog.
namespace RirekiCtl {
inline constexpr int Year = 1053, Month = 1054, Day = 1055, Hour = 1056, Minute = 1057;
inline constexpr int Tantou = 1049, Title = 1046, Keyword = 1048, Action = 1047, Money = 1052;
inline constexpr int PictureAdd = 1050, PictureRemove = 1058, PictureName = 1193, Preview = 1051;
inline constexpr int Ok = 1, Cancel = 2, Previous = 1356, Next = 1357, Close = 1389;
}  // namespace RirekiCtl

// Results with which the entry dialog ends.
inline constexpr int kRirekiEndStored = 1389;  // closed after storing, or nothing to store
inline constexpr int kRirekiEndCancel = 2;     // closed without storing
inline constexpr int kRirekiEndBulk = 1;       // bulk add confirmed
inline constexpr int kRirekiStay = 0;          // the dialog stays open

// ---------------------------------------------------------------- date lists

// "8" .. "23", "0" .. "7".
const std::vector<std::string>& RirekiHourTexts();
// "00" .. "59".
const std::vector<std::string>& RirekiMinuteTexts();
// "1" .. "12".
const std::vector<std::string>& RirekiMonthTexts();
int HourToIndex(int hour);
// index + 8, wrapping at 24; no selection (-1) is 0 o'clock.
int HourFromIndex(int index);
// "1" up to the number of days of the month (monthIndex 0 = January); the
// year is the year edit's text read as a number.
std::vector<std::string> RirekiDayTexts(const std::string& yearText, int monthIndex);
// The day index after refilling a list of `days` entries: at start the index
// is clipped to the last day; on reopening it stays only while it exists.
int DayIndexAfterRefill(int days, int previousIndex, bool atStart);

// ---------------------------------------------------------------- fields

// The controls' values. Indexes are -1 when nothing is chosen.
struct CRirekiFields {
    std::string tantou, title, keyword, action;
    std::string money = "0";
    std::string picture;  // stored name or a picked full path
    std::string year;
    int month = 0;   // 0 = January
    int day = 0;     // 0 = the 1st
    int hour = 0;    // index into RirekiHourTexts()
    int minute = 0;
    bool operator==(const CRirekiFields&) const = default;
};

CRirekiFields FieldsFromRecord(const CRirekiData& r);
// An empty entry dated `at`.
CRirekiFields BlankFields(const CDateTime& at);

inline constexpr const char* kRirekiBadDate = "日付の設定値が正しくありません。\n正しい日付を入力してください。\n";
inline constexpr const char* kRirekiTwoDecimals = "小数点以下は二桁までです。";
inline constexpr const char* kNumberMessage = "数値を入力してください。";
std::string NumberRangeMessage(const char* low, const char* high);

// The checks before a store, in order: the text limits, the amount and the
// year as numbers in range, the date, the decimals. The first failure shows
// its message and returns the id of the control to focus; 0 when the fields
// were copied into r (its key, customer and picture stay).
int ValidateFields(const CRirekiFields& f, CRirekiData& r);
// Whether the fields differ from the record: texts by bytes, the amount, and
// year, month, day, hour and minute.
bool FieldsDiffer(const CRirekiData& fields, const CRirekiData& record);

// ---------------------------------------------------------------- entry dialog

class IRirekiEntryView {
public:
    virtual ~IRirekiEntryView() = default;
    virtual CRirekiFields ReadFields() = 0;
    // Shows the fields and refreshes the picture preview.
    virtual void WriteFields(const CRirekiFields& f) = 0;
    virtual void FocusControl(int id) = 0;
};

class CRirekiEntryLogic {
public:
    // record: the entry to change or show, or to copy (its Date is set to
    // now here); none for add and bulk add. owner: the card that stores and
    // walks entries (may be null). For copy, customerKey is the record's customer.
    CRirekiEntryLogic(HistoryDialogMode mode, IRirekiOwner* owner, int32_t customerKey,
                      const CRirekiData* record, bool hasPrevious, bool hasNext);
    // View mode opened from the history list: walks its entries instead of the card's.
    void SetNavigator(IRirekiNavigator* navigator) { m_navigator = navigator; }
    void SetOpenedAt(const CDateTime& at);  // seconds are dropped

    void Attach(IRirekiEntryView* view);  // and shows the fields

    HistoryDialogMode Mode() const { return m_mode; }
    std::string Title() const;
    bool ReadOnly() const { return m_mode == HistoryDialogMode::View; }
    bool OkVisible() const { return m_mode != HistoryDialogMode::View; }
    std::string OkText() const { return m_mode == HistoryDialogMode::Modify ? "修正" : "追加"; }
    std::string CloseText() const { return m_mode == HistoryDialogMode::BulkAdd ? "ｷｬﾝｾﾙ" : "閉じる"; }
    bool NavigationVisible() const { return m_mode == HistoryDialogMode::Modify || m_mode == HistoryDialogMode::View; }
    bool PreviousEnabled() const { return NavigationVisible() && m_hasPrevious; }
    bool NextEnabled() const { return NavigationVisible() && m_hasNext; }
    bool PictureRemoveEnabled(const std::string& picture) const { return !ReadOnly() && !picture.empty(); }

    // Each returns kRirekiStay or the result the dialog ends with.
    int OnOk();
    int OnClose();
    void OnPrevious() { Move(false); }
    void OnNext() { Move(true); }
    // "登録...": the chosen path becomes the picture. "削除": asks, then empties it.
    void OnPickPicture();
    void OnRemovePicture();

    // The working record (for bulk add: the record to add once the dialog ended with 1).
    const CRirekiData& Working() const { return m_working; }
    const CDateTime& OpenedAt() const { return m_openedAt; }

private:
    bool FromCard() const { return m_owner != nullptr; }
    bool Validate(CRirekiData& r);
    CRirekiData Baseline() const;
    void Show(const CRirekiData& r);
    void Move(bool next);

    HistoryDialogMode m_mode;
    IRirekiOwner* m_owner;
    IRirekiNavigator* m_navigator = nullptr;
    int32_t m_customerKey;
    bool m_hasPrevious;
    bool m_hasNext;
    CRirekiData m_working;
    CDateTime m_openedAt;
    IRirekiEntryView* m_view = nullptr;
};

// ---------------------------------------------------------------- view-only dialog

// The texts of the view-only dialog; all empty without a record.
struct CRirekiViewTexts {
    std::string year, month, day, hour, minute, tantou, title, keyword, action, money, picture;
};
CRirekiViewTexts RirekiViewTexts(const CRirekiData* r);

// The shown entry and the navigation of the view-only dialog.
class CRirekiViewLogic {
public:
    CRirekiViewLogic(IRirekiNavigator* navigator, const CRirekiData* record, bool hasPrevious, bool hasNext);
    // True when a neighbour was found (and is now shown).
    bool OnPrevious() { return Move(false); }
    bool OnNext() { return Move(true); }
    const CRirekiData* Current() const { return m_hasRecord ? &m_record : nullptr; }
    CRirekiViewTexts Texts() const { return RirekiViewTexts(Current()); }
    bool PreviousEnabled() const { return m_hasPrevious; }
    bool NextEnabled() const { return m_hasNext; }

private:
    bool Move(bool next);

    IRirekiNavigator* m_navigator;
    CRirekiData m_record;
    bool m_hasRecord;
    bool m_hasPrevious;
    bool m_hasNext;
};

// ---------------------------------------------------------------- opening

// What an opener passes to the entry dialog.
struct RirekiDialogRequest {
    HistoryDialogMode mode = HistoryDialogMode::Add;
    IRirekiOwner* owner = nullptr;
    int32_t customerKey = -1;
    const CRirekiData* record = nullptr;
    bool hasPrevious = false;
    bool hasNext = false;
};
// Opens the entry dialog modally; returns its end code. For bulk add the
// record to add is written to result.
using RirekiDialogRunner = std::function<int(const RirekiDialogRequest&, CRirekiData& result)>;
