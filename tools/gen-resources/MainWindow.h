#pragma once
#include <string>

namespace genres {

// Writes OUTDIR/MainWindow.json: the main interface file naming the full-screen window and the
// application delegate class.
bool writeMainWindow(const std::string& outDir);

} // namespace genres
