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
#include <vector>

using VexmiraFuzz::check;
using VexmiraFuzz::scratchFolder;
using VexmiraFuzz::writeScratchFile;

namespace {

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

    const std::string stored = scratchFolder().file("stored.rvmvnt");
    check(model.storeToFile(stored), "an accepted model can be stored");
    const std::string written = VexmiraTest::TemporaryFolder::read(stored);
    check(written.size() == covered &&
              std::equal(written.begin(), written.end(), reinterpret_cast<const char*>(data)),
          "a stored model is the bytes it was read from");
    // Walks every triangle through the vertex arrays.
    model.recomputeNormals();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeScratchFile("input.rvmvnt", data, size);
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
