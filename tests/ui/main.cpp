#include "UiTestSupport.h"

#include <QApplication>
#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

// Window tests run without a display unless a platform is asked for, with a fixed locale.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "C.UTF-8");
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new kolvane::testing::TestDeadline(std::chrono::seconds(30)));
    return RUN_ALL_TESTS();
}
