#include "db/JetSql.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "common/DateTime.h"

namespace {

// ------------------------------------------------------------------ tokens

enum class Tok { Space, Word, Number, String, Name, Date, Op, LParen, RParen, Comma, Dot };

struct Token {
    Tok kind;
    std::string text;  // words, numbers, operators as written; strings and names decoded; dates rendered
};

bool IsWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(unsigned char c) { return IsWordStart(c) || IsDigit(c); }
bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

bool Fail(std::string* error, std::string why) {
    if (error) *error = std::move(why);
    return false;
}

// Reads digits at text[pos..]; returns the number of digits read (at most max).
size_t ReadDigits(std::string_view text, size_t pos, int* value, size_t max = 9) {
    size_t n = 0;
    int v = 0;
    while (pos + n < text.size() && n < max && IsDigit(text[pos + n])) {
        v = v * 10 + (text[pos + n] - '0');
        ++n;
    }
    *value = v;
    return n;
}

void SkipBlanks(std::string_view text, size_t* pos) {
    while (*pos < text.size() && IsSpace(text[*pos])) ++*pos;
}

// The day count as SQL number text; negative values in parentheses so that
// no "--" comment can appear after a minus sign.
std::string DayCountText(double days) {
    char buf[64];
    if (days == std::floor(days) && std::fabs(days) < 1e15)
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(days));
    else
        std::snprintf(buf, sizeof buf, "%.17g", days);
    return days < 0 ? "(" + std::string(buf) + ")" : std::string(buf);
}

// Contents of a "#...#" literal: "m/d/yyyy", "yyyy/m/d" (or with "-"), an
// optional time "h:mm[:ss] [AM|PM]", or a time alone.
std::optional<double> ParseDateLiteral(std::string_view text) {
    size_t pos = 0;
    SkipBlanks(text, &pos);
    int year = 1899, month = 12, day = 30;
    bool haveDate = false;
    int a = 0;
    size_t na = ReadDigits(text, pos, &a);
    if (na > 0 && pos + na < text.size() && (text[pos + na] == '/' || text[pos + na] == '-')) {
        char sep = text[pos + na];
        pos += na + 1;
        int b = 0, c = 0;
        size_t nb = ReadDigits(text, pos, &b);
        if (nb == 0 || nb > 2 || pos + nb >= text.size() || text[pos + nb] != sep) return std::nullopt;
        pos += nb + 1;
        size_t nc = ReadDigits(text, pos, &c);
        if (nc == 0) return std::nullopt;
        pos += nc;
        if (na >= 3) {  // year first
            if (nc > 2) return std::nullopt;
            year = a, month = b, day = c;
        } else {
            if (nc > 4) return std::nullopt;
            month = a, day = b, year = c;
            if (nc <= 2) year += c < 30 ? 2000 : 1900;
        }
        haveDate = true;
        SkipBlanks(text, &pos);
    }
    int hour = 0, minute = 0, second = 0;
    bool haveTime = false;
    if (pos < text.size()) {
        size_t nh = ReadDigits(text, pos, &hour, 2);
        if (nh == 0 || pos + nh >= text.size() || text[pos + nh] != ':') return std::nullopt;
        pos += nh + 1;
        size_t nm = ReadDigits(text, pos, &minute, 2);
        if (nm == 0) return std::nullopt;
        pos += nm;
        if (pos < text.size() && text[pos] == ':') {
            size_t ns = ReadDigits(text, pos + 1, &second, 2);
            if (ns == 0) return std::nullopt;
            pos += ns + 1;
        }
        SkipBlanks(text, &pos);
        std::string rest = Upper(text.substr(pos));
        while (!rest.empty() && IsSpace(rest.back())) rest.pop_back();
        if (rest == "AM" || rest == "PM") {
            if (hour < 1 || hour > 12) return std::nullopt;
            hour = hour % 12 + (rest == "PM" ? 12 : 0);
        } else if (!rest.empty()) {
            return std::nullopt;
        }
        if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
        haveTime = true;
    }
    if (!haveDate && !haveTime) return std::nullopt;
    CDateTime dt = CDateTime::FromParts(year, month, day, hour, minute, second);
    if (!dt.IsValid()) return std::nullopt;
    return dt.Days();
}

