#include "FullSizeExport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "Canvas.h"
#include "Foundation/FileOps.h"
#include "ImageIO/PngRowWriter.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "RawImage.h"

namespace {

constexpr int kMinBandRows = 64;
constexpr int kBandsPerThread = 3; // enough for both threads to stay busy to the end
constexpr int kMaxBandRows = 512;  // a band's canvas layers stay a few times its rows
constexpr auto kProgressWait = std::chrono::milliseconds(50);

// Bands replayed by workers and written in order by the calling thread.
class BandedPngWriter {
public:
    BandedPngWriter(const Journal& journal, std::shared_ptr<const RawImage> photo, double scale,
                    const BandedReplayOptions& options)
        : m_journal(journal)
        , m_photo(std::move(photo))
        , m_scale(scale)
        , m_options(options)
        , m_bounds(ReplayBounds(journal, scale))
        , m_plans(std::make_shared<AutoPaintPlans>(options.paintedPhoto))
    {
        const int threads = std::max(1, options.threads);
        int rows = options.bandRows > 0
                       ? options.bandRows
                       : std::clamp(m_bounds.height / (threads * kBandsPerThread), kMinBandRows, kMaxBandRows);
        m_bandRows = std::clamp(rows, 1, m_bounds.height);
        m_bands = (m_bounds.height + m_bandRows - 1) / m_bandRows;
        m_threads = std::min(threads, m_bands);
    }

    // Writes the PNG through `write`; false when it failed (failure() says why unless the sink
    // refused bytes) or was cancelled (cancelled()).
    bool produce(const fnd::ChunkWriter& write);
    bool cancelled() const { return m_cancelled; }
    bool sinkFailed() const { return m_sinkFailed; }
    const std::optional<fnd::Error>& failure() const { return m_failure; }
    BandedReplayResult result() const { return m_result; }

private:
    void work();
    fnd::Result<gfx::ImageRef> replayBand(int band);
    bool writeBands(imageio::PngRowWriter& png);
    void stop(std::optional<fnd::Error> failure)
    {
        std::lock_guard lock(m_mutex);
        if (failure && !m_failure)
            m_failure = std::move(failure);
        m_stop = true;
        m_changed.notify_all();
    }
    double fractionDone() const
    {
        const double total = std::max<double>(1, static_cast<double>(m_journal.strokeCount())) * m_bands;
        return std::min(1.0, static_cast<double>(m_strokesDone.load(std::memory_order_relaxed)) / total);
    }
    bool report() { return !m_options.onProgress || m_options.onProgress(fractionDone()); }

    const Journal& m_journal;
    std::shared_ptr<const RawImage> m_photo;
    double m_scale;
    const BandedReplayOptions& m_options;
    gfx::IntRect m_bounds;
    std::shared_ptr<AutoPaintPlans> m_plans; // planned by the first band to need them, shared by all
    int m_bandRows = 1, m_bands = 1, m_threads = 1;
    BandedReplayResult m_result;
    bool m_cancelled = false;
    bool m_sinkFailed = false; // the file refused bytes: its own error says why
    std::atomic<std::uint64_t> m_strokesDone{0};
    // Shared with the workers, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_nextBand = 0, m_bandsWritten = 0;
    std::map<int, gfx::ImageRef> m_ready;
    bool m_stop = false;
    std::optional<fnd::Error> m_failure;
};

fnd::Result<gfx::ImageRef> BandedPngWriter::replayBand(int band)
{
    const int top = band * m_bandRows;
    ReplayOptions replay;
    replay.scale = m_scale;
    replay.tile = gfx::IntRect{0, top, m_bounds.width, std::min(m_bandRows, m_bounds.height - top)};
    replay.frameEveryStrokes = 4;
    replay.autoPaintPlans = m_plans;
    std::uint64_t counted = 0;
    replay.onFrame = [&](const Canvas&, std::uint64_t done) {
        m_strokesDone.fetch_add(done - counted, std::memory_order_relaxed);
        counted = done;
        std::lock_guard lock(m_mutex);
        return !m_stop;
    };
    auto replayed = ReplayJournal(m_journal, m_photo, replay);
    if (!replayed)
        return fnd::Error{replayed.error()};
    if (replayed->cancelled)
        return gfx::ImageRef{};
    if (band == 0) {
        std::lock_guard lock(m_mutex);
        m_result.exact = replayed->exact;
        m_result.notes = replayed->notes;
    }
    const Canvas& canvas = *replayed->canvas;
    gfx::ImageRef image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    if (!image || image->width() != m_bounds.width || image->height() != replay.tile->height)
        return fnd::outOfMemory("cannot composite a band of the painting");
    return image;
}

// A worker: takes the next band while the writer is not too far behind, replays it, hands it over.
void BandedPngWriter::work()
{
    for (;;) {
        int band = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(
                lock, [&] { return m_stop || m_nextBand >= m_bands || m_nextBand < m_bandsWritten + 2 * m_threads; });
            if (m_stop || m_nextBand >= m_bands)
                return;
            band = m_nextBand++;
        }
        fnd::Result<gfx::ImageRef> image = fnd::Error{"out of memory"};
        try {
            image = replayBand(band);
        } catch (const std::bad_alloc&) {
        }
        if (!image) {
            stop(fnd::Error{image.error()});
            return;
        }
        if (!image.value())
            return; // stopped
        std::lock_guard lock(m_mutex);
        m_ready.emplace(band, std::move(image).value());
        m_changed.notify_all();
    }
}

