#pragma once
// One move-only owner per SDL handle, plus the video subsystem itself.
#include <SDL.h>
#include <memory>

namespace host {

struct SdlWindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct SdlRendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct SdlTextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
using SdlWindow = std::unique_ptr<SDL_Window, SdlWindowDeleter>;
using SdlRenderer = std::unique_ptr<SDL_Renderer, SdlRendererDeleter>;
using SdlTexture = std::unique_ptr<SDL_Texture, SdlTextureDeleter>;

// SDL's video (and events) for the object's lifetime; check ok() after constructing.
class SdlVideo {
public:
    SdlVideo() : m_ok(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {}
    ~SdlVideo()
    {
        if (m_ok)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SdlVideo(SdlVideo&& other) noexcept : m_ok(other.m_ok) { other.m_ok = false; }
    SdlVideo& operator=(SdlVideo&&) = delete;
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

} // namespace host
