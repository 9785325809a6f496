#include "JournalReplay.h"

#include <cmath>
#include <utility>

#include "AutoPaintPlan.h"
#include "AutoPainter.h"
#include "BrushTool.h"
#include "Graphics/BitmapContext.h"
#include "Journal.h"
#include "OutlineView.h"
#include "RawImage.h"

namespace {

// Everything one replay holds while it runs.
class Replayer {
public:
    // With `collect`, the automatic paintings' plans are kept there as they are painted, and the
    // replay ends after the `collectUpTo`th.
    Replayer(const Journal& journal, std::shared_ptr<const RawImage> raw, const ReplayOptions& options,
             ReplayResult& result, std::vector<AutoPaintPlan>* collect = nullptr, int collectUpTo = 0)
        : m_journal(journal)
        , m_raw(std::move(raw))
        , m_options(options)
        , m_result(result)
        , m_full(ReplayBounds(journal, options.scale))
        , m_tile(options.tile.value_or(m_full))
        , m_plans(options.autoPaintPlans)
        , m_collect(collect)
        , m_collectUpTo(collectUpTo)
    {
    }

    fnd::Status run();

private:
    fnd::Status start();
    void checkDigests();
    void apply(const Journal::Event& e);
    void sketch(const gfx::Color& color);
    void extension(const Journal::Event& e);
    void paintAutomatically(const AutoPaintSettings& settings, std::optional<AutoPaintPoint> stop, int index);
    void layAutoPainting(const AutoPaintPlan& plan, int index);
    bool collected() const { return m_collect && static_cast<int>(m_collect->size()) >= m_collectUpTo; }
    gfx::Point scaled(gfx::Point p) const { return {p.x * m_scale, p.y * m_scale}; }
    void note(std::string text)
    {
        m_result.exact = false;
        m_result.notes.push_back(std::move(text));
    }

