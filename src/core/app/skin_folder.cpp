#include "app/skin_folder.h"

#include "app/drives.h"
#include "rotation/folder_files.h"

#include <algorithm>
#include <utility>

namespace quillarbor {

namespace {

// The entries of the folder list for a normal path and the names of its sub-folders.
std::vector<FolderEntry> folderEntries(const std::string& folder, std::vector<std::string> subs) {
    std::vector<FolderEntry> entries;
    const std::size_t root = folderRootLength(folder);
    entries.push_back({folder.substr(0, root), folder.substr(0, root), 0, true});
    for (std::size_t start = root; start < folder.size();) {
        const std::size_t end = std::min(folder.find(kFolderSeparator, start), folder.size());
        entries.push_back({folder.substr(start, end - start), folder.substr(0, end),
                           static_cast<int>(entries.size()), true});
        start = end + 1;
    }
    std::ranges::sort(subs, skinNameLess);
    const int level = static_cast<int>(entries.size());
    entries.reserve(entries.size() + subs.size());
    for (std::string& name : subs) {
        std::string path = addSlash(folder) + name;
        entries.push_back({std::move(name), std::move(path), level, false});
    }
    return entries;
}

} // namespace

SkinFolder::SkinFolder(DriveLister listDrives)
    : listDrives_(listDrives != nullptr ? listDrives : quillarbor::listDrives),
      drives_(listDrives_()) {
}

std::optional<SkinFolder::Shown> SkinFolder::open(const std::string& folder,
                                                  std::optional<std::size_t> selected) {
    const auto normal = normalFolder(folder);
    auto listing = normal ? listFolder(*normal, matchesSkinPattern) : std::nullopt;
    if (!listing) {
        return std::nullopt;
    }
    const bool sameFolder = *normal == path_;
    path_ = *normal;
    folders_ = folderEntries(path_, std::move(listing->subFolders));
    chosen_ = static_cast<std::size_t>(std::ranges::count_if(folders_, &FolderEntry::open)) - 1;
    findDrive();
    return show(skins_.reread(std::move(listing->files)), sameFolder, selected);
}

std::optional<SkinFolder::Shown> SkinFolder::openDrive(std::size_t index,
                                                       std::optional<std::size_t> selected) {
    if (index >= drives_.size()) {
        return std::nullopt;
    }
    const std::string& drive = drives_[index];
    return open(driveOf(path_, drives_) == drive ? path_ : driveFolder(drive), selected);
}

SkinFolder::Shown SkinFolder::reread(std::optional<std::size_t> selected) {
    return show(skins_.reread(path_), true, selected);
}

SkinFolder::Shown SkinFolder::show(std::optional<SkinList> fresh, bool sameFolder,
                                   std::optional<std::size_t> selected) {
    if (!sameFolder || (selected && *selected >= skins_.size())) {
        selected.reset();
    }
    if (!fresh) {
        return {false, selected}; // the folder lists what it listed
    }
    const std::string kept = selected ? skins_[*selected] : std::string();
    // The same names listed in another order sort the same: nothing on screen changes.
    bool changed = fresh->size() != skins_.size();
    for (std::size_t i = 0; !changed && i < skins_.size(); ++i) {
        changed = (*fresh)[i] != skins_[i];
    }
    skins_ = std::move(*fresh);
    return {changed, selected ? skins_.find(kept) : std::nullopt};
}

void SkinFolder::relistDrives() {
    drives_ = listDrives_();
    findDrive();
}

void SkinFolder::findDrive() {
    auto found = std::ranges::find(drives_, driveOf(path_, drives_));
    if (found == drives_.end()) {
        drives_ = listDrives_(); // perhaps mounted since the list was read
        found = std::ranges::find(drives_, driveOf(path_, drives_));
    }
    drive_ =
        found == drives_.end() ? std::nullopt : std::optional<std::size_t>(found - drives_.begin());
}

} // namespace quillarbor