// Writes the bands in order as they come; false when stopped.
bool BandedPngWriter::writeBands(imageio::PngRowWriter& png)
{
    for (int band = 0; band < m_bands; ++band) {
        gfx::ImageRef image;
        for (;;) {
            if (!report()) {
                m_cancelled = true;
                stop(std::nullopt);
                return false;
            }
            std::unique_lock lock(m_mutex);
            if (m_stop)
                return false;
            if (auto found = m_ready.find(band); found != m_ready.end()) {
                image = std::move(found->second);
                m_ready.erase(found);
                break;
            }
            m_changed.wait_for(lock, kProgressWait);
        }
        const bool premultiplied = image->alpha() == gfx::Image::Alpha::Premultiplied;
        if (auto written =
                png.writeRows({image->data(), image->width(), image->height(), image->bytesPerRow(), premultiplied});
            !written) {
            stop(fnd::Error{written.error()});
            return false;
        }
        std::lock_guard lock(m_mutex);
        ++m_bandsWritten;
        m_changed.notify_all();
    }
    return true;
}

bool BandedPngWriter::produce(const fnd::ChunkWriter& write)
{
    m_result.width = m_bounds.width;
    m_result.height = m_bounds.height;
    auto sink = [this, &write](const std::uint8_t* data, std::size_t size) {
        m_sinkFailed = m_sinkFailed || !write(data, size);
        return !m_sinkFailed;
    };
    auto png = imageio::PngRowWriter::start(m_bounds.width, m_bounds.height, sink);
    if (!png) {
        m_failure = fnd::Error{png.error()};
        return false;
    }
    // The workers replay; the calling thread writes what they finish.
    std::vector<std::thread> workers;
    try {
        for (int i = 0; i < m_threads; ++i)
            workers.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // Fewer threads share the bands.
    }
    if (workers.empty()) {
        m_failure = fnd::Error{"no thread could be started for the replay"};
        return false;
    }
    const bool written = writeBands(png.value());
    if (!written)
        stop(std::nullopt);
    for (std::thread& worker : workers)
        worker.join();
    if (!written)
        return false;
    if (auto finished = png->finish(); !finished) {
        m_failure = fnd::Error{finished.error()};
        return false;
    }
    report();
    return true;
}

} // namespace

bool CanExportFullSize(const Journal* journal, bool hasFullSizePhoto)
{
    if (!journal)
        return false;
    switch (journal->origin()) {
    case Journal::Origin::kBlank: return true;
    case Journal::Origin::kPhoto: return hasFullSizePhoto;
    case Journal::Origin::kPixels: return false;
    }
    return false;
}

double FullSizeScale(const Journal& journal, const RawImage* fullSizePhoto)
{
    if (!fullSizePhoto)
        return kBlankFullSizeScale;
    const double photo = std::max(fullSizePhoto->width(), fullSizePhoto->height());
    const double canvas = std::max(journal.width(), journal.height());
    return std::max(1.0, photo / canvas);
}

fnd::Result<BandedReplayResult> WriteReplayPng(const Journal& journal, std::shared_ptr<const RawImage> photo,
                                               double scale, const std::string& path,
                                               const BandedReplayOptions& options)
{
    BandedPngWriter writer(journal, std::move(photo), scale, options);
    auto pending = fnd::PendingFile::write(path, [&](const fnd::ChunkWriter& write) { return writer.produce(write); });
    if (writer.cancelled()) {
        BandedReplayResult result;
        result.cancelled = true;
        return result;
    }
    // The encoder's or the replay's reason, unless the file itself refused the bytes.
    if (!pending)
        return writer.failure() && !writer.sinkFailed() ? *writer.failure() : pending.failure();
    if (auto committed = pending->commit(); !committed)
        return committed.failure();
    return writer.result();
}

fnd::Result<BandedReplayResult> WriteFullSizePng(const Journal& journal, const FullSizePhotoLoader& loader,
                                                 const std::string& path, const BandedReplayOptions& options)
{
    if (!CanExportFullSize(&journal, static_cast<bool>(loader)))
        return fnd::Error{"this painting has no full-size picture: it was begun before paintings kept how they "
                          "were made, or its photo was not kept at its full size"};
    std::shared_ptr<const RawImage> photo;
    if (journal.origin() == Journal::Origin::kPhoto) {
        auto loaded = loader();
        if (!loaded)
            return fnd::Error{loaded.error()};
        photo = std::move(loaded).value();
    }
    return WriteReplayPng(journal, photo, FullSizeScale(journal, photo.get()), path, options);
}
