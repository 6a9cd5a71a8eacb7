// The locality table reader. Whatever the table holds, listing a prefecture gives a selection inside
// the list, every listed name that the table spells plainly finds its coordinates and code, and a box
// text made from a whole-number field keeps the field's value.

#include "FuzzSupport.h"

#include "model/Numbers.h"
#include "model/Csv.h"
#include "model/Text.h"
#include "settings/LocalityTable.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace kolvane;

namespace {

// The table lives in memory; the reader opens it by path like the file beside the program.
class MemoryFile {
  public:
    MemoryFile() : fd_(::memfd_create("locale.dat", 0)) { FUZZ_CHECK(fd_ >= 0); }
    ~MemoryFile() { ::close(fd_); }
    std::string Fill(std::string_view bytes) {
        FUZZ_CHECK(::ftruncate(fd_, 0) == 0);
        FUZZ_CHECK(::pwrite(fd_, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
        return "/proc/self/fd/" + std::to_string(fd_);
    }

  private:
    int fd_;
};

void CheckBoxText(std::string_view field, int width) {
    const std::string text = FormatCoordinateField(field, width);
    const std::optional<double> number = ConvertWholeNumber(field);
    if (number && *number == std::floor(*number) && std::fabs(*number) < 1e9) {
        const std::optional<double> back = ConvertWholeNumber(text);
        FUZZ_CHECK(back && *back == *number);
        FUZZ_CHECK(text.size() >= static_cast<std::size_t>(width));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile table;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = table.Fill(bytes);

    // The first prefecture the table names plainly (every lookup reads the table afresh, so one).
    int prefecture = 0;
    std::set<std::pair<std::string, std::string>> plainRows; // prefecture field, name
    const std::string text = DecodeCp932(bytes);
    for (std::string_view line : SplitLines(text)) {
        const std::vector<std::string_view> fields = SplitFields(line);
        for (std::size_t i = 3; i < fields.size() && i < 9; ++i)
            CheckBoxText(fields[i], i == 6 ? 3 : 2);
        if (fields.size() < 9) continue;
        const std::optional<double> p = ConvertWholeNumber(fields[0]);
        if (!p) continue;
        plainRows.insert({std::string(fields[0]), std::string(fields[2])});
        if (prefecture == 0 && *p >= 1 && *p <= 47 && *p == std::floor(*p)) prefecture = static_cast<int>(*p);
    }

    if (prefecture == 0) prefecture = 13;
    const LocalityList list = ListLocalities(path, prefecture, "130010");
    if (list.names.empty()) {
        FUZZ_CHECK(list.selection == 0);
    } else {
        FUZZ_CHECK(list.selection >= 0 && static_cast<std::size_t>(list.selection) < list.names.size());
        const std::string& name = list.names[static_cast<std::size_t>(list.selection)];
        const std::optional<LocalityCoordinates> c = FindLocalityCoordinates(path, prefecture, name);
        const std::optional<std::string> code = FindLocalityCode(path, prefecture, name);
        FUZZ_CHECK(c.has_value() == code.has_value());
        FUZZ_CHECK(c.has_value() == (plainRows.count({std::to_string(prefecture), name}) > 0));
    }
    FUZZ_CHECK(ListLocalities(path, 0, "").names.empty());
    FUZZ_CHECK(!FindLocalityCoordinates(path, 0, ""));
    return 0;
}
