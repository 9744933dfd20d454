#include "Platform/core/Localization.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

// Switches the messages to a language for one test and back afterwards.
// gettext ignores LANGUAGE in the plain "C" locale, so C.UTF-8 is used.
class LanguageScope {
public:
    explicit LanguageScope(const char* language) {
        std::setlocale(LC_ALL, "C.UTF-8");
        setenv("LANGUAGE", language, 1);
        Platform::reloadLocalization();
    }
    ~LanguageScope() {
        unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, "C");
        Platform::reloadLocalization();
    }
};

} // namespace

TEST(Localization, GermanCatalogueTranslatesByEnglishKey) {
    LanguageScope german("de");
    EXPECT_EQ(Platform::localized("Save"), "Sichern");
    EXPECT_EQ(Platform::localized("Revert To Saved"), "Zur\xC3\xBC"
                                                      "ck zur gesicherten Version");
    EXPECT_EQ(Platform::localized("Set Blowup"), "Aufblasung einstellen");
    // Untranslated texts come back as they are.
    EXPECT_EQ(Platform::localized("No such message in any catalogue"),
              "No such message in any catalogue");
    EXPECT_EQ(Platform::localized(""), "");
}

TEST(Localization, WithoutATranslationTheKeyIsTheText) {
    LanguageScope none("xx");
    EXPECT_EQ(Platform::localized("Save"), "Save");
    EXPECT_EQ(Platform::localized("Set Meridians"), "Set Meridians");
}
