#include "fw/ButtonMarginStyle.h"
#include "tests/support/TestHome.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need the application object; they run on the offscreen platform, in a home of
// their own, with the program's style.
int main(int argc, char** argv)
{
    const TestHome home;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fw::ButtonMarginStyle::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
