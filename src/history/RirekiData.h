// A history entry (one dealing with one customer).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/DateTime.h"

struct CRirekiData {
    std::string Action;       // 詳細, at most 2000 bytes
    std::string ActionTitle;  // 概要, at most 100 bytes
    int32_t CustomerID = -1;  // key of the owning customer
    CDateTime Date;
    int32_t ID = -1;          // key given by the database
    std::string Keyword;      // at most 255 bytes
    double Money = 0;
    std::string Picture;      // file name in the picture folder; "" none
    std::string TantouName;   // at most 30 bytes

    bool operator==(const CRirekiData&) const = default;
};

using CRirekiList = std::vector<std::unique_ptr<CRirekiData>>;

// An entry as the history screen holds it: the key and the date to sort by
// (days; kNoRirekiDate when unset, so that unset dates come first).
struct CRirekiKey {
    int32_t ID = -1;
    double Date = 0;
    bool operator==(const CRirekiKey&) const = default;
};
using CRirekiKeyList = std::vector<CRirekiKey>;
inline constexpr double kNoRirekiDate = -1e300;

// The texts of an entry's customer that the history screen shows.
struct CRirekiCustomerTexts {
    std::string code;  // the customer's CustomerID text
    std::string name;
    std::string company;
};

// An entry with its customer's texts, as the history screen shows it.
struct CRirekiShown {
    CRirekiData entry;
    bool hasCustomer = false;  // false when no customer has the entry's CustomerID
    CRirekiCustomerTexts customer;
};

// Byte limits (Shift-JIS) of the history texts.
inline constexpr int kRirekiActionLimit = 2000;
inline constexpr int kRirekiActionTitleLimit = 100;
inline constexpr int kRirekiKeywordLimit = 255;
inline constexpr int kRirekiTantouLimit = 30;

// Whether every text of the entry fits its byte limit.
bool RirekiFitsLimits(const CRirekiData& r);

// The date a history entry keeps for the moment at: its minute (seconds dropped).
CDateTime HistoryDate(const CDateTime& at);
