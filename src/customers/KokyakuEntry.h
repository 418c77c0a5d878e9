// The rules of the customer entry dialogs, free of any toolkit: the working
// record, the binding of controls to fields with their byte limits, loading and
// saving the controls, the name and honorific check, the comparison used when
// closing, and the flow of the add / change / close / previous / next buttons.
// The dialogs read and write their widgets as ControlValues and forward their
// buttons to CKokyakuEntryLogic.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/SjisField.h"
#include "common/DateTime.h"

// ---------------------------------------------------------------- record

// A customer record as the entry dialogs edit it: every field by name.
// Unknown names read as empty / 0 / unset.
class CEntryRecord {
public:
    int32_t id = 0;

    std::string Text(std::string_view field) const;
    void SetText(std::string_view field, std::string value);
    int32_t Int(std::string_view field) const;
    void SetInt(std::string_view field, int32_t value);
    CDateTime Date(std::string_view field) const;
    void SetDate(std::string_view field, CDateTime value);

    // The record of a new customer, with the defaults of CKokyaku.
    static CEntryRecord Blank();

private:
    std::map<std::string, std::string, std::less<>> m_texts;
    std::map<std::string, int32_t, std::less<>> m_ints;
    std::map<std::string, CDateTime, std::less<>> m_dates;
};

// Whether any field a person enters differs: texts by bytes (notes and
// pictures included), integers, the birthday. The record number and the three
// dates stamped by the document are not compared.
bool RecordsDiffer(const CEntryRecord& a, const CEntryRecord& b);

struct CKokyaku;
// Every field a person enters (all but the key and the phone numbers), by the
// customer field table; the record number as id.
CEntryRecord ToEntryRecord(const CKokyaku& k);
// Copies those fields into k; its key and phone numbers stay.
void ApplyEntryRecord(const CEntryRecord& r, CKokyaku& k);

// ---------------------------------------------------------------- lists

// The 47 prefectures in the order of their JIS X 0401 codes.
const std::vector<std::string>& PrefectureTexts();
// "5", "10", ... "30", "99(末)", then the other days 1 to 31.
const std::vector<std::string>& ClosingDayTexts();
// "1" to "12"; position = month - 1.
const std::vector<std::string>& ClosingMonthTexts();
// The five tax texts; position = value.
const std::vector<std::string>& TaxMethodTexts();
const std::vector<std::string>& SexTexts();        // "男", "女"
const std::vector<std::string>& EntryTypeTexts();  // "法人", "個人"
const std::vector<std::string>& SuffixTexts();     // "様", "御中"

struct ColorMarkEntry {
    const char* name;
    uint32_t color;  // 0x00BBGGRR
};
// "なし", "ｺﾞｰﾙﾄﾞ", "ｼﾙﾊﾞｰ", "青", "黄", "赤", "ﾌﾞﾗｯｸ" in list order.
const std::vector<ColorMarkEntry>& ColorMarkEntries();
int ColorMarkIndex(uint32_t color);  // -1 when not in the list

// "%d" for 1 to 31, "99(末)" for 99, "" otherwise.
std::string ClosingDayText(int32_t day);
// The number at the start of the text, 0 when there is none.
int32_t ClosingDayFromText(std::string_view text);

// ---------------------------------------------------------------- URLs

inline constexpr const char* kUrlPrefix = "http://";
// An empty address shows "http://" except in view-only mode.
std::string UrlForDisplay(const std::string& stored, bool viewOnly);
// "http://" alone is stored empty.
std::string UrlToStore(const std::string& text);
// The address to open, or nullopt for an empty text or "http://" alone.
std::optional<std::string> UrlToOpen(const std::string& text);

// ---------------------------------------------------------------- controls

enum class ControlKind {
    Text,        // edit or editable list; text with a byte limit
    Url,         // text; "http://" alone stored empty
    List,        // position = value
    Month,       // position = value - 1
    ClosingDay,  // list text "%d" / "99(末)"
    Check,       // ticked = 1
    Date,        // edited date; empty = unset
    ShownDate,   // read-only date, never saved
    Color,       // colour list position
    Mail,        // standard-mail radio buttons for the addresses first..last
};

struct EntryBinding {
    int id;
    const char* field;
    ControlKind kind;
    int limit = 0;  // bytes; 0 = none
    int first = 0;  // Mail: the first and last address numbers on the page
    int last = 0;
};

// The state of one control. Text kinds use text; List, Month, Color use index
// (-1 = nothing chosen); Check uses checked; Mail uses index as the chosen
// address number (0 = no button chosen).
struct ControlState {
    std::string text;
    int index = -1;
    bool checked = false;
    bool operator==(const ControlState&) const = default;
};
using ControlValues = std::map<int, ControlState>;

enum class EntryLayout { Normal = 0, Individual = 1, Corporate = 2 };
enum class EntryMode { Add = 0, Change = 1, View = 2 };

// The controls of a layout's main page in the order they are saved.
const std::vector<EntryBinding>& MainPageBindings(EntryLayout layout);
const EntryBinding* FindBinding(const std::vector<EntryBinding>& bindings, int id);

