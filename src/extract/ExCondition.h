// Extraction conditions: one condition holds everything needed to run an
// extraction again and to show its rows again; CExtract is the list of saved
// conditions in "MLVExtract.sys" of the data folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CArchiveWriter;
class CArchiveReader;

inline constexpr const char* kExtractFileName = "MLVExtract.sys";

// Archived as class "CExCondition", schema 1.
class CExCondition {
public:
    // 0: the extraction lists customers; 1: it lists history entries.
    uint32_t ResultKind = 0;
    // Customer field names shown for a customer result, in order (empty: the
    // ordinary columns).
    std::vector<std::string> DisplayColumns;
    std::string QueryText;      // the complete statement
    std::string ConditionName;  // "" for an unsaved extraction
    // Condition rows: [0] field reference, [1] value, [2] operator pattern,
    // [3] connector "AND"/"OR" when the next row is used. Empty: not used.
    std::vector<std::string> RowA, RowB, RowC;

    void Clear();
    // A row with fewer than 3 elements is not in use.
    static bool RowInUse(const std::vector<std::string>& row) { return row.size() >= 3; }

    // The members in order, without tag ("DefKokyaku.dat" holds exactly this).
    void WriteMembers(CArchiveWriter& ar) const;
    void ReadMembers(CArchiveReader& ar);

    bool operator==(const CExCondition&) const = default;
};

class CExtract {
public:
    // installDir: the installation folder; the data folder comes from its datadir.dat.
    explicit CExtract(std::string installDir);

    // Reads the saved list. A missing file is an empty list (loaded). 0 when
    // the file cannot be opened (silent) or is damaged (message shown); then
    // Loaded stays clear and nothing can be saved.
    int Load();
    // Appends a copy and saves; 0 when not loaded.
    int Append(const CExCondition& condition);
    // Writes the whole list; 0 (silent) when not loaded or without a path, 0
    // after "ファイル操作中にエラーが発生しました" when the file cannot be written
    // (the file keeps its previous contents).
    int Save();

    void WriteTo(CArchiveWriter& ar) const;
    void ReadFrom(CArchiveReader& ar);

    std::vector<CExCondition> Conditions;  // in the order saved
    bool Loaded = false;
    std::string FilePath;  // <data folder>/MLVExtract.sys, "" without data folder

private:
    std::string m_installDir;
};
