#include "Toolkit/ThumbnailLoader.h"

#include <algorithm>
#include <utility>

#include "Toolkit/PhotoLibrary.h"

namespace ui {
namespace {

// Decoding is CPU-bound; more workers than cores only make them wait for each other.
unsigned workerCount() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

} // namespace

ThumbnailLoader::ThumbnailLoader(int sidePixels, Mode mode) : m_side(sidePixels)
{
    if (mode == Mode::Background)
        for (unsigned i = 0; i < workerCount(); ++i)
            m_workers.emplace_back([this] { work(); });
}

ThumbnailLoader::~ThumbnailLoader()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
    }
    m_wake.notify_all();
    for (auto& worker : m_workers)
        worker.join();
}

void ThumbnailLoader::request(int index, std::string path)
{
    Request request{index, std::move(path)};
    if (m_workers.empty()) {
        Finished finished = make(request);
        std::lock_guard lock(m_mutex);
        m_finished.push_back(std::move(finished));
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_waiting.push_back(std::move(request));
    }
    m_wake.notify_one();
}

void ThumbnailLoader::keepOnly(int first, int last)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_waiting, [&](const Request& r) { return r.index < first || r.index > last; });
}

std::vector<ThumbnailLoader::Finished> ThumbnailLoader::takeFinished()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_finished, {});
}

int ThumbnailLoader::pendingCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_waiting.size()) + m_busy;
}

void ThumbnailLoader::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        Request request = std::move(m_waiting.back());
        m_waiting.pop_back();
        ++m_busy;
        lock.unlock();
        Finished finished = make(request);
        lock.lock();
        --m_busy;
        m_finished.push_back(std::move(finished));
    }
}

ThumbnailLoader::Finished ThumbnailLoader::make(const Request& request) const
{
    auto thumbnail = makePhotoThumbnail(request.path, m_side);
    if (!thumbnail)
        return {request.index, nullptr, thumbnail.error()};
    return {request.index, thumbnail.value(), {}};
}

} // namespace ui
