#pragma once
// The real application window: an SDL window showing the ui::Window's backing store, fed with
// mouse and touch-screen input, driven by the main run loop with the real clock.
//
// The window opens at the size WindowGeometry.h picks (the largest that fits the work area, or
// the size it had last time), and can then be resized and maximised: the screen is redrawn at the
// largest scale that fits the window's pixels (fractional too; HiDPI windows count their real
// pixels), centred on a neutral border. Without a display it refuses to start (DisplayCheck.h).
// How frames reach the screen is settled before the window is made, so it is made once: through
// OpenGL where a GPU is there, else through the window's own surface, since software OpenGL
// would cost more memory than the whole application.
// Only the parts of the backing store the window redrew are uploaded to the streaming texture. While animations run the
// host keeps drawing frames; otherwise it sleeps in SDL until input arrives or the next timer is due. Closing the
// window, Ctrl+Q and a quit from the system (SDL reports SIGTERM so) ask the application whether it may quit
// now; once it may, run() ends after the application's will-terminate hook.
#include <memory>
#include <optional>
#include <string>

#include "Host/Application.h"
#include "Host/ScreenFit.h"
#include "Host/SdlHandles.h"
#include "Host/SdlInput.h"
#include "Host/WindowGeometry.h"

namespace ui {
class Window;
}

namespace host {

class SdlHost {
    struct Token {
        explicit Token() = default;
    };

public:
    // Opens the window; nullptr (and a log line) when there is no display or SDL cannot give us a
    // window. `scale` is the opening size in window coordinates per point; 0 picks it from the
    // display, or from `settingsFile` when that remembers a frame. With a settings file the
    // window's frame is written there at termination.
    static std::unique_ptr<SdlHost> create(const std::string& title, double scale = 0,
                                           const std::string& settingsFile = {});
    SdlHost(Token, SdlVideo video); // through create()
    ~SdlHost();
    SdlHost(const SdlHost&) = delete;
    SdlHost& operator=(const SdlHost&) = delete;

    ui::Window& window() { return *m_window; }
    SDL_Window* sdlWindow() const { return m_sdlWindow.get(); }
    // Pixels per point the screen is drawn at now; changes as the window is resized.
    double scale() const;
    // Where the screen sits in the window's pixels.
    const ScreenFit& screenFit() const { return m_fit; }

    // Launches the application and runs until the window is closed (or quit() is called), then
    // calls the will-terminate hook; the application's exit status.
    int run(const Application& application);
    // Launches without running the loop, for hosts stepped by hand (tests).
    void launch(const Application& application);
    // One pass: fire due timers, handle pending input, draw; waits for nothing.
    void runOnce();
    // Asks the application whether it may quit (closing the window, Ctrl+Q, SDL_QUIT): quits when
    // it may, now or once it has asked the person. Nobody can be asked while the window is hidden
    // or minimised.
    void requestQuit();
    // Ends run() soon, without asking; the will-terminate hook runs once.
    void quit();
    bool isQuitting() const { return m_quitting; }
    void terminate();

    // Number of frames presented so far.
    long long framesPresented() const { return m_frames; }

private:
    bool openWindow(const std::string& title, const WindowFrame& frame);
    void rememberFrame() const;
    bool fitToWindow();
    bool makeTexture();
    void pump(double deadline);
    bool waitForEvent(double deadline, SDL_Event& event);
    void handleEvent(const SDL_Event& event);
    // SdlKeys.cpp: Ctrl+Q quits, F11 toggles full screen, other keys go to the window.
    void handleKey(const SDL_KeyboardEvent& key);
    void toggleFullScreen();
    void present();
    void uploadRedrawnAreas();

    SdlVideo m_video;
    ScreenFit m_fit;
    std::shared_ptr<ui::Window> m_window;
    SdlWindow m_sdlWindow;
    SdlRenderer m_renderer;
    SdlTexture m_texture;
    std::unique_ptr<SdlInput> m_input;
    Application m_application;
    bool m_quitting = false;
    bool m_terminated = false;
    bool m_launched = false;
    bool m_needsPresent = true;
    // The window's frame before a full screen the host made itself (no window manager to ask).
    std::optional<SDL_Rect> m_windowedFrame;
    std::string m_settingsFile; // where the frame is remembered; "" for nowhere
    long long m_frames = 0;
};

} // namespace host
