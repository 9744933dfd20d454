#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// The program's message catalogue is the gettext domain "vexmira", found
// below Platform::localeDirectory().
inline constexpr char localizationDomain[] = "vexmira";

// The translation of an English text for the user's language, or the text
// itself where there is none. The English text is the key: localized("Save").
// The language follows the locale the program set with setlocale() and the
// LANGUAGE environment variable, as everywhere in gettext.
std::string localized(const std::string& englishText);

// Fills the placeholder %1 of a localised text with a name; a name holding
// "%" stays as it is, since it is not a printf directive.
std::string fillIn(const std::string& text, const std::string& name);
// Fills %1, %2, ... up to %9 with the values in turn, wherever the language
// puts them.
std::string fillInAll(const std::string& text, const std::vector<std::string>& values);

// A size as a person reads it: "900 bytes", "16 MB", "1.5 GB" (in units of
// 1024, the decimal point as the locale writes it).
std::string localizedSize(std::uintmax_t bytes);

// The library behind the translations, with its version: gettext as the GNU
// C library carries it.
std::string localizationLibraryVersion();

// Binds the catalogue; localized() does so itself on first use. Call again
// after changing the language at run time, so that cached lookups are dropped.
void reloadLocalization();

} // namespace Platform
