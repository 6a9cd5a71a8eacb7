#include "FaultSupport.h"

#include "convert/YearlyFile.h"
#include "daily/YearCalendar.h"
#include "model/Text.h"

#include <cstdio>

namespace kolvane::testing {

std::string MonthlyText(int year, int month, int firstDay, int days) {
    std::string text = EncodeCp932("年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,"
                                   "日射量,露点温度,地中温度\r\n");
    char line[160];
    for (int d = firstDay; d < firstDay + days; ++d) {
        for (int h = 1; h <= 24; ++h) {
            std::snprintf(line, sizeof line,
                          "%04d/%02d/%02d,%d:00,0.5,%.1f,%d,1012.5,%d,2.5,6.0,%d,%.2f,1.5,7.0\r\n", year,
                          month, d, h, 5.0 + h % 7, 55 + h, (h * 30) % 360, (h * 45) % 360,
                          h > 6 && h < 18 ? 0.8 : 0.0);
            text += line;
        }
    }
    return text;
}

std::string PreviousYearlyFile() {
    WeatherTable year;
    BuildYearCalendar("05", {}, year);
    WeatherRecord& day = year[59]; // 1 March
    day.precip = 12.5;
    day.temp = 4.2;
    day.tempMax = 9.1;
    day.tempMin = -0.4;
    day.humidity = 71.0;
    day.pressure = 1008.8;
    day.windDir = 315;
    day.windSpeed = 3.4;
    day.gust = 11.2;
    day.gustDir = 292.5;
    day.solar = 9.87;
    day.dewPoint = -1.1;
    day.sunshine = 4.5;
    day.dayLength = 11.5;
    day.netRadiation = 3.21;
    day.evaporation = 1.4;
    day.groundTemp = 6.6;
    return FormatYearlyText(year);
}

ChildResult Convert(const TempFolder& monthly, const TempFolder* output,
                    const std::vector<std::string>& months, rlim_t fileSizeLimit) {
    std::vector<std::string> arguments{"--monthly", monthly.folder()};
    if (output) arguments.insert(arguments.end(), {"--output", output->folder()});
    arguments.insert(arguments.end(), {"--group", "03", "--bucket", "12", "--lat", "35:30:00"});
    arguments.insert(arguments.end(), months.begin(), months.end());
    return RunChild(CONVERT, arguments, fileSizeLimit);
}

} // namespace kolvane::testing
