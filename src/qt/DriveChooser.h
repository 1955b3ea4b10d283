#pragma once

#include <QComboBox>
#include <QIcon>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillarbor {

// The drive list: the drives of the machine (mount points on POSIX) as the skin folder lists them.
class DriveChooser : public QComboBox {
    Q_OBJECT

public:
    explicit DriveChooser(QWidget* parent = nullptr);

    // Shows `drives` with the one at `chosen` selected; raises no signal.
    void show(const std::vector<std::string>& drives, std::optional<std::size_t> chosen);

signals:
    // The pop-up is about to open: the drives may be listed again first.
    void aboutToPopUp();
    // The user chose the drive at `index`.
    void driveChosen(std::size_t index);

protected:
    void showPopup() override;

private:
    QIcon icon_; // beside every drive
};

} // namespace quillarbor