bool Tokenize(std::string_view sql, std::vector<Token>* out, std::string* error) {
    size_t i = 0;
    const size_t n = sql.size();
    auto prevSignificant = [&]() -> const Token* {
        for (auto it = out->rbegin(); it != out->rend(); ++it)
            if (it->kind != Tok::Space) return &*it;
        return nullptr;
    };
    while (i < n) {
        unsigned char c = sql[i];
        if (IsSpace(c)) {
            size_t j = i;
            while (j < n && IsSpace(sql[j])) ++j;
            out->push_back({Tok::Space, std::string(sql.substr(i, j - i))});
            i = j;
        } else if (c == '\'' || c == '"') {
            std::string value;
            size_t j = i + 1;
            for (;;) {
                if (j >= n) return Fail(error, "unterminated string literal at offset " + std::to_string(i));
                if (sql[j] == char(c)) {
                    if (j + 1 < n && sql[j + 1] == char(c)) {
                        value += char(c);
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += sql[j++];
            }
            out->push_back({Tok::String, std::move(value)});
            i = j + 1;
        } else if (c == '[') {
            size_t close = sql.find(']', i + 1);
            if (close == std::string_view::npos)
                return Fail(error, "unterminated bracketed name at offset " + std::to_string(i));
            if (close == i + 1) return Fail(error, "empty bracketed name at offset " + std::to_string(i));
            out->push_back({Tok::Name, std::string(sql.substr(i + 1, close - i - 1))});
            i = close + 1;
        } else if (c == '#') {
            size_t close = sql.find('#', i + 1);
            if (close == std::string_view::npos)
                return Fail(error, "unterminated date literal at offset " + std::to_string(i));
            std::string_view body = sql.substr(i + 1, close - i - 1);
            auto days = ParseDateLiteral(body);
            if (!days) return Fail(error, "invalid date literal #" + std::string(body) + "#");
            out->push_back({Tok::Date, DayCountText(*days)});
            i = close + 1;
        } else if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(sql[i + 1]) &&
                                  !(prevSignificant() && (prevSignificant()->kind == Tok::Word ||
                                                          prevSignificant()->kind == Tok::Name ||
                                                          prevSignificant()->kind == Tok::RParen)))) {
            size_t j = i;
            while (j < n && IsDigit(sql[j])) ++j;
            if (j < n && sql[j] == '.') {
                ++j;
                while (j < n && IsDigit(sql[j])) ++j;
            }
            if (j < n && (sql[j] == 'e' || sql[j] == 'E')) {
                size_t k = j + 1;
                if (k < n && (sql[k] == '+' || sql[k] == '-')) ++k;
                if (k < n && IsDigit(sql[k])) {
                    j = k;
                    while (j < n && IsDigit(sql[j])) ++j;
                }
            }
            if (j < n && IsWordStart(sql[j]))
                return Fail(error, "invalid number at offset " + std::to_string(i));
            out->push_back({Tok::Number, std::string(sql.substr(i, j - i))});
            i = j;
        } else if (IsWordStart(c)) {
            size_t j = i;
            while (j < n && IsWordChar(sql[j])) ++j;
            out->push_back({Tok::Word, std::string(sql.substr(i, j - i))});
            i = j;
        } else if (c == '(') {
            out->push_back({Tok::LParen, "("});
            ++i;
        } else if (c == ')') {
            out->push_back({Tok::RParen, ")"});
            ++i;
        } else if (c == ',') {
            out->push_back({Tok::Comma, ","});
            ++i;
        } else if (c == '.' || c == '!') {
            out->push_back({Tok::Dot, "."});
            ++i;
        } else if (c == '<' || c == '>') {
            size_t len = (i + 1 < n && (sql[i + 1] == '=' || (c == '<' && sql[i + 1] == '>'))) ? 2 : 1;
            out->push_back({Tok::Op, std::string(sql.substr(i, len))});
            i += len;
        } else if (c == '=' || c == '+' || c == '-' || c == '*' || c == '/' || c == '&' || c == ';') {
            out->push_back({Tok::Op, std::string(1, char(c))});
            ++i;
        } else {
            return Fail(error, "unexpected character '" + std::string(1, char(c)) + "' at offset " +
                                   std::to_string(i));
        }
    }
    return true;
}

