// The reader of companion files and of their last line. Whatever the bytes, it stops with a message
// naming the file or gives days with real dates and hours of a day; a last line read as a proof is
// written back to a line that reads as the same proof and proves exactly its own yearly file.

#include "FuzzSupport.h"

#include "formats/QualityFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace kolvane;
using namespace kolvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = "Q2005_0312.csv";

    try {
        for (const DayQuality& d : ParseQualityText(bytes, file)) {
            FUZZ_CHECK(IsRealDate(d.year, d.month, d.day));
            FUZZ_CHECK(d.hours >= -1 && d.hours <= HOURS_PER_DAY);
        }
    } catch (const KolvaneError& e) {
        CheckNamesFile(e, file);
    }

    const std::optional<QualityProof> proof = ParseProofLine(bytes);
    if (!proof) return 0;
    const std::string line = FormatProofLine(*proof);
    FUZZ_CHECK(ParseProofLine(line) == proof);
    // The proof of some yearly bytes of its size matches only when the checksum does too.
    const std::string yearly(static_cast<std::size_t>(std::min<uint64_t>(proof->size, 4096)), 'x');
    FUZZ_CHECK(ProvesYearly(line, proof->yearlyName, yearly) ==
               (yearly.size() == proof->size && Crc32(yearly) == proof->crc));
    FUZZ_CHECK(
        ProvesYearly(line + FormatProofLine(ProofOf(proof->yearlyName, yearly)), proof->yearlyName, yearly));
    return 0;
}
