// Date-time values: a day count from 1899-12-30 (the fraction is the time of
// day) with a validity status, and the amount display rule.
#pragma once

#include <optional>
#include <string>
#include <string_view>

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

class CDateTime {
public:
    CDateTime() = default;  // unset
    explicit CDateTime(double days) : m_days(days), m_valid(true) {}

    // nullopt-like unset value when any part is out of range.
    static CDateTime FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    static CDateTime Now();
    // Tests fix the clock with a valid time; an invalid one gives the real clock back.
    static void FixNow(const CDateTime& at);
    // Accepts "y/m/d" with one to four year digits and one or two month and day
    // digits, surrounding blanks allowed, validated as a real date (years 100..9999).
    static std::optional<CDateTime> ParseDate(std::string_view text);

    bool IsValid() const { return m_valid; }
    double Days() const { return m_days; }
    void SetUnset() { m_valid = false; m_days = 0; }

    int Year() const;
    int Month() const;
    int Day() const;
    int Hour() const;
    int Minute() const;
    int Second() const;
    int DayOfWeek() const;  // 1 = Sunday .. 7 = Saturday

    CDateTime DateOnly() const;  // the same day at 0:00
    // strftime-like: %Y %m %d %H %M %S %y %%; an unset value formats as "".
    std::string Format(std::string_view fmt = "%Y/%m/%d") const;
    // "#m/d/yyyy#" as the SQL dialect writes date literals.
    std::string SqlLiteral() const;

    bool operator==(const CDateTime& o) const { return m_valid == o.m_valid && (!m_valid || m_days == o.m_days); }

private:
    struct Parts {
        int y, mo, d, h, mi, s;
    };
    Parts Split() const;

    double m_days = 0;
    bool m_valid = false;
};

// "%.2f", trailing "0" removed, then a trailing "." removed.
std::string FormatAmount(double amount);
