#include "model/Messages.h"

#include "model/Text.h"
#include "platform/System.h"

#include <algorithm>
#include <cerrno>

namespace kolvane {

std::string DescribeSystemError(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "ファイルまたはフォルダが見つかりません";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case EISDIR:
        return "ファイルではなくフォルダです";
    case ENODEV:
        return "通常のファイルではありません";
    case platform::kIsPipe:
        return "通常のファイルではなく名前付きパイプです";
    case platform::kIsDevice:
        return "通常のファイルではなくデバイスです";
    case platform::kIsSocket:
        return "通常のファイルではなくソケットです";
    case ENOTDIR:
        return "フォルダではありません";
    case ENOSPC:
        return "ディスクの空き容量が不足しています";
#ifdef EDQUOT
    case EDQUOT:
        return "ディスクの使用量の上限を超えました";
#endif
    case EFBIG:
        return "ファイルサイズの上限を超えました";
    case EROFS:
        return "読み取り専用の場所です";
    case EIO:
        return "入出力エラーが発生しました";
    case ENAMETOOLONG:
        return "パスが長すぎます";
    case ELOOP:
        return "シンボリックリンクが循環しています";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    case ENOMEM:
        return "メモリが不足しています";
    default:
        return "システムエラー " + std::to_string(errorNumber);
    }
}

std::string_view FileKindName(FileKind kind) {
    switch (kind) {
    case FileKind::Monthly:
        return "月次ファイル";
    case FileKind::Yearly:
        return "年次ファイル";
    case FileKind::Quality:
        return "品質ファイル";
    case FileKind::Findings:
        return "検査結果ファイル";
    }
    return {};
}

namespace message {
namespace {

std::string Named(FileKind kind, const std::string& file) {
    return std::string(FileKindName(kind)) + "「" + file + "」";
}

// "5行目「2024-1-1,...」: why", the line decoded and cut to what a message can show.
std::string LineShown(const UnreadLine& line) {
    constexpr std::size_t MOST = 40; // characters
    const std::string text = DecodeCp932(line.bytes);
    std::size_t characters = 0, cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == MOST) {
            cut = i;
            break;
        }
    }
    return std::to_string(line.number) + "行目「" + ShownEscaped(text.substr(0, cut)) +
           (cut < text.size() ? "…" : "") + "」: " + std::string(line.why);
}

} // namespace

std::string CannotRead(FileKind kind, const std::string& path, int errorNumber) {
    return Named(kind, path) + "を読み込めません（" + DescribeSystemError(errorNumber) + "）。";
}

std::string CannotWrite(FileKind kind, const std::string& path, int errorNumber) {
    return Named(kind, path) + "を書き込めません（" + DescribeSystemError(errorNumber) + "）。";
}

std::string OutOfMemory(FileKind kind, const std::string& path) {
    return Named(kind, path) + "を処理するためのメモリが不足しています。";
}

std::string MissingColumn(FileKind kind, const std::string& file, std::string_view column) {
    return Named(kind, file) + "の見出し行に列「" + std::string(column) + "」がありません。";
}

std::string RepeatedColumn(FileKind kind, const std::string& file, std::string_view column) {
    return Named(kind, file) + "の見出し行に列「" + std::string(column) + "」が重複しています。";
}

std::string WrongEncoding(FileKind kind, const std::string& file, std::string_view encoding) {
    return Named(kind, file) + "は " + std::string(encoding) +
           " で保存されています。CP932 (Shift_JIS) で保存し直して下さい。";
}

std::string NumberTooLarge(FileKind kind, const std::string& file, std::size_t lineNumber) {
    return Named(kind, file) + "の" + std::to_string(lineNumber) + "行目の数値が大きすぎます。";
}

std::string UnreadableHourCause(std::string_view date, std::string_view time) {
    return "年月日「" + ShownEscaped(DecodeCp932(date)) + "」と時刻「" + ShownEscaped(DecodeCp932(time)) +
           "」を日付と時刻として読めません";
}

std::string UnreadableDateCause(std::string_view date) {
    return "年月日「" + ShownEscaped(DecodeCp932(date)) + "」を日付として読めません";
}

std::string EmptyValueCause() {
    return "空の値があります";
}

std::string MonthlyUnreadable(const std::string& file, std::size_t lines, std::size_t unreadable,
                              const UnreadLine& first) {
    return Named(FileKind::Monthly, file) + "のデータ行 " + std::to_string(lines) +
           " 行から時刻の値を一つも読めません（読めない行 " + std::to_string(unreadable) + " 行、最初は " +
           LineShown(first) + "）。空の月として変換すると、年次ファイルに残してあるこの月の日が失われます。" +
           "ファイルを保存し直して下さい。";
}

