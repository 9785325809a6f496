#pragma once
// The application as the toolkit starts it: the main interface file in the bundle's resources
// names the window and the class of the application delegate; the program registers its delegate
// classes by name before the main loop starts (host::applicationMain), and the toolkit makes the
// one the file names and hands it the window.
//
// The main interface file (Resources/MainWindow.json) is a small JSON object:
//   { "window": { "x": 0, "y": 0, "width": 320, "height": 480, "fullScreen": true },
//     "delegateClass": "KanvaroAppDelegate" }
#include <functional>
#include <memory>
#include <string>

#include "Foundation/Result.h"
#include "Graphics/Geometry.h"

namespace ui {

class Window;

// Told when the window is ready and before the process ends.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    // The window the main interface file describes; set before launching finishes.
    Window* window() const { return m_window; }
    void setWindow(Window* window) { m_window = window; }

    virtual void applicationDidFinishLaunching(Window& window) = 0;
    // "May we quit now?", asked when the window is closed or a quit is asked for (a key, the
    // system). True quits now. `canAsk` is false when nobody can answer a question (the window
    // hidden, the display gone): the answer must not wait for one then. False keeps the
    // application running, for instance to ask the person; calling `terminateLater` then quits.
    virtual bool applicationShouldTerminate(bool canAsk, std::function<void()> terminateLater)
    {
        (void)canAsk;
        (void)terminateLater;
        return true;
    }
    virtual void applicationWillTerminate() {}
    // The process's exit status once the application has terminated: 0, or 1 when it ended
    // without keeping what it should have kept.
    virtual int applicationExitStatus() const { return 0; }
    // A file named on the command line, set before launching; the application opens it once
    // launching has finished. Applications that open no files ignore it.
    virtual void setOpenPath(const std::string& path) { (void)path; }

private:
    Window* m_window = nullptr; // owned by the host
};

struct MainInterface {
    gfx::Rect windowFrame;
    bool fullScreen = false;
    std::string delegateClass;
};

// The bundle's main interface file: fnd::resourcePath() + "/MainWindow.json".
std::string mainInterfacePath();
// Reads and checks a main interface file (at most 64 KiB; the window must have a positive size
// and the delegate class a name).
fnd::Result<MainInterface> loadMainInterface(const std::string& path);
fnd::Result<MainInterface> parseMainInterface(const std::string& text);

// Delegate classes by name. Registering a name again replaces its factory.
using ApplicationDelegateFactory = std::function<std::unique_ptr<ApplicationDelegate>()>;
void registerApplicationDelegateClass(const std::string& name, ApplicationDelegateFactory factory);
template <typename Delegate> void registerApplicationDelegateClass(const std::string& name)
{
    registerApplicationDelegateClass(name, [] { return std::make_unique<Delegate>(); });
}
// A new delegate of the registered class; an error naming the class when none is registered.
fnd::Result<std::unique_ptr<ApplicationDelegate>> makeApplicationDelegate(const std::string& className);

} // namespace ui
