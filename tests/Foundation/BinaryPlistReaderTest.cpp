#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "BinaryPlistTestSupport.h"
#include "Foundation/BinaryPlistReader.h"
#include "Foundation/BinaryPlistWriter.h"

using namespace fnd;
using plisttest::ascii;
using plisttest::Bytes;
using plisttest::RawPlist;

namespace {

bool parses(const Bytes& file) { return BinaryPlistReader::parse(file).ok(); }

std::string parseError(const Bytes& file)
{
    auto result = BinaryPlistReader::parse(file);
    return result.ok() ? "" : result.error();
}

// [item] nested `levels` deep: array #0 holds #1 ... holds the string at the bottom.
Bytes nestedArrays(unsigned levels)
{
    RawPlist plist;
    plist.refSize = 4;
    plist.offsetSize = 4;
    for (unsigned i = 0; i < levels; ++i)
        plist.objects.push_back({0xA1, 0, 0, static_cast<uint8_t>((i + 1) >> 8), static_cast<uint8_t>(i + 1)});
    plist.objects.back() = {0xA1, 0, 0, static_cast<uint8_t>(levels >> 8), static_cast<uint8_t>(levels)};
    plist.objects.push_back(ascii("x"));
    return plist.build();
}

} // namespace

TEST(BinaryPlistWriter, WritesSmallestWidthsAndReadsBackEveryType)
{
    BinaryPlistWriter writer;
    const int64_t ints[] = {0, 255, 256, 65535, 65536, int64_t{1} << 32, -1, std::numeric_limits<int64_t>::min()};
    std::vector<BinaryPlistWriter::Ref> elements;
    for (int64_t value : ints)
        elements.push_back(writer.addInt(value));
    elements.push_back(writer.addReal32(0.25f));
    elements.push_back(writer.addReal64(-1e300));
    elements.push_back(writer.addBool(true));
    elements.push_back(writer.addString("fifteen chars!!"));
    elements.push_back(writer.addString("Gr\xC3\xBC\xC3\x9F \xF0\x9F\x8E\xA8")); // accents and an emoji
    const Bytes blob(300, 7);
    elements.push_back(writer.addData(blob));
    elements.push_back(writer.addUid(300));
    writer.setTop(writer.addArray(elements));
    const Bytes file = writer.bytes();
    EXPECT_EQ(file.size(), writer.fileSize());

    auto reader = BinaryPlistReader::parse(file);
    ASSERT_TRUE(reader.ok()) << reader.error();
    const auto& plist = *reader.value();
    const PlistObject array = plist.object(plist.topIndex());
    ASSERT_EQ(array.type, PlistType::Array);
    ASSERT_EQ(array.count, elements.size());
    auto at = [&](size_t i) { return plist.object(plist.arrayElement(array, i)); };
    for (size_t i = 0; i < std::size(ints); ++i)
        EXPECT_EQ(at(i).integer, ints[i]);
    EXPECT_TRUE(at(8).single);
    EXPECT_EQ(at(8).real, 0.25);
    EXPECT_EQ(at(9).real, -1e300);
    EXPECT_TRUE(at(10).boolean);
    EXPECT_EQ(plist.text(at(11)), "fifteen chars!!");
    EXPECT_FALSE(at(11).utf16);
    EXPECT_TRUE(at(12).utf16);
    EXPECT_EQ(plist.text(at(12)), "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x8E\xA8");
    EXPECT_EQ(at(13).count, 300u);
    EXPECT_EQ(at(14).uid, 300u);

    // Smallest widths: 255 is 10 FF, 256 is 11 01 00, -1 takes 8 bytes, UID 300 is 81 01 2C.
    const Bytes expect255{0x10, 0xFF}, expect256{0x11, 0x01, 0x00}, expectUid{0x81, 0x01, 0x2C};
    EXPECT_NE(std::search(file.begin(), file.end(), expect255.begin(), expect255.end()), file.end());
    EXPECT_NE(std::search(file.begin(), file.end(), expect256.begin(), expect256.end()), file.end());
    EXPECT_NE(std::search(file.begin(), file.end(), expectUid.begin(), expectUid.end()), file.end());
    EXPECT_EQ(file[file.size() - 32 + 7], 1); // 16 objects: refs of one byte
    EXPECT_EQ(file[file.size() - 32 + 6], 2); // offsets up to ~400: two bytes
}

