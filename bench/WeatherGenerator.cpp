#include "WeatherGenerator.h"

#include "model/FileNames.h"
#include "model/Text.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace kolvane::bench {
namespace {

// Doubles only meet exact operations here (+, -, *, /, floor, round; the target is built without FMA
// contraction): sine, cosine and logarithm are our own series, and the noise is our own hash. So the files
// are the same byte for byte on every IEEE-754 machine and with every standard library.

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kLn2 = 0.6931471805599453;
constexpr double kYearDays = 365.2425;
constexpr double kLatitudeDegrees = 35.5;

constexpr std::string_view kHeader =
    "年月日,時刻,降水量,気温,湿度,気圧,風向,平均風速,最大瞬間風速,最大時風向,日射量,露点温度,地中温度";
constexpr int kColumns = 13;

// Keeps the noise of each quantity apart.
enum Channel : uint64_t {
    kTempSlow = 1,
    kTempFast,
    kTempHour,
    kHumidSlow,
    kHumidHour,
    kPressSlow,
    kPressFast,
    kDirSlow,
    kDirHour,
    kSpeedSlow,
    kSpeedHour,
    kGustHour,
    kCloudSlow,
    kSunHour,
    kGroundSlow,
    kRainDay,
    kRainHour,
    kBlemish,
};

// SplitMix64 finaliser: a good 64-bit mixer, and the step of the stream below.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

uint64_t Hash(uint64_t seed, uint64_t channel, int64_t index) {
    return Mix(Mix(Mix(seed) + channel) + static_cast<uint64_t>(index));
}

// [0, 1)
double Uniform(uint64_t seed, uint64_t channel, int64_t index) {
    return static_cast<double>(Hash(seed, channel, index) >> 11) * 0x1.0p-53;
}

// Roughly normal (sum of four uniforms), mean 0 and standard deviation 1, within about +-3.5.
double Gauss(uint64_t seed, uint64_t channel, int64_t index) {
    uint64_t h = Hash(seed, channel, index);
    double sum = 0;
    for (int i = 0; i < 4; ++i, h >>= 16)
        sum += static_cast<double>(h & 0xFFFF) / 65536.0;
    return (sum - 2.0) * 1.7320508075688772;
}

// Smooth noise in [-1, 1] over time t (hours): hashed knots every `period` hours, joined by smoothstep.
double Smooth(uint64_t seed, uint64_t channel, double t, double period) {
    double x = t / period;
    double k = std::floor(x);
    double f = x - k;
    double s = f * f * (3.0 - 2.0 * f);
    auto knot = static_cast<int64_t>(k);
    double a = 2.0 * Uniform(seed, channel, knot) - 1.0;
    double b = 2.0 * Uniform(seed, channel, knot + 1) - 1.0;
    return a + (b - a) * s;
}

class Stream {
  public:
    explicit Stream(uint64_t seed) : state_(seed) {}
    uint64_t Next() { return Mix(state_++ * 0x9E3779B97F4A7C15ULL); }
    // [0, n) for small n; the modulo bias is far below anything that matters here.
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

