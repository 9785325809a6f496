// Keys: names read both ways, the screen in front gets them (through navigation stacks and
// presentations) and unhandled ones travel the responder chain; a modal panel takes every key.
#include "Toolkit/ActionSheet.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/NavigationController.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;

class KeyScreen : public ui::ViewController {
public:
    KeyScreen(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    bool handles = true;
    bool keyDown(const ui::KeyEvent& event) override
    {
        m_log.push_back(m_name + "." + ui::keyName(event.key));
        return handles || ViewController::keyDown(event);
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

struct Clicks : ui::ActionSheetDelegate, ui::AlertViewDelegate {
    std::vector<std::string> log;
    void actionSheetClickedButtonAtIndex(ui::ActionSheet& s, int i) override
    {
        log.push_back("sheet:" + s.buttonTitleAtIndex(i));
    }
    void alertViewClickedButtonAtIndex(ui::AlertView& a, int i) override
    {
        log.push_back("alert:" + a.buttonTitleAtIndex(i));
    }
};

ui::KeyEvent key(const std::string& combination) { return ui::parseKeyCombination(combination).value(); }

} // namespace

TEST(KeyNames, EveryKeyReadsBackFromItsNameAndCombinationsTakeModifiers)
{
    for (int k = static_cast<int>(ui::Key::A); k <= static_cast<int>(ui::Key::F12); ++k) {
        auto parsed = ui::parseKeyCombination(ui::keyName(static_cast<ui::Key>(k)));
        ASSERT_TRUE(parsed && parsed->isPlain()) << k;
        EXPECT_EQ(static_cast<int>(parsed->key), k);
    }
    auto save = ui::parseKeyCombination("Ctrl+Shift+S");
    ASSERT_TRUE(save);
    EXPECT_EQ(save->key, ui::Key::S);
    EXPECT_TRUE(save->hasOnly(ui::kModifierCtrl | ui::kModifierShift));
    EXPECT_EQ(ui::parseKeyCombination("]")->key, ui::Key::BracketRight);
    for (const char* bad : {"", "ctrl+", "+z", "hyper+z", "zz", "ctrl+shift", "z+ctrl"})
        EXPECT_FALSE(ui::parseKeyCombination(bad)) << bad;
}

TEST_F(ToolkitTest, KeysGoToTheScreenInFrontAndUnhandledOnesPassAlong)
{
    std::vector<std::string> log;
    auto first = std::make_shared<KeyScreen>(log, "first");
    auto second = std::make_shared<KeyScreen>(log, "second");
    auto navigation = std::make_shared<ui::NavigationController>(first);
    window->addSubview(navigation->viewRef());
    window->makeKeyAndVisible();
    EXPECT_TRUE(window->sendKey(key("b")));
    navigation->pushViewController(second, false);
    second->handles = false; // passes on to the navigation controller and the window: nobody acts
    EXPECT_FALSE(window->sendKey(key("e")));
    second->presentModalViewController(std::make_shared<KeyScreen>(log, "presented"), false);
    runUntil(clock.clock().now() + 1);
    EXPECT_TRUE(window->sendKey(key("z")));
    EXPECT_EQ(log, (std::vector<std::string>{"first.b", "second.e", "presented.z"}));
}

TEST_F(ToolkitTest, AModalPanelTakesEveryKeyAndEscapeTapsItsCancelButton)
{
    std::vector<std::string> keys;
    auto screen = std::make_shared<KeyScreen>(keys, "screen");
    window->addSubview(screen->viewRef());
    window->makeKeyAndVisible();
    Clicks clicks;
    auto sheet = std::make_shared<ui::ActionSheet>("", &clicks, "Cancel", "Undo", std::vector<std::string>{"Other"});
    sheet->showInView(*screen->view());
    EXPECT_TRUE(window->sendKey(key("ctrl+z")));
    ui::KeyEvent release = key("escape");
    release.down = false;
    EXPECT_TRUE(window->sendKey(release)); // a release taps nothing
    EXPECT_TRUE(window->sendKey(key("escape")));
    EXPECT_TRUE(window->sendKey(key("escape"))); // leaving: still takes keys, taps nothing more
    runUntil(clock.clock().now() + 1);

    std::make_shared<ui::AlertView>("Clear", "", &clicks, "Cancel", std::vector<std::string>{"Clear"})->show();
    window->sendKey(key("escape"));
    runUntil(clock.clock().now() + 1);
    auto noCancel = std::make_shared<ui::AlertView>("Note", "", &clicks, "", std::vector<std::string>{"OK"});
    noCancel->show();
    window->sendKey(key("escape"));
    EXPECT_TRUE(noCancel->isVisible());
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"sheet:Cancel", "alert:Cancel"}));
    EXPECT_TRUE(keys.empty()) << "nothing behind a panel hears a key";
}
