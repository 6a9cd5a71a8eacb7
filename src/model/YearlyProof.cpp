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

// Slicing by eight: table k gives the CRC of a byte followed by k zero bytes, so eight bytes cost eight
// look-ups that do not wait on each other. A yearly file is proved on every write and every read.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;
constexpr CrcTables CRC_TABLES = [] {
    CrcTables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (uint32_t n = 0; n < 256; ++n)
            t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
    return t;
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
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    uint32_t c = 0xFFFFFFFFu;
    const auto& t = CRC_TABLES;
    for (; n >= 8; n -= 8, p += 8) {
        // Little-endian order of the bytes, whatever the machine's.
        const uint32_t low =
            c ^ (uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QualityProof ProofOf(std::string_view yearlyName, std::string_view yearlyBytes) {
    return {std::string(yearlyName), yearlyBytes.size(), Crc32(yearlyBytes)};
}

std::string FormatCrc(uint32_t crc) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(crc));
    return std::string(CRC_PREFIX) + hex;
}

std::optional<uint32_t> ParseCrc(std::string_view text) {
    if (!text.starts_with(CRC_PREFIX)) return std::nullopt;
    const std::string_view hex = text.substr(CRC_PREFIX.size());
    uint32_t crc = 0;
    const auto read = std::from_chars(hex.data(), hex.data() + hex.size(), crc, 16);
    if (hex.size() != 8 || read.ec != std::errc() || read.ptr != hex.data() + hex.size()) return std::nullopt;
    return crc;
}

std::string FormatProofLine(const QualityProof& proof) {
    return EncodeCp932(std::string(PROOF_LABEL)) + "," + proof.yearlyName + "," + std::to_string(proof.size) +
           "," + FormatCrc(proof.crc) + "\r\n";
}

std::optional<QualityProof> ParseProofLine(std::string_view companionBytes) {
    const std::vector<std::string_view> fields = SplitFields(LastNonEmptyLine(companionBytes));
    if (fields.size() < 4 || DecodeCp932(fields[0]) != PROOF_LABEL || fields[1].empty()) return std::nullopt;
    QualityProof proof{std::string(fields[1]), 0, 0};
    const std::string_view size = fields[2];
    const auto sized = std::from_chars(size.data(), size.data() + size.size(), proof.size);
    const std::optional<uint32_t> crc = ParseCrc(fields[3]);
    if (size.empty() || sized.ec != std::errc() || sized.ptr != size.data() + size.size() || !crc)
        return std::nullopt;
    proof.crc = *crc;
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
    if (e && e != ENOENT) throw KolvaneError(message::CannotRead(kind, path, e));
    if (!e) read.state = BelongingOf(read.bytes, FileNameOf(yearlyPath), yearlyBytes);
    if (read.state == Belonging::Belongs) return read;
    // A run cut off between the renames of the companions and of their yearly file leaves the old
    // yearly file's own companion under the kept name.
    CompanionBytes kept{Belonging::Belongs, {}};
    if (ReadWholeFile(KeptCompanionPathOf(path), kept.bytes) == 0 &&
        ProvesYearly(kept.bytes, FileNameOf(yearlyPath), yearlyBytes))
        return kept;
    return e ? CompanionBytes{} : read;
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
