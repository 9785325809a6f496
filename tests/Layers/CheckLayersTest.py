#!/usr/bin/env python3
"""The layer check against planted trees: an upward include, a library reached through a wrapping
header and a class included from Platform must each fail in either spelling; a sound tree passes.

Usage: CheckLayersTest.py (exits 1 when the checker misses a breach or flags a sound tree)
"""
import subprocess
import sys
import tempfile
from pathlib import Path

CHECKER = Path(__file__).with_name("CheckLayers.py")

SOUND = {
    "Platform/Foundation/Log.h": "#include <string>\n",
    "Platform/Graphics/CairoHandles.h": "#include <cairo.h>\n#include \"Foundation/Log.h\"\n",
    "Platform/Toolkit/View.h": "#include <Foundation/Log.h>\n",
    "Platform/Toolkit/TextLayout.h": "#include <Graphics/CairoHandles.h>\n",
    "Classes/DataModel.h": "#include <Toolkit/View.h>\n",
}


def check(planted):
    """The checker's exit status and output over the sound tree plus `planted` (path -> text)."""
    with tempfile.TemporaryDirectory() as root:
        for rel, text in {**SOUND, **planted}.items():
            path = Path(root, rel)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)
        done = subprocess.run([sys.executable, str(CHECKER), root], capture_output=True, text=True)
        return done.returncode, done.stdout


def main():
    failures = []
    status, output = check({})
    if status != 0:
        failures.append(f"the sound tree fails:\n{output}")
    breaches = {
        "upward include": ("Platform/Foundation/Bad.cpp", "Toolkit/View.h"),
        "cairo through a Graphics header": ("Platform/Toolkit/Bad.cpp", "Graphics/CairoHandles.h"),
        "a class from Platform": ("Platform/Graphics/Bad.cpp", "DataModel.h"),
    }
    for name, (rel, header) in breaches.items():
        for spelling in (f'"{header}"', f"<{header}>"):
            status, output = check({rel: f"#include {spelling}\n"})
            if status != 1 or f"{rel}:1:" not in output:
                failures.append(f"{name} as #include {spelling} passes:\n{output}")
    for failure in failures:
        print(failure)
    print(f"layer checker: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
