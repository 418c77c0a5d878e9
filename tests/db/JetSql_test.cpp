// Translation of the desktop-database dialect and the functions behind it.
#include "db/JetSql.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>
#include <string>

namespace {

std::string Tr(std::string_view jet) {
    std::string error;
    auto out = TranslateJetSql(jet, &error);
    EXPECT_TRUE(out.has_value()) << jet << ": " << error;
    return out.value_or("");
}

std::string TrError(std::string_view jet) {
    std::string error;
    auto out = TranslateJetSql(jet, &error);
    EXPECT_FALSE(out.has_value()) << jet << " gave " << out.value_or("");
    return error;
}

TEST(JetSqlTranslate, Translations) {
    const std::pair<const char*, const char*> cases[] = {
        // String literals are never rewritten; a doubled quote is written back doubled.
        {"SELECT * FROM Customer WHERE [Customer].[Note1] = 'a & b DISTINCTROW #1/1/2004# [x] Mod / \"q\"'",
         "SELECT * FROM Customer WHERE \"Customer\".\"Note1\" = 'a & b DISTINCTROW #1/1/2004# [x] Mod / \"q\"'"},
        {"[Customer].[Name] = 'O''Neil'", "\"Customer\".\"Name\" = 'O''Neil'"},
        // Double-quoted literals are strings in the dialect, identifiers in SQLite.
        {"x = \"O'Neil\"", "x = 'O''Neil'"},
        {"x = \"say \"\"hi\"\"\"", "x = 'say \"hi\"'"},
        {"[Customer].[Name] Like '%50[%][_]off（株）%'", "\"Customer\".\"Name\" Like '%50[%][_]off（株）%'"},
        // Bracketed and qualified names become quoted identifiers.
        {"Max(Rireki.Date) AS [最新 の RirekiDate]", "Max(\"Rireki\".\"Date\") AS \"最新 の RirekiDate\""},
        {"[a\"b]", "\"a\"\"b\""},
        {"Customer!Name", "\"Customer\".\"Name\""},
        {"Count(*) AS Rirekiのカウント", "Count(*) AS Rirekiのカウント"},  // unqualified words stay
        {"[a] & Rireki.Order", "jet_concat(\"a\", \"Rireki\".\"Order\")"},  // a qualified keyword is a name
        // Date literals become day counts.
        {"Int([Customer].[BirthDay]) = #5/1/2004#", "Int(\"Customer\".\"BirthDay\") = 38108"},
        {"#2004/05/01#", "38108"},
        {"#12/30/1899#", "0"},
        {"#2/29/2000#", "36585"},
        {"#5/1/04#", "38108"},  // two-digit years below 30 are 20xx
        {"#5/1/2004 6:00 PM#", "38108.75"},
        {"x-#12/29/1899#", "x-(-1)"},  // negative counts in parentheses: "-" never meets "-"
        // Concatenation joins whole operands; "&" binds below arithmetic and above comparison.
        {"(([Add1_Home] & [Add2_Home] & [Add3_Home]) Like '東京都%')",
         "((jet_concat(\"Add1_Home\", \"Add2_Home\", \"Add3_Home\")) Like '東京都%')"},
        {"[a] & 1+2 = 'x3'", "jet_concat(\"a\", 1+2) = 'x3'"},
        {"SELECT ([a] & ([b] & 'c')), d", "SELECT (jet_concat(\"a\", (jet_concat(\"b\", 'c')))), d"},
        // Arithmetic.
        {"7/2", "7*1.0/2"},
        {"a - b / c", "a - b *1.0/ c"},
        {"7 Mod 2", "7 % 2"},
        {"x = True OR y = False", "x = (-1) OR y = 0"},
        {"1--1", "1- -1"},  // never a comment
        {"x = .5", "x = .5"},
        // DISTINCTROW: dropped where rows are distinct records already (one table, or grouped by a
        // selected key); DISTINCT where a join or an unselected group key can repeat a row.
        {"SELECT DISTINCTROW Customer.* FROM Customer WHERE [Customer].[Name] Like '山田%'",
         "SELECT \"Customer\".* FROM Customer WHERE \"Customer\".\"Name\" Like '山田%'"},
        {"SELECT DISTINCTROW Customer.* FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID",
         "SELECT DISTINCT \"Customer\".* FROM Customer INNER JOIN Rireki ON \"Customer\".\"ID\" = \"Rireki\".\"CustomerID\""},
        {"SELECT DISTINCTROW Customer.ID, Count(*) AS n FROM Customer INNER JOIN Rireki ON Customer.ID = "
         "Rireki.CustomerID GROUP BY Customer.ID ORDER BY Count(*) DESC",
         "SELECT \"Customer\".\"ID\", Count(*) AS n FROM Customer INNER JOIN Rireki ON \"Customer\".\"ID\" = "
         "\"Rireki\".\"CustomerID\" GROUP BY \"Customer\".\"ID\" ORDER BY Count(*) DESC"},
        {"SELECT DISTINCTROW Count(*) FROM Customer INNER JOIN Rireki ON Customer.ID = Rireki.CustomerID "
         "GROUP BY Customer.ID",
         "SELECT DISTINCT Count(*) FROM Customer INNER JOIN Rireki ON \"Customer\".\"ID\" = "
         "\"Rireki\".\"CustomerID\" GROUP BY \"Customer\".\"ID\""},
    };
    for (const auto& [jet, sqlite] : cases) EXPECT_EQ(Tr(jet), sqlite);
}

TEST(JetSqlTranslate, MalformedTextIsRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"x = 'abc", "unterminated string"},       {"[Customer].[Name", "unterminated bracketed name"},
        {"[] = 1", "empty bracketed name"},        {"x = #5/1/2004", "unterminated date"},
        {"x = #2/30/2004#", "invalid date"},       {"x = #5/1/2004 25:00#", "invalid date"},
        {"x = #hello#", "invalid date"},           {"(x = 1", "unbalanced"},
        {"x = 1 ` 2", "unexpected character"},     {"[a] & = 'x'", "missing operand"},
    };
    for (const auto& [jet, error] : cases) EXPECT_NE(TrError(jet).find(error), std::string::npos) << jet;
}

