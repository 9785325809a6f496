#include "TimeLapse.h"

#include <algorithm>
#include <optional>

#include "Canvas.h"
#include "Graphics/BitmapContext.h"
#include "ImageIO/VideoWriter.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "OutlineView.h"
#include "RawImage.h"

namespace {

constexpr int kFirstFrames = 15;   // the finished painting: half a second
constexpr int kFadeFrames = 30;    // the photo fading into its blueprint: one second
constexpr int kOverlayFrames = 30; // the blueprint fading away over the first strokes
constexpr int kEndFrames = 2 * kTimeLapseFramesPerSecond;
constexpr double kFirstReplayShare = 0.2; // of the progress: the replay for the finished painting
// An automatic painting's share of the video, shown coarse to fine as the screen showed it; all
// of them together take at most this part of the strokes' frames when a person painted too.
constexpr int kAutoPaintFrames = 4 * kTimeLapseFramesPerSecond;
constexpr double kAutoPaintMostShare = 2.0 / 3;

// The paper in force before the first stroke, as the painter first saw it.
struct Paper {
    gfx::Color color = gfx::Color::white();
    std::optional<std::string> texture;
};

Paper startingPaper(const Journal& journal)
{
    Paper paper;
    Journal::Reader reader(journal.events());
    Journal::Event e;
    while (reader.next(e) && e.tag != Journal::Tag::kBegin)
        if (e.tag == Journal::Tag::kPaper) {
            paper.color = e.color;
            paper.texture = e.texture;
        }
    return paper;
}

class TimeLapseMaker {
public:
    TimeLapseMaker(const Journal& journal, std::shared_ptr<const RawImage> raw, const TimeLapseOptions& options)
        : m_journal(journal)
        , m_raw(std::move(raw))
        , m_options(options)
        , m_replayScale(static_cast<double>(options.longSide) / std::max(journal.width(), journal.height()))
        , m_bounds(ReplayBounds(journal, m_replayScale))
        , m_plans(std::make_shared<AutoPaintPlans>())
    {
    }

    fnd::Result<TimeLapseResult> run(const std::string& path);

private:
    bool report(double fraction) { return !m_options.onProgress || m_options.onProgress(fraction); }
    bool reportFrames() { return report(kFirstReplayShare + (1 - kFirstReplayShare) * m_written / m_total); }
    // The ratio the replay scales lengths by (its width over the painting's), for the paper.
    double lengthScale() const { return static_cast<double>(m_bounds.width) / m_journal.width(); }
    fnd::Result<gfx::ImageRef> finishedPainting();
    fnd::Status makeBlueprint();
    fnd::Status addImage(const gfx::Image& image, int times, const gfx::BitmapContext* overlay, double overlayAlpha);
    fnd::Status addOpening();
    fnd::Result<bool> addStrokes();
    bool showUntil(const Canvas& canvas, double due, int first);

