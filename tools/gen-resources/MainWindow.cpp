#include "MainWindow.h"

#include <fstream>

namespace genres {

bool writeMainWindow(const std::string& outDir)
{
    std::ofstream out(outDir + "/MainWindow.json", std::ios::binary);
    out << "{\n"
           "  \"window\": { \"x\": 0, \"y\": 0, \"width\": 320, \"height\": 480, "
           "\"fullScreen\": true },\n"
           "  \"delegateClass\": \"KanvaroAppDelegate\"\n"
           "}\n";
    return static_cast<bool>(out);
}

} // namespace genres
