// Tolvane Kit, scene objects: triangle meshes and their file format,
// placements in a parent frame, drawable elements and jointed figures.
// Builds on the resources subsystem (cache, textures, trees), the camera's
// vector and angle helpers, Platform/core and legacy OpenGL.

#pragma once

#include "TolvaneKit/Scene/RVTransformation.h"

#include <GL/gl.h>

class RVDatabase;
class RVModelVNT;
class RVTexture;

// A transformation that draws something: a mesh model with a texture, in a
// uniform colour and at a uniform scale. Model and texture are named by keys
// and fetched from a resource database, so many elements share one loaded
// copy. A negative model key draws the model of the opposite key mirrored in
// y, so one model serves for a left and a right part; the mirror reverses the
// triangles' winding on screen, and the front-face setting is left alone.
//
// The element holds one use of its model and one of its texture and gives
// them back when it is destroyed or fetches anew, so the database it fetched
// from must outlive it. Figures hold elements through shared pointers.
class RVElementVNT : public RVTransformation {
public:
    // The identity placement, scale 1, opaque white, keys 0, nothing fetched.
    RVElementVNT();
    ~RVElementVNT() override;
    // An element owns uses of database resources, which must not be doubled.
    RVElementVNT(const RVElementVNT&) = delete;
    RVElementVNT& operator=(const RVElementVNT&) = delete;

    // Sets the key only; nothing is drawn differently until the next fetch.
    RVElementVNT& setModelKey(int key);
    int modelKey() const { return modelKey_; }
    // Gives back the model held, if any, then takes the model of the key's
    // magnitude from the database (which loads it on first use). Giving back
    // first means that fetching the same key again, when this element holds
    // its only use, reloads the model from its file. The lowest int has no
    // positive counterpart and names no model; a key cached as another class
    // gives none either.
    RVElementVNT& retainModelFromDatabase(RVDatabase& database);
    RVModelVNT* model() const { return model_; }

    RVElementVNT& setTextureKey(int key);
    int textureKey() const { return textureKey_; }
    // The same for the texture, with the key used as it is.
    RVElementVNT& retainTextureFromDatabase(RVDatabase& database);
    RVTexture* texture() const { return texture_; }

    // Red, green, blue, alpha from 0 to 1; the colour acts as the material
    // colour while the model is drawn. Indices 0 to 3 are not checked.
    RVElementVNT& setColor(const GLfloat color[4]);
    const RVElementVNT& getColor(GLfloat color[4]) const;
    RVElementVNT& setColor(int index, GLfloat value);
    GLfloat color(int index) const { return color_[index]; }

    RVElementVNT& setScalar(GLfloat scalar);
    GLfloat scalar() const { return scalar_; }

    // Scales the current matrix, sets the colour, binds the texture, draws
    // the model and scales back, leaving the matrix as it was up to rounding.
    // The caller applies the element's own placement first. Nothing is
    // pushed or popped. A scalar that cannot be undone exactly (0, or one
    // that is subnormal or not finite) would leave the matrix unusable; for
    // it the matrix is not touched and the model, which at such a size
    // covers no pixel or none meaningfully, is not drawn. Colour and texture
    // are set all the same.
    RVElementVNT& draw() override;

private:
    void giveBackModel();
    void giveBackTexture();
    bool scaleCanBeUndone() const;

    RVModelVNT* model_ = nullptr;
    int modelKey_ = 0;
    RVTexture* texture_ = nullptr;
    int textureKey_ = 0;
    GLfloat scalar_ = 1;
    GLfloat color_[4] = {1, 1, 1, 1};
};
