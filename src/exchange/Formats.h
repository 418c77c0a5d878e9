// The formats of the exchange table (see ExchangeFormat.h).
#pragma once

#include "exchange/ExchangeFormat.h"

// Desktop database files, read through libmdb.
class CDesktopDbFormat final : public CExchangeFormat {
public:
    const char* Name() const override { return "desktop-database"; }
    const char* Label() const override { return "ACCESS（2002/2000/97）データ"; }
    const char* FilterName() const override { return "Microsoft Accessﾃﾞｰﾀﾍﾞｰｽ"; }
    std::vector<std::string> Patterns() const override { return {"*.mdb", "*.accdb"}; }
    const char* Extension() const override { return "mdb"; }
    unsigned Capabilities() const override { return kExchangeRead | kExchangeRows; }
};

// Workbooks: written as Office Open XML; read from ".xls" and ".xlsx".
class CWorkbookFormat final : public CExchangeFormat {
public:
    const char* Name() const override { return "workbook"; }
    const char* Label() const override { return "EXCEL（2002/2000/97）データ"; }
    const char* FilterName() const override { return "Microsoft Excelｼｰﾄ"; }
    std::vector<std::string> Patterns() const override { return {"*.xlsx"}; }
    std::vector<std::string> ReadPatterns() const override { return {"*.xls", "*.xlsx"}; }
    const char* Extension() const override { return "xlsx"; }
    unsigned Capabilities() const override { return kExchangeRead | kExchangeWrite | kExchangeRows; }
    std::size_t MaxDataRows() const override { return kMaxDataRows; }
    using CExchangeFormat::WriteRows;
    bool WriteRows(const std::string& path, const ExchangeTable& table) override;

    static constexpr std::size_t kMaxDataRows = 63355;
    // The library is linked in, so a workbook can always be written; this
    // message of a missing spreadsheet program is never shown.
    static constexpr const char* kProgramMissing = "Microsoft(R) Excel97以上 がｲﾝｽﾄｰﾙされている必要があります。\n";
    static constexpr double kRowHeight = 13.5;
    static constexpr double kMaxColumnWidth = 60;
};

// Comma-separated text in Shift-JIS.
class CTextFormat final : public CExchangeFormat {
public:
    const char* Name() const override { return "text"; }
    const char* Label() const override { return "テキスト（*.csv/*.txt）データ"; }
    const char* FilterName() const override { return "ﾃｷｽﾄﾌｧｲﾙ"; }
    std::vector<std::string> Patterns() const override { return {"*.csv", "*.txt"}; }
    const char* Extension() const override { return "csv"; }
    unsigned Capabilities() const override { return kExchangeRead | kExchangeWrite | kExchangeRows; }
    bool WriteRows(const std::string& path, const ExchangeTable& table) override;
    // Encodes and writes row by row.
    bool WriteRows(const std::string& path, const ExchangeRowSource& next) override;
};

// ContactXML 1.1 contact files (docs/contactxml.md).
class CContactXmlFormat final : public CExchangeFormat {
public:
    const char* Name() const override { return "contactxml"; }
    const char* Label() const override { return "ContactXML"; }
    const char* FilterName() const override { return "ContactXML"; }
    std::vector<std::string> Patterns() const override { return {"*.xml"}; }
    const char* Extension() const override { return "xml"; }
    unsigned Capabilities() const override { return kExchangeRead | kExchangeWrite | kExchangeRecords; }
    bool WriteRecords(const std::string& path, std::span<const CKokyaku* const> customers,
                      const std::string& pictureFolder) override;

    // The folder beside an XML file that receives the pictures: "<stem>_pictures".
    static std::string PictureFolderFor(const std::string& xmlPath);
};

// The bytes of a text file: every cell quoted with inner quotes doubled,
// cells joined by commas, CR LF after each row, Shift-JIS, no byte-order mark.
std::string TextFileBytes(const ExchangeTable& table);

// The lock file an office suite keeps beside a document it has open.
std::string OfficeLockFile(const std::string& path);
