#include "model/Csv.h"

#include "model/DateText.h"
#include "model/Error.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <algorithm>

namespace kolvane {

void SplitFieldsInto(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    FieldCursor cursor(line);
    std::string_view field;
    while (cursor.Next(field))
        fields.push_back(field);
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    SplitFieldsInto(line, fields);
    return fields;
}

std::string_view StripQuotes(std::string_view field, std::string& buffer) {
    const std::size_t quote = field.find('"');
    if (quote == std::string_view::npos) return field;
    if (quote == 0 && field.size() >= 2 && field.back() == '"') {
        const std::string_view inner = field.substr(1, field.size() - 2);
        if (inner.find('"') == std::string_view::npos) return inner;
    }
    buffer.clear();
    for (char c : field)
        if (c != '"') buffer += c;
    return buffer;
}

void SplitQuotedFieldsInto(std::string_view line, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
}

std::vector<std::string> SplitQuotedFields(std::string_view line) {
    std::vector<std::string> fields;
    SplitQuotedFieldsInto(line, fields);
    return fields;
}

ColumnProblem LocateColumns(std::span<const std::string_view> headerFields,
                            std::span<const std::string_view> required,
                            std::span<const std::string_view> optional, HeaderColumns& columns) {
    columns.fields = headerFields.size();
    columns.required.assign(required.size(), 0);
    columns.optional.assign(optional.size(), std::nullopt);
    columns.needed = 0;
    for (std::size_t c = 0; c < required.size(); ++c) {
        const auto first = std::find(headerFields.begin(), headerFields.end(), required[c]);
        if (first == headerFields.end()) return {ColumnProblem::Missing, required[c]};
        if (std::find(first + 1, headerFields.end(), required[c]) != headerFields.end())
            return {ColumnProblem::Repeated, required[c]};
        columns.required[c] = static_cast<std::size_t>(first - headerFields.begin());
        columns.needed = std::max(columns.needed, columns.required[c] + 1);
    }
    for (std::size_t c = 0; c < optional.size(); ++c) {
        const auto found = std::find(headerFields.begin(), headerFields.end(), optional[c]);
        if (found != headerFields.end())
            columns.optional[c] = static_cast<std::size_t>(found - headerFields.begin());
    }
    return {};
}

HeaderColumns MapHeader(std::string_view headerLine, std::span<const std::string_view> required,
                        std::span<const std::string_view> optional, FileKind kind, const std::string& file) {
    const std::string header = DecodeCp932(headerLine);
    const std::vector<std::string_view> fields = SplitFields(header);
    HeaderColumns columns;
    const ColumnProblem problem = LocateColumns(fields, required, optional, columns);
    if (problem.kind == ColumnProblem::Repeated)
        throw KolvaneError(message::RepeatedColumn(kind, file, problem.name));
    if (problem.kind == ColumnProblem::Missing) {
        // A file saved again by an editor in another encoding has every name, just not in CP932.
        std::string_view encoding;
        if (headerLine.starts_with("\xFF\xFE") || headerLine.starts_with("\xFE\xFF"))
            encoding = "UTF-16";
        else if (headerLine.starts_with("\xEF\xBB\xBF") || headerLine.find(problem.name) != headerLine.npos)
            encoding = "UTF-8";
        if (!encoding.empty()) throw KolvaneError(message::WrongEncoding(kind, file, encoding));
        throw KolvaneError(message::MissingColumn(kind, file, problem.name));
    }
    return columns;
}

double ReadNumberField(std::string_view field, FileKind kind, const std::string& file,
                       std::size_t lineNumber) {
    const LeadingNumber n = ParseLeadingNumber(field);
    if (n.status == NumberStatus::OutOfRange)
        throw KolvaneError(message::NumberTooLarge(kind, file, lineNumber));
    return n.value;
}

std::string FieldCountCause(std::size_t fields, std::size_t headerFields) {
    return std::to_string(fields) + " 列あり、見出し行は " + std::to_string(headerFields) + " 列です";
}

CsvWriter& CsvWriter::AddQuotedDate(int32_t year, int32_t month, int32_t day) {
    std::string& out = Field();
    out += '"';
    AppendShortDate(out, year, month, day);
    out += '"';
    return *this;
}

CsvWriter& CsvWriter::AddEscaped(std::string_view text) {
    std::string& out = Field();
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return *this;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return *this;
}

std::string HeaderLine(std::span<const std::string_view> names) {
    std::string line;
    CsvWriter writer(line);
    for (std::string_view name : names)
        writer.Add(name);
    writer.EndLine();
    return line;
}

} // namespace kolvane
