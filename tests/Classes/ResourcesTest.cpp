// The bundle's resources: every image the application looks up exists, brush shapes are 8-bit
// grey pictures that fade to white, textures tile seamlessly and 2x and 3x images match their 1x
// size.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MediumValues.h"

namespace {

const char* const kTextures[] = {"Canvas", "Brick", "CrackedPaint", "Mosaic", "RoughPaper", "Stone"};
const char* const kInterface[] = {"MediumBk",
                                  "Brush",
                                  "Eraser",
                                  "Hand",
                                  "BrushShapesBtn",
                                  "ColorBtn",
                                  "PaperBtn",
                                  "SpinnerBk",
                                  "SliderThumb",
                                  "Swirl",
                                  "Glob",
                                  "GalleryBk",
                                  "GalleryPaintingShadowL",
                                  "GalleryPaintingShadowP",
                                  "DeleteButtonN",
                                  "DeleteButtonP"};

std::string resourceDir()
{
    const char* env = std::getenv("KANVARO_RESOURCES");
    return env && *env ? env : KANVARO_SOURCE_DIR "/Resources";
}

std::string pathOf(const std::string& name) { return resourceDir() + "/" + name + ".png"; }

// A decoded PNG in its stored layout (grey, grey+alpha, RGB or RGBA; 8 bits per sample).
struct Png {
    int width = 0;
    int height = 0;
    int channels = 0;
    bool grey = false;
    bool eightBit = false;
    std::vector<std::uint8_t> pixels;

    int at(int x, int y, int c = 0) const { return pixels[(static_cast<std::size_t>(y) * width + x) * channels + c]; }
};

Png readPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Png out;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return out;
    out.grey = (image.format & PNG_FORMAT_FLAG_COLOR) == 0;
    out.eightBit = (image.format & PNG_FORMAT_FLAG_LINEAR) == 0;
    image.format &= ~static_cast<png_uint_32>(PNG_FORMAT_FLAG_LINEAR);
    out.channels = static_cast<int>(PNG_IMAGE_PIXEL_CHANNELS(image.format));
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    return out;
}

// Mean absolute difference between column (or row) a and b over every channel.
double lineDifference(const Png& png, int a, int b, bool columns)
{
    int length = columns ? png.height : png.width;
    double sum = 0;
    for (int i = 0; i < length; ++i) {
        for (int c = 0; c < png.channels; ++c) {
            int pa = columns ? png.at(a, i, c) : png.at(i, a, c);
            int pb = columns ? png.at(b, i, c) : png.at(i, b, c);
            sum += std::abs(pa - pb);
        }
    }
    return sum / (length * png.channels);
}

TEST(Resources, everyLookedUpFileExists)
{
    std::vector<std::string> names;
    for (const MediumValue& medium : g_arMediumValues) {
        names.push_back(std::string(medium.shapeName) + ".png");
        names.push_back(std::string(medium.shapeName) + "_medium.png");
    }
    for (const char* t : kTextures)
        names.push_back(std::string(t) + ".png");
    for (const char* i : kInterface)
        names.push_back(std::string(i) + ".png");
    names.push_back("MainWindow.json");
    for (const std::string& name : names) {
        EXPECT_TRUE(std::filesystem::is_regular_file(resourceDir() + "/" + name)) << name;
    }
}

TEST(Resources, brushShapesAreEightBitGreyDarkShapesFadingToWhiteBorders)
{
    for (const MediumValue& medium : g_arMediumValues) {
        const char* name = medium.shapeName;
        SCOPED_TRACE(name);
        Png png = readPng(pathOf(name));
        ASSERT_GT(png.width, 0);
        EXPECT_TRUE(png.grey);
        EXPECT_TRUE(png.eightBit);
        ASSERT_EQ(png.channels, 1); // no alpha: the first byte of a pixel is its grey level
        int darkest = 255;
        for (int y = 0; y < png.height; ++y) {
            for (int x = 0; x < png.width; ++x) {
                bool border = x == 0 || y == 0 || x == png.width - 1 || y == png.height - 1;
                if (border) {
                    ASSERT_EQ(png.at(x, y), 255) << x << "," << y;
                }
                darkest = std::min(darkest, png.at(x, y));
            }
        }
        // Every shape paints somewhere; a pencil dab only lightly, as some twenty copies overlap
        // along its stroke.
        EXPECT_LT(darkest, 192) << "the shape should paint somewhere";
    }
}

