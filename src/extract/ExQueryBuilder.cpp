#include "extract/ExQueryBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "common/DateTime.h"
#include "common/Ports.h"
#include "common/SjisText.h"
#include "customers/ComboData.h"
#include "customers/Kokyaku.h"
#include "customers/KokyakuEntry.h"
#include "customers/MLVColSet.h"
#include "extract/ExCondition.h"

namespace {

constexpr const char* kCustomerSeparator = "-----（顧客）-----";
constexpr const char* kRirekiSeparator = "-----（履歴）-----";

constexpr std::pair<const char*, const char*> kRirekiFields[] = {
    {"日付", "[Rireki].[Date]"},       {"概要", "[Rireki].[ActionTitle]"}, {"詳細", "[Rireki].[Action]"},
    {"金額", "[Rireki].[Money]"},      {"キーワード", "[Rireki].[Keyword]"},
    {"自社担当者", "[Rireki].[TantouName]"},
};

bool LeftOutOfList(std::string_view name) {
    static const std::set<std::string_view> left = {"Picture1", "Picture2", "Picture3",     "Picture4",
                                                    "Picture5", "TEL_Home_X", "TEL_Office_X", "CommonMail"};
    return left.count(name) != 0;
}

// Customer fields of the text kind, by field name.
const std::set<std::string_view>& CustomerTextFields() {
    static const std::set<std::string_view> names = {
        "CustomerID", "Name",        "Yomi",          "Suffix",        "TantouName",    "Zip_Home",
        "Add1_Home",  "Add2_Home",   "Add3_Home",     "TEL_Home",      "FAX_Home",      "CellPhone1",
        "CellPhone2", "CompName",    "CompYomi",      "Section",       "Post",          "Represent",
        "CompType",   "Zip_Office",  "Add1_Office",   "Add2_Office",   "Add3_Office",   "TEL_Office",
        "FAX_Office", "EMail1",      "EMail2",        "EMail3",        "EMail4",        "EMail5",
        "URL1",       "URL2",        "Bank1",         "Bank2",         "PayMethod",     "MainMerchant1",
        "MainMerchant2", "MainMerchant3", "MainMerchant4", "MainMerchant5", "ImportantRanking", "Ranking1",
        "Ranking2",   "Note1",       "Note2",         "Note3",         "Note4",         "Note5",
        "Note6",      "Note7",       "Note8",         "Note9",         "Note10",
    };
    return names;
}

// The field name of "[Customer].[Name]", or "" for anything else.
std::string_view CustomerFieldOf(std::string_view ref) {
    constexpr std::string_view head = "[Customer].[";
    if (ref.size() <= head.size() + 1 || ref.substr(0, head.size()) != head || ref.back() != ']') return {};
    return ref.substr(head.size(), ref.size() - head.size() - 1);
}

const std::vector<ExOperator>& TextOperators() {
    static const std::vector<ExOperator> ops = {
        {"と等しい", " = '*'"},          {"と等しくない", " <> '*'"},       {"で始まる", " Like '*%'"},
        {"で始まらない", " Not Like '*%'"}, {"で終わる", " Like '%*'"},        {"で終わらない", " Not Like '%*'"},
        {"を含む", " Like '%*%'"},       {"を含まない", " Not Like '%*%'"},
    };
    return ops;
}

const std::vector<ExOperator>& CodeIdOperators() {
    static const std::vector<ExOperator> ops = {
        {"より大きい", " > '*'"}, {"以上", " >= '*'"}, {"より小さい", " < '*'"}, {"以下", " <= '*'"}};
    return ops;
}

const std::vector<ExOperator>& ChoiceOperators() {
    static const std::vector<ExOperator> ops = {{"と等しい", " = *"}, {"と等しくない", " <> *"}};
    return ops;
}

const std::vector<ExOperator>& NumberOperators() {
    static const std::vector<ExOperator> ops = {{"と等しい", " = *"}, {"と等しくない", " <> *"},
                                                {"より大きい", " > *"}, {"以上", " >= *"},
                                                {"より小さい", " < *"}, {"以下", " <= *"}};
    return ops;
}

const std::vector<ExOperator>& DateOperators() {
    static const std::vector<ExOperator> ops = {
        {"と等しい", " = *"}, {"と月が等しい", "Month()= *"}, {"と日にちが等しい", "Day()= *"},
        {"と等しくない", " <> *"}, {"より前", " < *"},     {"以前", " <= *"},
        {"より後", " > *"},    {"以降", " >= *"},
    };
    return ops;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

void ReplaceFirst(std::string& text, std::string_view what, std::string_view with) {
    std::size_t pos = text.find(what);
    if (pos != std::string::npos) text.replace(pos, what.size(), with);
}

// The integer at the start of the text (optional sign, digits); 0 otherwise.
long long LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) v = std::min(v * 10 + (text[i] - '0'), 1LL << 40);
    return negative ? -v : v;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The amount checks of "[Rireki].[Money]"; the message, or nullptr.
const char* MoneyProblem(const std::string& v) {
    if (!std::all_of(v.begin(), v.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }))
        return "条件には半角数字、マイナス符号、小数点のみ入力できます";
    const std::size_t dot = v.find('.');
    if (dot != std::string::npos && v.size() - dot - 1 > 2) return "条件に入力できる数値は小数点以下２桁までです";
    const std::string whole = v.substr(0, dot);
    const std::size_t minus = whole.find('-', 1);
    if (minus != std::string::npos) return "条件に入力された数字が不正です";
    const bool negative = !whole.empty() && whole[0] == '-';
    if (!negative && whole.size() >= 14) return "条件に入力された数字が大きすぎます";
    if (negative && whole.size() - 1 >= 10) return "条件に入力された数字が小さすぎます";
    const double value = std::strtod(v.c_str(), nullptr);
    if (value > 1000000000000.0) return "条件に入力された数字が大きすぎます";
    if (value < -100000000.0) return "条件に入力された数字が小さすぎます";
    return nullptr;
}

