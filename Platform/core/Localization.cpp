#include "Platform/core/Localization.h"

#include "Platform/core/ResourceDirectory.h"

#include <gnu/libc-version.h>
#include <libintl.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <mutex>

// gettext's own counter of catalogue changes; raising it drops cached lookups.
extern "C" int _nl_msg_cat_cntr;

namespace Platform {

namespace {

void bindCatalogue() {
    bindtextdomain(localizationDomain, localeDirectory().c_str());
    bind_textdomain_codeset(localizationDomain, "UTF-8");
}

} // namespace

std::string localized(const std::string& englishText) {
    static std::once_flag bound;
    std::call_once(bound, bindCatalogue);
    if (englishText.empty())
        return englishText; // gettext("") is the catalogue's header
    return dgettext(localizationDomain, englishText.c_str());
}

std::string fillIn(const std::string& text, const std::string& name) {
    return fillInAll(text, {name});
}

std::string fillInAll(const std::string& text, const std::vector<std::string>& values) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t index = i + 1 < text.size() ? std::size_t(text[i + 1] - '1') : 9;
        if (text[i] == '%' && index < values.size()) {
            result += values[index];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string localizedSize(std::uintmax_t bytes) {
    if (bytes < 1024)
        return fillIn(localized("%1 bytes"), std::to_string(bytes));
    const std::string units[] = {localized("KB"), localized("MB"), localized("GB"),
                                 localized("TB")};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(units)) {
        value /= 1024;
        ++unit;
    }
    // Whole or large amounts need no decimal: "16 MB", "340 KB".
    char number[32];
    const bool whole = value >= 10 || std::lround(value * 10) % 10 == 0;
    std::snprintf(number, sizeof number, whole ? "%.0f" : "%.1f", value);
    return std::string(number) + " " + units[unit];
}

void reloadLocalization() {
    bindCatalogue();
    ++_nl_msg_cat_cntr;
}

std::string localizationLibraryVersion() {
    return std::string("gettext (GNU C Library ") + gnu_get_libc_version() + ")";
}

} // namespace Platform
