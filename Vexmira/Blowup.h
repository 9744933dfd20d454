#pragma once

#include <map>
#include <string>

namespace Platform {
class UndoManager;
}

class MyDocument;

// Names of the notifications the model posts, one per parameter, each with the
// model as its object, after the field holds the new value.
inline constexpr char VexmiraBlowupNotification[] = "Blowup Notification";
inline constexpr char VexmiraImmersionNotification[] = "Immersion Notification";
inline constexpr char VexmiraDistanceNotification[] = "Distance Notification";
inline constexpr char VexmiraResolutionNotification[] = "Resolution Notification";
inline constexpr char VexmiraMeridiansNotification[] = "Meridians Notification";
inline constexpr char VexmiraAntialiasingNotification[] = "Antialiasing Notification";

// The model of one document: the six parameters of the blow-up picture.
// Every change goes through a setter, which registers its inverse with the
// document's undo manager and then posts the parameter's notification, so
// sliders, camera and view follow direct changes, undo and redo alike.
class Blowup {
public:
    using Dictionary = std::map<std::string, std::string>;

    // Accepted ranges of stored documents. A file outside them is refused
    // when it is opened: a huge meridian or resolution count would make one
    // frame take minutes, a huge float loses the picture entirely. The
    // sliders and the command-line renderer keep to the same ranges.
    static constexpr int minimumCount = -100000;
    static constexpr int maximumCount = 100000;
    // When meridians and resolution are both positive, their product (half
    // the vertices of one frame) stays within this.
    static constexpr long long maximumMeridiansTimesResolution = 1000000;
    static bool countsFitTogether(long long meridians, long long resolution) {
        return meridians <= 0 || resolution <= 0 ||
               meridians * resolution <= maximumMeridiansTimesResolution;
    }
    static constexpr int minimumAntialiasing = -1000;
    static constexpr int maximumAntialiasing = 1000;
    // For blowup, immersion and distance: finite, with |value| within this.
    static constexpr float maximumMagnitude = 1e6f;

    // A model without a document: setters store and post, nothing is
    // registered for undo.
    Blowup();
    // The document is not owned; it owns the model and outlives it.
    explicit Blowup(MyDocument* document);
    Blowup(const Blowup&) = delete;
    Blowup& operator=(const Blowup&) = delete;

    MyDocument* myDocument() const { return myDocument_; }
    // The document's undo manager, or null when there is no document.
    Platform::UndoManager* undoManager() const;

    float blowup() const { return blowup_; }
    float immersion() const { return immersion_; }
    float distance() const { return distance_; }
    int resolution() const { return resolution_; }
    int meridians() const { return meridians_; }
    int antialiasing() const { return antialiasing_; }

    void setBlowup(float blowup);
    void setImmersion(float immersion);
    void setDistance(float distance);
    void setResolution(int resolution);
    void setMeridians(int meridians);
    void setAntialiasing(int antialiasing);

    // Adds the six parameter entries to the document's storage dictionary,
    // replacing entries already under those keys.
    void convertToDictionary(Dictionary& dictionary) const;

    // Whether `key` is one of the six parameter keys of the storage dictionary.
    static bool isParameterKey(const std::string& key);

    // Checks a storage dictionary before anything is changed: every number
    // present must be readable within the accepted ranges. On failure the
    // message names the key and its range.
    static bool validateDictionary(const Dictionary& dictionary, std::string& errorMessage);

    // Sets all six parameters from a storage dictionary without touching the
    // undo history; a missing key or a text that does not begin with a number
    // restores 0. Callers validate first.
    void restoreFromDictionary(const Dictionary& dictionary);

    // Draws the meridians and the exceptional circle with the current
    // OpenGL context; leaves the colour white.
    Blowup& draw();
    // How many vertices draw sends: each meridian's lower pole and its
    // 2R - 1 points, the closing pole, and the circle's 2R points.
    long long verticesDrawn() const;
    // Sets the current colour to the fully saturated, full-value colour of
    // the hue, in degrees.
    void setHue(float hue);

private:
    MyDocument* myDocument_ = nullptr;
    float blowup_ = 0.0f;
    float immersion_ = 0.0f;
    float distance_ = 0.0f;
    int resolution_ = 0;
    int meridians_ = 0;
    int antialiasing_ = 0;
};
