// The exchange formats of customer data, described once: a table in the order
// of the import source dialog (desktop database, workbook, text, ContactXML).
// The export format dialog lists the formats that write, the file choosers take
// their filters and extensions from here, and a reader joins a format by
// overriding its read operation and setting kExchangeRead.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct CKokyaku;

// What a format can do, and on what.
enum ExchangeCapability : unsigned {
    kExchangeRead = 1,
    kExchangeWrite = 2,
    kExchangeRows = 4,     // a table of texts whose row 0 holds the column names
    kExchangeRecords = 8,  // customer records, field by field
};

// Rows of texts (UTF-8); row 0 is the header.
using ExchangeTable = std::vector<std::vector<std::string>>;
// The rows of a table one at a time: fills row (row 0 the header) and
// returns 1, returns 0 after the last, or -1 when its rows could not be read
// (the writer then leaves the target as it was).
using ExchangeRowSource = std::function<int(std::vector<std::string>& row)>;

// The most an import reads: data rows (or records) and cells in all. A larger
// source is refused before its records are made.
inline constexpr std::size_t kMaxImportRecords = 500000;
inline constexpr std::size_t kMaxImportCells = std::size_t{16} << 20;

class CExchangeFormat {
public:
    virtual ~CExchangeFormat() = default;

    virtual const char* Name() const = 0;         // "workbook", "text", ...
    virtual const char* Label() const = 0;        // the radio button of the format dialogs
    virtual const char* FilterName() const = 0;   // "" when the format has no file chooser
    virtual std::vector<std::string> Patterns() const = 0;  // "*.csv", ...
    virtual const char* Extension() const = 0;    // default extension without the dot
    virtual unsigned Capabilities() const = 0;

    bool CanWrite() const { return (Capabilities() & kExchangeWrite) != 0; }
    bool CanRead() const { return (Capabilities() & kExchangeRead) != 0; }
    bool WritesRows() const { return CanWrite() && (Capabilities() & kExchangeRows) != 0; }

    // The files the reader takes (default: Patterns()).
    virtual std::vector<std::string> ReadPatterns() const { return Patterns(); }

    // The chooser filter "name(*.a *.b)", or "" when there is none; the
    // open chooser of the import takes ReadFilter().
    std::string Filter() const;
    std::string ReadFilter() const;
    // path with ".<Extension()>" appended when its file name has no extension.
    std::string WithDefaultExtension(const std::string& path) const;

    // The most data rows one file holds; 0 means no limit.
    virtual std::size_t MaxDataRows() const { return 0; }

    // Writes the table (kExchangeRows). False after setting errorString();
    // an existing file at path is then left as it was.
    virtual bool WriteRows(const std::string& path, const ExchangeTable& table);
    // The same for rows given one at a time; a format that writes as it goes
    // holds no more than a row (default: the rows gathered, then WriteRows).
    virtual bool WriteRows(const std::string& path, const ExchangeRowSource& next);
    // Writes the records (kExchangeRecords), with their pictures taken from
    // pictureFolder. False after setting errorString().
    virtual bool WriteRecords(const std::string& path, std::span<const CKokyaku* const> customers,
                              const std::string& pictureFolder);

    // The message the person reads about the last failure.
    const std::string& errorString() const { return m_error; }

protected:
    bool Fail(std::string message) {
        m_error = std::move(message);
        return false;
    }
    void ClearError() { m_error.clear(); }

private:
    std::string m_error;
};

// Every format, in the order of the import source dialog.
std::span<CExchangeFormat* const> ExchangeFormats();
// The formats that write, in table order (the export format dialog).
std::vector<CExchangeFormat*> WritableFormats();
CExchangeFormat* FindExchangeFormat(std::string_view name);

// Messages shared by the writers.
inline constexpr const char* kCannotCreateFile = "ファイルを作成できませんでした。";
inline constexpr const char* kRowsUnreadable = "顧客データの取得に失敗しました。";

// A file written beside its target under a temporary name and renamed over
// the target by Commit(); destroyed uncommitted, it removes the temporary file.
class CReplacingFile {
public:
    explicit CReplacingFile(std::string target);
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the temporary file (empty); false when the folder refuses it.
    bool Create();
    const std::string& TempPath() const { return m_temp; }
    // Makes the file readable as a new file would be and renames it over the
    // target; false (temporary file removed) on failure.
    bool Commit();

private:
    std::string m_target;
    std::string m_temp;
    bool m_done = false;
};
