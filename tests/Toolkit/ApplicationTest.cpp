// The main interface file: the bundle's own file names the window and the delegate; broken files
// and unknown classes are refused with a reason instead of starting half an application.
#include <gtest/gtest.h>

#include "Toolkit/Application.h"

namespace {

class Recorder : public ui::ApplicationDelegate {
public:
    void applicationDidFinishLaunching(ui::Window&) override {}
};

TEST(MainInterface, BundleFileNamesTheWholeScreenAndTheDelegate)
{
    auto interface = ui::loadMainInterface(ui::mainInterfacePath());
    ASSERT_TRUE(interface) << interface.error();
    EXPECT_EQ(interface->windowFrame, gfx::Rect(0, 0, 320, 480));
    EXPECT_TRUE(interface->fullScreen);
    EXPECT_EQ(interface->delegateClass, "KanvaroAppDelegate");
}

TEST(MainInterface, BrokenFilesAndUnknownClassesAreRefused)
{
    auto ok = ui::parseMainInterface(R"({"window": {"width": 10, "height": 5.5, "fullScreen": false},
                                        "delegateClass": "A \"quoted\" name"})");
    ASSERT_TRUE(ok) << ok.error();
    EXPECT_EQ(ok->windowFrame, gfx::Rect(0, 0, 10, 5.5));
    EXPECT_FALSE(ok->fullScreen);
    EXPECT_EQ(ok->delegateClass, "A \"quoted\" name");

    for (const char* broken : {"", "{", R"({"window": {"width": 1, "height": 1}})",
                               R"({"window": {"width": 0, "height": 1}, "delegateClass": "X"})",
                               R"({"delegateClass": "X", "window": {"width": 1, "height": 1}} trailing)",
                               R"({"delegateClass": ["X"]})", R"({"delegateClass": "unterminated})"})
        EXPECT_FALSE(ui::parseMainInterface(broken)) << broken;
    EXPECT_FALSE(ui::loadMainInterface("/nonexistent/MainWindow.json"));

    EXPECT_EQ(ui::makeApplicationDelegate("NoSuchDelegate").error(),
              "no application delegate class named \"NoSuchDelegate\"");
    ui::registerApplicationDelegateClass<Recorder>("Recorder");
    auto made = ui::makeApplicationDelegate("Recorder");
    ASSERT_TRUE(made);
    EXPECT_NE(dynamic_cast<Recorder*>(made.value().get()), nullptr);
}

} // namespace
