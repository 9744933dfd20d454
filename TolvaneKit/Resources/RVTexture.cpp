// glBindBuffer is declared only with the extension prototypes, which must
// be asked for before the first OpenGL header.
#define GL_GLEXT_PROTOTYPES
#include "TolvaneKit/Resources/RVTexture.h"

#include "Platform/core/MallocArray.h"
#include "TolvaneKit/Resources/RVTiffImage.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Whether the context can hold an RGBA8 image of this size: the largest
// size it states, then the proxy texture, which also accounts for memory
// limits, all without allocating anything.
bool contextAcceptsSize(std::uint32_t width, std::uint32_t height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (width == 0 || height == 0 || largest <= 0 || width > std::uint32_t(largest) ||
        height > std::uint32_t(largest))
        return false;
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA8, GLsizei(width), GLsizei(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    GLint acceptedWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &acceptedWidth);
    return acceptedWidth != 0;
}

// Leftover errors of earlier calls must not be mistaken for a failed upload.
void clearOpenGLErrors() {
    for (int k = 0; k < 16 && glGetError() != GL_NO_ERROR; ++k) {
    }
}

} // namespace

RVTexture::RVTexture(int key, RVDatabase* database) : RVResource(key, database) {
    load(filePath("RVTexture", "tiff"));
}

RVTexture::~RVTexture() {
    glDeleteTextures(1, &textureName_);
}

RVTexture& RVTexture::apply() {
    glBindTexture(GL_TEXTURE_2D, textureName_);
    return *this;
}

void RVTexture::load(const std::string& path) {
    RVTiffImage image(path);
    if (!image.isOpen())
        return fail(path, image.failureReason());
    if (image.isPlanar())
        return fail(path, "has its samples in separate planes, one per channel");
    const std::uint32_t width = image.width(), height = image.height();
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    // Checked before anything is allocated, whatever size the file declares.
    std::size_t bytes = 0;
    if (!contextAcceptsSize(width, height) ||
        __builtin_mul_overflow(std::size_t{4} * width, std::size_t{height}, &bytes))
        return fail(path, "is " + size + " pixels, more than the OpenGL context takes");
    Platform::MallocArray<std::uint8_t> staging(static_cast<std::uint8_t*>(std::malloc(bytes)));
    if (!staging)
        return fail(path, "is " + size + " pixels, more than fit into memory");
    if (!image.readRgbaBottomUp(staging.get()))
        return fail(path, image.failureReason());
    upload(staging.get(), int(width), int(height));
    if (textureName_ == 0)
        fail(path, "was refused by OpenGL at " + size + " pixels");
}

void RVTexture::fail(const std::string& path, const std::string& reason) {
    failureReason_ = path + ": " + reason;
}

void RVTexture::upload(const void* rgba, int width, int height) {
    clearOpenGLErrors();
    glGenTextures(1, &textureName_);
    glBindTexture(GL_TEXTURE_2D, textureName_);
    // The caller's unpacking settings (alignment, row length, skips, a bound
    // unpack buffer) would make OpenGL read the rows wrongly or beyond the
    // buffer; tightly packed client memory is what is handed over.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopClientAttrib();
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &textureName_);
        textureName_ = 0;
        return;
    }
    // Without mipmaps the default minification filter leaves the texture
    // incomplete, and it would sample as if texturing were off.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    width_ = width;
    height_ = height;
}
