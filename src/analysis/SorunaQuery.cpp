#include "analysis/SorunaQuery.h"

#include <algorithm>
#include <cstdio>

#include "common/Ports.h"

namespace {

constexpr const char* kJoin = "FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID ";
constexpr const char* kGroup = "GROUP BY Customer.ID ";
// The grouping and tie order of the statements as run (see SorunaRunStatement).
constexpr const char* kTitleHead = "((Rireki.ActionTitle)='";
constexpr const char* kOrderTail = " DESC";
constexpr const char* kRunGroup = "GROUP BY Rireki.CustomerID ";
constexpr const char* kRunTieOrder = ", Rireki.CustomerID DESC";
constexpr const char* kCustomerSelect = "SELECT Customer.* FROM Customer WHERE ";

std::string TitleCondition(const std::string& title) { return kTitleHead + title + "')"; }
std::string TitleClause(const std::string& title) { return "WHERE " + TitleCondition(title) + " "; }

std::string Printf(const char* fmt, auto... args) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// An empty title may mean every history entry: false when the person says No.
bool AllHistoryConfirmed() {
    return Ports::Prompt().AskYesNo("履歴概要が指定されていません。\nすべての履歴を対象にして調査しますか？",
                                    MsgIcon::Question, Answer::No) == Answer::Yes;
}

// The TOP count as the number of hits, or nullopt after the message.
std::optional<int> TopCount(int top) {
    if (top < 1) {
        ShowMessage("TOP件数は 1 人以上を指定してください");
        return std::nullopt;
    }
    return top;
}

bool EndsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A number within [1, max]: the message for below or above, else true.
bool InRange(int value, int max, const char* below, const char* above) {
    if (value < 1) {
        ShowMessage(below);
        return false;
    }
    if (value > max) {
        ShowMessage(above);
        return false;
    }
    return true;
}

}  // namespace

std::optional<CDateTime> ParseFullDate(std::string_view text) {
    const auto first = text.find('/');
    if (first != 4) return std::nullopt;
    const auto second = text.find('/', first + 1);
    if (second == std::string_view::npos || second < 5) return std::nullopt;
    return CDateTime::ParseDate(text);
}

std::string EscapeLikeValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        if (c == '_' || c == '%' || c == '#' || c == '[') {
            out += '[';
            out += c;
            out += ']';
        } else if (c == '\'') {
            out += "''";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> BuildPeriodCondition(const CPeriodFields& period, SorunaFocus* focus) {
    if (!period.specified) return std::string();
    auto fail = [&](const char* message, SorunaFocus where) -> std::optional<std::string> {
        ShowMessage(message);
        if (focus) *focus = where;
        return std::nullopt;
    };
    if (period.start.empty() && period.end.empty())
        return fail("期間の開始日または終了日のどちらかは設定してください", SorunaFocus::None);
    std::optional<CDateTime> start, end;
    if (!period.start.empty() && !(start = ParseFullDate(period.start)))
        return fail("期間設定の開始日が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。",
                    SorunaFocus::PeriodStart);
    if (!period.end.empty() && !(end = ParseFullDate(period.end)))
        return fail("期間設定の終了日が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。",
                    SorunaFocus::PeriodEnd);
    if (start && end && start->Days() > end->Days())
        return fail("期間設定の開始日と終了日の関係が正しくありません。\n開始日は終了日より前の日付を設定してください。",
                    SorunaFocus::None);
    std::string from = start ? "(Int(Rireki.Date)>=" + start->SqlLiteral() + ")" : "";
    std::string to = end ? "(Int(Rireki.Date)<=" + end->SqlLiteral() + ")" : "";
    if (start && end) return "(" + from + " AND " + to + ")";
    return start ? from : to;
}

bool CheckAmountThreshold(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) {
            ShowMessage("数値は、半角数字、マイナス符号、小数点のみ入力できます");
            return false;
        }
    const auto dot = text.find('.');
    if (dot != std::string_view::npos) {
        if (text.size() - dot - 1 > 2) {
            ShowMessage("入力できる数値は小数点以下２桁までです");
            return false;
        }
        if (text.find('.', dot + 1) != std::string_view::npos) {
            ShowMessage("小数点が複数入力されています");
            return false;
        }
    }
    std::string_view integer = text.substr(0, dot);
    if (integer.find('-', 1) != std::string_view::npos) {
        ShowMessage("入力された数字が不正です");
        return false;
    }
    const bool negative = !integer.empty() && integer[0] == '-';
    if (integer.size() - (negative ? 1 : 0) >= 16) {
        ShowMessage(negative ? "入力された数字が小さすぎます" : "入力された数字が大きすぎます");
        return false;
    }
    if (std::strtod(std::string(text).c_str(), nullptr) == 0) {
        ShowMessage("数値は 0 以外を指定してください");
        return false;
    }
    return true;
}

