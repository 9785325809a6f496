#include "ScriptParser.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "Host/HeadlessHost.h"

namespace script {

namespace {

std::string trimmed(const std::string& s)
{
    const char* blanks = " \t\r\n";
    std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string> words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool toNumber(const std::string& word, double& out)
{
    errno = 0;
    char* end = nullptr;
    out = std::strtod(word.c_str(), &end);
    return !word.empty() && end && *end == '\0' && errno == 0 && std::isfinite(out);
}

bool toNumbers(const std::vector<std::string>& ws, std::size_t first, std::size_t count, double* out)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (!toNumber(ws[first + i], out[i]))
            return false;
    }
    return true;
}

// Each parser fills the step from the words after the command; "" when they fit, else why not.
using Args = std::vector<std::string>;

std::string parseTap(const Args& args, const std::string& rest, Step& step)
{
    double xy[2];
    if (args.size() == 2 && toNumbers(args, 0, 2, xy)) {
        step.kind = StepKind::TapPoint;
        step.from = {xy[0], xy[1]};
        return {};
    }
    if (rest.empty())
        return "tap needs a label or X Y";
    step.kind = StepKind::TapLabel;
    step.argument = rest;
    return {};
}

std::string parseDrag(const Args& args, Step& step)
{
    const char* usage = "drag needs X1 Y1 X2 Y2 [MOVES] [SECONDS]";
    double v[6];
    if (args.size() < 4 || args.size() > 6 || !toNumbers(args, 0, args.size(), v))
        return usage;
    step.kind = StepKind::Drag;
    step.from = {v[0], v[1]};
    step.to = {v[2], v[3]};
    if (args.size() >= 5) {
        if (v[4] != std::floor(v[4]) || v[4] < 0 || v[4] > kMaxMoves)
            return "MOVES must be a whole number from 0 to " + std::to_string(kMaxMoves);
        step.moves = static_cast<int>(v[4]);
    }
    if (args.size() == 6) {
        if (v[5] < 0 || v[5] > kMaxSeconds)
            return "SECONDS must be from 0 to " + std::to_string(static_cast<int>(kMaxSeconds));
        step.seconds = v[5];
    }
    return {};
}

std::string parsePinch(const Args& args, Step& step)
{
    double v[3];
    if (args.size() != 3 || !toNumbers(args, 0, 3, v))
        return "pinch needs X Y SCALE";
    if (!(v[2] > 0) || v[2] > kMaxPinchScale)
        return "SCALE must be above 0 and at most " + std::to_string(static_cast<int>(kMaxPinchScale));
    step.kind = StepKind::Pinch;
    step.from = {v[0], v[1]};
    step.scale = v[2];
    return {};
}

std::string parseWait(const Args& args, Step& step)
{
    double seconds = 0;
    if (args.size() != 1 || !toNumber(args[0], seconds))
        return "wait needs SECONDS";
    if (seconds < 0 || seconds > kMaxSeconds)
        return "SECONDS must be from 0 to " + std::to_string(static_cast<int>(kMaxSeconds));
    step.kind = StepKind::Wait;
    step.seconds = seconds;
    return {};
}

std::string parseWithArgument(StepKind kind, const std::string& rest, const char* usage, Step& step)
{
    if (rest.empty())
        return usage;
    step.kind = kind;
    step.argument = rest;
    return {};
}

std::string parseKeepPixels(const Args& args, Step& step)
{
    const char* usage = "keep-pixels needs NAME and X Y pairs";
    if (args.size() < 3 || args.size() % 2 == 0 || (args.size() - 1) / 2 > kMaxProbes)
        return usage;
    for (std::size_t i = 1; i < args.size(); i += 2) {
        double xy[2];
        if (!toNumbers(args, i, 2, xy))
            return usage;
        step.points.push_back({xy[0], xy[1]});
    }
    step.kind = StepKind::KeepPixels;
    step.argument = args[0];
    return {};
}

std::string parseCountFiles(const Args& args, Step& step)
{
    double count = 0;
    if (args.size() != 3 || !toNumber(args[2], count) || count < 0 || count != std::floor(count) || count > 1e6)
        return "count-files needs DIR SUFFIX N";
    step.kind = StepKind::CountFiles;
    step.argument = args[0];
    step.suffix = args[1];
    step.count = static_cast<int>(count);
    return {};
}

// The label is every word but the last, which is the value ("Brush Size 40").
std::string parseSetSlider(const Args& args, Step& step)
{
    double value = 0;
    if (args.size() < 2 || !toNumber(args.back(), value))
        return "set-slider needs a LABEL and a VALUE";
    std::string label = args[0];
    for (std::size_t i = 1; i + 1 < args.size(); ++i)
        label += " " + args[i];
    step.kind = StepKind::SetSlider;
    step.argument = label;
    step.value = value;
    return {};
}

std::string parseQuit(const Args& args, Step& step)
{
    if (args.size() > 1 || (args.size() == 1 && args[0] != "unattended"))
        return "quit takes nothing, or unattended";
    step.kind = args.empty() ? StepKind::Quit : StepKind::QuitUnattended;
    return {};
}

std::string parseFailWrites(const Args& args, Step& step)
{
    if (args.size() != 2 || writeFaultNamed(args[1]) < 0)
        return "fail-writes needs DIR and ENOSPC, EACCES, EROFS, EIO or off";
    step.kind = StepKind::FailWrites;
    step.argument = args[0];
    step.error = writeFaultNamed(args[1]);
    return {};
}

std::string parseExitStatus(const Args& args, Step& step)
{
    double status = 0;
    if (args.size() != 1 || !toNumber(args[0], status) || status != std::floor(status) || status < 0 || status > 255)
        return "expect-exit-status needs a status from 0 to 255";
    step.kind = StepKind::ExpectExitStatus;
    step.count = static_cast<int>(status);
    return {};
}

std::string parseStep(const std::string& command, const std::string& rest, Step& step)
{
    Args args = words(rest);
    if (command == "tap")
        return parseTap(args, rest, step);
    if (command == "drag")
        return parseDrag(args, step);
    if (command == "pinch")
        return parsePinch(args, step);
    if (command == "wait")
        return parseWait(args, step);
    if (command == "screenshot")
        return parseWithArgument(StepKind::Screenshot, rest, "screenshot needs FILE.png", step);
    if (command == "expect-visible")
        return parseWithArgument(StepKind::ExpectVisible, rest, "expect-visible needs a LABEL", step);
    if (command == "expect-whole")
        return parseWithArgument(StepKind::ExpectWhole, rest, "expect-whole needs a LABEL", step);
    if (command == "expect-alert")
        return parseWithArgument(StepKind::ExpectAlert, rest, "expect-alert needs a TITLE", step);
    if (command == "pick-photo")
        return parseWithArgument(StepKind::PickPhoto, rest, "pick-photo needs a FILE", step);
    if (command == "drop")
        return parseWithArgument(StepKind::Drop, rest, "drop needs a FILE", step);
    if (command == "key") {
        if (!host::HeadlessHost::parseKeyStroke(rest))
            return "key needs a KEY such as ctrl+z, bracketright, 3 or escape, optionally followed by down or up";
        return parseWithArgument(StepKind::Key, rest, "key needs a KEY", step);
    }
    if (command == "expect-file")
        return parseWithArgument(StepKind::ExpectFile, rest, "expect-file needs a PATH", step);
    if (command == "expect-seen")
        return parseWithArgument(StepKind::ExpectSeen, rest, "expect-seen needs a LABEL", step);
    if (command == "expect-unseen")
        return parseWithArgument(StepKind::ExpectUnseen, rest, "expect-unseen needs a LABEL", step);
    if (command == "keep-pixels")
        return parseKeepPixels(args, step);
    if (command == "expect-same-pixels")
        return parseWithArgument(StepKind::ExpectSamePixels, rest, "expect-same-pixels needs a NAME", step);
    if (command == "expect-other-pixels")
        return parseWithArgument(StepKind::ExpectOtherPixels, rest, "expect-other-pixels needs a NAME", step);
    if (command == "count-files")
        return parseCountFiles(args, step);
    if (command == "set-slider")
        return parseSetSlider(args, step);
    if (command == "quit")
        return parseQuit(args, step);
    if (command == "fail-writes")
        return parseFailWrites(args, step);
    if (command == "expect-exit-status")
        return parseExitStatus(args, step);
    if (command == "crash") {
        if (!args.empty())
            return "crash takes no arguments";
        step.kind = StepKind::Crash;
        return {};
    }
    return "unknown step \"" + command + "\"";
}

} // namespace