std::string LikeEscaped(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '_' || c == '%' || c == '#' || c == '[') {
            out += '[';
            out += c;
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::string QuotesDoubled(const std::string& value) {
    std::string out;
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

std::string Decimal(long long v) { return std::to_string(v); }

std::string SixDecimals(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%f", v);
    return buf;
}

}  // namespace

std::vector<ExField> ExFieldList(const CMLVColSet& set) {
    std::vector<ExField> fields;
    if (set.columns.empty()) return fields;
    fields.push_back({kCustomerSeparator, ""});
    for (const CMLVCol& col : set.columns)
        if (!LeftOutOfList(col.fieldName)) fields.push_back({col.label, "[Customer].[" + col.fieldName + "]"});
    fields.push_back({kRirekiSeparator, ""});
    for (const auto& [display, ref] : kRirekiFields) fields.push_back({display, ref});
    return fields;
}

std::vector<ExField> LoadExFieldList(const std::string& installDir) {
    CMLVColSet set(installDir);
    if (!set.Load()) return {};
    return ExFieldList(set);
}

ExFieldKind ExKindOf(std::string_view ref) {
    if (ref == "[Rireki].[TantouName]" || ref == "[Rireki].[ActionTitle]" || ref == "[Rireki].[Keyword]" ||
        ref == "[Rireki].[Action]")
        return ExFieldKind::Text;
    if (ref == "[Rireki].[Money]") return ExFieldKind::Number;
    if (ref == "[Rireki].[Date]") return ExFieldKind::Date;
    const std::string_view name = CustomerFieldOf(ref);
    if (name.empty()) return ExFieldKind::None;
    if (CustomerTextFields().count(name)) return ExFieldKind::Text;
    if (name == "Sex" || name == "EntryType" || name == "CustomerType" || name == "TaxMethod")
        return ExFieldKind::Choice;
    if (name == "ColorMark") return ExFieldKind::Colour;
    if (name == "ClosingDate" || name == "ClosingDay") return ExFieldKind::Number;
    if (name == "StartDate" || name == "LastUpDate" || name == "BirthDay" || name == "RirekiUpDate")
        return ExFieldKind::Date;
    return ExFieldKind::None;
}

std::vector<ExOperator> ExOperatorsFor(std::string_view ref) {
    switch (ExKindOf(ref)) {
    case ExFieldKind::Text: {
        std::vector<ExOperator> ops = TextOperators();
        if (ref == "[Customer].[CustomerID]")
            ops.insert(ops.end(), CodeIdOperators().begin(), CodeIdOperators().end());
        return ops;
    }
    case ExFieldKind::Choice:
    case ExFieldKind::Colour: return ChoiceOperators();
    case ExFieldKind::Number: return NumberOperators();
    case ExFieldKind::Date: return DateOperators();
    case ExFieldKind::None: break;
    }
    return {};
}

const std::vector<std::string>* ExFixedChoices(std::string_view ref) {
    static const std::vector<std::string> sex = {"男", "女"};
    static const std::vector<std::string> entry = {"法人", "個人"};
    static const std::vector<std::string> customer = {"正規顧客", "見込み客"};
    static const std::vector<std::string> suffix = {"様", "御中", "殿"};
    static const std::vector<std::string> tax = {"外税（納品ごと）", "外税（請求時）", "内税", "なし", "未設定"};
    if (ref == "[Customer].[Sex]") return &sex;
    if (ref == "[Customer].[EntryType]") return &entry;
    if (ref == "[Customer].[CustomerType]") return &customer;
    if (ref == "[Customer].[Suffix]") return &suffix;
    if (ref == "[Customer].[TaxMethod]") return &tax;
    return nullptr;
}

int ExChoiceListOf(std::string_view ref) {
    if (ref == "[Customer].[ImportantRanking]") return kListImportant;
    if (ref == "[Customer].[Ranking1]") return kListRank1;
    if (ref == "[Customer].[Ranking2]") return kListRank2;
    if (ref == "[Customer].[PayMethod]") return kListPayMeth;
    if (ref == "[Customer].[CompType]") return kListCompType;
    if (ref == "[Customer].[TantouName]" || ref == "[Rireki].[TantouName]") return kListTantou;
    if (ref == "[Rireki].[ActionTitle]") return kListRirekiType;
    if (ref == "[Rireki].[Keyword]") return kListRirekiWord;
    return -1;
}

std::vector<std::string> ExValueChoices(std::string_view ref, const std::string& installDir) {
    if (const auto* fixed = ExFixedChoices(ref)) return *fixed;
    std::vector<std::string> texts;
    const int listNo = ExChoiceListOf(ref);
    if (listNo < 0) return texts;
    CMLVComboData data(installDir);
    if (!data.Load(listNo)) return texts;
    for (const CMLVComboElem& e : data.entries) texts.push_back(e.text);
    return texts;
}

ExImeMode ExImeModeFor(std::string_view ref) {
    switch (ExKindOf(ref)) {
    case ExFieldKind::Choice:
    case ExFieldKind::Number:
    case ExFieldKind::Date: return ExImeMode::Off;
    case ExFieldKind::Colour:
    case ExFieldKind::None: return ExImeMode::Unchanged;
    case ExFieldKind::Text: break;
    }
    static const std::set<std::string_view> off = {
        "CustomerID", "Zip_Home", "TEL_Home", "FAX_Home", "CellPhone1", "CellPhone2", "Zip_Office", "TEL_Office",
        "FAX_Office", "EMail1",   "EMail2",   "EMail3",   "EMail4",     "EMail5",     "URL1",       "URL2"};
    const std::string_view name = CustomerFieldOf(ref);
    if (off.count(name)) return ExImeMode::Off;
    if (name == "Yomi" || name == "CompYomi") return ExImeMode::HalfKatakana;
    return ExImeMode::Hiragana;
}

std::optional<std::string> ExParseDateValue(std::string_view text, ExDateMode mode) {
    const std::size_t slash = text.find('/');
    if (mode != ExDateMode::Full && slash != 4) {
        if (slash != std::string_view::npos || !AllDigits(text) || text.size() > 9) return std::nullopt;
        const int n = std::atoi(std::string(text).c_str());
        const int top = mode == ExDateMode::Month ? 12 : 31;
        if (n < 1 || n > top) return std::nullopt;
        return std::to_string(n);
    }
    if (slash != 4 || text.find('/', 5) == std::string_view::npos) return std::nullopt;
    const std::optional<CDateTime> date = CDateTime::ParseDate(text);
    if (!date) return std::nullopt;
    switch (mode) {
    case ExDateMode::Month: return std::to_string(date->Month());
    case ExDateMode::Day: return std::to_string(date->Day());
    case ExDateMode::Full: break;
    }
    return date->SqlLiteral();
}

std::string ExRowPrefix(int row) { return std::string("条件<") + char('A' + row) + ">："; }

const std::string& CExQueryBuilder::RefOf(int field) const {
    static const std::string none;
    return field >= 0 && field < static_cast<int>(m_fields.size()) ? m_fields[field].sqlRef : none;
}

int CExQueryBuilder::IndexOf(std::string_view ref) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].sqlRef == ref) return static_cast<int>(i);
    return -1;
}

