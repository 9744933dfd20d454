#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Platform {

// Writes 8-bit RGBA pixels, rows from the top down (as
// OffscreenSurface::readPixels returns them), as a PNG image.
//
// The file is first written beside its destination under a temporary name
// and renamed into place once complete, so a failure never leaves a partial
// image and an existing file is replaced whole or not at all. On failure the
// reason is put in *error.
bool writePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgbaTopDown, std::string* error = nullptr);

// The same into an open stream (standard output, for instance); the stream
// is flushed and stays open.
bool writePngStream(std::FILE* stream, int width, int height,
                    const std::vector<std::uint8_t>& rgbaTopDown, std::string* error = nullptr);

} // namespace Platform
