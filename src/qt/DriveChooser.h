#pragma once

#include <QComboBox>
#include <QIcon>

#include <string>
#include <vector>

namespace quillarbor {

// The drive list: the drives of the machine (mount points on POSIX). Paths are UTF-8
// text as the core keeps them.
class DriveChooser : public QComboBox {
    Q_OBJECT

public:
    explicit DriveChooser(QWidget* parent = nullptr);

    std::string drive() const;

    // Selects the drive that holds `path`. Returns false, changing nothing, when
    // no known drive holds it.
    bool setDrive(const std::string& path);

    // The drive among the listed ones that holds `path`; "" when none.
    std::string driveOf(const std::string& path) const;

    // Replaces the listed drives, keeping the current one when it is still there.
    void setDriveList(const std::vector<std::string>& drives);

signals:
    // Every change of the chosen drive, by the user or by code.
    void driveChanged(const std::string& drive);

protected:
    void showPopup() override;

private:
    std::vector<std::string> drives_;
    QIcon icon_; // beside every drive
};

} // namespace quillarbor
