#pragma once
// The application's main loop: reads the main interface file from the bundle's resources, makes
// the application delegate it names (registered with ui::registerApplicationDelegateClass) and
// runs it in the desktop window until the window closes. Headless runs (tests, scripted sessions)
// make the delegate the same way and drive it with their own host.
#include <memory>
#include <string>

#include "Foundation/Result.h"
#include "Host/Application.h"
#include "Toolkit/Application.h"

namespace host {

// The delegate that the bundle's main interface file names; errors when the file is missing or
// broken, names an unknown class, or asks for a window other than the whole screen.
fnd::Result<std::unique_ptr<ui::ApplicationDelegate>> loadApplicationDelegate();

// The host hooks that give `delegate` its window, then launch and terminate it.
Application applicationHooks(ui::ApplicationDelegate& delegate);

// A file named on the command line, as the delegate's setOpenPath takes it: its absolute path, or
// an error ("PATH: no such file", "PATH: not a regular file" for a folder, a pipe or a device)
// when it is no regular file. Both hosts' mains use it.
fnd::Result<std::string> resolveOpenPath(const std::string& path);

// Parses "--documents DIR", "--pictures DIR", "--exports DIR" and an optional file to open (handed
// to the delegate's setOpenPath), prepares the folders, loads the delegate and runs it in an SDL
// window. Returns the process's exit status: the application's after the window closed (0, or 1
// when it ended without keeping the painting), 1 when start-up failed (the reason on stderr), 2
// for a usage error or a file to open that does not exist.
int applicationMain(int argc, char** argv);

} // namespace host
