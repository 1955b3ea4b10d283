#pragma once

#include "rotation/skins.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillarbor {

// One line of the folder list: the chosen folder's ancestors from its drive's root down, the
// folder itself, then its sub-folders one level deeper.
struct FolderEntry {
    std::string name; // as shown
    std::string path; // what opening the entry opens
    int level;        // depth below the root
    bool open;        // the chosen folder or one of its ancestors
};

// What the drive, folder and skin choosers show, kept in step: the drives, the chosen folder with
// its ancestors and sub-folders, and the skins in it. Paths are UTF-8 text as the core keeps them.
// A view draws it and reports choices; it reads no folder itself.
class SkinFolder {
public:
    // Where a selection of the skin list stands after the list was read again: the same name, if
    // it is still there. A selection belongs to its folder, so a move elsewhere drops it.
    struct Shown {
        bool skinsChanged = false; // the list's names or order differ from before
        std::optional<std::size_t> selected;
    };

    using DriveLister = std::vector<std::string> (*)();
    // `listDrives` names the drives each time they are listed.
    explicit SkinFolder(DriveLister listDrives = nullptr);

    // Moves to `folder`, reading it once for its sub-folders and skins; nullopt, changing nothing,
    // when it cannot be read.
    std::optional<Shown> open(const std::string& folder,
                              std::optional<std::size_t> selected = std::nullopt);
    // Moves to the drive at `index` of drives(): to the chosen folder when it lies on that drive,
    // else where the drive opens.
    std::optional<Shown> openDrive(std::size_t index,
                                   std::optional<std::size_t> selected = std::nullopt);
    // Reads the skin list of the chosen folder again.
    Shown reread(std::optional<std::size_t> selected);

    const std::string& path() const { return path_; }
    const std::vector<FolderEntry>& folders() const { return folders_; }
    std::size_t chosenFolder() const { return chosen_; } // its index in folders()
    const SkinList& skins() const { return skins_; }

    const std::vector<std::string>& drives() const { return drives_; }
    // The index in drives() of the drive holding the chosen folder; nullopt when none does.
    std::optional<std::size_t> drive() const { return drive_; }
    // Lists the drives again: media come and go while the program runs.
    void relistDrives();

private:
    Shown show(std::optional<SkinList> fresh, bool sameFolder, std::optional<std::size_t> selected);
    void findDrive();

    std::string path_;
    std::vector<FolderEntry> folders_;
    std::size_t chosen_ = 0;
    SkinList skins_;
    DriveLister listDrives_;
    std::vector<std::string> drives_;
    std::optional<std::size_t> drive_;
};

} // namespace quillarbor
