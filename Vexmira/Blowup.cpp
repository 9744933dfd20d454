#include "Vexmira/Blowup.h"

#include "Platform/core/NotificationCenter.h"
#include "Platform/core/UndoManager.h"
#include "Vexmira/MyDocument.h"
#include "Vexmira/StoredNumber.h"

#include <GL/gl.h>

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
    errorMessage = "The value of \"" + key + "\" must be a finite number within " +
                   rangeText(-limit, limit) + ".";
    return false;
}

bool checkInteger(const Blowup::Dictionary& dictionary, const std::string& key, long long minimum,
                  long long maximum, long long& value, std::string& errorMessage) {
    bool overflow = false;
    value = StoredNumber::leadingInteger(textUnder(dictionary, key), overflow);
    if (!overflow && value >= minimum && value <= maximum)
        return true;
    errorMessage = "The value of \"" + key + "\" must be an integer within " +
                   rangeText(minimum, maximum) + ".";
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
    if (meridians > 0 && resolution > 0 &&
        meridians * resolution > maximumMeridiansTimesResolution) {
        errorMessage = "The values of \"" + meridiansKey + "\" and \"" + resolutionKey +
                       "\" multiplied must not exceed " +
                       std::to_string(maximumMeridiansTimesResolution) + " (they are " +
                       std::to_string(meridians) + " and " + std::to_string(resolution) + ").";
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

// ---------------------------------------------------------------------------
// Drawing the surface: draw() and setHue(). This section belongs to the
// drawing code and is appended below; nothing above depends on it.
// ---------------------------------------------------------------------------
