#include "printing/OwnCompanyForm.h"

#include <cstdio>

#include "common/Folders.h"
#include "printing/OwnCompany.h"
#include "printing/VerticalText.h"

namespace {

size_t CharCount(const std::string& s) { return SplitChars(s).size(); }

std::string Get(const std::map<std::string, std::string>& values, const char* stem) {
    auto it = values.find(stem);
    return it == values.end() ? std::string() : it->second;
}

std::string FtTempPath(const std::string& installDir) { return JoinPath(installDir, "Data/MyData/FTtemp.dat"); }

}  // namespace

std::string LeadingDigits(std::string_view text) {
    size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9') ++n;
    return std::string(text.substr(0, n));
}

std::array<std::string, 2> SplitZip(const std::string& value) {
    if (value == "-") return {};
    if (CharCount(value) < 2) return {value, ""};
    size_t dash = value.find('-');
    if (dash == std::string::npos) return {"", value};
    return {value.substr(0, dash), value.substr(dash + 1)};
}

std::array<std::string, 3> SplitPhone(const std::string& value) {
    if (CharCount(value) < 3) return {value, "", ""};
    size_t first = value.find('-');
    if (first == std::string::npos) return {"", "", value};
    size_t second = value.find('-', first + 1);
    if (second == std::string::npos) return {value.substr(0, first), "", value.substr(first + 1)};
    return {value.substr(0, first), value.substr(first + 1, second - first - 1), value.substr(second + 1)};
}

COwnCompanyFields SplitOwnCompany(const std::map<std::string, std::string>& values) {
    COwnCompanyFields f;
    f.company = Get(values, "COM");
    f.section = Get(values, "BUSYO");
    f.person = Get(values, "NAME");
    f.zip = SplitZip(Get(values, "ZIPHIFN"));
    f.address = Get(values, "ADD");
    f.tel = SplitPhone(Get(values, "TEL"));
    f.fax = SplitPhone(Get(values, "FAX"));
    f.bank = Get(values, "KOUZA");
    f.catchPhrase = Get(values, "CATCH");
    return f;
}

std::map<std::string, std::string> JoinOwnCompany(const COwnCompanyFields& f) {
    auto phone = [](const std::array<std::string, 3>& p) {
        return p[0].empty() && p[1].empty() && p[2].empty() ? std::string() : p[0] + "-" + p[1] + "-" + p[2];
    };
    return {
        {"COM", f.company},
        {"BUSYO", f.section},
        {"NAME", f.person},
        {"ZIPHIFN", f.zip[0].empty() && f.zip[1].empty() ? std::string() : f.zip[0] + "-" + f.zip[1]},
        {"ADD", f.address},
        {"TEL", phone(f.tel)},
        {"FAX", phone(f.fax)},
        {"KOUZA", f.bank},
        {"CATCH", f.catchPhrase},
    };
}

COwnCompanyFields OpenOwnCompany(const std::string& installDir) {
    if (FileExists(FtTempPath(installDir))) std::remove(FtTempPath(installDir).c_str());
    std::map<std::string, std::string> values;
    for (const char* stem : kOwnCompanyStems) values[stem] = ReadAutValue(installDir, stem);
    return SplitOwnCompany(values);
}

void SaveOwnCompany(const std::string& installDir, const COwnCompanyFields& fields) {
    WriteOwnCompany(installDir, JoinOwnCompany(fields));
}

CAmountSettings ReadAmountSettings(const std::string& installDir) {
    CAmountSettings s;
    auto exists = [&](const char* stem) { return FileExists(JoinPath(AutFolder(installDir), std::string(stem) + ".AUT")); };
    std::string letter = exists("SHOUHI") ? ReadAutValue(installDir, "SHOUHI") : "D";
    s.rounding = letter == "U" ? 2 : letter == "F" ? 1 : 0;
    if (exists("TAX")) s.taxRate = ReadAutValue(installDir, "TAX");
    return s;
}

void SaveAmountSettings(const std::string& installDir, const CAmountSettings& settings) {
    EnsureFolder(AutFolder(installDir), true, false);
    static const char* const kLetters[] = {"D", "F", "U"};
    WriteAutValue(installDir, "SHOUHI", kLetters[settings.rounding >= 0 && settings.rounding <= 2 ? settings.rounding : 0]);
    std::string rate = settings.taxRate;
    auto chars = SplitChars(rate);
    if (chars.size() == 1 && chars[0].size() == 3 && chars[0] >= "０" && chars[0] <= "９")
        rate = std::string(1, static_cast<char>('0' + (static_cast<unsigned char>(chars[0][2]) - 0x90)));
    WriteAutValue(installDir, "TAX", rate);
}
