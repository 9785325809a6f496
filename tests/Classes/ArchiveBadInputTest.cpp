// Painting archives whose fields disagree, built with small stand-in classes that archive under
// the real class names, and truncated copies of a real saved painting: none may yield a document,
// each must leave a log line, and nothing may read outside a buffer (run under the sanitizers).
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "DataModel.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/Log.h"
#include "ImageIO/Encoder.h"
#include "PaintingFixtures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Encodes whatever keys a case needs under any class name.
struct FakeObject : fnd::Codable {
    std::string name;
    std::function<void(fnd::KeyedArchiver&)> encode;
    FakeObject(std::string className, std::function<void(fnd::KeyedArchiver&)> body)
        : name(std::move(className)), encode(std::move(body))
    {
    }
    const char* className() const override { return name.c_str(); }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override { encode(coder); }
};

Bytes pngOfSize(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 0x80);
    return imageio::encodePng({pixels.data(), width, height, width * 4, false}).value();
}

// The fields of a small, valid raw image and canvas; each case spoils some of them.
struct Fields {
    int rawWidth = 4, rawHeight = 3, bpp = 32, bpc = 8, rb = 16, orientation = 0;
    std::size_t pixelBytes = 48;
    int canvasWidth = 8, canvasHeight = 6;
    Bytes paintingData = pngOfSize(8, 6);
    bool widthAsString = false;
    bool colorAsString = false;
    bool withCanvas = true;
    std::string canvasClass = "Canvas";
    std::string rootClass = "DataModel";
};

Bytes archive(const Fields& f)
{
    FakeObject raw("RawImage", [&](fnd::KeyedArchiver& c) {
        c.encodeData("pixels", Bytes(f.pixelBytes, 0x33));
        for (auto [key, value] : {std::pair{"width", f.rawWidth},
                                  {"height", f.rawHeight},
                                  {"bpp", f.bpp},
                                  {"bpc", f.bpc},
                                  {"rb", f.rb},
                                  {"orientation", f.orientation}})
            c.encodeInt32(key, value);
    });
    FakeObject canvas(f.canvasClass, [&](fnd::KeyedArchiver& c) {
        if (f.widthAsString)
            c.encodeString("width", std::string("8"));
        else
            c.encodeInt32("width", f.canvasWidth);
        c.encodeInt32("height", f.canvasHeight);
        if (f.colorAsString)
            c.encodeString("backgroundColor", std::string("white"));
        else
            c.encodeColor("backgroundColor", {1, 1, 1, 1});
        c.encodeString("textureName", std::nullopt);
        c.encodeData("paintingData", std::span<const std::uint8_t>(f.paintingData));
    });
    FakeObject root(f.rootClass, [&](fnd::KeyedArchiver& c) {
        c.encodeObject("RawImage", &raw);
        c.encodeObject("Canvas", f.withCanvas ? &canvas : nullptr);
    });
    return fnd::KeyedArchiver::archivedData(root).value();
}

// Opens `bytes` as the shared document, returning it and the log lines written meanwhile.
std::pair<DataModel*, std::vector<std::string>> open(Bytes bytes)
{
    std::vector<std::string> lines;
    auto previous = fnd::setLogSink([&](const std::string& line) { lines.push_back(line); });
    DataModel* model = DataModel::sharedDataModelWithArchiveData(std::move(bytes));
    fnd::setLogSink(previous);
    return {model, lines};
}

class ArchiveBadInputTest : public ::testing::Test {
protected:
    void TearDown() override { DataModel::releaseSharedDataModel(); }

    // The spoiled archive gives no document and logs one line mentioning `reason`.
    void expectRefused(const Fields& fields, const std::string& reason)
    {
        auto [model, lines] = open(archive(fields));
        EXPECT_EQ(model, nullptr);
        EXPECT_EQ(DataModel::sharedDataModel(), nullptr);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(reason), std::string::npos) << lines[0];
    }
};

} // namespace

TEST_F(ArchiveBadInputTest, TheUnspoiledStandInsMakeADocument)
{
    // Otherwise every refusal below could be for a reason other than the one spoiled.
    auto [model, lines] = open(archive(Fields{}));
    ASSERT_NE(model, nullptr) << (lines.empty() ? "" : lines[0]);
    EXPECT_EQ(model->rawImage()->width(), 4);
    EXPECT_EQ(model->canvas()->height(), 6);
    EXPECT_TRUE(lines.empty());
}

TEST_F(ArchiveBadInputTest, RawImageFieldsThatDisagreeWithItsPixels)
{
    auto spoil = [](auto change) {
        Fields f;
        change(f);
        return f;
    };
    expectRefused(spoil([](Fields& f) { f.pixelBytes = 47; }), "RawImage.pixels");
    expectRefused(spoil([](Fields& f) { f.pixelBytes = 49; }), "RawImage.pixels");
    expectRefused(spoil([](Fields& f) { f.pixelBytes = 0; }), "RawImage.pixels");
    expectRefused(spoil([](Fields& f) {
                      f.rb = 20;
                      f.pixelBytes = 60;
                  }),
                  "unsupported layout");
    expectRefused(spoil([](Fields& f) { f.bpp = 16; }), "unsupported layout");
    expectRefused(spoil([](Fields& f) { f.bpc = 16; }), "unsupported layout");
    expectRefused(spoil([](Fields& f) { f.orientation = 8; }), "unsupported layout");
    expectRefused(spoil([](Fields& f) {
                      f.rawWidth = 0;
                      f.rb = 0;
                      f.pixelBytes = 0;
                  }),
                  "impossible size");
    expectRefused(spoil([](Fields& f) {
                      f.rawWidth = -4;
                      f.rb = -16;
                  }),
                  "impossible size");
    expectRefused(spoil([](Fields& f) { f.rawHeight = -3; }), "impossible size");
    // Large enough that trusting it would read far past the pixels.
    expectRefused(spoil([](Fields& f) {
                      f.rawWidth = 100000;
                      f.rb = 400000;
                  }),
                  "impossible size");
}

