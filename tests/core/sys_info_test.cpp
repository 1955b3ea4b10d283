#include "app/sys_info.h"
#include "rotation/skins.h"
#include "settings/key_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace quillarbor;

namespace {

using Values = std::map<std::string, std::optional<std::string>>; // nullopt: no text

// The machine-wide values and files the look-up sees, and what it did with them.
struct Machine {
    Values values;
    std::vector<std::string> files;
    bool throws;
    bool startable;
    std::vector<std::string> asked{};
    std::vector<std::string> started{};

    SysInfoServices services() {
        return {[this](RegRoot root, std::string_view key, std::string_view, std::string& text) {
                    EXPECT_EQ(root, RegRoot::LocalMachine);
                    asked.emplace_back(key);
                    if (throws) {
                        throw KeyValueError("no data");
                    }
                    const auto it = values.find(std::string(key));
                    if (it == values.end()) {
                        text.clear();
                        return false;
                    }
                    if (it->second) {
                        text = *it->second;
                    }
                    return true;
                },
                [this](const std::string& path) {
                    return std::find(files.begin(), files.end(), path) != files.end();
                },
                [this](const std::string& path) {
                    started.push_back(path);
                    return startable;
                }};
    }
};

const std::string kFirst(loc::msinfoKey);
const std::string kSecond(loc::msinfoLocationKey);
const std::string kTool = addSlash("Tools") + "MSINFO32.EXE";
const std::string kNamed = "C:\\Tools\\info.exe";

} // namespace

TEST(StartSysInfo, FindsTheToolOrSaysItIsUnavailable) {
    const struct {
        const char* label;
        Machine machine;
        bool available;
        std::vector<std::string> started;
        std::vector<std::string> asked;
    } cases[] = {
        {"the first location names it",
         {{{kFirst, kNamed}}, {}, false, true},
         true,
         {kNamed},
         {kFirst}},
        {"the second names its folder",
         {{{kSecond, "Tools"}}, {kTool}, false, true},
         true,
         {kTool},
         {kFirst, kSecond}},
        {"the folder lacks it",
         {{{kSecond, "Tools"}}, {}, false, true},
         false,
         {},
         {kFirst, kSecond}},
        {"neither is there", {{}, {}, false, true}, false, {}, {kFirst, kSecond}},
        {"a first value of another type ends the look-up",
         {{{kFirst, std::nullopt}, {kSecond, "Tools"}}, {kTool}, false, true},
         false,
         {},
         {kFirst}},
        {"reading fails", {{{kFirst, kNamed}}, {}, true, true}, false, {}, {kFirst}},
        {"it cannot be started", {{{kFirst, kNamed}}, {}, false, false}, false, {kNamed}, {kFirst}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Machine machine = c.machine;
        EXPECT_EQ(StartSysInfo(machine.services()), c.available);
        EXPECT_EQ(machine.started, c.started);
        EXPECT_EQ(machine.asked, c.asked);
    }
}