// ------------------------------------------------------------------ translation

bool IsWord(const Token& t, const char* upperWord) { return t.kind == Tok::Word && Upper(t.text) == upperWord; }

// Words and operators that end an operand of "&": "&" binds below arithmetic
// and above comparison, NOT, AND and OR.
bool EndsConcatOperand(const Token& t) {
    static const char* const kStops[] = {
        "SELECT", "DISTINCT", "DISTINCTROW", "ALL",     "TOP",   "FROM", "WHERE", "GROUP", "BY",  "HAVING",
        "ORDER",  "ASC",      "DESC",        "AS",      "ON",    "INNER", "LEFT", "RIGHT", "OUTER", "JOIN",
        "AND",    "OR",       "XOR",         "EQV",     "IMP",   "NOT",  "LIKE",  "IS",    "BETWEEN", "IN",
        "UNION",  "CASE",     "WHEN",        "THEN",    "ELSE",  "END"};
    switch (t.kind) {
    case Tok::Comma:
        return true;
    case Tok::Op:
        return t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" || t.text == "<=" ||
               t.text == ">=" || t.text == ";";
    case Tok::Word: {
        std::string u = Upper(t.text);
        for (const char* s : kStops)
            if (u == s) return true;
        return false;
    }
    default:
        return false;
    }
}

class Translator {
public:
    explicit Translator(std::vector<Token> tokens) : m_t(std::move(tokens)) {}

    bool Run(std::string* out, std::string* error) {
        if (!MatchParens(error)) return false;
        AnalyseDistinctRows();
        bool ok = Emit(0, m_t.size(), out);
        if (!ok && error) *error = m_error;
        return ok;
    }

private:
    bool MatchParens(std::string* error) {
        m_match.assign(m_t.size(), 0);
        std::vector<size_t> open;
        for (size_t i = 0; i < m_t.size(); ++i) {
            if (m_t[i].kind == Tok::LParen) {
                open.push_back(i);
            } else if (m_t[i].kind == Tok::RParen) {
                if (open.empty()) return Fail(error, "unbalanced ')'");
                m_match[open.back()] = i;
                m_match[i] = open.back();
                open.pop_back();
            }
        }
        if (!open.empty()) return Fail(error, "unbalanced '('");
        return true;
    }

    // Index just past the last token of the level that holds `from`.
    size_t LevelEnd(size_t from) const {
        for (size_t i = from; i < m_t.size(); ++i) {
            if (m_t[i].kind == Tok::LParen)
                i = m_match[i];
            else if (m_t[i].kind == Tok::RParen)
                return i;
        }
        return m_t.size();
    }

    // Comparable form of a token run: names and words upper-cased, no spaces.
    std::string Normalise(size_t b, size_t e) const {
        std::string s;
        for (size_t i = b; i < e; ++i) {
            const Token& t = m_t[i];
            if (t.kind == Tok::Space) continue;
            if (t.kind == Tok::Word || t.kind == Tok::Name) {
                s += '\x01';
                s += Upper(t.text);
            } else {
                s += t.text;
            }
        }
        return s;
    }

    // Splits [b, e) at the commas of its own level.
    std::vector<std::pair<size_t, size_t>> SplitList(size_t b, size_t e) const {
        std::vector<std::pair<size_t, size_t>> parts;
        size_t start = b;
        for (size_t i = b; i < e; ++i) {
            if (m_t[i].kind == Tok::LParen)
                i = m_match[i];
            else if (m_t[i].kind == Tok::Comma) {
                parts.emplace_back(start, i);
                start = i + 1;
            }
        }
        parts.emplace_back(start, e);
        return parts;
    }

