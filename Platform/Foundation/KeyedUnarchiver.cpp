#include "Foundation/KeyedUnarchiver.h"

#include <limits>

#include "Foundation/Assert.h"
#include "Foundation/BinaryPlistUnicode.h"
#include "Foundation/FileOps.h"

namespace fnd {

namespace {
// Object nesting the schema walk allows; the application's archives need 3.
constexpr size_t kMaxObjectDepth = 16;

bool isOneOf(const std::string& name, std::string_view first, std::string_view second)
{
    return name == first || name == second;
}
} // namespace

Result<KeyedUnarchiver> KeyedUnarchiver::fromFile(const std::string& path)
{
    auto bytes = readFile(path, BinaryPlistReader::kMaxFileSize);
    if (!bytes)
        return bytes.failure();
    return fromBytes(std::move(bytes).value());
}

Result<KeyedUnarchiver> KeyedUnarchiver::fromBytes(std::vector<uint8_t> bytes)
{
    auto plist = BinaryPlistReader::parse(std::move(bytes));
    if (!plist)
        return plist.failure();
    KeyedUnarchiver unarchiver(std::move(plist).value());
    if (auto status = unarchiver.readTop(); !status)
        return Error{"keyed archive: " + status.error()};
    return unarchiver;
}

Status KeyedUnarchiver::readTop()
{
    const PlistObject top = m_plist->object(m_plist->topIndex());
    if (top.type != PlistType::Dict)
        return Error{"top object is not a dictionary"};
    auto archiver = lookup(top, archive::kArchiverKey);
    if (!archiver || !m_plist->textEquals(*archiver, archive::kArchiverName))
        return Error{"unknown archiver"};
    auto version = lookup(top, archive::kVersionKey);
    if (!version || version->type != PlistType::Int || version->integer != archive::kVersion)
        return Error{"unknown version"};
    auto objects = lookup(top, archive::kObjectsKey);
    if (!objects || objects->type != PlistType::Array || objects->count < 1
        || !m_plist->textEquals(m_plist->object(m_plist->arrayElement(*objects, 0)), archive::kNull))
        return Error{"no object list"};
    m_objects = *objects;
    auto topKeys = lookup(top, archive::kTopKey);
    auto root = topKeys && topKeys->type == PlistType::Dict ? lookup(*topKeys, archive::kRootKey) : std::nullopt;
    if (!root || root->type != PlistType::Uid || root->uid == 0 || root->uid >= m_objects.count)
        return Error{"no root object"};
    m_rootUid = root->uid;
    return {};
}

void KeyedUnarchiver::failWithReason(std::string reason)
{
    if (m_error.empty())
        m_error = std::move(reason);
}

void KeyedUnarchiver::fail(std::string_view key, const std::string& what)
{
    std::string where = m_scopes.empty() ? "archive" : m_scopes.back().className;
    if (!key.empty())
        where.append(".").append(key);
    failWithReason(where + ": " + what);
}

std::optional<PlistObject> KeyedUnarchiver::lookup(const PlistObject& dict, std::string_view key) const
{
    if (auto ref = m_plist->dictLookup(dict, key))
        return m_plist->object(*ref);
    return std::nullopt;
}

std::optional<PlistObject> KeyedUnarchiver::value(std::string_view key)
{
    KANVARO_ASSERT(!m_scopes.empty());
    if (failed())
        return std::nullopt;
    return lookup(m_scopes.back().dict, archive::escapedKey(key));
}

std::optional<PlistObject> KeyedUnarchiver::resolve(uint64_t uid, std::string_view key)
{
    if (uid >= m_objects.count) {
        fail(key, "UID " + std::to_string(uid) + " is past the object list");
        return std::nullopt;
    }
    return m_plist->object(m_plist->arrayElement(m_objects, uid));
}

std::optional<uint64_t> KeyedUnarchiver::uidValue(std::string_view key, const char* expected)
{
    auto found = value(key);
    if (!found)
        return std::nullopt;
    if (found->type != PlistType::Uid) {
        fail(key, std::string("expected ") + expected);
        return std::nullopt;
    }
    return found->uid;
}

std::optional<std::string> KeyedUnarchiver::classNameOf(const PlistObject& dict) const
{
    auto classRef = lookup(dict, archive::kClassKey);
    if (!classRef || classRef->type != PlistType::Uid || classRef->uid >= m_objects.count)
        return std::nullopt;
    const PlistObject classDict = m_plist->object(m_plist->arrayElement(m_objects, classRef->uid));
    if (classDict.type != PlistType::Dict)
        return std::nullopt;
    auto name = lookup(classDict, archive::kClassNameKey);
    if (!name || name->type != PlistType::String)
        return std::nullopt;
    return m_plist->text(*name);
}

bool KeyedUnarchiver::enterRoot(std::string_view className)
{
    KANVARO_ASSERT(m_scopes.empty());
    return !failed() && enterUid(m_rootUid, className, "");
}

bool KeyedUnarchiver::enterObject(std::string_view key, std::string_view className)
{
    auto uid = uidValue(key, "an object");
    if (!uid || *uid == 0)
        return false;
    return enterUid(*uid, className, key);
}

bool KeyedUnarchiver::enterUid(uint64_t uid, std::string_view className, std::string_view key)
{
    for (const Scope& scope : m_scopes) {
        if (scope.uid == uid) {
            fail(key, "object contains itself");
            return false;
        }
    }
    if (m_scopes.size() >= kMaxObjectDepth) {
        fail(key, "objects nested too deeply");
        return false;
    }
    auto object = resolve(uid, key);
    if (!object)
        return false;
    auto name = object->type == PlistType::Dict ? classNameOf(*object) : std::nullopt;
    if (!name || *name != className) {
        fail(key, "expected an object of class " + std::string(className));
        return false;
    }
    m_scopes.push_back({uid, *object, std::move(*name)});
    return true;
}

void KeyedUnarchiver::leaveObject()
{
    KANVARO_ASSERT(!m_scopes.empty());
    m_scopes.pop_back();
}

int32_t KeyedUnarchiver::decodeInt32(std::string_view key)
{
    auto found = value(key);
    if (!found)
        return 0;
    if (found->type != PlistType::Int) {
        fail(key, "expected an integer");
        return 0;
    }
    if (found->integer < std::numeric_limits<int32_t>::min() || found->integer > std::numeric_limits<int32_t>::max()) {
        fail(key, "integer out of range");
        return 0;
    }
    return static_cast<int32_t>(found->integer);
}

std::optional<std::string> KeyedUnarchiver::decodeString(std::string_view key)
{
    auto uid = uidValue(key, "a string");
    if (!uid || *uid == 0)
        return std::nullopt;
    auto object = resolve(*uid, key);
    return object ? stringFromObject(*object, key) : std::nullopt;
}

// A plain string, or a string object holding its text as NS.string or UTF-8 NS.bytes.
std::optional<std::string> KeyedUnarchiver::stringFromObject(const PlistObject& object, std::string_view key)
{
    if (object.type == PlistType::String)
        return m_plist->text(object);
    auto name = object.type == PlistType::Dict ? classNameOf(object) : std::nullopt;
    if (name && isOneOf(*name, "NSString", "NSMutableString")) {
        if (auto text = lookup(object, "NS.string"); text && text->type == PlistType::String)
            return m_plist->text(*text);
        if (auto bytes = lookup(object, "NS.bytes"); bytes && bytes->type == PlistType::Data) {
            std::string text(reinterpret_cast<const char*>(bytes->payload), bytes->count);
            if (bplist::isValidUtf8(text))
                return text;
        }
    }
    fail(key, "expected a string");
    return std::nullopt;
}

std::optional<std::span<const uint8_t>> KeyedUnarchiver::decodeData(std::string_view key)
{
    auto found = value(key);
    if (!found)
        return std::nullopt;
    if (found->type == PlistType::Data)
        return found->bytes(); // stored inline by a bytes coder
    if (found->type != PlistType::Uid) {
        fail(key, "expected data");
        return std::nullopt;
    }
    if (found->uid == 0)
        return std::nullopt;
    auto object = resolve(found->uid, key);
    return object ? dataFromObject(*object, key) : std::nullopt;
}

// Plain data, or a data object holding its bytes as NS.data or NS.bytes.
std::optional<std::span<const uint8_t>> KeyedUnarchiver::dataFromObject(const PlistObject& object, std::string_view key)
{
    if (object.type == PlistType::Data)
        return object.bytes();
    auto name = object.type == PlistType::Dict ? classNameOf(object) : std::nullopt;
    if (name && isOneOf(*name, "NSData", "NSMutableData")) {
        for (std::string_view field : {"NS.data", "NS.bytes"}) {
            if (auto bytes = lookup(object, field); bytes && bytes->type == PlistType::Data)
                return bytes->bytes();
        }
    }
    fail(key, "expected data");
    return std::nullopt;
}

std::optional<RGBA> KeyedUnarchiver::decodeColor(std::string_view key)
{
    auto uid = uidValue(key, "a colour");
    if (!uid || *uid == 0)
        return std::nullopt;
    auto object = resolve(*uid, key);
    auto name = object && object->type == PlistType::Dict ? classNameOf(*object) : std::nullopt;
    if (!name || !isOneOf(*name, archive::kColorClass, "NSColor")) {
        fail(key, "expected a colour");
        return std::nullopt;
    }
    return colorFromDict(*object, key);
}

} // namespace fnd
