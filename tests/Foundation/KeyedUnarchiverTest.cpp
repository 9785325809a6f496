#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "KeyedArchiveTestSupport.h"

using namespace fnd;
using namespace archivetest;
using Entries = ArchiveBuilder::Entries;

namespace {

// An archive whose root is a "Thing" holding `entries`.
Bytes thing(ArchiveBuilder& b, Entries entries)
{
    uint64_t uid = 0;
    const auto ref = b.reserveObject(uid);
    b.defineObject(ref, std::move(entries), "Thing");
    return b.build(uid);
}

// Decodes the root "Thing" with `body`; returns the recorded error ("" when none).
template <typename Body> std::string decodeThing(const Bytes& bytes, Body body)
{
    auto coder = KeyedUnarchiver::fromBytes(bytes);
    if (!coder.ok())
        return "open: " + coder.error();
    EXPECT_TRUE(coder->decodeRootObject("Thing", body) || coder->failed());
    return coder->error();
}

std::optional<RGBA> colorOf(ArchiveBuilder& b, Entries colorEntries, const std::string& className = "UIColor")
{
    const uint64_t color = b.addObject(std::move(colorEntries), className);
    std::optional<RGBA> result;
    const Bytes bytes = thing(b, {{"color", b.uid(color)}});
    const std::string error = decodeThing(bytes, [&](KeyedUnarchiver& c) { result = c.decodeColor("color"); });
    return error.empty() ? result : std::nullopt;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

} // namespace

TEST(KeyedUnarchiver, RefusesBadTopStructure)
{
    EXPECT_FALSE(KeyedUnarchiver::fromBytes(ArchiveBuilder().build(1)).ok()); // root past the list
    ArchiveBuilder zeroRoot;
    EXPECT_FALSE(KeyedUnarchiver::fromBytes(zeroRoot.build(0)).ok());
    ArchiveBuilder wrongArchiver;
    EXPECT_FALSE(KeyedUnarchiver::fromBytes(wrongArchiver.build(wrongArchiver.addClass("X"), "Other")).ok());
    ArchiveBuilder wrongVersion;
    EXPECT_FALSE(KeyedUnarchiver::fromBytes(wrongVersion.build(wrongVersion.addClass("X"), "NSKeyedArchiver", 7)).ok());
    EXPECT_FALSE(KeyedUnarchiver::fromBytes(text("bplist00 not really")).ok());
    EXPECT_FALSE(KeyedUnarchiver::fromFile("/nonexistent/kanvaro.art").ok());
}

TEST(KeyedUnarchiver, ChecksIntegerTypesAndRanges)
{
    ArchiveBuilder b;
    const uint64_t str = b.add(b.w.addString("12"));
    const Bytes bytes = thing(b, {{"neg8", b.w.addInt(-5)},
                                  {"big4", b.w.addInt(int64_t{1} << 31)},
                                  {"low8", b.w.addInt(-(int64_t{1} << 31) - 1)},
                                  {"uid", b.uid(str)},
                                  {"real", b.w.addReal64(2.0)}});
    int32_t negative = 0;
    EXPECT_EQ(decodeThing(bytes,
                          [&](KeyedUnarchiver& c) {
                              negative = c.decodeInt32("neg8");
                              EXPECT_EQ(c.decodeInt32("absent"), 0);
                          }),
              "");
    EXPECT_EQ(negative, -5);
    EXPECT_EQ(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeInt32("big4"); }),
              "Thing.big4: integer out of range");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeInt32("low8"); }), "");
    EXPECT_EQ(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeInt32("uid"); }), "Thing.uid: expected an integer");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeInt32("real"); }), "");
    // After the first error every decode yields its default and the first message stays.
    EXPECT_EQ(decodeThing(bytes,
                          [](KeyedUnarchiver& c) {
                              c.decodeInt32("uid");
                              EXPECT_EQ(c.decodeInt32("neg8"), 0);
                              EXPECT_FALSE(c.decodeString("uid").has_value());
                          }),
              "Thing.uid: expected an integer");
}