    const Journal& m_journal;
    std::shared_ptr<const RawImage> m_raw;
    const ReplayOptions& m_options;
    ReplayResult& m_result;
    gfx::IntRect m_full;
    gfx::IntRect m_tile;
    double m_scale = 1;
    std::shared_ptr<Canvas> m_canvas;
    std::unique_ptr<BrushTool> m_brush;
    std::shared_ptr<OutlineView> m_outline; // made at the first sketch
    bool m_stopped = false;
    bool m_leavingOut = false; // inside a stroke left out
    int m_autoPaintings = 0;   // seen so far
    std::shared_ptr<AutoPaintPlans> m_plans;
    std::vector<AutoPaintPlan>* m_collect;
    int m_collectUpTo;
};

fnd::Status Replayer::start()
{
    // The exact ratio of the two sizes, so that scale 1 changes nothing.
    m_scale = static_cast<double>(m_full.width) / m_journal.width();
    if (m_tile.isEmpty() || m_tile.x < 0 || m_tile.y < 0 || m_tile.x + m_tile.width > m_full.width
        || m_tile.y + m_tile.height > m_full.height)
        return fnd::Error{"the tile is not inside the painting"};
    m_canvas = Canvas::initWithSize(m_tile.width, m_tile.height);
    if (!m_canvas)
        return fnd::Error{"out of memory for a canvas of " + std::to_string(m_tile.width) + " x "
                          + std::to_string(m_tile.height)};
    const gfx::Point origin{static_cast<double>(m_tile.x), static_cast<double>(m_tile.y)};
    m_canvas->setTextureTiling(m_scale, origin);
    m_brush = std::make_unique<BrushTool>(m_canvas, m_raw);
    m_brush->setLengthScale(m_scale);
    m_brush->setTile(origin, {static_cast<double>(m_full.width), static_cast<double>(m_full.height)});
    m_brush->setPaintingSeed(m_journal.seed());
    if (m_journal.origin() != Journal::Origin::kPixels)
        return fnd::Status{};
    // A painting begun before journals starts from its pixels then.
    if (m_scale == 1.0 && m_tile == m_full)
        return m_canvas->setPaintingFromPng(m_journal.basePng());
    auto base = Canvas::initWithSize(m_journal.width(), m_journal.height());
    if (!base)
        return fnd::Error{"out of memory for the starting picture"};
    if (auto decoded = base->setPaintingFromPng(m_journal.basePng()); !decoded)
        return decoded;
    if (m_scale != 1.0)
        note("the painting was begun before it was recorded: its start is enlarged from its pixels");
    m_canvas->paintingContext().drawBitmap(gfx::Rect(-origin.x, -origin.y, m_full.width, m_full.height),
                                           base->paintingContext());
    return fnd::Status{};
}

void Replayer::checkDigests()
{
    if (m_journal.engineVersion() != Journal::kEngineVersion)
        note("recorded by engine version " + std::to_string(m_journal.engineVersion()) + ", replayed by version "
             + std::to_string(Journal::kEngineVersion));
    for (const auto& [name, digest] : m_journal.shapeDigests())
        if (Journal::resourceDigest(name) != digest)
            note("the brush shape \"" + name + "\" has changed since it was recorded");
    for (const auto& [name, digest] : m_journal.textureDigests())
        if (Journal::resourceDigest(name) != digest)
            note("the paper texture \"" + name + "\" has changed since it was recorded");
}

void Replayer::sketch(const gfx::Color& color)
{
    if (!m_outline) {
        const gfx::Rect painting(0, 0, m_full.width, m_full.height);
        m_outline = OutlineView::initWithFrame(painting, m_raw.get());
        if (!m_outline) {
            note("the blueprint could not be made for a sketch");
            return;
        }
    }
    gfx::BitmapContext& ctx = m_canvas->curStrokeLayer().context();
    gfx::GStateSaver saver(ctx);
    ctx.translate(-m_tile.x, -m_tile.y);
    m_outline->renderOutlineOnContext(ctx, color);
}

void Replayer::extension(const Journal::Event& e)
{
    AutoPaintSettings settings;
    std::optional<AutoPaintPoint> stop;
    if (e.extensionKind != kAutoPaintJournalKind || !DecodeAutoPaintEvent(e.extension, settings, stop)) {
        note("the journal holds events of a later version (kind " + std::to_string(e.extensionKind) + "), left out");
        return;
    }
    const int index = m_autoPaintings++;
    if (static_cast<std::size_t>(index) < m_options.leaveOutAutoPaintings.size()
        && m_options.leaveOutAutoPaintings[static_cast<std::size_t>(index)]) {
        BeginAutoPainting(*m_canvas);
        return;
    }
    if (!m_raw) {
        note("an automatic painting could not be painted again: the painting has no photo");
        return;
    }
    paintAutomatically(settings, stop, index);
}

// On the replay's canvas when it is the painting as it was (its own size, whole, nothing left
// out); otherwise the strokes planned at the painting's own size are laid at the replay's scale.
void Replayer::paintAutomatically(const AutoPaintSettings& settings, std::optional<AutoPaintPoint> stop, int index)
{
    const bool asPainted =
        m_scale == 1.0 && m_tile == m_full && m_options.leaveOut.empty() && m_options.leaveOutAutoPaintings.empty();
    if (asPainted && !m_options.onAutoPaintStroke) {
        AutoPaintPlan plan;
        if (!PaintAutomatically(*m_canvas, m_raw, settings, stop, m_collect ? &plan : nullptr))
            note("an automatic painting could not be painted again: out of memory");
        else if (m_collect)
            m_collect->push_back(std::move(plan));
        return;
    }
    std::optional<AutoPaintPlan> own;
    const AutoPaintPlan* plan = nullptr;
    if (asPainted) {
        own = PlanAutoPainting(*m_canvas, m_raw, settings, stop);
        plan = own ? &*own : nullptr;
    } else {
        if (!m_plans)
            m_plans = std::make_shared<AutoPaintPlans>();
        plan = m_plans->plan(m_journal, m_raw, static_cast<std::size_t>(index));
    }
    if (!plan || plan->settings != settings) {
        note("an automatic painting could not be planned again: out of memory");
        return;
    }
    layAutoPainting(*plan, index);
}

// Through a brush of its own, as the screen's run kept the hand brush's settings apart.
void Replayer::layAutoPainting(const AutoPaintPlan& plan, int index)
{
    BeginAutoPainting(*m_canvas);
    BrushTool brush(m_canvas, m_raw);
    brush.setLengthScale(m_scale);
    brush.setTile({static_cast<double>(m_tile.x), static_cast<double>(m_tile.y)},
                  {static_cast<double>(m_full.width), static_cast<double>(m_full.height)});
    const auto& report = m_options.onAutoPaintStroke;
    const double total = std::max(1.0, plan.work());
    std::function<bool(double)> afterStroke;
    if (report)
        afterStroke = [&](double work) { return report(*m_canvas, index, std::min(1.0, work / total)); };
    m_stopped = !LayAutoPaintPlan(brush, plan, m_scale, afterStroke) || (report && !report(*m_canvas, index, 1.0));
}

void Replayer::apply(const Journal::Event& e)
{
    using Tag = Journal::Tag;
    switch (e.tag) {
    case Tag::kSettings: m_brush->applySettings(e.settings); break;
    case Tag::kDirection: m_brush->setDirection(e.settings.direction); break;
    case Tag::kBegin: {
        const std::uint64_t number = m_brush->nextStrokeNumber();
        m_leavingOut = number < m_options.leaveOut.size() && m_options.leaveOut[number];
        m_brush->beginStroke(scaled(e.to), e.time, e.clock);
        break;
    }
    case Tag::kMove:
    case Tag::kMoveFrom:
        if (!m_leavingOut)
            m_brush->moveStroke(scaled(e.from), scaled(e.to), e.time);
        break;
    case Tag::kEnd:
        if (std::exchange(m_leavingOut, false))
            break;
        m_brush->endStroke(e.time);
        ++m_result.strokes;
        if (m_options.onFrame && m_options.frameEveryStrokes && m_result.strokes % m_options.frameEveryStrokes == 0)
            m_stopped = !m_options.onFrame(*m_canvas, m_result.strokes);
        break;
    case Tag::kAirbrushDab:
        if (!m_leavingOut)
            m_brush->airbrushTick();
        break;
    case Tag::kPaper:
        m_canvas->setBackgroundColor(e.color);
        if (e.texture != m_canvas->textureName())
            m_canvas->setTextureName(e.texture);
        break;
    case Tag::kSnapshot: m_canvas->saveUndoState(); break;
    case Tag::kUndo: m_canvas->undo(); break;
    case Tag::kClear: m_canvas->clear(); break;
    case Tag::kSketch: sketch(e.color); break;
    case Tag::kCommit:
        if (!m_canvas->commitAsReopened())
            note("out of memory while merging the strokes at a reopening");
        break;
    case Tag::kExtension: extension(e); break;
    }
}

fnd::Status Replayer::run()
{
    if (auto started = start(); !started)
        return started;
    checkDigests();
    Journal::Reader reader(m_journal.events());
    Journal::Event event;
    while (!m_stopped && !collected() && reader.next(event))
        apply(event);
    if (reader.failed())
        return fnd::Error{"the journal's events are damaged"};
    if (!m_stopped && m_options.onFrame)
        m_stopped = !m_options.onFrame(*m_canvas, m_result.strokes);
    m_result.cancelled = m_stopped;
    m_brush.reset();
    m_result.canvas = std::move(m_canvas);
    return fnd::Status{};
}

} // namespace

