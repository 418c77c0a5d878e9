#include "printing/FormPages.h"

#include <algorithm>

#include "common/DateTime.h"
#include "common/SjisText.h"
#include "customers/ColumnText.h"
#include "customers/Kokyaku.h"
#include "history/RirekiData.h"
#include "printing/VerticalText.h"

namespace {

constexpr double kMinSize = 5.0;

// Whether a filled template holds nothing but blanks and a postal mark.
bool IsBlank(const std::string& s) {
    for (const std::string& ch : SplitChars(s))
        if (ch != " " && ch != "\t" && ch != "　" && ch != "〒") return false;
    return true;
}

// Drops trailing blanks (an empty suffix leaves one after the name).
std::string TrimEnd(std::string s) {
    for (;;) {
        if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
        else if (s.size() >= 3 && s.compare(s.size() - 3, 3, "　") == 0) s.resize(s.size() - 3);
        else return s;
    }
}

bool UsesHome(const CKokyaku& k) {
    return !k.Zip_Home.empty() || !k.Add1_Home.empty() || !k.Add2_Home.empty() || !k.Add3_Home.empty();
}

std::string FormatZip(std::string zip) {
    std::string digits;
    for (char c : zip)
        if (c >= '0' && c <= '9') digits += c;
    if (digits.size() == 7) return digits.substr(0, 3) + "-" + digits.substr(3);
    return zip;
}

std::string PseudoField(std::string_view name, const CKokyaku& k) {
    bool home = UsesHome(k);
    if (name == "Zip") return FormatZip(home ? k.Zip_Home : k.Zip_Office);
    if (name == "Address1") return home ? k.Add1_Home + k.Add2_Home : k.Add1_Office + k.Add2_Office;
    if (name == "Address2") return home ? k.Add3_Home : k.Add3_Office;
    if (name == "Company") return k.CompName;
    return {};
}

// Estimated width in mm of a horizontal line: full-width characters take an
// em, single-byte ones half.
double TextWidth(const std::string& text, double size) {
    double em = size * kMmPerPoint;
    double w = 0;
    for (const std::string& ch : SplitChars(text)) w += SjisLength(ch) == 1 ? em * 0.5 : em;
    return w;
}

std::string OneLine(std::string s) {
    for (size_t at; (at = s.find("\r\n")) != std::string::npos;) s.replace(at, 2, " ");
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return s;
}

std::string HistoryCell(const CRirekiData& r, const std::string& field) {
    if (field == "Date") return r.Date.Format("%Y/%m/%d");
    if (field == "ActionTitle") return r.ActionTitle;
    if (field == "Action") return OneLine(r.Action);
    if (field == "Money") return FormatAmount(r.Money);
    if (field == "TantouName") return r.TantouName;
    if (field == "Keyword") return r.Keyword;
    return {};
}

CPageItem TextItem(const std::string& text, double x, double y, double w, double h, double size, PageFont font,
                   PageAlign align) {
    CPageItem t;
    t.kind = PageItemKind::Text;
    t.text = text;
    t.x = x, t.y = y, t.w = w, t.h = h;
    double fit = w > 0 ? std::min(size, size * w / std::max(TextWidth(text, size), 1e-6)) : size;
    t.size = std::max(kMinSize, fit);
    t.font = font;
    t.align = align;
    return t;
}

CPageItem LineItem(double x1, double y1, double x2, double y2, double width) {
    CPageItem l;
    l.kind = PageItemKind::Line;
    l.x = x1, l.y = y1, l.w = x2 - x1, l.h = y2 - y1;
    l.lineWidth = width;
    return l;
}

// Draws the items of one cell (all but history tables) with its origin at (ox, oy).
void FillCell(const CFormLayout& layout, const CKokyaku* customer, const CFormFillData& data, double ox, double oy,
              std::vector<CPageItem>& out) {
    for (const CFormItem& item : layout.items) {
        switch (item.kind) {
        case FormItemKind::Text: {
            std::string text = TrimEnd(FillTemplate(item.text, customer, data));
            if (IsBlank(text)) break;
            if (item.vertical)
                LayVertical(text, ox + item.x, oy + item.y, item.w, item.h, item.size, item.font, item.align, out);
            else
                out.push_back(TextItem(text, ox + item.x, oy + item.y, item.w, item.h, item.size, item.font,
                                       item.align));
            break;
        }
        case FormItemKind::Postal: {
            auto boxes = PostalBoxes(layout.cellWidth, item.y, item.x);
            std::string digits;
            for (char c : FillTemplate(item.text, customer, data))
                if (c >= '0' && c <= '9') digits += c;
            for (size_t i = 0; i < boxes.size(); ++i) {
                CPageItem box;
                box.kind = PageItemKind::Rect;
                box.x = ox + boxes[i].x, box.y = oy + boxes[i].y, box.w = boxes[i].w, box.h = boxes[i].h;
                box.lineWidth = 0.3;
                box.previewOnly = true;
                out.push_back(box);
                if (i < digits.size())
                    out.push_back(TextItem(digits.substr(i, 1), box.x, box.y, box.w, box.h, item.size,
                                           PageFont::Gothic, PageAlign::Center));
            }
            break;
        }
        case FormItemKind::Line:
            out.push_back(LineItem(ox + item.x, oy + item.y, ox + item.x + item.w, oy + item.y + item.h,
                                   item.lineWidth));
            break;
        case FormItemKind::Box: {
            CPageItem box;
            box.kind = PageItemKind::Rect;
            box.x = ox + item.x, box.y = oy + item.y, box.w = item.w, box.h = item.h;
            box.lineWidth = item.lineWidth;
            out.push_back(box);
            break;
        }
        case FormItemKind::Picture: {
            std::string name = FillTemplate(item.text, customer, data);
            if (name.empty()) break;
            CPageItem pic;
            pic.kind = PageItemKind::Picture;
            pic.x = ox + item.x, pic.y = oy + item.y, pic.w = item.w, pic.h = item.h;
            pic.text = name.find('/') == std::string::npos && !data.pictureDir.empty()
                           ? data.pictureDir + "/" + name
                           : name;
            out.push_back(pic);
            break;
        }
        case FormItemKind::History: break;
        }
    }
}

// Pages of one customer of a form with history tables.
void HistoryPages(const CFormLayout& layout, const CKokyaku* customer, const CRirekiRefs* entries,
                  const CFormFillData& data, std::vector<CPrintPage>& pages) {
    const CFormItem* table = nullptr;
    for (const CFormItem& item : layout.items)
        if (item.kind == FormItemKind::History) table = &item;
    size_t next = 0;
    size_t count = entries ? entries->size() : 0;
    do {
        CPrintPage page{layout.pageWidth, layout.pageHeight, {}};
        FillCell(layout, customer, data, 0, 0, page.items);
        if (table) {
            double width = 0;
            for (const CFormColumn& c : table->columns) width += c.width;
            double y = table->y;
            auto row = [&](auto cellText, double size) {
                double x = table->x;
                for (size_t c = 0; c < table->columns.size(); ++c) {
                    std::string text = cellText(table->columns[c]);
                    if (!text.empty())
                        page.items.push_back(TextItem(text, x + 1, y, table->columns[c].width - 2, table->rowHeight,
                                                      size, table->font,
                                                      table->columns[c].field == "Money" ? PageAlign::Right
                                                                                         : PageAlign::Left));
                    x += table->columns[c].width;
                }
                y += table->rowHeight;
                page.items.push_back(LineItem(table->x, y, table->x + width, y, 0.15));
            };
            page.items.push_back(LineItem(table->x, y, table->x + width, y, 0.3));
            row([](const CFormColumn& c) { return c.title; }, table->size);
            while (next < count && y + table->rowHeight <= layout.pageHeight - layout.bottomMargin) {
                const CRirekiData& r = *(*entries)[next++];
                row([&](const CFormColumn& c) { return HistoryCell(r, c.field); }, table->size);
            }
            double x = table->x;
            page.items.push_back(LineItem(x, table->y, x, y, 0.2));
            for (const CFormColumn& c : table->columns) {
                x += c.width;
                page.items.push_back(LineItem(x, table->y, x, y, 0.2));
            }
        }
        pages.push_back(std::move(page));
    } while (next < count);
}

}  // namespace

