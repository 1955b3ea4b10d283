#pragma once

#include <QString>

class QWidget;

namespace quillarbor {

// The program's modal message box. Tests decide the next answer beforehand,
// so no test ever waits on a box.
class MessageBox {
public:
    enum Buttons { OkOnly = 0, OkCancel = 1 };
    enum Answer { Ok = 1, Cancel = 2 };

    // No icon, OK is the default button. Returns Ok or Cancel; closing the box
    // any other way counts as Cancel (OK with OkOnly).
    static int show(QWidget* parent, const QString& text, const QString& title, Buttons buttons);

    // The next show() returns `answer` without displaying anything.
    static void setNextAnswer(int answer);

    // Text of the most recent box, shown or answered beforehand.
    static QString lastText();
};

} // namespace quillarbor