    // DISTINCTROW keeps distinct source records. Over one table, or when the
    // rows are grouped by keys that are all selected, every row is already
    // distinct and the keyword is dropped; otherwise it becomes DISTINCT.
    void AnalyseDistinctRows() {
        for (size_t k = 0; k < m_t.size(); ++k) {
            if (!IsWord(m_t[k], "DISTINCTROW")) continue;
            size_t end = LevelEnd(k + 1);
            size_t from = end, fromEnd = end, group = end, groupEnd = end;
            for (size_t i = k + 1; i < end; ++i) {
                const Token& t = m_t[i];
                if (t.kind == Tok::LParen) {
                    i = m_match[i];
                    continue;
                }
                if (t.kind != Tok::Word) continue;
                std::string u = Upper(t.text);
                bool clause = u == "WHERE" || u == "GROUP" || u == "HAVING" || u == "ORDER" || u == "UNION";
                if (u == "FROM" && from == end) {
                    from = i;
                } else if (clause) {
                    if (from != end && fromEnd == end) fromEnd = i;
                    if (group != end && groupEnd == end) groupEnd = i;
                    if (u == "GROUP" && group == end) group = i;
                }
            }
            if (from == end) continue;  // not a query this pass understands: keep DISTINCT
            bool singleTable = true;
            for (size_t i = from + 1; i < fromEnd; ++i)
                if (m_t[i].kind == Tok::Comma || m_t[i].kind == Tok::LParen || IsWord(m_t[i], "JOIN"))
                    singleTable = false;
            bool drop = singleTable;
            if (!drop && group != end) {
                size_t by = group + 1;
                while (by < groupEnd && m_t[by].kind == Tok::Space) ++by;
                if (by < groupEnd && IsWord(m_t[by], "BY")) {
                    std::vector<std::string> selected;
                    for (auto [b, e] : SplitList(k + 1, from)) {
                        for (size_t i = b; i < e; ++i)
                            if (IsWord(m_t[i], "AS")) {
                                e = i;
                                break;
                            }
                        selected.push_back(Normalise(b, e));
                    }
                    drop = true;
                    for (auto [b, e] : SplitList(by + 1, groupEnd))
                        if (std::find(selected.begin(), selected.end(), Normalise(b, e)) == selected.end())
                            drop = false;
                }
            }
            if (drop) m_dropDistinctRow.push_back(k);
        }
    }

    const Token* Significant(size_t i, int step) const {
        for (long j = long(i) + step; j >= 0 && j < long(m_t.size()); j += step)
            if (m_t[j].kind != Tok::Space) return &m_t[j];
        return nullptr;
    }

    // A word before or after "." names a table or a column.
    bool IsQualified(size_t i) const {
        const Token* prev = Significant(i, -1);
        const Token* next = Significant(i, +1);
        return (prev && prev->kind == Tok::Dot) || (next && next->kind == Tok::Dot);
    }

    void Append(std::string* out, const std::string& text) {
        // Never let two tokens form a comment opener.
        if (!out->empty() && !text.empty()) {
            char last = out->back(), first = text.front();
            if ((last == '-' && first == '-') || (last == '/' && first == '*')) *out += ' ';
        }
        *out += text;
    }

    // The text between quote marks, each quote mark in it doubled.
    static std::string Quoted(const std::string& text, char quote) {
        std::string s(1, quote);
        for (char c : text) {
            if (c == quote) s += quote;
            s += c;
        }
        return s + quote;
    }

