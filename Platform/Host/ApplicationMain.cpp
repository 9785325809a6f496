#include "Host/ApplicationMain.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "Foundation/Paths.h"
#include "Host/SdlHost.h"
#include "Host/WindowGeometry.h"
#include "Toolkit/Window.h"

namespace host {

namespace {
constexpr const char* kUsage = "usage: kanvaro [--documents DIR] [--pictures DIR] [--exports DIR] [PHOTO | FILE.art]\n";

// The file to open ("" for none), or nothing for a usage error. Every option takes a value; one
// argument that is no option names the file.
std::optional<std::string> parseOptions(int argc, char** argv)
{
    std::string openPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc || !fnd::setPathFromOption(arg, argv[i + 1]))
                return std::nullopt;
            ++i;
        } else if (openPath.empty() && !arg.empty()) {
            openPath = arg;
        } else {
            return std::nullopt;
        }
    }
    return openPath;
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
        return interface.failure();
    if (!isWholeScreen(interface.value()))
        return fnd::Error{"the main interface file asks for a window that is not the whole screen"};
    return ui::makeApplicationDelegate(interface->delegateClass);
}

Application applicationHooks(ui::ApplicationDelegate& delegate)
{
    Application application;
    application.didFinishLaunching = [&delegate](ui::Window& window) {
        delegate.setWindow(&window);
        delegate.applicationDidFinishLaunching(window);
    };
    application.shouldTerminate = [&delegate](bool canAsk, std::function<void()> terminateLater) {
        return delegate.applicationShouldTerminate(canAsk, std::move(terminateLater));
    };
    application.willTerminate = [&delegate] { delegate.applicationWillTerminate(); };
    application.exitStatus = [&delegate] { return delegate.applicationExitStatus(); };
    return application;
}

fnd::Result<std::string> resolveOpenPath(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error == std::errc::no_such_file_or_directory)
        return fnd::Error{path + ": no such file"};
    if (error)
        return fnd::Error{path + ": " + error.message()};
    if (!std::filesystem::is_regular_file(status))
        return fnd::Error{path + ": not a regular file"};
    auto absolute = std::filesystem::absolute(path, error);
    if (error)
        return fnd::Error{path + ": " + error.message()};
    return absolute.string();
}

int applicationMain(int argc, char** argv)
{
    const std::optional<std::string> openPath = parseOptions(argc, argv);
    if (!openPath) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string absoluteOpenPath;
    if (!openPath->empty()) {
        auto resolved = resolveOpenPath(*openPath);
        if (!resolved) {
            std::fprintf(stderr, "kanvaro: %s\n", resolved.error().c_str());
            return 2;
        }
        absoluteOpenPath = std::move(resolved).value();
    }
    if (!fnd::preparePaths())
        return 1;
    auto delegate = loadApplicationDelegate();
    if (!delegate) {
        std::fprintf(stderr, "kanvaro: %s\n", delegate.error().c_str());
        return 1;
    }
    delegate.value()->setOpenPath(absoluteOpenPath);
    auto host = SdlHost::create("Kanvaro", 0, settingsFilePath());
    if (!host)
        return 1;
    return host->run(applicationHooks(*delegate.value()));
}

} // namespace host
