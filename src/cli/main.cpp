// kolvane-convert: the conversion of the window, for batch work and scripting.

#include "discovery/Discovery.h"
#include "formats/QualityFile.h"
#include "formats/YearlyFile.h"
#include "model/DateText.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"
#ifdef KOLVANE_HAVE_PLOT
#include "plot/PlotFile.h"
#endif
#include "engine/Engine.h"
#include "request/LatitudeTable.h"
#include "request/RunRequest.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kolvane;

constexpr int EXIT_CONVERSION_ERROR = 1;
constexpr int EXIT_USAGE_ERROR = 2;

constexpr const char* HELP = R"(使い方:
  kolvane-convert --monthly DIR [--output DIR] --group GG --bucket BB --lat D:M:S (--all | YYYY/MM ...)
  kolvane-convert --monthly DIR [--output DIR] (--station GGBB ... | --all-stations)
                  (--lat D:M:S | --lat-table FILE) (--all | YYYY/MM ...) [-j N]
  kolvane-convert --monthly DIR --list
  kolvane-convert --summary YEARLYFILE
  kolvane-convert --plot IMAGE YEARLYFILE
  kolvane-convert --help

月次ファイル M{yy}{mm}_{GG}{BB}.csv から年次ファイル Y{yyyy}_{GG}{BB}.csv を作成します。
選択した月を暦年ごとにまとめ、年ごとに 1 つの年次ファイルを書きます。

  --monthly DIR     月次ファイルのあるフォルダ。同じ年・同じ観測点の年次ファイルがここにあれば、
                    その日の値を先に読み込み、新しい月の値で置き換えて残します。
  --output DIR      年次ファイルを保存するフォルダ (省略時は --monthly と同じ)。
  --replace         --output のフォルダにすでにある年次ファイルを置き換えます。そのファイルの値は
                    引き継がれません (引き継ぐのは --monthly のフォルダの年次ファイルだけです)。
                    指定しないと、置き換えられるファイルを表示して何も書かずに終わります。
  --group GG        グループID (2 文字、ファイル名のとおり)。
  --bucket BB       バケットID (2 文字、ファイル名のとおり)。
  --station GGBB    観測点 (グループID とバケットID の 4 文字、例 0312)。何度でも指定でき、
                    指定した順に変換します。
  --all-stations    --monthly のフォルダにあるすべての観測点を変換します (--list の順)。
  --lat D:M:S       観測点の緯度 (度:分:秒、例 35:30:00)。10 進の度 (例 35.5) も可。
                    度は 20-49、分と秒は 0-59。すべての観測点に同じ緯度を使います。
  --lat-table FILE  観測点ごとの緯度の表 (CSV)。1 列目が観測点 (例 0312)、2 列目が緯度
                    (度:分:秒 または 10 進の度)。1 行目は見出しでも構いません。--lat とは併用できません。
  --all             各観測点のすべての月を変換します。
  YYYY/MM ...       変換する月 (例 2005/04)。月の一覧の順 (2000 年代が 1900 年代より先) に処理します。
                    観測点が複数なら各観測点に同じ月を使います。月次ファイルのない月は誤りです。
  --allow-missing   月次ファイルのない月も変換します。その月の日は値なし (既存の年次ファイルの値は
                    残ります) になり、注意を表示します。
  -j N              同時に変換する観測点の数 (省略時は CPU の数)。
  --no-quality      品質ファイル Q{yyyy}_{GG}{BB}.csv (各日の時間数と区分: 正常・準正常・資料不足・
                    欠測・既存) を書きません。省略時は年次ファイルごとにその隣に書きます。
  --summary FILE    年次ファイルとその隣の品質ファイルから、区分ごとの日数と最も長い欠測を表示します。
  --plot IMAGE      年次ファイルの 1 年を、気温・降水量・日射と日照・水面蒸発のグラフにして IMAGE に
                    保存します (名前が .svg で終われば SVG、ほかは PNG)。品質ファイルが隣にあれば、
                    完全でないデータの日に色を付けます。画面は要りません。
  --list            フォルダにある観測点 (グループID・バケットID) と月の一覧を表示します。
  --help            この説明を表示します。

書き込んだ年次ファイルごとに 1 行、そのパスを観測点の順に表示します。エラーは標準エラー出力に
表示します。標準エラー出力が端末なら、進み具合 (観測点と年の数) も表示します。
1 つの観測点が失敗しても、ほかの観測点の変換は続け、最後に失敗した観測点とその理由を表示します。
終了コード: 0 成功、1 変換エラー (それより前の年の年次ファイルは残り、失敗した年のファイルは
変更されません)、2 使い方の誤り (何も書きません)。
)";

