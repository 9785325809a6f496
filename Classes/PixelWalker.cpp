#include "PixelWalker.h"

// Out of line so the walker's virtual table lives in one object file.
CPixelWalker::~CPixelWalker() = default;
