#pragma once
// How a painting was made: every call that reached its brush (stroke begin, move and end with
// their times and positions, the resting airbrush's dabs, the settings in force) and everything
// else that changed its pixels (undo snapshots, Undo, Clear Painting, sketching the blueprint,
// paper changes, and the commit of a save-and-reopen), in the order they happened. Paint is
// deterministic, so replaying the journal (JournalReplay.h) makes the painting again.
//
// The canvas keeps the journal of the painting it shows (Canvas::setJournal); the brush and the
// canvas record into it as they paint. Events are kept encoded as they are recorded: a tag byte,
// positions on the brush's 1/64-pixel grid and times in milliseconds as zigzag varint deltas, so
// an hour of painting takes a few hundred kilobytes.
//
// Exactness is promised within one engine version (kEngineVersion: how dabs are placed and
// filled) and with the same shape pictures and textures, whose digests the journal keeps.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "BrushTool.h"
#include "Foundation/Result.h"
#include "Graphics/Color.h"
#include "Graphics/Geometry.h"

class Journal {
public:
    // Raised whenever a change to the brush or the canvas would paint a recorded session
    // differently.
    static constexpr std::uint32_t kEngineVersion = 1;

    // What the painting was before the first event.
    enum class Origin : std::uint8_t {
        kBlank = 0,  // transparent paint on a blank canvas
        kPhoto = 1,  // transparent paint over a photo (the archive's raw image)
        kPixels = 2, // a painting begun before journals: its pixels then (basePng())
    };

    enum class Tag : std::uint8_t {
        kSettings = 1,  // the brush's settings (BrushTool::Settings)
        kDirection = 2, // only the brush's direction changed
        kBegin = 3,     // stroke begin: at, time, airbrush clock
        kMove = 4,      // move from the last point to `to`
        kMoveFrom = 5,  // move from a point other than the last one
        kEnd = 6,       // stroke end: time
        kAirbrushDab = 7,
        kPaper = 8,    // paper colour and texture
        kSnapshot = 9, // the undo snapshot (Canvas::saveUndoState)
        kUndo = 10,
        kClear = 11,
        kSketch = 12, // the blueprint drawn into the current strokes in `color`
        kCommit = 13, // saved and reopened (or restored): strokes merged, opacities reset
        // Room for events of later features (automatic painting: its seed, settings and where it
        // stopped). A replayer that does not know the kind skips it and says it could not be exact.
        kExtension = 14,
    };

    struct Event {
        Tag tag = Tag::kSettings;
        gfx::Point from, to; // kBegin: to is the point; kMove, kMoveFrom
        double time = 0;     // kBegin, kMove, kMoveFrom, kEnd (seconds)
        BrushTool::AirbrushClock clock = BrushTool::AirbrushClock::kByTime;
        BrushTool::Settings settings; // kSettings; kDirection sets settings.direction only
        gfx::Color color;             // kPaper, kSketch
        std::optional<std::string> texture;
        std::uint8_t extensionKind = 0;
        std::span<const std::uint8_t> extension;
    };

    // Reads the events of a journal in order; the spans and the journal must outlive it.
    class Reader {
    public:
        explicit Reader(std::span<const std::uint8_t> events) : m_bytes(events) {}
        // The next event; false at the end or when the bytes are damaged (failed() then).
        bool next(Event& event);
        bool failed() const { return m_failed; }
        // Where the deltas stand after the events read (grid units and milliseconds).
        void copyPosition(std::int64_t& x, std::int64_t& y, std::int64_t& timeMs) const
        {
            x = m_lastX;
            y = m_lastY;
            timeMs = m_lastTime;
        }

    private:
        bool readPoint(gfx::Point& p, std::int64_t& lastX, std::int64_t& lastY);
        bool readTime(double& t);
        bool readSettings(BrushTool::Settings& settings);
        std::span<const std::uint8_t> m_bytes;
        std::size_t m_at = 0;
        std::int64_t m_lastX = 0, m_lastY = 0, m_lastTime = 0;
        bool m_failed = false;
    };

    // A new journal of a painting of width x height. Photo and blank paintings start from
    // transparent paint; a kPixels journal starts from basePng.
    Journal(int width, int height, Origin origin, std::uint64_t seed, std::vector<std::uint8_t> basePng = {});

    int width() const { return m_width; }
    int height() const { return m_height; }
    Origin origin() const { return m_origin; }
    std::uint64_t seed() const { return m_seed; }
    std::uint32_t engineVersion() const { return m_engineVersion; }
    // The PNG of the painting's pixels when a kPixels journal began (straight alpha, canvas size).
    const std::vector<std::uint8_t>& basePng() const { return m_basePng; }
    // Strokes begun so far: the number of the next one.
    std::uint64_t strokeCount() const { return m_strokeCount; }
    std::span<const std::uint8_t> events() const { return m_events; }
    // Shape pictures and textures used, by name, with the digests of their files when recorded.
    const std::map<std::string, std::uint64_t>& shapeDigests() const { return m_shapeDigests; }
    const std::map<std::string, std::uint64_t>& textureDigests() const { return m_textureDigests; }

    // Recording. Settings are written only when they differ from the last written; with
    // withDirection false a change of direction alone is not written (it follows the moves).
    void recordSettings(const BrushTool::Settings& settings, bool withDirection);
    void recordBegin(gfx::Point at, double time, BrushTool::AirbrushClock clock);
    void recordMove(gfx::Point from, gfx::Point to, double time);
    void recordEnd(double time);
    void recordAirbrushDab() { put(Tag::kAirbrushDab); }
    void recordPaper(const gfx::Color& color, const std::optional<std::string>& texture);
    void recordSnapshot() { put(Tag::kSnapshot); }
    void recordUndo() { put(Tag::kUndo); }
    void recordClear() { put(Tag::kClear); }
    void recordSketch(const gfx::Color& color);
    void recordCommit() { put(Tag::kCommit); }
    void recordExtension(std::uint8_t kind, std::span<const std::uint8_t> payload);

    // The archived form: a header (engine version, seed, size, origin, digests), the base
    // picture's length and bytes, and the events.
    std::vector<std::uint8_t> encode() const;
    static fnd::Result<Journal> decode(std::span<const std::uint8_t> bytes);

    // 64-bit FNV-1a of a bundle file (Resources/<name>.png); 0 when it cannot be read.
    static std::uint64_t resourceDigest(const std::string& name);

    // Times as the journal keeps them: whole milliseconds (non-finite times as 0).
    static std::int64_t millisecondsFromSeconds(double seconds);
    static double secondsFromMilliseconds(std::int64_t ms) { return static_cast<double>(ms) / 1000.0; }

private:
    void put(Tag tag) { m_events.push_back(static_cast<std::uint8_t>(tag)); }
    void putPoint(gfx::Point p, std::int64_t& lastX, std::int64_t& lastY);
    void putTime(double time);
    void noteShape(const std::optional<std::string>& name);

    int m_width;
    int m_height;
    Origin m_origin;
    std::uint64_t m_seed;
    std::uint32_t m_engineVersion = kEngineVersion;
    std::vector<std::uint8_t> m_basePng;
    std::vector<std::uint8_t> m_events;
    std::uint64_t m_strokeCount = 0;
    std::map<std::string, std::uint64_t> m_shapeDigests;
    std::map<std::string, std::uint64_t> m_textureDigests;
    // Recording state: what the deltas are taken from.
    std::optional<BrushTool::Settings> m_lastSettings;
    std::int64_t m_lastX = 0, m_lastY = 0, m_lastTime = 0;
};
