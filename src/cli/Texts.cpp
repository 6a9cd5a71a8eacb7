#include "Texts.h"

#include "model/DateText.h"

namespace kolvane::cli_text {
namespace {

std::string S(std::string_view s) {
    return std::string(s);
}

} // namespace

const char* const HELP = R"(使い方:
  kolvane-convert --monthly DIR [--output DIR] --group GG --bucket BB --lat D:M:S (--all | YYYY/MM ...)
  kolvane-convert --monthly DIR [--output DIR] (--station GGBB ... | --all-stations)
                  (--lat D:M:S | --lat-table FILE) (--all | YYYY/MM ...) [-j N]
  kolvane-convert --monthly DIR (--group GG --bucket BB | --station GGBB ...) --lat D:M:S
                  (--all | YYYY/MM ...) --check
  kolvane-convert --monthly DIR --list
  kolvane-convert --summary YEARLYFILE
  kolvane-convert --plot IMAGE YEARLYFILE
  kolvane-convert --help
  kolvane-convert --version

月次ファイル M{yy}{mm}_{GG}{BB}.csv から年次ファイル Y{yyyy}_{GG}{BB}.csv を作成します。
選択した月を暦年ごとにまとめ、年ごとに 1 つの年次ファイルを書きます。

  --monthly DIR     月次ファイルのあるフォルダ。同じ年・同じ観測点の年次ファイルがここにあれば、
                    その日の値を先に読み込み、新しい月の値で置き換えて残します。
  --output DIR      年次ファイルを保存するフォルダ (省略時は --monthly と同じ)。
  --replace         --output のフォルダにすでにある年次ファイルを置き換えます。そのファイルの値は
                    引き継がれません (引き継ぐのは --monthly のフォルダの年次ファイルだけです)。
                    指定しないと、置き換えられるファイルを表示して何も書かずに終わります。
  --merge-output    --output のフォルダにすでにある年次ファイルの値を、--monthly のフォルダにあるかの
                    ように引き継ぎます (新しい月の値で置き換え、ほかの日は残します)。
  --group GG        グループID (2 文字、ファイル名のとおり)。
  --bucket BB       バケットID (2 文字、ファイル名のとおり)。
  --station GGBB    観測点 (グループID とバケットID の 4 文字、例 0312)。何度でも指定でき、
                    指定した順に変換します。
  --all-stations    --monthly のフォルダにあるすべての観測点を変換します (--list の順)。
  --lat D:M:S       観測点の緯度 (度:分:秒、例 35:30:00)。度:分 (例 35:30) と 10 進の度 (例 35.5) も可。
                    度は 20-49、分と秒は 0-59。すべての観測点に同じ緯度を使います。
  --lat-table FILE  観測点ごとの緯度の表 (CSV)。1 列目が観測点 (例 0312)、2 列目が緯度
                    (度:分:秒 または 10 進の度)、省略できる 3 列目が経度。1 行目は見出しでも構いません。
                    --lat とは併用できません。
  --lon D:M:S       観測点の経度 (度:分:秒、度:分 または 10 進の度、120-155 度)。省略できます。
                    日射の検査が太陽の時刻をその経度で求めます (省略時は日本のどこでもよいとします)。
                    --lat-table の行に経度があればそちらを使います。
  --all             各観測点のすべての月を変換します。
  YYYY/MM ...       変換する月 (例 2005/04)。月の一覧の順 (2000 年代が 1900 年代より先) に処理します。
                    観測点が複数なら各観測点に同じ月を使います。月次ファイルのない月は誤りです。
  --allow-missing   月次ファイルのない月も変換します。その月の日は値なし (既存の年次ファイルの値は
                    残ります) になり、注意を表示します。
  -j N              同時に変換する観測点・年の数 (省略時は CPU の数)。
  --no-quality      品質ファイル Q{yyyy}_{GG}{BB}.csv (各日の時間数と区分: 正常・準正常・資料不足・
                    欠測・既存、疑わしい値の数) と検査結果ファイル C{yyyy}_{GG}{BB}.csv (疑わしい値の
                    一覧) を書きません。省略時は年次ファイルごとにその隣に書きます (検査結果ファイルは
                    疑わしい値のある年だけ)。隣にあるそれらは、新しい年次ファイルのものでなければ削除します。
  --check           変換と同じ観測点・月の毎時の値を検査し、何も書かずに、検査結果ファイルに書く行を
                    ファイル名を付けて表示し、検査の種類ごとの数を表示します。疑わしい値は誤りでは
                    ないので、終了コードは 0 です。
  --summary FILE    年次ファイルとその隣の品質ファイルから、区分ごとの日数と最も長い欠測、疑わしい値の
                    数を表示します。
                    品質ファイルは、最後の行が示す年次ファイルと一致するときだけ使います。
                    品質ファイルがなければそう示し、年次ファイルの値だけから分かることを表示します。
  --plot IMAGE      年次ファイルの 1 年を、気温・降水量・日射と日照・水面蒸発のグラフにして IMAGE に
                    保存します (名前が .svg で終われば SVG、ほかは PNG)。その年次ファイルの品質ファイルが隣にあれば、
                    完全でないデータの日に色を付けます。画面は要りません。
  --list            フォルダにある観測点 (グループID・バケットID) と月の一覧を表示します。
  --help            この説明を表示します。
  --version         バージョンを表示します。

書き込んだ年次ファイルごとに 1 行、そのパスを観測点の順に表示します。保存先のフォルダの実行記録
kolvane-log.csv にも、年次ファイルごとに日時・観測点・月・緯度・プログラムを 1 行ずつ追記します。エラーは標準エラー出力に
「kolvane-convert: 」で始まる行で表示します。標準エラー出力が端末なら、進み具合 (観測点と年の数) も
表示し、ほかの行を表示する前と終わりに消します。
値をとるオプションの値は「-」で始まってはいけません。「-」で始まるパスは --monthly=-dir のように
「=」でつないで指定します。
1 つの観測点が失敗しても、ほかの観測点の変換は続け、最後に失敗した観測点とその理由を表示します。
一緒に使えないオプション (例 --list と --lat、--station と --group) は、その 2 つを示して使い方の誤りにします。
終了コード: 0 成功、1 変換エラー (それより前の年の年次ファイルは残り、失敗した年のファイルは
変更されません)、2 使い方の誤り (何も書きません)。
)";
std::string ErrorLine(std::string_view message) {
    return "kolvane-convert: " + S(message);
}
std::string SeeHelp() {
    return "詳しくは kolvane-convert --help を見て下さい。";
}
std::string Unexpected(std::string_view description) {
    return "エラー: " + S(description);
}
std::string UnknownOption(std::string_view option) {
    return "不明なオプションです: " + S(option);
}
std::string NoValue(std::string_view option) {
    return S(option) + " に値がありません (「-」で始まる値は " + S(option) + "=値 の形で指定して下さい)。";
}
std::string Conflict(std::string_view first, std::string_view second) {
    return S(first) + " と " + S(second) + " は併用できません。";
}
std::string BadJobs(std::string_view text) {
    return "-j には 1 から 1024 までの数を指定して下さい: " + S(text);
}
std::string BadLatitude(std::string_view text) {
    return "--lat には度:分:秒 (例 35:30:00)、度:分 (例 35:30) または 10 進の度 (例 35.5) "
           "を指定して下さい: " +
           S(text);
}
std::string BadLongitude(std::string_view text) {
    return "--lon には 120-155 度の経度を度:分:秒 (例 139:45:00)、度:分 (例 139:45) または 10 進の度 "
           "(例 139.75) で指定して下さい: " +
           S(text);
}
std::string LatitudeRefused(std::string_view text, std::string_view reason) {
    return "--lat " + S(text) + ": " + S(reason);
}
std::string BadMonth(std::string_view text) {
    return "月は 1970/01 から 2069/12 までを YYYY/MM の形で指定して下さい: " + S(text);
}
std::string BadId(std::string_view option) {
    return S(option) + " には 2 文字の ID を指定して下さい。";
}
std::string BadStation(std::string_view text) {
    return "--station にはグループID とバケットID の 4 文字 (例 0312) を指定して下さい: " + S(text);
}
std::string GroupAndBucketBoth() {
    return "--group と --bucket を指定して下さい。";
}
std::string NoStation() {
    return "--group と --bucket (または --station か --all-stations) を指定して下さい。";
}
std::string NoLatitude() {
    return "--lat (または --lat-table) で緯度を指定して下さい。";
}
std::string AllOrMonths() {
    return "--all か、変換する月 (YYYY/MM) のどちらかを指定して下さい。";
}
std::string NoMonthly() {
    return "--monthly を指定して下さい。";
}
std::string MonthlyIsAFile(std::string_view folder) {
    return "--monthly に指定した「" + S(folder) + "」はフォルダではなくファイルです。";
}
std::string NoMonthlyFolder(std::string_view folder) {
    return "月次ファイルのフォルダ「" + S(folder) + "」がありません。";
}

