#pragma once
// Types shared by the keyed archiver and unarchiver: the interface an archivable object
// implements, and the colour value the archive stores (Foundation knows nothing of Graphics, so
// callers convert their colour type to and from this one).
#include <string>
#include <string_view>

namespace fnd {

class KeyedArchiver;

// An object that writes itself into a keyed archive as a dictionary of keys under its class name.
class Codable {
public:
    virtual ~Codable() = default;
    virtual const char* className() const = 0;
    virtual void encodeWithCoder(KeyedArchiver& coder) const = 0;
};

// Red, green, blue and alpha from 0 to 1.
struct RGBA {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
    friend bool operator==(const RGBA&, const RGBA&) = default;
};

namespace archive {
inline constexpr std::string_view kArchiverKey = "$archiver";
inline constexpr std::string_view kArchiverName = "NSKeyedArchiver";
inline constexpr std::string_view kVersionKey = "$version";
inline constexpr int kVersion = 100000;
inline constexpr std::string_view kTopKey = "$top";
inline constexpr std::string_view kRootKey = "root";
inline constexpr std::string_view kObjectsKey = "$objects";
inline constexpr std::string_view kNull = "$null";
inline constexpr std::string_view kClassKey = "$class";
inline constexpr std::string_view kClassNameKey = "$classname";
inline constexpr std::string_view kClassesKey = "$classes";
inline constexpr std::string_view kRootClass = "NSObject";
inline constexpr std::string_view kColorClass = "UIColor";

// An object's own key as stored: one more '$' in front of a key that starts with '$', so it
// cannot clash with the archive's keys.
inline std::string escapedKey(std::string_view key)
{
    std::string stored;
    stored.reserve(key.size() + 1);
    if (key.starts_with('$'))
        stored.push_back('$');
    stored.append(key);
    return stored;
}
} // namespace archive

} // namespace fnd
