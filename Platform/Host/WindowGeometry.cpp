#include "Host/WindowGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "Foundation/FileOps.h"
#include "Foundation/Paths.h"
#include "Host/Application.h"

namespace host {

namespace {

constexpr const char* kSizeKey = "window-size=";
constexpr const char* kPositionKey = "window-position=";
constexpr std::uint64_t kMaxSettingsBytes = 64 * 1024;
constexpr double kScaleSteps = 20; // 320 and 480 points times n/20 are whole pixels
constexpr double kSmallestScale = 0.5;
constexpr int kLargestSide = 16384; // anything larger in the file is not a window we made

std::vector<std::string> linesOf(const std::string& path)
{
    std::vector<std::string> lines;
    auto bytes = fnd::readFile(path, kMaxSettingsBytes);
    if (!bytes)
        return lines;
    std::istringstream text(std::string(bytes->begin(), bytes->end()));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

bool startsWith(const std::string& line, const char* key) { return line.rfind(key, 0) == 0; }

// "AxB" or "A,B" after the key: two integers and nothing else.
std::optional<SDL_Point> pairAfter(const std::string& line, const char* key, char separator)
{
    int a = 0, b = 0, end = 0;
    const std::string format = std::string("%d") + separator + "%d%n";
    const std::string value = line.substr(std::string(key).size());
    if (std::sscanf(value.c_str(), format.c_str(), &a, &b, &end) != 2 || static_cast<std::size_t>(end) != value.size())
        return std::nullopt;
    return SDL_Point{a, b};
}

bool plausibleSide(int side) { return side > 0 && side <= kLargestSide; }

} // namespace

std::string settingsFilePath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string folder = config && config[0] == '/' ? config : fnd::homePath() + "/.config";
    return folder + "/kanvaro/kanvaro.conf";
}

std::optional<WindowFrame> loadWindowFrame(const std::string& path)
{
    std::optional<WindowFrame> frame;
    std::optional<SDL_Point> position;
    for (const std::string& line : linesOf(path)) {
        if (startsWith(line, kSizeKey)) {
            const auto size = pairAfter(line, kSizeKey, 'x');
            if (size && plausibleSide(size->x) && plausibleSide(size->y))
                frame = WindowFrame{size->x, size->y, std::nullopt};
        } else if (startsWith(line, kPositionKey)) {
            position = pairAfter(line, kPositionKey, ',');
        }
    }
    if (frame)
        frame->position = position;
    return frame;
}

fnd::Status saveWindowFrame(const std::string& path, const WindowFrame& frame)
{
    std::string text;
    for (const std::string& line : linesOf(path))
        if (!startsWith(line, kSizeKey) && !startsWith(line, kPositionKey))
            text += line + "\n";
    text += kSizeKey + std::to_string(frame.width) + "x" + std::to_string(frame.height) + "\n";
    if (frame.position)
        text += kPositionKey + std::to_string(frame.position->x) + "," + std::to_string(frame.position->y) + "\n";
    const std::string folder = path.substr(0, path.rfind('/'));
    if (!folder.empty() && !fnd::makeDirectories(folder))
        return fnd::Error{"cannot make " + folder};
    return fnd::writeFileAtomically(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

double openingScale(const SDL_Rect& usable)
{
    const double fits = std::min(usable.w / kScreenWidthPoints, (usable.h - kTitleBarAllowance) / kScreenHeightPoints);
    return std::max(kSmallestScale, std::floor(fits * kScaleSteps) / kScaleSteps);
}

WindowFrame openingFrame(const std::optional<WindowFrame>& remembered, const SDL_Rect& usable)
{
    if (!remembered) {
        const double scale = openingScale(usable);
        return {static_cast<int>(std::lround(kScreenWidthPoints * scale)),
                static_cast<int>(std::lround(kScreenHeightPoints * scale)), std::nullopt};
    }
    WindowFrame frame = *remembered;
    const int smallestWidth = static_cast<int>(kScreenWidthPoints * kSmallestScale);
    const int smallestHeight = static_cast<int>(kScreenHeightPoints * kSmallestScale);
    frame.width = std::clamp(frame.width, std::min(smallestWidth, usable.w), std::max(usable.w, 1));
    frame.height = std::clamp(frame.height, std::min(smallestHeight, usable.h), std::max(usable.h, 1));
    if (frame.position) {
        // Nudged inside the work area, title bar included, so that it can be grabbed.
        const int top = usable.y + std::min(kTitleBarAllowance, usable.h - frame.height);
        frame.position->x = std::clamp(frame.position->x, usable.x, usable.x + usable.w - frame.width);
        frame.position->y = std::clamp(frame.position->y, top, std::max(top, usable.y + usable.h - frame.height));
    }
    return frame;
}

} // namespace host
