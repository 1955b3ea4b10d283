// Run at startup on desktops that start only what their autostart folder names.
#include "app/run_at_logon.h"
#include "support/presenter_commands.h"

#include <filesystem>

using namespace quillarbor;
using namespace quillarbor::test;

namespace {

using Autostart = PresenterCommands;

TEST_F(Autostart, FileFollowsEachClickWhileTheMarksFollowTheLogonEntryAlone) {
    // The desktop's own autostart folder, in the test's settings folder.
    DesktopAutostart desktop{std::string(kExecutable)};
    autostart_ = &desktop;
    // A file without a logon entry: start-up leaves both as they are.
    setAutostart(true, "/usr/bin/quillarbor");
    launch();
    EXPECT_FALSE(view_.runAtStartupMarks);
    ASSERT_TRUE(std::filesystem::exists(autostartEntryPath()));

    presenter_->onRunAtStartupClicked();
    const std::string text = TempConfig::readFile(autostartEntryPath());
    EXPECT_NE(text.find("\nExec=" + desktopExecValue(kExecutable) + "\n"), std::string::npos)
        << text;
    presenter_->onRunAtStartupClicked();
    EXPECT_FALSE(std::filesystem::exists(autostartEntryPath()));
    presenter_.reset(); // before the entry it was handed
}

} // namespace
