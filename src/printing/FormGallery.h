// The menu screen's form gallery: its entries by tab and the start of a form
// ("開く") with the three ways of choosing customers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CMilvaneDoc;
struct CKokyaku;

inline constexpr std::array<const char*, 5> kGalleryTabs = {"顧客", "宛名・FAX", "伝票", "名刺・オフィス",
                                                            "オリジナルフォーム"};
inline constexpr int kUserFormTab = 4;

struct CGalleryEntry {
    int32_t layout = 0;
    int32_t second = 0;
    std::string name;
    int32_t customerCount = 0;  // above 0 when the form takes customer data
    int32_t formType = 1;
};

// Tabs 0..3 the built-in forms of that group; tab 4 the user-made forms in
// list order (second number, data and type from their layout files).
std::vector<CGalleryEntry> GalleryEntries(const std::string& installDir, int tab);

// What the widgets provide for "開く".
struct CFormLaunchUi {
    // "顧客選択方法": 0 start the form, 1 from the customer list, 2 from a DM; -1 cancelled.
    std::function<int(int preset)> chooseMethod;
    // Choice 1 (customer selection in form mode): the ticked customers and
    // "履歴に残す"; false when cancelled. Null while it is not available.
    std::function<bool(std::vector<uint32_t>& customerKeys, bool& recordHistory)> selectCustomers;
    // Choice 2 (DM title selection in form mode): the DM and its targets.
    std::function<bool(int32_t& dmKey, std::vector<uint32_t>& targets, bool& recordHistory)> selectDm;
};

// "<install>/exe/Frmprint" started with " /L:<layout>"; false after the message.
bool StartFormProgram(const std::string& installDir, int32_t layout);
// "開く" on the selected entry (null: none selected).
void OpenGalleryForm(CMilvaneDoc* doc, const CGalleryEntry* entry, const CFormLaunchUi& ui);
