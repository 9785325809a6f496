#include "TextureValues.h"

const char* const g_arTextureValues[NUM_TEXTURE_VALUES] = {"None",   "Canvas",     "Brick", "CrackedPaint",
                                                           "Mosaic", "RoughPaper", "Stone"};
