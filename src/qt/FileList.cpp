#include "qt/FileList.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

namespace quillarbor {

// One row per name; folders of many thousands of files stay fast because rows are only decoded
// when drawn.
class SkinListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : rows_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        // The names may already be the new ones while the old rows are reset.
        if (role != Qt::DisplayRole || !index.isValid() || list_ == nullptr ||
            static_cast<std::size_t>(index.row()) >= list_->size()) {
            return {};
        }
        return QString::fromStdString((*list_)[static_cast<std::size_t>(index.row())]);
    }

    void reset(const SkinList* list) {
        beginResetModel();
        list_ = list;
        rows_ = static_cast<int>(list->size());
        endResetModel();
    }

private:
    const SkinList* list_ = nullptr;
    int rows_ = 0;
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

void FileList::show(const SkinList& skins, const SkinFolder::Shown& shown) {
    // The same rows keep the view's selection and scroll position.
    if (shown.skinsChanged || listCount() != static_cast<int>(skins.size())) {
        model_->reset(&skins);
    }
    setListIndex(shown.selected ? static_cast<int>(*shown.selected) : -1);
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
    if (index == listIndex()) {
        return;
    }
    selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    if (!visualRect(row).isValid()) {
        // A row the batches have not reached yet has no place to scroll to: lay out the rest now.
        setLayoutMode(QListView::SinglePass);
        doItemsLayout();
        setLayoutMode(QListView::Batched);
    }
    scrollTo(row);
}

} // namespace quillarbor