std::string CExQueryBuilder::BuildRow(int row, ExRowInput& in, std::vector<std::string>& array) const {
    const std::string prefix = ExRowPrefix(row);
    auto refuse = [&](const char* message) {
        ShowMessage(prefix + message);
        return std::string();
    };
    // Checks.
    if (in.field < 0 || in.field >= static_cast<int>(m_fields.size())) return refuse("項目を選択してください");
    const std::string& ref = m_fields[in.field].sqlRef;
    const ExFieldKind kind = ExKindOf(ref);
    if (in.value.empty() && kind != ExFieldKind::Colour) {
        if (kind != ExFieldKind::Text) return refuse("条件を入力または選択してください");
        if (Ports::Prompt().AskYesNo(prefix + "条件が入力されていません。\n空の文字とみなしますがよろしいですか？",
                                     MsgIcon::Question, Answer::Yes) == Answer::No)
            return {};
    }
    int choice = -1;
    if (kind == ExFieldKind::Choice) {
        const auto* fixed = ExFixedChoices(ref);
        if (fixed) {
            auto it = std::find(fixed->begin(), fixed->end(), in.value);
            if (it != fixed->end()) choice = static_cast<int>(it - fixed->begin());
        }
        if (choice < 0) return refuse("条件を選択してください");
    } else if (ref == "[Customer].[ClosingDate]" || ref == "[Customer].[ClosingDay]") {
        if (SjisLength(in.value) > 2) return refuse("条件に入力された数字が大きすぎます");
        const long long n = LeadingInteger(in.value);
        if (ref == "[Customer].[ClosingDate]" && (n < 0 || n > 12)) return refuse("条件には 0 ～12 を設定してください");
        if (ref == "[Customer].[ClosingDay]" && (n < 0 || n > 31) && n != 99)
            return refuse("条件には 0 ～ 31 または 99 を設定してください");
    } else if (ref == "[Rireki].[Money]") {
        if (const char* problem = MoneyProblem(in.value)) return refuse(problem);
    }
    const std::vector<ExOperator> ops = ExOperatorsFor(ref);
    if (in.op < 0 || in.op >= static_cast<int>(ops.size())) return refuse("比較式を選択してください");
    const std::string pattern = ops[in.op].pattern;

    // Build.
    array.clear();
    array.push_back(ref);
    std::string valueText = in.value;
    if (kind == ExFieldKind::Colour) {
        const auto& colours = ColorMarkEntries();
        if (in.colour < 0 || in.colour >= static_cast<int>(colours.size())) return {};
        valueText = Decimal(colours[in.colour].color);
    }
    array.push_back(valueText);
    array.push_back(pattern);

    std::string sqlValue = valueText;
    std::string field = ref;
    switch (kind) {
    case ExFieldKind::Date: {
        const ExDateMode mode = Contains(pattern, "Month") ? ExDateMode::Month
                                : Contains(pattern, "Day") ? ExDateMode::Day
                                                           : ExDateMode::Full;
        std::optional<std::string> parsed = ExParseDateValue(valueText, mode);
        if (!parsed) {
            switch (mode) {
            case ExDateMode::Month:
                return refuse("入力された日付の形式が正しくありません。\n月を指定する場合は 1 ～ 12 "
                              "の数字または、yyyy/mm/dd 形式で入力してください。");
            case ExDateMode::Day:
                return refuse("入力された日付の形式が正しくありません。\n日にちを指定する場合は 1 ～ 31 "
                              "の数字または、yyyy/mm/dd 形式で入力してください。");
            case ExDateMode::Full:
                return refuse("入力された日付の形式が正しくありません。\n日付は yyyy/mm/dd 形式で入力してください。");
            }
        }
        sqlValue = *parsed;
        field = "Int(" + ref + ")";
        break;
    }
    case ExFieldKind::Choice: sqlValue = Decimal(choice); break;
    case ExFieldKind::Text:
        if (Contains(pattern, "Like")) sqlValue = LikeEscaped(sqlValue);
        sqlValue = QuotesDoubled(sqlValue);
        break;
    default: break;
    }
    std::string result = pattern;
    ReplaceFirst(result, "*", sqlValue);

    std::string fragment;
    if (kind == ExFieldKind::Date && (Contains(result, "Month(") || Contains(result, "Day("))) {
        const std::string_view func = Contains(result, "Month(") ? "Month(" : "Day(";
        fragment = result;
        fragment.insert(fragment.find(func) + func.size(), field);
    } else {
        fragment = field + result;
    }
    if (kind == ExFieldKind::Text && !valueText.empty())
        fragment = "(" + fragment + " AND " + ref + " Not Like '')";
    if ((ref == "[Customer].[TEL_Home]" || ref == "[Customer].[TEL_Office]") &&
        (pattern == " = '*'" || pattern == " <> '*'")) {
        const std::string numeric = ref.substr(0, ref.size() - 1) + "_X]";
        const std::string number = SixDecimals(StrTelToINT(valueText));
        if (pattern == " = '*'")
            fragment = "(" + fragment + " OR " + numeric + " = " + number + ")";
        else
            fragment = "(" + fragment + " AND (" + numeric + " <> " + number + " AND " + numeric + " <>0))";
    }
    if (kind == ExFieldKind::Choice) in.value = (*ExFixedChoices(ref))[choice];
    return fragment;
}

