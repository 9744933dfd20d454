#include "Vexmira/AnimationTrack.h"

#include "Vexmira/Blowup.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

// The number must be the whole text: "1.5x" or " 2" is a typing mistake,
// not 1.5 or 2.
std::optional<double> wholeNumber(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return number;
}

bool withinDocumentBounds(double value) {
    return std::isfinite(value) && std::fabs(value) <= Blowup::maximumMagnitude;
}

} // namespace

const std::vector<std::string>& AnimationTrack::names() {
    static const std::vector<std::string> names = {"blowup",    "immersion", "distance", "azimuth",
                                                   "elevation", "twist",     "target-z"};
    return names;
}

std::string AnimationTrack::nameOf(Quantity quantity) {
    return names().at(static_cast<std::size_t>(quantity));
}

std::optional<AnimationTrack> AnimationTrack::parse(const std::string& text,
                                                    std::string& errorMessage) {
    const auto equals = text.find('=');
    const auto colon = text.find(':', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || colon == std::string::npos) {
        errorMessage = "--animate needs NAME=FROM:TO, such as blowup=0:1.5, not \"" + text + "\"";
        return std::nullopt;
    }
    const std::string name = text.substr(0, equals);
    AnimationTrack track;
    std::size_t index = 0;
    while (index < names().size() && names()[index] != name)
        ++index;
    if (index == names().size()) {
        std::string known;
        for (const std::string& each : names())
            known += (known.empty() ? "" : ", ") + each;
        errorMessage = "--animate cannot animate \"" + name + "\"; it knows " + known;
        return std::nullopt;
    }
    track.quantity = static_cast<Quantity>(index);
    const std::string ends[] = {text.substr(equals + 1, colon - equals - 1),
                                text.substr(colon + 1)};
    double* values[] = {&track.from, &track.to};
    for (int end = 0; end < 2; ++end) {
        const std::optional<double> number = wholeNumber(ends[end]);
        if (!number) {
            errorMessage = "--animate " + name + " needs two numbers FROM:TO, not \"" +
                           text.substr(equals + 1) + "\"";
            return std::nullopt;
        }
        if (!withinDocumentBounds(*number)) {
            const auto magnitude = std::to_string(static_cast<long long>(Blowup::maximumMagnitude));
            errorMessage = "--animate " + name + " must stay within [-" + magnitude + ", " +
                           magnitude + "], not " + ends[end];
            return std::nullopt;
        }
        *values[end] = *number;
    }
    return track;
}

float AnimationTrack::valueAt(int frame, int frames) const {
    if (frames < 2)
        return static_cast<float>(from);
    // std::lerp is exact at both ends, where FROM + (TO - FROM) * 1 may miss
    // TO by a rounding step.
    const double t = static_cast<double>(frame) / (frames - 1);
    return static_cast<float>(std::lerp(from, to, t));
}
