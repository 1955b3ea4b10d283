#include "qt/FileList.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

namespace quillarbor {

// One row per name; folders of many thousands of files stay fast because rows
// are only decoded when drawn.
class SkinListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(list_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        return QString::fromStdString(list_[static_cast<std::size_t>(index.row())]);
    }

    const SkinList& list() const { return list_; }

    // Returns whether the rows changed. The same names listed in another order
    // change no row, so the view keeps its selection and scroll position.
    bool setList(SkinList list) {
        if (sameNames(list, list_)) {
            list_ = std::move(list);
            return false;
        }
        beginResetModel();
        list_ = std::move(list);
        endResetModel();
        return true;
    }

private:
    static bool sameNames(const SkinList& a, const SkinList& b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i]) {
                return false;
            }
        }
        return true;
    }

    SkinList list_;
};

FileList::FileList(QWidget* parent) : QListView(parent), model_(new SkinListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    // A folder of many thousands of names is laid out a hundred rows at a time between events:
    // the window shows, and answers, before the last rows have their places.
    setLayoutMode(QListView::Batched);
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

void FileList::setPath(const std::string& path, std::vector<std::string> listed) {
    if (path != path_) {
        selectionModel()->clearSelection();
        path_ = path;
    }
    showList(model_->list().reread(std::move(listed)));
}

void FileList::refresh() {
    showList(model_->list().reread(path_));
}

void FileList::showList(std::optional<SkinList> fresh) {
    if (!fresh) {
        return; // the folder as it was
    }
    const int selected = listIndex();
    const std::string selectedName = selected >= 0 ? list(selected) : std::string();
    if (!model_->setList(std::move(*fresh)) || selectedName.empty()) {
        return;
    }
    if (const auto row = model_->list().find(selectedName)) {
        setListIndex(static_cast<int>(*row));
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
    if (!visualRect(row).isValid()) {
        // A row the batches have not reached yet has no place to scroll to: lay out the rest now.
        setLayoutMode(QListView::SinglePass);
        doItemsLayout();
        setLayoutMode(QListView::Batched);
    }
    scrollTo(row);
}

std::string FileList::list(int index) const {
    const SkinList& names = model_->list();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
        throw std::out_of_range("no entry at that index of the skin list");
    }
    return names[static_cast<std::size_t>(index)];
}

} // namespace quillarbor