TEST(BinaryPlistWriter, RefSizeGrowsPast255ObjectsAndEqualStringsAreShared)
{
    BinaryPlistWriter writer;
    std::vector<BinaryPlistWriter::Ref> elements;
    for (int i = 0; i < 300; ++i)
        elements.push_back(writer.addInt(i));
    EXPECT_EQ(writer.addString("same"), writer.addString("same"));
    writer.setTop(writer.addArray(elements));
    const Bytes file = writer.bytes();
    EXPECT_EQ(file[file.size() - 32 + 7], 2);
    EXPECT_TRUE(parses(file));
}

TEST(BinaryPlistReader, RejectsTruncationsAndLyingTrailers)
{
    BinaryPlistWriter writer;
    writer.setTop(writer.addArray({writer.addString("a"), writer.addInt(5)}));
    const Bytes good = writer.bytes();
    ASSERT_TRUE(parses(good));
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(parses(Bytes(good.begin(), good.begin() + static_cast<long>(length)))) << length;

    auto patched = [&](size_t field, uint64_t value) {
        Bytes file = good;
        plisttest::patchTrailer(file, field, value);
        return file;
    };
    EXPECT_FALSE(parses(patched(plisttest::kTrailerCount, 0)));
    EXPECT_FALSE(parses(patched(plisttest::kTrailerTop, 3)));
    EXPECT_FALSE(parses(patched(plisttest::kTrailerTable, good.size())));
    EXPECT_FALSE(parses(patched(plisttest::kTrailerTable, ~uint64_t{0})));
    EXPECT_FALSE(parses(patched(plisttest::kTrailerCount, ~uint64_t{0} / 2)));
    Bytes badSizes = good;
    badSizes[badSizes.size() - 32 + 6] = 0;
    EXPECT_FALSE(parses(badSizes));
    badSizes = good;
    badSizes[badSizes.size() - 32 + 7] = 9;
    EXPECT_FALSE(parses(badSizes));
    Bytes badMagic = good;
    badMagic[7] = '1';
    EXPECT_FALSE(parses(badMagic));
}

TEST(BinaryPlistReader, RejectsBadReferencesCyclesAndHugeCounts)
{
    // Array holding itself; dict whose value is itself; a ref past the object table.
    EXPECT_NE(parseError(RawPlist{{{0xA1, 0x00}}}.build()).find("contains itself"), std::string::npos);
    EXPECT_FALSE(parses(RawPlist{{{0xD1, 0x01, 0x00}, ascii("k")}}.build()));
    EXPECT_NE(parseError(RawPlist{{{0xA1, 0x05}}}.build()).find("past the object table"), std::string::npos);
    // Indirect cycle: #0 -> #1 -> #0.
    EXPECT_FALSE(parses(RawPlist{{{0xA1, 0x01}, {0xA1, 0x00}}}.build()));
    // Counts of 2^31 for data and array, far beyond the file.
    EXPECT_FALSE(parses(RawPlist{{{0x4F, 0x12, 0x80, 0x00, 0x00, 0x00}}}.build()));
    EXPECT_FALSE(parses(RawPlist{{{0xAF, 0x12, 0x80, 0x00, 0x00, 0x00}}}.build()));
    // A count whose 8-byte int is negative, and one that is not an int at all.
    EXPECT_FALSE(parses(RawPlist{{{0x4F, 0x13, 0xFF, 0, 0, 0, 0, 0, 0, 0}}}.build()));
    EXPECT_FALSE(parses(RawPlist{{{0x4F, 0x22, 0, 0, 0, 0}}}.build()));
    // An offset pointing into the offset table.
    Bytes file = RawPlist{{ascii("ab")}}.build();
    file[file.size() - 32 - 1] = static_cast<uint8_t>(file.size() - 34);
    EXPECT_FALSE(parses(file));
}