TEST(Resources, texturesTileSeamlesslyAndCarryContrast)
{
    for (const char* name : kTextures) {
        SCOPED_TRACE(name);
        Png png = readPng(pathOf(name));
        ASSERT_GT(png.width, 2);
        ASSERT_GE(png.channels, 3);
        for (bool columns : {true, false}) {
            int size = columns ? png.width : png.height;
            double neighbours = 0;
            double largest = 0;
            for (int i = 0; i + 1 < size; ++i) {
                double d = lineDifference(png, i, i + 1, columns);
                neighbours += d;
                largest = std::max(largest, d);
            }
            neighbours /= size - 1;
            double wrap = lineDifference(png, size - 1, 0, columns);
            EXPECT_LE(wrap, largest) << (columns ? "columns" : "rows");
            EXPECT_LE(wrap, 3 * neighbours + 1) << (columns ? "columns" : "rows");
        }
        int lo = 255;
        int hi = 0;
        for (int y = 0; y < png.height; ++y) {
            for (int x = 0; x < png.width; ++x) {
                lo = std::min(lo, png.at(x, y, 1));
                hi = std::max(hi, png.at(x, y, 1));
            }
        }
        EXPECT_GT(hi - lo, 100) << "drawn at 15% opacity, a texture needs strong contrast";
    }
}

TEST(Resources, finerImagesAreExactlyTwiceAndThreeTimesTheirSize)
{
    std::vector<std::string> names(std::begin(kInterface), std::end(kInterface));
    for (const MediumValue& medium : g_arMediumValues)
        names.push_back(std::string(medium.shapeName) + "_medium");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Png one = readPng(pathOf(name));
        ASSERT_GT(one.width, 0);
        for (int scale : {2, 3}) {
            Png finer = readPng(pathOf(name + "@" + std::to_string(scale) + "x"));
            EXPECT_EQ(finer.width, scale * one.width);
            EXPECT_EQ(finer.height, scale * one.height);
        }
    }
}

TEST(Resources, picturesHaveTheSizesTheScreensLayOutFor)
{
    struct Expected {
        const char* name;
        int width;
        int height;
    };
    const Expected expected[] = {{"GalleryBk", 320, 480},        {"MediumBk", 280, 330},
                                 {"DeleteButtonN", 30, 30},      {"DeleteButtonP", 30, 30},
                                 {"Airbrush_medium", 280, 91},   {"Oil_medium", 280, 52},
                                 {"Calligraphy_medium", 280, 52}};
    for (const Expected& e : expected) {
        Png png = readPng(pathOf(e.name));
        EXPECT_EQ(png.width, e.width) << e.name;
        EXPECT_EQ(png.height, e.height) << e.name;
    }
    // The frames hold a thumbnail at (10, 5): 120 x 90 landscape, up to 120 high portrait.
    Png landscape = readPng(pathOf("GalleryPaintingShadowL"));
    Png portrait = readPng(pathOf("GalleryPaintingShadowP"));
    EXPECT_GE(landscape.width, 130);
    EXPECT_GE(landscape.height, 95);
    EXPECT_GT(landscape.width, landscape.height);
    EXPECT_GE(portrait.height, 125);
    EXPECT_LT(portrait.width, portrait.height);
}

TEST(Resources, globIsAnOpaqueBlobOnTransparency)
{
    Png glob = readPng(pathOf("Glob"));
    ASSERT_EQ(glob.channels, 4);
    EXPECT_EQ(glob.at(0, 0, 3), 0);
    EXPECT_EQ(glob.at(glob.width - 1, glob.height - 1, 3), 0);
    EXPECT_EQ(glob.at(glob.width / 2, glob.height / 2, 3), 255);
}

TEST(Resources, mainInterfaceFileNamesTheWindowAndDelegate)
{
    std::ifstream in(resourceDir() + "/MainWindow.json");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\"KanvaroAppDelegate\""), std::string::npos);
    EXPECT_NE(text.str().find("\"width\": 320"), std::string::npos);
    EXPECT_NE(text.str().find("\"height\": 480"), std::string::npos);
}

} // namespace
