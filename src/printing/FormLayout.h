// Our layout format for forms (docs/forms.md): an XML document read with
// pugixml into CFormLayout, and the built-in forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "printing/PrintPage.h"

enum class FormItemKind { Text, Postal, Line, Box, Picture, History };

// One column of a history table.
struct CFormColumn {
    std::string field;  // "Date", "ActionTitle", "Action", "Money", "TantouName", "Keyword"
    std::string title;
    double width = 20;  // mm
};

struct CFormItem {
    FormItemKind kind = FormItemKind::Text;
    double x = 0, y = 0, w = 0, h = 0;  // mm, in the label cell or on the page
    std::string text;                   // Text: template with {Field}, {@Pseudo}, {#OWN}; Picture: template of the file
    double size = 10;                   // points; Postal: the digits
    PageFont font = PageFont::Gothic;
    PageAlign align = PageAlign::Left;
    bool vertical = false;
    double lineWidth = 0.2;
    std::vector<CFormColumn> columns;   // History
    double rowHeight = 7;               // History
};

struct CFormLayout {
    int32_t number = 0;
    int32_t second = 0;     // built-in form a user-made form was copied from
    int32_t formType = 1;   // 4: the history of each customer
    std::string title;
    std::string group;      // gallery tab
    bool takesCustomers = true;
    double pageWidth = 210, pageHeight = 297;
    // Label grid: columns × rows cells of cellWidth × cellHeight, the first at
    // (left, top), the next ones every pitchX / pitchY. A form without a grid
    // has one cell, the page.
    int columns = 1, rows = 1;
    double left = 0, top = 0, cellWidth = 0, cellHeight = 0, pitchX = 0, pitchY = 0;
    double bottomMargin = 15;  // history tables stop this far from the bottom
    std::vector<CFormItem> items;

    int CellsPerPage() const { return columns * rows; }
    bool IsLabelSheet() const { return CellsPerPage() > 1; }
};

// Reads a layout; false with a reason in error when the text is not a form.
bool ParseFormLayout(std::string_view xml, CFormLayout& layout, std::string* error = nullptr);
// Writes a layout in the same format.
std::string FormLayoutXml(const CFormLayout& layout);

// The built-in forms in gallery order.
const std::vector<CFormLayout>& BuiltInForms();
const CFormLayout* FindBuiltInForm(int32_t number);

// The seven postal-code boxes of an address side: 5.7 × 8.0 mm, the first
// row `top` mm from the top, the last box `right` mm from the right edge,
// gaps 1.3 mm within the first three, 1.9 mm after them, 1.1 mm within the
// last four. Rectangles as x, y, w, h in mm.
struct CMmRect {
    double x = 0, y = 0, w = 0, h = 0;
};
std::array<CMmRect, 7> PostalBoxes(double pageWidth, double top = 12.0, double right = 8.0);
