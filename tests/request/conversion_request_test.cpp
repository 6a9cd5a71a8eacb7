#include "engine/Plan.h"
#include "model/Messages.h"
#include "request/ConversionRequest.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace kolvane {
namespace {

ConversionRequest Filled(const std::string& output) {
    ConversionRequest r;
    r.latitude = {"35", "30", "0"};
    r.longitude = {"139", "45", "0"};
    r.stations = {{"03", "12"}};
    r.months = {"2005/01", "2005/02", "1999/12"};
    r.monthlyFolder = output;
    r.outputFolder = output;
    return r;
}

TEST(ConversionRequest, TheFirstProblemInTheWindowsOrderIsNamedWithItsField) {
    testing::TempFolder out;
    using F = RequestField;
    const std::string range = "緯度(度)には20-49の範囲の半角数字を入力して下さい。";
    const struct {
        std::function<void(ConversionRequest&)> change;
        std::string refusal; // "" when accepted
        RequestField field = F::Coordinates;
    } ROWS[] = {
        {[](auto& r) { r.longitude[2].clear(); }, "経度(秒)を入力して下さい。"},
        // The coordinates before the months; of several empty boxes the first in the window's order.
        {[](auto& r) { r.longitude[2] = r.latitude[1] = "", r.months.clear(); },
         "緯度(分)を入力して下さい。"},
        {[](auto& r) {
             r.latitude = r.longitude = {"", "", ""};
         },
         "緯度・経度を設定して下さい。"},
        {[](auto& r) { r.latitude[1] = "60"; }, "緯度(分)には0-59の範囲の半角数字を入力して下さい。"},
        // What the degrees box lets through while a value is typed is no latitude; nor are 50 degrees.
        {[](auto& r) { r.latitude[0] = "3"; }, range},
        {[](auto& r) { r.latitude = {"50"}; }, range},
        {[](auto& r) { r.latitude = {"49.99"}; }, ""},
        {[](auto& r) { r.longitude.clear(); }, ""}, // a front end without longitude boxes
        {[](auto& r) { r.longitude[0] = "13"; }, ""}, // half-typed: unknown, not refused
        // No months, and no station because the folder holds no monthly file: the months are named.
        {[](auto& r) { r.months.clear(), r.stations = {StationKey{}}; },
         "年次ファイル作成に使用するデータの期間を選択して下さい。", F::Months},
        {[](auto& r) { r.stations[0].bucket = "1"; }, "グループID・バケットIDを選択して下さい。", F::Station},
        {[&](auto& r) { r.outputFolder = out.File("gone/"); },
         "年次ファイルを保存するフォルダ「" + out.File("gone/") + "」がありません。", F::OutputFolder},
        // A line end is shown, not printed; codes that make a path are refused, dots that only look like
        // one are not.
        {[](auto& r) {
             r.stations = {{"03", "1\r"}};
         },
         "グループID・バケットID「1\\r」は制御文字を含むため、ファイル名に使えません。", F::Station},
        {[](auto& r) {
             r.stations = {{"..", "12"}};
         },
         message::UnusableStationCode(".."), F::Station},
        {[](auto& r) {
             r.stations = {{"03", "a/"}};
         },
         message::UnusableStationCode("a/"), F::Station},
        {[](auto& r) {
             r.stations = {{std::string("0\0", 2), "12"}};
         },
         message::UnusableStationCode(std::string("0\0", 2)), F::Station},
        {[](auto& r) {
             r.stations = {{".a", "12"}};
         },
         ""},
    };
    for (const auto& row : ROWS) {
        SCOPED_TRACE(row.refusal);
        ConversionRequest r = Filled(out.folder());
        row.change(r);
        try {
            PlanRun(r);
            EXPECT_EQ(row.refusal, "");
        } catch (const RequestError& e) {
            EXPECT_EQ(e.what(), row.refusal);
            EXPECT_EQ(e.field, row.field);
        }
        // The check before the folder is chosen refuses the same, and does not look at the folder.
        if (row.refusal.empty() || row.field == F::OutputFolder)
            EXPECT_NO_THROW(CheckRequest(r));
        else
            EXPECT_THROW(CheckRequest(r), RequestError);
    }
}

} // namespace
} // namespace kolvane
