#pragma once

#include "model/Error.h"
#include "model/Messages.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// Finds each of `names` once in a CP932 header line. `kind` and `file` name the file in the message of the
// KolvaneError thrown for a missing or repeated column, or for a header in UTF-8 or UTF-16. Returns the
// number of header fields.
template <std::size_t N>
std::size_t MapHeaderColumns(std::string_view headerLine, const std::array<std::string_view, N>& names,
                             FileKind kind, const std::string& file, std::array<std::size_t, N>& map) {
    std::string header = DecodeCp932(headerLine);
    auto fields = SplitFields(header);
    for (std::size_t c = 0; c < N; ++c) {
        std::size_t found = fields.size();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i] != names[c]) continue;
            if (found != fields.size()) {
                throw KolvaneError(message::RepeatedColumn(kind, file, names[c]));
            }
            found = i;
        }
        if (found == fields.size()) {
            // A file saved again by an editor in another encoding has every name, just not in CP932.
            std::string_view encoding;
            if (headerLine.starts_with("\xFF\xFE") || headerLine.starts_with("\xFE\xFF"))
                encoding = "UTF-16";
            else if (headerLine.starts_with("\xEF\xBB\xBF") || headerLine.find(names[c]) != headerLine.npos)
                encoding = "UTF-8";
            if (!encoding.empty()) throw KolvaneError(message::WrongEncoding(kind, file, encoding));
            throw KolvaneError(message::MissingColumn(kind, file, names[c]));
        }
        map[c] = found;
    }
    return fields.size();
}

// Splits a line at every "," into `fields` (cleared first). Returns false as soon as there are more
// than `expected` fields; the caller compares the count.
template <typename Vec> bool SplitFieldsInto(std::string_view line, std::size_t expected, Vec& fields) {
    fields.clear();
    // Fields are short: a plain scan beats a library search per field.
    const char* begin = line.data();
    const char* end = begin + line.size();
    const char* start = begin;
    for (const char* p = begin; p != end; ++p) {
        if (*p != ',') continue;
        if (fields.size() == expected) return false;
        fields.emplace_back(start, static_cast<std::size_t>(p - start));
        start = p + 1;
    }
    if (fields.size() == expected) return false;
    fields.emplace_back(start, static_cast<std::size_t>(end - start));
    return true;
}

// Visits the data lines of a CSV text whose header must hold each of `names` once: every non-empty
// line after the header with as many fields as the header, as its fields, the map from each name to
// its field, and the 1-based line number. An empty text has no lines.
template <std::size_t N, typename Visit>
void ForEachDataLine(std::string_view bytes, const std::array<std::string_view, N>& names, FileKind kind,
                     const std::string& file, Visit&& visit) {
    std::array<std::size_t, N> column{};
    std::size_t fieldCount = 0;
    std::vector<std::string_view> fields;
    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1) {
            fieldCount = MapHeaderColumns(line, names, kind, file, column);
            return;
        }
        if (line.empty()) return;
        if (!SplitFieldsInto(line, fieldCount, fields) || fields.size() != fieldCount) return;
        visit(fields, column, number);
    });
}

// The leading number of a field; a number beyond the range of a double stops the run.
inline double ReadNumberField(std::string_view field, FileKind kind, const std::string& file,
                              std::size_t lineNumber) {
    LeadingNumber n = ParseLeadingNumber(field);
    if (n.status == NumberStatus::OutOfRange)
        throw KolvaneError(message::NumberTooLarge(kind, file, lineNumber));
    return n.value;
}

} // namespace kolvane
