#pragma once
// The paper textures: opaque RGB pictures that tile seamlessly; they are laid over the paper at
// low opacity, so they carry strong contrast.
#include <string>
#include <vector>

namespace genres {

inline constexpr int kTextureSize = 256;

const std::vector<std::string>& textureNames();

// Writes every texture as OUTDIR/<name>.png.
bool writeTextures(const std::string& outDir);

} // namespace genres
