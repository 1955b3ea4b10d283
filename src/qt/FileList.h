#pragma once

#include "rotation/skins.h"

#include <QListView>

#include <optional>
#include <string>
#include <vector>

namespace quillarbor {

class SkinListModel;

// The skin list: the skin files of one folder, sorted ignoring letter case. The names
// are kept as the bytes the file system holds, so every entry names its real
// file even when it is not valid UTF-8; only the display decodes them.
class FileList : public QListView {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    std::string path() const { return path_; }
    void setPath(const std::string& path); // re-reads the folder
    // As setPath, from the names of the folder's skin files just read with its
    // sub-folders (FolderChooser::setPath), so that it is not read again.
    void setPath(const std::string& path, std::vector<std::string> listed);
    static QString pattern() { return QStringLiteral("*.bmp"); }
    void refresh();

    int listCount() const;
    int listIndex() const; // -1 when nothing is selected
    void setListIndex(int index);
    std::string list(int index) const;

signals:
    // A double-click on an entry.
    void entryDoubleClicked();

private:
    void showList(std::optional<SkinList> fresh);

    std::string path_;
    SkinListModel* model_;
};

} // namespace quillarbor
