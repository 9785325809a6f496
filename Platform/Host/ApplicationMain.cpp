#include "Host/ApplicationMain.h"

#include <cstdio>
#include <string>

#include "Foundation/Paths.h"
#include "Host/SdlHost.h"
#include "Toolkit/Window.h"

namespace host {

namespace {
constexpr const char* kUsage = "usage: kanvaro [--documents DIR] [--pictures DIR] [--exports DIR]\n";

bool parseOptions(int argc, char** argv)
{
    // Every option takes a value: they come in pairs.
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || !fnd::setPathFromOption(argv[i], argv[i + 1]))
            return false;
    }
    return true;
}

// The hosts make a window over the whole phone screen; the interface file must ask for that one.
bool isWholeScreen(const ui::MainInterface& interface)
{
    const gfx::Rect& frame = interface.windowFrame;
    return interface.fullScreen
           || (frame.x() == 0 && frame.y() == 0 && frame.size.width == kScreenWidthPoints
               && frame.size.height == kScreenHeightPoints);
}
} // namespace

fnd::Result<std::unique_ptr<ui::ApplicationDelegate>> loadApplicationDelegate()
{
    auto interface = ui::loadMainInterface(ui::mainInterfacePath());
    if (!interface)
        return fnd::Error{interface.error()};
    if (!isWholeScreen(interface.value()))
        return fnd::Error{"the main interface file asks for a window that is not the whole screen"};
    return ui::makeApplicationDelegate(interface->delegateClass);
}

Application applicationHooks(ui::ApplicationDelegate& delegate)
{
    return {[&delegate](ui::Window& window) {
                delegate.setWindow(&window);
                delegate.applicationDidFinishLaunching(window);
            },
            [&delegate] { delegate.applicationWillTerminate(); }};
}

int applicationMain(int argc, char** argv)
{
    if (!parseOptions(argc, argv)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!fnd::preparePaths())
        return 1;
    auto delegate = loadApplicationDelegate();
    if (!delegate) {
        std::fprintf(stderr, "kanvaro: %s\n", delegate.error().c_str());
        return 1;
    }
    auto host = SdlHost::create("Kanvaro");
    if (!host)
        return 1;
    host->run(applicationHooks(*delegate.value()));
    return 0;
}

} // namespace host
