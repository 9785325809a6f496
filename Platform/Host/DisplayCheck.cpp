#include "Host/DisplayCheck.h"

#include <cstdlib>
#include <cstring>

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

} // namespace host
