// Keys from SDL: translation of key codes and modifiers, and the desktop host's own keys
// (Ctrl+Q quits, F11 is full screen) against the keys it hands to the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Host/SdlHost.h"
#include "Host/SdlKeys.h"
#include "Toolkit/ViewController.h"
#include "Toolkit/Window.h"

namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode code, Uint16 mod, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.repeat = repeat;
    event.key.keysym.sym = code;
    event.key.keysym.mod = mod;
    return event;
}

class KeyLog : public ui::ViewController {
public:
    std::vector<std::string> keys;
    bool keyDown(const ui::KeyEvent& event) override
    {
        keys.push_back(ui::keyName(event.key));
        return true;
    }
};

} // namespace

TEST(SdlKeys, KeyCodesAndModifiersBecomeToolkitKeys)
{
    auto ctrlZ = host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_z, KMOD_LCTRL | KMOD_NUM).key);
    ASSERT_TRUE(ctrlZ);
    EXPECT_EQ(ctrlZ->key, ui::Key::Z);
    EXPECT_TRUE(ctrlZ->hasOnly(ui::kModifierCtrl)) << "lock keys are not modifiers";
    EXPECT_TRUE(ctrlZ->down);

    auto question = host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_SLASH, KMOD_RSHIFT).key);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->key, ui::Key::Question);
    EXPECT_TRUE(question->isPlain());

    auto released = host::keyEventFromSdl(keyEvent(SDL_KEYUP, SDLK_RIGHTBRACKET, KMOD_NONE).key);
    ASSERT_TRUE(released);
    EXPECT_EQ(released->key, ui::Key::BracketRight);
    EXPECT_FALSE(released->down);
    EXPECT_TRUE(host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_SPACE, KMOD_NONE, 1).key)->repeat);
    EXPECT_EQ(host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_KP_4, KMOD_NONE).key)->key, ui::Key::Digit4);
    EXPECT_EQ(host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_F11, KMOD_NONE).key)->key, ui::Key::F11);
    EXPECT_FALSE(host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT).key));
    EXPECT_FALSE(host::keyEventFromSdl(keyEvent(SDL_KEYDOWN, SDLK_CAPSLOCK, KMOD_NONE).key));
}

TEST(SdlKeys, TheHostKeepsCtrlQAndF11AndHandsOtherKeysToTheWindow)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto host = host::SdlHost::create("Kanvaro keys");
    ASSERT_TRUE(host);
    auto screen = std::make_shared<KeyLog>();
    host->launch({[&](ui::Window& w) { w.addSubview(screen->viewRef()); }, {}});

    for (SDL_Event event : {keyEvent(SDL_KEYDOWN, SDLK_b, KMOD_NONE), keyEvent(SDL_KEYDOWN, SDLK_F11, KMOD_NONE),
                            keyEvent(SDL_KEYDOWN, SDLK_LEFTBRACKET, KMOD_NONE)})
        SDL_PushEvent(&event);
    host->runOnce();
    EXPECT_EQ(screen->keys, (std::vector<std::string>{"b", "bracketleft"}));
    EXPECT_FALSE(host->isQuitting());

    SDL_Event quit = keyEvent(SDL_KEYDOWN, SDLK_q, KMOD_LCTRL);
    SDL_PushEvent(&quit);
    host->runOnce();
    EXPECT_TRUE(host->isQuitting());
    EXPECT_EQ(screen->keys.size(), 2u);
}
