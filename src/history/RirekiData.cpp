#include "history/RirekiData.h"

#include "common/SjisText.h"

bool RirekiFitsLimits(const CRirekiData& r) {
    return SjisLength(r.Action) <= kRirekiActionLimit && SjisLength(r.ActionTitle) <= kRirekiActionTitleLimit &&
           SjisLength(r.Keyword) <= kRirekiKeywordLimit && SjisLength(r.TantouName) <= kRirekiTantouLimit;
}

CDateTime HistoryDate(const CDateTime& at) {
    if (!at.IsValid()) return at;
    return CDateTime::FromParts(at.Year(), at.Month(), at.Day(), at.Hour(), at.Minute());
}