int writeFaultNamed(const std::string& name)
{
    if (name == "off")
        return 0;
    static constexpr std::pair<const char*, int> kNames[] = {
        {"ENOSPC", ENOSPC}, {"EACCES", EACCES}, {"EROFS", EROFS}, {"EIO", EIO}};
    for (const auto& [known, error] : kNames)
        if (name == known)
            return error;
    return -1;
}

std::string stepError(const std::string& scriptName, int line, const std::string& text, const std::string& message)
{
    return scriptName + ":" + std::to_string(line) + ": " + text + ": " + message;
}

fnd::Result<std::vector<Step>> parseScript(const std::string& source, const std::string& scriptName)
{
    std::vector<Step> steps;
    std::istringstream in(source);
    int lineNumber = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++lineNumber;
        std::string text = trimmed(raw);
        if (text.empty() || text[0] == '#')
            continue;
        std::size_t split = text.find_first_of(" \t");
        std::string command = text.substr(0, split);
        std::string rest = split == std::string::npos ? std::string() : trimmed(text.substr(split));
        Step step;
        step.line = lineNumber;
        step.text = text;
        if (std::string problem = parseStep(command, rest, step); !problem.empty())
            return fnd::Error{stepError(scriptName, lineNumber, text, problem)};
        steps.push_back(std::move(step));
    }
    return steps;
}

} // namespace script
