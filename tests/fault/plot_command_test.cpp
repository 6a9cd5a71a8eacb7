// --plot in a process of its own: it starts Qt without a display, which a test process cannot undo.

#include "FaultSupport.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kolvane {
namespace {

using namespace kolvane::testing;

TEST(PlotCommand, PlotsAYearWithoutADisplay) {
#ifndef KOLVANE_HAVE_PLOT
    GTEST_SKIP() << "kolvane-convert built without Qt has no --plot";
#endif
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        unsetenv(name);
    TempFolder out;
    const std::string png = out.File("year.png"), golden = GOLDEN + "expected/";
    ChildResult r = RunChild(CONVERT, {"--plot", png, golden + "Y2000_0312.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string image = TempFolder::Read(png);
    ASSERT_GE(image.size(), 24u);
    EXPECT_EQ(image.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(image.substr(16, 8), std::string("\0\0\x06\x40\0\0\x03\xe8", 8)); // 1600 x 1000

    // Not a yearly file's name: nothing is drawn over the image already there. The two names swapped
    // (on a copy): the yearly file is not drawn over either.
    r = RunChild(CONVERT, {"--plot", png, golden + "Q2000_0312.csv"});
    EXPECT_EQ(r.exitCode, 2); // as --summary refuses it
    EXPECT_NE(r.err.find("年次ファイル"), std::string::npos) << r.err;
    EXPECT_TRUE(TempFolder::Read(png) == image);
    const std::string yearly = out.Write("Y2000_0312.csv", TempFolder::Read(golden + "Y2000_0312.csv"));
    r = RunChild(CONVERT, {"--plot", yearly, png});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(TempFolder::Read(yearly) == TempFolder::Read(golden + "Y2000_0312.csv"));

    // Its companion absent (the copy above has none): drawn all the same, and said so.
    r = RunChild(CONVERT, {"--plot", out.File("bare.png"), yearly});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, out.File("bare.png") + "\n");
    EXPECT_NE(r.err.find("品質ファイル「" + out.File("Q2000_0312.csv") + "」がない"), std::string::npos)
        << r.err;

#ifndef KOLVANE_HAVE_SVG
    GTEST_SKIP() << "built without Qt SVG, which only --plot of an .svg needs";
#endif
    r = RunChild(CONVERT, {"--plot", out.File("year.svg"), yearly});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(TempFolder::Read(out.File("year.svg")).find("<svg"), std::string::npos);
}

} // namespace
} // namespace kolvane
