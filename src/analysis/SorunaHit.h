// One row of a customer analysis: the customer and the value computed for it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "common/DateTime.h"

struct CMLVSorunaHit {
    int32_t Kind = 0;         // analysis 1 count, 2 latest date, 3 days elapsed, 6 amount
    int32_t CustomerID = -1;  // key of the customer
    int32_t Count = 0;        // kinds 1 (回数) and 3 (日数)
    CDateTime Date;           // kind 2 (日時)
    double Money = 0;         // kind 6 (金額)

    bool operator==(const CMLVSorunaHit&) const = default;
};

using CSorunaHitList = std::vector<std::unique_ptr<CMLVSorunaHit>>;
