#include "customers/KokyakuListColumns.h"

#include <cstdio>

#include "common/Ports.h"
#include "common/SjisText.h"

namespace {
std::string WidthKey(std::size_t position) {
    char key[32];
    std::snprintf(key, sizeof key, "colwidth%zu", position);
    return key;
}
}  // namespace

bool IsHitColumn(std::string_view f) { return f == "回数" || f == "日時" || f == "日数" || f == "金額"; }

bool IsRightAlignedColumn(std::string_view f) { return f == "金額" || f == "回数" || f == "日数"; }

std::vector<int> ColumnWidths(const std::vector<std::string>& fields, ColumnWidthMode mode,
                              const std::vector<int>& given) {
    std::vector<int> widths;
    widths.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        switch (mode) {
        case ColumnWidthMode::Stored: {
            int w = Ports::Profile().GetInt(kKListSection, WidthKey(i), 100);
            widths.push_back(w < 1 ? 20 : w);
            break;
        }
        case ColumnWidthMode::Extraction:
            widths.push_back(150);
            break;
        case ColumnWidthMode::Given:
            widths.push_back(i < given.size() ? given[i] : 150);
            break;
        }
    }
    return widths;
}

void StoreColumnWidths(const std::vector<std::string>& fields, const std::vector<int>& widths) {
    std::size_t position = 0;
    for (std::size_t i = 0; i < fields.size() && i < widths.size(); ++i) {
        if (IsHitColumn(fields[i])) continue;
        Ports::Profile().WriteInt(kKListSection, WidthKey(position++), widths[i]);
    }
}

std::string CutToWidth(std::string_view text, int width, const std::function<int(std::string_view)>& measure) {
    if (measure(text) <= width) return std::string(text);
    // Character boundaries: bounds[k] is the byte length of the first k characters.
    std::vector<std::size_t> bounds{0};
    for (std::size_t pos = 0; pos < text.size();) {
        NextCodePoint(text, pos);
        bounds.push_back(pos);
    }
    auto fits = [&](std::size_t k) {
        std::string candidate(text.substr(0, bounds[k]));
        candidate += "...";
        return measure(candidate) <= width;
    };
    // Widths grow with the prefix: find the longest prefix that fits.
    std::size_t lo = 0, hi = bounds.size() - 1;
    while (lo < hi) {
        std::size_t mid = (lo + hi + 1) / 2;
        if (fits(mid)) lo = mid;
        else hi = mid - 1;
    }
    std::string out(text.substr(0, bounds[lo]));
    out += "...";
    return out;
}
