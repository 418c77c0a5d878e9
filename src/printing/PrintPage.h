// Pages of drawing items in millimetres: what a form becomes once it is
// filled with customers. The widgets paint them on a printer, a preview or a
// PDF file; nothing here knows about a device.
#pragma once

#include <string>
#include <vector>

enum class PageItemKind { Text, Line, Rect, Picture };

enum class PageFont { Gothic, Mincho };

enum class PageAlign { Left, Center, Right };

struct CPageItem {
    PageItemKind kind = PageItemKind::Text;
    // Text and Picture: the box; Rect: the rectangle; Line: from (x, y) to (x + w, y + h).
    double x = 0, y = 0, w = 0, h = 0;
    std::string text;      // Text: one line, or one glyph of a vertical column; Picture: file path
    double size = 10;      // Text: font size in points
    PageFont font = PageFont::Gothic;
    PageAlign align = PageAlign::Left;  // Text: horizontally in the box (vertically always centred)
    bool turned = false;   // Text: glyph turned a quarter clockwise (vertical writing)
    double lineWidth = 0.2;  // Line and Rect, mm
    bool previewOnly = false;  // drawn on screen, never printed (postal boxes)
};

struct CPrintPage {
    double width = 210, height = 297;  // mm
    std::vector<CPageItem> items;
};

inline constexpr double kMmPerPoint = 25.4 / 72.0;
