// A monthly file of a few hundred megabytes (years of hours run together in one file). The reader
// holds the file in memory once and the hours once more; time and memory grow in step with the size.

#include "FaultSupport.h"

#include "convert/YearlyFile.h"
#include "model/Text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// Appends hourly lines from 2005/01/01 on until the file holds `bytes`. One day of lines is laid out
// once; each further day only has its date written over.
std::size_t WriteHours(const std::string& path, std::size_t bytes) {
    using namespace std::chrono;
    std::string day;
    char line[128];
    for (int h = 1; h <= 24; ++h) {
        std::snprintf(line, sizeof line, "2005/01/01,%d:00,0.5,%.1f,%d,1012.5,%d,2.5,6.0,%d,%.2f,1.5,7.0\r\n",
                      h, 5.0 + h % 7, 55 + h, (h * 30) % 360, (h * 45) % 360, h > 6 && h < 18 ? 0.8 : 0.0);
        day += line;
    }
    std::vector<std::size_t> dateAt;
    for (std::size_t at = 0; at < day.size(); at = day.find('\n', at) + 1)
        dateAt.push_back(at);

    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::string header = EncodeCp932("年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,"
                                     "最大時風向,日射量,露点温度,地中温度\r\n");
    std::size_t written = static_cast<std::size_t>(::write(fd, header.data(), header.size()));
    std::string block;
    sys_days date = sys_days{2005y / January / 1};
    std::size_t hours = 0;
    while (written < bytes) {
        block.clear();
        for (int d = 0; d < 400 && written + block.size() < bytes; ++d, date += days{1}) {
            const year_month_day ymd{date};
            char text[16];
            std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(ymd.year()),
                          static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
            for (std::size_t at : dateAt)
                day.replace(at, 10, text, 10);
            block += day;
            hours += 24;
        }
        written += static_cast<std::size_t>(::write(fd, block.data(), block.size()));
    }
    ::close(fd);
    return hours;
}

TEST(BigMonthlyFile, IsReadInTimeAndMemoryInStepWithItsSize) {
    constexpr std::size_t MB = 1 << 20;
    TempFolder monthly, out;
    const std::string file = monthly.File("M0501_0312.csv");

    // The same conversion on a small and a large file: the work per byte must not grow with the size.
    double cpuPerMb[2];
    for (std::size_t run = 0; run < 2; ++run) {
        const std::size_t size = run == 0 ? 32 * MB : 256 * MB;
        SCOPED_TRACE(size);
        const std::size_t hours = WriteHours(file, size);
        ChildResult r = Convert(monthly, &out, {"--all"});
        std::filesystem::remove(file);
        ASSERT_EQ(r.exitCode, 0) << r.err << " signal " << r.signal;

        WeatherTable year;
        ParseYearlyText(TempFolder::Read(out.File("Y2005_0312.csv")), "Y2005_0312.csv", year);
        ASSERT_EQ(year.size(), 365u);
        EXPECT_NE(year.back().temp, MISSING); // the whole year came from the big file

        cpuPerMb[run] = r.cpuSeconds / static_cast<double>(size / MB);
        const double rssMb = static_cast<double>(r.maxRssKb) / 1024;
        std::printf("[ info ] %zu MB, %zu hours: %.2f s of processor time, %.0f MB of memory at most\n",
                    size / MB, hours, r.cpuSeconds, rssMb);
        // The file once and the hours once (168 bytes each); growing the table by doubling would
        // need it twice over.
        const double hoursMb = static_cast<double>(hours) * sizeof(WeatherRecord) / MB;
        EXPECT_LT(rssMb, static_cast<double>(size / MB) + 1.1 * hoursMb + 400);
    }
    // Linear work gives the same time per megabyte; quadratic work would give eight times as much.
    EXPECT_LT(cpuPerMb[1], 3 * cpuPerMb[0] + 0.01);
    EXPECT_TRUE(TemporaryFiles(out).empty());
}

} // namespace
} // namespace kolvane
