#include "model/YearlyProof.h"

#include "model/Csv.h"
#include "model/Error.h"
#include "model/FileIo.h"
#include "model/FileNames.h"
#include "model/Text.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <vector>

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

Belonging BelongingOf(std::string_view companionBytes, std::string_view yearlyName,
                      std::string_view yearlyBytes) {
    if (!ParseProofLine(companionBytes)) return Belonging::NotProven;
    return ProvesYearly(companionBytes, yearlyName, yearlyBytes) ? Belonging::Belongs
                                                                 : Belonging::NotBelonging;
}

CompanionBytes ReadCompanionBytes(FileKind kind, const std::string& path, std::string_view yearlyPath,
                                  std::string_view yearlyBytes) {
    CompanionBytes read;
    const int e = ReadWholeFile(path, read.bytes);
    if (e == ENOENT) return {};
    if (e) throw KolvaneError(message::CannotRead(kind, path, e));
    read.state = BelongingOf(read.bytes, FileNameOf(yearlyPath), yearlyBytes);
    return read;
}

} // namespace kolvane

namespace kolvane {

std::string NotUsedNote(FileKind kind, Belonging state, const std::string& path) {
    const bool findings = kind == FileKind::Findings;
    if (state == Belonging::NotBelonging)
        return findings ? message::FindingsNotBelonging(path) : message::CompanionNotBelonging(path);
    if (state == Belonging::NotProven)
        return findings ? message::FindingsNotProven(path) : message::CompanionNotProven(path);
    return {};
}

} // namespace kolvane