std::string FillTemplate(std::string_view text, const CKokyaku* customer, const CFormFillData& data) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('{', i);
        size_t close = open == std::string_view::npos ? open : text.find('}', open);
        if (close == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        std::string_view name = text.substr(open + 1, close - open - 1);
        if (!name.empty() && name[0] == '#') {
            auto it = data.own.find(std::string(name.substr(1)));
            if (it != data.own.end()) out += it->second;
        } else if (customer && !name.empty() && name[0] == '@') {
            out += PseudoField(name.substr(1), *customer);
        } else if (customer) {
            out += GetFieldText(*customer, nullptr, name);
        }
        i = close + 1;
    }
    return out;
}

void LayVertical(const std::string& text, double x, double y, double w, double h, double size, PageFont font,
                 PageAlign align, std::vector<CPageItem>& out) {
    std::vector<CVerticalGlyph> glyphs = VerticalGlyphs(text);
    if (glyphs.empty()) return;
    double cell = size * kMmPerPoint;
    if (cell * glyphs.size() > h) {
        cell = h / glyphs.size();
        size = std::max(kMinSize, cell / kMmPerPoint);
        cell = size * kMmPerPoint;
    }
    double left = x + (w - cell) / 2;
    double top = align == PageAlign::Center ? y + (h - cell * glyphs.size()) / 2 : y;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const CVerticalGlyph& g = glyphs[i];
        if (g.text == "　") continue;
        CPageItem t;
        t.kind = PageItemKind::Text;
        t.text = g.text;
        t.x = left, t.y = top + cell * i, t.w = cell, t.h = cell;
        t.size = size;
        t.font = font;
        t.align = PageAlign::Center;
        t.turned = g.turned;
        if (g.upperRight) {
            // The horizontal glyph sits low and left in its cell.
            bool punct = g.text == "、" || g.text == "。" || g.text == "，" || g.text == "．";
            double shift = cell * (punct ? 0.55 : 0.12);
            t.x += shift;
            t.y -= shift;
        }
        out.push_back(std::move(t));
    }
}

