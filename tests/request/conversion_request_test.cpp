#include "engine/Plan.h"
#include "request/ConversionRequest.h"
#include "request/Coordinates.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

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

// The message and field of the refusal, or "accepted".
std::string Refusal(const ConversionRequest& request, RequestField* field = nullptr) {
    try {
        PlanRun(request);
    } catch (const RequestError& e) {
        if (field) *field = e.field;
        return e.what();
    }
    return "accepted";
}

TEST(ConversionRequest, LatitudeTextsBecomeDegreesAndMonthsBecomeYearRuns) {
    testing::TempFolder out;
    StationPlan run = PlanRun(Filled(out.folder()));
    EXPECT_EQ(run.settings.latitude, 35.5);
    ASSERT_EQ(run.runs.size(), 2u);
    EXPECT_EQ(run.runs[0].monthlyNames, (std::vector<std::string>{"M0501_0312.csv", "M0502_0312.csv"}));
    EXPECT_EQ(run.runs[1].yy, "99");

    // The box texts are read with the leading-number parse, as the window always has.
    EXPECT_EQ(LatitudeFromTexts("36", "4", "0"), 36 + 4.0 / 60);
    EXPECT_EQ(LatitudeFromTexts("3", "", "abc"), 3);

    // One text of decimal degrees, as the command line may give it: up to but not including 50.
    ConversionRequest decimal = Filled(out.folder());
    decimal.latitude = {"49.99"};
    EXPECT_EQ(PlanRun(decimal).settings.latitude, 49.99);
    for (const char* bad : {"50", "19.9", "35.5x", ""}) {
        decimal.latitude = {bad};
        EXPECT_NE(Refusal(decimal), "accepted") << bad;
    }

    // The longitude goes to the checks when the boxes hold one; a half-typed one is not known, not refused
    // (the conversion never needed it).
    ConversionRequest located = Filled(out.folder());
    located.longitude = {"139", "45", "0"};
    EXPECT_EQ(PlanRun(located).settings.longitude, 139.75);
    for (const std::vector<std::string>& unknown :
         std::vector<std::vector<std::string>>{{"13", "45", "0"}, {"139", "60", "0"}, {}}) {
        located.longitude = unknown;
        EXPECT_TRUE(std::isnan(PlanRun(located).settings.longitude));
    }
}

TEST(ConversionRequest, RefusalsNameWhatIsMissingInTheWindowsOrder) {
    testing::TempFolder out;
    RequestField field{};

    ConversionRequest r = Filled(out.folder());
    r.longitude[2].clear();
    EXPECT_EQ(Refusal(r, &field), "経度(秒)を入力して下さい。");
    EXPECT_EQ(field, RequestField::Coordinates);
    // The coordinates are checked before the months: both missing gives the coordinates' message.
    r.months.clear();
    EXPECT_EQ(Refusal(r), "経度(秒)を入力して下さい。");
    // Of several empty boxes the first in the window's order is named; with none filled, both.
    r.latitude[1].clear();
    EXPECT_EQ(Refusal(r), "緯度(分)を入力して下さい。");
    r.latitude = {"", "", ""};
    r.longitude = {"", "", ""};
    EXPECT_EQ(Refusal(r), "緯度・経度を設定して下さい。");

    r = Filled(out.folder());
    r.latitude[1] = "60";
    EXPECT_EQ(Refusal(r, &field), "緯度(分)には0-59の範囲の半角数字を入力して下さい。");
    EXPECT_EQ(field, RequestField::Coordinates);

    r = Filled(out.folder());
    r.longitude.clear(); // a front end without longitude boxes
    EXPECT_EQ(Refusal(r), "accepted");

    // No months, and no station because the folder holds no monthly file: the months are named.
    r = Filled(out.folder());
    r.months.clear();
    r.stations = {StationKey{}};
    EXPECT_EQ(Refusal(r, &field), "年次ファイル作成に使用するデータの期間を選択して下さい。");
    EXPECT_EQ(field, RequestField::Months);

    r = Filled(out.folder());
    r.stations[0].bucket = "1";
    EXPECT_NE(Refusal(r, &field), "accepted");
    EXPECT_EQ(field, RequestField::Station);

    r = Filled(out.folder());
    r.outputFolder = out.File("gone/");
    EXPECT_EQ(Refusal(r, &field),
              "年次ファイルを保存するフォルダ「" + out.File("gone/") + "」がありません。");
    EXPECT_EQ(field, RequestField::OutputFolder);
    // The check before the folder is chosen does not look at it.
    EXPECT_NO_THROW(CheckRequest(r));
}

TEST(ConversionRequest, HalfTypedLatitudesAndPathLikeStationCodesAreRefused) {
    testing::TempFolder out;
    RequestField field{};
    const std::string degreesRange = "緯度(度)には20-49の範囲の半角数字を入力して下さい。";

    // A box may hold 2 to 4 while its value is typed; a run takes only the range the message names.
    ConversionRequest r = Filled(out.folder());
    for (const char* degrees : {"2", "3", "03", "4", "2.5", "19", "50"}) {
        r.latitude = {degrees, "0", "0"};
        EXPECT_EQ(Refusal(r, &field), degreesRange) << degrees;
        EXPECT_EQ(field, RequestField::Coordinates);
    }
    for (const char* degrees : {"20", "49", "035"}) {
        r.latitude = {degrees, "59", "59"};
        EXPECT_EQ(Refusal(r), "accepted") << degrees;
    }
    r.latitude = {"3.5"};
    EXPECT_EQ(Refusal(r), degreesRange);

    r = Filled(out.folder());
    for (StationKey bad : std::vector<StationKey>{{"..", "12"},
                                                  {"03", ".."},
                                                  {"/.", "./"},
                                                  {"03", "a/"},
                                                  {std::string("0\0", 2), "12"},
                                                  {"0\n", "12"}}) {
        r.stations = {bad};
        const std::string refusal = Refusal(r, &field);
        EXPECT_NE(refusal.find("ファイル名に使えません"), std::string::npos) << refusal;
        EXPECT_EQ(field, RequestField::Station);
        EXPECT_THROW(CheckRequest(r), RequestError);
    }
    // A line end is shown, not printed.
    r.stations = {{"03", "1\r"}};
    EXPECT_EQ(Refusal(r), "グループID・バケットID「1\\r」は制御文字を含むため、ファイル名に使えません。");
    // Dots that only look like a path are a code like any other.
    r.stations = {{".a", "12"}};
    EXPECT_EQ(Refusal(r), "accepted");
}

} // namespace
} // namespace kolvane
