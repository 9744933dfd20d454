// Any bytes loaded as a TIFF texture through the resource database, with an
// off-screen OpenGL context current: the texture is either a complete image
// of the size it reports or empty, OpenGL is left without errors, and
// releasing it deletes its texture object.

#include "FuzzCheck.h"
#include "Platform/core/ResourceDirectory.h"
#include "Platform/offscreen/OffscreenSurface.h"
#include "ScratchFolder.h"
#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Resources/RVTexture.h"
#include "TolvaneKit/Resources/RVTiffImage.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

using VexmiraFuzz::check;
using VexmiraFuzz::scratchFolder;
using VexmiraFuzz::writeScratchFile;

namespace {

constexpr int textureKey = 1;

// Images the context would take but whose staging buffer alone passes this
// are left out: a few bytes may declare them, and the run would measure
// memory rather than find faults. Larger declared sizes still go through,
// since the loader must refuse those before allocating.
constexpr std::uint64_t largestStagingBytes = std::uint64_t{64} << 20;

bool declaresAnExpensiveButAcceptableSize(const std::string& path) {
    RVTiffImage image(path);
    if (!image.isOpen())
        return false;
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const std::uint64_t width = image.width(), height = image.height();
    const bool contextWouldTakeIt =
        width <= std::uint64_t(largest) && height <= std::uint64_t(largest);
    return contextWouldTakeIt && 4 * width * height > largestStagingBytes;
}

void checkTexture(const RVTexture& texture) {
    const GLuint name = texture.textureName();
    if (name == 0) {
        check(texture.width() == 0 && texture.height() == 0, "an empty texture has no size");
        return;
    }
    check(texture.width() > 0 && texture.height() > 0, "a texture object holds an image");
    check(glIsTexture(name), "the texture name is a texture object");
    GLint boundName = 0, width = 0, height = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundName);
    check(GLuint(boundName) == name, "a new texture is left bound");
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    check(width == texture.width() && height == texture.height(),
          "the texture object has the size the texture reports");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static std::unique_ptr<Platform::OffscreenSurface> surface =
        Platform::OffscreenSurface::create(16, 16);
    check(surface != nullptr, "an off-screen context can be made");
    std::filesystem::create_directory(scratchFolder().file("RVTexture"));
    Platform::setResourceDirectory(scratchFolder().path().string());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeScratchFile("RVTexture/1.tiff", data, size);
    if (declaresAnExpensiveButAcceptableSize(path))
        return 0;
    while (glGetError() != GL_NO_ERROR) {
    }
    RVDatabase database;
    const RVTexture* texture = database.retainKey<RVTexture>(textureKey);
    check(texture != nullptr, "the database always makes a texture");
    checkTexture(*texture);
    const GLuint name = texture->textureName();
    database.releaseKey(textureKey);
    check(name == 0 || !glIsTexture(name), "releasing the texture deletes its object");
    check(glGetError() == GL_NO_ERROR, "loading a texture leaves no OpenGL error behind");
    return 0;
}
