// Key translation and the keys the desktop window itself answers (full screen, quit); every
// other key goes to the window's responders.
#include "Host/SdlKeys.h"

#include "Foundation/Clock.h"
#include "Foundation/Log.h"
#include "Host/SdlHost.h"
#include "Host/WindowManagerCheck.h"
#include "Toolkit/Window.h"

namespace host {

namespace {
struct KeyMapping {
    SDL_Keycode code;
    ui::Key key;
};
constexpr KeyMapping kNamedKeys[] = {
    {SDLK_MINUS, ui::Key::Minus},
    {SDLK_KP_MINUS, ui::Key::Minus},
    {SDLK_EQUALS, ui::Key::Equals},
    {SDLK_LEFTBRACKET, ui::Key::BracketLeft},
    {SDLK_RIGHTBRACKET, ui::Key::BracketRight},
    {SDLK_SLASH, ui::Key::Slash},
    {SDLK_QUESTION, ui::Key::Question},
    {SDLK_COMMA, ui::Key::Comma},
    {SDLK_PERIOD, ui::Key::Period},
    {SDLK_SPACE, ui::Key::Space},
    {SDLK_ESCAPE, ui::Key::Escape},
    {SDLK_RETURN, ui::Key::Return},
    {SDLK_KP_ENTER, ui::Key::Return},
    {SDLK_TAB, ui::Key::Tab},
    {SDLK_BACKSPACE, ui::Key::Backspace},
    {SDLK_DELETE, ui::Key::Delete},
    {SDLK_LEFT, ui::Key::Left},
    {SDLK_RIGHT, ui::Key::Right},
    {SDLK_UP, ui::Key::Up},
    {SDLK_DOWN, ui::Key::Down},
    {SDLK_KP_0, ui::Key::Digit0},
    {SDLK_KP_1, ui::Key::Digit1},
    {SDLK_KP_2, ui::Key::Digit2},
    {SDLK_KP_3, ui::Key::Digit3},
    {SDLK_KP_4, ui::Key::Digit4},
    {SDLK_KP_5, ui::Key::Digit5},
    {SDLK_KP_6, ui::Key::Digit6},
    {SDLK_KP_7, ui::Key::Digit7},
    {SDLK_KP_8, ui::Key::Digit8},
    {SDLK_KP_9, ui::Key::Digit9},
};

ui::Key keyFromCode(SDL_Keycode code)
{
    if (code >= SDLK_a && code <= SDLK_z)
        return static_cast<ui::Key>(static_cast<int>(ui::Key::A) + (code - SDLK_a));
    if (code >= SDLK_0 && code <= SDLK_9)
        return static_cast<ui::Key>(static_cast<int>(ui::Key::Digit0) + (code - SDLK_0));
    if (code >= SDLK_F1 && code <= SDLK_F12)
        return static_cast<ui::Key>(static_cast<int>(ui::Key::F1) + (code - SDLK_F1));
    for (const KeyMapping& mapping : kNamedKeys) {
        if (mapping.code == code)
            return mapping.key;
    }
    return ui::Key::Unknown;
}

unsigned modifiersFrom(Uint16 mod)
{
    unsigned modifiers = ui::kModifierNone;
    if (mod & KMOD_SHIFT)
        modifiers |= ui::kModifierShift;
    if (mod & KMOD_CTRL)
        modifiers |= ui::kModifierCtrl;
    if (mod & KMOD_ALT)
        modifiers |= ui::kModifierAlt;
    if (mod & KMOD_GUI)
        modifiers |= ui::kModifierSuper;
    return modifiers;
}
} // namespace

std::optional<ui::KeyEvent> keyEventFromSdl(const SDL_KeyboardEvent& key)
{
    ui::KeyEvent event;
    event.key = keyFromCode(key.keysym.sym);
    if (event.key == ui::Key::Unknown)
        return std::nullopt;
    event.modifiers = modifiersFrom(key.keysym.mod);
    event.down = key.type == SDL_KEYDOWN;
    event.repeat = key.repeat != 0;
    if (event.key == ui::Key::Slash && (event.modifiers & ui::kModifierShift)) {
        event.key = ui::Key::Question;
        event.modifiers &= ~static_cast<unsigned>(ui::kModifierShift);
    }
    return event;
}

void SdlHost::handleKey(const SDL_KeyboardEvent& key)
{
    std::optional<ui::KeyEvent> event = keyEventFromSdl(key);
    if (!event)
        return;
    if (event->down && !event->repeat && event->key == ui::Key::Q && event->hasOnly(ui::kModifierCtrl)) {
        requestQuit(); // as closing the window
        return;
    }
    if (event->down && !event->repeat && event->key == ui::Key::F11 && event->isPlain()) {
        toggleFullScreen();
        return;
    }
    m_window->sendKey(*event);
}

void SdlHost::toggleFullScreen()
{
    SDL_Window* window = m_sdlWindow.get();
    if (m_windowedFrame) {
        // Back from the full screen made by hand below.
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowSize(window, m_windowedFrame->w, m_windowedFrame->h);
        SDL_SetWindowPosition(window, m_windowedFrame->x, m_windowedFrame->y);
        m_windowedFrame.reset();
    } else if (SDL_Rect screen{};
               lacksWindowManager(window) && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &screen) == 0) {
        // Nobody would carry out SDL's request: cover the screen with a borderless window.
        SDL_Rect frame{};
        SDL_GetWindowPosition(window, &frame.x, &frame.y);
        SDL_GetWindowSize(window, &frame.w, &frame.h);
        m_windowedFrame = frame;
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, screen.x, screen.y);
        SDL_SetWindowSize(window, screen.w, screen.h);
    } else {
        const bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
        if (SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            fnd::log(std::string("SdlHost: cannot change full screen: ") + SDL_GetError());
    }
    m_needsPresent = true;
}

} // namespace host
