#include "customers/KokyakuListCells.h"

#include "analysis/SorunaHit.h"
#include "customers/ColumnText.h"
#include "customers/Kokyaku.h"

namespace {

class CKokyakuCellSource final : public IListCellSource {
public:
    std::string CellText(const CKokyakuListItem& item, const std::vector<CListColumn>& columns,
                         std::size_t column) const override {
        if (!item.record || column >= columns.size()) return {};
        return GetFieldText(*item.record, item.hit, columns[column].field);
    }

    CListSortKey SortKey(const CKokyakuListItem& item, const std::string& field, ListSortKind kind) const override {
        CListSortKey key;
        if (!item.record) {
            key.present = false;
            return key;
        }
        const CKokyaku& rec = *item.record;
        switch (kind) {
        case ListSortKind::Integer:
            if (const KokyakuField* f = FindKokyakuField(field)) key.integer = f->Int(rec);
            break;
        case ListSortKind::Date:
            if (const KokyakuField* f = FindKokyakuField(field)) {
                CDateTime d = f->Date(rec);
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
        case ListSortKind::Text:
            key.text = GetFieldText(rec, item.hit, field);
            break;
        }
        return key;
    }
};

}  // namespace

std::shared_ptr<const IListCellSource> MakeKokyakuCellSource() { return std::make_shared<CKokyakuCellSource>(); }
