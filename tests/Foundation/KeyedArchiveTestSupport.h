#pragma once
// Small stand-ins for the application's document classes, and a builder for hand-made keyed
// archives (hostile ones included).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/BinaryPlistWriter.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"

namespace archivetest {

using Bytes = std::vector<uint8_t>;

struct TestImage : fnd::Codable {
    int32_t width = 0, height = 0;
    Bytes pixels;
    const char* className() const override { return "RawImage"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override
    {
        coder.encodeDataNoCopy("pixels", pixels);
        coder.encodeInt32("width", width);
        coder.encodeInt32("height", height);
        coder.encodeInt32("bpp", 32);
        coder.encodeInt32("bpc", 8);
        coder.encodeInt32("rb", width * 4);
        coder.encodeInt32("orientation", 0);
    }
};

struct TestCanvas : fnd::Codable {
    int32_t width = 0, height = 0;
    fnd::RGBA background;
    std::optional<std::string> textureName;
    Bytes paintingData;
    const char* className() const override { return "Canvas"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override
    {
        coder.encodeInt32("width", width);
        coder.encodeInt32("height", height);
        coder.encodeColor("backgroundColor", background);
        coder.encodeString("textureName", textureName);
        coder.encodeData("paintingData", paintingData);
    }
};

struct TestModel : fnd::Codable {
    std::unique_ptr<TestImage> image;
    std::unique_ptr<TestCanvas> canvas;
    const char* className() const override { return "DataModel"; }
    void encodeWithCoder(fnd::KeyedArchiver& coder) const override
    {
        coder.encodeObject("RawImage", image.get());
        coder.encodeObject("Canvas", canvas.get());
    }
};

// The schema walk the application's document will do; nullptr when the archive is refused.
inline std::unique_ptr<TestModel> decodeModel(fnd::KeyedUnarchiver& coder)
{
    auto model = std::make_unique<TestModel>();
    coder.decodeRootObject("DataModel", [&](fnd::KeyedUnarchiver& c) {
        c.decodeObject("RawImage", "RawImage", [&](fnd::KeyedUnarchiver& o) {
            model->image = std::make_unique<TestImage>();
            if (auto pixels = o.decodeData("pixels"))
                model->image->pixels.assign(pixels->begin(), pixels->end());
            model->image->width = o.decodeInt32("width");
            model->image->height = o.decodeInt32("height");
        });
        c.decodeObject("Canvas", "Canvas", [&](fnd::KeyedUnarchiver& o) {
            model->canvas = std::make_unique<TestCanvas>();
            model->canvas->width = o.decodeInt32("width");
            model->canvas->height = o.decodeInt32("height");
            model->canvas->background = o.decodeColor("backgroundColor").value_or(fnd::RGBA{});
            model->canvas->textureName = o.decodeString("textureName");
            if (auto png = o.decodeData("paintingData"))
                model->canvas->paintingData.assign(png->begin(), png->end());
        });
    });
    return coder.failed() ? nullptr : std::move(model);
}

inline std::unique_ptr<TestModel> makeModel(bool withImage, int side)
{
    auto model = std::make_unique<TestModel>();
    if (withImage) {
        model->image = std::make_unique<TestImage>();
        model->image->width = model->image->height = side;
        model->image->pixels.resize(size_t(side) * size_t(side) * 4);
        for (size_t i = 0; i < model->image->pixels.size(); ++i)
            model->image->pixels[i] = static_cast<uint8_t>(i * 7);
    }
    model->canvas = std::make_unique<TestCanvas>();
    model->canvas->width = side;
    model->canvas->height = side;
    model->canvas->background = {1, 1, 1, 1};
    model->canvas->paintingData = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0};
    return model;
}

// Builds a keyed archive object by object: addObject() takes the entries and the class name.
class ArchiveBuilder {
public:
    using Ref = fnd::BinaryPlistWriter::Ref;
    using Entries = std::vector<std::pair<std::string, Ref>>;

    ArchiveBuilder() { m_objects.push_back(w.addString("$null")); }

    uint64_t add(Ref object)
    {
        m_objects.push_back(object);
        return m_objects.size() - 1;
    }
    uint64_t addClass(const std::string& name)
    {
        return add(w.addDict({{w.addString("$classname"), w.addString(name)},
                              {w.addString("$classes"), w.addArray({w.addString(name), w.addString("NSObject")})}}));
    }
    Ref reserveObject(uint64_t& uid)
    {
        const Ref ref = w.reserve();
        uid = add(ref);
        return ref;
    }
    void defineObject(Ref ref, Entries entries, const std::string& className)
    {
        std::vector<std::pair<Ref, Ref>> pairs;
        for (auto& [key, value] : entries)
            pairs.emplace_back(w.addString(key), value);
        pairs.emplace_back(w.addString("$class"), w.addUid(addClass(className)));
        w.defineDict(ref, pairs);
    }
    uint64_t addObject(Entries entries, const std::string& className)
    {
        uint64_t uid = 0;
        defineObject(reserveObject(uid), std::move(entries), className);
        return uid;
    }
    Ref uid(uint64_t value) { return w.addUid(value); }

    Bytes build(uint64_t rootUid, const std::string& archiver = "NSKeyedArchiver", int64_t version = 100000)
    {
        const Ref objects = w.addArray(m_objects);
        w.setTop(w.addDict({{w.addString("$archiver"), w.addString(archiver)},
                            {w.addString("$version"), w.addInt(version)},
                            {w.addString("$top"), w.addDict({{w.addString("root"), w.addUid(rootUid)}})},
                            {w.addString("$objects"), objects}}));
        return w.bytes();
    }

    fnd::BinaryPlistWriter w;

private:
    std::vector<Ref> m_objects;
};

} // namespace archivetest