bool CExQueryBuilder::BuildStatement(std::array<ExRowInput, 3>& rows, int resultKind, CExCondition& condition) const {
    CExCondition built;
    built.DisplayColumns = condition.DisplayColumns;
    built.ResultKind = resultKind == 1 ? 1 : 0;
    std::vector<std::string>* arrays[3] = {&built.RowA, &built.RowB, &built.RowC};
    std::string fragments[3];
    int used = 0;
    for (int r = 0; r < 3; ++r) {
        if (r > 0 && rows[r - 1].connector == kConnEnd) break;
        fragments[r] = BuildRow(r, rows[r], *arrays[r]);
        if (fragments[r].empty()) {
            ShowMessage(std::string("条件<") + char('A' + r) + ">の設定が不正です");
            return false;
        }
        if (r > 0) arrays[r - 1]->push_back(rows[r - 1].connector == kConnAnd ? "AND" : "OR");
        used = r + 1;
    }
    bool customerField = false, rirekiField = false;
    for (int r = 0; r < used; ++r) {
        customerField |= Contains((*arrays[r])[0], "[Customer].");
        rirekiField |= Contains((*arrays[r])[0], "[Rireki].");
    }
    std::string sql = built.ResultKind == 0 ? kExSelectCustomer : kExSelectRireki;
    if (built.ResultKind == 0)
        sql += rirekiField ? kExFromJoin : kExFromCustomer;
    else
        sql += customerField ? kExFromJoin : kExFromRireki;
    const auto conn = [&](int r) { return std::string(rows[r].connector == kConnAnd ? "AND" : "OR"); };
    if (used == 1)
        sql += "WHERE " + fragments[0];
    else if (used == 2)
        sql += "WHERE " + fragments[0] + " " + conn(0) + " " + fragments[1];
    else
        sql += "WHERE (" + fragments[0] + " " + conn(0) + " " + fragments[1] + ") " + conn(1) + " " + fragments[2];
    built.QueryText = std::move(sql);
    condition = std::move(built);
    return true;
}