TEST(KeyedUnarchiver, AcceptsStringAndDataFormsAndRejectsOthers)
{
    ArchiveBuilder b;
    const uint64_t plain = b.add(b.w.addString("pl\xC3\xA4in")); // stored as UTF-16
    const uint64_t object = b.addObject({{"NS.string", b.w.addString("obj")}}, "NSString");
    const uint64_t utf8 = b.addObject({{"NS.bytes", b.w.addData(text("by\xC3\xA9"))}}, "NSMutableString");
    const uint64_t badUtf8 = b.addObject({{"NS.bytes", b.w.addData(text("\xFF"))}}, "NSString");
    const uint64_t data = b.add(b.w.addData(text("raw")));
    const uint64_t dataObject = b.addObject({{"NS.data", b.w.addData(text("nsd"))}}, "NSData");
    const uint64_t mutableData = b.addObject({{"NS.bytes", b.w.addData(text("nsm"))}}, "NSMutableData");
    const Bytes bytes = thing(b, {{"plain", b.uid(plain)},
                                  {"object", b.uid(object)},
                                  {"utf8", b.uid(utf8)},
                                  {"badUtf8", b.uid(badUtf8)},
                                  {"data", b.uid(data)},
                                  {"dataObject", b.uid(dataObject)},
                                  {"mutableData", b.uid(mutableData)},
                                  {"inline", b.w.addData(text("inl"))},
                                  {"null", b.uid(0)},
                                  {"int", b.w.addInt(4)},
                                  {"far", b.uid(999)}});
    auto asText = [](std::optional<std::span<const uint8_t>> v) { return v ? std::string(v->begin(), v->end()) : "-"; };
    EXPECT_EQ(decodeThing(bytes,
                          [&](KeyedUnarchiver& c) {
                              EXPECT_EQ(c.decodeString("plain"), "pl\xC3\xA4in");
                              EXPECT_EQ(c.decodeString("object"), "obj");
                              EXPECT_EQ(c.decodeString("utf8"), "by\xC3\xA9");
                              EXPECT_EQ(c.decodeString("null"), std::nullopt);
                              EXPECT_EQ(c.decodeString("absent"), std::nullopt);
                              EXPECT_EQ(asText(c.decodeData("data")), "raw");
                              EXPECT_EQ(asText(c.decodeData("dataObject")), "nsd");
                              EXPECT_EQ(asText(c.decodeData("mutableData")), "nsm");
                              EXPECT_EQ(asText(c.decodeData("inline")), "inl");
                              EXPECT_EQ(asText(c.decodeData("null")), "-");
                          }),
              "");
    EXPECT_EQ(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeString("int"); }), "Thing.int: expected a string");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeString("data"); }), "");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeString("badUtf8"); }), "");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeData("plain"); }), "");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeData("int"); }), "");
    EXPECT_NE(decodeThing(bytes, [](KeyedUnarchiver& c) { c.decodeString("far"); }).find("past the object list"),
              std::string::npos);
}

TEST(KeyedUnarchiver, ChecksClassesAndRefusesObjectCycles)
{
    ArchiveBuilder b;
    uint64_t selfUid = 0, aUid = 0, bUid = 0;
    const auto self = b.reserveObject(selfUid);
    const auto a = b.reserveObject(aUid);
    const auto bb = b.reserveObject(bUid);
    b.defineObject(self, {{"next", b.uid(selfUid)}}, "Thing");
    b.defineObject(a, {{"next", b.uid(bUid)}}, "Thing");
    b.defineObject(bb, {{"next", b.uid(aUid)}}, "Thing");
    const uint64_t other = b.addObject({}, "Other");
    const uint64_t root = b.addObject({{"self", b.uid(selfUid)},
                                       {"loop", b.uid(aUid)},
                                       {"other", b.uid(other)},
                                       {"string", b.uid(b.add(b.w.addString("s")))}},
                                      "Thing");
    const Bytes bytes = b.build(root);
    auto follow = [](const char* key) {
        return [key](KeyedUnarchiver& c) {
            // Follows "next" as long as the archive allows: a cycle must end it with an error.
            std::function<void(KeyedUnarchiver&)> walk = [&](KeyedUnarchiver& o) {
                o.decodeObject("next", "Thing", walk);
            };
            c.decodeObject(key, "Thing", walk);
        };
    };
    EXPECT_NE(decodeThing(bytes, follow("self")).find("contains itself"), std::string::npos);
    EXPECT_NE(decodeThing(bytes, follow("loop")).find("contains itself"), std::string::npos);
    EXPECT_EQ(decodeThing(bytes, follow("other")), "Thing.other: expected an object of class Thing");
    EXPECT_NE(decodeThing(bytes, follow("string")), "");
    auto coder = KeyedUnarchiver::fromBytes(bytes);
    EXPECT_FALSE(coder->decodeRootObject("DataModel", [](KeyedUnarchiver&) { FAIL(); }));
    EXPECT_TRUE(coder->failed());
}

