#pragma once

#include "app/skin_folder.h"

#include <QListView>

namespace quillarbor {

class SkinListModel;

// The skin list: the names of a skin folder's skins as the core keeps them. The names are the
// bytes the file system holds, so every entry names its real file even when it is not valid
// UTF-8; only the display decodes them.
class FileList : public QListView {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    // Shows `skins`, which outlive the list, as `shown` says they were read.
    void show(const SkinList& skins, const SkinFolder::Shown& shown);

    int listCount() const;
    int listIndex() const; // -1 when nothing is selected
    void setListIndex(int index);

signals:
    // A double-click on an entry.
    void entryDoubleClicked();

private:
    SkinListModel* model_;
};

} // namespace quillarbor