TEST(BinaryPlistReader, RejectsUnsupportedMarkersAndBadScalars)
{
    const Bytes rejected[] = {
        {0x00},                                                 // null
        {0x0F},                                                 // fill
        {0xC1, 0x00},                                           // set
        {0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, // 16-byte int
        {0x12, 0, 0},                                           // 4-byte int cut short
        {0x21, 0, 0},                                           // real of two bytes
        {0x52, 'a', 0x80},                                      // ASCII string with a high byte
        {0x61, 0xDC, 0x00},                                     // unpaired low surrogate
        {0x61, 0xD8, 0x00},                                     // high surrogate at the end
        {0x88, 0, 0, 0, 0, 0, 0, 0, 0, 1},                      // UID of 9 bytes
    };
    for (const Bytes& object : rejected)
        EXPECT_FALSE(parses(RawPlist{{object}}.build())) << int(object[0]);
    EXPECT_TRUE(parses(RawPlist{{{0x62, 0xD8, 0x3D, 0xDE, 0x00}}}.build())); // a valid pair
}

TEST(BinaryPlistReader, ChecksDictionaryKeys)
{
    // {#1: #2} with #1 an int: key not a string.
    EXPECT_NE(parseError(RawPlist{{{0xD1, 0x01, 0x02}, {0x10, 0x01}, ascii("v")}}.build()).find("not a string"),
              std::string::npos);
    // Two entries whose keys are the same text, once ASCII and once UTF-16.
    const Bytes utf16Key{0x61, 0x00, 'k'};
    EXPECT_NE(parseError(RawPlist{{{0xD2, 0x01, 0x02, 0x03, 0x03}, ascii("k"), utf16Key, ascii("v")}}.build())
                  .find("duplicate"),
              std::string::npos);
    // The same key object twice.
    EXPECT_FALSE(parses(RawPlist{{{0xD2, 0x01, 0x01, 0x02, 0x02}, ascii("k"), ascii("v")}}.build()));
    auto ok = BinaryPlistReader::parse(
        RawPlist{{{0xD2, 0x01, 0x02, 0x03, 0x03}, ascii("k"), ascii("j"), ascii("v")}}.build());
    ASSERT_TRUE(ok.ok()) << ok.error();
    const PlistObject dict = ok.value()->object(0);
    EXPECT_EQ(ok.value()->dictLookup(dict, "j"), 3u);
    EXPECT_FALSE(ok.value()->dictLookup(dict, "x").has_value());
}

TEST(BinaryPlistReader, LimitsNestingWithoutRecursion)
{
    EXPECT_TRUE(parses(nestedArrays(16)));
    EXPECT_NE(parseError(nestedArrays(17)).find("deeper than 16"), std::string::npos);
    EXPECT_FALSE(parses(nestedArrays(60000))); // would overflow a recursive reader's stack
}

TEST(BinaryPlistReader, SharedObjectsAreCheckedOnceAndNeverCopied)
{
    // One 64 KiB data object referenced 20,000 times from one array.
    RawPlist plist;
    plist.refSize = 2;
    plist.offsetSize = 4;
    Bytes array{0xAF, 0x11, 0x4E, 0x20};
    for (int i = 0; i < 20000; ++i)
        array.insert(array.end(), {0x00, 0x01});
    Bytes data{0x4F, 0x12, 0x00, 0x01, 0x00, 0x00};
    data.resize(data.size() + 65536, 0xAB);
    plist.objects = {array, data};
    auto reader = BinaryPlistReader::parse(plist.build());
    ASSERT_TRUE(reader.ok()) << reader.error();
    const auto& parsed = *reader.value();
    const PlistObject top = parsed.object(0);
    const PlistObject first = parsed.object(parsed.arrayElement(top, 0));
    const PlistObject last = parsed.object(parsed.arrayElement(top, 19999));
    EXPECT_EQ(first.payload, last.payload); // both views of the same bytes

    // A lattice of 16 levels, each array holding the next one 200 times: 200^15 paths, one visit each.
    RawPlist lattice;
    lattice.refSize = 1;
    for (uint8_t level = 0; level < 15; ++level) {
        Bytes next{0xAF, 0x10, 200};
        next.insert(next.end(), 200, static_cast<uint8_t>(level + 1));
        lattice.objects.push_back(next);
    }
    lattice.objects.push_back(ascii("leaf"));
    EXPECT_TRUE(parses(lattice.build()));
}
