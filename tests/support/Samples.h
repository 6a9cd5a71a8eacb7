#pragma once

#include "model/Error.h"
#include "model/Text.h"

#include <cmath>
#include <cstdio>
#include <string>

// Sample monthly and yearly texts, and the message a refusal carries, for every test program.
namespace kolvane::testing {

inline const std::string MONTHLY_HEADER =
    "年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,露点温度,地中温度";
inline const std::string YEARLY_HEADER =
    "年月日,降水量,平均気温,最高気温,最低気温,湿度,気圧,最多風向,平均風速,"
    "最大瞬間風速,最大時風向,日射,露点温度,日照,可照時間,純放射,水面蒸発,地中温度";

// One complete hour of a monthly file.
inline std::string HourLine(const std::string& date, const std::string& time,
                            const std::string& temp = "10.0", const std::string& windSpeed = "2.0") {
    return date + "," + time + ",0.0," + temp + ",60,1010.0,90," + windSpeed + ",5.0,90,0.50,2.0,8.0\r\n";
}

// A monthly file in CP932: `days` days of 24 hours from year/month/firstDay on.
inline std::string MonthlyText(int year, int month, int firstDay, int days,
                               const std::string& windSpeed = "2.0") {
    std::string text = EncodeCp932(MONTHLY_HEADER + "\r\n");
    char date[40]; // room for any int, so no caller meets a truncation warning
    for (int day = firstDay; day < firstDay + days; ++day) {
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", year, month, day);
        for (int hour = 1; hour <= 24; ++hour)
            text += HourLine(date, std::to_string(hour) + ":00", "10.0", windSpeed);
    }
    return text;
}

// Three night hours of a day in CP932, `humidity` at 2:00 (105 is a fault the checks find).
inline std::string NightHours(const std::string& date, const std::string& humidity = "105") {
    return EncodeCp932(MONTHLY_HEADER + "\r\n" + date +
                       ",1:00,0.0,25.0,80,1008.0,90,2.0,4.0,90,0.00,21.4,26.0\r\n" + date +
                       ",2:00,0.0,24.6," + humidity + ",1008.2,100,1.8,3.5,100,0.00,21.3,26.0\r\n" + date +
                       ",3:00,0.0,24.4,84,1008.3,120,1.8,2.5,120,0.00,21.0,25.9\r\n");
}

// A yearly file (UTF-8) with a seasonal cycle and every value "X" in `missingMonth`. On 1 January
// each column the plot reads has a value of its own: rain 25.0, mean 5.0, highest 15.8, lowest -4.0,
// radiation 12.50, sunshine 1.7, evaporation 0.8.
inline std::string YearlyText(int year, int missingMonth) {
    const int lengths[] = {31, year % 4 == 0 ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::string text = YEARLY_HEADER + "\r\n";
    char line[256];
    for (int month = 1, dayOfYear = 0; month <= 12; ++month) {
        for (int day = 1; day <= lengths[month - 1]; ++day, ++dayOfYear) {
            const double t = 15 - 10 * std::cos(dayOfYear * 2 * 3.14159 / 365);
            if (month == missingMonth)
                std::snprintf(line, sizeof line, "\"%02d/%02d/%02d\",X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X,X\r\n",
                              year % 100, month, day);
            else
                std::snprintf(
                    line, sizeof line,
                    "\"%02d/%02d/%02d\",%.1f,%.1f,%.1f,%.1f,70.0,1013.0,N,2.0,5.0,N,%.2f,3.0,%.1f,12.0,"
                    "8.00,%.1f,9.0\r\n",
                    year % 100, month, day, day % 7 == 1 ? 25.0 : 0.0, t, t + 10.8, t - 9, t * 2.5, t / 3,
                    t / 6);
            text += line;
        }
    }
    return text;
}

// The message of the E that `action` throws, or "accepted".
template <typename E = KolvaneError, typename F> std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace kolvane::testing
