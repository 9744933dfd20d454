#include "TolvaneKit/Scene/RVElementVNT.h"

#include "TolvaneKit/Resources/RVDatabase.h"
#include "TolvaneKit/Scene/RVModelVNT.h"
#include "TolvaneKit/Resources/RVTexture.h"

#include <climits>
#include <cmath>

RVElementVNT::RVElementVNT() = default;

RVElementVNT::~RVElementVNT() {
    giveBackModel();
    giveBackTexture();
}

RVElementVNT& RVElementVNT::setModelKey(int key) {
    modelKey_ = key;
    return *this;
}

RVElementVNT& RVElementVNT::retainModelFromDatabase(RVDatabase& database) {
    giveBackModel();
    if (modelKey_ != INT_MIN)
        model_ = database.retainKey<RVModelVNT>(modelKey_ < 0 ? -modelKey_ : modelKey_);
    return *this;
}

RVElementVNT& RVElementVNT::setTextureKey(int key) {
    textureKey_ = key;
    return *this;
}

RVElementVNT& RVElementVNT::retainTextureFromDatabase(RVDatabase& database) {
    giveBackTexture();
    texture_ = database.retainKey<RVTexture>(textureKey_);
    return *this;
}

void RVElementVNT::giveBackModel() {
    // The pointer is cleared first: giving back the last use destroys the model.
    if (RVModelVNT* model = model_) {
        model_ = nullptr;
        model->releaseFromDatabase();
    }
}

void RVElementVNT::giveBackTexture() {
    if (RVTexture* texture = texture_) {
        texture_ = nullptr;
        texture->releaseFromDatabase();
    }
}

RVElementVNT& RVElementVNT::setColor(const GLfloat color[4]) {
    for (int i = 0; i < 4; ++i)
        color_[i] = color[i];
    return *this;
}

const RVElementVNT& RVElementVNT::getColor(GLfloat color[4]) const {
    for (int i = 0; i < 4; ++i)
        color[i] = color_[i];
    return *this;
}

RVElementVNT& RVElementVNT::setColor(int index, GLfloat value) {
    color_[index] = value;
    return *this;
}

RVElementVNT& RVElementVNT::setScalar(GLfloat scalar) {
    scalar_ = scalar;
    return *this;
}

// The reciprocal of a normal float is finite and not 0, so the scale pair
// restores the matrix up to rounding. Zero, subnormal and non-finite scalars
// would multiply it by infinity or 0 on the way back.
bool RVElementVNT::scaleCanBeUndone() const {
    return std::isnormal(scalar_);
}

RVElementVNT& RVElementVNT::draw() {
    const bool scaled = scaleCanBeUndone();
    const GLfloat ySign = modelKey_ < 0 ? -1.0f : 1.0f;
    if (scaled)
        glScalef(scalar_, ySign * scalar_, scalar_);
    glColor4fv(color_);
    if (texture_)
        texture_->apply();
    if (model_ && scaled)
        model_->draw();
    if (scaled) {
        const auto k = static_cast<GLfloat>(1.0 / scalar_);
        glScalef(k, ySign * k, k);
    }
    return *this;
}
