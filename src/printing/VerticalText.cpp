#include "printing/VerticalText.h"

#include <algorithm>
#include <array>

namespace {

// Decodes one character at i (advancing i); invalid bytes come back as themselves.
char32_t NextChar(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > s.size()) len = 1;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += len;
    return cp;
}

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr std::array<char32_t, 10> kKanjiDigits = {U'〇', U'一', U'二', U'三', U'四',
                                                  U'五', U'六', U'七', U'八', U'九'};

// Full-width forms of U+FF61..U+FF9F.
constexpr std::array<char32_t, 63> kHalfKana = {
    U'。', U'「', U'」', U'、', U'・', U'ヲ', U'ァ', U'ィ', U'ゥ', U'ェ', U'ォ', U'ャ', U'ュ', U'ョ', U'ッ', U'ー',
    U'ア', U'イ', U'ウ', U'エ', U'オ', U'カ', U'キ', U'ク', U'ケ', U'コ', U'サ', U'シ', U'ス', U'セ', U'ソ', U'タ',
    U'チ', U'ツ', U'テ', U'ト', U'ナ', U'ニ', U'ヌ', U'ネ', U'ノ', U'ハ', U'ヒ', U'フ', U'ヘ', U'ホ', U'マ', U'ミ',
    U'ム', U'メ', U'モ', U'ヤ', U'ユ', U'ヨ', U'ラ', U'リ', U'ル', U'レ', U'ロ', U'ワ', U'ン', U'゛', U'゜'};

bool TakesSemiVoiced(char32_t k) { return k >= U'ハ' && k <= U'ホ' && (k - U'ハ') % 3 == 0; }

// Voiced form of k, or 0. Covers カ..ト (every second letter, ツ too), ハ..ホ and ウ.
char32_t Voiced(char32_t k) {
    if (k == U'ウ') return U'ヴ';
    if (k == U'ツ') return U'ヅ';
    if (k >= U'カ' && k <= U'チ' && (k - U'カ') % 2 == 0) return k + 1;
    if (k == U'テ' || k == U'ト') return k + 1;
    if (TakesSemiVoiced(k)) return k + 1;
    return 0;
}

bool IsTurned(char32_t c) {
    static constexpr char32_t kTurned[] = {U'-', U'－', U'ー', U'―', U'‐', U'—', U'−', U'～', U'〜', U'…',
                                           U'(', U')', U'[', U']', U'{', U'}', U'（', U'）', U'［', U'］',
                                           U'｛', U'｝', U'「', U'」', U'『', U'』', U'【', U'】', U'〔', U'〕',
                                           U'〈', U'〉', U'《', U'》', U'＝', U'='};
    return std::find(std::begin(kTurned), std::end(kTurned), c) != std::end(kTurned);
}

bool IsUpperRight(char32_t c) {
    static constexpr char32_t kSmall[] = {U'ぁ', U'ぃ', U'ぅ', U'ぇ', U'ぉ', U'っ', U'ゃ', U'ゅ', U'ょ', U'ゎ',
                                          U'ァ', U'ィ', U'ゥ', U'ェ', U'ォ', U'ッ', U'ャ', U'ュ', U'ョ', U'ヮ',
                                          U'ヵ', U'ヶ', U'、', U'。', U'，', U'．'};
    return std::find(std::begin(kSmall), std::end(kSmall), c) != std::end(kSmall);
}

}  // namespace

std::vector<std::string> SplitChars(std::string_view utf8) {
    std::vector<std::string> out;
    for (size_t i = 0; i < utf8.size();) {
        size_t start = i;
        NextChar(utf8, i);
        out.emplace_back(utf8.substr(start, i - start));
    }
    return out;
}

std::string ToKanjiNumerals(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = NextChar(utf8, i);
        if (c >= U'0' && c <= U'9')
            Append(out, kKanjiDigits[c - U'0']);
        else if (c >= U'０' && c <= U'９')
            Append(out, kKanjiDigits[c - U'０']);
        else
            Append(out, c);
    }
    return out;
}

std::string ToFullWidthDigits(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = NextChar(utf8, i);
        if (c >= U'0' && c <= U'9')
            Append(out, U'０' + (c - U'0'));
        else if (c == U'-')
            Append(out, U'－');
        else
            Append(out, c);
    }
    return out;
}

std::string ToFullWidthKatakana(std::string_view utf8) {
    std::u32string chars;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = NextChar(utf8, i);
        bool voicedMark = c == U'ﾞ' || c == U'゛';
        bool semiMark = c == U'ﾟ' || c == U'゜';
        if ((voicedMark || semiMark) && !chars.empty()) {
            char32_t& prev = chars.back();
            if (voicedMark && Voiced(prev)) {
                prev = Voiced(prev);
                continue;
            }
            if (semiMark && TakesSemiVoiced(prev)) {
                prev += 2;
                continue;
            }
        }
        if (c >= 0xFF61 && c <= 0xFF9F) c = kHalfKana[c - 0xFF61];
        chars += c;
    }
    std::string out;
    for (char32_t c : chars) Append(out, c);
    return out;
}

std::vector<CVerticalGlyph> VerticalGlyphs(std::string_view utf8) {
    std::string text = ToKanjiNumerals(ToFullWidthKatakana(utf8));
    std::vector<CVerticalGlyph> out;
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextChar(text, i);
        if (c == U' ') c = U'　';
        else if (c > 0x20 && c < 0x7F && c != U'-' && c != U'(' && c != U')' && c != U'[' && c != U']')
            c = c - 0x21 + 0xFF01;  // letters and signs stand upright at full width
        CVerticalGlyph g;
        Append(g.text, c);
        g.turned = IsTurned(c);
        g.upperRight = IsUpperRight(c);
        out.push_back(std::move(g));
    }
    return out;
}
