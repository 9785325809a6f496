#pragma once
// The paper textures offered on the paper page. Row 0, "None", means no texture; every other
// row names a bundle image (name + ".png") that the canvas tiles over the painting.
inline constexpr int NUM_TEXTURE_VALUES = 7;
extern const char* const g_arTextureValues[NUM_TEXTURE_VALUES];
