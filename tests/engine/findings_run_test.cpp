#include "checks/FindingsFile.h"
#include "formats/QualityFile.h"
#include "model/Text.h"
#include "support/EngineRun.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using testing::TempFolder;

const std::string JULY_FINDING = "\"24/07/17\",2:00,湿度,105,範囲,上限 100 % を超える\r\n";

// Months converted one after the other into the folder of the monthly files, as a user does.
TEST(FindingsRun, AFileBesideTheYearlyFileThatKeepsEarlierMonthsAndGoesWhenNothingIsFound) {
    TempFolder folder;
    const auto convert = [&](const char* month) { return testing::ConvertInPlace(folder.folder(), {month}); };
    const auto read = [&](const char* name) { return TempFolder::Read(folder.File(name)); };
    const auto hasFindings = [&] { return std::filesystem::exists(folder.File("C2024_0312.csv")); };
    // The companion's suspect values of July 17 and August 1, "X" when not known.
    const auto suspect = [&] {
        std::string seen;
        for (const DayQuality& d : ParseQualityText(read("Q2024_0312.csv"), "Q"))
            if ((d.month == 7 && d.day == 17) || (d.month == 8 && d.day == 1))
                seen += (seen.empty() ? "" : " ") +
                        (d.suspect < 0 ? std::string("X") : std::to_string(d.suspect));
        return seen;
    };
    folder.Write("M2407_0312.csv", testing::NightHours("2024/07/17", "105"));
    ASSERT_EQ(convert("2024/07"), "");
    // Byte for byte: the line, then the proof of the yearly file it was written with.
    const std::string yearly = read("Y2024_0312.csv");
    EXPECT_EQ(read("C2024_0312.csv"), EncodeCp932("年月日,時刻,要素,値,検査,内容\r\n" + JULY_FINDING) +
                                          FormatProofLine(ProofOf("Y2024_0312.csv", yearly)));
    EXPECT_EQ(suspect(), "1 0");

    // August alone, into the same year: July's finding and count come along from the files that prove
    // they belong to the yearly file July's days are kept from.
    folder.Write("M2408_0312.csv", testing::NightHours("2024/08/01", "85"));
    ASSERT_EQ(convert("2024/08"), "");
    const std::vector<Finding> findings =
        ReadFindingsOf(folder.File("Y2024_0312.csv"), read("Y2024_0312.csv")).rows;
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].month, 7);
    EXPECT_EQ(suspect(), "1 0");

    // A findings file from another yearly file carries nothing: no findings are left, so none is written
    // and the stray one goes. The companion still knows July's count.
    std::string stray = read("C2024_0312.csv");
    stray.replace(stray.find("CRC32:") + 6, 8, "00000000");
    folder.Write("C2024_0312.csv", stray);
    ASSERT_EQ(convert("2024/08"), "");
    EXPECT_FALSE(hasFindings());
    EXPECT_EQ(suspect(), "1 0");

    // July again without the fault: nothing suspect is left.
    folder.Write("M2407_0312.csv", testing::NightHours("2024/07/17", "82"));
    folder.Write("C2024_0312.csv", stray);
    ASSERT_EQ(convert("2024/07"), "");
    EXPECT_FALSE(hasFindings());
    EXPECT_EQ(suspect(), "0 0");
}

} // namespace
} // namespace kolvane
