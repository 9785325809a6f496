#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "Foundation/BinaryPlistReader.h"
#include "Foundation/FileOps.h"
#include "KeyedArchiveTestSupport.h"
#include "Support/RunCommand.h"
#include "Support/TempFolder.h"

using namespace fnd;
using namespace archivetest;
using test_support::haveTool;
using test_support::runCommand;
using test_support::TempFolder;
namespace fs = std::filesystem;

namespace {

Bytes archiveBytes(const Codable& root)
{
    auto bytes = KeyedArchiver::archivedData(root);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    return bytes.ok() ? std::move(bytes).value() : Bytes{};
}

std::unique_ptr<TestModel> roundTrip(const TestModel& model)
{
    auto coder = KeyedUnarchiver::fromBytes(archiveBytes(model));
    EXPECT_TRUE(coder.ok()) << coder.error();
    if (!coder.ok())
        return nullptr;
    auto decoded = decodeModel(coder.value());
    EXPECT_FALSE(coder->failed()) << coder->error();
    return decoded;
}

fs::path writeIn(const TempFolder& folder, const Bytes& bytes, const std::string& name)
{
    const fs::path path = folder / name;
    EXPECT_TRUE(writeFileAtomically(path.string(), bytes));
    return path;
}

} // namespace

TEST(KeyedArchive, RoundTripsAnObjectGraph)
{
    auto model = makeModel(true, 1024); // 4 MiB of pixels
    model->canvas->width = std::numeric_limits<int32_t>::max();
    model->canvas->height = std::numeric_limits<int32_t>::min();
    model->canvas->background = {0.2f, 0.4f, 0.6f, 0.5f};
    model->canvas->textureName = "Papier m\xC3\xA2\xC3\xA7h\xC3\xA9 \xE2\x9C\x8E";
    model->image->height = -7;
    auto decoded = roundTrip(*model);
    ASSERT_TRUE(decoded && decoded->image && decoded->canvas);
    EXPECT_EQ(decoded->image->pixels, model->image->pixels);
    EXPECT_EQ(decoded->image->width, 1024);
    EXPECT_EQ(decoded->image->height, -7);
    EXPECT_EQ(decoded->canvas->width, model->canvas->width);
    EXPECT_EQ(decoded->canvas->height, model->canvas->height);
    EXPECT_EQ(decoded->canvas->background, model->canvas->background);
    EXPECT_EQ(decoded->canvas->textureName, model->canvas->textureName);
    EXPECT_EQ(decoded->canvas->paintingData, model->canvas->paintingData);

    model->image.reset(); // null object and null string
    model->canvas->textureName = "plain";
    decoded = roundTrip(*model);
    ASSERT_TRUE(decoded && decoded->canvas);
    EXPECT_EQ(decoded->image, nullptr);
    EXPECT_EQ(decoded->canvas->textureName, "plain");
    model->canvas->textureName.reset();
    decoded = roundTrip(*model);
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->canvas->textureName.has_value());
}

// A blank canvas numbers its objects like the platform writer: children after their parent,
// a class description after the first instance's children.
TEST(KeyedArchive, NumbersObjectsInThePlatformOrder)
{
    const Bytes bytes = archiveBytes(*makeModel(false, 16));
    auto parsed = BinaryPlistReader::parse(bytes);
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    const BinaryPlistReader& plist = *parsed.value();
    const PlistObject top = plist.object(plist.topIndex());
    const PlistObject objects = plist.object(*plist.dictLookup(top, "$objects"));
    ASSERT_EQ(objects.count, 8u);
    auto entry = [&](uint64_t uid) { return plist.object(plist.arrayElement(objects, uid)); };
    auto uidUnder = [&](const PlistObject& dict, std::string_view key) {
        return plist.object(*plist.dictLookup(dict, key)).uid;
    };
    auto classOf = [&](uint64_t uid) {
        return plist.text(plist.object(*plist.dictLookup(entry(uidUnder(entry(uid), "$class")), "$classname")));
    };
    EXPECT_EQ(plist.text(entry(0)), "$null");
    EXPECT_EQ(uidUnder(plist.object(*plist.dictLookup(top, "$top")), "root"), 1u);
    EXPECT_EQ(uidUnder(entry(1), "RawImage"), 0u);
    EXPECT_EQ(uidUnder(entry(1), "Canvas"), 2u);
    EXPECT_EQ(uidUnder(entry(2), "backgroundColor"), 3u);
    EXPECT_EQ(uidUnder(entry(2), "textureName"), 0u);
    EXPECT_EQ(uidUnder(entry(2), "paintingData"), 5u);
    EXPECT_EQ(uidUnder(entry(1), "$class"), 7u);
    EXPECT_EQ(uidUnder(entry(2), "$class"), 6u);
    EXPECT_EQ(uidUnder(entry(3), "$class"), 4u);
    EXPECT_EQ(classOf(1), "DataModel");
    EXPECT_EQ(classOf(2), "Canvas");
    EXPECT_EQ(classOf(3), "UIColor");
    EXPECT_EQ(entry(5).type, PlistType::Data);

    // Keys in the order written, "$class" last; the colour in its seven-key RGB form.
    const PlistObject canvas = entry(2);
    const char* canvasKeys[] = {"width", "height", "backgroundColor", "textureName", "paintingData", "$class"};
    for (uint64_t i = 0; i < canvas.count; ++i)
        EXPECT_EQ(plist.text(plist.object(plist.dictKey(canvas, i))), canvasKeys[i]);
    const PlistObject color = entry(3);
    EXPECT_EQ(color.count, 8u);
    const PlistObject rgb = plist.object(*plist.dictLookup(color, "NSRGB"));
    EXPECT_EQ(std::string(rgb.bytes().begin(), rgb.bytes().end()), "1 1 1");
    EXPECT_TRUE(plist.object(*plist.dictLookup(color, "UIRed")).single);
}

