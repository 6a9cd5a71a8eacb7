#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Synthetic hourly observations of a station in central Japan (about 35.5 N), written as monthly files.
// Every value is a function of the seed and the hour alone, so a month comes out the same whatever range
// it is generated in, and weather runs on smoothly across month ends.
namespace kolvane::bench {

// Bump when the generated values change, so cached benchmark data is made again.
inline constexpr int kGeneratorVersion = 2;

struct YearMonth {
    int year = 0;
    int month = 0;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

// "YYYY/MM" with a year the two-digit file names can hold (1970 to 2069) and a month 01 to 12.
std::optional<YearMonth> ParseYearMonth(std::string_view text);
YearMonth NextMonth(YearMonth ym);

struct GeneratorOptions {
    uint64_t seed = 1;
    // One "X" field and one left-out hour per file, and in about half the files one empty field.
    bool blemishes = true;
    // A few faults a logger really produces, on fixed hours of 2024 and 2025, for the sample station.
    bool plantedFaults = false;
};

struct GeneratedMonth {
    std::string bytes; // the whole file: CP932, CR LF after every line
    std::size_t dataLines = 0;
};

GeneratedMonth GenerateMonth(YearMonth ym, const GeneratorOptions& options);

struct StationTotals {
    std::size_t files = 0;
    std::size_t dataLines = 0;
    std::uintmax_t bytes = 0;
};

// Writes one monthly file per month from `from` to `to` inclusive into `folder`, creating it when needed.
// Throws std::runtime_error naming the file when one cannot be written.
StationTotals WriteStation(const std::filesystem::path& folder, std::string_view group,
                           std::string_view bucket, YearMonth from, YearMonth to,
                           const GeneratorOptions& options);

} // namespace kolvane::bench