std::string SorunaRunStatement(const std::string& sql) {
    const std::string_view group = kGroup, title = kTitleHead, order = kOrderTail;
    const auto at = sql.rfind(group);  // after the title's text
    if (sql.find(kJoin) == std::string::npos || sql.find(title) == std::string::npos || at == std::string::npos ||
        !EndsWith(sql, order))
        return sql;
    return sql.substr(0, at) + kRunGroup + sql.substr(at + group.size()) + kRunTieOrder;
}

std::optional<std::string> SorunaUnorderedStatement(const std::string& sql, int kind) {
    std::string run = SorunaRunStatement(sql);
    if (run == sql) return std::nullopt;
    const auto group = run.rfind(kRunGroup);
    const bool neverNull = kind == 1 || kind == 6 || (kind == 3 && run.find("HAVING ", group) != std::string::npos);
    if (!neverNull) return std::nullopt;
    run.resize(run.rfind(" ORDER BY "));
    return run;
}

void SortSorunaHits(int kind, CSorunaHitList& hits, int maxHits) {
    auto before = [kind](const std::unique_ptr<CMLVSorunaHit>& x, const std::unique_ptr<CMLVSorunaHit>& y) {
        const double a = kind == 6 ? x->Money : x->Count, b = kind == 6 ? y->Money : y->Count;
        return a != b ? a > b : x->CustomerID > y->CustomerID;
    };
    if (maxHits > 0 && std::size_t(maxHits) < hits.size()) {
        std::partial_sort(hits.begin(), hits.begin() + maxHits, hits.end(), before);
        hits.resize(std::size_t(maxHits));
    } else {
        std::sort(hits.begin(), hits.end(), before);
    }
}

CSorunaBuild BuildSorunaPage1(const CSorunaPage1& page, SorunaFocus* focus) {
    std::string title;
    if (page.title.empty()) {
        if (!AllHistoryConfirmed()) return std::nullopt;
    } else {
        title = TitleCondition(page.title);
    }
    CSorunaStatement st;
    std::string having;
    if (page.option == 0) {
        if (page.count < 1) {
            ShowMessage("回数は 1 回以上を指定してください");
            return std::nullopt;
        }
        having = Printf("HAVING ((Count(*))>=%d)", page.count);
    } else if (page.option == 1) {
        auto top = TopCount(page.top);
        if (!top) return std::nullopt;
        st.maxHits = *top;
    }
    auto period = BuildPeriodCondition(page.period, focus);
    if (!period) return std::nullopt;

    st.sql = "SELECT DISTINCTROW Customer.ID, Count(*) AS Rirekiのカウント ";
    st.sql += kJoin;
    if (!title.empty() || !period->empty()) {
        st.sql += "WHERE ";
        if (title.empty())
            st.sql += *period;
        else if (period->empty())
            st.sql += title;
        else
            st.sql += "(" + title + " AND " + *period + ")";
        st.sql += " ";
    }
    st.sql += kGroup;
    if (!having.empty()) st.sql += having + " ";
    st.sql += "ORDER BY Count(*) DESC";
    return st;
}

CSorunaBuild BuildSorunaPage2(const CSorunaPage2& page) {
    if (page.title.empty()) {
        ShowMessage("履歴概要を指定してください");
        return std::nullopt;
    }
    CSorunaStatement st;
    std::string having;
    if (page.option == 0) {
        if (page.date.empty()) {
            ShowMessage("日付を指定してください");
            return std::nullopt;
        }
        auto date = ParseFullDate(page.date);
        if (!date) {
            ShowMessage("日付が正しく入力されていません。\nyyyy/mm/dd 形式で入力してください。");
            return std::nullopt;
        }
        having = "HAVING (((Max(Rireki.Date))>=" + date->SqlLiteral() + ")) ";
    } else if (page.option == 1) {
        auto top = TopCount(page.top);
        if (!top) return std::nullopt;
        st.maxHits = *top;
    }
    st.sql = "SELECT DISTINCTROW Customer.ID, Max(Rireki.Date) AS [最新 の RirekiDate] ";
    st.sql += kJoin + TitleClause(page.title) + kGroup + having + "ORDER BY Max(Rireki.Date) DESC";
    return st;
}

