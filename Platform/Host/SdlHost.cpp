#include "Host/SdlHost.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "Foundation/Clock.h"
#include "Foundation/Log.h"
#include "Foundation/RunLoop.h"
#include "Host/DisplayCheck.h"
#include "Toolkit/Animation.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/Window.h"

namespace host {

namespace {
constexpr double kFrameSeconds = 1.0 / 60; // frame pacing while animations run
constexpr double kRunSliceSeconds = 0.25;  // run() checks for quitting at least this often
constexpr double kMaxWaitSeconds = 3600;   // never hand SDL an unbounded wait
constexpr Uint8 kBorderGrey = 0x2b;        // around the screen when the window is larger

std::string sdlError(const std::string& what) { return "SdlHost: " + what + ": " + SDL_GetError(); }

// The work area of the display that holds `point`, else of the first display.
SDL_Rect workAreaAround(const std::optional<SDL_Point>& point)
{
    int display = 0;
    for (int i = 0; point && i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&*point, &bounds)) {
            display = i;
            break;
        }
    }
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) // unknown: room for the phone at 1
        usable = {0, 0, static_cast<int>(kScreenWidthPoints),
                  static_cast<int>(kScreenHeightPoints) + kTitleBarAllowance};
    return usable;
}
} // namespace

std::unique_ptr<SdlHost> SdlHost::create(const std::string& title, double scale, const std::string& settingsFile)
{
    const DisplayEnvironment environment = currentDisplayEnvironment();
    if (lacksDisplay(environment)) {
        fnd::log(noDisplayMessage());
        return nullptr;
    }
    SdlVideo video;
    if (!video.ok()) {
        fnd::log(sdlError("cannot start SDL video"));
        return nullptr;
    }
    if (fellBackToInvisibleDriver(environment, SDL_GetCurrentVideoDriver())) {
        fnd::log(noDisplayMessage());
        return nullptr;
    }
    WindowFrame frame{static_cast<int>(std::lround(kScreenWidthPoints * scale)),
                      static_cast<int>(std::lround(kScreenHeightPoints * scale)), std::nullopt};
    if (scale <= 0) {
        const std::optional<WindowFrame> remembered =
            settingsFile.empty() ? std::nullopt : loadWindowFrame(settingsFile);
        frame = openingFrame(remembered, workAreaAround(remembered ? remembered->position : std::nullopt));
    }
    auto host = std::make_unique<SdlHost>(Token{}, std::move(video));
    if (!host->openWindow(title, frame))
        return nullptr;
    host->m_settingsFile = settingsFile;
    return host;
}

SdlHost::SdlHost(Token, SdlVideo video)
    : m_video(std::move(video))
    , m_window(std::make_shared<ui::Window>(gfx::Rect(0, 0, kScreenWidthPoints, kScreenHeightPoints)))
{
    m_input = std::make_unique<SdlInput>(*m_window);
}

double SdlHost::scale() const { return m_window->scale(); }

SdlHost::~SdlHost()
{
    terminate();
    ui::Animator::shared().stopAll();
    fnd::RunLoop::main().setSource(nullptr);
    fnd::RunLoop::main().removeAllTimers();
}

