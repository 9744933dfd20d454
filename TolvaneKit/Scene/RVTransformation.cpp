#include "TolvaneKit/Scene/RVTransformation.h"

#include "TolvaneKit/Camera/RVAngles.h"

#include <cmath>

namespace {

constexpr double radiansPerDegree = 0.017453292519943295;
constexpr GLfloat markerLength = 0.1f;

// Cosine and sine of an angle in degrees, computed in double precision and
// kept in single precision like every other product of the rotation.
struct CosineSine {
    explicit CosineSine(GLfloat degrees) {
        const double radians = degrees * radiansPerDegree;
        c = static_cast<float>(std::cos(radians));
        s = static_cast<float>(std::sin(radians));
    }
    float c;
    float s;
};

// Turns (x, y) about the z axis by the angle whose cosine and sine are given.
void turnAboutZ(const CosineSine& angle, const float in[3], float out[3]) {
    const float x = in[0], y = in[1], z = in[2];
    out[0] = angle.c * x - angle.s * y;
    out[1] = angle.s * x + angle.c * y;
    out[2] = z;
}

void turnBackAboutZ(const CosineSine& angle, const float in[3], float out[3]) {
    const float x = in[0], y = in[1], z = in[2];
    out[0] = angle.c * x + angle.s * y;
    out[1] = -angle.s * x + angle.c * y;
    out[2] = z;
}

void turnAboutY(const CosineSine& angle, const float in[3], float out[3]) {
    const float x = in[0], y = in[1], z = in[2];
    out[0] = angle.c * x + angle.s * z;
    out[1] = y;
    out[2] = -angle.s * x + angle.c * z;
}

void turnBackAboutY(const CosineSine& angle, const float in[3], float out[3]) {
    const float x = in[0], y = in[1], z = in[2];
    out[0] = angle.c * x - angle.s * z;
    out[1] = y;
    out[2] = angle.s * x + angle.c * z;
}

} // namespace

float RVInterpolateAngles(float a, float b, float fraction) {
    a = RVWrapAngle(a);
    b = RVWrapAngle(b);
    float result;
    if (b - a >= 180.0f) {
        result = a + fraction * ((b - 360.0f) - a);
    } else if (a - b >= 180.0f) {
        result = (a - 360.0f) + fraction * (b - (a - 360.0f));
    } else {
        result = a + (b - a) * fraction;
    }
    return RVWrapAngle(result);
}

RVTransformation& RVTransformation::setLocation(const GLfloat vector[3]) {
    for (int i = 0; i < 3; ++i) {
        location_[i] = vector[i];
    }
    return *this;
}

const RVTransformation& RVTransformation::getLocation(GLfloat vector[3]) const {
    for (int i = 0; i < 3; ++i) {
        vector[i] = location_[i];
    }
    return *this;
}

RVTransformation& RVTransformation::setLocation(int index, GLfloat value) {
    location_[index] = value;
    return *this;
}

RVTransformation& RVTransformation::setAzimuth(GLfloat azimuth) {
    azimuth_ = azimuth;
    return *this;
}

RVTransformation& RVTransformation::setElevation(GLfloat elevation) {
    elevation_ = elevation;
    return *this;
}

RVTransformation& RVTransformation::setTwist(GLfloat twist) {
    twist_ = twist;
    return *this;
}

RVTransformation& RVTransformation::draw() {
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex3f(markerLength, 0, 0);
    glVertex3f(0, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, markerLength, 0);
    glVertex3f(0, 0, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, markerLength);
    glVertex3f(0, 0, 0);
    glEnd();
    return *this;
}

RVTransformation& RVTransformation::apply() {
    glTranslatef(location_[0], location_[1], location_[2]);
    glRotatef(azimuth_, 0, 0, 1);
    glRotatef(elevation_, 0, 1, 0);
    glRotatef(twist_, 0, 0, 1);
    return *this;
}

const RVTransformation& RVTransformation::applyTo(const GLfloat point[3], GLfloat result[3]) const {
    applyRotationTo(point, result);
    for (int i = 0; i < 3; ++i) {
        result[i] += location_[i];
    }
    return *this;
}

const RVTransformation& RVTransformation::applyInverseTo(const GLfloat point[3],
                                                         GLfloat result[3]) const {
    GLfloat relative[3];
    for (int i = 0; i < 3; ++i) {
        relative[i] = point[i] - location_[i];
    }
    return applyInverseRotationTo(relative, result);
}

// Each step works from a copy of its input, so the caller may pass one array
// for both vector and result.
const RVTransformation& RVTransformation::applyRotationTo(const GLfloat vector[3],
                                                          GLfloat result[3]) const {
    float twisted[3], tilted[3];
    turnAboutZ(CosineSine(twist_), vector, twisted);
    turnAboutY(CosineSine(elevation_), twisted, tilted);
    turnAboutZ(CosineSine(azimuth_), tilted, result);
    return *this;
}

const RVTransformation& RVTransformation::applyInverseRotationTo(const GLfloat vector[3],
                                                                 GLfloat result[3]) const {
    float turned[3], tilted[3];
    turnBackAboutZ(CosineSine(azimuth_), vector, turned);
    turnBackAboutY(CosineSine(elevation_), turned, tilted);
    turnBackAboutZ(CosineSine(twist_), tilted, result);
    return *this;
}

void RVTransformation::blendLocationToward(const RVTransformation& other, float fraction) {
    GLfloat target[3];
    other.getLocation(target);
    for (int i = 0; i < 3; ++i) {
        location_[i] = location_[i] + (target[i] - location_[i]) * fraction;
    }
}

RVTransformation& RVTransformation::interpolateToward(const RVTransformation& other,
                                                      float fraction) {
    blendLocationToward(other, fraction);
    azimuth_ = RVInterpolateAngles(azimuth_, other.azimuth(), fraction);
    elevation_ = RVInterpolateAngles(elevation_, other.elevation(), fraction);
    twist_ = RVInterpolateAngles(twist_, other.twist(), fraction);
    return *this;
}

RVTransformation& RVTransformation::interpolateNaivelyToward(const RVTransformation& other,
                                                             float fraction) {
    blendLocationToward(other, fraction);
    azimuth_ = azimuth_ + (other.azimuth() - azimuth_) * fraction;
    elevation_ = elevation_ + (other.elevation() - elevation_) * fraction;
    twist_ = twist_ + (other.twist() - twist_) * fraction;
    return *this;
}
