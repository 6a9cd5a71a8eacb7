#pragma once

// Reading and writing the CSV files of the program, in one place: a file's header, its fields, its quotes
// and its line ends. A reader finds its columns by name; a writer is a list of fields.

#include "model/Messages.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The fields of a line, one at a time, split at every ",": no field of the monthly, yearly or companion
// files holds a comma. Never copies.
class FieldCursor {
  public:
    explicit FieldCursor(std::string_view line) : rest_(line) {}

    // The next field; false after the last. An empty line is one empty field.
    bool Next(std::string_view& field) {
        if (done_) return false;
        const std::size_t comma = rest_.find(',');
        if (comma == std::string_view::npos) {
            field = rest_;
            done_ = true;
        } else {
            field = rest_.substr(0, comma);
            rest_.remove_prefix(comma + 1);
        }
        return true;
    }

  private:
    std::string_view rest_;
    bool done_ = false;
};

// The fields of `line` into `fields` (cleared first, so one vector serves every line).
void SplitFieldsInto(std::string_view line, std::vector<std::string_view>& fields);
std::vector<std::string_view> SplitFields(std::string_view line);

// A field with every double quote removed, as a date may be written ("24/07/17"): a view into the field
// when it has no quote or one pair around it, else a copy without them in `buffer`.
std::string_view StripQuotes(std::string_view field, std::string& buffer);

// The fields of a line where a field may be quoted to hold "," (quotes doubled inside): a,"b,""c""" gives
// a and b,"c".
void SplitQuotedFieldsInto(std::string_view line, std::vector<std::string>& fields);
std::vector<std::string> SplitQuotedFields(std::string_view line);

// What a reader made of a file's lines after the header: how many were not blank, how many gave a record,
// and the ones it could not read (a field count, a date, a value it cannot take; not a line it leaves out
// by rule, such as an hour with a missing value), with the first of them.
struct LinesRead {
    std::size_t dataLines = 0;
    std::size_t taken = 0;
    std::size_t unreadable = 0;
    std::size_t firstNumber = 0; // the first unreadable line's number
    std::string firstLine;       // and its bytes
    std::string why;             // and why it could not be read (UTF-8)

    // Counts an unreadable line; `why()` words the cause, asked only for the first.
    template <typename Why> void Unreadable(std::size_t number, std::string_view line, Why&& whyOf) {
        if (unreadable++ > 0) return;
        firstNumber = number;
        firstLine = line;
        why = whyOf();
    }
    message::UnreadLine FirstUnreadable() const { return {firstNumber, firstLine, why}; }
};

// The cause of a line with another number of fields than its header: 「14 列あり、見出し行は 13 列です」.
std::string FieldCountCause(std::size_t fields, std::size_t headerFields);

// A header's columns. Names are compared with the header decoded from CP932.
struct HeaderColumns {
    std::vector<std::size_t> required;                // the field of each required name
    std::vector<std::optional<std::size_t>> optional; // the first field of each optional name, if any
    std::size_t fields = 0;                           // fields of the header
    std::size_t needed = 0;                           // fields a line needs to reach every required column
};

// The first problem of a header: a required name that is missing, or that is there twice.
struct ColumnProblem {
    enum Kind { None, Missing, Repeated } kind = None;
    std::string_view name;
};

// Finds the required and optional names among decoded header fields, without throwing.
ColumnProblem LocateColumns(std::span<const std::string_view> headerFields,
                            std::span<const std::string_view> required,
                            std::span<const std::string_view> optional, HeaderColumns& columns);

// The columns of a CP932 header line. A missing or repeated required column throws KolvaneError naming
// `file` of `kind` and the column; a header saved in UTF-8 or UTF-16 is named as such instead.
HeaderColumns MapHeader(std::string_view headerLine, std::span<const std::string_view> required,
                        std::span<const std::string_view> optional, FileKind kind, const std::string& file);

// The leading number of a field; a number beyond the range of a double stops the run, naming the line.
double ReadNumberField(std::string_view field, FileKind kind, const std::string& file,
                       std::size_t lineNumber);

// Lines as every file of the program is written: fields joined by ",", each line ended with CR LF, into
// a text the caller owns (UTF-8 until it is encoded).
class CsvWriter {
  public:
    explicit CsvWriter(std::string& out) : out_(out) {}

    // The text, with the separator of a next field appended: the field's characters go after it.
    std::string& Field() {
        if (!first_) out_ += ',';
        first_ = false;
        return out_;
    }
    CsvWriter& Add(std::string_view text) {
        Field() += text;
        return *this;
    }
    // "yy/mm/dd" in quotes, so that a spreadsheet keeps it as the text it is.
    CsvWriter& AddQuotedDate(int32_t year, int32_t month, int32_t day);
    // Quoted, its quotes doubled, only when it holds a separator, a quote or a line end.
    CsvWriter& AddEscaped(std::string_view text);
    void EndLine() {
        out_ += "\r\n";
        first_ = true;
    }

  private:
    std::string& out_;
    bool first_ = true;
};

// The header line of `names`, UTF-8 with its CR LF.
std::string HeaderLine(std::span<const std::string_view> names);

} // namespace kolvane
