// The reader of findings files. Whatever the bytes, it stops with a message naming the file or gives
// findings of real dates and hours, of a known column and check, with a finite value; what it reads is
// written again as lines that read back as the same findings.

#include "FuzzSupport.h"

#include "checks/FindingsFile.h"
#include "model/Columns.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace kolvane;
using namespace kolvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string file = "C2005_0312.csv";
    std::vector<Finding> findings;
    try {
        findings = ParseFindingsText(bytes, file);
    } catch (const KolvaneError& e) {
        CheckNamesFile(e, file);
        return 0;
    }
    for (const Finding& f : findings) {
        FUZZ_CHECK(IsRealDate(f.year, f.month, f.day));
        FUZZ_CHECK(f.hour >= 0 && f.hour <= 24 && f.minute >= 0 && f.minute < 60);
        FUZZ_CHECK(f.column < MONTHLY_VALUE_COLUMNS.size());
        FUZZ_CHECK(static_cast<std::size_t>(f.kind) < CHECK_KINDS.size());
        FUZZ_CHECK(std::isfinite(f.value));
    }
    if (findings.empty()) return 0;
    // One year's findings, as the program writes them, read back line for line.
    const int32_t year = findings.front().year;
    std::size_t ofYear = 0;
    for (const Finding& f : findings)
        ofYear += f.year == year;
    FUZZ_CHECK(ParseFindingsText(FormatFindingsText(findings, year), file).size() == ofYear);
    return 0;
}
