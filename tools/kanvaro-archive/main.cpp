// kanvaro-archive: inspects, renders and makes painting archives (".art" files).
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

int usage()
{
    std::cerr << "usage: kanvaro-archive info FILE.art\n"
                 "       kanvaro-archive render FILE.art OUT.png [--scale K | --full-size]\n"
                 "       kanvaro-archive timelapse FILE.art OUT.mp4 [--seconds N] [--size PIXELS]\n"
                 "       kanvaro-archive from-photo PHOTO OUT.art\n"
                 "       kanvaro-archive paint PHOTO OUT.art [--medium NAME] [--paper NAME] [--seed N] [--report]\n";
    return archivetool::kExitUsage;
}

// A scale from 1/16 to 16 times the canvas.
std::optional<double> parseScale(const std::string& text)
{
    char* end = nullptr;
    const double k = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(k) || k < 1.0 / 16 || k > 16)
        return std::nullopt;
    return k;
}

// A whole number from `low` to `high`.
std::optional<int> parseWhole(const std::string& text, int low, int high)
{
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < low || n > high)
        return std::nullopt;
    return static_cast<int>(n);
}

// timelapse FILE.art OUT.mp4 [--seconds N] [--size PIXELS]
int timeLapse(const std::vector<std::string>& args)
{
    int seconds = 20, size = 1080;
    for (std::size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage();
        const bool isSeconds = args[i] == "--seconds";
        if (!isSeconds && args[i] != "--size")
            return usage();
        const auto n = isSeconds ? parseWhole(args[i + 1], 5, 600) : parseWhole(args[i + 1], 16, 4096);
        if (!n)
            return usage();
        (isSeconds ? seconds : size) = *n;
    }
    return archivetool::timeLapse(args[1], args[2], seconds, size);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "info")
        return archivetool::info(args[1]);
    if (args.size() == 3 && args[0] == "render")
        return archivetool::render(args[1], args[2]);
    if (args.size() == 5 && args[0] == "render" && args[3] == "--scale") {
        const auto scale = parseScale(args[4]);
        return scale ? archivetool::render(args[1], args[2], archivetool::RenderSize::kScaled, scale) : usage();
    }
    if (args.size() == 4 && args[0] == "render" && args[3] == "--full-size")
        return archivetool::render(args[1], args[2], archivetool::RenderSize::kFullSize);
    if (args.size() >= 3 && args[0] == "timelapse")
        return timeLapse(args);
    if (args.size() == 3 && args[0] == "from-photo")
        return archivetool::fromPhoto(args[1], args[2]);
    if (args.size() >= 3 && args[0] == "paint")
        return archivetool::paint({args.begin() + 1, args.end()});
    return usage();
}
