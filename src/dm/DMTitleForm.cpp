#include "dm/DMTitleForm.h"

#include <cstdio>

#include "common/Ports.h"
#include "common/SjisField.h"
#include "common/SjisText.h"

int DMHourIndex(int hour) { return hour >= 8 ? hour - 8 : hour + 16; }

int DMHourAtIndex(int index) {
    int h = index + 8;
    return h >= 24 ? h - 24 : h;
}

std::vector<std::string> DMHourTexts() {
    std::vector<std::string> out;
    for (int i = 0; i < 24; ++i) out.push_back(std::to_string(DMHourAtIndex(i)));
    return out;
}

std::vector<std::string> DMMinuteTexts() {
    std::vector<std::string> out;
    char buf[8];
    for (int i = 0; i < 60; ++i) {
        std::snprintf(buf, sizeof buf, "%02d", i);
        out.emplace_back(buf);
    }
    return out;
}

std::vector<std::string> DMMonthTexts() {
    std::vector<std::string> out;
    for (int i = 1; i <= 12; ++i) out.push_back(std::to_string(i));
    return out;
}

std::vector<std::string> DMDayTexts(int year, int month) {
    std::vector<std::string> out;
    for (int i = 1; i <= DaysInMonth(year, month); ++i) out.push_back(std::to_string(i));
    return out;
}

CDMTitleForm CDMTitleForm::ForNew(int mode, const CDateTime& now) {
    CDMTitleForm f;
    f.mode = mode;
    f.SetDate(now);
    return f;
}

CDMTitleForm CDMTitleForm::FromTitle(const CDMListData& t, int mode, const CDateTime& now) {
    CDMTitleForm f;
    f.mode = mode;
    f.title = t.Title;
    f.content = t.Content;
    f.manager = t.Manager;
    f.sendMethod = t.SendMethod;
    if (mode == DM_MODE_COPY) {
        f.SetDate(now);
    } else {
        f.SetDate(t.Date);
        f.sendState = t.SendState;
        f.historyRegistered = t.HistoryRegistered;
    }
    f.sentOnOpening = f.sendState == 1;
    return f;
}

void CDMTitleForm::SetDate(const CDateTime& date) {
    CDateTime d = date.IsValid() ? date : CDateTime::Now();
    year = d.Year();
    monthIndex = d.Month() - 1;
    dayIndex = d.Day() - 1;
    hourIndex = DMHourIndex(d.Hour());
    minuteIndex = d.Minute();
}

CDateTime CDMTitleForm::BuildDate() const {
    int day = dayIndex + 1;
    if (day > DayCount()) day = DayCount();
    return CDateTime::FromParts(year, monthIndex + 1, day, DMHourAtIndex(hourIndex), minuteIndex, 0);
}

const char* CDMTitleForm::Caption() const {
    switch (mode) {
    case DM_MODE_MODIFY: return "DMタイトルを修正";
    case DM_MODE_VIEW: return "DMタイトルを参照";
    default: return "DMタイトルを追加";
    }
}

int CDMTitleForm::DayCount() const { return DaysInMonth(year, monthIndex + 1); }

bool CDMTitleForm::MonthChosen() {
    if (monthIndex < 0 || monthIndex > 11) {
        ShowMessage("設定された月の値がヘンです。確認してください。");
        return false;
    }
    if (dayIndex >= DayCount()) dayIndex = DayCount() - 1;
    return true;
}

bool CDMTitleForm::Validate() const {
    if (title.empty()) {
        ShowMessage("DMタイトルを入力してください\n");
        return false;
    }
    if (!CheckSjisField(title, kDMTitleLimit, "「DMタイトル」は100文字（ﾊﾞｲﾄ）以内で入力してください") ||
        !CheckSjisField(content, kDMContentLimit, "「内容」は50文字（ﾊﾞｲﾄ）以内で入力してください") ||
        !CheckSjisField(manager, kDMManagerLimit, "「管理者」は30文字（ﾊﾞｲﾄ）以内で入力してください"))
        return false;
    if (year < kDMYearMin || year > kDMYearMax) {
        ShowMessage("1970 から 2040 までの整数を入力してください。");
        return false;
    }
    return true;
}
