#pragma once

#include <QIcon>
#include <QListWidget>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillarbor {

// The folder list: the chosen folder's ancestors from the drive root down, then its
// sub-folders one level deeper. A double-click (or Enter) opens an entry; a
// single click only highlights it. Paths are UTF-8 text as the core keeps them.
class FolderChooser : public QListWidget {
    Q_OBJECT

public:
    explicit FolderChooser(QWidget* parent = nullptr);

    std::string path() const { return path_; }

    // Moves to `path` and re-reads its sub-folders. Returns false, changing
    // nothing, when the folder cannot be read.
    bool setPath(const std::string& path);
    // As setPath, and returns from the same reading of the folder the names of
    // its files that `wanted` accepts, as listFolderFiles gives them; nullopt
    // when the folder cannot be read.
    std::optional<std::vector<std::string>> setPathAndList(const std::string& path,
                                                           bool (*wanted)(std::string_view name));

signals:
    // Every change of the folder, by the user or by code.
    void pathChanged(const std::string& path);
    // The user opened an entry that cannot be read; the folder stays.
    void openFailed(const std::string& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(const QListWidgetItem* item);
    // Shows `folder` (its text `path`) with the sub-folders just read from it.
    void showFolder(const std::filesystem::path& folder, const std::string& path,
                    std::vector<std::string> subFolders);

    std::string path_;
    QIcon openIcon_;   // the folder and its ancestors
    QIcon closedIcon_; // its sub-folders
};

} // namespace quillarbor
