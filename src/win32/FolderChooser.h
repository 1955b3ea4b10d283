#pragma once

#include "app/skin_folder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quillarbor::win32 {

// The folder list, an owner-drawn list box: the chosen folder's ancestors from the drive root down,
// then its sub-folders one level deeper, as the skin folder lists them.
class FolderChooser {
public:
    void attach(HWND list) { list_ = list; }
    HWND handle() const { return list_; }

    // Shows `entries`, which outlive the list, with the one at `chosen` highlighted.
    void show(const std::vector<FolderEntry>& entries, std::size_t chosen);
    // The folder of the highlighted entry; "" when none is.
    std::string highlighted() const;

    void measure(MEASUREITEMSTRUCT& item, HFONT font, UINT dpi) const;
    void draw(const DRAWITEMSTRUCT& item, UINT dpi) const;

private:
    HWND list_ = nullptr;
    const std::vector<FolderEntry>* entries_ = nullptr;
};

} // namespace quillarbor::win32
