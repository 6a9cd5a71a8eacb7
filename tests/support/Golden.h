#pragma once

#include "support/TempFolder.h"

#include <string>

// Station 03/12's golden monthly files (December 1999, January 2000 and an earlier Y2000 file to merge)
// and the yearly and companion files checked by hand against them.
namespace kolvane::testing {

inline const std::string GOLDEN = std::string(KOLVANE_TEST_DATA) + "/golden/";

inline void CopyGoldenMonthly(const TempFolder& folder) {
    for (const char* name : {"M9912_0312.csv", "M0001_0312.csv", "Y2000_0312.csv"})
        folder.Write(name, TempFolder::Read(GOLDEN + "monthly/" + name));
}

// Whether `path` holds the expected file `name` byte for byte (a bool, so a failure does not print
// kilobytes of CP932).
inline bool IsGolden(const std::string& path, const std::string& name) {
    return TempFolder::Read(path) == TempFolder::Read(GOLDEN + "expected/" + name);
}

} // namespace kolvane::testing
