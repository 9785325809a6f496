// Saved paintings read by independent readers: Python's plistlib (every key of every class, with
// its type and the sizes that must agree) and libplist's plistutil. Each test is skipped, visibly,
// when its reader is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/KeyedArchiver.h"
#include "ImageIO/Decoder.h"
#include "PaintingFixtures.h"
#include "Support/RunCommand.h"

using test_support::haveTool;
using test_support::runCommand;
namespace fs = std::filesystem;

namespace {

// Checks the archive's layout and prints one summary line: the classes, the raw image's size (or
// "blank"), the canvas size, the texture (or "none") and the paper colour.
constexpr const char* kCheckScript = R"PY(
import plistlib, struct, sys
a = plistlib.load(open(sys.argv[1], 'rb'))
assert a['$archiver'] == 'NSKeyedArchiver', a['$archiver']
assert a['$version'] == 100000 and type(a['$version']) is int
objs = a['$objects']
assert objs[0] == '$null'

def obj(uid):
    assert isinstance(uid, plistlib.UID) and 0 < uid.data < len(objs), uid
    return objs[uid.data]

def instance(uid, name, keys):
    o = obj(uid)
    cls = obj(o['$class'])
    assert cls['$classname'] == name and cls['$classes'] == [name, 'NSObject'], cls
    missing = set(keys) - set(o)
    assert not missing, (name, missing)
    return o

def ints(o, *keys):
    for k in keys:
        assert type(o[k]) is int and -2**31 <= o[k] < 2**31, (k, o[k])
    return [o[k] for k in keys]

root = instance(a['$top']['root'], 'DataModel', ['RawImage', 'Canvas'])
canvas = instance(root['Canvas'], 'Canvas', ['width', 'height', 'backgroundColor', 'textureName', 'paintingData'])
cw, ch = ints(canvas, 'width', 'height')
png = obj(canvas['paintingData'])
assert type(png) is bytes and png[:8] == b'\x89PNG\r\n\x1a\n' and png[12:16] == b'IHDR'
assert struct.unpack('>II', png[16:24]) == (cw, ch), struct.unpack('>II', png[16:24])

colour = instance(canvas['backgroundColor'], 'UIColor',
                  ['UIColorComponentCount', 'UIRed', 'UIGreen', 'UIBlue', 'UIAlpha', 'NSRGB', 'NSColorSpace'])
assert ints(colour, 'UIColorComponentCount', 'NSColorSpace') == [4, 2]
rgba = [colour[k] for k in ('UIRed', 'UIGreen', 'UIBlue', 'UIAlpha')]
assert all(type(v) is float and 0 <= v <= 1 for v in rgba), rgba
assert type(colour['NSRGB']) is bytes and b'\0' not in colour['NSRGB']

texture = 'none'
if canvas['textureName'].data:
    texture = obj(canvas['textureName'])
    assert type(texture) is str
raw = 'blank'
if root['RawImage'].data:
    image = instance(root['RawImage'], 'RawImage', ['pixels', 'width', 'height', 'bpp', 'bpc', 'rb', 'orientation'])
    w, h, bpp, bpc, rb, orientation = ints(image, 'width', 'height', 'bpp', 'bpc', 'rb', 'orientation')
    assert (bpp, bpc, rb) == (32, 8, w * 4) and 0 <= orientation <= 7
    pixels = obj(image['pixels'])
    assert type(pixels) is bytes and len(pixels) == rb * h, len(pixels)
    raw = f'{w}x{h}'
classes = sorted({c['$classname'] for c in objs if isinstance(c, dict) and '$classname' in c})
print(' '.join(classes), raw, f'{cw}x{ch}', texture, colour['NSRGB'].decode())
)PY";

class ArchiveInteropTest : public ::testing::Test {
protected:
    void TearDown() override { DataModel::releaseSharedDataModel(); }

