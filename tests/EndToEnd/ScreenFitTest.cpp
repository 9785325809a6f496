#include <gtest/gtest.h>

#include <cmath>

#include "Host/DisplayCheck.h"
#include "Host/ScreenFit.h"

namespace {

constexpr gfx::Size kPhone{320, 480};

TEST(ScreenFit, LargestScaleThatFitsCentredWithTheRestAsBorder)
{
    host::ScreenFit tall = host::fitScreen(480, 720, kPhone);
    EXPECT_EQ(tall.scale, 1.5);
    EXPECT_EQ(tall.pixelWidth, 480);
    EXPECT_EQ(tall.originX, 0);
    host::ScreenFit wide = host::fitScreen(1920, 1080, kPhone); // a maximised full-HD window
    EXPECT_EQ(wide.scale, 2.25);
    EXPECT_EQ(wide.pixelWidth, 720);
    EXPECT_EQ(wide.pixelHeight, 1080);
    EXPECT_EQ(wide.originX, 600);
    EXPECT_EQ(wide.originY, 0);
    EXPECT_EQ(wide.toPoints(600 + 360, 540), (gfx::Point{160, 240}));
    EXPECT_TRUE(wide.containsPixel(600, 0));
    EXPECT_FALSE(wide.containsPixel(599, 10));
    EXPECT_FALSE(wide.containsPixel(1320, 10));

    // Whatever the size, the screen (rounded up to whole pixels, as the backing store is) fits
    // inside the window and touches one pair of its sides.
    for (int w = 1; w < 1400; w += 7) {
        for (int h = 1; h < 1400; h += 11) {
            host::ScreenFit fit = host::fitScreen(w, h, kPhone);
            ASSERT_GT(fit.scale, 0);
            ASSERT_EQ(fit.pixelWidth, std::max(1, static_cast<int>(std::ceil(320 * fit.scale))));
            ASSERT_LE(fit.originX + fit.pixelWidth, w) << w << " x " << h;
            ASSERT_LE(fit.originY + fit.pixelHeight, h) << w << " x " << h;
            ASSERT_GE(fit.originX, 0);
            ASSERT_TRUE(fit.pixelWidth >= w - 1 || fit.pixelHeight >= h - 1) << w << " x " << h;
        }
    }
}

TEST(DisplayCheck, RefusesOnlyWhenNoDisplayAndNoDriverWasAskedFor)
{
    using host::DisplayEnvironment;
    EXPECT_TRUE(host::lacksDisplay(DisplayEnvironment{}));
    EXPECT_TRUE(host::lacksDisplay({"", "", ""}));
    EXPECT_FALSE(host::lacksDisplay({":0", nullptr, nullptr}));
    EXPECT_FALSE(host::lacksDisplay({nullptr, "wayland-0", nullptr}));
    EXPECT_FALSE(host::lacksDisplay({nullptr, nullptr, "dummy"})); // asked for (tests do)

    // SDL may still settle on a driver that shows nothing (a display variable naming nothing).
    EXPECT_TRUE(host::fellBackToInvisibleDriver({":9", nullptr, nullptr}, "offscreen"));
    EXPECT_TRUE(host::fellBackToInvisibleDriver({":9", nullptr, nullptr}, "dummy"));
    EXPECT_FALSE(host::fellBackToInvisibleDriver({":0", nullptr, nullptr}, "x11"));
    EXPECT_FALSE(host::fellBackToInvisibleDriver({nullptr, nullptr, "offscreen"}, "offscreen"));
    EXPECT_FALSE(host::fellBackToInvisibleDriver({":0", nullptr, nullptr}, nullptr));
    EXPECT_NE(host::noDisplayMessage().find("kanvaro-script"), std::string::npos);
    EXPECT_EQ(host::noDisplayMessage().find('\n'), std::string::npos);
}

} // namespace