AutoPaintPlans::AutoPaintPlans(std::shared_ptr<const RawImage> photo) : m_photo(std::move(photo)) {}
AutoPaintPlans::~AutoPaintPlans() = default;

const AutoPaintPlan* AutoPaintPlans::plan(const Journal& journal, const std::shared_ptr<const RawImage>& rawImage,
                                          std::size_t index)
{
    std::lock_guard lock(m_mutex);
    if (!m_made) {
        m_made = true;
        // As it was painted: the painting's own size, whole. Plans made before damaged events stay.
        const ReplayOptions asPainted;
        ReplayResult result;
        Replayer replayer(journal, m_photo ? m_photo : rawImage, asPainted, result, &m_plans,
                          CountAutoPaintings(journal));
        (void)replayer.run();
    }
    return index < m_plans.size() ? &m_plans[index] : nullptr;
}

int CountAutoPaintings(const Journal& journal)
{
    int count = 0;
    Journal::Reader reader(journal.events());
    Journal::Event e;
    AutoPaintSettings settings;
    std::optional<AutoPaintPoint> stop;
    while (reader.next(e))
        if (e.tag == Journal::Tag::kExtension && e.extensionKind == kAutoPaintJournalKind
            && DecodeAutoPaintEvent(e.extension, settings, stop))
            ++count;
    return count;
}

gfx::IntRect ReplayBounds(const Journal& journal, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const double w = std::floor(journal.width() * scale), h = std::floor(journal.height() * scale);
    return {0, 0, static_cast<int>(std::clamp(w, 1.0, 16384.0)), static_cast<int>(std::clamp(h, 1.0, 16384.0))};
}

fnd::Result<ReplayResult> ReplayJournal(const Journal& journal, std::shared_ptr<const RawImage> rawImage,
                                        const ReplayOptions& options)
{
    ReplayResult result;
    Replayer replayer(journal, std::move(rawImage), options, result);
    if (auto ran = replayer.run(); !ran)
        return fnd::Error{ran.error()};
    return result;
}
