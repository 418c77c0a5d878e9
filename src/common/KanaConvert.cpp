#include "common/KanaConvert.h"

#include "common/SjisText.h"

namespace {

// Half-width forms of the full-width katakana U+30A1 (ァ) to U+30F6 (ヶ).
// Each entry is the base letter followed by "ﾞ" or "ﾟ" where needed.
constexpr const char* kKatakana[] = {
    "ｧ", "ｱ", "ｨ", "ｲ", "ｩ", "ｳ", "ｪ", "ｴ", "ｫ", "ｵ",          // ァアィイゥウェエォオ
    "ｶ", "ｶﾞ", "ｷ", "ｷﾞ", "ｸ", "ｸﾞ", "ｹ", "ｹﾞ", "ｺ", "ｺﾞ",    // カガキギクグケゲコゴ
    "ｻ", "ｻﾞ", "ｼ", "ｼﾞ", "ｽ", "ｽﾞ", "ｾ", "ｾﾞ", "ｿ", "ｿﾞ",    // サザシジスズセゼソゾ
    "ﾀ", "ﾀﾞ", "ﾁ", "ﾁﾞ", "ｯ", "ﾂ", "ﾂﾞ", "ﾃ", "ﾃﾞ", "ﾄ", "ﾄﾞ",  // タダチヂッツヅテデトド
    "ﾅ", "ﾆ", "ﾇ", "ﾈ", "ﾉ",                                   // ナニヌネノ
    "ﾊ", "ﾊﾞ", "ﾊﾟ", "ﾋ", "ﾋﾞ", "ﾋﾟ", "ﾌ", "ﾌﾞ", "ﾌﾟ",          // ハバパヒビピフブプ
    "ﾍ", "ﾍﾞ", "ﾍﾟ", "ﾎ", "ﾎﾞ", "ﾎﾟ",                           // ヘベペホボポ
    "ﾏ", "ﾐ", "ﾑ", "ﾒ", "ﾓ",                                   // マミムメモ
    "ｬ", "ﾔ", "ｭ", "ﾕ", "ｮ", "ﾖ",                              // ャヤュユョヨ
    "ﾗ", "ﾘ", "ﾙ", "ﾚ", "ﾛ",                                   // ラリルレロ
    "ﾜ", "ﾜ", "ｲ", "ｴ", "ｦ", "ﾝ",                              // ヮワヰヱヲン
    "ｳﾞ", "ｶ", "ｹ",                                            // ヴヵヶ
};
constexpr char32_t kFirstKatakana = 0x30A1;
constexpr char32_t kLastKatakana = 0x30F6;
static_assert(sizeof(kKatakana) / sizeof(kKatakana[0]) == kLastKatakana - kFirstKatakana + 1);

const char* Punctuation(char32_t cp) {
    switch (cp) {
    case 0x3001: return "､";  // 、
    case 0x3002: return "｡";  // 。
    case 0x300C: return "｢";  // 「
    case 0x300D: return "｣";  // 」
    case 0x30FB: return "･";  // ・
    case 0x30FC: return "ｰ";  // ー
    case 0x309B: return "ﾞ";  // ゛
    case 0x309C: return "ﾟ";  // ゜
    case 0x30F7: return "ﾜﾞ";  // ヷ
    case 0x30FA: return "ｦﾞ";  // ヺ
    default: return nullptr;
    }
}

bool IsHiragana(char32_t cp) { return cp >= 0x3041 && cp <= 0x3096; }
bool IsFullKatakana(char32_t cp) { return cp >= 0x30A1 && cp <= 0x30FA; }
bool IsHalfKatakana(char32_t cp) { return cp >= 0xFF66 && cp <= 0xFF9F; }

}  // namespace

std::string ToHalfWidthKatakana(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        char32_t cp = NextCodePoint(utf8, pos);
        // Hiragana sit 0x60 below their katakana; ゕ and ゖ map to ヵ and ヶ.
        if (IsHiragana(cp))
            cp += 0x60;
        if (cp >= kFirstKatakana && cp <= kLastKatakana) {
            out += kKatakana[cp - kFirstKatakana];
        } else if (const char* p = Punctuation(cp)) {
            out += p;
        } else {
            out.append(utf8.substr(start, pos - start));
        }
    }
    return out;
}

bool IsKanaOnly(std::string_view utf8) {
    if (utf8.empty())
        return false;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (!IsHiragana(cp) && !IsFullKatakana(cp) && !IsHalfKatakana(cp) && cp != 0x30FC)
            return false;
    }
    return true;
}
