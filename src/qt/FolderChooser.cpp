#include "qt/FolderChooser.h"

#include "qt/drawn_icon.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygonF>
#include <QStyledItemDelegate>

namespace quillarbor {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 7;

// Indents each entry by its depth below the drive root.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.adjust(index.data(kLevelRole).toInt() * kIndentPixels, 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
};

// A folder in 16 units: the back with its tab, then the front, flat when
// closed and tipped forward when open.
void drawFolder(QPainter& painter, bool open) {
    const QColor outline(0x2d, 0x5e, 0x98);
    painter.setPen(QPen(outline, 1.0));
    painter.setBrush(QColor(0x6f, 0xa3, 0xdc));
    painter.drawPolygon(
        QPolygonF({{1.5, 3.5}, {6.0, 3.5}, {7.5, 5.0}, {14.5, 5.0}, {14.5, 13.5}, {1.5, 13.5}}));
    painter.setBrush(QColor(0xa9, 0xcb, 0xf0));
    if (open) {
        painter.drawPolygon(QPolygonF({{4.0, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
    } else {
        painter.drawRect(QRectF(1.5, 6.5, 13.0, 7.0));
    }
}

} // namespace

FolderChooser::FolderChooser(QWidget* parent)
    : QListWidget(parent),
      openIcon_(drawnIcon([](QPainter& painter) { drawFolder(painter, true); })),
      closedIcon_(drawnIcon([](QPainter& painter) { drawFolder(painter, false); })) {
    setItemDelegate(new IndentDelegate(this));
    // The style would ask for larger icons than list rows of text want.
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](const QListWidgetItem* item) { open(item); });
}

void FolderChooser::show(const std::vector<FolderEntry>& entries, std::size_t chosen) {
    clear();
    for (const FolderEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.open ? openIcon_ : closedIcon_,
                                         QString::fromStdString(entry.name));
        // The bytes themselves, so that a name that is not UTF-8 still opens.
        item->setData(kPathRole, QByteArray::fromStdString(entry.path));
        item->setData(kLevelRole, entry.level);
        addItem(item);
    }
    setCurrentRow(static_cast<int>(chosen));
    scrollToItem(item(static_cast<int>(chosen)));
}

void FolderChooser::open(const QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    emit folderOpened(item->data(kPathRole).toByteArray().toStdString());
}

void FolderChooser::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace quillarbor
