// Keys: names read both ways, the screen in front gets them (through navigation stacks and
// presentations), unhandled keys travel the responder chain, and a modal panel takes every key,
// Escape tapping its cancel button.
#include "ToolkitTestSupport.h"
#include "Toolkit/ActionSheet.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/KeyEvent.h"
#include "Toolkit/KeyHelpPanel.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/Toolbar.h"

namespace {

using namespace toolkit_test;

class KeyScreen : public ui::ViewController {
public:
    KeyScreen(std::vector<std::string>& log, std::string name)
        : m_log(log)
        , m_name(std::move(name))
    {
    }
    bool handles = true;
    bool keyDown(const ui::KeyEvent& event) override
    {
        m_log.push_back(m_name + ".down." + ui::keyName(event.key));
        return handles || ViewController::keyDown(event);
    }
    bool keyUp(const ui::KeyEvent& event) override
    {
        m_log.push_back(m_name + ".up." + ui::keyName(event.key));
        return handles || ViewController::keyUp(event);
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

struct Clicks : ui::ActionSheetDelegate, ui::AlertViewDelegate {
    std::vector<std::string> log;
    void actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int index) override
    {
        log.push_back("sheet:" + std::to_string(index) + ":" + sheet.buttonTitleAtIndex(index));
    }
    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int index) override
    {
        log.push_back("alert:" + std::to_string(index) + ":" + alert.buttonTitleAtIndex(index));
    }
};

ui::KeyEvent key(const std::string& combination, bool down = true)
{
    ui::KeyEvent event = ui::parseKeyCombination(combination).value();
    event.down = down;
    return event;
}

} // namespace

TEST(KeyNames, EveryKeyReadsBackFromItsNameAndCombinationsTakeModifiers)
{
    for (int k = static_cast<int>(ui::Key::A); k <= static_cast<int>(ui::Key::F12); ++k) {
        const auto key = static_cast<ui::Key>(k);
        auto parsed = ui::parseKeyCombination(ui::keyName(key));
        ASSERT_TRUE(parsed) << ui::keyName(key);
        EXPECT_EQ(parsed->key, key) << ui::keyName(key);
        EXPECT_TRUE(parsed->isPlain());
    }
    auto save = ui::parseKeyCombination("Ctrl+Shift+S");
    ASSERT_TRUE(save);
    EXPECT_EQ(save->key, ui::Key::S);
    EXPECT_TRUE(save->hasOnly(ui::kModifierCtrl | ui::kModifierShift));
    EXPECT_EQ(ui::parseKeyCombination("]")->key, ui::Key::BracketRight);
    EXPECT_EQ(ui::parseKeyCombination("?")->key, ui::Key::Question);
    for (const char* bad : {"", "ctrl+", "+z", "hyper+z", "zz", "ctrl+shift", "z+ctrl"})
        EXPECT_FALSE(ui::parseKeyCombination(bad)) << bad;
}

TEST_F(ToolkitTest, KeysGoToTheScreenInFrontAndUnhandledOnesPassAlong)
{
    std::vector<std::string> log;
    auto first = std::make_shared<KeyScreen>(log, "first");
    auto second = std::make_shared<KeyScreen>(log, "second");
    auto presented = std::make_shared<KeyScreen>(log, "presented");
    auto navigation = std::make_shared<ui::NavigationController>(first);
    window->addSubview(navigation->viewRef());
    window->makeKeyAndVisible();
    EXPECT_TRUE(window->sendKey(key("b")));
    navigation->pushViewController(second, false);
    EXPECT_TRUE(window->sendKey(key("e")));
    second->handles = false; // passes on to the navigation controller and the window: nobody acts
    EXPECT_FALSE(window->sendKey(key("h", false)));
    second->presentModalViewController(presented, false);
    runUntil(clock.clock().now() + 1);
    EXPECT_TRUE(window->sendKey(key("z")));
    EXPECT_EQ(log, (std::vector<std::string>{"first.down.b", "second.down.e", "second.up.h", "presented.down.z"}));
}

TEST_F(ToolkitTest, AModalPanelTakesEveryKeyAndEscapeTapsItsCancelButton)
{
    std::vector<std::string> keys;
    auto screen = std::make_shared<KeyScreen>(keys, "screen");
    window->addSubview(screen->viewRef());
    window->makeKeyAndVisible();
    auto toolbar = std::make_shared<ui::Toolbar>(gfx::Rect(0, 436, 320, 44));
    screen->view()->addSubview(toolbar);
    Clicks clicks;
    auto settle = [&] { runUntil(clock.clock().now() + 1); };

    auto sheet = std::make_shared<ui::ActionSheet>("", &clicks, "Cancel", "Undo", std::vector<std::string>{"Other"});
    sheet->showFromToolbar(*toolbar);
    EXPECT_TRUE(window->sendKey(key("ctrl+z")));
    EXPECT_TRUE(window->sendKey(key("escape", false))); // a release does not tap
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(window->sendKey(key("escape")));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(window->sendKey(key("escape"))); // leaving: still takes keys, taps nothing more
    settle();

    auto alert = std::make_shared<ui::AlertView>("Clear", "Sure?", &clicks, "Cancel", std::vector<std::string>{"Clear"});
    alert->show();
    window->sendKey(key("escape"));
    settle();
    auto noCancel = std::make_shared<ui::AlertView>("Note", "", &clicks, "", std::vector<std::string>{"OK"});
    noCancel->show();
    window->sendKey(key("escape"));
    EXPECT_TRUE(noCancel->isVisible());
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"sheet:2:Cancel", "alert:0:Cancel"}));
    EXPECT_TRUE(keys.empty()) << "nothing behind a panel hears a key";
}

TEST_F(ToolkitTest, TheKeyHelpPanelClosesOnAnyKeyButARepeatOrOnATapAnywhere)
{
    window->makeKeyAndVisible();
    auto open = [&] {
        auto help = std::make_shared<ui::KeyHelpPanel>("Keys", std::vector<ui::KeyHelpPanel::Row>{{"Ctrl+Z", "Undo"}});
        help->showInWindow(*window);
        runUntil(clock.clock().now() + 1);
        return help;
    };
    auto help = open();
    const gfx::Rect box = help->boxFrame();
    EXPECT_TRUE(box.minY() > 0 && box.maxY() < 480 && box.minX() > 0 && box.maxX() < 320);
    ui::KeyEvent held = key("f1");
    held.repeat = true;
    window->sendKey(held);
    EXPECT_TRUE(help->isVisible());
    window->sendKey(key("x"));
    EXPECT_FALSE(help->isVisible());
    runUntil(clock.clock().now() + 1);
    EXPECT_EQ(help->superview(), nullptr);

    help = open();
    window->touchDown(1, {10, 10}, clock.clock().now()); // outside the box
    window->touchUp(1, {10, 10}, clock.clock().now());
    EXPECT_FALSE(help->isVisible());
}
