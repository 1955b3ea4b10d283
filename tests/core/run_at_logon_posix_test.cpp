#include "app/run_at_logon.h"
#include "support/temp_config.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillarbor;

TEST(RunAtLogon, EntryTextNamesTheProgramAndIsQuotedWhenItHoldsASpace) {
    EXPECT_EQ(runEntryCommand("/opt/quillarbor"), "/opt/quillarbor/Quillarbor.exe");
    EXPECT_EQ(runEntryCommand("/"), "/Quillarbor.exe");
    EXPECT_EQ(runEntryCommand("/home/u/Skin Tool"), "\"/home/u/Skin Tool/Quillarbor.exe\"");
}

TEST(RunAtLogon, DesktopExecValueQuotesTheProgramAsOneArgument) {
    const struct {
        const char* path;
        const char* exec;
    } cases[] = {
        {"/usr/bin/quillarbor", "\"/usr/bin/quillarbor\""},
        {"/home/u/My Apps/quillarbor", "\"/home/u/My Apps/quillarbor\""},
        {"/tmp/a\"b$c`d", "\"/tmp/a\\\\\"b\\\\$c\\\\`d\""},
        {"/tmp/back\\slash", "\"/tmp/back\\\\\\\\slash\""},
        {"/tmp/100%", "\"/tmp/100%%\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktopExecValue(c.path), c.exec) << c.path;
    }
}

TEST(RunAtLogon, AutostartEntryIsWrittenAndRemoved) {
    TempConfig config;
    const std::filesystem::path entry = config.root() / "config" / "autostart" / "quillarbor.desktop";
    ASSERT_EQ(autostartEntryPath(), entry.string());

    setAutostart(true, "/home/u/My Apps/quillarbor");
    const std::string text = TempConfig::readFile(entry);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nExec=\"/home/u/My Apps/quillarbor\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);

    setAutostart(false, "/home/u/My Apps/quillarbor");
    EXPECT_FALSE(std::filesystem::exists(entry));
    setAutostart(false, "/home/u/My Apps/quillarbor"); // already gone: nothing to do
    EXPECT_FALSE(std::filesystem::exists(entry));
}

TEST(RunAtLogon, RunningExecutableIsThisTestBinary) {
    const std::string exe = runningExecutable();
    EXPECT_TRUE(std::filesystem::is_regular_file(exe)) << exe;
    EXPECT_TRUE(std::filesystem::path(exe).is_absolute());
}
