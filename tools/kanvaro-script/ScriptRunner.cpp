#include "ScriptRunner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "Foundation/FileOps.h"
#include "Foundation/RunLoop.h"
#include "Graphics/BitmapContext.h"
#include "Host/HeadlessHost.h"
#include "Host/VisibleViews.h"
#include "Toolkit/FileDrop.h"
#include "Toolkit/Window.h"

namespace script {

namespace {
constexpr std::uint64_t kMaxScriptBytes = 1u << 20;
// Probed pixels count as the same within this much per channel (rounding of the composite), and
// as other beyond the second amount.
constexpr float kSameTolerance = 3.0f / 255;
constexpr float kOtherThreshold = 16.0f / 255;

fnd::Status expectFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return fnd::Error{"no file at " + path};
    return {};
}

fnd::Status countFiles(const std::string& dir, const std::string& suffix, int expected)
{
    int count = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0
            && it->is_regular_file(error))
            ++count;
    }
    if (count != expected)
        return fnd::Error{std::to_string(count) + " files ending in " + suffix + " in " + dir};
    return {};
}

float channelDistance(const gfx::Color& a, const gfx::Color& b)
{
    return std::max({std::fabs(a.red - b.red), std::fabs(a.green - b.green), std::fabs(a.blue - b.blue)});
}