// ------------------------------------------------------------ functions on a connection

class JetFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        ASSERT_TRUE(RegisterJetFunctions(db));
    }
    void TearDown() override { sqlite3_close(db); }

    // First column of the single row of a translated expression; "NULL" for null,
    // "ERROR" when the statement fails.
    std::string Eval(const std::string& jetExpr) {
        auto sql = TranslateJetSql("SELECT " + jetExpr);
        if (!sql) return "TRANSLATE";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql->c_str(), -1, &st, nullptr) != SQLITE_OK) return "ERROR";
        std::string r = "ERROR";
        if (sqlite3_step(st) == SQLITE_ROW) {
            auto p = sqlite3_column_text(st, 0);
            r = p ? reinterpret_cast<const char*>(p) : "NULL";
        }
        sqlite3_finalize(st);
        return r;
    }

    sqlite3* db = nullptr;
};

TEST_F(JetFunctions, LikeFollowsTheDialect) {
    struct Case {
        const char* text;
        const char* pattern;
        const char* result;
    } cases[] = {
        {"山田太郎", "山田%", "1"},
        {"小山田", "山田%", "0"},
        {"山田", "__", "1"},  // "_" is one character, not one byte
        {"山田", "_", "0"},
        {"abc", "ABC", "1"},  // ASCII letters ignore case
        {"ＡＢＣ", "ａｂｃ", "0"},  // full-width letters do not
        {"50%_off 会員", "%50[%][_]off%", "1"},
        {"50x_off", "%50[%][_]off%", "0"},
        {"#1", "[#]1", "1"},
        {"[x]", "[[]x]", "1"},  // "]" outside a list is itself
        {"a1", "a[0-9]", "1"},
        {"ab", "a[0-9]", "0"},
        {"ab", "a[!0-9]", "1"},
        {"B", "[a-c]", "1"},
        {"a-", "a[-]", "1"},
        {"ax", "a[]x", "1"},  // an empty list takes nothing
        {"", "", "1"},
        {"x", "", "0"},
        {"", "%", "1"},
        {"abcabd", "%ab_", "1"},  // backtracking past the first candidate
        {"a", "a%a", "0"},  // prefix and suffix may not overlap
        {"aa", "a%a", "1"},
        {"xABxAbC", "%ab%abc", "1"},
        {"xABxAbD", "%ab%abc", "0"},
        {"東京都千代田区丸の内", "%千代田%丸%", "1"},
        {"東京都千代田区", "%千代田%丸%", "0"},
        {"*?", "*?", "1"},  // no other wildcards
        {"xy", "*?", "0"},
    };
    for (const Case& c : cases) {
        std::string expr = std::string("'") + c.text + "' Like '" + c.pattern + "'";
        EXPECT_EQ(Eval(expr), c.result) << expr;
    }
    // A pattern from a column goes through the same matching.
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE t(s TEXT, p TEXT);"
                           "INSERT INTO t VALUES('山田太郎','山田%'),('佐藤','山田%'),('a_b','a[_]b'),('axb','a[_]b');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(Eval("group_concat(s) FROM (SELECT s FROM t WHERE s LIKE p ORDER BY s)"), "a_b,山田太郎");
}

TEST_F(JetFunctions, ExpressionsFollowTheDialect) {
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE m(v REAL); INSERT INTO m VALUES(1000),(1001);"
                               "CREATE TABLE c(Name TEXT); INSERT INTO c VALUES('x');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const std::pair<const char*, const char*> cases[] = {
        {"'abc' Not Like ''", "1"},
        {"NULL Like '%'", "NULL"},
        {"123 Like '12%'", "1"},
        {"'ab' Like 'a[b'", "ERROR"},
        {"'ab' Like 'a[z-a]'", "ERROR"},
        // Int is floor.
        {"Int(3.7)", "3"},
        {"Int(-3.2)", "-4"},
        {"Int(NULL)", "NULL"},
        {"Int('2.5')", "2"},
        {"Int('abc')", "ERROR"},
        // Date parts of day counts.
        {"Year(38108.75)", "2004"},
        {"Month(38108.75)", "5"},
        {"Day(38108.75)", "1"},
        {"Month(Int(#5/31/2004 23:59:59#))", "5"},
        {"Day(-1.25)", "29"},  // 1899/12/29 06:00
        {"Month(-1.25)", "12"},
        {"Month(NULL)", "NULL"},
        {"Month('2004/05/20')", "5"},
        {"Month('May')", "ERROR"},
        {"Month(1e12)", "ERROR"},
        // Concatenation treats null as empty.
        {"NULL & 'a'", "a"},
        {"'東京都' & NULL & '千代田区'", "東京都千代田区"},
        {"NULL & NULL", "NULL"},
        {"1.5 & 'x'", "1.5x"},
        {"1+2 & 3", "33"},
        // Division and average are floating point.
        {"7/2", "3.5"},
        {"Avg(m.v) FROM m", "1000.5"},
        // Quoted names never fall back to strings.
        {"[Name] FROM c", "x"},
        {"[NoSuchColumn] FROM c", "ERROR"},
    };
    for (const auto& [expr, result] : cases) EXPECT_EQ(Eval(expr), result) << expr;
}

}  // namespace
