// Choice lists: small lists of entries kept as ".dat" files in the data
// folder that feed the editable drop-downs, and the rules of their editor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchiveWriter;
class CArchiveReader;
class CMLVColSet;

// The nine lists.
enum ChoiceListNo {
    kListRirekiType = 0,  // "RirekiType.dat"  history summary
    kListRirekiWord = 1,  // "RirekiWord.dat"  history keyword
    kListDMType = 2,      // "DMType.dat"      DM content
    kListImportant = 3,   // "KImportant.dat"  ImportantRanking
    kListRank1 = 4,       // "KRank1.dat"      Ranking1
    kListRank2 = 5,       // "KRank2.dat"      Ranking2
    kListPayMeth = 6,     // "KPayMeth.dat"    PayMethod
    kListCompType = 7,    // "KCompType.dat"   CompType
    kListTantou = 8,      // "Tantou.dat"      TantouName
    kChoiceListCount = 9
};

// File name of the list ("" for a number outside 0..8).
const char* ChoiceListFileName(int listNo);
// Text limit in Shift-JIS bytes (30 for a number outside 0..8, the drop-down default).
int ChoiceListLimit(int listNo);
// The name in the editor; lists 4 and 5 use the labels of "Ranking1" and
// "Ranking2" from the set (null or no label: "ランク１"/"ランク２").
std::string ChoiceListEditorName(int listNo, const CMLVColSet* set);
// The radio button texts of the chooser, lists 0 to 7 in order (the ranking
// texts from the set's labels; null set: "顧客：ランキング１"/"顧客：ランキング２").
std::vector<std::string> ChoiceChooserLabels(const CMLVColSet* set);

// One entry (archived as class "CMLVComboElem", schema 1).
class CMLVComboElem {
public:
    CMLVComboElem() = default;
    CMLVComboElem(std::string t, int32_t user) : text(std::move(t)), userEntry(user) {}

    std::string text;
    int32_t userEntry = 1;  // 1 user entry (may be changed and deleted), 0 fixed

    void WriteMembers(CArchiveWriter& ar) const;
    void ReadMembers(CArchiveReader& ar);
    bool operator==(const CMLVComboElem&) const = default;
};

// One list bound to its file.
class CMLVComboData {
public:
    explicit CMLVComboData(std::string installDir);

    // Loads the list: a missing file gets the default content (written); an
    // unreadable or damaged one asks "設定ファイル<%s>が壊れています。..." and,
    // on Yes, is reset the same way. 1 or 0.
    int Load(int listNo);
    // Writes the whole list. 1 or 0 (silent).
    int Save();
    // Appends a user entry and saves; 0 when the list is not loaded.
    int AddEntry(const std::string& text);
    // Automatic registration of a typed text: true when the text is not empty
    // and the list lacks it; then it has been appended as a user entry and the
    // file saved (a failed save is silent). The drop-down appends it on true.
    bool AutoRegister(const std::string& text);
    bool Contains(std::string_view text) const;
    // Replaces the entries by the default content of the list number.
    void SetDefaults();

    void WriteTo(CArchiveWriter& ar) const;
    void ReadFrom(CArchiveReader& ar);

    int ListNo() const { return m_listNo; }
    bool IsLoaded() const { return m_loaded; }
    const std::string& FilePath() const { return m_path; }
    const std::string& InstallDir() const { return m_installDir; }

    std::vector<CMLVComboElem> entries;

private:
    std::string m_installDir;
    std::string m_path;
    int m_listNo = -1;
    bool m_loaded = false;
};

// The rules of the list editor ("%s の設定") and its entry dialog
// ("項目の追加・変更"). Every refusal shows its message and changes nothing.
// Indexes are list rows; -1 means no selection.
class CChoiceListEditor {
public:
    CChoiceListEditor(std::string installDir, int listNo);

    // Loads the list and the editor name. 0: the editor closes at once.
    int Open();

    const std::vector<CMLVComboElem>& Entries() const { return m_data.entries; }
    int ListNo() const { return m_data.ListNo(); }
    int Limit() const;                  // text limit of the entry dialog
    const std::string& Name() const { return m_name; }
    std::string Title() const;          // "%s の設定"
    std::string Explanation() const;    // "%sを編集します。..."
    std::string Note() const;           // "※なお、各画面の%sを..."
    std::string ListHeading() const;    // "現在登録されている%s"

    // "変更...": whether the entry may be edited (messages for no selection and
    // fixed entries). The entry dialog then starts with Entries()[index].text.
    bool CanChange(int index) const;
    // The entry dialog's OK: false (message shown) for an empty text or one
    // equal to any entry of the list (also the entry being changed).
    bool ValidateEntryText(const std::string& text) const;
    // Appends a user entry; returns its index (to select).
    int Add(const std::string& text);
    // Replaces the text in place.
    void Change(int index, const std::string& text);
    // "削除": messages for no selection and fixed entries, then the question
    // (No default); true when the entry was removed.
    bool Delete(int index);
    // "上へ"/"下へ": message for no selection; returns the entry's new index
    // (unchanged at the top or bottom), -1 without selection.
    int MoveUp(int index);
    int MoveDown(int index);
    // OK: saves the list; false after "設定を保存できませんでした" (stay open).
    bool Ok();

    CMLVComboData& Data() { return m_data; }

private:
    CMLVComboData m_data;
    int m_requestedList;
    std::string m_name;
};
