#pragma once

// Every text the main window and its dialogs show, in one place, so that wording is changed and
// reviewed here. Core messages (a failing file, a folder that cannot be read) come from message::.

#include <QString>
#include <cstddef>

namespace kolvane::text {

// Window titles and message box titles.
inline QString MainTitle() {
    return QStringLiteral("年次ファイル生成プログラム");
}
inline QString HelpTitle() {
    return QStringLiteral("年次ファイル生成プログラム ヘルプ");
}
inline QString FolderDialogTitle() {
    return QStringLiteral("フォルダ選択");
}
inline QString ErrorTitle() {
    return QStringLiteral("エラー");
}
inline QString ConfirmTitle() {
    return QStringLiteral("確認");
}

// Captions of the main window.
inline QString RunCaption() {
    return QStringLiteral("実行(&R)");
}
inline QString ExitCaption() {
    return QStringLiteral("終了(&X)");
}
inline QString CancelRunCaption() {
    return QStringLiteral("中止(&C)");
}
inline QString HelpCaption() {
    return QStringLiteral("ヘルプ(&H)");
}
inline QString PlotCaption() {
    return QStringLiteral("グラフ(&G)");
}
inline QString PlotTip() {
    return QStringLiteral("選んだ観測点の年次ファイルをグラフで表示します");
}
inline QString PrefectureCaption() {
    return QStringLiteral("都道府県名");
}
inline QString LocalityCaption() {
    return QStringLiteral("地域名");
}
inline QString SetCoordinatesCaption() {
    return QStringLiteral("緯度・経度設定");
}
inline QString LatitudeCaption() {
    return QStringLiteral("緯度");
}
inline QString LongitudeCaption() {
    return QStringLiteral("経度");
}
inline QString GroupCaption() {
    return QStringLiteral("グループID");
}
inline QString BucketCaption() {
    return QStringLiteral("バケットID");
}
inline QString MonthlyFolderCaption() {
    return QStringLiteral("月次ファイル：フォルダ指定");
}
// The progress bar's own text: files written of all.
inline QString ProgressFormat() {
    return QStringLiteral("%v / %m");
}

// Beside the month list: how many months are selected.
inline QString MonthsSelected(qsizetype count) {
    return QStringLiteral("%1 か月を選択").arg(count);
}

// The empty month list says why it is empty. Broken by hand: the narrow list would otherwise wrap
// before the last character.
inline QString NoMonthlyFilesInList() {
    return QStringLiteral("月次ファイルが\nありません");
}
inline QString UnreadableFolderInList() {
    return QStringLiteral("フォルダを\n読み込めません");
}

// Captions of the folder dialog and the Yes/No question.
inline QString OkCaption() {
    return QStringLiteral("OK(&O)");
}
inline QString CancelCaption() {
    return QStringLiteral("ｷｬﾝｾﾙ(&C)");
}
inline QString YesCaption() {
    return QStringLiteral("はい(&Y)");
}
inline QString NoCaption() {
    return QStringLiteral("いいえ(&N)");
}

// The folder dialog's caption over the path of the folder OK takes.
inline QString OpenFolderCaption() {
    return QStringLiteral("OK で選ぶフォルダ：");
}

// The folder dialog's new folder, and what it says of a folder it cannot open, make or name.
inline QString NewFolderCaption() {
    return QStringLiteral("新しいフォルダ(&N)");
}
inline QString NewFolderName() {
    return QStringLiteral("新しいフォルダ");
}
inline QString FolderNotFound(const QString& path) {
    return QStringLiteral("フォルダ「%1」がありません。").arg(path);
}
inline QString NotAFolder(const QString& path) {
    return QStringLiteral("「%1」はフォルダではありません。").arg(path);
}
inline QString FolderCannotOpen(const QString& path, const QString& reason) {
    return QStringLiteral("フォルダ「%1」を開けません（%2）。").arg(path, reason);
}
inline QString FolderNotMade(const QString& path, const QString& reason) {
    return QStringLiteral("フォルダ「%1」を作れません（%2）。").arg(path, reason);
}
inline QString FolderNameUnusable(const QString& name) {
    return QStringLiteral("「%1」はフォルダの名前に使えません。").arg(name);
}
inline QString FolderExists(const QString& path) {
    return QStringLiteral("フォルダ「%1」は既にあります。").arg(path);
}
inline QString FolderNotRenamed(const QString& name, const QString& reason) {
    return QStringLiteral("フォルダの名前を「%1」に変えられません（%2）。").arg(name, reason);
}

// Folder questions.
inline QString AskMonthlyFolder() {
    return QStringLiteral("月次ファイルがあるフォルダを指定して下さい。");
}
inline QString AskOutputFolder() {
    return QStringLiteral("年次ファイルを保存するフォルダを指定して下さい。");
}

inline QString NoMonthlyFiles(const QString& folder) {
    return QStringLiteral("フォルダ %1 に月次ファイル（M????_????.csv）が見つかりません。"
                          "「月次ファイル：フォルダ指定」で月次ファイルのあるフォルダを指定して下さい。")
        .arg(folder);
}

inline QString AskStopAndExit() {
    return QStringLiteral("年次ファイルを作成しています。中止して終了しますか？");
}

// How a run ended.
inline QString Written(std::size_t written, const QString& folder) {
    return QStringLiteral("年次ファイル %1 個を %2 に書き込みました。").arg(written).arg(folder);
}
// The latitude a run used, as the boxes held it: blank minutes or seconds count as 0.
inline QString LatitudeUsed(QString degrees, QString minutes, QString seconds) {
    for (QString* part : {&degrees, &minutes, &seconds})
        if (part->isEmpty()) *part = QStringLiteral("00");
    return QStringLiteral("緯度 %1°%2′%3″ で計算しました。").arg(degrees, minutes, seconds);
}
// Suspect values are no failure: the files are written as always, the values listed beside them.
inline QString SuspectValuesFound(qint64 suspect) {
    return QStringLiteral(
               "疑わしい値が %1 個見つかりました。グラフで一つずつ確かめられます（一覧は年次ファイルと"
               "同じフォルダの検査結果ファイルにもあります）。")
        .arg(suspect);
}
// A logger's 10-minute file is converted as any other; the user should know the rows were not hourly.
inline QString SubHourlyRows() {
    return QStringLiteral(
        "月次ファイルの行が毎時ではありませんでした（1 時間より短い間隔）。日の値はすべての行から"
        "作り、検査は行の間隔で行いました。");
}
inline QString Completed(std::size_t written, const QString& folder, const QString& latitudeUsed,
                         qint64 suspectValues = 0, bool subHourly = false) {
    QString text =
        QStringLiteral("終了しました。\n") + Written(written, folder) + QStringLiteral("\n") + latitudeUsed;
    if (subHourly) text += QStringLiteral("\n") + SubHourlyRows();
    if (suspectValues > 0) text += QStringLiteral("\n") + SuspectValuesFound(suspectValues);
    return text;
}
// Beside the coordinate boxes when they hold another locality's coordinates than the chosen one.
// Broken by hand, so that the narrow label does not split a short name.
inline QString CoordinatesOfOtherLocality(const QString& locality) {
    return QStringLiteral("「%1」の\n緯度・経度です").arg(locality);
}
inline QString Cancelled(std::size_t written, const QString& folder) {
    if (written == 0) return QStringLiteral("中止しました。\n年次ファイルは書き込んでいません。");
    return QStringLiteral("中止しました。\n") + Written(written, folder);
}

// The question before a run replaces yearly files it did not read: its parts around the file list.
inline QString ReplaceQuestionHead(const QString& folder) {
    return QStringLiteral("保存先のフォルダ %1 には、次の年次ファイルが既にあります。\n").arg(folder);
}
inline QString ReplaceQuestionFile(const QString& name) {
    return QStringLiteral("\n　") + name;
}
inline QString ReplaceQuestionMore(std::size_t more) {
    return QStringLiteral("\n　ほか %1 個").arg(more);
}
inline QString ReplaceQuestionTail() {
    return QStringLiteral("\n\nこれらは月次ファイルのフォルダにありません。\n"
                          "結合: 今の内容を引き継ぎ、選択した月の日だけを新しくします"
                          "（月次ファイルのフォルダにあるときと同じです）。\n"
                          "置き換え: 今の内容を引き継がず、新しい内容で置き換えます。\n"
                          "中止: 何も書き込みません。");
}
inline QString MergeCaption() {
    return QStringLiteral("結合(&M)");
}
inline QString ReplaceCaption() {
    return QStringLiteral("置き換え(&R)");
}
inline QString StopCaption() {
    return QStringLiteral("中止");
}

// The help window's own text when the help file cannot be shown.
inline QString HelpFileMissing(const QString& path) {
    return QStringLiteral("ヘルプファイル「%1」が見つかりません。").arg(path);
}
inline QString HelpFileUnreadable(const QString& path, const QString& reason) {
    return QStringLiteral("ヘルプファイル「%1」を読み込めません（%2）。").arg(path, reason);
}

// The year view.
inline QString YearViewTitle() {
    return QStringLiteral("グラフ");
}
inline QString YearViewTitle(const QString& fileName) {
    return QStringLiteral("グラフ - %1").arg(fileName);
}
inline QString YearCaption() {
    return QStringLiteral("年(&Y)");
}
inline QString YearItem(int year) {
    return QStringLiteral("%1年").arg(year);
}
inline QString SavePngCaption() {
    return QStringLiteral("PNG で保存(&S)");
}
inline QString SaveSvgCaption() {
    return QStringLiteral("SVG で保存(&V)");
}
inline QString CommonScaleCaption() {
    return QStringLiteral("全ての年で同じ目盛り(&C)");
}
inline QString CommonScaleTip() {
    return QStringLiteral("外すと、この年の値だけに合わせた目盛りになります。");
}
// Before the path of the yearly file shown.
inline QString ShownFileCaption() {
    return QStringLiteral("ファイル：");
}
inline QString PlotUnavailable() {
    return QStringLiteral("この年次ファイルはグラフにできません。");
}
inline QString NoYearlyFiles(const QString& station) {
    return QStringLiteral("%1 の年次ファイルが見つかりません。").arg(station);
}
inline QString CannotShowPlot(const QString& reason) {
    return QStringLiteral("グラフを表示できません。\n") + reason;
}
inline QString FindingsListed(qsizetype count) {
    return QStringLiteral("疑わしい値 %1 件（行を選ぶと、その日をグラフに示します）").arg(count);
}
inline QString FindingsDaysUnchecked() {
    return QStringLiteral("検査していない日があります（以前の年次ファイルから残した日など）。");
}
inline QString NoFindings() {
    return QStringLiteral("疑わしい値はありません。");
}
inline QString FindingsUnknown() {
    return QStringLiteral("品質ファイルがないため、疑わしい値は分かりません。");
}
inline QString PngFilter() {
    return QStringLiteral("PNG 画像 (*.png)");
}
inline QString SvgFilter() {
    return QStringLiteral("SVG 画像 (*.svg)");
}
inline QString SavePlotTitle() {
    return QStringLiteral("グラフの保存");
}
inline QString PlotSaved(const QString& path) {
    return QStringLiteral("「%1」に保存しました。").arg(path);
}

} // namespace kolvane::text
