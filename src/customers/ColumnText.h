// The display text of one column of one customer, shared by the customer
// list, the card pane and the exports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "customers/MLVColSet.h"

struct CKokyaku;
struct CMLVSorunaHit;

// Analysis result columns that a hit carries beside the customer.
inline constexpr const char* kColCount = "回数";
inline constexpr const char* kColDays = "日数";
inline constexpr const char* kColDate = "日時";
inline constexpr const char* kColAmount = "金額";
bool IsAnalysisColumn(std::string_view fieldName);

// The text of the column at index of the column array for the record and the
// analysis hit shown with it (hit may be null). "" for an index outside the
// array, a null record, or a name the display rule does not know.
std::string GetColumnText(const CKokyaku* record, const CMLVSorunaHit* hit, const std::vector<CMLVCol>& columns,
                          int index);
// The same by field name.
std::string GetFieldText(const CKokyaku& record, const CMLVSorunaHit* hit, std::string_view fieldName);
