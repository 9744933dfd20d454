#include "Platform/core/Localization.h"

#include "Platform/core/ResourceDirectory.h"

#include <libintl.h>
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
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            result += name;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

void reloadLocalization() {
    bindCatalogue();
    ++_nl_msg_cat_cntr;
}

} // namespace Platform
