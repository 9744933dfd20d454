#include "Platform/core/Localization.h"
#include "support/MessageCatalogue.h"
#include "support/ProgramRun.h"
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

TEST(Localization, TranslatesByEnglishKeyFillsPlaceholdersAndWritesSizesForPeople) {
    std::setlocale(LC_ALL, "C.UTF-8"); // gettext ignores LANGUAGE in the plain "C" locale
    for (const std::string language : {"de", "xx"}) {
        setenv("LANGUAGE", language.c_str(), 1);
        Platform::reloadLocalization();
        EXPECT_EQ(Platform::localized("No such message"), "No such message");
        EXPECT_EQ(Platform::localized(""), "");
        // Placeholders go where the language puts them.
        EXPECT_EQ(Platform::fillIn(Platform::localized("Undo %1"), "x"),
                  language == "de" ? "„x“ widerrufen" : "Undo x");
    }
    EXPECT_EQ(Platform::fillInAll("%2 of %1, 100%", {"a", "b"}), "b of a, 100%");
    std::vector<std::string> sizes;
    for (std::uintmax_t bytes : {900u, 16u << 20, 1536u, 10188u, 10200u})
        sizes.push_back(Platform::localizedSize(bytes));
    EXPECT_EQ(sizes, (std::vector<std::string>{"900 bytes", "16 MB", "1.5 KB", "9.9 KB", "10 KB"}));
    unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C");
    Platform::reloadLocalization();
}

// Every text the code looks up by its English literal is translated, keeping its placeholders.
TEST(GermanCatalogue, TranslatesEveryMessageTheCodeLooksUpKeepingItsPlaceholders) {
    const auto german = VexmiraTest::readCatalogue(VEXMIRA_TEST_SOURCE_DIR "/po/de.po");
    ASSERT_GT(german.size(), 50u);
    for (const auto& [english, translation] : german) {
        EXPECT_FALSE(translation.empty()) << english;
        EXPECT_EQ(VexmiraTest::placeholdersOf(translation), VexmiraTest::placeholdersOf(english))
            << english;
    }
#ifndef VEXMIRA_XGETTEXT
    GTEST_SKIP() << "xgettext (package gettext) was not found when the tests were configured";
#else
    using VexmiraTest::quoted;
    const VexmiraTest::ProgramRun xgettext = VexmiraTest::runProgram(
        "cd " + quoted(VEXMIRA_TEST_SOURCE_DIR) + " && " + quoted(VEXMIRA_XGETTEXT) +
        " --from-code=UTF-8 --keyword=localized --keyword=nameUndoStep --output=- $(find Platform "
        "TolvaneKit Vexmira tools -name '*.cpp' -o -name '*.h')");
    ASSERT_EQ(xgettext.status, 0) << xgettext.standardError;
    const auto lookedUp = VexmiraTest::parseCatalogue(xgettext.standardOutput);
    EXPECT_GT(lookedUp.size(), 40u);
    for (const auto& entry : lookedUp)
        EXPECT_TRUE(german.contains(entry.first)) << "not in po/de.po: " << entry.first;
#endif
}