std::string OutputNotWritable(std::string_view folder, std::string_view reason, bool isMonthlyFolder) {
    std::string text =
        "年次ファイルを保存するフォルダ「" + S(folder) + "」に書き込めません（" + S(reason) + "）。";
    if (isMonthlyFolder) text += "--output で書き込めるフォルダを指定して下さい。";
    return text;
}

std::string MissingMonths(std::string_view list) {
    return "月次ファイルのない月があります (値なしで変換するには --allow-missing):" + S(list);
}
std::string MissingMonthsNote(std::string_view list) {
    return "注意: 次の月は月次ファイルがないため、その日は値なしになります "
           "(既存の年次ファイルの値は残ります)。" +
           S(list);
}
std::string ReplacedUnmerged(std::string_view list) {
    return "次の年次ファイルが --output のフォルダにすでにあります。その値は引き継がれず、置き換えられます "
           "(置き換えるには --replace、その値を引き継ぐには --merge-output):" +
           S(list);
}
std::string StationsFailed(std::size_t failed, std::size_t stations) {
    return "次の観測点を変換できませんでした (" + std::to_string(failed) + "/" + std::to_string(stations) +
           "):";
}
std::string StationFailed(std::string_view station, std::string_view message) {
    return "観測点 " + S(station) + ": " + S(message);
}
std::string ProgressLine(std::size_t stations, std::size_t ofStations, std::size_t years,
                         std::size_t ofYears) {
    return "観測点 " + std::to_string(stations) + "/" + std::to_string(ofStations) + "  年 " +
           std::to_string(years) + "/" + std::to_string(ofYears);
}

