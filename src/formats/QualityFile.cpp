#include "formats/QualityFile.h"

#include "formats/CsvText.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Messages.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace kolvane {
namespace {

constexpr std::array<uint32_t, 256> CRC_TABLE = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

// "CRC32:" keeps a spreadsheet from reading digits such as 1E100000 as a number and saving them back
// changed.
constexpr std::string_view CRC_PREFIX = "CRC32:";

std::string_view LastNonEmptyLine(std::string_view text) {
    std::string_view last;
    ForEachLine(text, [&](std::string_view line, std::size_t) {
        if (!line.empty()) last = line;
    });
    return last;
}

} // namespace

uint32_t Crc32(std::string_view bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        c = CRC_TABLE[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QualityProof ProofOf(std::string_view yearlyName, std::string_view yearlyBytes) {
    return {std::string(yearlyName), yearlyBytes.size(), Crc32(yearlyBytes)};
}

std::string FormatProofLine(const QualityProof& proof) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(proof.crc));
    return EncodeCp932(std::string(PROOF_LABEL)) + "," + proof.yearlyName + "," + std::to_string(proof.size) +
           "," + std::string(CRC_PREFIX) + crc + "\r\n";
}

std::optional<QualityProof> ParseProofLine(std::string_view companionBytes) {
    const std::vector<std::string_view> fields = SplitFields(LastNonEmptyLine(companionBytes));
    if (fields.size() < 4 || DecodeCp932(fields[0]) != PROOF_LABEL || fields[1].empty() ||
        !fields[3].starts_with(CRC_PREFIX))
        return std::nullopt;
    QualityProof proof{std::string(fields[1]), 0, 0};
    const std::string_view size = fields[2], crc = fields[3].substr(CRC_PREFIX.size());
    const auto sized = std::from_chars(size.data(), size.data() + size.size(), proof.size);
    const auto crced = std::from_chars(crc.data(), crc.data() + crc.size(), proof.crc, 16);
    if (size.empty() || sized.ec != std::errc() || sized.ptr != size.data() + size.size() ||
        crc.size() != 8 || crced.ec != std::errc() || crced.ptr != crc.data() + crc.size())
        return std::nullopt;
    return proof;
}

bool ProvesYearly(std::string_view companionBytes, std::string_view yearlyName,
                  std::string_view yearlyBytes) {
    std::optional<QualityProof> proof = ParseProofLine(companionBytes);
    if (!proof) return false;
    proof->yearlyName = LowerAscii(proof->yearlyName);
    return *proof == ProofOf(LowerAscii(yearlyName), yearlyBytes);
}

std::string FormatQualityText(const DailyTable& year) {
    std::string text;
    for (std::string_view name : QUALITY_HEADER) {
        if (!text.empty()) text += ',';
        text += name;
    }
    text += "\r\n";
    for (const DailyRecord& day : year) {
        const DayClass c = ClassifyDay(day);
        text += '"';
        AppendShortDate(text, day.year, day.month, day.day);
        text += "\",";
        text += c == DayClass::Kept ? std::string("X") : std::to_string(day.hours);
        text += ',';
        text += DayClassName(c);
        text += "\r\n";
    }
    return EncodeCp932(text);
}

std::vector<DayQuality> ParseQualityText(std::string_view bytes, const std::string& file) {
    std::vector<DayQuality> days;
    std::string date;
    std::array<std::size_t, QUALITY_HEADER.size()> column{};
    std::size_t needed = 0;
    // Columns after the known ones (added by a later version) are passed over, not a reason to skip.
    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1) {
            MapHeaderColumns(line, QUALITY_HEADER, FileKind::Quality, file, column);
            for (std::size_t c : column)
                needed = std::max(needed, c + 1);
            return;
        }
        const std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < needed) return;
        date.clear();
        for (char ch : fields[column[0]])
            if (ch != '"') date += ch;
        auto when = ParseObservationTime(date);
        if (!when) return;
        const std::string name = DecodeCp932(fields[column[2]]);
        for (DayClass c : DAY_CLASSES) {
            if (DayClassName(c) != name) continue;
            const std::chrono::year_month_day ymd{when->date};
            const std::optional<double> hours = ConvertWholeNumber(fields[column[1]]);
            days.push_back(
                {static_cast<int32_t>(ymd.year()), static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                 static_cast<int32_t>(static_cast<unsigned>(ymd.day())),
                 hours && *hours >= 0 && *hours <= HOURS_PER_DAY ? static_cast<int32_t>(*hours) : -1, c});
            return;
        }
    });
    return days;
}

std::optional<std::vector<DayQuality>> ReadQualityFile(const std::string& path) {
    std::string bytes;
    const int e = ReadWholeFile(path, bytes);
    if (e == ENOENT) return std::nullopt;
    if (e) throw KolvaneError(message::CannotRead(FileKind::Quality, path, e));
    return ParseQualityText(bytes, path);
}

std::string Companion::Note() const {
    if (state == State::NotBelonging) return message::CompanionNotBelonging(path);
    if (state == State::NotProven) return message::CompanionNotProven(path);
    return {};
}

Companion ReadCompanionOf(const std::string& yearlyPath, std::string_view yearlyBytes) {
    Companion companion;
    companion.path = QualityPathOf(yearlyPath);
    std::string bytes;
    const int e = ReadWholeFile(companion.path, bytes);
    if (e == ENOENT) return companion;
    if (e) throw KolvaneError(message::CannotRead(FileKind::Quality, companion.path, e));
    if (!ParseProofLine(bytes)) {
        companion.state = Companion::State::NotProven;
    } else if (!ProvesYearly(bytes, FileNameOf(yearlyPath), yearlyBytes)) {
        companion.state = Companion::State::NotBelonging;
    } else {
        companion.state = Companion::State::Belongs;
        companion.days = ParseQualityText(bytes, companion.path);
    }
    return companion;
}

bool RemoveCompanionNotOf(const std::string& companionPath, std::string_view yearlyName,
                          std::string_view yearlyBytes) {
    std::string bytes;
    if (ReadWholeFile(companionPath, bytes) != 0 || ProvesYearly(bytes, yearlyName, yearlyBytes))
        return false;
    return std::remove(companionPath.c_str()) == 0;
}

QualitySummary SummarizeQuality(const std::vector<DayQuality>& days) {
    QualitySummary summary;
    int run = 0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        ++summary.days[static_cast<std::size_t>(days[i].dayClass)];
        run = days[i].dayClass == DayClass::NoData ? run + 1 : 0;
        if (run > summary.longestGap) {
            summary.longestGap = run;
            summary.gapStart = days[i + 1 - static_cast<std::size_t>(run)];
        }
    }
    return summary;
}

} // namespace kolvane