    const Journal& m_journal;
    std::shared_ptr<const RawImage> m_raw;
    const TimeLapseOptions& m_options;
    double m_replayScale; // asked of the replays, which make it m_bounds
    gfx::IntRect m_bounds;
    std::optional<imageio::VideoWriter> m_writer;
    std::unique_ptr<gfx::BitmapContext> m_frame;     // for frames drawn from several pictures
    std::unique_ptr<gfx::BitmapContext> m_outline;   // the blueprint's lines, transparent between
    std::unique_ptr<gfx::BitmapContext> m_blueprint; // the lines on the starting paper
    std::shared_ptr<AutoPaintPlans> m_plans;         // planned once for both replays
    int m_total = 1, m_written = 0, m_strokeFrames = 1;
    std::optional<fnd::Error> m_failure; // while adding the strokes' frames
};

fnd::Result<gfx::ImageRef> TimeLapseMaker::finishedPainting()
{
    ReplayOptions replay;
    replay.scale = m_replayScale;
    replay.autoPaintPlans = m_plans;
    replay.frameEveryStrokes = 16;
    const double strokes = std::max<double>(1, static_cast<double>(m_journal.strokeCount()));
    replay.onFrame = [&](const Canvas&, std::uint64_t done) { return report(kFirstReplayShare * done / strokes); };
    auto replayed = ReplayJournal(m_journal, m_raw, replay);
    if (!replayed)
        return fnd::Error{replayed.error()};
    if (replayed->cancelled)
        return gfx::ImageRef{};
    const Canvas& canvas = *replayed->canvas;
    gfx::ImageRef image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    if (!image)
        return fnd::Error{"out of memory for a frame"};
    return image;
}

// The photo's edge sketch in the overlay's blue, alone and on the starting paper.
fnd::Status TimeLapseMaker::makeBlueprint()
{
    const gfx::Rect frame(0, 0, m_bounds.width, m_bounds.height);
    auto overlay = OutlineView::initWithFrame(frame, m_raw.get());
    auto paperCanvas = Canvas::initWithSize(m_bounds.width, m_bounds.height);
    m_outline = gfx::BitmapContext::create(m_bounds.width, m_bounds.height);
    m_blueprint = gfx::BitmapContext::create(m_bounds.width, m_bounds.height);
    if (!overlay || !paperCanvas || !m_outline || !m_blueprint)
        return fnd::Error{"the blueprint could not be made"};
    overlay->drawRect(*m_outline, frame);
    const Paper paper = startingPaper(m_journal);
    paperCanvas->setTextureTiling(lengthScale(), {0, 0});
    paperCanvas->setBackgroundColor(paper.color);
    paperCanvas->setTextureName(paper.texture);
    gfx::ImageRef paperImage = paperCanvas->createThumbnail(std::max(m_bounds.width, m_bounds.height));
    if (!paperImage)
        return fnd::Error{"out of memory for the paper"};
    m_blueprint->drawImage(frame, *paperImage);
    m_blueprint->drawBitmap(frame, *m_outline);
    return fnd::Status{};
}

fnd::Status TimeLapseMaker::addImage(const gfx::Image& image, int times, const gfx::BitmapContext* overlay,
                                     double overlayAlpha)
{
    const std::uint8_t* pixels = image.data();
    int bytesPerRow = image.bytesPerRow();
    std::optional<gfx::BitmapContext::PixelAccess> access;
    if (overlay && overlayAlpha > 0) { // drawn into the frame, at the frame's size
        gfx::GStateSaver saver(*m_frame);
        m_frame->drawImage(m_frame->bounds(), image);
        m_frame->setAlpha(overlayAlpha);
        m_frame->drawBitmap(m_frame->bounds(), *overlay);
        access.emplace(*m_frame);
        pixels = access->data();
        bytesPerRow = access->bytesPerRow();
    } else if (image.width() != m_bounds.width || image.height() != m_bounds.height) {
        return fnd::Error{"a frame came out of the wrong size"}; // the writer would read past it
    }
    for (int i = 0; i < times; ++i, ++m_written)
        if (auto added = m_writer->addFrame(pixels, bytesPerRow); !added)
            return added;
    return fnd::Status{};
}

fnd::Status TimeLapseMaker::addOpening()
{
    if (auto made = makeBlueprint(); !made)
        return made;
    gfx::ImageRef photo = m_raw->createCompatibleImage();
    if (!photo)
        return fnd::Error{"the photo could not be drawn"};
    for (int i = 1; i <= kFadeFrames && reportFrames(); ++i) {
        // Photo below, blueprint fading in over it.
        if (auto added = addImage(*photo, 1, m_blueprint.get(), static_cast<double>(i) / kFadeFrames); !added)
            return added;
    }
    return fnd::Status{};
}

// Frames of `canvas` until the strokes' part of the video stands at frame `due` (counted from
// `first`); false when a frame fails (m_failure) or the export is cancelled.
bool TimeLapseMaker::showUntil(const Canvas& canvas, double due, int first)
{
    const int owed = std::min(m_strokeFrames, static_cast<int>(due)) - (m_written - first);
    if (owed <= 0)
        return true;
    gfx::ImageRef image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    if (!image) {
        m_failure = fnd::Error{"out of memory for a frame"};
        return false;
    }
    for (int i = 0; i < owed; ++i) {
        const int n = m_written - first;
        const double overlayAlpha = m_outline && n < kOverlayFrames ? 1.0 - (n + 1.0) / kOverlayFrames : 0;
        if (auto added = addImage(*image, 1, m_outline.get(), overlayAlpha); !added) {
            m_failure = fnd::Error{added.error()};
            return false;
        }
        if (!reportFrames())
            return false;
    }
    return true;
}

// The strokes kept, spread evenly over the frames they are given, and each automatic painting
// over a share of its own, paced as the screen paced it; false when cancelled.
fnd::Result<bool> TimeLapseMaker::addStrokes()
{
    ReplayOptions replay;
    replay.scale = m_replayScale;
    replay.autoPaintPlans = m_plans;
    TakenBack takenBack = WhatWasTakenBack(m_journal);
    replay.leaveOut = std::move(takenBack.strokes);
    replay.leaveOutAutoPaintings = std::move(takenBack.autoPaintings);
    const auto kept = static_cast<std::uint64_t>(std::count(replay.leaveOut.begin(), replay.leaveOut.end(), false));
    // Each automatic painting kept: how many kept before it.
    std::vector<int> autosBefore;
    int autosKept = 0;
    for (bool left : replay.leaveOutAutoPaintings) {
        autosBefore.push_back(autosKept);
        autosKept += left ? 0 : 1;
    }
    const double autoFrames =
        autosKept == 0 ? 0
        : kept == 0    ? m_strokeFrames
                       : std::min<double>(autosKept * kAutoPaintFrames, m_strokeFrames * kAutoPaintMostShare);
    const double strokeFrames = m_strokeFrames - autoFrames, framesPerAuto = autoFrames / std::max(1, autosKept);
    // Where the video should stand after so many of the strokes kept and of the automatic paintings.
    std::uint64_t strokesDone = 0;
    double autosDone = 0;
    auto due = [&] {
        const double strokePart = kept == 0 || strokesDone >= kept ? strokeFrames : strokesDone * strokeFrames / kept;
        return strokePart + autosDone * framesPerAuto;
    };
    const int first = m_written;
    replay.frameEveryStrokes = 1;
    replay.onFrame = [&](const Canvas& canvas, std::uint64_t done) {
        strokesDone = done;
        return showUntil(canvas, due(), first);
    };
    replay.onAutoPaintStroke = [&](const Canvas& canvas, int index, double fraction) {
        const auto i = static_cast<std::size_t>(index);
        autosDone = (i < autosBefore.size() ? autosBefore[i] : autosKept) + fraction;
        return showUntil(canvas, due(), first);
    };
    auto replayed = ReplayJournal(m_journal, m_raw, replay);
    if (!replayed)
        return fnd::Error{replayed.error()};
    if (m_failure)
        return *m_failure;
    if (replayed->cancelled)
        return false;
    // Frames still owed (an automatic painting that could not be planned again) show the end.
    if (!showUntil(*replayed->canvas, m_strokeFrames, first)) {
        if (m_failure)
            return *m_failure;
        return false;
    }
    return true;
}

fnd::Result<TimeLapseResult> TimeLapseMaker::run(const std::string& path)
{
    if (m_options.seconds < 5 || m_options.seconds > 600 || m_options.longSide < 16)
        return fnd::Error{"a time-lapse lasts 5 to 600 seconds"};
    TimeLapseResult result;
    auto finished = finishedPainting();
    if (!finished)
        return fnd::Error{finished.error()};
    result.cancelled = !finished.value();
    if (result.cancelled)
        return result;
    auto writer = imageio::VideoWriter::open(path, m_bounds.width, m_bounds.height, kTimeLapseFramesPerSecond);
    if (!writer)
        return fnd::Error{writer.error()};
    m_writer.emplace(std::move(writer).value());
    m_frame = gfx::BitmapContext::create(m_bounds.width, m_bounds.height);
    if (!m_frame)
        return fnd::Error{"out of memory for a frame"};
    const bool photo = m_raw && m_journal.origin() == Journal::Origin::kPhoto;
    m_total = m_options.seconds * kTimeLapseFramesPerSecond;
    m_strokeFrames = std::max(1, m_total - kFirstFrames - (photo ? kFadeFrames : 0) - kEndFrames);
    if (auto added = addImage(*finished.value(), kFirstFrames, nullptr, 0); !added)
        return fnd::Error{added.error()};
    if (photo)
        if (auto opened = addOpening(); !opened)
            return fnd::Error{opened.error()};
    auto strokes = addStrokes();
    if (!strokes)
        return fnd::Error{strokes.error()};
    if (!strokes.value() || !reportFrames()) {
        m_writer->cancel();
        result.cancelled = true;
        return result;
    }
    if (auto added = addImage(*finished.value(), kEndFrames, nullptr, 0); !added)
        return fnd::Error{added.error()};
    result.frames = m_writer->frameCount();
    result.width = m_writer->videoWidth();
    result.height = m_writer->videoHeight();
    if (auto done = m_writer->finish(); !done)
        return fnd::Error{done.error()};
    return result;
}

} // namespace

fnd::Result<TimeLapseResult> WriteTimeLapse(const Journal& journal, std::shared_ptr<const RawImage> rawImage,
                                            const std::string& path, const TimeLapseOptions& options)
{
    TimeLapseMaker maker(journal, std::move(rawImage), options);
    return maker.run(path);
}