CSorunaBuild BuildSorunaPage3(const CSorunaPage3& page, const CDateTime& today) {
    const std::string elapsed = "((" + today.SqlLiteral() + ")-Int(Max([Rireki].[Date])))";
    std::string title;
    if (page.title.empty()) {
        if (!AllHistoryConfirmed()) return std::nullopt;
    } else {
        title = TitleClause(page.title);
    }
    CSorunaStatement st;
    int threshold = 0;
    switch (page.option) {
    case 0:
        if (!InRange(page.days, 1825, "経過日数は 1 日以上を指定してください", "経過日数は 1825 日までを指定してください"))
            return std::nullopt;
        threshold = page.days;
        break;
    case 1:
        if (!InRange(page.months, 60, "経過月数は 1 月以上を指定してください", "経過月数は 60 ヶ月までを指定してください"))
            return std::nullopt;
        threshold = page.months * 30;
        break;
    case 2:
        if (!InRange(page.years, 5, "経過年数は 1 年以上を指定してください", "経過年数は 5 年までを指定してください"))
            return std::nullopt;
        threshold = page.years * 365;
        break;
    case 3: {
        auto top = TopCount(page.top);
        if (!top) return std::nullopt;
        st.maxHits = *top;
        break;
    }
    default: break;
    }
    std::string having = threshold > 0 ? Printf("HAVING (%s>=%d) ", elapsed.c_str(), threshold) : "";
    st.sql = "SELECT DISTINCTROW Customer.ID, " + elapsed + " AS 式1 ";
    st.sql += kJoin + title + kGroup + having + "ORDER BY " + elapsed + " DESC";
    return st;
}

CSorunaBuild BuildSorunaPage4(const CSorunaPage4& page) {
    if (page.placeholder) {
        ShowMessage("DM情報の取得に失敗しました");
        return std::nullopt;
    }
    if (page.dmKey < 0) {
        ShowMessage("DMヒット率を調査するDMタイトルを選択してください");
        return std::nullopt;
    }
    int window = 0;  // 0: no upper bound
    switch (page.option) {
    case 0:
        if (!InRange(page.days, 1825, "日数を正しく入力してください", "日数は1825日以内を設定してください"))
            return std::nullopt;
        window = page.days;
        break;
    case 1:
        if (!InRange(page.weeks, 260, "週数を正しく入力してください", "週数は260週以内を設定してください"))
            return std::nullopt;
        window = page.weeks * 7;
        break;
    case 2:
        if (!InRange(page.months, 60, "月数を正しく入力してください", "月数は60ヶ月以内を設定してください"))
            return std::nullopt;
        window = page.months * 30;
        break;
    case 3:
        if (!InRange(page.years, 5, "年数を正しく入力してください", "年数は5年以内を設定してください"))
            return std::nullopt;
        window = page.years * 365;
        break;
    case 4: break;
    default: ShowMessage("期間を設定してください"); return std::nullopt;
    }
    std::string title;
    if (page.byTitle) {
        if (!page.title.empty())
            title = TitleCondition(page.title);
        else if (Ports::Prompt().AskYesNo("履歴概要が指定されていません。\n指定せずにヒット率を調査しますか？",
                                          MsgIcon::Question, Answer::No) != Answer::Yes)
            return std::nullopt;
    }
    const std::string dm = Printf("(DMList.ID = %d)", page.dmKey);
    const std::string days = "(Int([Rireki].[Date])-Int([DMList].[Date]))";
    const std::string windowCondition =
        window > 0 ? Printf("(%s>=1 And %s<=%d)", days.c_str(), days.c_str(), window) : "(" + days + ">=1)";
    CSorunaStatement st;
    st.sql =
        "SELECT DISTINCTROW Customer.* FROM DMList INNER JOIN ((Customer INNER JOIN DMMng ON Customer.ID = "
        "DMMng.CustomerID) INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID) ON DMList.ID = DMMng.DMID WHERE ";
    if (!title.empty()) st.sql += title + " AND ";
    st.sql += dm + " AND " + windowCondition;
    return st;
}