// Made hidden and shown once everything is in place; a window asked for without OpenGL and then
// given an OpenGL renderer would be destroyed and made again (a flash on the desktop).
bool SdlHost::openWindow(const std::string& title, const WindowFrame& frame)
{
    const bool gpu = hasGpuRenderNode();
    if (!gpu) // SDL would otherwise show the window's surface through an OpenGL texture
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const Uint32 flags =
        SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | (gpu ? SDL_WINDOW_OPENGL : 0);
    const int x = frame.position ? frame.position->x : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int y = frame.position ? frame.position->y : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    m_sdlWindow.reset(SDL_CreateWindow(title.c_str(), x, y, frame.width, frame.height, flags));
    if (!m_sdlWindow) {
        fnd::log(sdlError("cannot open a window"));
        return false;
    }
    SDL_SetWindowMinimumSize(m_sdlWindow.get(), static_cast<int>(kScreenWidthPoints / 2),
                             static_cast<int>(kScreenHeightPoints / 2));
    if (gpu)
        m_renderer.reset(SDL_CreateRenderer(m_sdlWindow.get(), -1, SDL_RENDERER_ACCELERATED));
    if (!m_renderer)
        m_renderer.reset(SDL_CreateRenderer(m_sdlWindow.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!m_renderer) {
        fnd::log(sdlError("cannot draw into the window"));
        return false;
    }
    if (!fitToWindow())
        return false;
    SDL_ShowWindow(m_sdlWindow.get());
    return true;
}

// The window's size and frame position as the settings file keeps them; nothing is written while
// the window is maximised or covers the screen (the size to come back to is not known then).
void SdlHost::rememberFrame() const
{
    SDL_Window* window = m_sdlWindow.get();
    const Uint32 flags = SDL_GetWindowFlags(window);
    WindowFrame frame;
    if (m_windowedFrame) {
        frame = {m_windowedFrame->w, m_windowedFrame->h, SDL_Point{m_windowedFrame->x, m_windowedFrame->y}};
    } else if ((flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED)) == 0) {
        SDL_GetWindowSize(window, &frame.width, &frame.height);
        SDL_Point place{};
        SDL_GetWindowPosition(window, &place.x, &place.y);
        frame.position = place;
    } else {
        return;
    }
    // Wayland neither tells nor takes a window's place.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::string(driver) != "x11")
        frame.position.reset();
    int top = 0, left = 0;
    if (frame.position && !m_windowedFrame && SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) == 0) {
        frame.position->x -= left; // a window is placed by its frame's corner
        frame.position->y -= top;
    }
    if (auto saved = saveWindowFrame(m_settingsFile, frame); !saved)
        fnd::log("SdlHost: cannot remember the window's size: " + saved.error());
}

// Fits the screen to the window's current pixels: a new scale remakes the backing store and the
// texture and redraws everything at that scale (sharp text and images, no stretched bitmap); a
// new size at the same scale only moves the screen.
bool SdlHost::fitToWindow()
{
    int w = 0, h = 0, pw = 0, ph = 0;
    SDL_GetWindowSize(m_sdlWindow.get(), &w, &h);
    if (SDL_GetRendererOutputSize(m_renderer.get(), &pw, &ph) != 0) {
        pw = w;
        ph = h;
    }
    ScreenFit fit = fitScreen(pw, ph, m_window->bounds().size);
    const bool rescale = !m_texture || fit.scale != m_window->scale() || !m_window->backingStore();
    if (rescale) {
        const double previous = m_window->scale();
        if (!m_window->setScale(fit.scale))
            return false;
        if (!makeTexture()) {
            // Back to what was shown before, so the store and the texture keep matching.
            if (m_window->setScale(previous))
                makeTexture();
            return false;
        }
        ui::setScreenScale(fit.scale);
    }
    m_fit = fit;
    m_input->setGeometry(w, h, pw, ph, m_fit);
    m_needsPresent = true;
    return true;
}

bool SdlHost::makeTexture()
{
    const gfx::BitmapContext& store = *m_window->backingStore();
    // The backing store's words are 0xAARRGGBB in native byte order: SDL's ARGB8888.
    m_texture.reset(SDL_CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      store.width(), store.height()));
    if (!m_texture) {
        fnd::log(sdlError("cannot make the window's texture"));
        return false;
    }
    SDL_SetTextureBlendMode(m_texture.get(), SDL_BLENDMODE_NONE);
    return true;
}

void SdlHost::launch(const Application& application)
{
    if (m_launched)
        return;
    m_launched = true;
    m_application = application;
    fnd::RunLoop::main().setSource([this](double deadline) { pump(deadline); });
    m_window->makeKeyAndVisible();
    if (m_application.didFinishLaunching)
        m_application.didFinishLaunching(*m_window);
    present();
}

int SdlHost::run(const Application& application)
{
    launch(application);
    while (!m_quitting)
        fnd::RunLoop::main().runFor(kRunSliceSeconds);
    terminate();
    return m_application.exitStatus ? m_application.exitStatus() : 0;
}

void SdlHost::runOnce() { fnd::RunLoop::main().runOnce(); }

void SdlHost::quit() { m_quitting = true; }

void SdlHost::requestQuit()
{
    if (m_quitting)
        return;
    const Uint32 flags = SDL_GetWindowFlags(m_sdlWindow.get());
    const bool canAsk = (flags & SDL_WINDOW_SHOWN) != 0 && (flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) == 0;
    // The application may answer later (after asking the person); the host outlives its run loop.
    if (!m_application.shouldTerminate || m_application.shouldTerminate(canAsk, [this] { quit(); }))
        quit();
}

