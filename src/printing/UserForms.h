// User-made forms: the list "<install>/Data/MyData/Original.dat" (names and
// numbers) and the next number "<install>/Data/Org/OrgNum.dat", both in the
// archive encoding; each form's layout is "<install>/Data/Org/<number>.org".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CUserFormEntry {
    std::string name;  // at most 200 Shift-JIS bytes
    int32_t number = 0;
    bool operator==(const CUserFormEntry&) const = default;
};

inline constexpr int kUserFormNameLimit = 200;

std::string UserFormListPath(const std::string& installDir);
std::string UserFormNumberPath(const std::string& installDir);
std::string UserFormPath(const std::string& installDir, int32_t number);

// The list; a missing or damaged file gives none.
std::vector<CUserFormEntry> ReadUserForms(const std::string& installDir);
bool WriteUserForms(const std::string& installDir, const std::vector<CUserFormEntry>& forms);
// Takes the next form number (40000 the first time) and stores the one after.
int32_t TakeUserFormNumber(const std::string& installDir);
// Removes the entry from the list file; false when it is not listed or the
// list cannot be written.
bool DelPickUp(const std::string& installDir, int32_t number);

struct CFormLayout;
// Saves a copy of the layout as a new user-made form named name, every item
// moved by (dx, dy) mm: the layout file, then the list entry. The new
// number, or 0 when a file could not be written (nothing is listed then).
int32_t SaveUserFormCopy(const std::string& installDir, const CFormLayout& layout, const std::string& name,
                         double dx, double dy);
