#pragma once

#include <filesystem>
#include <string>

// Scratch folders and settings for the benchmarks. Nothing here touches the
// user's own settings: the store is pointed at a temporary folder first.
namespace quillarbor::bench {

// A fresh temporary folder, removed with everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string text() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// One scratch folder for the whole run, holding the store and the skin folders.
ScratchFolder& scratch();

// A folder of `count` bitmaps (see makeSkinFolder) in the scratch folder, made
// once per size and kept for every benchmark that needs it.
std::string skinFolder(int count);

// Points XDG_CONFIG_HOME and XDG_CONFIG_DIRS into `root` for the rest of the run.
void useScratchSettings(const std::filesystem::path& root);

// The user store that the settings calls read and write now.
std::filesystem::path userStoreFile();

// Writes a store holding the program's own settings and `extraValues` more
// values of other keys, as a store shared with many settings would.
void writeStore(int extraValues, const std::string& skinFolder = {});

// A 24-bit bitmap of a toolbar's size, the kind of file a pick loads.
void writeBitmap(const std::filesystem::path& file, int width = 600, int height = 80);

// Fills `folder` with `count` bitmaps under varied, mixed-case names, plus one
// file of another kind for every fifty, which the pattern must skip. The
// bitmaps are hard links of one file, so a folder of 100,000 costs one file of
// disk space and no more than a second or two to make.
void makeSkinFolder(const std::filesystem::path& folder, int count);

} // namespace quillarbor::bench
