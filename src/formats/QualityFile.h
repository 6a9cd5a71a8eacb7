#pragma once

#include "daily/Completeness.h"
#include "model/Records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The companion of a yearly file: for every day of the year, how many hours made it and its class.
inline constexpr std::array<std::string_view, 3> QUALITY_HEADER = {"年月日", "時間数", "区分"};

// The companion text of a year (CP932, CR LF): the quoted short date, the hours ("X" for a day kept
// from an earlier yearly file, whose hours are not known) and the class name.
std::string FormatQualityText(const DailyTable& year);

struct DayQuality {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hours = -1; // -1: not known
    DayClass dayClass = DayClass::NoData;

    bool operator==(const DayQuality&) const = default;
};

// The last line of a companion: which yearly file it was written with, as that file's name, size and
// CRC-32. A companion beside any other yearly file (older, newer, another year's or station's) is
// recognised by it. Kept apart from the day rows, so it stays a plain CSV a spreadsheet opens.
inline constexpr std::string_view PROOF_LABEL = "年次ファイル";

struct QualityProof {
    std::string yearlyName;
    uint64_t size = 0;
    uint32_t crc = 0;

    bool operator==(const QualityProof&) const = default;
};

uint32_t Crc32(std::string_view bytes);
QualityProof ProofOf(std::string_view yearlyName, std::string_view yearlyBytes);
// The proof as the companion's last line (CP932, CR LF).
std::string FormatProofLine(const QualityProof& proof);
// The proof on the last non-empty line of a companion text; none when that line is not one.
std::optional<QualityProof> ParseProofLine(std::string_view companionBytes);
// Whether a companion text was written with the yearly file `yearlyName` of these bytes; names are
// compared as the program looks files up, without regard to letter case.
bool ProvesYearly(std::string_view companionBytes, std::string_view yearlyName, std::string_view yearlyBytes);

// Reads a companion text; lines that cannot be read are left out, as are columns after the known ones.
// Throws KolvaneError for a missing or repeated column.
std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file);

// Reads and parses the companion file at `path`; none when there is no such file. Throws KolvaneError
// for a file that exists but cannot be read, and as ParseQualityText.
std::optional<std::vector<DayQuality>> ReadQualityFile(const std::string& path);

// What a year's companion says at a glance: the days of each class (in the order of DAY_CLASSES) and
// the longest run of days without data.
struct QualitySummary {
    std::array<int, DAY_CLASSES.size()> days{};
    int longestGap = 0;  // days
    DayQuality gapStart; // its first day, when there is a gap
};

// The companion beside a yearly file, as a reader may use it: only when its proof matches the yearly
// file's bytes.
struct Companion {
    enum class State { Absent, Belongs, NotBelonging, NotProven };
    State state = State::Absent;
    std::string path;
    std::vector<DayQuality> days; // only when it belongs

    bool Belongs() const { return state == State::Belongs; }
    // What the user is told when it is there but not used; empty otherwise.
    std::string Note() const;
};

// Throws KolvaneError for a companion that exists but cannot be read, or (when it belongs) as
// ParseQualityText.
Companion ReadCompanionOf(const std::string& yearlyPath, std::string_view yearlyBytes);

// Removes the companion at `companionPath` unless it was written with this yearly file; a yearly file
// written without its companion must not keep one that describes another. True when it was removed.
bool RemoveCompanionNotOf(const std::string& companionPath, std::string_view yearlyName,
                          std::string_view yearlyBytes);

QualitySummary SummarizeQuality(const std::vector<DayQuality>& days);

} // namespace kolvane