    bool EmitToken(size_t i, std::string* out) {
        const Token& t = m_t[i];
        if (i == m_skip) return true;
        switch (t.kind) {
        case Tok::String:
            Append(out, Quoted(t.text, '\''));
            return true;
        case Tok::Name:
            Append(out, Quoted(t.text, '"'));
            return true;
        case Tok::Word: {
            std::string u = Upper(t.text);
            if (IsQualified(i)) {
                Append(out, "\"" + t.text + "\"");
            } else if (u == "DISTINCTROW") {
                bool drop = std::find(m_dropDistinctRow.begin(), m_dropDistinctRow.end(), i) !=
                            m_dropDistinctRow.end();
                if (!drop)
                    Append(out, "DISTINCT");
                else if (i + 1 < m_t.size() && m_t[i + 1].kind == Tok::Space)
                    m_skip = i + 1;  // and the blank after it
            } else if (u == "MOD") {
                Append(out, "%");
            } else if (u == "TRUE") {
                Append(out, "(-1)");
            } else if (u == "FALSE") {
                Append(out, "0");
            } else {
                Append(out, t.text);
            }
            return true;
        }
        case Tok::Op:
            // Division is always floating-point in the dialect.
            Append(out, t.text == "/" ? "*1.0/" : t.text);
            return true;
        default:
            Append(out, t.text);
            return true;
        }
    }

    // One item: a token, or a parenthesised group with its contents.
    bool EmitItem(size_t i, std::string* out) {
        if (m_t[i].kind != Tok::LParen) return EmitToken(i, out);
        Append(out, "(");
        if (!Emit(i + 1, m_match[i], out)) return false;
        Append(out, ")");
        return true;
    }

    static bool IsConcat(const Token& t) { return t.kind == Tok::Op && t.text == "&"; }

    // Emits a run of items in which "&" may join operands.
    bool EmitSegment(const std::vector<size_t>& items, std::string* out) {
        bool hasConcat = std::any_of(items.begin(), items.end(), [&](size_t i) { return IsConcat(m_t[i]); });
        if (!hasConcat) {
            for (size_t i : items)
                if (!EmitItem(i, out)) return false;
            return true;
        }
        // "a & b & c" -> jet_concat(a, b, c): Null operands count as empty text.
        size_t first = 0, last = items.size();
        while (first < last && m_t[items[first]].kind == Tok::Space) EmitToken(items[first++], out);
        size_t trailing = last;
        while (trailing > first && m_t[items[trailing - 1]].kind == Tok::Space) --trailing;
        Append(out, "jet_concat(");
        size_t start = first;
        for (size_t k = first; k <= trailing; ++k) {
            if (k < trailing && !IsConcat(m_t[items[k]])) continue;
            size_t b = start, e = k;
            while (b < e && m_t[items[b]].kind == Tok::Space) ++b;
            while (e > b && m_t[items[e - 1]].kind == Tok::Space) --e;
            if (b == e) {
                m_error = "missing operand of '&'";
                return false;
            }
            if (start != first) Append(out, ", ");
            for (size_t x = b; x < e; ++x)
                if (!EmitItem(items[x], out)) return false;
            start = k + 1;
        }
        Append(out, ")");
        for (size_t k = trailing; k < last; ++k) EmitToken(items[k], out);
        return true;
    }

    bool Emit(size_t b, size_t e, std::string* out) {
        std::vector<size_t> segment;
        for (size_t i = b; i < e; ++i) {
            if (EndsConcatOperand(m_t[i]) && !IsQualified(i)) {
                if (!EmitSegment(segment, out)) return false;
                segment.clear();
                if (!EmitToken(i, out)) return false;
                continue;
            }
            segment.push_back(i);
            if (m_t[i].kind == Tok::LParen) i = m_match[i];
        }
        return EmitSegment(segment, out);
    }

    std::vector<Token> m_t;
    std::vector<size_t> m_match;
    std::vector<size_t> m_dropDistinctRow;
    size_t m_skip = SIZE_MAX;
    std::string m_error;
};

// ------------------------------------------------------------------ LIKE

// Decodes one UTF-8 character; a stray byte stands for itself.
inline char32_t NextChar(const unsigned char*& p, const unsigned char* end) {
    unsigned char c = *p++;
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0 || end - p < extra) return c;
    char32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((p[k] & 0xC0) != 0x80) return c;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    p += extra;
    return cp;
}

