// A monthly file of a few hundred megabytes (years of hours run together in one file). The reader
// holds the file in memory once and the hours once more. Times are printed, never asserted.

#include "FaultSupport.h"

#include "formats/YearlyFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace kolvane {
namespace {

using namespace kolvane::testing;

// AddressSanitizer's shadow memory, red zones and quarantine of freed blocks make the peak memory of
// the child (built with it too) say nothing about the program's own.
constexpr bool kMemoryIsMeasurable = !kAddressSanitizer;

// Writes whole months of hourly lines from 2005/01 on until the file holds `bytes`.
std::size_t WriteHours(const std::string& path, std::size_t bytes) {
    using namespace std::chrono;
    std::ofstream file(path, std::ios::binary);
    const std::string header = MonthlyText(2005, 1, 1, 0);
    file << header;
    std::size_t written = header.size(), hours = 0;
    for (int y = 2005; written < bytes; ++y) {
        for (unsigned m = 1; m <= 12 && written < bytes; ++m) {
            const int days = static_cast<int>(unsigned(year_month_day_last{year{y} / month{m} / last}.day()));
            const std::string text = MonthlyText(y, static_cast<int>(m), 1, days).substr(header.size());
            file << text;
            written += text.size();
            hours += 24 * static_cast<std::size_t>(days);
        }
    }
    return hours;
}

TEST(BigMonthlyFile, IsConvertedWithMemoryInStepWithItsSize) {
    constexpr std::size_t MB = 1 << 20;
    TempFolder monthly, out;
    const std::string file = monthly.File("M0501_0312.csv");

    for (std::size_t run = 0; run < 2; ++run) {
        const std::size_t size = run == 0 ? 32 * MB : 256 * MB;
        SCOPED_TRACE(size);
        const std::size_t hours = WriteHours(file, size);
        ChildResult r = Convert(monthly, &out, {"--all"});
        std::filesystem::remove(file);
        ASSERT_EQ(r.exitCode, 0) << r.err << " signal " << r.signal;

        DailyTable year;
        ParseYearlyText(TempFolder::Read(out.File("Y2005_0312.csv")), "Y2005_0312.csv", year);
        ASSERT_EQ(year.size(), 365u);
        EXPECT_NE(year.back().temp, MISSING); // the whole year came from the big file

        const double rssMb = static_cast<double>(r.maxRssKb) / 1024;
        std::printf("[ info ] %zu MB, %zu hours: %.2f s of processor time, %.0f MB of memory at most\n",
                    size / MB, hours, r.cpuSeconds, rssMb);
        // The file once and the hours once (112 bytes each), with room for the process itself and the
        // daily values. A table grown by doubling, sized twice over or the file held twice goes past it.
        const double designMb =
            static_cast<double>(size / MB) + static_cast<double>(hours * sizeof(HourlyRecord)) / MB;
        if (kMemoryIsMeasurable) {
            EXPECT_LT(rssMb, 1.15 * designMb + 16);
        }
    }
    EXPECT_TRUE(TemporaryFiles(out).empty());
    if (!kMemoryIsMeasurable)
        GTEST_SKIP() << "converted, memory not checked: AddressSanitizer's own would dwarf it";
}

} // namespace
} // namespace kolvane
