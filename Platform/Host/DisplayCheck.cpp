#include "Host/DisplayCheck.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace host {

namespace {
bool isSet(const char* value) { return value && *value; }
} // namespace

DisplayEnvironment currentDisplayEnvironment()
{
    return {std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("SDL_VIDEODRIVER")};
}

bool lacksDisplay(const DisplayEnvironment& environment)
{
    if (isSet(environment.requestedDriver))
        return false;
    return !isSet(environment.display) && !isSet(environment.waylandDisplay);
}

bool fellBackToInvisibleDriver(const DisplayEnvironment& environment, const char* driver)
{
    if (isSet(environment.requestedDriver) || !driver)
        return false;
    return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

std::string noDisplayMessage()
{
    return "a graphical display is needed, and neither DISPLAY nor WAYLAND_DISPLAY leads to one; "
           "without a display, run sessions headless with kanvaro-script SCRIPT";
}

bool hasGpuRenderNode(const std::string& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind("renderD", 0) == 0)
            return true;
    return false;
}

} // namespace host
