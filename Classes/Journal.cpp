// Recording and coding of the journal: varints, zigzag deltas, the header and its checks.
#include "Journal.h"

#include <cmath>
#include <cstring>

#include "Foundation/Bundle.h"
#include "Foundation/FileOps.h"

namespace {

constexpr std::uint8_t kMagic[4] = {'K', 'J', 'N', 'L'};
constexpr std::size_t kMaxName = 255;
constexpr int kMaxSide = 1 << 16;
// Far beyond any session; a bound against absurd times in a damaged journal.
constexpr std::int64_t kMaxMilliseconds = std::int64_t{1} << 52;

enum SettingsFlag : std::uint8_t { kSplatter = 1, kNoise = 2, kFixed = 4, kAirbrush = 8, kHasShape = 16 };

std::uint64_t zigzag(std::int64_t v)
{
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}
std::int64_t unzigzag(std::uint64_t v) { return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1); }

void putVarint(std::vector<std::uint8_t>& out, std::uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

void putFloat(std::vector<std::uint8_t>& out, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void putString(std::vector<std::uint8_t>& out, const std::string& s)
{
    const std::size_t n = std::min(s.size(), kMaxName);
    putVarint(out, n);
    out.insert(out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

void putColor(std::vector<std::uint8_t>& out, const gfx::Color& c)
{
    putFloat(out, c.red);
    putFloat(out, c.green);
    putFloat(out, c.blue);
    putFloat(out, c.alpha);
}

// Bounds-checked reading of the same forms.
struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t& at;

    bool byte(std::uint8_t& b)
    {
        if (at >= bytes.size())
            return false;
        b = bytes[at++];
        return true;
    }
    bool varint(std::uint64_t& v)
    {
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            std::uint8_t b;
            if (!byte(b))
                return false;
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
    bool signedVarint(std::int64_t& v)
    {
        std::uint64_t u;
        if (!varint(u))
            return false;
        v = unzigzag(u);
        return true;
    }
    bool float32(float& f)
    {
        if (at > bytes.size() || bytes.size() - at < 4)
            return false;
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= static_cast<std::uint32_t>(bytes[at + static_cast<std::size_t>(i)]) << (8 * i);
        at += 4;
        std::memcpy(&f, &bits, 4);
        return true;
    }
    bool span(std::uint64_t n, std::span<const std::uint8_t>& out)
    {
        if (n > bytes.size() - at)
            return false;
        out = bytes.subspan(at, static_cast<std::size_t>(n));
        at += static_cast<std::size_t>(n);
        return true;
    }
    bool string(std::string& s)
    {
        std::uint64_t n;
        std::span<const std::uint8_t> raw;
        if (!varint(n) || n > kMaxName || !span(n, raw))
            return false;
        s.assign(raw.begin(), raw.end());
        return true;
    }
    bool color(gfx::Color& c) { return float32(c.red) && float32(c.green) && float32(c.blue) && float32(c.alpha); }
};

std::int64_t gridUnits(double v) { return std::llround(v * BrushTool::kInputGrid); }

} // namespace

Journal::Journal(int width, int height, Origin origin, std::uint64_t seed, std::vector<std::uint8_t> basePng)
    : m_width(width), m_height(height), m_origin(origin), m_seed(seed), m_basePng(std::move(basePng))
{
}

std::int64_t Journal::millisecondsFromSeconds(double seconds)
{
    if (!std::isfinite(seconds))
        return 0;
    const double ms = std::round(seconds * 1000.0);
    return static_cast<std::int64_t>(
        std::clamp(ms, -static_cast<double>(kMaxMilliseconds), static_cast<double>(kMaxMilliseconds)));
}

std::uint64_t Journal::resourceDigest(const std::string& name)
{
    auto bytes = fnd::readFile(fnd::resourcePath() + "/" + name + ".png", 64u << 20);
    if (!bytes)
        return 0;
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (std::uint8_t b : bytes.value()) {
        h ^= b;
        h *= 0x100000001B3ull;
    }
    return h;
}

void Journal::putPoint(gfx::Point p, std::int64_t& lastX, std::int64_t& lastY)
{
    const std::int64_t x = gridUnits(p.x), y = gridUnits(p.y);
    putVarint(m_events, zigzag(x - lastX));
    putVarint(m_events, zigzag(y - lastY));
    lastX = x;
    lastY = y;
}

void Journal::putTime(double time)
{
    const std::int64_t ms = millisecondsFromSeconds(time);
    putVarint(m_events, zigzag(ms - m_lastTime));
    m_lastTime = ms;
}

void Journal::noteShape(const std::optional<std::string>& name)
{
    if (name && !m_shapeDigests.contains(*name))
        m_shapeDigests[*name] = resourceDigest(*name);
}

void Journal::recordSettings(const BrushTool::Settings& settings, bool withDirection)
{
    if (m_lastSettings) {
        BrushTool::Settings sameDirection = settings;
        sameDirection.direction = m_lastSettings->direction;
        if (sameDirection == *m_lastSettings) {
            if (!withDirection || settings.direction == m_lastSettings->direction)
                return;
            put(Tag::kDirection);
            putFloat(m_events, settings.direction);
            m_lastSettings->direction = settings.direction;
            return;
        }
    }
    noteShape(settings.shapeName);
    put(Tag::kSettings);
    m_events.push_back(static_cast<std::uint8_t>(settings.mode));
    m_events.push_back(static_cast<std::uint8_t>(
        (settings.splatter ? kSplatter : 0) | (settings.addNoise ? kNoise : 0) | (settings.fixedDirection ? kFixed : 0)
        | (settings.airbrush ? kAirbrush : 0) | (settings.shapeName ? kHasShape : 0)));
    putVarint(m_events, zigzag(settings.size));
    putFloat(m_events, settings.opacity);
    putFloat(m_events, settings.spacing);
    putFloat(m_events, settings.direction);
    putColor(m_events, settings.color);
    if (settings.shapeName)
        putString(m_events, *settings.shapeName);
    m_lastSettings = settings;
}

void Journal::recordBegin(gfx::Point at, double time, BrushTool::AirbrushClock clock)
{
    put(Tag::kBegin);
    m_events.push_back(static_cast<std::uint8_t>(clock));
    putPoint(at, m_lastX, m_lastY);
    putTime(time);
    ++m_strokeCount;
}

void Journal::recordMove(gfx::Point from, gfx::Point to, double time)
{
    if (gridUnits(from.x) == m_lastX && gridUnits(from.y) == m_lastY) {
        put(Tag::kMove);
    } else {
        put(Tag::kMoveFrom);
        putPoint(from, m_lastX, m_lastY);
    }
    putPoint(to, m_lastX, m_lastY);
    putTime(time);
}

void Journal::recordEnd(double time)
{
    put(Tag::kEnd);
    putTime(time);
}

void Journal::recordPaper(const gfx::Color& color, const std::optional<std::string>& texture)
{
    if (texture && !m_textureDigests.contains(*texture))
        m_textureDigests[*texture] = resourceDigest(*texture);
    put(Tag::kPaper);
    putColor(m_events, color);
    m_events.push_back(texture ? 1 : 0);
    if (texture)
        putString(m_events, *texture);
}

void Journal::recordSketch(const gfx::Color& color)
{
    put(Tag::kSketch);
    putColor(m_events, color);
}

void Journal::recordExtension(std::uint8_t kind, std::span<const std::uint8_t> payload)
{
    put(Tag::kExtension);
    m_events.push_back(kind);
    putVarint(m_events, payload.size());
    m_events.insert(m_events.end(), payload.begin(), payload.end());
}

// Reading.

bool Journal::Reader::readPoint(gfx::Point& p, std::int64_t& lastX, std::int64_t& lastY)
{
    Cursor c{m_bytes, m_at};
    std::int64_t dx, dy;
    if (!c.signedVarint(dx) || !c.signedVarint(dy))
        return false;
    lastX += dx;
    lastY += dy;
    p = {static_cast<double>(lastX) / BrushTool::kInputGrid, static_cast<double>(lastY) / BrushTool::kInputGrid};
    return true;
}

bool Journal::Reader::readTime(double& t)
{
    Cursor c{m_bytes, m_at};
    std::int64_t dt;
    if (!c.signedVarint(dt))
        return false;
    m_lastTime += dt;
    if (m_lastTime > kMaxMilliseconds || m_lastTime < -kMaxMilliseconds)
        return false;
    t = secondsFromMilliseconds(m_lastTime);
    return true;
}

bool Journal::Reader::readSettings(BrushTool::Settings& s)
{
    Cursor c{m_bytes, m_at};
    std::uint8_t mode, flags;
    std::int64_t size;
    if (!c.byte(mode) || mode > static_cast<std::uint8_t>(BrushTool::kModeEraser) || !c.byte(flags)
        || !c.signedVarint(size) || size < INT32_MIN || size > INT32_MAX || !c.float32(s.opacity)
        || !c.float32(s.spacing) || !c.float32(s.direction) || !c.color(s.color))
        return false;
    s.mode = static_cast<BrushTool::Mode>(mode);
    s.size = static_cast<int>(size);
    s.splatter = flags & kSplatter;
    s.addNoise = flags & kNoise;
    s.fixedDirection = flags & kFixed;
    s.airbrush = flags & kAirbrush;
    s.shapeName.reset();
    if (flags & kHasShape) {
        std::string name;
        if (!c.string(name))
            return false;
        s.shapeName = std::move(name);
    }
    return true;
}

bool Journal::Reader::next(Event& e)
{
    if (m_failed || m_at >= m_bytes.size())
        return false;
    Cursor c{m_bytes, m_at};
    std::uint8_t tag = 0, b = 0;
    c.byte(tag);
    e.tag = static_cast<Tag>(tag);
    bool ok = true;
    switch (e.tag) {
    case Tag::kSettings: ok = readSettings(e.settings); break;
    case Tag::kDirection: ok = c.float32(e.settings.direction); break;
    case Tag::kBegin:
        ok = c.byte(b) && b <= 1 && readPoint(e.to, m_lastX, m_lastY) && readTime(e.time);
        e.clock = static_cast<BrushTool::AirbrushClock>(b);
        break;
    case Tag::kMove:
        e.from = {static_cast<double>(m_lastX) / BrushTool::kInputGrid,
                  static_cast<double>(m_lastY) / BrushTool::kInputGrid};
        ok = readPoint(e.to, m_lastX, m_lastY) && readTime(e.time);
        break;
    case Tag::kMoveFrom:
        ok = readPoint(e.from, m_lastX, m_lastY) && readPoint(e.to, m_lastX, m_lastY) && readTime(e.time);
        break;
    case Tag::kEnd: ok = readTime(e.time); break;
    case Tag::kPaper: {
        ok = c.color(e.color) && c.byte(b) && b <= 1;
        e.texture.reset();
        std::string name;
        if (ok && b) {
            ok = c.string(name);
            e.texture = std::move(name);
        }
        break;
    }
    case Tag::kSketch: ok = c.color(e.color); break;
    case Tag::kExtension: {
        std::uint64_t n = 0;
        ok = c.byte(e.extensionKind) && c.varint(n) && c.span(n, e.extension);
        break;
    }
    case Tag::kAirbrushDab:
    case Tag::kSnapshot:
    case Tag::kUndo:
    case Tag::kClear:
    case Tag::kCommit: break;
    default: ok = false;
    }
    m_failed = !ok;
    return ok;
}

// The archived form.

std::vector<std::uint8_t> Journal::encode() const
{
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    putVarint(out, m_engineVersion);
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(m_seed >> (8 * i)));
    putVarint(out, static_cast<std::uint64_t>(m_width));
    putVarint(out, static_cast<std::uint64_t>(m_height));
    out.push_back(static_cast<std::uint8_t>(m_origin));
    putVarint(out, m_shapeDigests.size() + m_textureDigests.size());
    for (const auto* table : {&m_shapeDigests, &m_textureDigests}) {
        for (const auto& [name, digest] : *table) {
            out.push_back(table == &m_shapeDigests ? 0 : 1);
            putString(out, name);
            for (int i = 0; i < 8; ++i)
                out.push_back(static_cast<std::uint8_t>(digest >> (8 * i)));
        }
    }
    putVarint(out, m_basePng.size());
    out.insert(out.end(), m_basePng.begin(), m_basePng.end());
    putVarint(out, m_events.size());
    out.insert(out.end(), m_events.begin(), m_events.end());
    return out;
}

fnd::Result<Journal> Journal::decode(std::span<const std::uint8_t> bytes)
{
    std::size_t at = 0;
    Cursor c{bytes, at};
    std::span<const std::uint8_t> magic, base, events;
    std::uint64_t version, width, height, digests, n;
    std::uint8_t origin;
    std::span<const std::uint8_t> seedBytes;
    if (!c.span(4, magic) || std::memcmp(magic.data(), kMagic, 4) != 0)
        return fnd::Error{"not a journal"};
    if (!c.varint(version) || version > UINT32_MAX || !c.span(8, seedBytes) || !c.varint(width) || !c.varint(height)
        || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || !c.byte(origin)
        || origin > static_cast<std::uint8_t>(Origin::kPixels) || !c.varint(digests))
        return fnd::Error{"the journal's header is damaged"};
    std::uint64_t seed = 0;
    for (int i = 0; i < 8; ++i)
        seed |= static_cast<std::uint64_t>(seedBytes[static_cast<std::size_t>(i)]) << (8 * i);
    Journal journal(static_cast<int>(width), static_cast<int>(height), static_cast<Origin>(origin), seed);
    journal.m_engineVersion = static_cast<std::uint32_t>(version);
    for (std::uint64_t i = 0; i < digests; ++i) {
        std::uint8_t kind;
        std::string name;
        std::span<const std::uint8_t> digestBytes;
        if (!c.byte(kind) || kind > 1 || !c.string(name) || !c.span(8, digestBytes))
            return fnd::Error{"the journal's digests are damaged"};
        std::uint64_t digest = 0;
        for (int k = 0; k < 8; ++k)
            digest |= static_cast<std::uint64_t>(digestBytes[static_cast<std::size_t>(k)]) << (8 * k);
        (kind == 0 ? journal.m_shapeDigests : journal.m_textureDigests)[name] = digest;
    }
    if (!c.varint(n) || !c.span(n, base) || !c.varint(n) || !c.span(n, events) || at != bytes.size())
        return fnd::Error{"the journal is truncated"};
    if (journal.m_origin == Origin::kPixels && base.empty())
        return fnd::Error{"the journal's starting picture is missing"};
    journal.m_basePng.assign(base.begin(), base.end());
    journal.m_events.assign(events.begin(), events.end());
    // Walk the events once: they must read, and recording continues from where they stop.
    Reader reader(journal.m_events);
    Event e;
    while (reader.next(e)) {
        if (e.tag == Tag::kBegin)
            ++journal.m_strokeCount;
        else if (e.tag == Tag::kSettings)
            journal.m_lastSettings = e.settings;
        else if (e.tag == Tag::kDirection && journal.m_lastSettings)
            journal.m_lastSettings->direction = e.settings.direction;
    }
    if (reader.failed())
        return fnd::Error{"the journal's events are damaged"};
    reader.copyPosition(journal.m_lastX, journal.m_lastY, journal.m_lastTime);
    return journal;
}
