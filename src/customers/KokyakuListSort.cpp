#include "customers/KokyakuListSort.h"

#include <algorithm>
#include <numeric>
#include <utility>

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

std::vector<uint32_t> CFoldedTextOrder::Ranks(const std::vector<std::string_view>& texts) const {
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

namespace {

// The rows in ascending order of their keys, equal keys in row order: the
// keys sit beside the row numbers, so that the sort reads memory in order.
template <class Key>
std::vector<std::size_t> OrderByKeys(const std::vector<CListSortKey>& keys, Key keyOf) {
    std::vector<std::pair<decltype(keyOf(keys[0])), std::size_t>> keyed;
    keyed.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) keyed.emplace_back(keyOf(keys[i]), i);
    std::sort(keyed.begin(), keyed.end());  // the row number makes it stable
    std::vector<std::size_t> order;
    order.reserve(keyed.size());
    for (const auto& k : keyed) order.push_back(k.second);
    return order;
}

// Rows by rank (ranks below the largest plus one), equal ranks in row order:
// a counting sort, as ranks are places among the texts.
std::vector<std::size_t> OrderByRanks(const std::vector<uint32_t>& ranks) {
    const uint32_t top = ranks.empty() ? 0 : *std::max_element(ranks.begin(), ranks.end());
    std::vector<std::size_t> start(static_cast<std::size_t>(top) + 2, 0);
    for (uint32_t r : ranks) ++start[static_cast<std::size_t>(r) + 1];
    for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    std::vector<std::size_t> order(ranks.size());
    for (std::size_t row = 0; row < ranks.size(); ++row) order[start[ranks[row]]++] = row;
    return order;
}

}  // namespace

std::vector<std::size_t> SortedTextOrder(const std::vector<std::string_view>& texts, bool ascending,
                                         const ITextOrder& textOrder) {
    return SortedRankOrder(textOrder.Ranks(texts), ascending);
}

std::vector<std::size_t> SortedRankOrder(const std::vector<uint32_t>& ranks, bool ascending) {
    std::vector<std::size_t> order = OrderByRanks(ranks);
    if (!ascending) std::reverse(order.begin(), order.end());
    return order;
}

std::vector<std::size_t> SortedRowOrder(ListSortKind kind, std::vector<CListSortKey> keys, bool ascending,
                                        const ITextOrder& textOrder) {
    std::vector<std::size_t> order;
    if (keys.empty()) return order;
    switch (kind) {
    case ListSortKind::Integer:
        order = OrderByKeys(keys, [](const CListSortKey& k) { return k.integer; });
        break;
    case ListSortKind::Date:
        // Unset dates first; set ones by their value.
        order = OrderByKeys(keys, [](const CListSortKey& k) { return std::pair(k.present, k.present ? k.number : 0.0); });
        break;
    case ListSortKind::HitInteger:
        // Rows without hits first, equal among themselves.
        order = OrderByKeys(keys, [](const CListSortKey& k) { return std::pair(k.present, k.present ? k.integer : 0); });
        break;
    case ListSortKind::HitNumber:
        order = OrderByKeys(keys, [](const CListSortKey& k) { return std::pair(k.present, k.present ? k.number : 0.0); });
        break;
    case ListSortKind::Text: {
        std::vector<std::string_view> texts;
        texts.reserve(keys.size());
        for (const auto& k : keys) texts.push_back(k.text);
        return SortedTextOrder(texts, ascending, textOrder);
    }
    }
    if (!ascending) std::reverse(order.begin(), order.end());
    return order;
}
