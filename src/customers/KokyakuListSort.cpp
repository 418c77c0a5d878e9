#include "customers/KokyakuListSort.h"

#include <algorithm>
#include <numeric>

#include "common/SjisText.h"

ListSortKind SortKindOfField(std::string_view f) {
    static constexpr std::string_view kIntegers[] = {"ID",          "Sex",        "EntryType", "CustomerType",
                                                     "ClosingDate", "ClosingDay", "TaxMethod", "ColorMark"};
    static constexpr std::string_view kDates[] = {"StartDate", "LastUpDate", "BirthDay", "RirekiUpDate"};
    for (auto n : kIntegers)
        if (f == n) return ListSortKind::Integer;
    for (auto n : kDates)
        if (f == n) return ListSortKind::Date;
    if (f == "回数" || f == "日数") return ListSortKind::HitInteger;
    if (f == "日時" || f == "金額") return ListSortKind::HitNumber;
    return ListSortKind::Text;
}

std::u32string CFoldedTextOrder::Fold(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = NextCodePoint(utf8, pos);
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
        else if (c >= U'Ａ' && c <= U'Ｚ') c += U'ａ' - U'Ａ';
        out.push_back(c);
    }
    return out;
}

std::vector<uint32_t> CFoldedTextOrder::Ranks(const std::vector<std::string>& texts) const {
    std::vector<std::u32string> folded;
    folded.reserve(texts.size());
    for (const auto& t : texts) folded.push_back(Fold(t));
    std::vector<uint32_t> idx(texts.size());
    std::iota(idx.begin(), idx.end(), 0u);
    std::sort(idx.begin(), idx.end(), [&](uint32_t a, uint32_t b) { return folded[a] < folded[b]; });
    std::vector<uint32_t> ranks(texts.size());
    uint32_t rank = 0;
    for (std::size_t i = 0; i < idx.size(); ++i) {
        if (i > 0 && folded[idx[i]] != folded[idx[i - 1]]) rank = static_cast<uint32_t>(i);
        ranks[idx[i]] = rank;
    }
    return ranks;
}

std::vector<std::size_t> SortedRowOrder(ListSortKind kind, std::vector<CListSortKey> keys, bool ascending,
                                        const ITextOrder& textOrder) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto sortBy = [&](auto less) { std::stable_sort(order.begin(), order.end(), less); };

    switch (kind) {
    case ListSortKind::Integer:
        sortBy([&](std::size_t a, std::size_t b) { return keys[a].integer < keys[b].integer; });
        break;
    case ListSortKind::Date:
        sortBy([&](std::size_t a, std::size_t b) {
            if (keys[a].present != keys[b].present) return !keys[a].present;
            return keys[a].present && keys[a].number < keys[b].number;
        });
        break;
    case ListSortKind::HitInteger:
        sortBy([&](std::size_t a, std::size_t b) {
            if (!keys[a].present || !keys[b].present) return !keys[a].present && keys[b].present;
            return keys[a].integer < keys[b].integer;
        });
        break;
    case ListSortKind::HitNumber:
        sortBy([&](std::size_t a, std::size_t b) {
            if (!keys[a].present || !keys[b].present) return !keys[a].present && keys[b].present;
            return keys[a].number < keys[b].number;
        });
        break;
    case ListSortKind::Text: {
        std::vector<std::string> texts;
        texts.reserve(keys.size());
        for (auto& k : keys) texts.push_back(std::move(k.text));
        std::vector<uint32_t> ranks = textOrder.Ranks(texts);
        sortBy([&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
        break;
    }
    }
    if (!ascending) std::reverse(order.begin(), order.end());
    return order;
}
