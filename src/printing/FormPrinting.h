// Printing customers on a form, with the "フォーム印刷" history entry.
#pragma once

#include <cstdint>
#include <vector>

#include "printing/FormPages.h"

class CMilvaneDoc;
struct CKokyaku;
struct CRirekiCustomerEntries;

// Prints the customers on the form; for type 4 forms histories (may be null)
// gives each customer's entries, else each customer's whole history is read.
// With recordHistory a "フォーム印刷" entry goes to every printed customer.
// Returns the preview component's result (non-zero = printed or saved).
int PrintForms(CMilvaneDoc& doc, const std::vector<const CKokyaku*>& customers, int32_t layout, int32_t second,
               int32_t formType, bool recordHistory, const std::vector<CRirekiRefs>* histories = nullptr);
// The same for keys of the document's customer list (unknown keys skipped).
int PrintFormsByKeys(CMilvaneDoc& doc, const std::vector<uint32_t>& keys, int32_t layout, int32_t second,
                     int32_t formType, bool recordHistory);

// "印刷..." of the customer list: asks, lets the person choose the form and
// prints. Returns true when history entries were recorded.
bool PrintSelectedCustomers(CMilvaneDoc& doc, const std::vector<const CKokyaku*>& selected);

// "印刷..." of the history list: selectedRows selected rows, grouped by
// customer. Type 4 forms print only the selected entries of each customer.
void PrintSelectedRireki(CMilvaneDoc& doc, const std::vector<CRirekiCustomerEntries>& selected, int selectedRows);
