#include "Toolkit/KeyEvent.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace ui {

namespace {
// Names in the order of the Key enumeration, which starts with Unknown.
constexpr std::array kKeyNames{
    "",
    "a",
    "b",
    "c",
    "d",
    "e",
    "f",
    "g",
    "h",
    "i",
    "j",
    "k",
    "l",
    "m",
    "n",
    "o",
    "p",
    "q",
    "r",
    "s",
    "t",
    "u",
    "v",
    "w",
    "x",
    "y",
    "z",
    "0",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "minus",
    "equals",
    "bracketleft",
    "bracketright",
    "slash",
    "question",
    "comma",
    "period",
    "space",
    "escape",
    "return",
    "tab",
    "backspace",
    "delete",
    "left",
    "right",
    "up",
    "down",
    "f1",
    "f2",
    "f3",
    "f4",
    "f5",
    "f6",
    "f7",
    "f8",
    "f9",
    "f10",
    "f11",
    "f12",
};
static_assert(kKeyNames.size() == static_cast<std::size_t>(Key::F12) + 1, "a name for every key");

// Characters that may stand for their key in a combination ("[" as well as "bracketleft").
struct CharacterKey {
    const char* text;
    Key key;
};
constexpr CharacterKey kCharacterKeys[] = {
    {"-", Key::Minus},    {"=", Key::Equals}, {"[", Key::BracketLeft}, {"]", Key::BracketRight}, {"/", Key::Slash},
    {"?", Key::Question}, {",", Key::Comma},  {".", Key::Period},      {"esc", Key::Escape},     {"enter", Key::Return},
};

std::optional<unsigned> modifierNamed(const std::string& name)
{
    if (name == "ctrl" || name == "control")
        return kModifierCtrl;
    if (name == "shift")
        return kModifierShift;
    if (name == "alt")
        return kModifierAlt;
    if (name == "super" || name == "meta")
        return kModifierSuper;
    return std::nullopt;
}

Key keyNamed(const std::string& name)
{
    for (std::size_t i = 1; i < kKeyNames.size(); ++i) {
        if (name == kKeyNames[i])
            return static_cast<Key>(i);
    }
    for (const CharacterKey& c : kCharacterKeys) {
        if (name == c.text)
            return c.key;
    }
    return Key::Unknown;
}
} // namespace

std::string keyName(Key key)
{
    const auto index = static_cast<std::size_t>(key);
    return index < kKeyNames.size() ? kKeyNames[index] : "";
}

std::optional<KeyEvent> parseKeyCombination(const std::string& text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    KeyEvent event;
    std::size_t start = 0;
    while (true) {
        // The last part is the key; "+" alone (or after a '+') is not a key we know.
        const std::size_t plus = lower.find('+', start);
        const std::string part = lower.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (plus == std::string::npos) {
            event.key = keyNamed(part);
            return event.key == Key::Unknown ? std::nullopt : std::optional<KeyEvent>(event);
        }
        const std::optional<unsigned> modifier = modifierNamed(part);
        if (!modifier)
            return std::nullopt;
        event.modifiers |= *modifier;
        start = plus + 1;
    }
}

} // namespace ui
