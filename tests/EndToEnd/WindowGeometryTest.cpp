// The window's opening size and the frame remembered between starts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Host/DisplayCheck.h"
#include "Host/SdlHost.h"
#include "Host/WindowGeometry.h"
#include "Support/TempFolder.h"

namespace {

using host::WindowFrame;

std::string contents(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The whole window, a title bar above it included, fits the work area at the largest scale in
// steps of 1/20: a 1280 x 1024 screen with a panel, a 1366 x 768 laptop, a narrow and a tiny area.
TEST(WindowGeometry, FirstOpeningIsTheLargestScaleThatFitsTheWorkArea)
{
    const WindowFrame desktop = host::openingFrame(std::nullopt, {0, 30, 1280, 994});
    EXPECT_EQ(desktop.width, 624); // 1.95
    EXPECT_EQ(desktop.height, 936);
    EXPECT_FALSE(desktop.position);
    EXPECT_DOUBLE_EQ(host::openingScale({0, 0, 1366, 740}), 1.45);
    EXPECT_DOUBLE_EQ(host::openingScale({0, 0, 500, 2000}), 1.55);
    EXPECT_DOUBLE_EQ(host::openingScale({0, 0, 100, 100}), 0.5);
}

// The frame survives a save and a load beside the file's other lines; a remembered frame too large
// for the work area, or outside it, is brought back inside; a file without a usable size gives none.
TEST(WindowGeometry, RememberedFrameComesBackInsideTheWorkArea)
{
    const test_support::TempFolder folder("kanvaro-settings");
    const auto path = (folder / "kanvaro" / "kanvaro.conf").string();
    EXPECT_FALSE(host::loadWindowFrame(path));
    std::filesystem::create_directories(folder / "kanvaro");
    std::ofstream(path) << "something-else=1\nwindow-size=2000x3000\nwindow-position=40,-5\n";
    ASSERT_TRUE(host::saveWindowFrame(path, {700, 1000, SDL_Point{-300, 5000}}));
    EXPECT_EQ(contents(path), "something-else=1\nwindow-size=700x1000\nwindow-position=-300,5000\n");

    const auto loaded = host::loadWindowFrame(path);
    ASSERT_TRUE(loaded);
    const WindowFrame inside = host::openingFrame(loaded, {0, 30, 1280, 994});
    EXPECT_EQ(inside.width, 700);
    EXPECT_EQ(inside.height, 994);
    ASSERT_TRUE(inside.position);
    EXPECT_EQ(inside.position->x, 0);
    EXPECT_EQ(inside.position->y, 30);
    const WindowFrame small = host::openingFrame(loaded, {0, 0, 600, 500});
    EXPECT_EQ(small.width, 600);
    EXPECT_EQ(small.height, 500);

    std::ofstream(path) << "window-size=640x\nwindow-position=1,2\n";
    EXPECT_FALSE(host::loadWindowFrame(path));
}

// The real host opens at the remembered size and writes the size it has when it ends.
TEST(WindowGeometry, HostOpensAtTheRememberedSizeAndKeepsTheLastOne)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const test_support::TempFolder folder("kanvaro-settings");
    const auto path = (folder / "kanvaro.conf").string();
    ASSERT_TRUE(host::saveWindowFrame(path, {500, 700, std::nullopt}));
    auto host = host::SdlHost::create("Kanvaro test", 0, path);
    ASSERT_TRUE(host);
    int width = 0, height = 0;
    SDL_GetWindowSize(host->sdlWindow(), &width, &height);
    EXPECT_EQ(width, 500);
    EXPECT_EQ(height, 700);
    host->launch({});
    SDL_SetWindowSize(host->sdlWindow(), 480, 720);
    host->terminate();
    EXPECT_EQ(contents(path), "window-size=480x720\n"); // the dummy display has no place to keep
}

TEST(DisplayCheck, GpuRenderNodeIsARenderDeviceInTheFolder)
{
    const test_support::TempFolder dri("kanvaro-dri");
    std::ofstream(dri / "card0");
    EXPECT_FALSE(host::hasGpuRenderNode(dri.path().string()));
    std::ofstream(dri / "renderD128");
    EXPECT_TRUE(host::hasGpuRenderNode(dri.path().string()));
    EXPECT_FALSE(host::hasGpuRenderNode((dri / "missing").string()));
}

} // namespace
