// The statements of the seven customer analyses. Each builder reads the
// fields of one page, checks them in order (telling the person through the
// prompt port and stopping at the first failure) and gives the statement with
// the number of hits to take.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/SorunaHit.h"
#include "common/DateTime.h"

// The field a failed check puts the focus on.
enum class SorunaFocus { None, PeriodStart, PeriodEnd };

struct CSorunaStatement {
    std::string sql;
    int maxHits = -1;  // QuerySoruna: -1 or 0 all hits, N the first N
};

// Results of the builders: a statement, or nothing after the message.
using CSorunaBuild = std::optional<CSorunaStatement>;

// The statement as it is run. A statement of a title grouping the joined
// history by the customer's key groups it by the history's key instead,
// equal through the join: the engine then takes the groups in the order of
// the title index (title, customer, date, amount) instead of sorting every
// entry. Its ties (equal values) are ordered by descending key, as the
// sorted grouping gives them, so the rows, their values and their order
// stay the same. Other statements are returned as they are.
std::string SorunaRunStatement(const std::string& sql);

// The run statement of an analysis of kind (1, 2, 3 or 6) without its
// order, when the hits' values sort in memory as the engine orders them:
// values that are never NULL, i.e. counts (1), amounts (6) and elapsed days
// under a threshold (3). The engine's sort of every group is the larger part
// of the run; the hits are then put in order by SortSorunaHits. nullopt for
// the others.
std::optional<std::string> SorunaUnorderedStatement(const std::string& sql, int kind);
// The hits of SorunaUnorderedStatement in the run statement's order (value
// descending, then key descending); the first maxHits when it is positive.
void SortSorunaHits(int kind, CSorunaHitList& hits, int maxHits);

// "/" at position 4, a second "/" after it, then a real date.
std::optional<CDateTime> ParseFullDate(std::string_view text);
// A value for a Like pattern: "_", "%", "#", "[" in brackets, "'" doubled.
std::string EscapeLikeValue(std::string_view value);

struct CPeriodFields {
    bool specified = false;  // 指定する
    std::string start;
    std::string end;
};

// 1 お得意様は誰？
struct CSorunaPage1 {
    std::string title;
    int option = 0;  // 0 N 回以上, 1 TOP, 2 all
    int count = 1;
    int top = 10;
    CPeriodFields period;
};
// 2 ”旬”な顧客は誰？
struct CSorunaPage2 {
    std::string title;
    int option = 0;  // 0 date 以降, 1 TOP, 2 all
    std::string date;
    int top = 10;
};
// 3 アプローチ候補は誰？
struct CSorunaPage3 {
    std::string title;
    int option = 0;  // 0 days, 1 months, 2 years, 3 TOP, 4 all
    int days = 1;
    int months = 1;
    int years = 1;
    int top = 10;
};
// 4 DMヒット率分析
struct CSorunaPage4 {
    int dmKey = -1;         // the chosen DM title; -1 none chosen
    bool placeholder = false;  // the "no sent DM" line is chosen
    int option = 4;         // 0 days, 1 weeks, 2 months, 3 years, 4 no limit; -1 none
    int days = 1;
    int weeks = 1;
    int months = 1;
    int years = 1;
    bool byTitle = true;    // 履歴概要 が登録されている顧客
    std::string title;
};
// One line of page 5's address list.
struct CAreaAddress {
    std::string zip;  // 〒 column
    std::string prefecture;
    std::string city;
    std::string town;
    std::string rest;
    bool operator==(const CAreaAddress&) const = default;
};
// 6 履歴金額について
struct CSorunaPage6 {
    std::string title;
    int measure = 0;  // 0 sum, 1 maximum, 2 average
    std::string thresholds[3] = {"0", "0", "0"};
    CPeriodFields period;
};

// Period condition, "" when the period is not specified; nullopt after a
// message (focus names the field).
std::optional<std::string> BuildPeriodCondition(const CPeriodFields& period, SorunaFocus* focus = nullptr);
// Threshold of page 6; false after its message.
bool CheckAmountThreshold(std::string_view text);

CSorunaBuild BuildSorunaPage1(const CSorunaPage1& page, SorunaFocus* focus = nullptr);
CSorunaBuild BuildSorunaPage2(const CSorunaPage2& page);
// today: the day the elapsed days are counted to.
CSorunaBuild BuildSorunaPage3(const CSorunaPage3& page, const CDateTime& today);
CSorunaBuild BuildSorunaPage4(const CSorunaPage4& page);
// The customer-list target of page 5 (needs at least one address).
CSorunaBuild BuildSorunaPage5(const std::vector<CAreaAddress>& addresses);
CSorunaBuild BuildSorunaPage6(const CSorunaPage6& page, SorunaFocus* focus = nullptr);
CSorunaBuild BuildSorunaPage7(const std::vector<std::string>& names);