std::string YearlyUnreadable(const std::string& file, std::size_t lines, std::size_t read,
                             const UnreadLine& first) {
    return Named(FileKind::Yearly, file) + "の値のある " + std::to_string(lines) + " 行のうち " +
           std::to_string(lines - read) + " 行を読めません（最初は " + LineShown(first) +
           "）。このまま変換すると、読めない行の日の値が失われるため、この年は書き込みません。" +
           "年月日を「24/07/17」または「2024/07/17」の形にして保存し直すか、このファイルの日を残さないときは"
           "ファイルを別のフォルダへ移して（出力フォルダのファイルなら 置き換え、kolvane-convert では "
           "--replace "
           "で）変換して下さい。";
}

std::string LinesSkipped(FileKind kind, const std::string& file, std::size_t skipped,
                         const UnreadLine& first) {
    return "注意: " + Named(kind, file) + "の " + std::to_string(skipped) +
           " 行を読めないため飛ばしました（最初は " + LineShown(first) + "）。";
}

std::string MonthlyWithoutRows(const std::string& file) {
    return "注意: " + Named(FileKind::Monthly, file) + "にはデータ行がありません。空の月として変換しました。";
}

std::string SubHourlyRows() {
    return "注意: 月次ファイルの行が毎時ではありません（1 "
           "時間より短い間隔の行がありました）。日の値はすべての行から"
           "作り、検査は行の間隔で行いました。";
}

std::string NotANumberCause() {
    return "計算結果が数値になりません。平均湿度・平均風速などの値を確認して下さい";
}

std::string NotConvergedCause(int iterations) {
    return "水面蒸発の反復計算が" + std::to_string(iterations) + "回で収束しません";
}

std::string DayNotComputable(const std::string& monthlyFile, int32_t year, int32_t month, int32_t day,
                             std::string_view cause) {
    return Named(FileKind::Monthly, monthlyFile) + "の" + std::to_string(year) + "年" +
           std::to_string(month) + "月" + std::to_string(day) + "日の値を計算できません（" +
           std::string(cause) + "）。";
}

std::string MonthlyFolderUnreadable(const std::string& folder, int errorNumber) {
    return "月次ファイルのフォルダ「" + folder + "」を読み込めません（" + DescribeSystemError(errorNumber) +
           "）。";
}

std::string FolderUnreadable(const std::string& folder, int errorNumber) {
    return "フォルダ「" + folder + "」を読み込めません。\n" + DescribeSystemError(errorNumber) + "。";
}

std::string SettingsNotSaved(const std::string& path, int errorNumber) {
    return "設定ファイル " + path + " を保存できませんでした。(" + DescribeSystemError(errorNumber) + ")";
}

std::string OutOfRange(std::string_view box, int low, int high) {
    return std::string(box) + "には" + std::to_string(low) + "-" + std::to_string(high) +
           "の範囲の半角数字を入力して下さい。";
}

std::string CoordinatesNotSet() {
    return "緯度・経度を設定して下さい。";
}

std::string CoordinateBoxEmpty(std::string_view box) {
    return std::string(box) + "を入力して下さい。";
}

std::string NoMonthsSelected() {
    return "年次ファイル作成に使用するデータの期間を選択して下さい。";
}

std::string StationNotChosen() {
    return "グループID・バケットIDを選択して下さい。";
}

std::string NoOutputFolder(const std::string& folder) {
    return "年次ファイルを保存するフォルダ「" + folder + "」がありません。";
}

std::string LatitudeTableUnreadable(const std::string& path, int errorNumber) {
    return "緯度の表「" + path + "」を読み込めません（" + DescribeSystemError(errorNumber) + "）。";
}

std::string LatitudeTableBadRow(const std::string& path, std::size_t lineNumber, std::string_view cause) {
    return "緯度の表「" + path + "」の" + std::to_string(lineNumber) + "行目を使えません（" +
           std::string(cause) + "）。";
}

std::string StationWithoutLatitude(std::string_view station, const std::string& tablePath) {
    return "観測点 " + std::string(station) + " の緯度が緯度の表「" + tablePath + "」にありません。";
}

std::string RowWithoutLatitudeCause() {
    return "観測点と緯度の 2 列がありません";
}

std::string LatitudeFormCause() {
    return "緯度は 度:分:秒 (例 35:30:00)、度:分 (例 35:30) または 10 進の度 (例 35.5) で書いて下さい";
}

std::string LatitudeForm() {
    return LatitudeFormCause() + "。";
}

