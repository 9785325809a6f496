#pragma once
// Reads a keyed archive from a binary property list by walking the caller's schema: the caller
// asks for keys by name and enters objects by key and expected class; nothing is decoded that was
// not asked for, and an object that is its own ancestor is refused. The first problem is recorded
// ("Canvas.width: expected an integer"); after it every decode returns its default, and the
// caller checks error() once at the end.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/BinaryPlistReader.h"
#include "Foundation/KeyedArchive.h"
#include "Foundation/Result.h"

namespace fnd {

class KeyedUnarchiver {
public:
    // Reads and validates the property list and the archive's top structure.
    static Result<KeyedUnarchiver> fromFile(const std::string& path);
    static Result<KeyedUnarchiver> fromBytes(std::vector<uint8_t> bytes);

    // Runs body(*this) inside the root object when it is of class `className`.
    template <typename Body> bool decodeRootObject(std::string_view className, Body&& body)
    {
        if (!enterRoot(className))
            return false;
        body(*this);
        leaveObject();
        return true;
    }

    // Runs body(*this) inside the object under `key`; false (body not run) when the key is
    // absent, null, or an error occurred.
    template <typename Body> bool decodeObject(std::string_view key, std::string_view className, Body&& body)
    {
        if (!enterObject(key, className))
            return false;
        body(*this);
        leaveObject();
        return true;
    }

    int32_t decodeInt32(std::string_view key);                     // absent -> 0
    std::optional<std::string> decodeString(std::string_view key); // absent or null -> nullopt
    // A view into the archive's buffer, valid while this unarchiver lives.
    std::optional<std::span<const uint8_t>> decodeData(std::string_view key);
    std::optional<RGBA> decodeColor(std::string_view key);

    bool failed() const { return !m_error.empty(); }
    const std::string& error() const { return m_error; }
    // Records a problem the caller found in decoded values (kept only if it is the first).
    void failWithReason(std::string reason);

private:
    struct Scope {
        uint64_t uid;
        PlistObject dict;
        std::string className;
    };

    explicit KeyedUnarchiver(std::unique_ptr<BinaryPlistReader> plist) : m_plist(std::move(plist)) {}
    Status readTop();

    bool enterRoot(std::string_view className);
    bool enterObject(std::string_view key, std::string_view className);
    bool enterUid(uint64_t uid, std::string_view className, std::string_view key);
    void leaveObject();

    void fail(std::string_view key, const std::string& what);
    std::optional<PlistObject> value(std::string_view key); // in the current object
    std::optional<PlistObject> lookup(const PlistObject& dict, std::string_view key) const;
    std::optional<PlistObject> resolve(uint64_t uid, std::string_view key); // $objects[uid]
    // UID under `key`: nullopt when absent, 0 for null; fails on a value that is not a UID.
    std::optional<uint64_t> uidValue(std::string_view key, const char* expected);
    std::optional<std::string> classNameOf(const PlistObject& dict) const;
    std::optional<std::string> stringFromObject(const PlistObject& object, std::string_view key);
    std::optional<std::span<const uint8_t>> dataFromObject(const PlistObject& object, std::string_view key);

    // Colour decoding (KeyedUnarchiverColor.cpp).
    std::optional<RGBA> colorFromDict(const PlistObject& dict, std::string_view key);
    std::optional<double> component(const PlistObject& dict, std::string_view name, std::string_view key);
    std::optional<RGBA> colorFromText(const PlistObject& dict, std::string_view key);

    std::unique_ptr<BinaryPlistReader> m_plist;
    PlistObject m_objects;
    uint64_t m_rootUid = 0;
    std::vector<Scope> m_scopes;
    std::string m_error;
};

} // namespace fnd
