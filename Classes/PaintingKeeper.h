#pragma once
// What keeps the open painting safe between saves: the application (KanvaroAppDelegate) has
// recovery copies of it written (Recovery.h), since one is needed at quit even when the painting
// screen is gone. The painting screen and the gallery, which see the painting change and save
// it, tell it so.
#include <string>

#include "Foundation/Result.h"

class PaintingKeeper {
public:
    virtual ~PaintingKeeper() = default;
    // The open painting changed: a copy is written a few seconds later (one waits at a time).
    virtual void paintingDidChange() = 0;
    // Writes a copy of the open painting now and waits for it: the copy's path, or why none was
    // written.
    virtual fnd::Result<std::string> keepPaintingNow() = 0;
    // The painting is saved, or its copy declined: the copy goes, and none waits any longer.
    virtual void discardPaintingCopy() = 0;
};
