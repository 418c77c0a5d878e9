#include "customers/BulkChange.h"

#include <cstdio>

#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/KokyakuEntry.h"

namespace {

constexpr const char* kFields[kBulkChangeFieldCount] = {"ColorMark", "ImportantRanking", "Ranking1", "Ranking2"};
constexpr const char* kLabels[kBulkChangeFieldCount] = {"カラー", "重要度ランキング", "ランク１", "ランク２"};

bool ValidButton(int button) { return button >= 0 && button < kBulkChangeFieldCount; }

std::string Format2(const char* fmt, const std::string& a, const std::string& b) {
    std::string out;
    // The formats hold exactly two "%s".
    std::string f = fmt;
    const auto p1 = f.find("%s");
    const auto p2 = f.find("%s", p1 + 2);
    out = f.substr(0, p1) + a + f.substr(p1 + 2, p2 - p1 - 2) + b + f.substr(p2 + 2);
    return out;
}

}  // namespace

const char* BulkChangeField(int button) { return ValidButton(button) ? kFields[button] : ""; }
const char* BulkChangeDefaultLabel(int button) { return ValidButton(button) ? kLabels[button] : ""; }

BulkOkResult CheckBulkChangeOk(int button, const std::string& label, const std::string& text, int colorIndex) {
    if (!ValidButton(button)) return BulkOkResult::Stay;
    std::string question;
    if (button == 0) {
        const auto& colours = ColorMarkEntries();
        if (colorIndex < 0 || static_cast<std::size_t>(colorIndex) >= colours.size()) {
            ShowMessage("カラーを選択してください。");
            return BulkOkResult::FocusValue;
        }
        question = Format2("選択されている顧客の%sを%sに変更します。\nよろしいですか？", label,
                           colours[colorIndex].name);
    } else {
        if (!CheckSjisField(text, kRankLimit, "半角50文字以内にしてください。")) return BulkOkResult::FocusValue;
        question = Format2("選択されている顧客の%sを「%s」に変更します。\nよろしいですか？", label, text);
    }
    return Ports::Prompt().AskYesNo(question, MsgIcon::Question, Answer::Yes) == Answer::Yes ? BulkOkResult::Accept
                                                                                           : BulkOkResult::Stay;
}

BulkChangeChoice MakeBulkChangeChoice(int button, const std::string& text, int colorIndex) {
    BulkChangeChoice c;
    c.field = BulkChangeField(button);
    if (button == 0) {
        const auto& colours = ColorMarkEntries();
        if (colorIndex >= 0 && static_cast<std::size_t>(colorIndex) < colours.size())
            c.color = colours[colorIndex].color;
    } else {
        c.text = text;
    }
    return c;
}

int RunBulkChange(IBulkChangeScreen& screen, const CDateTime& now) {
    if (screen.IsReadOnly()) {
        ShowMessage("データベースは読取専用です。\n顧客を修正することはできません。\n");
        return 0;
    }
    const std::vector<uint32_t> keys = screen.SelectedKeys();
    if (keys.empty()) {
        ShowMessage("顧客を選択してください。");
        return 0;
    }
    char question[160];
    std::snprintf(question, sizeof question, "選択されている%d件の顧客を一括修正します。よろしいですか？",
                  static_cast<int>(keys.size()));
    if (Ports::Prompt().AskYesNo(question, MsgIcon::Question, Answer::Yes) != Answer::Yes) return 0;
    const std::optional<BulkChangeChoice> choice = screen.RunDialog();
    if (!choice) return 0;

    std::vector<uint32_t> changed;
    const int result = screen.ModifyKokyaku(keys, changed, choice->field, now, choice->text,
                                            static_cast<int32_t>(choice->color));
    for (uint32_t key : changed) screen.UpdateCached(key, *choice, now);
    if (result != -1) screen.RewriteRows(keys);
    switch (result) {
    case 1: ShowMessage("顧客データを一括修正しました。", MsgIcon::Information); break;
    case -1: ShowMessage("顧客データが修正できませんでした。"); break;
    case 10: ShowMessage("一部の顧客データが修正できませんでした。"); break;
    default: break;
    }
    return result;
}
