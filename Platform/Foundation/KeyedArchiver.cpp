#include "Foundation/KeyedArchiver.h"

#include <charconv>
#include <new>

#include "Foundation/Assert.h"
#include "Foundation/BinaryPlistUnicode.h"
#include "Foundation/FileOps.h"
#include "Foundation/Log.h"

namespace fnd {

namespace {

// How the platform colour writes itself: components as float32 plus a text form.
class ColorCodable final : public Codable {
public:
    explicit ColorCodable(const RGBA& color) : m_color(color) {}
    const char* className() const override { return archive::kColorClass.data(); }

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeInt32("UIColorComponentCount", 4);
        coder.encodeFloat("UIRed", m_color.r);
        coder.encodeFloat("UIGreen", m_color.g);
        coder.encodeFloat("UIBlue", m_color.b);
        coder.encodeFloat("UIAlpha", m_color.a);
        const std::string text = rgbText();
        coder.encodeBytes("NSRGB", {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
        coder.encodeInt32("NSColorSpace", 2); // device RGB
    }

private:
    // "%.3g %.3g %.3g", plus " %.3g" alpha when it is not 1; locale-independent.
    std::string rgbText() const
    {
        std::string text;
        auto append = [&](float value) {
            char buffer[32];
            const auto result =
                std::to_chars(buffer, buffer + sizeof buffer, double{value}, std::chars_format::general, 3);
            if (!text.empty())
                text += ' ';
            text.append(buffer, result.ptr);
        };
        append(m_color.r);
        append(m_color.g);
        append(m_color.b);
        if (m_color.a != 1.0f)
            append(m_color.a);
        return text;
    }

    RGBA m_color;
};

} // namespace

Result<std::vector<uint8_t>> KeyedArchiver::archivedData(const Codable& root)
{
    try {
        KeyedArchiver archiver;
        archiver.archive(root);
        if (!archiver.m_error.empty())
            return Error{archiver.m_error, archiver.m_reason};
        return archiver.m_writer.bytes();
    } catch (const std::bad_alloc&) {
        return outOfMemory("Could not archive");
    }
}

// Running out of memory while the objects encode or the file is written is a failure like any
// other: nothing is written, and the caller hears why.
Result<PendingFile> KeyedArchiver::writeArchive(const Codable& root, const std::string& path, uint64_t maxBytes)
{
    try {
        return writeArchiveOrThrow(root, path, maxBytes);
    } catch (const std::bad_alloc&) {
        return outOfMemory("Could not archive to " + path);
    }
}

Result<PendingFile> KeyedArchiver::writeArchiveOrThrow(const Codable& root, const std::string& path, uint64_t maxBytes)
{
    KeyedArchiver archiver;
    archiver.m_maxBytes = maxBytes;
    archiver.archive(root);
    if (!archiver.m_error.empty())
        return Error{"Could not archive to " + path + ": " + archiver.m_error, archiver.m_reason};
    uint64_t written = 0;
    auto pending = PendingFile::write(path, [&](const ChunkWriter& write) {
        return archiver.m_writer.write([&](const uint8_t* data, size_t size) {
            written += size;
            return written <= maxBytes && write(data, size);
        });
    });
    if (written > maxBytes)
        return Error{"Could not archive to " + path + ": the archive would be larger than " + std::to_string(maxBytes)
                     + " bytes, more than can be opened again"};
    return pending;
}

Status KeyedArchiver::archiveRootObject(const Codable& root, const std::string& path)
{
    auto pending = writeArchive(root, path);
    Status status = pending ? pending->commit() : Status(pending.failure());
    if (!status)
        log(status.error());
    return status;
}

void KeyedArchiver::failWithReason(std::string reason) { failWith(Error{std::move(reason)}); }

void KeyedArchiver::failWith(Error error)
{
    if (!m_error.empty())
        return;
    m_error = std::move(error.message);
    m_reason = std::move(error.reason);
}

void KeyedArchiver::archive(const Codable& root)
{
    const Ref top = m_writer.reserve(); // the top dict comes first in the file
    appendObject(m_writer.addString(archive::kNull));
    const uint64_t rootUid = encodeNested(root, true);
    const Ref objects = m_writer.addArray(m_objects);
    const Ref topKeys = m_writer.addDict({{m_writer.addString(archive::kRootKey), m_writer.addUid(rootUid)}});
    m_writer.defineDict(top,
                        {
                            {m_writer.addString(archive::kVersionKey), m_writer.addInt(archive::kVersion)},
                            {m_writer.addString(archive::kArchiverKey), m_writer.addString(archive::kArchiverName)},
                            {m_writer.addString(archive::kTopKey), topKeys},
                            {m_writer.addString(archive::kObjectsKey), objects},
                        });
    m_writer.setTop(top);
}

uint64_t KeyedArchiver::appendObject(Ref ref)
{
    m_objects.push_back(ref);
    return m_objects.size() - 1;
}

// `unique`: the same instance encoded again gets the same UID, which also ends reference cycles.
uint64_t KeyedArchiver::encodeNested(const Codable& object, bool unique)
{
    if (auto known = m_uids.find(&object); unique && known != m_uids.end())
        return known->second;
    const Ref dict = m_writer.reserve();
    const uint64_t uid = appendObject(dict);
    if (unique)
        m_uids.emplace(&object, uid);
    m_entries.emplace_back();
    object.encodeWithCoder(*this);
    std::vector<std::pair<Ref, Ref>> entries = std::move(m_entries.back());
    m_entries.pop_back();
    entries.emplace_back(m_writer.addString(archive::kClassKey), m_writer.addUid(classUid(object.className())));
    m_writer.defineDict(dict, entries);
    return uid;
}

uint64_t KeyedArchiver::classUid(std::string_view className)
{
    if (auto known = m_classUids.find(std::string(className)); known != m_classUids.end())
        return known->second;
    const Ref name = m_writer.addString(className);
    const Ref classes = m_writer.addArray({name, m_writer.addString(archive::kRootClass)});
    const uint64_t uid = appendObject(m_writer.addDict({
        {m_writer.addString(archive::kClassNameKey), name},
        {m_writer.addString(archive::kClassesKey), classes},
    }));
    m_classUids.emplace(className, uid);
    return uid;
}

void KeyedArchiver::addEntry(std::string_view key, Ref value)
{
    KANVARO_ASSERT(!m_entries.empty() && bplist::isValidUtf8(key));
    m_entries.back().emplace_back(m_writer.addString(archive::escapedKey(key)), value);
}

void KeyedArchiver::encodeInt32(std::string_view key, int32_t value) { addEntry(key, m_writer.addInt(value)); }

void KeyedArchiver::encodeFloat(std::string_view key, float value) { addEntry(key, m_writer.addReal32(value)); }

void KeyedArchiver::encodeObject(std::string_view key, const Codable* object)
{
    addEntry(key, m_writer.addUid(object ? encodeNested(*object, true) : 0));
}

void KeyedArchiver::encodeString(std::string_view key, const std::optional<std::string>& value)
{
    if (value && !bplist::isValidUtf8(*value) && m_error.empty())
        m_error = std::string(key) + ": string is not valid UTF-8";
    const bool store = value && m_error.empty();
    addEntry(key, m_writer.addUid(store ? appendObject(m_writer.addString(*value)) : 0));
}

void KeyedArchiver::encodeData(std::string_view key, std::span<const uint8_t> bytes)
{
    addEntry(key, m_writer.addUid(appendObject(m_writer.addData(bytes))));
}

void KeyedArchiver::encodeData(std::string_view key, std::vector<uint8_t>&& bytes)
{
    addEntry(key, m_writer.addUid(appendObject(m_writer.addData(std::move(bytes)))));
}

void KeyedArchiver::encodeDataNoCopy(std::string_view key, std::span<const uint8_t> bytes)
{
    addEntry(key, m_writer.addUid(appendObject(m_writer.addDataNoCopy(bytes))));
}

uint64_t KeyedArchiver::roomLeft() const
{
    const uint64_t used = m_writer.sizeSoFar();
    return used < m_maxBytes ? m_maxBytes - used : 0;
}

void KeyedArchiver::encodeBytes(std::string_view key, std::span<const uint8_t> bytes)
{
    addEntry(key, m_writer.addData(bytes));
}

void KeyedArchiver::encodeColor(std::string_view key, const RGBA& color)
{
    const ColorCodable codable(color);
    addEntry(key, m_writer.addUid(encodeNested(codable, false)));
}

} // namespace fnd