  private:
    uint64_t state_;
};

double Cosine(double x) {
    x -= kTwoPi * std::round(x / kTwoPi);
    double x2 = x * x;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 14; ++n) {
        term *= -x2 / static_cast<double>((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

double Sine(double x) {
    return Cosine(x - kPi / 2.0);
}

double NaturalLog(double x) {
    int k = 0;
    for (; x < 0.75; x *= 2.0)
        --k;
    for (; x > 1.5; x *= 0.5)
        ++k;
    double z = (x - 1.0) / (x + 1.0);
    double z2 = z * z;
    double term = z;
    double sum = 0.0;
    for (int n = 1; n < 40; n += 2, term *= z2)
        sum += term / n;
    return 2.0 * sum + k * kLn2;
}

// Yearly cycle: 1 on day `peakDay` of the year (0 = 1 January), -1 half a year later.
double Seasonal(double dayPos, double peakDay) {
    return Cosine(kTwoPi * (dayPos - peakDay) / kYearDays);
}

// A raised-cosine bump over the year, 1 on `centerDay`, 0 beyond `halfWidth` days from it.
double SeasonBump(double dayPos, double centerDay, double halfWidth) {
    double dx = dayPos - centerDay;
    dx -= kYearDays * std::round(dx / kYearDays);
    if (std::abs(dx) >= halfWidth) return 0.0;
    return 0.5 * (1.0 + Cosine(kPi * dx / halfWidth));
}

int64_t Tenths(double v) {
    return std::llround(v * 10.0);
}

struct RainEvent {
    int64_t first = 0; // hour index of the first wet hour
    int64_t end = 0;   // one past the last
    double intensity = 0;
};

// At most one rain event starts on a day; it may run on into the next day.
RainEvent RainStartingOn(uint64_t seed, int64_t day) {
    double dayPos = static_cast<double>(day) + 0.5;
    double rainySeason = SeasonBump(dayPos, 175.0, 30.0); // mid-June to mid-July
    double typhoons = SeasonBump(dayPos, 257.0, 30.0);    // September
    double winter = SeasonBump(dayPos, 15.0, 75.0);
    double chance = 0.24 + 0.26 * rainySeason + 0.12 * typhoons - 0.10 * winter;
    if (Uniform(seed, kRainDay, day * 4) >= chance) return {};
    double u = Uniform(seed, kRainDay, day * 4 + 2);
    double v = Uniform(seed, kRainDay, day * 4 + 3);
    RainEvent e;
    e.first = day * 24 + static_cast<int64_t>(24.0 * Uniform(seed, kRainDay, day * 4 + 1));
    e.end = e.first + 2 + static_cast<int64_t>(15.0 * u * u);
    e.intensity = (0.5 + 6.0 * v * v * v) * (1.0 + 0.7 * rainySeason + 1.0 * typhoons);
    return e;
}

// The tips of the bucket from the start of an event to the end of hour k.
int64_t BucketTips(uint64_t seed, const RainEvent& e, int64_t k) {
    double rain = 0;
    for (int64_t h = e.first; h <= k && h < e.end; ++h)
        rain += e.intensity * (0.3 + 1.4 * Uniform(seed, kRainHour, h));
    return static_cast<int64_t>(std::floor(rain * 2.0));
}

int64_t Overlap(const RainEvent& e, int64_t from, int64_t to) {
    return std::max<int64_t>(0, std::min(e.end, to) - std::max(e.first, from));
}

struct Observation {
    int64_t precip = 0;   // tenths of a millimetre, in steps of 0.5 mm
    int64_t temp = 0;     // tenths of a degree
    int64_t humidity = 0; // percent
    int64_t pressure = 0; // tenths of a hectopascal
    int64_t windDir = 0;  // degrees, 0 when calm, 360 for north
    int64_t windSpeed = 0;
    int64_t gust = 0;
    int64_t gustDir = 0;
    int64_t solar = 0; // hundredths of MJ/m2
    int64_t dewPoint = 0;
    int64_t ground = 0;
};

int64_t Direction(double degrees) {
    auto d = std::llround(degrees - 360.0 * std::floor(degrees / 360.0));
    return d == 0 ? 360 : d;
}

// The hour that ends at hour index k + 1 (hours since 1970-01-01 00:00) of day `day`.
Observation Observe(uint64_t seed, int64_t day, int64_t k, const RainEvent& yesterday,
                    const RainEvent& today) {
    const double t = static_cast<double>(k) + 0.5; // middle of the hour
    const double dayPos = t / 24.0;
    const double hourOfDay = t - 24.0 * static_cast<double>(day);
    const double summer = 0.5 + 0.5 * Seasonal(dayPos, 200.0);

    Observation o;

    // Rain: a tipping bucket of 0.5 mm, so drizzle tips every other hour or so, as real gauges do.
    bool raining = false;
    for (const RainEvent* e : {&yesterday, &today}) {
        if (k >= e->first && k < e->end) {
            raining = true;
            o.precip += 5 * (BucketTips(seed, *e, k) - BucketTips(seed, *e, k - 1));
        }
    }
    const double wetHours = static_cast<double>(Overlap(yesterday, day * 24, day * 24 + 24) +
                                                Overlap(today, day * 24, day * 24 + 24));
    const double wetness = std::min(1.0, wetHours / 8.0);
    // Clear winters on the Pacific side, cloudier summers.
    const double clearness =
        std::clamp(0.55 + 0.2 * (1.0 - summer) + 0.5 * Smooth(seed, kCloudSlow, t, 30.0), 0.2, 1.0) *
        (1.0 - 0.65 * wetness);

    // Temperature: seasonal cycle, passing weather, and a day curve warming 6 to 14 h, cooling till 6 h.
    const double dayMean = 15.8 + 11.6 * Seasonal(dayPos, 212.0) + 2.6 * Smooth(seed, kTempSlow, t, 70.0) +
                           1.0 * Smooth(seed, kTempFast, t, 20.0) - 1.2 * wetness;
    double shape = 0;
    if (hourOfDay >= 6.0 && hourOfDay <= 14.0) {
        shape = -Cosine(kPi * (hourOfDay - 6.0) / 8.0);
    } else {
        double since = hourOfDay > 14.0 ? hourOfDay - 14.0 : hourOfDay + 10.0;
        shape = Cosine(kPi * since / 16.0);
    }
    const double swing = (2.2 + 3.6 * clearness) * shape;
    o.temp = Tenths(dayMean + swing + 0.3 * Gauss(seed, kTempHour, k));

    // Humidity falls as the day warms; rain keeps it near saturation.
    double humidity = 60.0 + 16.0 * summer + 8.0 * Smooth(seed, kHumidSlow, t, 48.0) - 2.6 * swing +
                      2.5 * Gauss(seed, kHumidHour, k) + 10.0 * wetness;
    if (raining) humidity = std::max(humidity, 86.0 + 13.0 * Uniform(seed, kHumidHour, k + (1LL << 40)));
    o.humidity = std::clamp<int64_t>(std::llround(humidity), 12, 100);

    // Dew point from the written temperature and humidity (Magnus formula).
    const double tempC = static_cast<double>(o.temp) / 10.0;
    const double gamma =
        NaturalLog(static_cast<double>(o.humidity) / 100.0) + 17.62 * tempC / (243.12 + tempC);
    o.dewPoint = Tenths(243.12 * gamma / (17.62 - gamma));

    // Pressure: higher in winter, passing highs and lows, the twice-daily tide.
    o.pressure = Tenths(1013.0 + 4.5 * Seasonal(dayPos, 15.0) + 7.5 * Smooth(seed, kPressSlow, t, 60.0) +
                        2.5 * Smooth(seed, kPressFast, t, 18.0) - 4.0 * wetness +
                        0.7 * Cosine(4.0 * kPi * (hourOfDay - 10.0) / 24.0));

    // Wind: north-westerly winter monsoon turning south-south-east in summer; stronger in the afternoon.
    const double prevailing = 315.0 - 155.0 * summer;
    const double direction =
        prevailing + 55.0 * Smooth(seed, kDirSlow, t, 30.0) + 20.0 * Gauss(seed, kDirHour, k);
    double speed = (2.5 + 0.9 * (1.0 - summer)) * (1.0 + 0.6 * Smooth(seed, kSpeedSlow, t, 36.0)) *
                       (1.0 + 0.45 * Cosine(kTwoPi * (hourOfDay - 14.0) / 24.0)) +
                   0.5 * wetness + 0.45 * Gauss(seed, kSpeedHour, k);
    o.windSpeed = speed < 0.3 ? 0 : Tenths(speed);
    o.windDir = o.windSpeed == 0 ? 0 : Direction(direction);
    const double u = Uniform(seed, kGustHour, k);
    o.gust = std::max(o.windSpeed, Tenths(std::max(speed, 0.0) * (1.4 + 0.5 * u) + 0.4 + 0.8 * u * u));
    o.gustDir = Direction(direction + 25.0 * Gauss(seed, kGustHour, k + (1LL << 40)));

    // Solar radiation: clear-sky hourly sum from the sun's height, cut by cloud and rain.
    const double declination = 0.4091 * Sine(kTwoPi * (dayPos - 80.0) / kYearDays);
    const double latitude = kLatitudeDegrees * kPi / 180.0;
    const double sinHeight =
        Sine(latitude) * Sine(declination) +
        Cosine(latitude) * Cosine(declination) * Cosine(kTwoPi * (hourOfDay - 12.0) / 24.0);
    if (sinHeight > 0.02) {
        double clearSky = 4.92 * sinHeight * (0.5 + 0.2 * sinHeight);
        double sun = clearSky * (0.15 + 0.85 * clearness) * (0.9 + 0.2 * Uniform(seed, kSunHour, k));
        if (raining) sun *= 0.25;
        o.solar = std::llround(sun * 100.0);
    }

    // Ground temperature: the yearly cycle damped and delayed, a small late-afternoon swing.
    o.ground = Tenths(16.8 + 10.2 * Seasonal(dayPos, 222.0) + 1.2 * Smooth(seed, kGroundSlow, t, 120.0) +
                      (0.4 + 0.6 * clearness) * Cosine(kTwoPi * (hourOfDay - 17.0) / 24.0));
    return o;
}

// The faults the sample station carries on purpose, so that the plausibility checks have something true
// to show (README, "Plausibility checks").
void PlantFault(const YearMonth& ym, int day, int hour, Observation& o) {
    const int at = ((ym.year * 100 + ym.month) * 100 + day) * 100 + hour;
    if (at == 2024041814) o.temp += 80;                                      // a spike of +8 °C
    if (at == 2025012016) o.pressure -= 120;                                 // a spike of -12 hPa
    if (at / 100 == 20240807 && hour >= 10 && hour <= 15) o.solar = 120;     // radiation stuck at 1.20
    if (at == 2024100203) o.solar = 45;                                      // 0.45 MJ/m2 in the night
    if (at == 2025021209) std::tie(o.windSpeed, o.gust) = std::pair(40, 30); // gust below the mean
}

void AppendInt(std::string& out, int64_t value) {
    char buffer[24];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

// `value` in units of 10^-decimals, written with exactly that many decimals.
void AppendScaled(std::string& out, int64_t value, int decimals) {
    const int64_t scale = decimals == 2 ? 100 : 10;
    if (value < 0) {
        out += '-';
        value = -value;
    }
    AppendInt(out, value / scale);
    out += '.';
    int64_t fraction = value % scale;
    if (decimals == 2 && fraction < 10) out += '0';
    AppendInt(out, fraction);
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

} // namespace

std::optional<YearMonth> ParseYearMonth(std::string_view text) {
    if (text.size() != 7 || text[4] != '/') return std::nullopt;
    int year = 0;
    int month = 0;
    auto digits = [](std::string_view s, int& value) {
        if (!std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
        std::from_chars(s.data(), s.data() + s.size(), value);
        return true;
    };
    if (!digits(text.substr(0, 4), year) || !digits(text.substr(5, 2), month)) return std::nullopt;
    if (year < 1970 || year > 2069 || month < 1 || month > 12) return std::nullopt;
    return YearMonth{year, month};
}

YearMonth NextMonth(YearMonth ym) {
    return ym.month == 12 ? YearMonth{ym.year + 1, 1} : YearMonth{ym.year, ym.month + 1};
}

GeneratedMonth GenerateMonth(YearMonth ym, const GeneratorOptions& options) {
    using namespace std::chrono;
    const year_month calendarMonth{year{ym.year}, month{static_cast<unsigned>(ym.month)}};
    const int days = static_cast<int>(static_cast<unsigned>((calendarMonth / last).day()));
    const int64_t firstDay = sys_days(calendarMonth / 1).time_since_epoch().count();
    const std::size_t hours = static_cast<std::size_t>(days) * 24;
    const uint64_t seed = options.seed;

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t missingLine = kNone;
    std::size_t xLine = kNone;
    std::size_t emptyLine = kNone;
    int xColumn = 0;
    int emptyColumn = 0;
    if (options.blemishes) {
        Stream rng(Hash(seed, kBlemish, ym.year * 12 + ym.month));
        missingLine = rng.Below(hours);
        do
            xLine = rng.Below(hours);
        while (xLine == missingLine);
        xColumn = 2 + static_cast<int>(rng.Below(kColumns - 2));
        if (rng.Below(2) == 0) {
            do
                emptyLine = rng.Below(hours);
            while (emptyLine == missingLine || emptyLine == xLine);
            emptyColumn = 2 + static_cast<int>(rng.Below(kColumns - 2));
        }
    }

    GeneratedMonth result;
    std::string& out = result.bytes;
    out.reserve(hours * 72 + 128);
    out += EncodeCp932(kHeader);
    out += "\r\n";

    std::string date;
    for (int d = 0; d < days; ++d) {
        const int64_t day = firstDay + d;
        const RainEvent yesterday = RainStartingOn(seed, day - 1);
        const RainEvent today = RainStartingOn(seed, day);
        date.clear();
        AppendInt(date, ym.year);
        date += '/';
        AppendTwoDigits(date, ym.month);
        date += '/';
        AppendTwoDigits(date, d + 1);

        for (int h = 1; h <= 24; ++h) {
            const std::size_t line = static_cast<std::size_t>(d) * 24 + static_cast<std::size_t>(h - 1);
            if (line == missingLine) continue;
            Observation o = Observe(seed, day, day * 24 + h - 1, yesterday, today);
            if (options.plantedFaults) PlantFault(ym, d + 1, h, o);
            int column = 0;
            auto field = [&](auto&& write) {
                if (column > 0) out += ',';
                if (line == xLine && column == xColumn) {
                    out += 'X';
                } else if (!(line == emptyLine && column == emptyColumn)) {
                    write();
                }
                ++column;
            };
            field([&] { out += date; });
            field([&] {
                AppendInt(out, h);
                out += ":00";
            });
            field([&] { AppendScaled(out, o.precip, 1); });
            field([&] { AppendScaled(out, o.temp, 1); });
            field([&] { AppendInt(out, o.humidity); });
            field([&] { AppendScaled(out, o.pressure, 1); });
            field([&] { AppendInt(out, o.windDir); });
            field([&] { AppendScaled(out, o.windSpeed, 1); });
            field([&] { AppendScaled(out, o.gust, 1); });
            field([&] { AppendInt(out, o.gustDir); });
            field([&] { AppendScaled(out, o.solar, 2); });
            field([&] { AppendScaled(out, o.dewPoint, 1); });
            field([&] { AppendScaled(out, o.ground, 1); });
            out += "\r\n";
            ++result.dataLines;
        }
    }
    return result;
}

StationTotals WriteStation(const std::filesystem::path& folder, std::string_view group,
                           std::string_view bucket, YearMonth from, YearMonth to,
                           const GeneratorOptions& options) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw std::runtime_error("cannot create folder " + folder.string() + ": " + ec.message());

    StationTotals totals;
    for (YearMonth ym = from; ym.year < to.year || (ym.year == to.year && ym.month <= to.month);
         ym = NextMonth(ym)) {
        const GeneratedMonth month = GenerateMonth(ym, options);
        const std::filesystem::path path =
            folder / MonthlyFileName(ym.year, ym.month, StationKey{std::string(group), std::string(bucket)});
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(month.bytes.data(), static_cast<std::streamsize>(month.bytes.size()));
        file.close();
        if (!file) throw std::runtime_error("cannot write " + path.string());
        ++totals.files;
        totals.dataLines += month.dataLines;
        totals.bytes += month.bytes.size();
    }
    return totals;
}

} // namespace kolvane::bench