TEST_F(ArchiveBadInputTest, CanvasFieldsThatDisagreeWithItsPainting)
{
    auto spoil = [](auto change) {
        Fields f;
        change(f);
        return f;
    };
    expectRefused(spoil([](Fields& f) { f.canvasWidth = 9; }), "Canvas.paintingData");
    expectRefused(spoil([](Fields& f) { f.canvasHeight = 5; }), "Canvas.paintingData");
    expectRefused(spoil([](Fields& f) { f.canvasWidth = 0; }), "Canvas: impossible size");
    expectRefused(spoil([](Fields& f) { f.canvasHeight = -6; }), "Canvas: impossible size");
    expectRefused(spoil([](Fields& f) { f.canvasWidth = 100000; }), "Canvas: impossible size");
    expectRefused(spoil([](Fields& f) { f.paintingData = {'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G'}; }),
                  "not a PNG");
    expectRefused(spoil([](Fields& f) { f.paintingData.clear(); }), "not a PNG");
    expectRefused(spoil([](Fields& f) { f.paintingData.resize(f.paintingData.size() / 2); }), "Canvas.paintingData");
    expectRefused(spoil([](Fields& f) { f.paintingData.resize(8); }), "Canvas.paintingData");
}

TEST_F(ArchiveBadInputTest, MissingOrMistypedObjectsAndKeys)
{
    auto spoil = [](auto change) {
        Fields f;
        change(f);
        return f;
    };
    expectRefused(spoil([](Fields& f) { f.withCanvas = false; }), "Canvas: missing");
    expectRefused(spoil([](Fields& f) { f.canvasClass = "RawImage"; }),
                  "DataModel.Canvas: expected an object of class Canvas");
    expectRefused(spoil([](Fields& f) { f.colorAsString = true; }), "Canvas.backgroundColor");
    expectRefused(spoil([](Fields& f) { f.widthAsString = true; }), "Canvas.width: expected an integer");
    expectRefused(spoil([](Fields& f) { f.rootClass = "Canvas"; }), "expected an object of class DataModel");
}

TEST_F(ArchiveBadInputTest, EveryTruncationOfASavedPaintingIsRefused)
{
    auto photo = testing::makePhoto(16, 12);
    DataModel* model = DataModel::sharedDataModelWithUIImage(photo).value_or(nullptr);
    ASSERT_TRUE(model);
    model->canvas()->setTextureName("Canvas");
    testing::paintStroke(*model->canvas(), {100, 100, 300, 200}, {0.2f, 0.5f, 0.9f, 0.7f});
    const Bytes saved = fnd::KeyedArchiver::archivedData(*model).value();
    ASSERT_TRUE(open(saved).first) << "the whole file must open";

    constexpr int kLengths = 97;
    for (int i = 0; i < kLengths; ++i) {
        const std::size_t length = saved.size() * i / kLengths;
        auto [reopened, lines] = open(Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_EQ(reopened, nullptr) << "length " << length;
        EXPECT_EQ(lines.size(), 1u) << "length " << length;
    }
    // The last byte alone matters too: it is part of the trailer.
    EXPECT_EQ(open(Bytes(saved.begin(), saved.end() - 1)).first, nullptr);
}

TEST_F(ArchiveBadInputTest, ToolEntryLeavesTheSharedDocumentAloneAndGivesTheReason)
{
    ASSERT_TRUE(DataModel::sharedDataModelWithBlankCanvas());
    DataModel* shared = DataModel::sharedDataModel();
    std::vector<std::string> lines;
    auto previous = fnd::setLogSink([&](const std::string& line) { lines.push_back(line); });

    std::string reason;
    EXPECT_EQ(DataModel::initWithArchiveData(Bytes{'b', 'p', 'l', 'i', 's', 't'}, &reason), nullptr);
    EXPECT_FALSE(reason.empty());
    Fields spoiled;
    spoiled.bpp = 16;
    EXPECT_EQ(DataModel::initWithArchiveData(archive(spoiled), &reason), nullptr);
    EXPECT_NE(reason.find("unsupported layout"), std::string::npos) << reason;
    EXPECT_EQ(DataModel::initWithArchiveData(archive(spoiled)), nullptr); // no reason wanted
    auto fine = DataModel::initWithArchiveData(archive(Fields{}), &reason);

    fnd::setLogSink(previous);
    ASSERT_NE(fine, nullptr);
    EXPECT_NE(fine.get(), shared);
    EXPECT_EQ(DataModel::sharedDataModel(), shared);
    EXPECT_TRUE(lines.empty()) << lines[0];
}