    std::string save(const DataModel& model, const std::string& name)
    {
        std::string path = (dir / name).string();
        EXPECT_TRUE(fnd::KeyedArchiver::archiveRootObject(model, path));
        return path;
    }

    std::string checkWithPython(const std::string& archivePath)
    {
        std::string script = (dir / "check.py").string();
        std::string_view text(kCheckScript);
        EXPECT_TRUE(
            fnd::writeFileAtomically(script, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
        auto [output, status] = runCommand("python3 " + script + " " + archivePath + " 2>&1");
        EXPECT_EQ(status, 0) << output;
        return output;
    }

    test_support::TempFolder tempFolder{"kanvaro-interop"};
    fs::path dir = tempFolder.path();
};

} // namespace

TEST_F(ArchiveInteropTest, PlistlibFindsEveryKeyOfAPhotoPainting)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    DataModel* model = DataModel::sharedDataModelWithUIImage(testing::makePhoto(16, 12)).value_or(nullptr);
    ASSERT_TRUE(model);
    model->canvas()->setTextureName("Canvas");
    model->canvas()->setBackgroundColor({0.5f, 0.25f, 1.0f, 0.5f});
    testing::paintStroke(*model->canvas(), {10, 10, 200, 100}, {1, 0, 0, 0.5f});
    EXPECT_EQ(checkWithPython(save(*model, "photo.art")),
              "Canvas DataModel RawImage UIColor 16x12 1024x768 Canvas 0.5 0.25 1 0.5\n");
}

TEST_F(ArchiveInteropTest, PlistlibSeesNullRawImageAndTextureInABlankPainting)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    DataModel* model = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(model);
    EXPECT_EQ(checkWithPython(save(*model, "blank.art")), "Canvas DataModel UIColor blank 712x1024 none 1 1 1\n");
}

