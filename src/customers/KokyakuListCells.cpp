#include "customers/KokyakuListCells.h"

#include "analysis/SorunaHit.h"
#include "customers/ColumnText.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuRow.h"

namespace {

// The kept fields of a row as a record (the others empty), for the display
// rules that read several fields. One scratch record serves every call.
const CKokyaku& Unpacked(const CKokyakuRow& row) {
    static thread_local CKokyaku scratch;
    scratch = CKokyaku();
    row.Unpack(scratch);
    return scratch;
}

class CKokyakuCellSource final : public IListCellSource {
    // A sort asks for one field row after row, on one or two threads.
    static int IndexOf(const std::string& field) {
        static thread_local std::string last;
        static thread_local int index = -1;
        if (field != last) {
            last = field;
            index = KokyakuFieldIndex(field);
        }
        return index;
    }

public:
    std::string CellText(const CKokyakuListItem& item, const std::vector<CListColumn>& columns,
                         std::size_t column) const override {
        if (!item.row || column >= columns.size()) return {};
        return GetFieldText(Unpacked(*item.row), item.hit, columns[column].field);
    }

    std::string_view SortText(const CKokyakuListItem& item, const std::string& field,
                              std::string& storage) const override {
        if (item.row) {
            const CKokyakuRow& row = *item.row;
            const int index = IndexOf(field);
            if (row.Keeps(index) && KokyakuFields()[static_cast<std::size_t>(index)].IsText()) return row.Text(index);
            // A joined address from its three kept parts.
            if (const std::array<int, 3>* parts = JoinedAddressParts(field)) {
                const auto [p1, p2, p3] = *parts;
                if (row.Keeps(p1) && row.Keeps(p2) && row.Keeps(p3)) {
                    const std::string_view a = row.Text(p1), b = row.Text(p2), c = row.Text(p3);
                    // Parts packed one after another are the joined text already.
                    if (a.data() + a.size() == b.data() && b.data() + b.size() == c.data())
                        return {a.data(), a.size() + b.size() + c.size()};
                    storage.assign(a).append(b).append(c);
                    return storage;
                }
            }
            // Coded values and other joined fields go through the display rule.
            storage = GetFieldText(Unpacked(row), item.hit, field);
        } else {
            storage.clear();
        }
        return storage;
    }

    void Prefetch(const CKokyakuListItem& item, int stage) const override {
        if (stage == 0) __builtin_prefetch(item.row);
        else if (item.row) item.row->Prefetch();
    }

    bool SortTextFromRow(const std::string& field) const override {
        if (JoinedAddressParts(field)) return true;
        const int index = IndexOf(field);
        return index >= 0 && KokyakuFields()[static_cast<std::size_t>(index)].IsText();
    }

    CListSortKey SortKey(const CKokyakuListItem& item, const std::string& field, ListSortKind kind) const override {
        CListSortKey key;
        if (!item.row) {
            key.present = false;
            return key;
        }
        const CKokyakuRow& row = *item.row;
        const int index = IndexOf(field);
        switch (kind) {
        case ListSortKind::Integer:
            if (index == 0) key.integer = row.ID;
            else if (row.Keeps(index)) key.integer = row.Int(index);
            break;
        case ListSortKind::Date:
            if (row.Keeps(index)) {
                CDateTime d = row.Date(index);
                key.present = d.IsValid();
                key.number = d.Days();
            }
            break;
        case ListSortKind::HitInteger:
            key.present = item.hit != nullptr;
            if (item.hit) key.integer = item.hit->Count;
            break;
        case ListSortKind::HitNumber:
            key.present = item.hit != nullptr;
            if (item.hit) key.number = field == "金額" ? item.hit->Money : item.hit->Date.Days();
            break;
        case ListSortKind::Text: {
            std::string storage;
            key.text = SortText(item, field, storage);
            break;
        }
        }
        return key;
    }
};

}  // namespace

std::shared_ptr<const IListCellSource> MakeKokyakuCellSource() { return std::make_shared<CKokyakuCellSource>(); }
