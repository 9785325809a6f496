#include "Host/WindowManagerCheck.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(KANVARO_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace host {

bool lacksWindowManager(SDL_Window* window)
{
#if defined(KANVARO_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    // Only if it exists: an atom nobody ever made means no window manager ever set it.
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &remaining, &data);
    const bool named = status == Success && type == XA_WINDOW && count == 1;
    if (data)
        XFree(data);
    return !named;
#else
    (void)window;
    return false;
#endif
}

} // namespace host
