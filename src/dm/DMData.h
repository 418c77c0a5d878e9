// DM titles (one mailing each) and their target customers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/DateTime.h"

struct CDMListData {
    CDateTime Date;              // send date; also the date of the sending history
    int32_t ID = -1;             // key given by the database
    int32_t SendMethod = 0;      // 0 DM印刷, 1 メール送信
    int32_t SendState = 0;       // 0 未送付, 1 送付済み
    std::string Manager;         // at most 30 bytes
    std::string Title;           // at most 100 bytes, not empty
    std::string Content;         // at most 50 bytes
    int32_t HistoryRegistered = 0;  // 1: the targets carry a sending-history entry

    bool operator==(const CDMListData&) const = default;
};

// One target customer of one DM.
struct CDMMngData {
    int32_t DMID = -1;
    int32_t CustomerID = -1;   // key of the customer
    std::string CustomerCode;  // the customer's "CustomerID" text
    std::string Name;
    std::string CompName;

    bool operator==(const CDMMngData&) const = default;
};

using CDMList = std::vector<std::unique_ptr<CDMListData>>;
using CDMMngList = std::vector<std::unique_ptr<CDMMngData>>;

inline constexpr int kDMManagerLimit = 30;
inline constexpr int kDMTitleLimit = 100;
inline constexpr int kDMContentLimit = 50;

// History summaries of the sending history, by send method.
inline constexpr const char* kDMHistoryTitlePrint = "DM";
inline constexpr const char* kDMHistoryTitleMail = "DMメール送信";
