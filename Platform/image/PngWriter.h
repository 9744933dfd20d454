#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Platform {

// Writes 8-bit RGBA pixels, rows from the top down (as
// OffscreenSurface::readPixels returns them), as a PNG image.
//
// The file is replaced through SafeFileWriter: whole or not at all, through
// symbolic links, keeping its permissions. On failure *error holds one
// sentence saying why.
bool writePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgbaTopDown, std::string* error = nullptr);

// The same into an open stream (standard output, for instance); the stream
// is flushed and stays open.
bool writePngStream(std::FILE* stream, int width, int height,
                    const std::vector<std::uint8_t>& rgbaTopDown, std::string* error = nullptr);

// "libpng" and the version of the library in use.
std::string pngLibraryVersion();

} // namespace Platform
