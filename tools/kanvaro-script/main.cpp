// kanvaro-script: runs Kanvaro headless and plays a script of taps, drags, pinches, waits,
// screenshots and checks against it. Exits 0 when every step passed, 1 naming the first step that
// failed, 2 on a usage error.
#include <cstdio>
#include <string>

#include "Foundation/Paths.h"
#include "Host/ApplicationMain.h"
#include "Host/HeadlessHost.h"
#include "KanvaroAppDelegate.h"
#include "ScriptRunner.h"

namespace {
constexpr const char* kUsage
    = "usage: kanvaro-script [--documents DIR] [--pictures DIR] [--exports DIR] SCRIPT\n";

// The script's path, or "" after printing the usage.
std::string parseOptions(int argc, char** argv)
{
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--", 0) == 0) {
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
    std::string scriptPath = parseOptions(argc, argv);
    if (scriptPath.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!fnd::preparePaths())
        return 1;
    // The application starts as in the window: from the bundle's main interface file.
    ui::registerApplicationDelegateClass<KanvaroAppDelegate>("KanvaroAppDelegate");
    auto delegate = host::loadApplicationDelegate();
    if (!delegate) {
        std::fprintf(stderr, "kanvaro-script: %s\n", delegate.error().c_str());
        return 1;
    }
    host::HeadlessHost host;
    host.launch(host::applicationHooks(*delegate.value()));
    auto outcome = script::runScriptFile(scriptPath, host);
    host.terminate();
    if (!outcome) {
        std::fprintf(stderr, "%s\n", outcome.error().c_str());
        return 1;
    }
    return 0;
}