inline char32_t Fold(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
inline char32_t Unfold(char32_t c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

struct LikeElem {
    enum Kind { Lit, One, Many, Set };
    LikeElem(Kind k, char32_t c = 0) : kind(k), ch(c) {}

    Kind kind;
    char32_t ch;  // folded, for Lit
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool InSet(char32_t c) const {
        for (auto [lo, hi] : ranges)
            if (c >= lo && c <= hi) return true;
        return false;
    }
    bool Matches(char32_t c) const {
        switch (kind) {
        case Lit:
            return Fold(c) == ch;
        case One:
            return true;
        case Set:
            return (InSet(c) || InSet(Fold(c)) || InSet(Unfold(c))) != negate;
        default:
            return false;
        }
    }
};

struct LikePattern {
    std::vector<LikeElem> elems;
    std::string error;
    // Patterns of literals and "%" only are matched as byte strings: the
    // literal runs between the "%" signs, in UTF-8.
    bool literalOnly = false;
    bool anchoredStart = false, anchoredEnd = false;
    std::vector<std::string> runs;
};

void AppendUtf8(std::string* s, char32_t c) {
    if (c < 0x80) {
        *s += char(c);
    } else if (c < 0x800) {
        *s += char(0xC0 | (c >> 6));
        *s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *s += char(0xE0 | (c >> 12));
        *s += char(0x80 | ((c >> 6) & 0x3F));
        *s += char(0x80 | (c & 0x3F));
    } else {
        *s += char(0xF0 | (c >> 18));
        *s += char(0x80 | ((c >> 12) & 0x3F));
        *s += char(0x80 | ((c >> 6) & 0x3F));
        *s += char(0x80 | (c & 0x3F));
    }
}

void PrepareLiteralRuns(LikePattern* pat) {
    for (const LikeElem& e : pat->elems)
        if (e.kind != LikeElem::Lit && e.kind != LikeElem::Many) return;
        // A stray byte decoded as itself cannot be re-encoded faithfully.
        else if (e.kind == LikeElem::Lit && e.ch >= 0x80 && e.ch < 0x100) return;
    pat->literalOnly = true;
    const auto& el = pat->elems;
    pat->anchoredStart = el.empty() || el.front().kind != LikeElem::Many;
    pat->anchoredEnd = el.empty() || el.back().kind != LikeElem::Many;
    std::string run;
    for (const LikeElem& e : el) {
        if (e.kind == LikeElem::Many) {
            if (!run.empty()) pat->runs.push_back(std::move(run));
            run.clear();
        } else {
            AppendUtf8(&run, e.ch);  // ASCII letters folded to lower case
        }
    }
    if (!run.empty() || el.empty()) pat->runs.push_back(std::move(run));
}

inline unsigned char FoldByte(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

inline bool EqualFolded(const unsigned char* t, const std::string& run) {
    for (size_t k = 0; k < run.size(); ++k)
        if (FoldByte(t[k]) != static_cast<unsigned char>(run[k])) return false;
    return true;
}

// Leftmost occurrence of run in [t, end), or nullptr.
const unsigned char* FindFolded(const unsigned char* t, const unsigned char* end, const std::string& run) {
    const size_t n = run.size();
    if (size_t(end - t) < n) return nullptr;
    const unsigned char first = run[0];
    const bool letter = first >= 'a' && first <= 'z';
    for (const unsigned char* last = end - n; t <= last; ++t) {
        if (!letter) {
            t = static_cast<const unsigned char*>(std::memchr(t, first, size_t(last - t) + 1));
            if (!t) return nullptr;
        } else if (FoldByte(*t) != first) {
            continue;
        }
        if (EqualFolded(t, run)) return t;
    }
    return nullptr;
}

bool LiteralMatch(const LikePattern& pat, const unsigned char* t, const unsigned char* end) {
    const auto& runs = pat.runs;
    if (pat.anchoredStart && pat.anchoredEnd && runs.size() == 1)  // no "%" at all
        return size_t(end - t) == runs[0].size() && EqualFolded(t, runs[0]);
    size_t first = 0, last = runs.size();
    if (pat.anchoredStart) {
        if (size_t(end - t) < runs[0].size() || !EqualFolded(t, runs[0])) return false;
        t += runs[0].size();
        first = 1;
    }
    if (pat.anchoredEnd) {
        const std::string& r = runs.back();
        if (size_t(end - t) < r.size() || !EqualFolded(end - r.size(), r)) return false;
        end -= r.size();
        --last;
    }
    for (size_t k = first; k < last; ++k) {
        const unsigned char* at = FindFolded(t, end, runs[k]);
        if (!at) return false;
        t = at + runs[k].size();
    }
    return true;
}

LikePattern* CompileLike(const unsigned char* p, const unsigned char* end) {
    auto pat = std::make_unique<LikePattern>();
    while (p < end) {
        char32_t c = NextChar(p, end);
        if (c == '%') {
            if (pat->elems.empty() || pat->elems.back().kind != LikeElem::Many)
                pat->elems.push_back({LikeElem::Many});
        } else if (c == '_') {
            pat->elems.push_back({LikeElem::One});
        } else if (c == '[') {
            LikeElem set(LikeElem::Set);
            if (p < end && *p == '!') {
                set.negate = true;
                ++p;
            }
            std::vector<char32_t> chars;
            bool closed = false;
            while (p < end) {
                char32_t x = NextChar(p, end);
                if (x == ']') {
                    closed = true;
                    break;
                }
                chars.push_back(x);
            }
            if (!closed) {
                pat->error = "invalid pattern string";
                return pat.release();
            }
            for (size_t k = 0; k < chars.size(); ++k) {
                // "a-z" is a range; a "-" first or last stands for itself.
                if (k + 2 < chars.size() && chars[k + 1] == '-') {
                    if (chars[k] > chars[k + 2]) {
                        pat->error = "invalid pattern string";
                        return pat.release();
                    }
                    set.ranges.emplace_back(chars[k], chars[k + 2]);
                    k += 2;
                } else {
                    set.ranges.emplace_back(chars[k], chars[k]);
                }
            }
            if (set.ranges.empty()) {
                if (set.negate) pat->elems.push_back({LikeElem::One});  // "[!]": any one character
                continue;                                                 // "[]": matches nothing, takes nothing
            }
            pat->elems.push_back(std::move(set));
        } else {
            pat->elems.emplace_back(LikeElem::Lit, Fold(c));
        }
    }
    PrepareLiteralRuns(pat.get());
    return pat.release();
}

// Every element but Many takes exactly one character, so one backtracking
// point (the last Many) is enough.
bool LikeMatch(const LikePattern& pat, const unsigned char* t, const unsigned char* end) {
    if (pat.literalOnly) return LiteralMatch(pat, t, end);
    const LikeElem* e = pat.elems.data();
    const size_t n = pat.elems.size();
    size_t p = 0;
    size_t starP = SIZE_MAX;
    const unsigned char* starT = nullptr;
    for (;;) {
        if (p < n && e[p].kind == LikeElem::Many) {
            starP = ++p;
            starT = t;
            continue;
        }
        if (t == end) break;
        if (p < n) {
            const unsigned char* next = t;
            char32_t c = NextChar(next, end);
            if (e[p].Matches(c)) {
                t = next;
                ++p;
                continue;
            }
        }
        if (starP == SIZE_MAX) return false;
        NextChar(starT, end);
        t = starT;
        p = starP;
    }
    while (p < n && e[p].kind == LikeElem::Many) ++p;
    return p == n;
}

void DeletePattern(void* p) { delete static_cast<LikePattern*>(p); }

void JetLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    // X LIKE Y calls like(Y, X).
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* pat = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (!pat) {
        auto* p = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[0]));
        int len = sqlite3_value_bytes(argv[0]);
        pat = CompileLike(p, p + len);
        sqlite3_set_auxdata(ctx, 0, pat, DeletePattern);
        pat = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (!pat) {  // not kept (the pattern is not a constant): compile per row
            auto* q = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[0]));
            std::unique_ptr<LikePattern> once(CompileLike(q, q + sqlite3_value_bytes(argv[0])));
            if (!once->error.empty()) {
                sqlite3_result_error(ctx, once->error.c_str(), -1);
                return;
            }
            auto* t = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[1]));
            sqlite3_result_int(ctx, LikeMatch(*once, t, t + sqlite3_value_bytes(argv[1])));
            return;
        }
    }
    if (!pat->error.empty()) {
        sqlite3_result_error(ctx, pat->error.c_str(), -1);
        return;
    }
    auto* t = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, LikeMatch(*pat, t, t + sqlite3_value_bytes(argv[1])));
}

