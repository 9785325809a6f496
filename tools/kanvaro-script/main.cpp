// kanvaro-script: runs Kanvaro headless and plays a script of taps, drags, pinches, waits,
// screenshots and checks against it. Exits 0 when every step passed, 1 naming the first step that
// failed, 2 on a usage error. With --toolkit-demo the script runs against the toolkit's demo
// screens (ToolkitDemo.h) instead of the application.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Foundation/Paths.h"
#include "Host/ApplicationMain.h"
#include "Host/HeadlessHost.h"
#include "KanvaroAppDelegate.h"
#include "ScriptRunner.h"
#include "ToolkitDemo.h"

namespace {
constexpr const char* kUsage =
    "usage: kanvaro-script [--documents DIR] [--pictures DIR] [--exports DIR] [--open FILE] [--scale S] "
    "[--toolkit-demo] SCRIPT\n";
// Window pixels per point, as a desktop window of that size would draw.
constexpr double kMinScale = 1;
constexpr double kMaxScale = 4;

// The script's path, or "" for a usage error.
std::string parseOptions(int argc, char** argv, bool& toolkitDemo, std::string& openPath, double& scale)
{
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--toolkit-demo") {
            toolkitDemo = true;
        } else if (arg == "--open") {
            if (i + 1 >= argc)
                return {};
            openPath = argv[++i];
        } else if (arg == "--scale") {
            if (i + 1 >= argc)
                return {};
            char* end = nullptr;
            scale = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(scale >= kMinScale && scale <= kMaxScale))
                return {};
        } else if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc || !fnd::setPathFromOption(arg, argv[i + 1]))
                return {};
            ++i;
        } else if (scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return {};
        }
    }
    return scriptPath;
}
} // namespace

int main(int argc, char** argv)
{
    bool toolkitDemo = false;
    std::string openPath;
    double scale = 2;
    std::string scriptPath = parseOptions(argc, argv, toolkitDemo, openPath, scale);
    if (scriptPath.empty() || (toolkitDemo && !openPath.empty())) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!fnd::preparePaths())
        return 1;
    std::shared_ptr<ui::NavigationController> demo;
    std::unique_ptr<ui::ApplicationDelegate> application; // outlives the host, which calls it
    host::HeadlessHost host(scale);
    if (toolkitDemo) {
        host.launch({[&](ui::Window& window) { demo = script::ToolkitDemo::install(window); }, {}});
    } else {
        // The application starts as in the window: from the bundle's main interface file.
        ui::registerApplicationDelegateClass<KanvaroAppDelegate>("KanvaroAppDelegate");
        auto delegate = host::loadApplicationDelegate();
        if (!delegate) {
            std::fprintf(stderr, "kanvaro-script: %s\n", delegate.error().c_str());
            return 1;
        }
        application = std::move(delegate.value());
        // As `kanvaro FILE` hands the file over, so a missing one is the same usage error.
        if (!openPath.empty()) {
            auto resolved = host::resolveOpenPath(openPath);
            if (!resolved) {
                std::fprintf(stderr, "kanvaro-script: %s\n", resolved.error().c_str());
                return 2;
            }
            application->setOpenPath(resolved.value());
        }
        host.launch(host::applicationHooks(*application));
    }
    auto outcome = script::runScriptFile(scriptPath, host, [&application] {
        if (auto* kanvaro = dynamic_cast<KanvaroAppDelegate*>(application.get()))
            kanvaro->waitForPaintingCopy();
    });
    host.terminate();
    if (!outcome) {
        std::fprintf(stderr, "%s\n", outcome.error().c_str());
        return 1;
    }
    return 0;
}
