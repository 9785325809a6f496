// The desktop host keeps Ctrl+Q and F11 and hands other keys, translated, to the window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Host/SdlHost.h"
#include "Host/SdlKeys.h"
#include "Toolkit/ViewController.h"
#include "Toolkit/Window.h"

namespace {

SDL_Event keyEvent(SDL_Keycode code, Uint16 mod)
{
    SDL_Event event{};
    event.type = event.key.type = SDL_KEYDOWN;
    event.key.keysym.sym = code;
    event.key.keysym.mod = mod;
    return event;
}

struct KeyLog : ui::ViewController {
    std::vector<ui::KeyEvent> keys;
    bool keyDown(const ui::KeyEvent& event) override
    {
        keys.push_back(event);
        return true;
    }
};

} // namespace

TEST(SdlKeys, TheHostKeepsCtrlQAndF11AndHandsOtherKeysToTheWindow)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto host = host::SdlHost::create("Kanvaro keys");
    ASSERT_TRUE(host);
    auto screen = std::make_shared<KeyLog>();
    host->launch({[&](ui::Window& w) { w.addSubview(screen->viewRef()); }, {}});
    for (SDL_Event event :
         {keyEvent(SDLK_z, KMOD_LCTRL | KMOD_NUM), keyEvent(SDLK_F11, KMOD_NONE), keyEvent(SDLK_SLASH, KMOD_RSHIFT),
          keyEvent(SDLK_KP_4, KMOD_NONE), keyEvent(SDLK_LSHIFT, KMOD_LSHIFT)})
        SDL_PushEvent(&event);
    host->runOnce();
    ASSERT_EQ(screen->keys.size(), 3u) << "F11 is the host's; a modifier alone is no key";
    EXPECT_EQ(screen->keys[0].key, ui::Key::Z);
    EXPECT_TRUE(screen->keys[0].hasOnly(ui::kModifierCtrl)) << "lock keys are not modifiers";
    EXPECT_EQ(screen->keys[1].key, ui::Key::Question);
    EXPECT_TRUE(screen->keys[1].isPlain());
    EXPECT_EQ(screen->keys[2].key, ui::Key::Digit4);

    EXPECT_FALSE(host->isQuitting());
    SDL_Event quit = keyEvent(SDLK_q, KMOD_LCTRL);
    SDL_PushEvent(&quit);
    host->runOnce();
    EXPECT_TRUE(host->isQuitting());
}
