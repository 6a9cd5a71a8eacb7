#include "formats/MonthlyFile.h"

#include "model/Columns.h"
#include "model/Csv.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kolvane {
namespace {

constexpr int8_t NOT_READ = -1;
constexpr int8_t DATE = 0;
constexpr int8_t TIME = 1;
constexpr int8_t FIRST_VALUE = 2;

bool IsMissing(std::string_view field) {
    return field.empty() || field == "X";
}

// One monthly file being read: its header's columns, and what every line needs again.
class MonthlyReader {
  public:
    MonthlyReader(const std::string& file, HourlyTable& hourly) : file_(file), hourly_(hourly) {}

    void Header(std::string_view line) {
        const HeaderColumns columns = MapHeader(line, MONTHLY_HEADER, {}, FileKind::Monthly, file_);
        role_.assign(columns.fields, NOT_READ);
        for (std::size_t c = 0; c < columns.required.size(); ++c)
            role_[columns.required[c]] = static_cast<int8_t>(c);
    }

    // Each field is read as it is reached; the line is taken only when its count, values and date allow.
    void Line(std::string_view line, std::size_t number) {
        ++read_.dataLines;
        FieldCursor cursor(line);
        std::string_view field, date, time;
        std::size_t count = 0;
        bool missing = false, tooLarge = false;
        HourlyRecord r;
        while (cursor.Next(field)) {
            if (count < role_.size() && !missing) {
                const int8_t role = role_[count];
                if (role == NOT_READ) {
                } else if (IsMissing(field)) {
                    missing = true;
                } else if (role == DATE) {
                    date = field;
                } else if (role == TIME) {
                    time = field;
                } else {
                    double& value =
                        r.*MONTHLY_VALUE_COLUMNS[static_cast<std::size_t>(role - FIRST_VALUE)].field;
                    if (!ReadPlainDecimal(field, value)) {
                        const LeadingNumber n = ParseLeadingNumber(field);
                        tooLarge |= n.status == NumberStatus::OutOfRange;
                        value = n.value;
                    }
                }
            }
            ++count;
        }
        if (count != role_.size() && !(count == role_.size() + 1 && field.empty())) {
            read_.Unreadable(number, line, [&] { return FieldCountCause(count, role_.size()); });
            return;
        }
        if (missing) return;
        const std::optional<DateParts> when = ReadObservationHour(date, time, buffer_);
        if (!when) {
            read_.Unreadable(number, line, [&] { return message::UnreadableHourCause(date, time); });
            return;
        }
        if (tooLarge) throw KolvaneError(message::NumberTooLarge(FileKind::Monthly, file_, number));
        SetDateParts(r, *when);
        hourly_.push_back(r);
        ++read_.taken;
    }

    const LinesRead& Read() const { return read_; }

  private:
    const std::string& file_;
    HourlyTable& hourly_;
    std::vector<int8_t> role_; // for each field of a line: DATE, TIME, FIRST_VALUE + value column, NOT_READ
    std::string buffer_;
    LinesRead read_;
};

} // namespace

LinesRead ParseMonthlyText(std::string_view bytes, const std::string& file, HourlyTable& hourly) {
    hourly.clear();
    // At most one hour per line. Growing by doubling instead would need the table twice over while it
    // moves, which for a file of years of hours is more than the file itself.
    const auto lineEnds = std::count(bytes.begin(), bytes.end(), '\n');
    hourly.reserve(
        static_cast<std::size_t>(lineEnds ? lineEnds : std::count(bytes.begin(), bytes.end(), '\r')));
    MonthlyReader reader(file, hourly);
    ForEachLine(bytes, [&](std::string_view line, std::size_t number) {
        if (number == 1)
            reader.Header(line);
        else if (!line.empty())
            reader.Line(line, number);
    });
    return reader.Read();
}

} // namespace kolvane
