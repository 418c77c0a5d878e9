// Sorting of the customer list by a clicked column: how each field compares,
// the direction toggle, and the row order computed from per-row keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class ListSortKind {
    Integer,     // stored 32-bit numbers ("ID", "Sex", ... "ColorMark")
    Date,        // "StartDate", "LastUpDate", "BirthDay", "RirekiUpDate"
    Text,        // every other field, by the locale text order
    HitInteger,  // "回数", "日数": the hit's count
    HitNumber,   // "日時", "金額": the hit's 8-byte value as a number
};

ListSortKind SortKindOfField(std::string_view field);

// One row's sort key. Which member counts depends on the kind; present is
// false for an unset date or a row without an analysis hit.
struct CListSortKey {
    bool present = true;
    int64_t integer = 0;
    double number = 0;
    std::string text;
};

// The text order of the list: case-insensitive, as the user's locale sorts.
class ITextOrder {
public:
    virtual ~ITextOrder() = default;
    // The rank of every text in ascending order; texts that compare equal share
    // a rank. The ranks need not be dense.
    virtual std::vector<uint32_t> Ranks(const std::vector<std::string_view>& texts) const = 0;
    // Two texts in the same order as their ranks: below, at or above zero.
    virtual int Compare(std::string_view a, std::string_view b) const = 0;
    // An order of the same kind with nothing kept, for ranking on another thread.
    virtual std::unique_ptr<ITextOrder> Fresh() const = 0;
    // Asks a Ranks running on another thread to give up: it and every later
    // Ranks return no ranks.
    virtual void Stop() const {}
};

// Code point order with Latin letters (ASCII and full-width) folded to lower
// case. Used where no locale collator is installed.
class CFoldedTextOrder final : public ITextOrder {
public:
    std::vector<uint32_t> Ranks(const std::vector<std::string_view>& texts) const override;
    int Compare(std::string_view a, std::string_view b) const override { return Fold(a).compare(Fold(b)); }
    std::unique_ptr<ITextOrder> Fresh() const override { return std::make_unique<CFoldedTextOrder>(); }
    static std::u32string Fold(std::string_view utf8);
};

// Row indexes in sorted order. Ascending keeps the previous order of equal
// rows; descending is the exact reverse of ascending. Unset dates sort before
// set ones; rows without hits compare equal to each other and sort first.
std::vector<std::size_t> SortedRowOrder(ListSortKind kind, std::vector<CListSortKey> keys, bool ascending,
                                        const ITextOrder& textOrder);
// The same for texts alone (ListSortKind::Text).
std::vector<std::size_t> SortedTextOrder(const std::vector<std::string_view>& texts, bool ascending,
                                         const ITextOrder& textOrder);
// The same for texts already ranked.
std::vector<std::size_t> SortedRankOrder(const std::vector<uint32_t>& ranks, bool ascending);

// The shared direction of heading clicks: the first click sorts ascending,
// each further click, on any column, reverses the direction used last.
class CSortToggle {
public:
    bool NextAscending() {
        m_ascending = m_first ? true : !m_ascending;
        m_first = false;
        return m_ascending;
    }

private:
    bool m_first = true;
    bool m_ascending = true;
};
