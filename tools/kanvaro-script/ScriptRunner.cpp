#include "ScriptRunner.h"

#include <filesystem>
#include <system_error>

#include "Foundation/FileOps.h"
#include "Host/HeadlessHost.h"

namespace script {

namespace {
constexpr std::uint64_t kMaxScriptBytes = 1u << 20;

fnd::Status expectFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return fnd::Error{"no file at " + path};
    return {};
}

fnd::Status runStep(const Step& step, host::HeadlessHost& host)
{
    switch (step.kind) {
    case StepKind::TapLabel: return host.tap(step.argument);
    case StepKind::TapPoint: return host.tap(step.from);
    case StepKind::Drag: return host.drag(step.from, step.to, step.moves, step.seconds);
    case StepKind::Pinch: return host.pinch(step.from, step.scale);
    case StepKind::Wait: host.advance(step.seconds); return {};
    case StepKind::Screenshot: return host.screenshot(step.argument);
    case StepKind::ExpectVisible:
        if (!host.findVisibleView(step.argument))
            return fnd::Error{"no visible view labelled \"" + step.argument + "\""};
        return {};
    case StepKind::ExpectAlert: return host.expectAlert(step.argument);
    case StepKind::ExpectFile: return expectFile(step.argument);
    case StepKind::PickPhoto: return host.pickPhoto(step.argument);
    case StepKind::Key: return host.key(step.argument);
    }
    return fnd::Error{"unknown step"};
}
} // namespace

fnd::Status runScript(const std::vector<Step>& steps, host::HeadlessHost& host, const std::string& scriptName)
{
    for (const Step& step : steps) {
        auto outcome = runStep(step, host);
        if (!outcome)
            return fnd::Error{stepError(scriptName, step.line, step.text, outcome.error())};
    }
    return {};
}

fnd::Status runScriptFile(const std::string& path, host::HeadlessHost& host)
{
    auto bytes = fnd::readFile(path, kMaxScriptBytes);
    if (!bytes)
        return fnd::Error{path + ": " + bytes.error()};
    std::string source(bytes->begin(), bytes->end());
    auto steps = parseScript(source, path);
    if (!steps)
        return fnd::Error{steps.error()};
    return runScript(steps.value(), host, path);
}

} // namespace script
