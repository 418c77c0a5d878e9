#include "common/DateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// Days from 0001-01-01 (proleptic Gregorian) to the given date.
constexpr long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;  // days since 1970-01-01
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// Constant-initialised so that date constants in other files may use it during static start-up.
constexpr long kEpochOffset = DaysFromCivil(1899, 12, 30);  // day 0 of the day count, as days since 1970

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

CDateTime CDateTime::FromParts(int y, int mo, int d, int h, int mi, int s) {
    if (y < 100 || y > 9999 || d < 1 || d > DaysInMonth(y, mo) || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
        s > 59)
        return CDateTime();
    double day = static_cast<double>(DaysFromCivil(y, mo, d) - kEpochOffset);
    double frac = (h * 3600 + mi * 60 + s) / 86400.0;
    // Before day 0 the fraction counts forward from the (negative) day number.
    return CDateTime(day >= 0 ? day + frac : day - frac);
}

namespace {
CDateTime g_fixedNow;
}

void CDateTime::FixNow(const CDateTime& at) { g_fixedNow = at; }

CDateTime CDateTime::Now() {
    if (g_fixedNow.IsValid()) return g_fixedNow;
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return FromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

std::optional<CDateTime> CDateTime::ParseDate(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int idx = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    for (; i < end; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++digits[idx] > (idx == 0 ? 4 : 2)) return std::nullopt;
            parts[idx] = parts[idx] * 10 + (c - '0');
        } else if (c == '/' && idx < 2 && digits[idx] > 0) {
            ++idx;
        } else {
            return std::nullopt;
        }
    }
    if (idx != 2 || digits[2] == 0) return std::nullopt;
    CDateTime dt = FromParts(parts[0], parts[1], parts[2]);
    if (!dt.IsValid()) return std::nullopt;
    return dt;
}

CDateTime::Parts CDateTime::Split() const {
    double whole = std::trunc(m_days);
    double frac = std::fabs(m_days - whole);
    long secs = std::lround(frac * 86400.0);
    long day = static_cast<long>(whole);
    if (secs >= 86400) {  // rounding up to midnight
        secs -= 86400;
        day += m_days >= 0 ? 1 : -1;
    }
    Parts p{};
    CivilFromDays(day + kEpochOffset, p.y, p.mo, p.d);
    p.h = static_cast<int>(secs / 3600);
    p.mi = static_cast<int>(secs / 60 % 60);
    p.s = static_cast<int>(secs % 60);
    return p;
}

int CDateTime::Year() const { return Split().y; }
int CDateTime::Month() const { return Split().mo; }
int CDateTime::Day() const { return Split().d; }
int CDateTime::Hour() const { return Split().h; }
int CDateTime::Minute() const { return Split().mi; }
int CDateTime::Second() const { return Split().s; }

int CDateTime::DayOfWeek() const {
    Parts p = Split();
    long days = DaysFromCivil(p.y, p.mo, p.d);  // 1970-01-01 was a Thursday
    long wd = ((days % 7) + 7 + 4) % 7;          // 0 = Sunday
    return static_cast<int>(wd) + 1;
}

CDateTime CDateTime::DateOnly() const {
    if (!m_valid) return *this;
    Parts p = Split();
    return FromParts(p.y, p.mo, p.d);
}

std::string CDateTime::Format(std::string_view fmt) const {
    if (!m_valid) return std::string();
    Parts p = Split();
    std::string out;
    char buf[16];
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%' || i + 1 == fmt.size()) {
            out.push_back(fmt[i]);
            continue;
        }
        switch (fmt[++i]) {
            case 'Y': std::snprintf(buf, sizeof buf, "%d", p.y); break;
            case 'y': std::snprintf(buf, sizeof buf, "%02d", p.y % 100); break;
            case 'm': std::snprintf(buf, sizeof buf, "%02d", p.mo); break;
            case 'd': std::snprintf(buf, sizeof buf, "%02d", p.d); break;
            case 'H': std::snprintf(buf, sizeof buf, "%02d", p.h); break;
            case 'M': std::snprintf(buf, sizeof buf, "%02d", p.mi); break;
            case 'S': std::snprintf(buf, sizeof buf, "%02d", p.s); break;
            case '%': std::snprintf(buf, sizeof buf, "%%"); break;
            default: std::snprintf(buf, sizeof buf, "%%%c", fmt[i]); break;
        }
        out += buf;
    }
    return out;
}

std::string CDateTime::SqlLiteral() const {
    Parts p = Split();
    char buf[32];
    std::snprintf(buf, sizeof buf, "#%d/%d/%d#", p.mo, p.d, p.y);
    return buf;
}

std::string FormatAmount(double amount) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", amount);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}