TEST_F(ArchiveInteropTest, PlistutilConvertsASavedPainting)
{
    if (!haveTool("plistutil"))
        GTEST_SKIP() << "plistutil is not installed";
    DataModel* model =
        DataModel::sharedDataModelWithUIImage(testing::makePhoto(8, 6, imageio::kOrientationRight)).value_or(nullptr);
    ASSERT_TRUE(model);
    std::string path = save(*model, "photo.art");
    std::string xml = (dir / "photo.xml").string();
    auto [output, status] = runCommand("plistutil -i " + path + " -o " + xml + " 2>&1");
    ASSERT_EQ(status, 0) << output;
    std::ifstream in(xml);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* expected :
         {"NSKeyedArchiver", "<string>DataModel</string>", "<string>RawImage</string>", "<string>Canvas</string>",
          "<string>UIColor</string>", "<key>paintingData</key>", "<key>orientation</key>"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

// The painting goes through the PNG with straight alpha and comes back premultiplied: every
// alpha level, with colours that need rounding, must come back as it was.
TEST_F(ArchiveInteropTest, ReopenedPaintingKeepsEveryAlphaLevel)
{
    DataModel* model = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(model);
    auto& ctx = model->canvas()->paintingContext();
    for (int level = 0; level < 256; ++level) {
        const float alpha = static_cast<float>(level) / 255.0f;
        ctx.setFillColor({0.7f, 0.33f, 0.1f, alpha});
        ctx.fillRect({static_cast<double>(level * 2), 0, 2, 512});
        ctx.setFillColor({0.05f, 0.9f, 0.61f, alpha});
        ctx.fillRect({static_cast<double>(level * 2), 512, 2, 512});
    }
    model->canvas()->paintingDidChange(model->canvas()->bounds());
    auto before = model->canvas()->createThumbnail(1024, false);
    std::string reason;
    auto reopened = DataModel::initWithArchiveData(fnd::KeyedArchiver::archivedData(*model).value(), &reason);
    ASSERT_TRUE(reopened) << reason;
    testing::expectSamePixels(*before, *reopened->canvas()->createThumbnail(1024, false));
}

// Writes the fuzzers' seeds when KANVARO_WRITE_CORPUS names a folder: real saved paintings for
// fuzz_data_model (data_model/) and photo descriptions for fuzz_raw_image_import
// (raw_image_import/: width, height, bpp pick, rb pick, byte order pick, orientation + 1, holders,
// no-pixels flag, then pixels).
TEST_F(ArchiveInteropTest, WritesFuzzSeedsOnRequest)
{
    const char* folder = std::getenv("KANVARO_WRITE_CORPUS");
    if (!folder)
        GTEST_SKIP() << "set KANVARO_WRITE_CORPUS to write fuzz seeds";
    const fs::path paintings = fs::path(folder) / "data_model";
    const fs::path photos = fs::path(folder) / "raw_image_import";
    fs::create_directories(paintings);
    fs::create_directories(photos);

    DataModel* blank = DataModel::sharedDataModelWithBlankCanvas();
    ASSERT_TRUE(blank);
    EXPECT_TRUE(fnd::KeyedArchiver::archiveRootObject(*blank, (paintings / "blank.art").string()));
    DataModel* photo = DataModel::sharedDataModelWithUIImage(testing::makePhoto(16, 12)).value_or(nullptr);
    ASSERT_TRUE(photo);
    photo->canvas()->setTextureName("Brick");
    photo->canvas()->setBackgroundColor({0.9f, 0.8f, 0.3f, 1});
    testing::paintStroke(*photo->canvas(), {200, 300, 120, 90}, {0.1f, 0.6f, 0.2f, 0.8f});
    EXPECT_TRUE(fnd::KeyedArchiver::archiveRootObject(*photo, (paintings / "photo_16x12.art").string()));
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(testing::makePhoto(1, 1)));
    EXPECT_TRUE(
        fnd::KeyedArchiver::archiveRootObject(*DataModel::sharedDataModel(), (paintings / "photo_1x1.art").string()));
    // A thin photo to be turned upright (8 x 1024 once turned), with its own file.
    const auto jpeg = testing::makeJpegWithExifOrientation(*testing::makePhoto(256, 2), 6);
    auto turned = imageio::decodeMemory(jpeg.data(), jpeg.size());
    ASSERT_TRUE(turned);
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(std::make_shared<imageio::DecodedImage>(turned.value())));
    EXPECT_TRUE(fnd::KeyedArchiver::archiveRootObject(*DataModel::sharedDataModel(),
                                                      (paintings / "photo_turned_with_file.art").string()));
    for (const auto& entry : fs::directory_iterator(paintings))
        EXPECT_LT(fs::file_size(entry), 64u * 1024) << entry.path();

    // width, height, bpp index (3 = 32, 1 = 16, 2 = 24), rb pick (3 = packed), byte order index,
    // orientation + 1, another holder, no pixels; then the pixels.
    auto writeSeed = [&](const std::string& name, std::vector<std::uint8_t> header, std::size_t pixelBytes) {
        for (std::size_t i = 0; i < pixelBytes; ++i)
            header.push_back(static_cast<std::uint8_t>(i * 37));
        EXPECT_TRUE(fnd::writeFileAtomically((photos / name).string(), header));
    };
    writeSeed("rgba_8x6_up", {8, 6, 3, 3, 2, 1, 0, 0}, 8 * 6 * 4);
    writeSeed("rgba_8x6_right_shared", {8, 6, 3, 3, 2, 4, 1, 0}, 8 * 6 * 4);
    writeSeed("rgb16_5x4_left_mirrored", {5, 4, 1, 3, 1, 7, 0, 0}, 5 * 4 * 2);
    writeSeed("rgb24_7x3_padded", {7, 3, 2, 8, 0, 2, 0, 0}, 3 * (7 * 3 + 1));
    writeSeed("short_pixels", {8, 6, 3, 3, 2, 1, 0, 0}, 40);
}
