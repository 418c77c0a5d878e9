#include "customers/ColumnText.h"

#include <string>

#include "analysis/SorunaHit.h"
#include "common/DateTime.h"
#include "customers/Kokyaku.h"

namespace {

const std::string kNone;

std::string AnalysisText(const CMLVSorunaHit* hit, std::string_view name) {
    if (!hit) return std::string();
    if (name == kColCount || name == kColDays) return std::to_string(hit->Count);
    if (name == kColDate) return hit->Date.Format("%Y/%m/%d");
    return FormatAmount(hit->Money);
}

const std::string& TextOf(const CKokyaku& record, std::string_view fieldName) {
    const KokyakuField* field = FindKokyakuField(fieldName);
    return field && field->IsText() ? field->Text(record) : kNone;
}

std::string JoinedAddress(const CKokyaku& record, const std::array<int, 3>& parts) {
    std::string out;
    for (int part : parts) out += KokyakuFields()[static_cast<std::size_t>(part)].Text(record);
    return out;
}

// The text of a coded value; values without their own text take the text of
// the code the display falls back to.
std::string CodedText(const KokyakuField& field, int32_t value) {
    const std::string_view name = field.name;
    if (name == "Sex") value = value == 1 ? 1 : 0;
    else if (name == "EntryType") value = value == 0 ? 0 : 1;
    else if (name == "CustomerType") value = value == 1 ? 1 : 0;
    else if (name == "TaxMethod" && (value < 0 || value > 3)) value = 4;
    const char* text = field.CodeText(value);
    return text ? text : std::string();
}

}  // namespace

bool IsAnalysisColumn(std::string_view name) {
    return name == kColCount || name == kColDays || name == kColDate || name == kColAmount;
}

std::string GetFieldText(const CKokyaku& record, const CMLVSorunaHit* hit, std::string_view name) {
    if (IsAnalysisColumn(name)) return AnalysisText(hit, name);
    if (const std::array<int, 3>* parts = JoinedAddressParts(name)) return JoinedAddress(record, *parts);

    const KokyakuField* field = FindKokyakuField(name);
    if (!field || (field->flags & kFieldPhoneNum)) return std::string();

    if (name == "ClosingDate") {
        int32_t v = field->Int(record);
        return v >= 1 && v <= 12 ? std::to_string(v) : std::string();
    }
    if (name == "ClosingDay") {
        int32_t v = field->Int(record);
        return (v >= 1 && v <= 31) || v == 99 ? std::to_string(v) : std::string();
    }
    if (name == "CommonMail") {
        int32_t v = field->Int(record);
        return v >= 1 && v <= 5 ? TextOf(record, "EMail" + std::to_string(v)) : std::string();
    }

    switch (field->kind) {
        case KokyakuFieldKind::Text:
            return field->Text(record);
        case KokyakuFieldKind::Integer:
            return std::to_string(field->Int(record));
        case KokyakuFieldKind::Coded:
            return CodedText(*field, field->Int(record));
        case KokyakuFieldKind::Date:
            return field->Date(record).Format("%Y/%m/%d");
        case KokyakuFieldKind::Colour: {
            const char* text = field->CodeText(field->Int(record));
            return text ? text : std::string();
        }
        case KokyakuFieldKind::Number:
            break;
    }
    return std::string();
}

std::string GetColumnText(const CKokyaku* record, const CMLVSorunaHit* hit, const std::vector<CMLVCol>& columns,
                          int index) {
    if (!record || index < 0 || index >= static_cast<int>(columns.size())) return std::string();
    return GetFieldText(*record, hit, columns[index].fieldName);
}
