#include "qt/MessageBox.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <optional>

namespace quillarbor {

namespace {

std::optional<int> nextAnswer;
QString lastBoxText;

// A window manager shortens a title that does not fit the box's frame, where Windows
// widens the box instead. Room for the title as most frames draw it: bold, beside an
// icon and three buttons.
void makeRoomForTitle(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    QFont font = box.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(title) + 6 * metrics.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

int MessageBox::show(QWidget* parent, const QString& text, const QString& title, Buttons buttons) {
    lastBoxText = text;
    if (nextAnswer) {
        const int answer = *nextAnswer;
        nextAnswer.reset();
        return answer;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    if (buttons == OkCancel) {
        box.setEscapeButton(box.addButton(QMessageBox::Cancel));
    } else {
        box.setEscapeButton(ok);
    }
    makeRoomForTitle(box, title);
    box.exec();
    if (buttons == OkOnly) {
        return Ok;
    }
    return box.clickedButton() == ok ? Ok : Cancel;
}

void MessageBox::setNextAnswer(int answer) {
    nextAnswer = answer;
}

QString MessageBox::lastText() {
    return lastBoxText;
}

} // namespace quillarbor
