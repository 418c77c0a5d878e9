// The column catalogue: column definitions ("MLVColSet.sys" of the data
// folder, reset from the installation's master copy "Data/Org/MLVColSet.sys")
// and the displayed columns of the customer list ("MLVDispCol.sys").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchiveWriter;
class CArchiveReader;

// One column definition (archived as class "CMLVCol", schema 1).
class CMLVCol {
public:
    CMLVCol() = default;
    CMLVCol(std::string field, std::string lbl, int32_t free = 0)
        : fieldName(std::move(field)), label(std::move(lbl)), freeItem(free) {}

    std::string fieldName;  // key: a customer field name or a derived/analysis column
    std::string label;      // heading shown to the user
    int32_t freeItem = 0;   // non-zero: the user may rename the label

    // Members only (field name, label, flag); the tag is written by the owner.
    void WriteMembers(CArchiveWriter& ar) const;
    void ReadMembers(CArchiveReader& ar);

    bool operator==(const CMLVCol&) const = default;
};

inline constexpr const char* kColSetFileName = "MLVColSet.sys";
inline constexpr const char* kDispColFileName = "MLVDispCol.sys";

// The set of all column definitions, in the order offered on every screen.
class CMLVColSet {
public:
    // installDir: the installation folder; the data folder is read from its
    // "Data/MyData/datadir.dat" each time a path is needed.
    explicit CMLVColSet(std::string installDir);

    // Reads "MLVColSet.sys"; a missing or unreadable file leads to
    // ResetToMaster(true) and another try. 1 on success, 0 on failure
    // (no data folder, reset refused or failed).
    int Load();
    // Writes "MLVColSet.sys". 1, or 0 (message shown on a file error).
    int Save();
    // Copies the master copy over "MLVColSet.sys", asking first when ask is set.
    int ResetToMaster(bool ask);
    // The label of the first definition with the field name; "" when none.
    std::string GetLabel(std::string_view fieldName) const;
    // Sets the label of the first definition with the field name when it is a
    // free item. 1, or 0 when there is none or it is no free item.
    int SetLabel(std::string_view fieldName, const std::string& label);
    void RemoveAll() { columns.clear(); }
    // The first definition with the field name, or nullptr.
    const CMLVCol* Find(std::string_view fieldName) const;

    // The archive form: count, then one tagged "CMLVCol" per definition.
    void WriteTo(CArchiveWriter& ar) const;
    void ReadFrom(CArchiveReader& ar);

    // <data folder>/MLVColSet.sys, or "" when datadir.dat names no folder.
    std::string FilePath() const;
    // <install>/Data/Org/MLVColSet.sys
    std::string MasterPath() const;
    const std::string& InstallDir() const { return m_installDir; }

    std::vector<CMLVCol> columns;

private:
    std::string m_installDir;
};

// The displayed columns of the customer list, left to right (field names).
class CMLVDispKokyakuCol {
public:
    explicit CMLVDispKokyakuCol(std::string installDir);

    // Empties the list, then reads "MLVDispCol.sys". 0 when there is no data
    // folder or the file cannot be opened (silent), or on a file error
    // (message shown); 1 otherwise.
    int Load();
    // Writes "MLVDispCol.sys". 1, or 0 (message shown on a file error).
    int Save();
    // Removes the first entry with the field name; 1 when one was removed.
    int Remove(std::string_view fieldName);

    void WriteTo(CArchiveWriter& ar) const;
    void ReadFrom(CArchiveReader& ar);

    std::string FilePath() const;  // "" when datadir.dat names no folder

    std::vector<std::string> names;

private:
    std::string m_installDir;
};

// Loads a fresh set and returns the label of the field ("" on any failure).
std::string GetLabel(const std::string& installDir, std::string_view fieldName);

// The column array of the customer list: the displayed names looked up in the
// set (names the set lacks are skipped). When the displayed list cannot be
// loaded: "CustomerID"/"お客様コード" and "Name"/"氏名", and a new
// "MLVDispCol.sys" naming these two is written. The set is loaded here too; a
// set that cannot be loaded leaves only columns whose names it holds (none).
std::vector<CMLVCol> BuildCustomerListColumns(const std::string& installDir);
// The field names of the customer list's columns as BuildCustomerListColumns
// gives them, without writing anything.
std::vector<std::string> CustomerListColumnNames(const std::string& installDir);
// The same with a set and a list already loaded (dispLoaded: whether the list
// could be loaded).
std::vector<CMLVCol> BuildCustomerListColumns(const CMLVColSet& set, CMLVDispKokyakuCol& disp, bool dispLoaded);

// Whether a definition may be shown in a list: every field except "ID",
// "TEL_Home_X", "TEL_Office_X" and "Picture1" to "Picture5".
bool IsDisplayableColumn(std::string_view fieldName);
// The displayable definitions of the set, in set order.
std::vector<CMLVCol> DisplayableColumns(const CMLVColSet& set);
