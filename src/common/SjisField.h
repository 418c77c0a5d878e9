// The one rule of every text entry: only characters that Shift-JIS can hold,
// at most a number of Shift-JIS bytes, and a character never split. The
// dialogs apply it while the user types (common/ui/SjisFieldBinding) and
// their plain classes check the finished texts with it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The refusal naming a character that cannot be stored.
std::string NonSjisMessage(const std::string& ch);
// "%d文字(ﾊﾞｲﾄ)以内で入力してください" with the limit.
std::string LimitMessage(int limit);

// An entry's text after an edit, split at the cursor, fitted to the rule.
struct SjisFieldFit {
    std::string before;  // the text before the cursor, as kept
    std::string after;   // the text from the cursor on, as kept
    std::optional<std::string> refused;  // the first character dropped
};
// Drops the characters Shift-JIS cannot hold, then cuts what stands before
// the cursor (what was just typed or pasted) so that the whole takes at most
// limit bytes; when the part after the cursor alone is too long, the whole is
// cut from its end. limit <= 0: no byte limit.
SjisFieldFit FitSjisField(std::string_view before, std::string_view after, int limit);

// The message a finished text earns, "" when it is fine: the refusal of its
// first character Shift-JIS cannot hold, else limitMessage (by default
// LimitMessage) when it takes more than limit bytes (limit <= 0: none).
std::string SjisFieldProblem(std::string_view text, int limit, const std::string& limitMessage = std::string());
// Shows SjisFieldProblem's message; false when there was one.
bool CheckSjisField(std::string_view text, int limit, const std::string& limitMessage = std::string());
