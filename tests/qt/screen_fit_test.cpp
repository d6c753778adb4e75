// The default scale is the largest whole one (at most 3) at which the device screen fits the
// desktop; a larger explicit one is refused with the reason.

#include <gtest/gtest.h>

#include "qt/screen_fit.h"

namespace {

TEST(ScreenFit, TheLargestScaleThatFitsIsTheDefault) {
    const struct {
        int height;
        int scale;
    } cases[] = {{200, 1}, {639, 1}, {640, 2}, {959, 2}, {960, 3}, {1040, 3}, {2160, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(qtfront::FittingScale(c.height), c.scale) << c.height;
    }
}

TEST(ScreenFit, AnExplicitScaleThatDoesNotFitIsRefused) {
    EXPECT_FALSE(qtfront::ScaleMisfit(2, 640));
    EXPECT_FALSE(qtfront::ScaleMisfit(1, 200)) << "the smallest scale is always allowed";
    EXPECT_FALSE(qtfront::ScaleMisfit(5, 1600));
    const auto misfit = qtfront::ScaleMisfit(4, 1040);
    ASSERT_TRUE(misfit);
    EXPECT_EQ(*misfit,
              "--scale 4 does not fit the desktop: the device screen would be 1280 pixels high, "
              "the desktop has 1040 (use --scale 3 or leave it out)");
}

}  // namespace