std::vector<CPrintPage> BuildFormPages(const CFormLayout& layout, std::span<const CKokyaku* const> customers,
                                       const std::vector<CRirekiRefs>* histories, const CFormFillData& data) {
    std::vector<CPrintPage> pages;
    if (!layout.takesCustomers) {
        CPrintPage page{layout.pageWidth, layout.pageHeight, {}};
        for (int cell = 0; cell < layout.CellsPerPage(); ++cell) {
            double ox = layout.IsLabelSheet() ? layout.left + (cell % layout.columns) * layout.pitchX : 0;
            double oy = layout.IsLabelSheet() ? layout.top + (cell / layout.columns) * layout.pitchY : 0;
            FillCell(layout, nullptr, data, ox, oy, page.items);
        }
        pages.push_back(std::move(page));
        return pages;
    }
    if (customers.empty()) return pages;
    if (layout.formType == 4) {
        for (size_t i = 0; i < customers.size(); ++i)
            HistoryPages(layout, customers[i], histories && i < histories->size() ? &(*histories)[i] : nullptr,
                         data, pages);
        return pages;
    }
    int perPage = layout.CellsPerPage();
    for (size_t i = 0; i < customers.size(); ++i) {
        int cell = static_cast<int>(i % perPage);
        if (cell == 0) {
            pages.push_back(CPrintPage{layout.pageWidth, layout.pageHeight, {}});
            pages.back().items.reserve(perPage * layout.items.size() * 2);
        }
        double ox = layout.IsLabelSheet() ? layout.left + (cell % layout.columns) * layout.pitchX : 0;
        double oy = layout.IsLabelSheet() ? layout.top + (cell / layout.columns) * layout.pitchY : 0;
        FillCell(layout, customers[i], data, ox, oy, pages.back().items);
    }
    return pages;
}
