#include "Vexmira/Blowup.h"

#include "TolvaneKit/Camera/RVAngles.h"

#include "Platform/core/Localization.h"
#include "Platform/core/NotificationCenter.h"
#include "Platform/core/UndoManager.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/StoredNumber.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <string>

namespace {

// Keys of the six parameters in the document's storage dictionary.
const std::string blowupKey = "blowupValue";
const std::string immersionKey = "immersionValue";
const std::string distanceKey = "distanceValue";
const std::string resolutionKey = "resolutionValue";
const std::string meridiansKey = "meridiansValue";
const std::string antialiasingKey = "antialiasingValue";

void registerInverse(const Blowup& model, std::function<void()> inverse) {
    if (Platform::UndoManager* undoManager = model.undoManager())
        undoManager->registerUndo(&model, std::move(inverse));
}

void post(const char* notificationName, const Blowup& model) {
    Platform::NotificationCenter::defaultCenter().postNotification(notificationName, &model);
}

std::string textUnder(const Blowup::Dictionary& dictionary, const std::string& key) {
    auto entry = dictionary.find(key);
    return entry == dictionary.end() ? std::string() : entry->second;
}

float floatUnder(const Blowup::Dictionary& dictionary, const std::string& key) {
    return static_cast<float>(StoredNumber::leadingDouble(textUnder(dictionary, key)));
}

// Out-of-range integers become the nearest int, as an unchecked read of a
// too-long number does elsewhere; opened files are checked beforehand.
int intUnder(const Blowup::Dictionary& dictionary, const std::string& key) {
    bool overflow = false;
    long long value = StoredNumber::leadingInteger(textUnder(dictionary, key), overflow);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::string rangeText(long long minimum, long long maximum) {
    return "[" + std::to_string(minimum) + ", " + std::to_string(maximum) + "]";
}

bool checkFloat(const Blowup::Dictionary& dictionary, const std::string& key,
                std::string& errorMessage) {
    double value = StoredNumber::leadingDouble(textUnder(dictionary, key));
    if (std::isfinite(value) && std::fabs(value) <= Blowup::maximumMagnitude)
        return true;
    long long limit = static_cast<long long>(Blowup::maximumMagnitude);
    errorMessage = Platform::fillInAll(
        Platform::localized("The value of “%1” must be a finite number within %2."),
        {key, rangeText(-limit, limit)});
    return false;
}

bool checkInteger(const Blowup::Dictionary& dictionary, const std::string& key, long long minimum,
                  long long maximum, long long& value, std::string& errorMessage) {
    bool overflow = false;
    value = StoredNumber::leadingInteger(textUnder(dictionary, key), overflow);
    if (!overflow && value >= minimum && value <= maximum)
        return true;
    errorMessage =
        Platform::fillInAll(Platform::localized("The value of “%1” must be an integer within %2."),
                            {key, rangeText(minimum, maximum)});
    return false;
}

} // namespace

Blowup::Blowup() : Blowup(nullptr) {}

Blowup::Blowup(MyDocument* document) : myDocument_(document) {
    // The defaults are where a new document starts, not changes to undo.
    Platform::UndoManager* undo = undoManager();
    if (undo)
        undo->disableUndoRegistration();
    setBlowup(0.0f);
    setImmersion(0.0f);
    setDistance(8.0f);
    setMeridians(72);
    setResolution(34);
    setAntialiasing(1);
    if (undo)
        undo->enableUndoRegistration();
}

Platform::UndoManager* Blowup::undoManager() const {
    return myDocument_ ? &myDocument_->undoManager() : nullptr;
}

// Every setter registers its inverse before storing and posts after storing,
// so observers read the new value and undo and redo run through here again.
void Blowup::setBlowup(float blowup) {
    registerInverse(*this, [this, old = blowup_] { setBlowup(old); });
    blowup_ = blowup;
    post(VexmiraBlowupNotification, *this);
}

void Blowup::setImmersion(float immersion) {
    registerInverse(*this, [this, old = immersion_] { setImmersion(old); });
    immersion_ = immersion;
    post(VexmiraImmersionNotification, *this);
}

void Blowup::setDistance(float distance) {
    registerInverse(*this, [this, old = distance_] { setDistance(old); });
    distance_ = distance;
    post(VexmiraDistanceNotification, *this);
}

void Blowup::setResolution(int resolution) {
    registerInverse(*this, [this, old = resolution_] { setResolution(old); });
    resolution_ = resolution;
    post(VexmiraResolutionNotification, *this);
}

void Blowup::setMeridians(int meridians) {
    registerInverse(*this, [this, old = meridians_] { setMeridians(old); });
    meridians_ = meridians;
    post(VexmiraMeridiansNotification, *this);
}

void Blowup::setAntialiasing(int antialiasing) {
    registerInverse(*this, [this, old = antialiasing_] { setAntialiasing(old); });
    antialiasing_ = antialiasing;
    post(VexmiraAntialiasingNotification, *this);
}

void Blowup::convertToDictionary(Dictionary& dictionary) const {
    dictionary[blowupKey] = StoredNumber::formatFloat(blowup_);
    dictionary[immersionKey] = StoredNumber::formatFloat(immersion_);
    dictionary[distanceKey] = StoredNumber::formatFloat(distance_);
    dictionary[meridiansKey] = StoredNumber::formatInteger(meridians_);
    dictionary[resolutionKey] = StoredNumber::formatInteger(resolution_);
    dictionary[antialiasingKey] = StoredNumber::formatInteger(antialiasing_);
}

bool Blowup::isParameterKey(const std::string& key) {
    return key == blowupKey || key == immersionKey || key == distanceKey || key == resolutionKey ||
           key == meridiansKey || key == antialiasingKey;
}

bool Blowup::validateDictionary(const Dictionary& dictionary, std::string& errorMessage) {
    for (const std::string* key : {&blowupKey, &immersionKey, &distanceKey})
        if (!checkFloat(dictionary, *key, errorMessage))
            return false;
    long long meridians = 0, resolution = 0, antialiasing = 0;
    if (!checkInteger(dictionary, meridiansKey, minimumCount, maximumCount, meridians,
                      errorMessage) ||
        !checkInteger(dictionary, resolutionKey, minimumCount, maximumCount, resolution,
                      errorMessage) ||
        !checkInteger(dictionary, antialiasingKey, minimumAntialiasing, maximumAntialiasing,
                      antialiasing, errorMessage))
        return false;
    if (!countsFitTogether(meridians, resolution)) {
        errorMessage = Platform::fillInAll(
            Platform::localized("“%1” times “%2” must not exceed %3; they are %4 and %5."),
            {meridiansKey, resolutionKey, std::to_string(maximumMeridiansTimesResolution),
             std::to_string(meridians), std::to_string(resolution)});
        return false;
    }
    return true;
}

void Blowup::restoreFromDictionary(const Dictionary& dictionary) {
    Platform::UndoManager* undo = undoManager();
    if (undo)
        undo->disableUndoRegistration();
    setBlowup(floatUnder(dictionary, blowupKey));
    setImmersion(floatUnder(dictionary, immersionKey));
    setDistance(floatUnder(dictionary, distanceKey));
    setMeridians(intUnder(dictionary, meridiansKey));
    setResolution(intUnder(dictionary, resolutionKey));
    setAntialiasing(intUnder(dictionary, antialiasingKey));
    if (undo)
        undo->enableUndoRegistration();
}

// Drawing the surface: draw() and setHue().

namespace {

// The half and the quarter turn the picture is defined with: pi to ten
// decimals, not the library's value. The last bits of every vertex depend
// on them, and so does where the meridians' tops meet the white circle.
constexpr double halfTurn = 3.1415926535;
constexpr double quarterTurn = 1.57079632675;
constexpr double hueCircle = 360.0;

// The angle of vertex j along a meridian or around the white circle,
// measured from the lower pole. Multiplying before dividing is part of the
// picture's definition; resolution is positive whenever this is called.
double angleFromLowerPole(long long j, int resolution) {
    return static_cast<double>(j) * halfTurn / resolution - quarterTurn;
}

// A point (x, y, z) turned about the z axis by the angle whose sine and
// cosine are given; the turned x and y are rounded to float.
void emitTurned(float x, float y, float z, double sinTurn, double cosTurn) {
    glVertex3f(static_cast<float>(x * cosTurn - y * sinTurn),
               static_cast<float>(x * sinTurn + y * cosTurn), z);
}

void emitLowerPole() {
    glVertex3f(0.0f, 0.0f, -1.0f);
}

// One meridian without its lower pole: 2R - 1 points, highest j first. The
// displacement (a, b, c) is weighted by the height above the lower pole and
// added in the meridian's own plane before the turn by theta.
void emitMeridian(double theta, double blowup, double immersion, int resolution) {
    const double sinTheta = std::sin(theta);
    const double cosTheta = std::cos(theta);
    const double delta = immersion - theta;
    const double cos2Delta = std::cos(delta + delta);
    const float a = static_cast<float>(blowup * std::cos(delta) * cos2Delta);
    const float b = static_cast<float>(blowup * std::sin(delta) * cos2Delta);
    const float c = static_cast<float>(-blowup * std::sin(delta + delta));
    for (long long j = 2LL * resolution - 1; j >= 1; --j) {
        const double t = angleFromLowerPole(j, resolution);
        const float z0 = static_cast<float>(std::sin(t));
        const float x = static_cast<float>((a * 0.5) * (z0 + 1.0) + std::cos(t));
        const float y = static_cast<float>((b * 0.5) * (z0 + 1.0));
        const float z = static_cast<float>((c * 0.5) * (z0 + 1.0) + z0);
        emitTurned(x, y, z, sinTheta, cosTheta);
    }
}

// The exceptional circle: radius blowup around the upper pole, in the
// vertical plane at azimuth immersion, 2R points.
void emitExceptionalCircle(double blowup, double immersion, int resolution) {
    const double sinTurn = std::sin(immersion);
    const double cosTurn = std::cos(immersion);
    for (long long j = 2LL * resolution - 1; j >= 0; --j) {
        const double t = angleFromLowerPole(j, resolution);
        const float x = static_cast<float>(blowup * std::cos(t));
        const float y = 0.0f;
        const float z = static_cast<float>(blowup * std::sin(t) + 1.0);
        emitTurned(x, y, z, sinTurn, cosTurn);
    }
}

} // namespace

// Every frame recomputes every point; nothing is cached between calls.
// Counters are 64-bit so that 2R - 1 and M - 1 cannot overflow for any int.
Blowup& Blowup::draw() {
    const double blowup = blowup_;
    const double immersion = immersion_;
    const int meridians = meridians_;
    const int resolution = resolution_;

    glBegin(GL_LINE_STRIP);
    for (long long i = static_cast<long long>(meridians) - 1; i >= 0; --i) {
        const double s = static_cast<double>(i) / meridians;
        setHue(static_cast<float>(s * hueCircle));
        emitLowerPole();
        emitMeridian(s * halfTurn, blowup, immersion, resolution);
    }
    emitLowerPole();
    glEnd();

    glBegin(GL_LINE_LOOP);
    glColor3f(1.0f, 1.0f, 1.0f);
    emitExceptionalCircle(blowup, immersion, resolution);
    glEnd();
    return *this;
}

long long Blowup::verticesDrawn() const {
    const long long meridians = std::max(meridians_, 0);
    const long long resolution = std::max(resolution_, 0);
    return meridians * std::max(2 * resolution, 1LL) + 1 + 2 * resolution;
}

// The hue is brought into [0, 360) by whole turns, rounding to float after
// every step, then its sector of 60 degrees picks the colour. Two inputs are
// mended on the way: a hue that is not finite counts as 0 (red) instead of
// looping for ever, and a small negative hue whose turn rounds up to exactly
// 360 counts as 0 (red) instead of falling into a seventh, magenta sector.
void Blowup::setHue(float hue) {
    float h = RVWrapAngle(hue);
    if (h >= hueCircle)
        h = 0.0f;
    h = static_cast<float>(h / 60.0);

    const int sector = static_cast<int>(std::floor(h));
    const float f = h - static_cast<float>(sector);
    const float q = 1.0f - f;
    switch (sector) {
    case 0:
        glColor3f(1.0f, f, 0.0f);
        break;
    case 1:
        glColor3f(q, 1.0f, 0.0f);
        break;
    case 2:
        glColor3f(0.0f, 1.0f, f);
        break;
    case 3:
        glColor3f(0.0f, q, 1.0f);
        break;
    case 4:
        glColor3f(f, 0.0f, 1.0f);
        break;
    default:
        glColor3f(1.0f, 0.0f, q);
        break;
    }
}