struct Options {
    std::string monthly;
    std::string output;
    std::string group;
    std::string bucket;
    std::vector<std::string> stations;
    bool allStations = false;
    std::string lat;
    std::string latTable;
    bool all = false;
    bool allowMissing = false;
    bool replace = false;
    bool list = false;
    bool help = false;
    bool noQuality = false;
    std::string summary;
    std::string plot;
    unsigned jobs = 0;
    std::vector<std::string> months;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

unsigned ParseJobs(const std::string& text) {
    unsigned jobs = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (ec != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > 1024)
        throw UsageError("-j には 1 から 1024 までの数を指定して下さい: " + text);
    return jobs;
}

Options ParseArguments(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        } else if (arg.size() > 2 && arg.rfind("-j", 0) == 0) {
            inlineValue = arg.substr(2);
            arg = "-j";
        }
        auto value = [&]() -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= argc) throw UsageError(arg + " に値がありません。");
            return argv[++i];
        };
        if (arg == "--monthly")
            o.monthly = value();
        else if (arg == "--output")
            o.output = value();
        else if (arg == "--group")
            o.group = value();
        else if (arg == "--bucket")
            o.bucket = value();
        else if (arg == "--station")
            o.stations.push_back(value());
        else if (arg == "--all-stations")
            o.allStations = true;
        else if (arg == "--lat")
            o.lat = value();
        else if (arg == "--lat-table")
            o.latTable = value();
        else if (arg == "--all")
            o.all = true;
        else if (arg == "--allow-missing")
            o.allowMissing = true;
        else if (arg == "--replace")
            o.replace = true;
        else if (arg == "-j" || arg == "--jobs")
            o.jobs = ParseJobs(value());
        else if (arg == "--list")
            o.list = true;
        else if (arg == "--no-quality")
            o.noQuality = true;
        else if (arg == "--summary")
            o.summary = value();
        else if (arg == "--plot")
            o.plot = value();
        else if (arg == "--help" || arg == "-h")
            o.help = true;
        else if (arg.rfind("-", 0) == 0)
            throw UsageError("不明なオプションです: " + arg);
        else
            o.months.push_back(arg);
    }
    return o;
}

// The --lat text as the parts of the request: degrees:minutes:seconds, or one text of decimal degrees.
std::vector<std::string> LatitudeParts(const std::string& text) {
    std::vector<std::string> parts = SplitLatitudeText(text);
    if (parts.size() != 1 && parts.size() != 3)
        throw UsageError("--lat には度:分:秒 (例 35:30:00) または 10 進の度 (例 35.5) を指定して下さい: " +
                         text);
    return parts;
}

// "YYYY/MM" (or YYYY/M) of a year the two-digit file names can hold, as a month list entry.
std::string ParseMonth(const std::string& text) {
    std::size_t slash = text.find('/');
    auto digits = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), IsAsciiDigit);
    };
    if (slash == 4 && digits(std::string_view(text).substr(0, 4)) &&
        digits(std::string_view(text).substr(5)) && text.size() <= 7) {
        int year = std::stoi(text.substr(0, 4));
        int month = std::stoi(text.substr(5));
        if (year >= 1970 && year <= 2069 && month >= 1 && month <= 12)
            return text.substr(0, 4) + "/" + PadTwoDigits(month);
    }
    throw UsageError("月は 1970/01 から 2069/12 までを YYYY/MM の形で指定して下さい: " + text);
}

void CheckStationId(const std::string& id, const char* option) {
    if (id.size() != 2) throw UsageError(std::string(option) + " には 2 文字の ID を指定して下さい。");
}

int List(const Options& o) {
    std::vector<StationMonths> stations;
    if (int e = ListStations(o.monthly, stations))
        throw KolvaneError(message::MonthlyFolderUnreadable(o.monthly, e));
    if (stations.empty()) std::cout << "月次ファイルがありません: " << o.monthly << "\n";
    for (const StationMonths& s : stations) {
        std::cout << "グループID " << s.group << "  バケットID " << s.bucket << "  (" << s.months.size()
                  << " か月)\n";
        for (std::size_t i = 0; i < s.months.size(); ++i)
            std::cout << (i % 12 == 0 ? "  " : " ") << s.months[i] << (i % 12 == 11 ? "\n" : "");
        if (s.months.size() % 12 != 0) std::cout << "\n";
    }
    return 0;
}

