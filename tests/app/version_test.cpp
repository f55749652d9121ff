#include "app/version.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace vrx {
namespace {

TEST(ShortVersion, KeepsMajorMinorAndTheReleaseDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.4.1.0", "1.41"}, {"", ""},        {"1.0.0.0", "1.00"},  {"2.3.12.7", "2.312"},
        {"1.4.1", "1.40"},   {"1.4", "1.40"}, {"10.2.3.4", "10.23"}};
    for (const auto& [version, expected] : cases) {
        EXPECT_EQ(ShortVersion(QString::fromLatin1(version)), QString::fromLatin1(expected))
            << version;
    }
}

TEST(ShortVersion, TheProgramVersionIsCompiledIn) {
    EXPECT_FALSE(ProgramFileVersion().isEmpty());
    EXPECT_EQ(ProgramFileVersion().count(QLatin1Char('.')), 3);
#ifdef _WIN32
    // On Windows it is read from the file's version resource, which this program has of its own.
    EXPECT_EQ(ProgramFileVersion(), "9.8.7.6");
#endif
}

} // namespace
} // namespace vrx
