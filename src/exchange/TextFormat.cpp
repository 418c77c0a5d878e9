#include "common/Archive.h"
#include "common/SjisText.h"
#include "exchange/Formats.h"

std::string TextFileBytes(const ExchangeTable& table) {
    std::string out;
    std::string line;
    for (const auto& row : table) {
        line.clear();
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) line += ',';
            line += '"';
            for (char ch : row[c]) {
                if (ch == '"') line += '"';
                line += ch;
            }
            line += '"';
        }
        line += "\r\n";
        out += Utf8ToSjis(line);
    }
    return out;
}

bool CTextFormat::WriteRows(const std::string& path, const ExchangeTable& table) {
    ClearError();
    if (!WriteWholeFileAtomic(path, TextFileBytes(table))) return Fail(kCannotCreateFile);
    return true;
}
