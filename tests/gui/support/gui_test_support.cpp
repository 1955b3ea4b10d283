#include "support/gui_test_support.h"

#include "settings/registry.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QtGlobal>

#include <cmath>

namespace quillarbor::test {

TempSettings::TempSettings()
    : oldHome_(qgetenv("XDG_CONFIG_HOME")), oldDirs_(qgetenv("XDG_CONFIG_DIRS")),
      hadHome_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
      hadDirs_(qEnvironmentVariableIsSet("XDG_CONFIG_DIRS")) {
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
    QDir(dir_.path()).mkpath(QStringLiteral("xdg"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir_.filePath(QStringLiteral("xdg"))));
}

TempSettings::~TempSettings() {
    if (hadHome_) {
        qputenv("XDG_CONFIG_HOME", oldHome_);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
    if (hadDirs_) {
        qputenv("XDG_CONFIG_DIRS", oldDirs_);
    } else {
        qunsetenv("XDG_CONFIG_DIRS");
    }
}

CurrentFolder::CurrentFolder(const QString& folder) : previous_(QDir::currentPath()) {
    QDir::setCurrent(folder);
}

CurrentFolder::~CurrentFolder() {
    QDir::setCurrent(previous_);
}

float FixedRandom::next() {
    const auto index = std::min(static_cast<std::size_t>(draws_), values_.size() - 1);
    ++draws_;
    return values_[index];
}

void ManualTicker::setEnabled(bool enabled) {
    if (enabled && !enabled_) {
        ++starts_;
    }
    enabled_ = enabled;
}

void ManualTicker::fire() {
    if (enabled_) {
        emit tick();
    }
}

Program::Program(std::vector<float> draws)
    : random(std::move(draws)), form(&ticker), presenter(form, program.dependencies(random)) {
}

void writeBitmap(const QString& path, const QColor& colour) {
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(colour);
    if (!image.save(path, "BMP")) {
        qFatal("cannot write the bitmap %s", qPrintable(path));
    }
}

void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

QString physical(const QString& folder) {
    return QDir(folder).canonicalPath();
}

std::string folderText(const QString& folder) {
    return QDir::toNativeSeparators(physical(folder)).toStdString();
}

std::string savedSetting(std::string_view subKey) {
    return regGetString(RegRoot::CurrentUser, subKey, loc::settingValue);
}

void saveSetting(std::string_view subKey, std::string_view data) {
    regSaveString(RegRoot::CurrentUser, subKey, loc::settingValue, data);
}

std::string toolbarValue() {
    return regGetString(RegRoot::CurrentUser, loc::toolbarKey, loc::toolbarValue);
}

void doubleClickAt(QWidget* widget, QPoint pos) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

QColor shownColour(const QWidget* label) {
    const auto* shown = qobject_cast<const QLabel*>(label);
    const QPixmap pixmap = shown != nullptr ? shown->pixmap() : QPixmap();
    if (pixmap.isNull()) {
        return {};
    }
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

double layoutFactor(const QWidget* area, int designedWidth) {
    return area->width() * 15.0 / designedWidth;
}

void verifyScaledLayout(const QWidget* area, std::span<const form::Control> controls,
                        int designedWidth, int designedHeight) {
    const double factor = layoutFactor(area, designedWidth);
    const double pixelsPerTwip = factor / 15;
    QVERIFY2(factor >= 1.0, qPrintable(QString::number(factor)));
    QVERIFY(std::abs(area->height() - designedHeight * pixelsPerTwip) <= 1.0);
    for (const form::Control& control : controls) {
        const QString name = QString::fromUtf8(control.name.data(), control.name.size());
        const auto* widget = area->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        QVERIFY2(widget != nullptr, qPrintable(name));
        const QRect shown = widget->geometry();
        const form::TwipRect& r = control.rect;
        const double edges[][2] = {{double(shown.left()), double(r.left)},
                                   {double(shown.top()), double(r.top)},
                                   {double(shown.right() + 1), double(r.left + r.width)},
                                   {double(shown.bottom() + 1), double(r.top + r.height)}};
        for (const auto& [pixels, twips] : edges) {
            QVERIFY2(std::abs(pixels - twips * pixelsPerTwip) <= 1.0, qPrintable(name));
        }
        QCOMPARE(widget->font(), QApplication::font());
    }
}

} // namespace quillarbor::test
