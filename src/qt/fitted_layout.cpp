#include "qt/fitted_layout.h"

#include "app/layout_scale.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <vector>

namespace quillarbor {

namespace {

// What a control's text takes: a field one line and its frame, a button its text and margins, a
// label its text, wrapped at `width` if the label wraps.
form::TextSize textSize(const QWidget* control, int width) {
    const QFontMetrics metrics(control->font());
    const QStyle* style = control->style();
    if (control->inherits("QLineEdit") || control->inherits("QComboBox")) {
        return {0, metrics.height() + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth)};
    }
    const auto* button = qobject_cast<const QPushButton*>(control);
    const auto* label = qobject_cast<const QLabel*>(control);
    const QString text = button ? button->text() : label ? label->text() : QString();
    if (text.isEmpty()) {
        return {0, 0};
    }
    const int margins = button ? 2 * style->pixelMetric(QStyle::PM_ButtonMargin) : 0;
    const int flags = button ? Qt::TextShowMnemonic : label->wordWrap() ? Qt::TextWordWrap : 0;
    const QRect needed = metrics.boundingRect(QRect(0, 0, width - margins, 1 << 16), flags, text);
    return {needed.width() + margins, needed.height()};
}

} // namespace

double fitLayout(QWidget* area, std::span<const form::Control> controls, int clientWidth,
                 int clientHeight) {
    constexpr double kPixelsPerTwip = 1.0 / 15; // as designed, at 96 DPI
    std::vector<QWidget*> widgets;
    for (const form::Control& control : controls) {
        widgets.push_back(area->findChild<QWidget*>(
            QString::fromUtf8(control.name.data(), static_cast<qsizetype>(control.name.size())),
            Qt::FindDirectChildrenOnly));
    }
    const double scale =
        kPixelsPerTwip * form::layoutScale(controls, kPixelsPerTwip, [&](std::size_t i, int width) {
            return textSize(widgets[i], width);
        });
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const auto [left, top, width, height] = form::toPixels(controls[i].rect, scale);
        widgets[i]->setGeometry(left, top, width, height);
    }
    const form::PixelRect client = form::toPixels({0, 0, clientWidth, clientHeight}, scale);
    area->setFixedSize(client.width, client.height);
    return scale;
}

} // namespace quillarbor
