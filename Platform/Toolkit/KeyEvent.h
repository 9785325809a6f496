#pragma once
// A key pressed or released on a hardware keyboard. Keys are named by what is printed on them
// (the unshifted character for text keys), so a shortcut means the same key on every layout that
// has it; `Question` stands for the '?' a layout makes with shift. Modifier keys alone make no
// events: they only show in `modifiers`.
#include <optional>
#include <string>

namespace ui {

enum class Key {
    Unknown,
    A,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    Digit0,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    Minus,
    Equals,
    BracketLeft,
    BracketRight,
    Slash,
    Question,
    Comma,
    Period,
    Space,
    Escape,
    Return,
    Tab,
    Backspace,
    Delete,
    Left,
    Right,
    Up,
    Down,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
};

enum KeyModifier : unsigned {
    kModifierNone = 0,
    kModifierShift = 1,
    kModifierCtrl = 2,
    kModifierAlt = 4,
    kModifierSuper = 8,
};

// One line of a screen's keyboard help: the keys, and what they do there.
struct KeyShortcut {
    std::string keys;
    std::string meaning;
};

struct KeyEvent {
    Key key = Key::Unknown;
    unsigned modifiers = kModifierNone;
    bool down = true;
    bool repeat = false; // a held key's automatic repeats

    // Exactly these modifiers. Hosts drop the shift a layout needs to type '?'.
    bool hasOnly(unsigned wanted) const { return modifiers == wanted; }
    bool isPlain() const { return modifiers == kModifierNone; }
    // F1 or '?' pressed (not a repeat): the keys of the screen in front are asked for.
    bool isHelpRequest() const { return down && !repeat && isPlain() && (key == Key::F1 || key == Key::Question); }
};

// The letter, digit or named key ("a", "7", "escape", "bracketright", "f11", "?") in lower case,
// or "" for Unknown.
std::string keyName(Key key);
// Reads a key combination such as "ctrl+z", "shift+?", "bracketleft" or "[" (modifiers joined
// with '+', case ignored); nullopt when a part is not a key or modifier name. The event is a
// key-down without repeat.
std::optional<KeyEvent> parseKeyCombination(const std::string& text);

} // namespace ui