// Control ids shared by the dialogs.
namespace EntryCtl {
inline constexpr int Name = 1059, Yomi = 1060, Suffix = 1065, CompName = 1078, CompYomi = 1079;
inline constexpr int BirthDay = 1110, Url1 = 1095, Url2 = 1096, Mail = 1185, Note1 = 1328;
inline constexpr int ClosingDay = 1184, ClosingDate = 1097;
inline constexpr int Note2 = 1501;  // Note2..Note10 are 1501..1509 on the notes dialog
}  // namespace EntryCtl

ControlValues LoadControls(const std::vector<EntryBinding>& bindings, const CEntryRecord& record, bool viewOnly);

// Saves the controls into the record in binding order. The first failing
// control shows its message and its id is returned; the record is then left
// as it was. 0 when everything was stored. Messages: a character Shift-JIS
// cannot hold, "%d文字(ﾊﾞｲﾄ)以内で入力してください", "日付の設定が正しくありません。".
int SaveControls(const std::vector<EntryBinding>& bindings, const ControlValues& values, CEntryRecord& record);

inline constexpr const char* kBadDateMessage = "日付の設定が正しくありません。";

// ---------------------------------------------------------------- checks

enum class NameCheck { Go, Stop };
// The name and honorific questions before an add or change. Yes to the
// honorific question sets "Suffix" to "御中" and sets suffixChanged.
NameCheck CheckNameAndSuffix(CEntryRecord& record, bool& suffixChanged);

// ---------------------------------------------------------------- dialog flow

std::string EntryTitle(EntryLayout layout, EntryMode mode);

struct NeighbourCustomer {
    CEntryRecord record;
    bool further = false;  // another customer exists beyond it
};

// What the dialog needs from the customer screen (or the document when it
// runs without one).
class IKokyakuEntryHost {
public:
    virtual ~IKokyakuEntryHost() = default;
    // Adds a copy; the new record number, or -1.
    virtual int32_t AddCustomer(const CEntryRecord& record) = 0;
    // Changes the record; 1 done, 0 not found, -1 failed. The host may update
    // the record (the stamped dates) before it is shown again.
    virtual int ModifyCustomer(int32_t key, CEntryRecord& record) = 0;
    virtual std::optional<NeighbourCustomer> NextCustomer() = 0;
    virtual std::optional<NeighbourCustomer> PrevCustomer() = 0;
};

class IKokyakuEntryView {
public:
    virtual ~IKokyakuEntryView() = default;
    virtual ControlValues ReadControls() = 0;
    virtual void WriteControls(const ControlValues& values) = 0;
    virtual void FocusControl(int id) = 0;
};

class CKokyakuEntryLogic {
public:
    // record: the customer to change or show, or to copy when adding; none
    // for a new customer.
    CKokyakuEntryLogic(EntryLayout layout, EntryMode mode, const CEntryRecord* record, bool hasPrev,
                       bool hasNext, IKokyakuEntryHost* host);

    void Attach(IKokyakuEntryView* view);  // and loads the controls

    EntryLayout Layout() const { return m_layout; }
    EntryMode Mode() const { return m_mode; }
    bool ViewOnly() const { return m_mode == EntryMode::View; }
    std::string Title() const { return EntryTitle(m_layout, m_mode); }
    std::string Button1Text() const { return m_mode == EntryMode::Change ? "修正" : "追加"; }
    bool Button1Enabled() const { return m_mode != EntryMode::View; }
    bool NavigationVisible() const { return m_mode != EntryMode::Add; }
    bool PrevEnabled() const { return m_hasPrev; }
    bool NextEnabled() const { return m_hasNext; }

    // Button 1 (add or change); stays open.
    void OnButton1();
    // "閉じる": true when the dialog may close.
    bool OnClose();
    void OnNext() { Move(true); }
    void OnPrev() { Move(false); }

    // Saves the page's controls into the working copy; false (message shown,
    // focus set) when a control fails.
    bool SaveControlsToWorking();
    void ReloadControls();

    const CEntryRecord& Working() const { return m_working; }
    CEntryRecord& Working() { return m_working; }
    const CEntryRecord& Original() const { return m_original; }

private:
    CEntryRecord NewRecord() const;
    bool CheckAndReload();
    bool DoAdd();
    int DoModify();
    void Move(bool next);

    EntryLayout m_layout;
    EntryMode m_mode;
    bool m_hasPrev;
    bool m_hasNext;
    IKokyakuEntryHost* m_host;
    IKokyakuEntryView* m_view = nullptr;
    CEntryRecord m_working;
    CEntryRecord m_original;  // the record being changed, or the add baseline
};

// ---------------------------------------------------------------- sub-dialogs

enum class SubDialogKind { Notes, CompanyDetails, CompanyInfo, HomeInfo };

const std::vector<EntryBinding>& SubDialogBindings(SubDialogKind kind);
std::string SubDialogTitle(SubDialogKind kind, bool viewOnly);
// The sub-dialog each layout reaches through button 1326 / 1362.
SubDialogKind LayoutSubDialog(EntryLayout layout);

// The record a sub-dialog starts from: a copy of the working record with the
// standard mail as the page shows it now and, for the notes, "Note1" as typed
// on the page.
CEntryRecord SubDialogInput(const CEntryRecord& working, int pageMail, const std::string* pageNote1);
// Copies the sub-dialog's fields back. Returns true when the sub-dialog took
// the standard mail (the page's buttons are then cleared).
bool ApplySubDialog(SubDialogKind kind, const CEntryRecord& edited, CEntryRecord& working);
