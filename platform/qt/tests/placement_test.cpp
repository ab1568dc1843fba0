#include "QtTestSupport.h"
#include "fw/WindowPlacement.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(PlacementTextTest, WritesTheTenNumbersInOrder)
{
    fw::WindowPlacement p;
    p.flags = 2;
    p.showCmd = 3;
    p.minX = -1;
    p.minY = -1;
    p.maxX = -8;
    p.maxY = -8;
    p.left = 10;
    p.top = 20;
    p.right = 810;
    p.bottom = 620;
    EXPECT_EQ(fw::FormatPlacement(p), QStringLiteral("2,3,-1,-1,-8,-8,10,20,810,620"));
    EXPECT_EQ(fw::ParsePlacement(fw::FormatPlacement(p)), p);
}

TEST(PlacementTextTest, DamagedValuesCountAsNoPlacement)
{
    const char* rows[] = {
        "",                                  // missing
        "0,1,-1,-1,-1,-1,10,20,810",         // nine numbers
        "0,1,-1,-1,-1,-1,10,20,810,620,5",   // eleven
        "0,1,-1,-1,-1,-1,10,20,810,6x0",     // not a number
        "0,1,-1,-1,-1,-1,10,20,10,620",      // empty width
        "0,1,-1,-1,-1,-1,10,620,810,20",     // upside down
        "0,12,-1,-1,-1,-1,10,20,810,620",    // unknown show command
        "-1,1,-1,-1,-1,-1,10,20,810,620",    // negative flags
        "0,1,-1,-1,-1,-1,10,20,9999999,620", // beyond any screen
        "0;1;-1;-1;-1;-1;10;20;810;620",     // other separator
    };
    for (const char* row : rows) {
        EXPECT_FALSE(fw::ParsePlacement(QString::fromLatin1(row)).has_value()) << row;
    }
    EXPECT_TRUE(fw::ParsePlacement(QStringLiteral(" 0, 1,-1,-1,-1,-1,10,20,810,620\n")));
}

TEST(PlacementWindowTest, RestoresTheNormalRectangleAndTheMaximisedState)
{
    TestApp();
    QWidget window;
    fw::WindowPlacement p;
    p.left = 40;
    p.top = 50;
    p.right = 440;
    p.bottom = 350;
    p.showCmd = fw::SW_SHOWMAXIMIZED;
    fw::SetWindowPlacement(&window, p);
    EXPECT_TRUE(window.isMaximized());
    const fw::WindowPlacement read = fw::GetWindowPlacement(&window);
    EXPECT_EQ(read.showCmd, fw::SW_SHOWMAXIMIZED);
    EXPECT_EQ(read.right - read.left, 400);
    EXPECT_EQ(read.bottom - read.top, 300);
}

} // namespace