// The stations of the options: --group/--bucket and every --station, in the order given.
std::vector<StationKey> Stations(const Options& o) {
    std::vector<StationKey> stations;
    if (!o.group.empty() || !o.bucket.empty()) {
        if (o.group.empty() || o.bucket.empty()) throw UsageError("--group と --bucket を指定して下さい。");
        CheckStationId(o.group, "--group");
        CheckStationId(o.bucket, "--bucket");
        stations.push_back({o.group, o.bucket});
    }
    for (const std::string& s : o.stations) {
        if (s.size() != 4)
            throw UsageError("--station にはグループID とバケットID の 4 文字 (例 0312) を指定して下さい: " +
                             s);
        stations.push_back({s.substr(0, 2), s.substr(2)});
    }
    if (o.allStations && !stations.empty())
        throw UsageError("--all-stations と --station (または --group・--bucket) は併用できません。");
    if (!o.allStations && stations.empty())
        throw UsageError("--group と --bucket (または --station か --all-stations) を指定して下さい。");
    return stations;
}

// Shows stations and years done on one line that is rewritten, when stderr is a terminal.
class ProgressLine {
  public:
    ProgressLine(std::size_t stations, std::size_t years)
        : stations_(stations), years_(years), shown_(isatty(STDERR_FILENO) == 1) {}
    ~ProgressLine() {
        if (shown_ && drawn_) std::cerr << "\n" << std::flush;
    }
    void Show(std::size_t stations, std::size_t years) {
        if (!shown_) return;
        std::cerr << "\r観測点 " << stations << "/" << stations_ << "  年 " << years << "/" << years_
                  << std::flush;
        drawn_ = true;
    }

  private:
    std::size_t stations_, years_;
    bool shown_, drawn_ = false;
};

// Prints each station's yearly files when it is done, in station order, and keeps the progress line.
class PrintingObserver : public ConversionObserver {
  public:
    PrintingObserver(std::size_t stations, std::size_t years) : progress_(stations, years) {}
    void StationDone(std::size_t, const StationResult& result) override {
        for (const std::string& path : result.written)
            std::cout << path << "\n";
        std::cout << std::flush;
    }
    void Progress(std::size_t stations, std::size_t years) override { progress_.Show(stations, years); }

  private:
    ProgressLine progress_;
};

int Convert(const Options& o) {
    ConversionRequest request;
    request.stations = Stations(o);
    request.allStations = o.allStations;
    if (o.lat.empty() && o.latTable.empty()) throw UsageError("緯度・経度を設定して下さい。 (--lat)");
    if (!o.lat.empty() && !o.latTable.empty()) throw UsageError("--lat と --lat-table は併用できません。");
    if (o.all == !o.months.empty())
        throw UsageError("--all か、変換する月 (YYYY/MM) のどちらかを指定して下さい。");
    if (!o.lat.empty()) request.latitude = LatitudeParts(o.lat);
    for (const std::string& m : o.months)
        request.months.push_back(ParseMonth(m));
    request.monthlyFolder = o.monthly;
    request.outputFolder = o.output.empty() ? o.monthly : o.output;
    request.writeQuality = !o.noQuality;

    std::optional<LatitudeTable> table;
    std::vector<StationPlan> plans;
    try {
        if (!o.latTable.empty()) {
            table = ReadLatitudeTable(o.latTable);
            request.table = &*table;
        }
        plans = PlanConversion(request);
    } catch (const RequestError& e) {
        if (e.field == RequestField::Coordinates && !o.lat.empty())
            throw UsageError("--lat " + o.lat + ": " + e.what());
        throw UsageError(e.what());
    }

    // Refusals first, so that nothing is written when any station is refused.
    std::string missing, unmerged;
    std::size_t years = 0;
    for (const StationPlan& plan : plans) {
        for (const std::string& m : plan.missingMonths)
            missing +=
                "\n  " + message::MonthlyFileMissing(StationName(plan.station), m,
                                                     o.monthly + MonthlyFileNameOfEntry(m, plan.station));
        for (const std::string& file : plan.replacedUnmerged)
            unmerged += "\n  " + file;
        years += plan.runs.size();
    }
    if (!missing.empty() && !o.allowMissing)
        throw UsageError("月次ファイルのない月があります (値なしで変換するには --allow-missing):" + missing);
    if (!unmerged.empty() && !o.replace)
        throw UsageError("次の年次ファイルが --output のフォルダにすでにあります。その値は引き継がれず、"
                         "置き換えられます (置き換えるには --replace):" +
                         unmerged);
    if (!missing.empty())
        std::cerr << "注意: 次の月は月次ファイルがないため、その日は値なしになります"
                  << " (既存の年次ファイルの値は残ります)。" << missing << "\n";

    ConversionOutcome outcome;
    {
        PrintingObserver observer(plans.size(), years);
        outcome = RunConversion(plans, observer, o.jobs);
    }
    const std::size_t failures = outcome.Failures();
    if (failures == 0) return 0;
    if (plans.size() == 1) {
        std::cerr << *outcome.stations.front().failure << "\n";
    } else {
        std::cerr << "次の観測点を変換できませんでした (" << failures << "/" << plans.size() << "):\n";
        for (std::size_t s = 0; s < plans.size(); ++s) {
            if (const auto& failure = outcome.stations[s].failure)
                std::cerr << "観測点 " << StationName(plans[s].station) << ": " << *failure << "\n";
        }
    }
    return EXIT_CONVERSION_ERROR;
}

