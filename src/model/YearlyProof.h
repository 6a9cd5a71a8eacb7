#pragma once

// The last line of a file written beside a yearly file: which yearly file it was written with, as that
// file's name, size and CRC-32. A companion beside any other yearly file (older, newer, another year's or
// station's) is recognised by it. Kept apart from the rows, so the file stays a plain CSV a spreadsheet
// opens.

#include "model/Messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolvane {

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
// The CRC as the proof writes it, "CRC32:" and eight hex digits, and read back (none for anything else).
std::string FormatCrc(uint32_t crc);
std::optional<uint32_t> ParseCrc(std::string_view text);
// The proof on the last non-empty line of a companion text; none when that line is not one.
std::optional<QualityProof> ParseProofLine(std::string_view companionBytes);
// Whether a companion text was written with the yearly file `yearlyName` of these bytes; names are
// compared as the program looks files up, without regard to letter case.
bool ProvesYearly(std::string_view companionBytes, std::string_view yearlyName, std::string_view yearlyBytes);

// How a companion stands to the yearly file beside it.
enum class Belonging { Absent, Belongs, NotBelonging, NotProven };
Belonging BelongingOf(std::string_view companionBytes, std::string_view yearlyName,
                      std::string_view yearlyBytes);

// A companion file of kind `kind` at `path`, as it stands to the yearly file at `yearlyPath`: its bytes
// and Belongs, NotBelonging or NotProven; Absent (no bytes) when there is no such file. Throws
// KolvaneError for one that exists but cannot be read.
struct CompanionBytes {
    Belonging state = Belonging::Absent;
    std::string bytes;
};
CompanionBytes ReadCompanionBytes(FileKind kind, const std::string& path, std::string_view yearlyPath,
                                  std::string_view yearlyBytes);

// What the user is told of a companion of `kind` that is there but not used; empty otherwise.
std::string NotUsedNote(FileKind kind, Belonging state, const std::string& path);

// A companion beside a yearly file, as a reader may use it: its rows only when its proof matches the
// yearly file's bytes.
template <typename Row> struct BesideYearly {
    FileKind kind;
    std::string path;
    Belonging state = Belonging::Absent;
    std::vector<Row> rows; // only when it belongs

    bool Belongs() const { return state == Belonging::Belongs; }
    std::string Note() const { return NotUsedNote(kind, state, path); }
};

// Reads the companion at `path` of the yearly file at `yearlyPath`, with `parse(bytes, path)` when it
// belongs. Throws KolvaneError for one that exists but cannot be read, and as `parse`.
template <typename Row, typename Parse>
BesideYearly<Row> ReadBesideYearly(FileKind kind, std::string path, const std::string& yearlyPath,
                                   std::string_view yearlyBytes, Parse parse) {
    BesideYearly<Row> file{kind, std::move(path), Belonging::Absent, {}};
    CompanionBytes read = ReadCompanionBytes(kind, file.path, yearlyPath, yearlyBytes);
    file.state = read.state;
    if (file.Belongs()) file.rows = parse(read.bytes, file.path);
    return file;
}

} // namespace kolvane
