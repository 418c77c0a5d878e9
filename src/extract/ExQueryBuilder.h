// The extraction query builder: the fields a condition row can name, their
// kinds, value drop-downs and comparisons, the checks of a row with their
// messages, and the statement made from up to three rows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CExCondition;
class CMLVColSet;

// A selectable field: the text shown and the reference the statement uses
// ("" for the two separator lines).
struct ExField {
    std::string display;
    std::string sqlRef;
};

// The catalogue's columns (except the pictures, the numeric phone columns and
// "CommonMail") under "-----（顧客）-----", then the history fields under
// "-----（履歴）-----". Nothing when the set holds no columns.
std::vector<ExField> ExFieldList(const CMLVColSet& set);
// The same from the catalogue of the installation's data folder (nothing when
// it cannot be loaded).
std::vector<ExField> LoadExFieldList(const std::string& installDir);

enum class ExFieldKind { None, Text, Choice, Colour, Number, Date };
ExFieldKind ExKindOf(std::string_view sqlRef);

struct ExOperator {
    const char* display;
    const char* pattern;  // "*" stands for the value
};
// The comparisons offered for a field, in display order (none for kind None).
std::vector<ExOperator> ExOperatorsFor(std::string_view sqlRef);

// The fixed entries of a choice field ("男", "女" ...; the value is the
// position), or nullptr for other fields.
const std::vector<std::string>* ExFixedChoices(std::string_view sqlRef);
// The choice list (ChoiceListNo) that feeds the value drop-down, or -1.
int ExChoiceListOf(std::string_view sqlRef);
// The value drop-down entries: the fixed ones, the choice list's (read from
// the data folder), or none.
std::vector<std::string> ExValueChoices(std::string_view sqlRef, const std::string& installDir);

// The input method of the value box while it has the focus.
enum class ExImeMode { Off, Hiragana, HalfKatakana, Unchanged };
ExImeMode ExImeModeFor(std::string_view sqlRef);

// Connectors after rows A and B.
enum ExConnector { kConnAnd = 0, kConnOr = 1, kConnEnd = 2 };
inline constexpr const char* kConnectorTexts[] = {"かつ", "または", "おわり"};

// The editable state of one row.
struct ExRowInput {
    int field = -1;             // index in the field list; -1 none
    std::string value;          // the value box's text
    std::vector<std::string> choices;  // the value drop-down entries
    int colour = -1;            // colour picker entry (ColorMarkEntries); -1 none
    int op = -1;                // index in the row's operator list; -1 none
    int connector = kConnEnd;   // to the next row (rows A and B)
};

// Date values: month mode, day mode, full date. The parsed number (month,
// day) or "#m/d/yyyy#"; nullopt when the text is refused.
enum class ExDateMode { Month, Day, Full };
std::optional<std::string> ExParseDateValue(std::string_view text, ExDateMode mode);

// "SELECT ..." templates and texts.
inline constexpr const char* kExSelectCustomer = "SELECT DISTINCTROW Customer.* ";
inline constexpr const char* kExSelectRireki = "SELECT DISTINCTROW Rireki.* ";
inline constexpr const char* kExFromCustomer = "FROM Customer ";
inline constexpr const char* kExFromRireki = "FROM Rireki ";
inline constexpr const char* kExFromJoin = "FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID ";

class CExQueryBuilder {
public:
    explicit CExQueryBuilder(std::vector<ExField> fields) : m_fields(std::move(fields)) {}

    const std::vector<ExField>& Fields() const { return m_fields; }
    // The reference of a field index ("" when out of range).
    const std::string& RefOf(int field) const;
    // The field index of a reference (exact), -1 when absent.
    int IndexOf(std::string_view sqlRef) const;

    // Checks and builds row 0..2 (A..C): the fragment, or "" when the row is
    // invalid (the person has been told why, with the row's prefix). rowArray
    // receives the reference, the value text and the pattern. A choice value
    // found in the drop-down becomes the row's selection.
    std::string BuildRow(int row, ExRowInput& input, std::vector<std::string>& rowArray) const;

    // Builds the statement from the rows into condition (its DisplayColumns
    // kept): ResultKind, QueryText and the row arrays. False after the
    // messages; the condition then holds no statement.
    bool BuildStatement(std::array<ExRowInput, 3>& rows, int resultKind, CExCondition& condition) const;

private:
    std::vector<ExField> m_fields;
};

// "条件<A>：" etc.
std::string ExRowPrefix(int row);