CSorunaBuild BuildSorunaPage5(const std::vector<CAreaAddress>& addresses) {
    if (addresses.empty()) {
        ShowMessage("抽出する住所がリストに追加されていません。\n少なくとも一つはリストに追加してください。");
        return std::nullopt;
    }
    auto close = [](std::string& part) {
        if (EndsWith(part, " OR ")) part.replace(part.size() - 4, 4, "))");
    };
    CSorunaStatement st;
    st.sql = kCustomerSelect;
    for (const CAreaAddress& a : addresses) {
        std::string code;
        for (char c : a.zip)
            if (c >= '0' && c <= '9') code += c;
        const std::string full = a.prefecture + a.city + a.town + a.rest;
        const std::string brief = a.city + a.town + a.rest;
        if (code.empty() && full.empty() && brief.empty()) continue;
        std::string office = "(((Customer.EntryType)=0) AND (";
        std::string home = "(((Customer.EntryType)=1) AND (";
        if (!code.empty()) {
            const std::string head = code.substr(0, 3), tail = code.size() > 3 ? code.substr(3) : "";
            office += "((Customer.Zip_Office) Like '" + head + "%" + tail + "') OR ";
            home += "((Customer.Zip_Home) Like '" + head + "%" + tail + "') OR ";
        }
        if (!full.empty()) {
            office += "(([Add1_Office] & [Add2_Office] & [Add3_Office]) Like '" + full + "%') OR ";
            home += "(([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '" + full + "%') OR ";
        }
        if (!brief.empty()) {
            office += "(([Add1_Office] & [Add2_Office] & [Add3_Office]) Like '" + brief + "%')))";
            home += "(([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '" + brief + "%')))";
        }
        close(office);
        close(home);
        st.sql += office + " OR " + home + " OR ";
    }
    if (EndsWith(st.sql, " OR ")) st.sql.resize(st.sql.size() - 4);
    return st;
}

CSorunaBuild BuildSorunaPage6(const CSorunaPage6& page, SorunaFocus* focus) {
    std::string title;
    if (page.title.empty()) {
        if (!AllHistoryConfirmed()) return std::nullopt;
    } else {
        title = TitleCondition(page.title);
    }
    const int m = page.measure >= 0 && page.measure <= 2 ? page.measure : 0;
    const std::string& threshold = page.thresholds[m];
    if (!CheckAmountThreshold(threshold)) return std::nullopt;
    static const char* const kFunction[] = {"Sum", "Max", "Avg"};
    static const char* const kAlias[] = {"合計", "最高", "平均"};
    const std::string value = std::string(kFunction[m]) + "(Rireki.Money)";
    const std::string extra = m == 2 ? "((Rireki.Money)<>0)" : "";
    auto period = BuildPeriodCondition(page.period, focus);
    if (!period) return std::nullopt;

    CSorunaStatement st;
    st.maxHits = 0;
    st.sql = "SELECT DISTINCTROW Customer.ID, " + value + " AS " + kAlias[m] + " " + kJoin;
    if (!extra.empty() || !title.empty() || !period->empty()) {
        st.sql += "WHERE ";
        if (!extra.empty()) st.sql += extra + " AND ";
        if (!title.empty()) st.sql += title + " AND ";
        st.sql += *period;
        if (EndsWith(st.sql, "AND ")) st.sql.resize(st.sql.size() - 4);
    }
    st.sql += kGroup;
    st.sql += "HAVING ((" + value + ")>=" + threshold + ") ";
    st.sql += "ORDER BY " + value + " DESC";
    return st;
}

CSorunaBuild BuildSorunaPage7(const std::vector<std::string>& names) {
    if (names.empty()) {
        ShowMessage("検索する名前がリストに追加されていません。\n少なくとも1つはリストに追加してください。");
        return std::nullopt;
    }
    if (names.size() > 5) {
        ShowMessage("リストに登録されている数が多すぎます。\n5個以下にしてください。");
        return std::nullopt;
    }
    static const char* const kColumns[] = {"MainMerchant1", "MainMerchant2", "MainMerchant3", "MainMerchant4",
                                           "MainMerchant5", "Bank1",         "Bank2"};
    CSorunaStatement st;
    st.sql = kCustomerSelect;
    for (const std::string& name : names) {
        const std::string value = EscapeLikeValue(name);
        std::string part = "(";
        for (const char* column : kColumns) {
            if (part.size() > 1) part += " OR ";
            part += "((Customer.";
            part += column;
            part += ") Like '" + value + "%')";
        }
        st.sql += part + ") OR ";
    }
    st.sql.resize(st.sql.size() - 4);
    return st;
}
