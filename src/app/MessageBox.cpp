#include "app/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include <optional>

namespace quillarbor {

namespace {

std::optional<int> nextAnswer;
QString lastBoxText;

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
