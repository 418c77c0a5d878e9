// The DM title dialog without widgets: its fields, the date lists and the
// checks of OK.
#pragma once

#include <string>
#include <vector>

#include "common/DateTime.h"
#include "dm/DMData.h"

enum DmDialogMode { DM_MODE_ADD = 1, DM_MODE_MODIFY = 2, DM_MODE_COPY = 3, DM_MODE_VIEW = 4 };

inline constexpr int kDMYearMin = 1970;
inline constexpr int kDMYearMax = 2040;

// The hour list runs 8 .. 23 and then 0 .. 7.
int DMHourIndex(int hour);
int DMHourAtIndex(int index);
std::vector<std::string> DMHourTexts();    // "8" .. "23", "0" .. "7"
std::vector<std::string> DMMinuteTexts();  // "00" .. "59"
std::vector<std::string> DMMonthTexts();   // "1" .. "12"
// "1" up to the month's length; empty for a month outside 1..12.
std::vector<std::string> DMDayTexts(int year, int month);

struct CDMTitleForm {
    int mode = DM_MODE_ADD;
    int year = kDMYearMin;
    int monthIndex = 0;
    int dayIndex = 0;
    int hourIndex = 0;
    int minuteIndex = 0;
    std::string title;
    std::string content;
    std::string manager;
    int sendState = 0;
    int sendMethod = 0;
    int historyRegistered = 0;
    bool sentOnOpening = false;  // "送付済み" and "送付履歴を登録済み" can be used

    // A new title (add and copy modes start unsent, printed, without history).
    static CDMTitleForm ForNew(int mode, const CDateTime& now);
    // A form filled from a title; copy mode takes the texts and the send
    // method of the title with the given date, unsent and without history.
    static CDMTitleForm FromTitle(const CDMListData& t, int mode, const CDateTime& now = {});

    void SetDate(const CDateTime& date);
    // Year, month index + 1, day index + 1, the hour shown, the minute, 0 seconds.
    CDateTime BuildDate() const;

    // Window title of the mode.
    const char* Caption() const;
    bool OkEnabled() const { return mode != DM_MODE_VIEW; }

    // Number of days of the chosen year and month (0 for a bad month).
    int DayCount() const;
    // After a month is chosen: a bad month gives its message (false, the
    // month list takes the focus); a day beyond the month becomes its last day.
    bool MonthChosen();
    // The checks of OK, each with its message; false keeps the dialog open.
    bool Validate() const;
};