TEST(KeyedArchive, EscapesDollarKeysUniquesInstancesAndRejectsBadText)
{
    struct Node : Codable {
        const Node* next = nullptr;
        std::optional<std::string> text;
        const char* className() const override { return "Node"; }
        void encodeWithCoder(KeyedArchiver& coder) const override
        {
            coder.encodeInt32("$weird", 3);
            coder.encodeObject("next", next);
            coder.encodeString("text", text);
        }
    };
    Node a, b;
    a.next = &b;
    b.next = &a; // a cycle: encoded once each thanks to identity uniquing
    const Bytes bytes = archiveBytes(a);
    auto coder = KeyedUnarchiver::fromBytes(bytes);
    ASSERT_TRUE(coder.ok());
    int visits = 0;
    coder->decodeRootObject("Node", [&](KeyedUnarchiver& c) {
        EXPECT_EQ(c.decodeInt32("$weird"), 3);
        c.decodeObject("next", "Node", [&](KeyedUnarchiver& n) {
            ++visits;
            n.decodeObject("next", "Node", [&](KeyedUnarchiver&) { ++visits; });
        });
    });
    EXPECT_EQ(visits, 1);
    EXPECT_NE(coder->error().find("contains itself"), std::string::npos) << coder->error();
    auto plist = BinaryPlistReader::parse(bytes);
    const auto& p = *plist.value();
    const PlistObject objects = p.object(*p.dictLookup(p.object(p.topIndex()), "$objects"));
    EXPECT_TRUE(p.dictLookup(p.object(p.arrayElement(objects, 1)), "$$weird").has_value());

    a.next = nullptr;
    a.text = std::string("bad \xC3");
    EXPECT_FALSE(KeyedArchiver::archivedData(a).ok());
}

TEST(KeyedArchive, ReadableByPythonPlistlib)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    auto model = makeModel(true, 8);
    model->canvas->textureName = "Canvas \xC3\xA9";
    const TempFolder folder("kanvaro-archive");
    const fs::path path = writeIn(folder, archiveBytes(*model), "plistlib.art");
    const std::string script =
        "import plistlib,sys\n"
        "a=plistlib.load(open(sys.argv[1],'rb'))\n"
        "o=a['$objects']\n"
        "assert a['$archiver']=='NSKeyedArchiver' and a['$version']==100000 and o[0]=='$null'\n"
        "root=o[a['$top']['root'].data]\n"
        "cls=lambda d:o[d['$class'].data]['$classname']\n"
        "img=o[root['RawImage'].data]; cv=o[root['Canvas'].data]; col=o[cv['backgroundColor'].data]\n"
        "assert o[root['$class'].data]['$classes']==['DataModel','NSObject']\n"
        "print(cls(root),cls(img),cls(cv),cls(col),img['width'],len(o[img['pixels'].data]),"
        "o[cv['textureName'].data],col['NSRGB'].decode(),sorted(cv.keys()))\n";
    const fs::path scriptPath = writeIn(folder, Bytes(script.begin(), script.end()), "check_archive.py");
    auto [output, status] = runCommand("python3 " + scriptPath.string() + " " + path.string() + " 2>&1");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "DataModel RawImage Canvas UIColor 8 256 Canvas \xC3\xA9 1 1 1 "
                      "['$class', 'backgroundColor', 'height', 'paintingData', 'textureName', 'width']\n");
}

TEST(KeyedArchive, ReadableByPlistutil)
{
    if (!haveTool("plistutil"))
        GTEST_SKIP() << "plistutil is not installed";
    const TempFolder folder("kanvaro-archive");
    const fs::path path = writeIn(folder, archiveBytes(*makeModel(true, 4)), "plistutil.art");
    const std::string xml = path.string() + ".xml";
    auto [output, status] = runCommand("plistutil -i " + path.string() + " -o " + xml + " 2>&1");
    ASSERT_EQ(status, 0) << output;
    std::ifstream in(xml);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* expected : {"NSKeyedArchiver", "<integer>100000</integer>", "DataModel", "RawImage",
                                 "backgroundColor", "paintingData", "UIColorComponentCount"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
}

// Writes the fuzzer's seed archives when KANVARO_WRITE_CORPUS names a folder.
TEST(KeyedArchive, WritesFuzzSeedsOnRequest)
{
    const char* folder = std::getenv("KANVARO_WRITE_CORPUS");
    if (!folder)
        GTEST_SKIP() << "set KANVARO_WRITE_CORPUS to write fuzz seeds";
    auto photo = makeModel(true, 16);
    photo->canvas->textureName = "Canvas";
    photo->canvas->background = {0.5f, 0.25f, 0.125f, 0.75f};
    EXPECT_TRUE(KeyedArchiver::archiveRootObject(*photo, std::string(folder) + "/photo_16x16.art"));
    EXPECT_TRUE(KeyedArchiver::archiveRootObject(*makeModel(false, 16), std::string(folder) + "/blank.art"));
    auto tiny = makeModel(true, 1);
    EXPECT_TRUE(KeyedArchiver::archiveRootObject(*tiny, std::string(folder) + "/photo_1x1.art"));
}
