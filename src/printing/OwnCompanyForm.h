// The rules of the own-company dialog (split of the stored values into its
// edits, the numeric edits, the values rebuilt on OK) and of the amount
// calculation dialog.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>

struct COwnCompanyFields {
    std::string company, section, person;
    std::array<std::string, 2> zip;
    std::string address;
    std::array<std::string, 3> tel, fax;
    std::string bank, catchPhrase;
};

// The values by stem ("COM" ... "CATCH") split into the dialog's edits.
COwnCompanyFields SplitOwnCompany(const std::map<std::string, std::string>& values);
// The nine values rebuilt from the edits.
std::map<std::string, std::string> JoinOwnCompany(const COwnCompanyFields& fields);
// Postal code: "-" alone gives two empty parts; under 2 characters all goes
// first; else before the first "-" and after it; without "-" all goes last.
std::array<std::string, 2> SplitZip(const std::string& value);
// Phone and fax: under 3 characters all goes first; else before the first
// "-", between the first and second, and the rest; without "-" all goes last.
std::array<std::string, 3> SplitPhone(const std::string& value);
// What a numeric edit keeps: its leading run of "0123456789".
std::string LeadingDigits(std::string_view text);

// Opening the dialog: reads the nine values and deletes
// "<install>/Data/MyData/FTtemp.dat" (the first-start marker) when present.
COwnCompanyFields OpenOwnCompany(const std::string& installDir);
// OK: writes the nine value files and the seven derived ones.
void SaveOwnCompany(const std::string& installDir, const COwnCompanyFields& fields);

// Amount calculation: 0 切り捨て ("D", also anything unknown), 1 四捨五入 ("F"),
// 2 切り上げ ("U"); the rate text, "5" when the file is missing.
struct CAmountSettings {
    int rounding = 0;
    std::string taxRate = "5";
};
CAmountSettings ReadAmountSettings(const std::string& installDir);
// Writes "SHOUHI.AUT" and "TAX.AUT"; one full-width digit becomes half-width.
void SaveAmountSettings(const std::string& installDir, const CAmountSettings& settings);
