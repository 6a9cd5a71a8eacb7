// kolvane-convert: the conversion of the window, for batch work and scripting.

#include "convert/Discovery.h"
#include "model/DateText.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Text.h"
#include "request/RunRequest.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace kolvane;

constexpr int EXIT_CONVERSION_ERROR = 1;
constexpr int EXIT_USAGE_ERROR = 2;

constexpr const char* HELP = R"(使い方:
  kolvane-convert --monthly DIR [--output DIR] --group GG --bucket BB --lat D:M:S (--all | YYYY/MM ...)
  kolvane-convert --monthly DIR --list
  kolvane-convert --help

月次ファイル M{yy}{mm}_{GG}{BB}.csv から年次ファイル Y{yyyy}_{GG}{BB}.csv を作成します。
選択した月を暦年ごとにまとめ、年ごとに 1 つの年次ファイルを書きます。

  --monthly DIR   月次ファイルのあるフォルダ。同じ年・同じ観測点の年次ファイルがここにあれば、
                  その日の値を先に読み込み、新しい月の値で置き換えて残します。
  --output DIR    年次ファイルを保存するフォルダ (省略時は --monthly と同じ)。
  --group GG      グループID (2 文字、ファイル名のとおり)。
  --bucket BB     バケットID (2 文字、ファイル名のとおり)。
  --lat D:M:S     観測点の緯度 (度:分:秒、例 35:30:00)。10 進の度 (例 35.5) も可。
                  度は 20-49、分と秒は 0-59。
  --all           この観測点のすべての月を変換します。
  YYYY/MM ...     変換する月 (例 2005/04)。月の一覧の順 (2000 年代が 1900 年代より先) に処理します。
  --list          フォルダにある観測点 (グループID・バケットID) と月の一覧を表示します。
  --help          この説明を表示します。

書き込んだ年次ファイルごとに 1 行、そのパスを表示します。エラーは標準エラー出力に表示します。
終了コード: 0 成功、1 変換エラー (それより前の年の年次ファイルは残り、失敗した年のファイルは
変更されません)、2 使い方の誤り。
)";

struct Options {
    std::string monthly;
    std::string output;
    std::string group;
    std::string bucket;
    std::string lat;
    bool all = false;
    bool list = false;
    bool help = false;
    std::vector<std::string> months;
};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

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
        else if (arg == "--lat")
            o.lat = value();
        else if (arg == "--all")
            o.all = true;
        else if (arg == "--list")
            o.list = true;
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
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
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

// The months in the order of the month list: by file name, so by two-digit year, then month.
std::vector<std::string> InListOrder(std::vector<std::string> entries) {
    auto key = [](const std::string& e) { return e.substr(2); }; // "yy/mm"
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const auto& a, const auto& b) { return key(a) < key(b); });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}

int Convert(const Options& o) {
    if (o.group.empty() || o.bucket.empty()) throw UsageError("--group と --bucket を指定して下さい。");
    CheckStationId(o.group, "--group");
    CheckStationId(o.bucket, "--bucket");
    if (o.lat.empty()) throw UsageError("緯度・経度を設定して下さい。 (--lat)");
    if (o.all == !o.months.empty())
        throw UsageError("--all か、変換する月 (YYYY/MM) のどちらかを指定して下さい。");

    RunRequest request;
    request.latitude = LatitudeParts(o.lat);
    request.station = {o.group, o.bucket};
    request.monthlyFolder = o.monthly;
    request.outputFolder = o.output.empty() ? o.monthly : o.output;

    std::vector<std::string> listed;
    if (int e = ListMonths(o.monthly, request.station, listed))
        throw KolvaneError(message::MonthlyFolderUnreadable(o.monthly, e));
    if (o.all) {
        request.months = listed;
        if (request.months.empty()) {
            throw UsageError("グループID " + o.group + "・バケットID " + o.bucket + " の月次ファイルが「" +
                             o.monthly + "」にありません。");
        }
    } else {
        for (const std::string& m : o.months)
            request.months.push_back(ParseMonth(m));
        request.months = InListOrder(std::move(request.months));
        for (const std::string& m : request.months) {
            if (std::find(listed.begin(), listed.end(), m) == listed.end()) {
                std::cerr << "注意: " << m << " の月次ファイルがありません。この月の日は値なしになります"
                          << " (既存の年次ファイルの値は残ります)。\n";
            }
        }
    }

    PlannedRun run;
    try {
        run = PlanRun(request);
    } catch (const RequestError& e) {
        if (e.field == RequestField::Coordinates) throw UsageError("--lat " + o.lat + ": " + e.what());
        throw UsageError(e.what());
    }
    ConvertYearRuns(run.runs, run.settings, {.written = [](std::size_t, const std::string& path) {
                        std::cout << path << std::endl;
                    }});
    return 0;
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
        if (o.monthly.empty()) throw UsageError("--monthly を指定して下さい。");
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
