// Own-company and amount values for the forms: one archive string per file
// ("<install>/Data/Other/<STEM>.AUT"); a missing or unreadable file is empty.
#pragma once

#include <array>
#include <map>
#include <string>

inline constexpr std::array<const char*, 9> kOwnCompanyStems = {"COM",  "BUSYO", "NAME",  "ZIPHIFN", "ADD",
                                                                 "TEL",  "FAX",   "KOUZA", "CATCH"};

std::string AutFolder(const std::string& installDir);  // <install>/Data/Other
std::string ReadAutValue(const std::string& installDir, const std::string& stem);
// Creates or overwrites the file; a failure is silently skipped.
void WriteAutValue(const std::string& installDir, const std::string& stem, const std::string& value);

// The seven derived values of the nine own-company values (keyed by stem):
// "ZIP", "ZENZIP", "TATEZIP", "TATEADD", "TELNOHIFN", "TATETEL", "TATEFAX".
std::map<std::string, std::string> DerivedOwnCompanyValues(const std::map<std::string, std::string>& values);
// Writes the nine values and the seven derived ones.
void WriteOwnCompany(const std::string& installDir, const std::map<std::string, std::string>& values);
// Every value the forms use: the nine, the seven derived, "SHOUHI" and "TAX".
std::map<std::string, std::string> ReadOwnCompany(const std::string& installDir);
