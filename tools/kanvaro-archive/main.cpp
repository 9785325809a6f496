// kanvaro-archive: inspects, renders and makes painting archives (".art" files).
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

int usage()
{
    std::cerr << "usage: kanvaro-archive info FILE.art\n"
                 "       kanvaro-archive render FILE.art OUT.png\n"
                 "       kanvaro-archive from-photo PHOTO OUT.art\n"
                 "       kanvaro-archive paint PHOTO OUT.art [--medium NAME] [--paper NAME] [--seed N] [--report]\n";
    return archivetool::kExitUsage;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "info")
        return archivetool::info(args[1]);
    if (args.size() == 3 && args[0] == "render")
        return archivetool::render(args[1], args[2]);
    if (args.size() == 3 && args[0] == "from-photo")
        return archivetool::fromPhoto(args[1], args[2]);
    if (args.size() >= 3 && args[0] == "paint")
        return archivetool::paint({args.begin() + 1, args.end()});
    return usage();
}