void SdlHost::terminate()
{
    if (m_terminated || !m_launched)
        return;
    m_terminated = true;
    if (!m_settingsFile.empty())
        rememberFrame();
    m_input->cancelAll(fnd::clock().now());
    if (m_application.willTerminate)
        m_application.willTerminate();
}

// The run loop's source: handles what input is pending, draws, then sleeps in SDL until input
// arrives, the next timer is due or (while animating) the next frame.
void SdlHost::pump(double deadline)
{
    SDL_Event event;
    while (!m_quitting && SDL_PollEvent(&event))
        handleEvent(event);
    present();
    if (m_quitting) {
        // Nothing more to do: let the current run slice end without spinning.
        fnd::clock().waitUntil(deadline);
        return;
    }
    if (m_window->hasRunningAnimations())
        deadline = std::min(deadline, fnd::clock().now() + kFrameSeconds);
    if (!waitForEvent(deadline, event))
        return;
    handleEvent(event);
    while (!m_quitting && SDL_PollEvent(&event))
        handleEvent(event);
    present();
}

bool SdlHost::waitForEvent(double deadline, SDL_Event& event)
{
    double seconds = std::clamp(deadline - fnd::clock().now(), 0.0, kMaxWaitSeconds);
    if (std::isnan(seconds))
        seconds = 0;
    int milliseconds = static_cast<int>(std::ceil(seconds * 1000));
    if (milliseconds == 0)
        return false;
    return SDL_WaitEventTimeout(&event, milliseconds) == 1;
}

void SdlHost::handleEvent(const SDL_Event& event)
{
    if (event.type == SDL_QUIT) {
        requestQuit();
        return;
    }
    if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: requestQuit(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: m_input->cancelAll(fnd::clock().now()); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_DISPLAY_CHANGED: // another monitor may have another pixel density
            if (!fitToWindow())
                fnd::log("SdlHost: cannot redraw at the new window size; keeping the previous scale");
            break;
        case SDL_WINDOWEVENT_EXPOSED: m_needsPresent = true; break;
        default: break;
        }
        return;
    }
    if (event.type == SDL_DROPFILE) {
        // SDL hands over the file name, which we must free.
        std::unique_ptr<char, decltype(&SDL_free)> file(event.drop.file, SDL_free);
        if (file && !ui::deliverFileDrop(*m_window, file.get()))
            fnd::log(std::string("Nothing here takes the dropped file ") + file.get());
        return;
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        handleKey(event.key);
        return;
    }
    m_input->handle(event, fnd::clock().now());
}

// Uploads the redrawn pixel rectangles of the backing store and shows the whole texture on the
// border colour (the renderer's back buffer holds nothing useful after a present, the texture
// holds everything).
void SdlHost::present()
{
    if (m_window->needsDisplay())
        uploadRedrawnAreas();
    if (!m_needsPresent)
        return;
    m_needsPresent = false;
    SDL_SetRenderDrawColor(m_renderer.get(), kBorderGrey, kBorderGrey, kBorderGrey, 255);
    SDL_RenderClear(m_renderer.get());
    const SDL_Rect screen{m_fit.originX, m_fit.originY, m_fit.pixelWidth, m_fit.pixelHeight};
    SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, &screen);
    SDL_RenderPresent(m_renderer.get());
    ++m_frames;
}

void SdlHost::uploadRedrawnAreas()
{
    const std::vector<gfx::IntRect>& drawn = m_window->display();
    if (drawn.empty())
        return;
    const gfx::BitmapContext& store = *m_window->backingStore();
    const std::uint8_t* pixels = store.constData();
    const int stride = store.bytesPerRow();
    for (const gfx::IntRect& r : drawn) {
        SDL_Rect rect{r.x, r.y, r.width, r.height};
        const std::uint8_t* first =
            pixels + static_cast<std::ptrdiff_t>(r.y) * stride + static_cast<std::ptrdiff_t>(r.x) * 4;
        if (SDL_UpdateTexture(m_texture.get(), &rect, first, stride) != 0)
            fnd::log(sdlError("cannot upload a redrawn area"));
    }
    m_needsPresent = true;
}

} // namespace host