std::string NoMonthlyFiles(std::string_view folder) {
    return "月次ファイルがありません: " + S(folder);
}
std::string ListedStation(std::string_view group, std::string_view bucket, std::size_t months) {
    return "グループID " + S(group) + "  バケットID " + S(bucket) + "  (" + std::to_string(months) + " か月)";
}

std::string NotAYearlyFile(std::string_view option, std::string_view path) {
    return S(option) + " には年次ファイル (Y{yyyy}_{GG}{BB}.csv) を指定して下さい: " + S(path);
}
std::string SummaryHead(std::string_view path, std::size_t days, std::size_t withValues) {
    return S(path) + ": " + std::to_string(days) + " 日 (値のある日 " + std::to_string(withValues) + " 日)";
}
std::string SummaryClass(std::string_view name, int days) {
    return "  " + S(name) + " " + std::to_string(days) + " 日";
}
std::string NoGap() {
    return "  欠測の期間はありません";
}
std::string LongestGap(int year, int month, int day, int days) {
    return "  最も長い欠測: " + std::to_string(year) + "/" + PadTwoDigits(month) + "/" + PadTwoDigits(day) +
           " から " + std::to_string(days) + " 日";
}

std::string NoCompanion(std::string_view path) {
    return "  品質ファイル「" + S(path) + "」がないため、区分ごとの日数は分かりません";
}
std::string LongestWithoutValues(int year, int month, int day, int days) {
    return "  値のない日が最も長く続く期間: " + std::to_string(year) + "/" + PadTwoDigits(month) + "/" +
           PadTwoDigits(day) + " から " + std::to_string(days) + " 日";
}
std::string PlotWithoutCompanion(std::string_view path) {
    return "注意: 品質ファイル「" + S(path) + "」がないため、日の区分の色は付けません。";
}

std::string CheckCounts(int64_t total, const std::vector<std::pair<std::string_view, int64_t>>& byKind) {
    std::string text = "疑わしい値 " + std::to_string(total) + " 個 (";
    for (std::size_t i = 0; i < byKind.size(); ++i)
        text += (i ? "、" : "") + S(byKind[i].first) + " " + std::to_string(byKind[i].second);
    return text + ")";
}
std::string SuspectValuesWritten(int64_t suspect, std::size_t files) {
    return "注意: 疑わしい値が " + std::to_string(suspect) +
           " 個見つかりました (年次ファイルの隣の検査結果ファイル " + std::to_string(files) +
           " 個に一覧があります)。";
}
std::string SuspectValuesNotWritten(int64_t suspect) {
    return "注意: 疑わしい値が " + std::to_string(suspect) +
           " 個見つかりました (--no-quality のため検査結果ファイルは書いていません。一覧は --check "
           "で表示できます)。";
}
std::string SummarySuspect(int64_t values, int days, int unknownDays) {
    std::string text = "  疑わしい値 " + std::to_string(values) + " 個 (" + std::to_string(days) + " 日)";
    if (unknownDays > 0) text += "、分からない日 " + std::to_string(unknownDays) + " 日";
    return text;
}
std::string SummarySuspectUnknown() {
    return "  疑わしい値は分かりません (品質ファイルに疑わしい値の列がありません)";
}
std::string SummarySuspectFromFindings(int64_t values, int days) {
    return "  疑わしい値 " + std::to_string(values) + " 個 (" + std::to_string(days) +
           " 日、検査結果ファイルから)";
}

std::string PlotArguments() {
    return "--plot には画像ファイルの名前と年次ファイルを 1 つ指定して下さい。";
}
std::string PlotImageName(std::string_view image) {
    return "--plot の画像ファイルの名前は .png か .svg で終わるようにして下さい: " + S(image);
}
std::string PlotUnavailable() {
    return "この kolvane-convert は Qt なしでビルドされたため、--plot を使えません。";
}

} // namespace kolvane::cli_text
