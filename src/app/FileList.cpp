#include "app/FileList.h"

#include "rotation/skins.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

#include <algorithm>
#include <utility>

namespace quillarbor {

// One row per name; folders of many thousands of files stay fast because rows
// are only decoded when drawn.
class SkinListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(names_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        return QString::fromStdString(names_[static_cast<std::size_t>(index.row())]);
    }

    const std::vector<std::string>& names() const { return names_; }

    void setNames(std::vector<std::string> names) {
        beginResetModel();
        names_ = std::move(names);
        endResetModel();
    }

private:
    std::vector<std::string> names_;
};

FileList::FileList(QWidget* parent) : QListView(parent), model_(new SkinListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(this, &QAbstractItemView::doubleClicked, this, &FileList::entryDoubleClicked);
}

void FileList::setPath(const std::string& path) {
    if (path != path_) {
        // A selection belongs to the folder it was made in.
        selectionModel()->clearSelection();
        path_ = path;
    }
    refresh();
}

void FileList::refresh() {
    std::vector<std::string> names = listSkinFiles(path_);
    if (names == model_->names()) {
        // Unchanged: keep the selection and the scroll position.
        return;
    }
    const int selected = listIndex();
    const std::string selectedName = selected >= 0 ? list(selected) : std::string();
    model_->setNames(std::move(names));
    if (!selectedName.empty()) {
        const auto& now = model_->names();
        const auto at = std::lower_bound(now.begin(), now.end(), selectedName, skinNameLess);
        if (at != now.end() && *at == selectedName) {
            setListIndex(static_cast<int>(at - now.begin()));
        }
    }
}

int FileList::listCount() const {
    return model_->rowCount();
}

int FileList::listIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void FileList::setListIndex(int index) {
    if (index < 0 || index >= listCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex row = model_->index(index);
    selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    scrollTo(row);
}

std::string FileList::list(int index) const {
    return model_->names().at(static_cast<std::size_t>(index));
}

} // namespace quillarbor
