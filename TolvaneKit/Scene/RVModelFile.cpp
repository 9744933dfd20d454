#include "TolvaneKit/Scene/RVModelFile.h"

#include "TolvaneKit/Scene/RVMeshArrays.h"

#include "Platform/core/SafeFileWriter.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr std::uint64_t headerBytes = 8;
constexpr std::uint64_t bytesPerTriangle = 6;
constexpr std::uint64_t bytesPerVertex = 32; // position 12, normal 12, texture coordinate 8

std::uint64_t fileBytesFor(std::uint64_t triangles, std::uint64_t vertices) {
    return headerBytes + bytesPerTriangle * triangles + bytesPerVertex * vertices;
}

std::uint32_t readBigEndian32(const unsigned char* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

std::uint16_t readBigEndian16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

void writeBigEndian32(std::uint32_t value, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>(value >> 24);
    bytes[1] = static_cast<unsigned char>(value >> 16);
    bytes[2] = static_cast<unsigned char>(value >> 8);
    bytes[3] = static_cast<unsigned char>(value);
}

void writeBigEndian16(std::uint16_t value, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>(value >> 8);
    bytes[1] = static_cast<unsigned char>(value);
}

// ---- Reading ----

// Reads count big-endian values straight into their destination array and
// then turns each one into the host's order in place.
bool readIndices(std::ifstream& file, std::uint16_t* indices, std::size_t count) {
    auto* bytes = reinterpret_cast<unsigned char*>(indices);
    const std::streamsize length = static_cast<std::streamsize>(count * 2);
    if (!file.read(reinterpret_cast<char*>(bytes), length))
        return false;
    for (std::size_t k = 0; k < count; ++k)
        indices[k] = readBigEndian16(bytes + 2 * k);
    return true;
}

bool readFloats(std::ifstream& file, float* values, std::size_t count) {
    auto* bytes = reinterpret_cast<unsigned char*>(values);
    const std::streamsize length = static_cast<std::streamsize>(count * 4);
    if (!file.read(reinterpret_cast<char*>(bytes), length))
        return false;
    for (std::size_t k = 0; k < count; ++k)
        values[k] = std::bit_cast<float>(readBigEndian32(bytes + 4 * k));
    return true;
}

std::uint64_t regularFileSize(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return 0;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

bool readArrays(std::ifstream& file, RVMeshArrays& mesh) {
    const std::size_t triangles = static_cast<std::size_t>(mesh.numberOfTriangles());
    const std::size_t vertices = static_cast<std::size_t>(mesh.numberOfVertices());
    return readIndices(file, mesh.triangles(), 3 * triangles) &&
           readFloats(file, mesh.vertices(), 3 * vertices) &&
           readFloats(file, mesh.normals(), 3 * vertices) &&
           readFloats(file, mesh.textureCoordinates(), 2 * vertices);
}

// ---- Writing ----

// Converts values to big-endian a chunk at a time, so storing a large model
// needs no second copy of it in memory.
class BigEndianWriter {
public:
    explicit BigEndianWriter(std::FILE* stream) : stream_(stream) {}

    bool put32(std::uint32_t value) {
        writeBigEndian32(value, reserve(4));
        return ok_;
    }
    bool putIndices(const std::uint16_t* values, std::size_t count) {
        for (std::size_t k = 0; k < count && ok_; ++k)
            writeBigEndian16(values[k], reserve(2));
        return ok_;
    }
    bool putFloats(const float* values, std::size_t count) {
        for (std::size_t k = 0; k < count && ok_; ++k)
            writeBigEndian32(std::bit_cast<std::uint32_t>(values[k]), reserve(4));
        return ok_;
    }
    bool flush() {
        ok_ = ok_ && std::fwrite(chunk_.data(), 1, used_, stream_) == used_;
        used_ = 0;
        return ok_;
    }

private:
    unsigned char* reserve(std::size_t length) {
        if (used_ + length > chunk_.size())
            flush();
        unsigned char* place = chunk_.data() + used_;
        used_ += length;
        return place;
    }

    std::FILE* stream_;
    bool ok_ = true;
    std::size_t used_ = 0;
    std::array<unsigned char, 1 << 16> chunk_{};
};

bool writeMesh(std::FILE* stream, const RVMeshArrays& mesh) {
    const std::size_t triangles = static_cast<std::size_t>(mesh.numberOfTriangles());
    const std::size_t vertices = static_cast<std::size_t>(mesh.numberOfVertices());
    auto writer = std::make_unique<BigEndianWriter>(stream);
    return writer->put32(static_cast<std::uint32_t>(mesh.numberOfTriangles())) &&
           writer->put32(static_cast<std::uint32_t>(mesh.numberOfVertices())) &&
           writer->putIndices(mesh.triangles(), 3 * triangles) &&
           writer->putFloats(mesh.vertices(), 3 * vertices) &&
           writer->putFloats(mesh.normals(), 3 * vertices) &&
           writer->putFloats(mesh.textureCoordinates(), 2 * vertices) && writer->flush();
}

} // namespace

bool RVReadModelFile(const std::string& path, RVMeshArrays& mesh) {
    const std::uint64_t size = regularFileSize(path);
    if (size < headerBytes)
        return false;
    std::ifstream file(path, std::ios::binary);
    std::array<unsigned char, headerBytes> header{};
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size()))
        return false;
    const auto triangles = static_cast<std::int32_t>(readBigEndian32(header.data()));
    const auto vertices = static_cast<std::int32_t>(readBigEndian32(header.data() + 4));
    // Both counts are below 2^31, so the byte count cannot overflow 64 bits.
    if (triangles < 0 || vertices < 0 ||
        size < fileBytesFor(static_cast<std::uint64_t>(triangles),
                            static_cast<std::uint64_t>(vertices)))
        return false;
    RVMeshArrays loaded;
    if (!loaded.setNumberOfTriangles(triangles) || !loaded.setNumberOfVertices(vertices))
        return false;
    if (!readArrays(file, loaded) || !loaded.indicesAreBelowVertexCount())
        return false;
    mesh.swap(loaded);
    return true;
}

bool RVWriteModelFile(const std::string& path, const RVMeshArrays& mesh) {
    Platform::SafeFileWriter file(path);
    std::FILE* stream = file.stream();
    return stream && writeMesh(stream, mesh) && file.commit();
}
