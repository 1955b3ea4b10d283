#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillarbor::win32 {

// The folder list, an owner-drawn list box: the chosen folder's ancestors from the drive root down,
// then its sub-folders one level deeper. Paths are UTF-8 text as the core keeps them.
class FolderChooser {
public:
    void attach(HWND list) { list_ = list; }
    HWND handle() const { return list_; }

    const std::string& path() const { return path_; }
    // The absolute form of a folder path as the list shows it ("D:" is that drive's current
    // folder); nullopt when it names none.
    static std::optional<std::string> normalise(const std::string& path);
    // Shows `folder`, a normalised path, with the sub-folders read from it.
    void show(const std::string& folder, std::vector<std::string> subFolders);
    // The folder of the highlighted entry; "" when none is.
    std::string highlighted() const;

    void measure(MEASUREITEMSTRUCT& item, HFONT font, UINT dpi) const;
    void draw(const DRAWITEMSTRUCT& item, UINT dpi) const;

private:
    struct Entry {
        std::string path;
        std::wstring name;
        int level;
        bool open; // the folder or one of its ancestors
    };

    HWND list_ = nullptr;
    std::string path_;
    std::vector<Entry> entries_;
};

} // namespace quillarbor::win32
