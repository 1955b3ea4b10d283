#include "qt/FolderChooser.h"

#include "qt/drawn_icon.h"
#include "rotation/folder_files.h"
#include "rotation/path_text.h"
#include "rotation/skins.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPolygonF>
#include <QStyledItemDelegate>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace quillarbor {

namespace {

namespace fs = std::filesystem;

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

// The absolute, normalised form of a folder path, without a trailing separator
// except at a root.
std::optional<fs::path> normalFolder(const std::string& text) {
    const auto path = pathFromText(text);
    if (!path || path->empty()) {
        return std::nullopt;
    }
    std::error_code error;
    fs::path absolute = fs::absolute(*path, error);
    if (error) {
        return std::nullopt;
    }
    absolute = absolute.lexically_normal();
    if (!absolute.has_filename() && absolute != absolute.root_path()) {
        absolute = absolute.parent_path();
    }
    return absolute;
}

struct SubFolder {
    std::string name;
    std::string path;
};

// The sub-folders of `folder` from their names, sorted.
std::vector<SubFolder> subFoldersOf(const fs::path& folder, std::vector<std::string> names) {
    std::vector<SubFolder> found;
    found.reserve(names.size());
    for (std::string& name : names) {
        const auto relative = pathFromText(name);
        auto path = relative ? textFromPath(folder / *relative) : std::nullopt;
        if (path) {
            found.push_back({std::move(name), std::move(*path)});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const SubFolder& a, const SubFolder& b) { return skinNameLess(a.name, b.name); });
    return found;
}

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

bool FolderChooser::setPath(const std::string& path) {
    const auto folder = normalFolder(path);
    const auto text = folder ? textFromPath(*folder) : std::nullopt;
    // A plain listing: a folder of many thousands of pictures costs no path per file.
    auto names = text ? listSubFolders(*text) : std::nullopt;
    if (!names) {
        return false;
    }
    showFolder(*folder, *text, std::move(*names));
    return true;
}

std::optional<std::vector<std::string>>
FolderChooser::setPathAndList(const std::string& path, bool (*wanted)(std::string_view name)) {
    const auto folder = normalFolder(path);
    const auto text = folder ? textFromPath(*folder) : std::nullopt;
    auto listing = text ? listFolder(*text, wanted) : std::nullopt;
    if (!listing) {
        return std::nullopt;
    }
    showFolder(*folder, *text, std::move(listing->subFolders));
    return std::move(listing->files);
}

void FolderChooser::showFolder(const fs::path& folder, const std::string& path,
                               std::vector<std::string> subFolders) {
    std::vector<fs::path> chain{folder};
    while (chain.front().has_relative_path()) {
        chain.insert(chain.begin(), chain.front().parent_path());
    }

    clear();
    int level = 0;
    for (const fs::path& ancestor : chain) {
        const fs::path shown = ancestor.has_relative_path() ? ancestor.filename() : ancestor;
        auto* item = new QListWidgetItem(openIcon_,
                                         QString::fromStdString(textFromPath(shown).value_or("")));
        item->setData(kPathRole, QByteArray::fromStdString(textFromPath(ancestor).value_or("")));
        item->setData(kLevelRole, level++);
        addItem(item);
    }
    const int currentRow = count() - 1;
    for (const SubFolder& sub : subFoldersOf(folder, std::move(subFolders))) {
        auto* item = new QListWidgetItem(closedIcon_, QString::fromStdString(sub.name));
        item->setData(kPathRole, QByteArray::fromStdString(sub.path));
        item->setData(kLevelRole, level);
        addItem(item);
    }
    setCurrentRow(currentRow);
    scrollToItem(item(currentRow));

    const bool changed = path != path_;
    path_ = path;
    if (changed) {
        emit pathChanged(path_);
    }
}

void FolderChooser::open(const QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    // The bytes themselves, so that a name that is not UTF-8 still opens.
    const std::string target = item->data(kPathRole).toByteArray().toStdString();
    if (!setPath(target)) {
        emit openFailed(target);
    }
}

void FolderChooser::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace quillarbor
