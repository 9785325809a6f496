#pragma once
// Keyboard input from SDL: key codes (the layout's unshifted character for text keys) become
// ui::KeyEvents. Shift + '/' is '?' (as on most layouts), keypad digits are digits.
#include <SDL.h>
#include <optional>

#include "Toolkit/KeyEvent.h"

namespace host {

// nullopt for keys the toolkit has no name for and for modifier keys pressed alone.
std::optional<ui::KeyEvent> keyEventFromSdl(const SDL_KeyboardEvent& key);

} // namespace host
