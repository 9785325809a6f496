// The Kanvaro application in a desktop window.
#include <cstdio>
#include <string>

#include "Foundation/Paths.h"
#include "Host/SdlHost.h"
#include "KanvaroAppDelegate.h"

namespace {
constexpr const char* kUsage = "usage: kanvaro [--photo FILE] [--documents DIR] [--pictures DIR] [--exports DIR]\n";

bool parseOptions(int argc, char** argv, KanvaroAppDelegate& delegate)
{
    // Every option takes a value: they come in pairs.
    for (int i = 1; i < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--photo" && i + 1 < argc) {
            delegate.setPhotoPath(std::string(argv[i + 1]));
            continue;
        }
        if (i + 1 >= argc || !fnd::setPathFromOption(option, argv[i + 1])) {
            std::fputs(kUsage, stderr);
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    KanvaroAppDelegate delegate;
    if (!parseOptions(argc, argv, delegate))
        return 2;
    if (!fnd::preparePaths())
        return 1;
    auto host = host::SdlHost::create("Kanvaro");
    if (!host)
        return 1;
    host->run({[&](ui::Window& window) { delegate.applicationDidFinishLaunching(window); },
               [&] { delegate.applicationWillTerminate(); }});
    return 0;
}
