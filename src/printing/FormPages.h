// Filling a form with customers: the layout and the records become pages of
// drawing items.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "printing/FormLayout.h"
#include "printing/PrintPage.h"

struct CKokyaku;
struct CRirekiData;

using CRirekiRefs = std::vector<const CRirekiData*>;

struct CFormFillData {
    std::map<std::string, std::string> own;  // own-company values by file stem ("COM", "TATEADD", ...)
    std::string pictureDir;                  // folder of the customers' pictures
};

// The value of a template: {Field} is the field's display text, {@Zip}
// "123-4567", {@Address1} / {@Address2} the first two and the third address
// parts (home, or the office when the home address is empty), {@Company} the
// company name, {#STEM} an own-company value. customer may be null (sample
// or own-company forms).
std::string FillTemplate(std::string_view text, const CKokyaku* customer, const CFormFillData& data);

// The pages of a form for the customers in order. histories (type 4 forms)
// gives each customer's entries; without it those tables stay empty. A form
// that takes no customers gives one page, every cell filled with the
// own-company values.
std::vector<CPrintPage> BuildFormPages(const CFormLayout& layout, std::span<const CKokyaku* const> customers,
                                       const std::vector<CRirekiRefs>* histories, const CFormFillData& data);

// Lays a text out in a column from the top of the box (centred in it for
// PageAlign::Center), one glyph per cell, shrinking the size when the column
// would overflow. Appends the items.
void LayVertical(const std::string& text, double x, double y, double w, double h, double size, PageFont font,
                 PageAlign align, std::vector<CPageItem>& out);