// One run of a script: the host, what the screen showed in the frames drawn between checks, and
// the pixels kept by name.
class Session {
public:
    Session(const std::vector<Step>& steps, host::HeadlessHost& host, const Settle& settle)
        : m_host(host), m_settle(settle)
    {
        for (const Step& step : steps)
            if (step.kind == StepKind::ExpectSeen || step.kind == StepKind::ExpectUnseen)
                m_watched.insert(step.argument);
        // Each frame the host draws is also looked at for the watched labels.
        fnd::RunLoop::main().setSource([this](double) { frame(); });
    }
    ~Session()
    {
        fnd::RunLoop::main().setSource([&host = m_host](double) { host.window().display(); });
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    fnd::Status run(const Step& step)
    {
        if (m_settle && (step.kind == StepKind::CountFiles || step.kind == StepKind::ExpectFile))
            m_settle();
        switch (step.kind) {
        case StepKind::TapLabel: return m_host.tap(step.argument);
        case StepKind::TapPoint: return m_host.tap(step.from);
        case StepKind::Drag: return m_host.drag(step.from, step.to, step.moves, step.seconds);
        case StepKind::Pinch: return m_host.pinch(step.from, step.scale);
        case StepKind::Wait: m_host.advance(step.seconds); return {};
        case StepKind::Screenshot: return m_host.screenshot(step.argument);
        case StepKind::ExpectVisible:
            if (!m_host.findVisibleView(step.argument))
                return fnd::Error{"no visible view labelled \"" + step.argument + "\""};
            return {};
        case StepKind::ExpectWhole: {
            const ui::View* view = m_host.findVisibleView(step.argument);
            if (!view)
                return fnd::Error{"no visible view labelled \"" + step.argument + "\""};
            if (!host::isWhollyOnScreen(*view, m_host.window()))
                return fnd::Error{"the view labelled \"" + step.argument + "\" is cut at the screen's edge"};
            return {};
        }
        case StepKind::ExpectAlert: return m_host.expectAlert(step.argument);
        case StepKind::ExpectFile: return expectFile(step.argument);
        case StepKind::PickPhoto: return m_host.pickPhoto(step.argument);
        case StepKind::Drop:
            // As the desktop host hands a dropped file over: by its absolute path.
            if (!ui::deliverFileDrop(m_host.window(), std::filesystem::absolute(step.argument).string()))
                return fnd::Error{"nothing on screen took the file " + step.argument};
            return {};
        case StepKind::Key: return m_host.key(step.argument);
        case StepKind::ExpectSeen: return checkSeen(step.argument, true);
        case StepKind::ExpectUnseen: return checkSeen(step.argument, false);
        case StepKind::KeepPixels: m_kept[step.argument] = probe(step.points); return {};
        case StepKind::ExpectSamePixels: return comparePixels(step.argument, true);
        case StepKind::ExpectOtherPixels: return comparePixels(step.argument, false);
        case StepKind::CountFiles: return countFiles(step.argument, step.suffix, step.count);
        case StepKind::SetSlider: return m_host.setSlider(step.argument, static_cast<float>(step.value));
        case StepKind::Quit: m_host.requestQuit(true); return {};
        case StepKind::QuitUnattended: m_host.requestQuit(false); return {};
        case StepKind::ExpectExitStatus:
            if (!m_host.hasTerminated())
                return fnd::Error{"the application has not terminated"};
            if (m_host.exitStatus() != step.count)
                return fnd::Error{"the exit status is " + std::to_string(m_host.exitStatus())};
            return {};
        case StepKind::FailWrites: fnd::setWriteFault(step.argument, step.error); return {};
        case StepKind::Crash:
            // As a kill or a power loss: no terminate hook, no save, no cleanup; status 0 so that
            // a driver can go on to the next session.
            std::fflush(nullptr);
            std::_Exit(0);
        }
        return fnd::Error{"unknown step"};
    }

private:
    struct Kept {
        std::vector<gfx::Point> points;
        std::vector<gfx::Color> colors;
    };

    void frame()
    {
        m_host.window().display();
        for (const std::string& label : m_watched)
            if (m_host.findVisibleView(label))
                m_seen.insert(label);
    }

    fnd::Status checkSeen(const std::string& label, bool wanted)
    {
        const bool seen = m_seen.erase(label) > 0 || m_host.findVisibleView(label);
        if (seen == wanted)
            return {};
        return fnd::Error{wanted ? "no view labelled \"" + label + "\" was on screen since the last check"
                                 : "a view labelled \"" + label + "\" was on screen since the last check"};
    }

    Kept probe(const std::vector<gfx::Point>& points)
    {
        m_host.window().display();
        Kept kept{points, {}};
        const gfx::BitmapContext& store = *m_host.window().backingStore();
        const double scale = m_host.window().scale();
        for (const gfx::Point& p : points) {
            const int x = std::clamp(static_cast<int>(p.x * scale), 0, store.width() - 1);
            const int y = std::clamp(static_cast<int>(p.y * scale), 0, store.height() - 1);
            kept.colors.push_back(store.colorAt(x, y));
        }
        return kept;
    }

    fnd::Status comparePixels(const std::string& name, bool same)
    {
        auto found = m_kept.find(name);
        if (found == m_kept.end())
            return fnd::Error{"no pixels kept as \"" + name + "\""};
        const Kept now = probe(found->second.points);
        for (std::size_t i = 0; i < now.colors.size(); ++i) {
            const float distance = channelDistance(now.colors[i], found->second.colors[i]);
            if (same ? distance > kSameTolerance : distance <= kOtherThreshold)
                return fnd::Error{"the pixel at (" + std::to_string(static_cast<int>(now.points[i].x)) + ", "
                                  + std::to_string(static_cast<int>(now.points[i].y)) + ") is "
                                  + (same ? "not the same as" : "still as") + " kept"};
        }
        return {};
    }

    host::HeadlessHost& m_host;
    Settle m_settle;
    std::set<std::string> m_watched;
    std::set<std::string> m_seen;
    std::map<std::string, Kept> m_kept;
};
} // namespace

fnd::Status runScript(const std::vector<Step>& steps, host::HeadlessHost& host, const std::string& scriptName,
                      const Settle& settle)
{
    Session session(steps, host, settle);
    for (const Step& step : steps) {
        auto outcome = session.run(step);
        if (!outcome)
            return fnd::Error{stepError(scriptName, step.line, step.text, outcome.error())};
    }
    return {};
}

fnd::Status runScriptFile(const std::string& path, host::HeadlessHost& host, const Settle& settle)
{
    auto bytes = fnd::readFile(path, kMaxScriptBytes);
    if (!bytes)
        return fnd::Error{path + ": " + bytes.error()};
    std::string source(bytes->begin(), bytes->end());
    auto steps = parseScript(source, path);
    if (!steps)
        return steps.failure();
    return runScript(steps.value(), host, path, settle);
}

} // namespace script
