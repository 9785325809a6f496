// gen-resources OUTDIR: writes every bundle image and the main interface file into OUTDIR.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "BrushShapes.h"
#include "MainWindow.h"
#include "Textures.h"
#include "UiImages.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen-resources OUTDIR\n");
        return 2;
    }
    std::string outDir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) {
        std::fprintf(stderr, "gen-resources: cannot create %s: %s\n", outDir.c_str(), error.message().c_str());
        return 1;
    }
    bool ok = genres::writeBrushShapes(outDir);
    ok = genres::writeTextures(outDir) && ok;
    ok = genres::writeGlyphImages(outDir) && ok;
    ok = genres::writeControlImages(outDir) && ok;
    ok = genres::writeGalleryImages(outDir) && ok;
    ok = genres::writeAppIcons(outDir) && ok;
    ok = genres::writeMainWindow(outDir) && ok; // the medium pictures come from tools/medium-pictures
    // Drops cairo's font caches so leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    return ok ? 0 : 1;
}