TEST(KeyedUnarchiver, ReadsColourVariants)
{
    auto rgba = [](float r, float g, float b, float a) { return std::optional<RGBA>(RGBA{r, g, b, a}); };
    { // -Double preferred over the float32, ints accepted, out-of-range clamped
        ArchiveBuilder b;
        EXPECT_EQ(colorOf(b, {{"UIColorComponentCount", b.w.addInt(4)},
                              {"UIRed", b.w.addReal32(0.1f)},
                              {"UIRed-Double", b.w.addReal64(0.5)},
                              {"UIGreen", b.w.addInt(1)},
                              {"UIBlue", b.w.addReal32(-3)},
                              {"UIAlpha", b.w.addReal64(7)}}),
                  rgba(0.5f, 1, 0, 1));
    }
    { // grey
        ArchiveBuilder b;
        EXPECT_EQ(colorOf(b, {{"UIColorComponentCount", b.w.addInt(2)},
                              {"UIWhite", b.w.addReal32(0.25f)},
                              {"UIAlpha", b.w.addReal32(0.5f)}}),
                  rgba(0.25f, 0.25f, 0.25f, 0.5f));
    }
    { // desktop colour, RGB text with a NUL, alpha defaulting to 1
        ArchiveBuilder b;
        EXPECT_EQ(
            colorOf(b, {{"NSColorSpace", b.w.addInt(1)}, {"NSRGB", b.w.addData(text(std::string("0.5 0.25 2\0", 11)))}},
                    "NSColor"),
            rgba(0.5f, 0.25f, 1, 1));
    }
    { // white text with alpha
        ArchiveBuilder b;
        EXPECT_EQ(colorOf(b, {{"NSColorSpace", b.w.addInt(4)}, {"NSWhite", b.w.addData(text("0.5 0.75"))}}, "NSColor"),
                  rgba(0.5f, 0.5f, 0.5f, 0.75f));
    }
    { // NaN component, missing component, garbage text, unknown space, wrong class
        ArchiveBuilder b1, b2, b3, b4, b5;
        EXPECT_FALSE(colorOf(b1, {{"UIColorComponentCount", b1.w.addInt(2)},
                                  {"UIWhite", b1.w.addReal64(std::nan(""))},
                                  {"UIAlpha", b1.w.addReal32(1)}}));
        EXPECT_FALSE(colorOf(b2, {{"UIColorComponentCount", b2.w.addInt(4)}, {"UIRed", b2.w.addReal32(1)}}));
        EXPECT_FALSE(colorOf(b3, {{"NSColorSpace", b3.w.addInt(2)}, {"NSRGB", b3.w.addData(text("1 nan 1"))}}));
        EXPECT_FALSE(colorOf(b4, {{"NSColorSpace", b4.w.addInt(9)}, {"NSRGB", b4.w.addData(text("1 1 1"))}}));
        EXPECT_FALSE(colorOf(b5, {{"NSColorSpace", b5.w.addInt(2)}, {"NSRGB", b5.w.addData(text("1 1 1"))}}, "Thing"));
    }
}