// What a yearly file and its companion say: the days with values, the days of each class and the
// longest gap.
int Summary(const std::string& yearlyPath) {
    const std::string name = std::filesystem::path(yearlyPath).filename().string();
    if (name.empty() || (name[0] != 'Y' && name[0] != 'y'))
        throw UsageError("--summary には年次ファイル (Y{yyyy}_{GG}{BB}.csv) を指定して下さい: " + yearlyPath);
    std::string bytes;
    if (int e = ReadWholeFile(yearlyPath, bytes))
        throw KolvaneError(message::CannotRead(FileKind::Yearly, yearlyPath, e));
    DailyTable rows;
    ParseYearlyText(bytes, yearlyPath, rows);
    const auto withValues = std::count_if(
        rows.begin(), rows.end(), [](const DailyRecord& d) { return ClassifyDay(d) != DayClass::NoData; });

    const std::string quality = QualityPathOf(yearlyPath);
    const std::optional<std::vector<DayQuality>> days = ReadQualityFile(quality);
    if (!days) throw KolvaneError(message::CannotRead(FileKind::Quality, quality, ENOENT));
    const QualitySummary summary = SummarizeQuality(*days);
    std::cout << yearlyPath << ": " << rows.size() << " 日 (値のある日 " << withValues << " 日)\n";
    for (std::size_t c = 0; c < DAY_CLASSES.size(); ++c)
        std::cout << "  " << DayClassName(DAY_CLASSES[c]) << " " << summary.days[c] << " 日\n";
    if (summary.longestGap == 0) {
        std::cout << "  欠測の期間はありません\n";
    } else {
        const DayQuality& g = summary.gapStart;
        std::cout << "  最も長い欠測: " << g.year << "/" << PadTwoDigits(g.month) << "/"
                  << PadTwoDigits(g.day) << " から " << summary.longestGap << " 日\n";
    }
    return 0;
}

int Plot(const Options& o) {
    if (o.months.size() != 1)
        throw UsageError("--plot には画像ファイルの名前と年次ファイルを 1 つ指定して下さい。");
    // Only an image name: a swapped pair would otherwise draw over the yearly file itself.
    const std::string suffix = LowerAscii(std::filesystem::path(o.plot).extension().string());
    if (suffix != ".png" && suffix != ".svg")
        throw UsageError("--plot の画像ファイルの名前は .png か .svg で終わるようにして下さい: " + o.plot);
#ifdef KOLVANE_HAVE_PLOT
    PlotYearlyFile(o.months.front(), o.plot);
    std::cout << o.plot << "\n";
    return 0;
#else
    throw UsageError("この kolvane-convert は Qt なしでビルドされたため、--plot を使えません。");
#endif
}

} // namespace

int main(int argc, char** argv) {
    // A file-size limit must end in a clear message, not a killed process.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        Options o = ParseArguments(argc, argv);
        if (o.help) {
            std::cout << HELP;
            return 0;
        }
        if (argc == 1) {
            std::cerr << HELP;
            return EXIT_USAGE_ERROR;
        }
        if (!o.summary.empty()) return Summary(o.summary);
        if (!o.plot.empty()) return Plot(o);
        if (o.monthly.empty()) throw UsageError("--monthly を指定して下さい。");
        std::error_code ec;
        if (std::filesystem::exists(o.monthly, ec) && !IsFolder(o.monthly))
            throw UsageError("--monthly に指定した「" + o.monthly + "」はフォルダではなくファイルです。");
        o.monthly = WithTrailingSlash(o.monthly);
        if (!o.output.empty()) o.output = WithTrailingSlash(o.output);
        if (!IsFolder(o.monthly))
            throw UsageError("月次ファイルのフォルダ「" + o.monthly + "」がありません。");
        return o.list ? List(o) : Convert(o);
    } catch (const UsageError& e) {
        std::cerr << "kolvane-convert: " << e.what() << "\n"
                  << "詳しくは kolvane-convert --help を見て下さい。\n";
        return EXIT_USAGE_ERROR;
    } catch (const KolvaneError& e) {
        std::cerr << e.what() << "\n";
        return EXIT_CONVERSION_ERROR;
    } catch (const std::exception& e) {
        std::cerr << "エラー: " << e.what() << "\n";
        return EXIT_CONVERSION_ERROR;
    }
}
