#!/usr/bin/env python3
"""Checks the layer rules on every #include of the project's C++ files; exits 1 on a breach.

Layers point one way: Classes -> Host/Toolkit -> Graphics -> ImageIO -> Foundation (Host may
include Toolkit). The C libraries stay inside the layer that wraps them: cairo and pango in
Graphics (pango also in the toolkit's text bridge), the image codecs and OpenH264 in ImageIO, SDL
in Host. A header that includes a library (directly or through other headers) counts as that
library, so a layer cannot reach cairo through a Graphics header either. tools/ may include
anything.

Usage: CheckLayers.py SOURCE_DIR
"""
import fnmatch
import re
import sys
from pathlib import Path

LAYERS = ["Foundation", "ImageIO", "Graphics", "Toolkit", "Host"]

# What each Platform layer may include: itself and the layers below it.
ALLOWED_LAYERS = {
    "Foundation": {"Foundation"},
    "ImageIO": {"ImageIO", "Foundation"},
    "Graphics": {"Graphics", "ImageIO", "Foundation"},
    "Toolkit": {"Toolkit", "Graphics", "ImageIO", "Foundation"},
    "Host": {"Host", "Toolkit", "Graphics", "ImageIO", "Foundation"},
}

# Library -> the header names that belong to it.
LIBRARY_HEADERS = {
    "cairo": ["cairo.h", "cairo-*.h", "cairo/*"],
    "pango": ["pango/*", "pango-*.h"],
    "sdl": ["SDL.h", "SDL_*.h", "SDL2/*"],
    "codecs": ["png.h", "pngconf.h", "jpeglib.h", "jerror.h", "jconfig.h", "jmorecfg.h", "libexif/*"],
    "openh264": ["wels/*"],
}

# Library -> the files (paths from the source root, glob patterns) that may include it.
LIBRARY_USERS = {
    "cairo": ["Platform/Graphics/*", "Platform/Toolkit/TextLayout.*", "tests/Graphics/*", "tools/*"],
    "pango": ["Platform/Graphics/*", "Platform/Toolkit/TextLayout.*", "tools/*"],
    # The program's entry point creates the window host, whose header holds SDL handles.
    "sdl": ["Platform/Host/*", "Classes/main.cpp", "tests/EndToEnd/*", "tools/*"],
    "codecs": ["Platform/ImageIO/*", "tests/*", "tools/*"],
    # The video writer's encoder; its tests decode with the same library.
    "openh264": ["Platform/ImageIO/*", "tests/ImageIO/*", "tools/*"],
}


SCANNED = ["Platform", "Classes", "tests", "bench", "fuzz", "tools"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def includes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1) == "<", m.group(2)


def library_of(header):
    for library, patterns in LIBRARY_HEADERS.items():
        if any(fnmatch.fnmatchcase(header, p) for p in patterns):
            return library
    return None


def may_use(rel, library):
    return any(fnmatch.fnmatchcase(rel, p) for p in LIBRARY_USERS[library])


def carried_libraries(root, files):
    """Platform header ("Graphics/CairoHandles.h") -> the libraries it brings in, transitively."""
    direct, refs = {}, {}
    for path in files:
        rel = path.relative_to(root).as_posix()
        if not rel.startswith("Platform/") or path.suffix != ".h":
            continue
        key = rel[len("Platform/"):]
        direct[key], refs[key] = set(), set()
        for _, _, header in includes(path):
            library = library_of(header)
            if library:
                direct[key].add(library)
            elif header.split("/")[0] in LAYERS:
                refs[key].add(header)
    carried = {key: set(libs) for key, libs in direct.items()}
    changed = True
    while changed:
        changed = False
        for key, headers in refs.items():
            for header in headers:
                extra = carried.get(header, set()) - carried[key]
                if extra:
                    carried[key] |= extra
                    changed = True
    return carried


def includes_a_class(root, path, angled, header):
    """A bare name is one of the application's classes unless it sits beside the file (quoted) or
    is a system header (angled: only a name that Classes/ holds counts)."""
    if angled:
        return (root / "Classes" / header).exists()
    return not (path.parent / header).exists()


def check_file(root, path, carried):
    rel = path.relative_to(root).as_posix()
    parts = rel.split("/")
    layer = parts[1] if parts[0] == "Platform" and len(parts) > 2 else None
    problems = []
    for number, angled, header in includes(path):
        where = f"{rel}:{number}: #include {header}"
        if ".." in header.split("/"):
            problems.append(f"{where}: reaches out of its folder with '..'")
            continue
        # Both spellings reach the same header through the include path, so both are checked.
        first = header.split("/")[0]
        if layer and first in LAYERS and first not in ALLOWED_LAYERS[layer]:
            problems.append(f"{where}: {layer} may not include the {first} layer above it")
        elif layer and "/" not in header and includes_a_class(root, path, angled, header):
            problems.append(f"{where}: Platform may not include the application's classes")
        library = library_of(header)
        libraries = {library} if library else carried.get(header, set())
        for library in sorted(libraries):
            if not may_use(rel, library):
                via = "" if library_of(header) else f" (through {header})"
                problems.append(f"{where}: {library} is not for this file{via}")
    return problems


def main():
    root = Path(sys.argv[1]).resolve()
    files = sorted(p for folder in SCANNED for p in (root / folder).rglob("*")
                   if p.suffix in (".h", ".cpp") and p.is_file())
    carried = carried_libraries(root, files)
    problems = [problem for path in files for problem in check_file(root, path, carried)]
    for problem in problems:
        print(problem)
    print(f"layers: {len(files)} files checked, {len(problems)} breaches")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