// ------------------------------------------------------------------ functions

// The numeric value of an argument; false for text that is not a number.
bool NumericArg(sqlite3_value* v, double* d, sqlite3_int64* i, bool* isInt) {
    int type = sqlite3_value_numeric_type(v);
    if (type == SQLITE_INTEGER) {
        *i = sqlite3_value_int64(v);
        *d = double(*i);
        *isInt = true;
        return true;
    }
    if (type == SQLITE_FLOAT) {
        *d = sqlite3_value_double(v);
        *isInt = false;
        return true;
    }
    return false;
}

void JetInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    double d;
    sqlite3_int64 i;
    bool isInt;
    if (!NumericArg(argv[0], &d, &i, &isInt)) return sqlite3_result_error(ctx, "Int: data type mismatch", -1);
    if (isInt) return sqlite3_result_int64(ctx, i);
    double f = std::floor(d);
    if (f >= -9.2e18 && f <= 9.2e18)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(f));
    else
        sqlite3_result_double(ctx, f);
}

// Day counts of 1/1/100 and 12/31/9999, the range of the dialect's dates.
constexpr double kMinDay = -657434.0;
constexpr double kMaxDay = 2958466.0;

template <int (CDateTime::*Part)() const>
void JetDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    double d;
    sqlite3_int64 i;
    bool isInt;
    CDateTime dt;
    if (NumericArg(argv[0], &d, &i, &isInt)) {
        if (!(d >= kMinDay && d < kMaxDay)) return sqlite3_result_error(ctx, "date out of range", -1);
        dt = CDateTime(d);
    } else {
        auto text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        auto parsed = CDateTime::ParseDate(text ? text : "");
        if (!parsed) return sqlite3_result_error(ctx, "data type mismatch: not a date", -1);
        dt = *parsed;
    }
    sqlite3_result_int(ctx, (dt.*Part)());
}

