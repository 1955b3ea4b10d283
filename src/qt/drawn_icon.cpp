#include "qt/drawn_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <utility>

namespace quillarbor {

namespace {

// Draws the icon at the size it is shown, when it is first shown: no size is drawn that no one
// sees, and every size is sharp.
class DrawnIconEngine final : public QIconEngine {
public:
    explicit DrawnIconEngine(std::function<void(QPainter&)> draw) : draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        draw_(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }

private:
    std::function<void(QPainter&)> draw_;
};

} // namespace

QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    return QIcon(new DrawnIconEngine(draw));
}

} // namespace quillarbor
