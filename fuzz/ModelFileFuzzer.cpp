// Any bytes read as a model file (.rvmvnt): a refused file leaves the model
// as it was; an accepted one fits the file, keeps its indices inside the
// vertex arrays, and stores back as exactly the bytes its counts cover.

#include "FuzzCheck.h"
#include "ScratchFolder.h"
#include "TolvaneKit/Scene/RVModelVNT.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

using VexmiraFuzz::check;

namespace {

const VexmiraFuzz::ScratchFolder& scratch() {
    static const VexmiraFuzz::ScratchFolder folder;
    return folder;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The model's counts and arrays as bytes, to tell whether a load changed them.
std::vector<std::uint8_t> snapshot(const RVModelVNT& model) {
    std::vector<std::uint8_t> bytes;
    auto append = [&bytes](const void* data, std::size_t length) {
        if (length == 0)
            return;
        const auto* first = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), first, first + length);
    };
    const int counts[2] = {model.numberOfTriangles(), model.numberOfVertices()};
    append(counts, sizeof counts);
    const auto vertices = static_cast<std::size_t>(model.numberOfVertices());
    append(model.triangles(), 6 * static_cast<std::size_t>(model.numberOfTriangles()));
    append(model.vertices(), 12 * vertices);
    append(model.normals(), 12 * vertices);
    append(model.textureCoordinates(), 8 * vertices);
    return bytes;
}

void checkAcceptedModel(RVModelVNT& model, const std::uint8_t* data, std::size_t size) {
    const auto triangles = static_cast<std::uint64_t>(model.numberOfTriangles());
    const auto vertices = static_cast<std::uint64_t>(model.numberOfVertices());
    const std::uint64_t covered = 8 + 6 * triangles + 32 * vertices;
    check(covered <= size, "an accepted file holds everything its counts declare");
    const std::uint16_t* indices = model.triangles();
    for (std::uint64_t k = 0; k < 3 * triangles; ++k)
        check(indices[k] < vertices, "an accepted model's indices name existing vertices");

    const std::string stored = (scratch().path() / "stored.rvmvnt").string();
    check(model.storeToFile(stored), "an accepted model can be stored");
    const std::vector<std::uint8_t> written = readFile(stored);
    check(written.size() == covered && std::equal(written.begin(), written.end(), data),
          "a stored model is the bytes it was read from");
    // Walks every triangle through the vertex arrays.
    model.recomputeNormals();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratch().write("input.rvmvnt", data, size);
    RVModelVNT model;
    check(model.constructSphereOfRadius(1, 3, 2), "the starting model can be built");
    const std::vector<std::uint8_t> before = snapshot(model);
    if (!model.loadFromFile(path)) {
        check(snapshot(model) == before, "a refused file leaves the model as it was");
        return 0;
    }
    checkAcceptedModel(model, data, size);
    return 0;
}
