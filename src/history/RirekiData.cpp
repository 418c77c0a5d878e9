#include "history/RirekiData.h"

#include "common/SjisText.h"

bool RirekiFitsLimits(const CRirekiData& r) {
    return SjisLength(r.Action) <= kRirekiActionLimit && SjisLength(r.ActionTitle) <= kRirekiActionTitleLimit &&
           SjisLength(r.Keyword) <= kRirekiKeywordLimit && SjisLength(r.TantouName) <= kRirekiTantouLimit;
}
