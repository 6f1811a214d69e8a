// Windows kept on the screen they open on.

#include "widgets/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QMargins kFrame(8, 40, 8, 8);
const QRect kScreen(0, 0, 800, 600);

TEST(ScreenFit, APlaceFromALargerOrAMovedScreenIsMovedThenShrunkOntoThisOne) {
    const QRect inside = kScreen.marginsRemoved(kFrame);
    // Saved at 900 x 700: moved to the top left, then shrunk to the room.
    EXPECT_EQ(FitInside(QRect(50, 60, 900, 700), kScreen, kFrame, QSize(360, 320)), inside);
    // Smaller than the screen but hanging over its right and bottom edges: moved, not shrunk.
    EXPECT_EQ(FitInside(QRect(500, 400, 600, 450), kScreen, kFrame, QSize(360, 320)),
              QRect(192, 142, 600, 450));
    // Left on a screen to the left that is gone, or one that moved up.
    EXPECT_EQ(FitInside(QRect(-1200, 35, 640, 480), kScreen, kFrame, QSize()), QRect(8, 40, 640, 480));
    EXPECT_EQ(FitInside(QRect(100, -900, 640, 480), kScreen, kFrame, QSize()), QRect(100, 40, 640, 480));
    // A screen whose room does not start at 0 (a panel on the left, a second screen).
    const QRect right(1280, 32, 1024, 736);
    EXPECT_TRUE(
        right.marginsRemoved(kFrame).contains(FitInside(QRect(0, 0, 1200, 900), right, kFrame, QSize())));
    // A least size larger than the room (large text): the top left stays reachable.
    const QRect tooBig = FitInside(QRect(300, 300, 500, 400), kScreen, kFrame, QSize(1000, 700));
    EXPECT_EQ(tooBig.topLeft(), inside.topLeft());
    EXPECT_EQ(tooBig.size(), QSize(1000, 700));
    EXPECT_FALSE(FitsInside(QSize(1000, 700), kScreen, kFrame));
    EXPECT_TRUE(FitsInside(QSize(784, 552), kScreen, kFrame));
    EXPECT_FALSE(FitsInside(QSize(785, 552), kScreen, kFrame));
}

} // namespace
