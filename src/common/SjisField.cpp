#include "common/SjisField.h"

#include <cstdio>

#include "common/Ports.h"
#include "common/SjisText.h"

namespace {

// The text without the characters Shift-JIS cannot hold; the first of them
// goes to refused when it is still empty.
std::string Representable(std::string_view text, std::optional<std::string>& refused) {
    if (!FirstNonSjisChar(text)) return std::string(text);
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        NextCodePoint(text, pos);
        const std::string_view ch = text.substr(start, pos - start);
        if (FirstNonSjisChar(ch)) {
            if (!refused) refused = std::string(ch);
        } else {
            out.append(ch);
        }
    }
    return out;
}

}  // namespace

std::string NonSjisMessage(const std::string& ch) {
    return "「" + ch + "」は登録できない文字です。\n別の文字に置き換えてください。";
}

std::string LimitMessage(int limit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d文字(ﾊﾞｲﾄ)以内で入力してください", limit);
    return buf;
}

SjisFieldFit FitSjisField(std::string_view before, std::string_view after, int limit) {
    SjisFieldFit fit;
    fit.before = Representable(before, fit.refused);
    fit.after = Representable(after, fit.refused);
    if (limit <= 0) return fit;
    const std::size_t max = static_cast<std::size_t>(limit);
    const std::size_t afterBytes = SjisLength(fit.after);
    if (SjisLength(fit.before) + afterBytes <= max) return fit;
    if (afterBytes <= max) {
        fit.before = SjisTruncate(fit.before, max - afterBytes);
    } else {
        fit.after = SjisTruncate(fit.before + fit.after, max);
        fit.before.clear();
    }
    return fit;
}

std::string SjisFieldProblem(std::string_view text, int limit, const std::string& limitMessage) {
    if (auto ch = FirstNonSjisChar(text)) return NonSjisMessage(*ch);
    if (limit > 0 && SjisLength(text) > static_cast<std::size_t>(limit))
        return limitMessage.empty() ? LimitMessage(limit) : limitMessage;
    return std::string();
}

bool CheckSjisField(std::string_view text, int limit, const std::string& limitMessage) {
    const std::string problem = SjisFieldProblem(text, limit, limitMessage);
    if (problem.empty()) return true;
    ShowMessage(problem);
    return false;
}
