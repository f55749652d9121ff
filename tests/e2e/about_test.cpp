// The About window from the main window's F1: the version, the licence and every notice.
#include "e2e/about_window.h"
#include "e2e/program_fixture.h"

#include "app/version.h"

namespace vrx::test {
namespace {

class AboutTest : public ProgramTest {};

TEST_F(AboutTest, F1ShowsTheLicenceAndTheNoticesOfTheLibraries) {
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
    AboutWatch about;
    QTest::keyClick(Main().windowHandle(), Qt::Key_F1);
    ASSERT_TRUE(WaitFor([&] { return about.Done(); }));
    EXPECT_TRUE(about.Shown().contains(ProgramFileVersion()));
    ExpectEveryNotice(about.Shown());
}

} // namespace
} // namespace vrx::test
