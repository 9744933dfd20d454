#include "Platform/core/Localization.h"
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

TEST(Localization, TranslatesByEnglishKeyAndFallsBackToTheKey) {
    std::setlocale(LC_ALL, "C.UTF-8"); // gettext ignores LANGUAGE in the plain "C" locale
    for (const std::string language : {"de", "xx"}) {
        setenv("LANGUAGE", language.c_str(), 1);
        Platform::reloadLocalization();
        const bool de = language == "de";
        EXPECT_EQ(Platform::localized("Revert To Saved"),
                  de ? "Zur\u00fcck zur gesicherten Version" : "Revert To Saved");
        EXPECT_EQ(Platform::localized("No such message"), "No such message");
        EXPECT_EQ(Platform::localized(""), "");
    }
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C");
    Platform::reloadLocalization();
}
