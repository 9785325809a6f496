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
                 "       kanvaro-archive render FILE.art OUT.png [--scale K]\n"
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
        return scale ? archivetool::render(args[1], args[2], scale) : usage();
    }
    if (args.size() == 3 && args[0] == "from-photo")
        return archivetool::fromPhoto(args[1], args[2]);
    if (args.size() >= 3 && args[0] == "paint")
        return archivetool::paint({args.begin() + 1, args.end()});
    return usage();
}
