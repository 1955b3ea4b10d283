#pragma once

#include "app/session_slot.h"

#include <QObject>
#include <QString>

namespace quillarbor {

// The desktop session's place for one running copy: a well-known name on the session bus, or,
// without a bus, a local socket in the user's runtime folder. Either goes with the process that
// holds it, however it ends.
class DesktopSessionSlot final : public QObject, public SessionSlot {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quillarbor.Quillarbor")

public:
    explicit DesktopSessionSlot(QObject* parent = nullptr);
    ~DesktopSessionSlot() override;

    bool take() override;
    bool askHolderToShow() override;

public slots:
    // Called over the bus by a second start.
    Q_SCRIPTABLE void Show();

signals:
    // A second start asked this copy to bring its window forward.
    void showRequested();

private:
    bool takeSocket();
    bool askOverSocket();
    void answer();

    QString socketPath_;
    int listener_ = -1; // the socket a second start calls without a bus
};

} // namespace quillarbor
