#pragma once

// Every text the year plot draws or reports, for the window and --plot alike.

#include <QString>

namespace kolvane::plot_text {

// "2024年　グループID 01・バケットID 01"
inline QString Title(int year, const QString& station) {
    return QStringLiteral("%1年　%2").arg(year).arg(station);
}

// The keys of the shaded days in the title row.
inline QString KeptKey() {
    return QStringLiteral("既存（時間数不明）");
}
inline QString NoDataKey(bool qualityKnown) {
    return qualityKnown ? QStringLiteral("欠測") : QStringLiteral("欠測（品質ファイルなし）");
}
inline QString InsufficientKey() {
    return QStringLiteral("資料不足");
}
inline QString QuasiNormalKey() {
    return QStringLiteral("準正常");
}
inline QString SuspectKey() {
    return QStringLiteral("疑わしい値");
}

// The year's figures under the title.
inline QString PrecipitationTotal() {
    return QStringLiteral("年降水量");
}
inline QString MeanTemperature() {
    return QStringLiteral("平均気温");
}
inline QString Highest() {
    return QStringLiteral("最高");
}
inline QString Lowest() {
    return QStringLiteral("最低");
}
inline QString SunshineTotal() {
    return QStringLiteral("日照時間");
}
inline QString EvaporationTotal() {
    return QStringLiteral("水面蒸発量");
}
inline QString Millimetres() {
    return QStringLiteral("mm");
}
inline QString Degrees() {
    return QStringLiteral("°C");
}
inline QString Hours() {
    return QStringLiteral("h");
}
inline QString FigureGap() {
    return QStringLiteral("　");
}
inline QString NoFigure(const QString& name) {
    return name + QStringLiteral(" —");
}
inline QString Figure(const QString& name, const QString& value, const QString& unit,
                      const QString& fromDays) {
    return QStringLiteral("%1 %2 %3%4").arg(name, value, unit, fromDays);
}
inline QString Extreme(const QString& name, const QString& value, int month, int day) {
    return QStringLiteral("%1 %2 °C（%3/%4）").arg(name, value).arg(month).arg(day);
}
inline QString FromDays(int days) {
    return QStringLiteral("（%1日分）").arg(days);
}
inline QString AllFromDays(int days, int withValues) {
    return QStringLiteral("（%1日のうち値のある%2日分）").arg(days).arg(withValues);
}

// Inside the panels.
inline QString NoDayWithValues() {
    return QStringLiteral("値のある日がありません");
}
inline QString MonthLabel(int month) {
    return QStringLiteral("%1月").arg(month);
}

// Saving the plot.
inline QString SvgUnavailable() {
    return QStringLiteral("この kolvane-convert は SVG を書けません (Qt SVG なしでビルドされています)。");
}
inline QString CannotSave(const QString& path, const QString& reason) {
    return QStringLiteral("グラフを「%1」に保存できません（%2）。").arg(path, reason);
}

} // namespace kolvane::plot_text
