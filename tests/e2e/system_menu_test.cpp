// The About entry of the main window's system menu, with the windows platform on the virtual
// screen that scripts/test-windows gives (DISPLAY): the entry is in the menu once, and choosing
// it (the WM_SYSCOMMAND the system then sends the window) opens the About window.
#include "app/platform_defaults.h"
#include "app/program_windows.h"

#include "e2e/about_window.h"
#include "support/wait_for.h"

#include <QTemporaryDir>

#include <windows.h>

#include <string_view>
#include <vector>

namespace vrx::test {
namespace {

class SystemMenu : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        TFormMain::Options options;
        options.settingsPath = dir.filePath("Eval630.ini");
        options.devDir = dir.path();
        program = std::make_unique<ProgramWindows>(options);
        program->main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->main));
    }
    void TearDown() override {
        program->main.close();
        program.reset();
    }

    HWND Window() { return reinterpret_cast<HWND>(program->main.winId()); }
    // The commands of the system menu's entries named "About VRX630 Evaluation Kit...".
    std::vector<UINT> AboutCommands() {
        std::vector<UINT> commands;
        const HMENU menu = GetSystemMenu(Window(), FALSE);
        for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(menu, UINT(i), text, 128, MF_BYPOSITION);
            if (std::wstring_view(text).starts_with(L"&About VRX630 Evaluation Kit...")) {
                commands.push_back(GetMenuItemID(menu, i));
            }
        }
        return commands;
    }

    QTemporaryDir dir;
    std::unique_ptr<ProgramWindows> program;
};

TEST_F(SystemMenu, HasOneAboutEntryAfterTheWindowShowsAgain) {
    program->main.hide();
    program->main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->main));
    EXPECT_EQ(AboutCommands().size(), 1u);
}

TEST_F(SystemMenu, AboutShowsTheLicenceAndTheNotices) {
    const std::vector<UINT> commands = AboutCommands();
    ASSERT_EQ(commands.size(), 1u);
    AboutWatch about;
    ASSERT_TRUE(PostMessageW(Window(), WM_SYSCOMMAND, commands[0], 0));
    ASSERT_TRUE(WaitFor([&] { return about.Done(); }));
    ExpectEveryNotice(about.Shown());
}

} // namespace
} // namespace vrx::test

// The program's platform defaults, as main() has them.
int main(int argc, char** argv) {
    vrx::SetPlatformDefaults();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    vrx::InitialiseApplication(app);
    return RUN_ALL_TESTS();
}