std::string LongitudeFormCause() {
    return "経度は 120-155 度を 度:分:秒 (例 139:45:00) または 10 進の度 (例 139.75) で書いて下さい";
}

std::string StationFormCause() {
    return "観測点はグループID・バケットIDの 4 文字 (例 0312) で書いて下さい";
}

std::string RepeatedStationCause(std::string_view station) {
    return "観測点 " + std::string(station) + " が重複しています";
}

std::string MonthlyFileMissing(std::string_view station, std::string_view monthEntry,
                               const std::string& monthlyPath) {
    return "観測点 " + std::string(station) + " の " + std::string(monthEntry) + " の月次ファイル「" +
           monthlyPath + "」がありません。";
}

std::string UnusableStationCodeCause(std::string_view code) {
    const bool control = std::any_of(code.begin(), code.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
    return "グループID・バケットID「" + ShownEscaped(code) +
           (control ? "」は制御文字を含むため、ファイル名に使えません"
                    : "」は「/」を含むか「.」「..」であるため、ファイル名に使えません");
}

std::string ShownEscaped(std::string_view text) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string shown;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else if (u < 0x20 || u == 0x7F)
            shown += std::string("\\x") + HEX[u >> 4] + HEX[u & 15];
        else
            shown += c;
    }
    return shown;
}

std::string UnusableStationCode(std::string_view code) {
    return UnusableStationCodeCause(code) + "。";
}

std::string StationLabel(std::string_view group, std::string_view bucket) {
    return "グループID " + std::string(group) + "・バケットID " + std::string(bucket);
}

std::string NoMonthlyFilesOfStation(std::string_view group, std::string_view bucket,
                                    const std::string& folder) {
    return StationLabel(group, bucket) + " の月次ファイルが「" + folder + "」にありません。";
}

std::string NoMonthlyFiles(const std::string& folder) {
    return "月次ファイルが「" + folder + "」にありません。";
}

std::string RunFailed(std::string_view description) {
    return "年次ファイルを作成できませんでした。\n" + std::string(description);
}

std::string WaitingForStation(const std::string& station, const std::string& folder) {
    return "観測点 " + station + " の変換を待っています（別の変換がフォルダ「" + folder +
           "」に書き込み中です）";
}

std::string NotAYearlyFileName(const std::string& path) {
    return "「" + path + "」は年次ファイル (Y{yyyy}_{GG}{BB}.csv) の名前ではありません。";
}

namespace {

constexpr std::string_view OTHER_YEARLY =
    "はこの年次ファイルのものではありません（別の年次ファイルと共に書かれたものです）。";
constexpr std::string_view NO_RECORD =
    "はこの年次ファイルのものか確かめられません（どの年次ファイルのものかの記録がありません）。";

// A companion passed over: why, then what is shown without it.
std::string NotUsed(FileKind kind, const std::string& path, std::string_view why, std::string_view instead) {
    return Named(kind, path) + std::string(why) + std::string(instead);
}

constexpr std::string_view YEARLY_ALONE = "年次ファイルだけから示します。";
constexpr std::string_view NO_FINDINGS_LIST = "疑わしい値の一覧は示しません。";

} // namespace

std::string CompanionNotBelonging(const std::string& path) {
    return NotUsed(FileKind::Quality, path, OTHER_YEARLY, YEARLY_ALONE);
}

std::string CompanionNotProven(const std::string& path) {
    return NotUsed(FileKind::Quality, path, NO_RECORD, YEARLY_ALONE);
}

std::string FindingsNotBelonging(const std::string& path) {
    return NotUsed(FileKind::Findings, path, OTHER_YEARLY, NO_FINDINGS_LIST);
}

std::string FindingsNotProven(const std::string& path) {
    return NotUsed(FileKind::Findings, path, NO_RECORD, NO_FINDINGS_LIST);
}

std::string CompanionNotWritten(FileKind kind, const std::string& companionPath) {
    return Named(kind, companionPath) + "を先に書き込めなかったため、年次ファイルは元のままです。";
}

std::string LatitudeOnRecord(std::string_view latitude) {
    return "　緯度 " + std::string(latitude);
}

std::string RunLogNotWritten(const std::string& logPath, int errorNumber,
                             const std::vector<std::string>& yearlyPaths) {
    std::string paths;
    for (const std::string& path : yearlyPaths)
        paths += "「" + path + "」";
    return "実行記録「" + logPath + "」に書き込めません（" + DescribeSystemError(errorNumber) +
           "）。年次ファイル" + paths + "は書き込んでいません。";
}

} // namespace message
} // namespace kolvane
