#pragma once

#include "app/skin_folder.h"

#include <QIcon>
#include <QListWidget>

#include <string>
#include <vector>

namespace quillarbor {

// The folder list: the chosen folder's ancestors from the drive root down, then its sub-folders
// one level deeper, as the skin folder lists them. A double-click (or Enter) opens an entry; a
// single click only highlights it.
class FolderChooser : public QListWidget {
    Q_OBJECT

public:
    explicit FolderChooser(QWidget* parent = nullptr);

    void show(const std::vector<FolderEntry>& entries, std::size_t chosen);

signals:
    // The user opened the entry for `path`.
    void folderOpened(const std::string& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(const QListWidgetItem* item);

    QIcon openIcon_;   // the folder and its ancestors
    QIcon closedIcon_; // its sub-folders
};

} // namespace quillarbor
