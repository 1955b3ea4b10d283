#include "app/sys_info.h"

#include "rotation/skins.h"

#include <exception>

namespace quillarbor {

namespace {

constexpr std::string_view kSysInfoFile = "MSINFO32.EXE";

} // namespace

bool StartSysInfo(const SysInfoServices& services) {
    try {
        std::string path;
        // A first location that is found but unusable ends at the message; only a missing
        // one sends the look-up to the second.
        if (!services.readKey(RegRoot::LocalMachine, loc::msinfoKey, loc::msinfoValue, path)) {
            std::string folder;
            if (!services.readKey(RegRoot::LocalMachine, loc::msinfoLocationKey,
                                  loc::msinfoLocationValue, folder)) {
                return false;
            }
            path = addSlash(folder) + std::string(kSysInfoFile);
            if (!services.isNormalFile(path)) {
                return false;
            }
        }
        return !path.empty() && services.launch(path);
    } catch (const std::exception&) {
        // Whatever went wrong, the user learns only that the tool is unavailable.
        return false;
    }
}

} // namespace quillarbor
