// Tolvane Kit, resources and containers: a cache of objects loaded by key
// from the resource folder (textures read from TIFF files), the binary,
// splay and child/sibling trees behind it and the figures, and a clock for
// timed transitions. Builds on Platform/core's resource directory, libtiff
// and OpenGL.

#pragma once

#include "TolvaneKit/Resources/RVResource.h"

#include <GL/gl.h>

#include <string>

// A 2D OpenGL texture made from the first image of a TIFF file, cached by a
// resource database under the number of its file
// "<resources>/RVTexture/<key>.tiff".
//
// The image is uploaded once, at creation, with OpenGL's first row the
// image's bottom row, and is not kept in memory. A texture that could not be
// made (no readable file, a planar image or another layout that cannot be
// shown as stored, a size the context does not take, too little memory, an
// OpenGL error) is empty: name 0 and size 0 x 0, and failureReason() says why.
// Creating, applying and destroying a texture need the context it belongs to
// to be current.
class RVTexture : public RVResource {
public:
    // Created by a database: loads and uploads the key's image. A new
    // texture stays bound to GL_TEXTURE_2D. It samples with linear filters
    // and has no mipmaps, so it is complete and usable at once.
    RVTexture(int key, RVDatabase* database);
    ~RVTexture() override;

    // Binds the texture to GL_TEXTURE_2D (an empty one binds texture 0);
    // enabling texturing is the caller's.
    RVTexture& apply();

    GLuint textureName() const { return textureName_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The file and what was wrong with it or its upload ("<path>: has
    // 32-bit samples; ..."); empty when the texture holds its image.
    const std::string& failureReason() const { return failureReason_; }

private:
    void load(const std::string& path);
    void fail(const std::string& path, const std::string& reason);
    void upload(const void* rgba, int width, int height);

    GLuint textureName_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::string failureReason_;
};
