#pragma once
// Makes photo thumbnails away from the main thread. The main thread asks for thumbnails by index
// and path and collects the finished ones (takeFinished) from a run-loop timer; worker threads
// only decode and scale, never touching a toolkit object. The newest request is served first, so
// the cells just scrolled into view fill before the ones that scrolled past; keepOnly drops the
// requests the screen no longer needs. In Synchronous mode (tests) each request is made at once
// on the calling thread, so results are deterministic.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Graphics/Image.h"

namespace ui {

class ThumbnailLoader {
public:
    enum class Mode { Background, Synchronous };
    struct Finished {
        int index = 0;
        gfx::ImageRef image; // nullptr: the file cannot be shown, and `error` says why
        std::string error;   // logged by the main thread (the log is not thread-safe)
    };

    ThumbnailLoader(int sidePixels, Mode mode);
    // Waits for the thumbnails being made (each is short) and stops the workers.
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    void request(int index, std::string path);
    // Drops waiting requests whose index lies outside first..last.
    void keepOnly(int first, int last);
    std::vector<Finished> takeFinished();
    // Requests waiting or being made.
    int pendingCount() const;

private:
    struct Request {
        int index;
        std::string path;
    };
    void work();
    Finished make(const Request& request) const;

    int m_side;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Request> m_waiting; // newest at the back
    std::vector<Finished> m_finished;
    int m_busy = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace ui
