#include "formats/MonthlyFile.h"

#include "model/Columns.h"
#include "model/Csv.h"
#include "model/DateText.h"
#include "model/Error.h"
#include "model/Numbers.h"
#include "model/Text.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace kolvane {
namespace {

bool IsMissing(std::string_view field) {
    return field.empty() || field == "X";
}

// One search a line: counting byte by byte costs more than reading the line.
std::size_t CountOf(std::string_view bytes, char c) {
    std::size_t count = 0;
    for (std::size_t at = bytes.find(c); at != std::string_view::npos; at = bytes.find(c, at + 1))
        ++count;
    return count;
}

const char* EndOfField(const char* p, const char* end) {
    if (p == end) return end;
    const void* comma = std::memchr(p, ',', static_cast<std::size_t>(end - p));
    return comma ? static_cast<const char*>(comma) : end;
}

// What a field of the header's position is read into.
struct Slot {
    enum Role : int8_t { Ignored, Date, Time, Value } role = Ignored;
    double HourlyRecord::*value = nullptr;
};

// One monthly file being read: its header's columns, and what every line needs again.
class MonthlyReader {
  public:
    MonthlyReader(const std::string& file, HourlyTable& hourly) : file_(file), hourly_(hourly) {}

    void Header(std::string_view line) {
        const HeaderColumns columns = MapHeader(line, MONTHLY_HEADER, {}, FileKind::Monthly, file_);
        slots_.assign(columns.fields, Slot{});
        slots_[columns.required[0]].role = Slot::Date;
        slots_[columns.required[1]].role = Slot::Time;
        for (std::size_t c = 2; c < columns.required.size(); ++c)
            slots_[columns.required[c]] = {Slot::Value, MONTHLY_VALUE_COLUMNS[c - 2].field};
    }

    // The line is taken only when its count of fields, its values and its date allow.
    void Line(std::string_view line, std::size_t number) {
        ++read_.dataLines;
        HourlyRecord r;
        const LineFields f = ReadFields(line, r);
        if (f.count != slots_.size() && !(f.count == slots_.size() + 1 && f.last.empty())) {
            read_.Unreadable(number, line, [&] { return FieldCountCause(f.count, slots_.size()); });
            return;
        }
        if (f.missing) return;
        const std::optional<DateParts> when = ReadObservationHour(f.date, f.time, buffer_);
        if (!when) {
            read_.Unreadable(number, line, [&] { return message::UnreadableHourCause(f.date, f.time); });
            return;
        }
        if (f.tooLarge) throw KolvaneError(message::NumberTooLarge(FileKind::Monthly, file_, number));
        SetDateParts(r, *when);
        hourly_.push_back(r);
        ++read_.taken;
    }

    const LinesRead& Read() const { return read_; }

  private:
    struct LineFields {
        std::string_view last, date, time;
        std::size_t count = 0;
        bool missing = false, tooLarge = false;
    };

    // Each field is read as it is reached, into `r`.
    [[gnu::always_inline]] LineFields ReadFields(std::string_view line, HourlyRecord& r) const {
        LineFields f;
        const char* p = line.data();
        const char* const end = p + line.size();
        bool more = true; // a separator was passed: another field follows, if only an empty one
        for (std::size_t k = 0; more && !f.missing && k < slots_.size(); ++k) {
            const Slot& slot = slots_[k];
            const char* const start = p;
            // A plain decimal that ends at a separator is the whole field: no search for its end.
            const std::size_t plain =
                slot.role == Slot::Value ? ReadPlainDecimalPrefix({p, end}, r.*slot.value) : 0;
            if (plain > 0 && (p + plain == end || p[plain] == ',')) {
                p += plain;
            } else {
                p = EndOfField(p, end);
                ReadOther(slot, {start, static_cast<std::size_t>(p - start)}, r, f);
            }
            f.last = {start, static_cast<std::size_t>(p - start)};
            ++f.count;
            more = p != end;
            p += more ? 1 : 0;
        }
        // Fields past the header's, or after a missing value, are only counted.
        while (more) {
            const char* const start = p;
            p = EndOfField(p, end);
            f.last = {start, static_cast<std::size_t>(p - start)};
            ++f.count;
            more = p != end;
            p += more ? 1 : 0;
        }
        return f;
    }

    // A field that is not a plain decimal: missing, the date or the time, or a number by the general rule.
    [[gnu::always_inline]] static void ReadOther(const Slot& slot, std::string_view text, HourlyRecord& r,
                                                 LineFields& f) {
        if (slot.role == Slot::Ignored) {
        } else if (IsMissing(text)) {
            f.missing = true;
        } else if (slot.role == Slot::Date) {
            f.date = text;
        } else if (slot.role == Slot::Time) {
            f.time = text;
        } else {
            const LeadingNumber n = ParseLeadingNumber(text);
            f.tooLarge |= n.status == NumberStatus::OutOfRange;
            r.*slot.value = n.value;
        }
    }

    const std::string& file_;
    HourlyTable& hourly_;
    std::vector<Slot> slots_; // one for each field of the header
    std::string buffer_;
    LinesRead read_;
};

} // namespace

LinesRead ParseMonthlyText(std::string_view bytes, const std::string& file, HourlyTable& hourly) {
    hourly.clear();
    // At most one hour per line. Growing by doubling instead would need the table twice over while it
    // moves, which for a file of years of hours is more than the file itself.
    const std::size_t lineEnds = CountOf(bytes, '\n');
    hourly.reserve(lineEnds ? lineEnds : CountOf(bytes, '\r'));
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