// "&": text concatenation in which Null counts as empty; Null only when
// every operand is Null.
void JetConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    std::string s;
    bool any = false;
    for (int k = 0; k < argc; ++k) {
        switch (sqlite3_value_type(argv[k])) {
        case SQLITE_NULL:
            continue;
        case SQLITE_INTEGER:
            s += std::to_string(sqlite3_value_int64(argv[k]));
            break;
        case SQLITE_FLOAT: {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(argv[k]));
            s += buf;
            break;
        }
        default:
            s.append(reinterpret_cast<const char*>(sqlite3_value_text(argv[k])),
                     size_t(sqlite3_value_bytes(argv[k])));
            break;
        }
        any = true;
    }
    if (!any) return sqlite3_result_null(ctx);
    sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
}

}  // namespace

std::optional<std::string> TranslateJetSql(std::string_view jet, std::string* error) {
    std::vector<Token> tokens;
    if (!Tokenize(jet, &tokens, error)) return std::nullopt;
    std::string out;
    out.reserve(jet.size() + 32);
    Translator tr(std::move(tokens));
    if (!tr.Run(&out, error)) return std::nullopt;
    return out;
}

bool RegisterJetFunctions(sqlite3* db) {
    if (!db) return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    struct Fn {
        const char* name;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    } const fns[] = {
        {"like", 2, JetLike},
        {"int", 1, JetInt},
        {"year", 1, JetDatePart<&CDateTime::Year>},
        {"month", 1, JetDatePart<&CDateTime::Month>},
        {"day", 1, JetDatePart<&CDateTime::Day>},
        {"jet_concat", -1, JetConcat},
    };
    for (const Fn& f : fns)
        if (sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            return false;
    // A double-quoted identifier that names no column must be an error, not a
    // string: bracketed names are emitted double-quoted.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, static_cast<int*>(nullptr));
    return true;
}
