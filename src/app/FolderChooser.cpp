#include "app/FolderChooser.h"

#include "rotation/path_text.h"
#include "rotation/skins.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
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

// nullopt when the folder cannot be opened for reading.
std::optional<std::vector<SubFolder>> readSubFolders(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<SubFolder> found;
    // An error part-way through keeps what was read so far.
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_directory(typeError)) {
            continue;
        }
        auto name = textFromPath(it->path().filename());
        auto path = textFromPath(it->path());
        if (name && path) {
            found.push_back({std::move(*name), std::move(*path)});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const SubFolder& a, const SubFolder& b) { return skinNameLess(a.name, b.name); });
    return found;
}

} // namespace

FolderChooser::FolderChooser(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](const QListWidgetItem* item) { open(item); });
}

bool FolderChooser::setPath(const std::string& path) {
    const auto folder = normalFolder(path);
    if (!folder) {
        return false;
    }
    const auto subFolders = readSubFolders(*folder);
    const auto text = textFromPath(*folder);
    if (!subFolders || !text) {
        return false;
    }

    std::vector<fs::path> chain{*folder};
    while (chain.front().has_relative_path()) {
        chain.insert(chain.begin(), chain.front().parent_path());
    }

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int level = 0;
    for (const fs::path& ancestor : chain) {
        const fs::path shown = ancestor.has_relative_path() ? ancestor.filename() : ancestor;
        auto* item =
            new QListWidgetItem(openIcon, QString::fromStdString(textFromPath(shown).value_or("")));
        item->setData(kPathRole, QByteArray::fromStdString(textFromPath(ancestor).value_or("")));
        item->setData(kLevelRole, level++);
        addItem(item);
    }
    const int currentRow = count() - 1;
    for (const SubFolder& sub : *subFolders) {
        auto* item = new QListWidgetItem(closedIcon, QString::fromStdString(sub.name));
        item->setData(kPathRole, QByteArray::fromStdString(sub.path));
        item->setData(kLevelRole, level);
        addItem(item);
    }
    setCurrentRow(currentRow);
    scrollToItem(item(currentRow));

    const bool changed = *text != path_;
    path_ = *text;
    if (changed) {
        emit pathChanged(path_);
    }
    return true;
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
