#include "settings/LocalityTable.h"

#include "model/Text.h"
#include "request/Coordinates.h"
#include "settings/Settings.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using testing::TempFolder;
using Names = std::vector<std::string>;

// Rows outside the format sit among good ones; the last line has no line end.
const char* const ODD_TABLE = "13,44132,東京,35,41,30,139,45,00\r\n"
                              "1,11016,稚内,45,24,54,141,40,42\r\n"
                              "\r\n"
                              "13,44999,短い,35,41\r\n"
                              "x13,44998,文字,35,00,00,139,00,00\r\n"
                              "13,44136,八王子,35,5,0,139,45,30,extra\r\n"
                              "01,11999,先頭ゼロ,43,00,00,141,00,00\r\n"
                              " 13,44200,空白前,35,00,00,139,00,00\r\n"
                              "13,44136,範囲外,52,00,00,98,00,00\r\n"
                              "13,44132b,東京,36,00,00,140,00,00\r\n"
                              "1,11999b,離れ,43,00,00,141,00,00\n"
                              "13,44400,小数,35.5, 7 ,,abc,1e1,-3";

TEST(LocalityTable, ListsRowsComparingNumericallyButAppliesOnlyPlainDecimalPrefectures) {
    TempFolder temp;
    const std::string table = temp.Write("locale.dat", EncodeCp932(ODD_TABLE));
    LocalityList tokyo = ListLocalities(table, 13, "44136");
    EXPECT_EQ(tokyo.names, (Names{"東京", "八王子", "空白前", "範囲外", "東京", "小数"}));
    EXPECT_EQ(tokyo.selection, 1) << "the first of two rows with that code";
    EXPECT_EQ(ListLocalities(table, 13, "44132b").selection, 4);

    LocalityList hokkaido = ListLocalities(table, 1, "000000");
    EXPECT_EQ(hokkaido.names, (Names{"稚内", "先頭ゼロ", "離れ"}));
    EXPECT_EQ(hokkaido.selection, 0) << "an unknown code selects the first";

    EXPECT_TRUE(ListLocalities(table, 2, "").names.empty());
    EXPECT_TRUE(ListLocalities(temp.File("none.dat"), 13, "").names.empty());

    std::optional<LocalityCoordinates> c = FindLocalityCoordinates(table, 13, "八王子");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->latitude, (std::array<std::string, 3>{"35", "05", "00"}));
    EXPECT_EQ(c->longitude, (std::array<std::string, 3>{"139", "45", "30"}));
    EXPECT_EQ(FindLocalityCode(table, 13, "八王子"), "44136");

    // Duplicate names: the first row.
    EXPECT_EQ(FindLocalityCode(table, 13, "東京"), "44132");

    // Listed, but never matched by text: "01", " 13"; never listed at all: short and non-numeric lines.
    for (auto [index, name] :
         {std::pair{1, "先頭ゼロ"}, {13, "空白前"}, {13, "短い"}, {13, "文字"}, {0, "東京"}}) {
        EXPECT_FALSE(FindLocalityCoordinates(table, index, name)) << name;
        EXPECT_FALSE(FindLocalityCode(table, index, name)) << name;
    }

    // Fields outside the format are passed on for the box's own check to judge.
    c = FindLocalityCoordinates(table, 13, "範囲外");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->longitude[0], "098");
    c = FindLocalityCoordinates(table, 13, "小数");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->latitude, (std::array<std::string, 3>{"35.5", "07", ""}));
    EXPECT_EQ(c->longitude, (std::array<std::string, 3>{"abc", "10", "-03"}));
}

TEST(ShippedLocalityTable, HoldsEveryStationWithAcceptedCoordinates) {
    const std::string table = LocalityTablePath(KOLVANE_SOURCE_DATA);
    std::size_t rows = 0;
    for (int p = 1; p <= PREFECTURE_COUNT; ++p) {
        LocalityList list = ListLocalities(table, p, "");
        EXPECT_FALSE(list.names.empty()) << PREFECTURE_NAMES[p];
        rows += list.names.size();
        for (const std::string& name : list.names) {
            std::optional<LocalityCoordinates> c = FindLocalityCoordinates(table, p, name);
            ASSERT_TRUE(c) << name;
            for (int i = 0; i < 3; ++i) {
                EXPECT_TRUE(PassesRangeCheck(LatitudeBox(i), c->latitude[i])) << name;
                EXPECT_TRUE(PassesRangeCheck(LongitudeBox(i), c->longitude[i])) << name;
            }
        }
    }
    EXPECT_EQ(rows, 1286u);
    EXPECT_EQ(ListLocalities(table, 1, "").names.size(), 226u);
}

} // namespace
} // namespace kolvane
