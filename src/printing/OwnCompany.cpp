#include "printing/OwnCompany.h"

#include "common/Archive.h"
#include "common/Folders.h"
#include "printing/VerticalText.h"

namespace {

std::string WithoutHyphens(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != '-') out += c;
    return out;
}

std::string AutPath(const std::string& installDir, const std::string& stem) {
    return JoinPath(AutFolder(installDir), stem + ".AUT");
}

}  // namespace

std::string AutFolder(const std::string& installDir) { return JoinPath(installDir, "Data/Other"); }

std::string ReadAutValue(const std::string& installDir, const std::string& stem) {
    std::string value;
    if (TryReadArchiveFile(AutPath(installDir, stem), [&](CArchiveReader& r) { value = r.ReadString(); }) !=
        FileResult::Ok)
        return {};
    return value;
}

void WriteAutValue(const std::string& installDir, const std::string& stem, const std::string& value) {
    TryWriteArchiveFile(AutPath(installDir, stem), [&](CArchiveWriter& w) { w.WriteString(value); });
}

std::map<std::string, std::string> DerivedOwnCompanyValues(const std::map<std::string, std::string>& values) {
    auto get = [&](const char* stem) {
        auto it = values.find(stem);
        return it == values.end() ? std::string() : it->second;
    };
    std::string zip = get("ZIPHIFN");
    return {
        {"ZIP", WithoutHyphens(zip)},
        {"ZENZIP", ToFullWidthDigits(zip)},
        {"TATEZIP", ToKanjiNumerals(zip)},
        {"TATEADD", ToFullWidthKatakana(get("ADD"))},
        {"TELNOHIFN", WithoutHyphens(get("TEL"))},
        {"TATETEL", ToKanjiNumerals(get("TEL"))},
        {"TATEFAX", ToKanjiNumerals(get("FAX"))},
    };
}

void WriteOwnCompany(const std::string& installDir, const std::map<std::string, std::string>& values) {
    EnsureFolder(AutFolder(installDir), true, false);
    for (const char* stem : kOwnCompanyStems) {
        auto it = values.find(stem);
        WriteAutValue(installDir, stem, it == values.end() ? std::string() : it->second);
    }
    for (const auto& [stem, value] : DerivedOwnCompanyValues(values)) WriteAutValue(installDir, stem, value);
}

std::map<std::string, std::string> ReadOwnCompany(const std::string& installDir) {
    std::map<std::string, std::string> values;
    for (const char* stem : kOwnCompanyStems) values[stem] = ReadAutValue(installDir, stem);
    for (const char* stem : {"ZIP", "ZENZIP", "TATEZIP", "TATEADD", "TELNOHIFN", "TATETEL", "TATEFAX", "SHOUHI", "TAX"})
        values[stem] = ReadAutValue(installDir, stem);
    return values;
}
