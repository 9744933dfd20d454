// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include "Platform/core/MallocArray.h"

#include <tiffio.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The whole of a TIFF file in memory, handed to libtiff as if it were a
// memory-mapped file.
//
// libtiff decodes some layouts only from a mapped file (its RGBA conversion
// refuses uncompressed tiles otherwise), while a real memory map turns a file
// cut short during the read into a bus error. Bytes read beforehand give
// libtiff a mapping that always works and never changes under it.
class RVTiffFileBytes {
public:
    // Larger files are refused: the largest uncompressed image the texture
    // size of any OpenGL implementation here admits (16384 x 16384 pixels
    // of four 16-bit samples) takes half of this.
    static constexpr std::uint64_t largestFileBytes = std::uint64_t{4} << 30;

    // The regular file at path read whole, or null with the reason. Opening
    // does not wait, so a named pipe or a device in place of the image
    // cannot stop the program; anything but a regular file is refused. No
    // descriptor stays open.
    static std::unique_ptr<RVTiffFileBytes> read(const std::string& path, std::string& reason);

    // libtiff's handle of these bytes (closed with TIFFClose, before this
    // object goes), or null when they are not a TIFF image libtiff reads.
    TIFF* open(const std::string& name, TIFFOpenOptions* options);

private:
    RVTiffFileBytes() = default;
    bool readWhole(int descriptor, std::uint64_t size, std::string& reason);

    static tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size);
    static tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size);
    static toff_t seekProc(thandle_t handle, toff_t offset, int whence);
    static int closeProc(thandle_t handle);
    static toff_t sizeProc(thandle_t handle);
    static int mapProc(thandle_t handle, void** base, toff_t* size);
    static void unmapProc(thandle_t handle, void* base, toff_t size);

    Platform::MallocArray<std::uint8_t> bytes_;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};
