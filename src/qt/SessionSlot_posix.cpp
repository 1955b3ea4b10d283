#include "qt/SessionSlot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace quillarbor {

namespace {

const QString kBusName = QStringLiteral("org.quillarbor.Quillarbor");
const QString kObjectPath = QStringLiteral("/org/quillarbor/Quillarbor");
const QString kInterface = QStringLiteral("org.quillarbor.Quillarbor");
// Long enough for a copy that is still starting or busy with a box; a copy that does not answer
// in this time is taken for hung.
constexpr int kAnswerMs = 5000;
constexpr QByteArrayView kShow = "show\n";
constexpr QByteArrayView kShown = "shown\n";

} // namespace

DesktopSessionSlot::DesktopSessionSlot(QObject* parent) : QObject(parent) {
}

bool DesktopSessionSlot::take() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return takeSocket();
    }
    // The object first, so that whoever finds the name finds it answering.
    bus.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(kBusName, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        // A bus that refuses the name cannot tell copies apart: this one runs.
        qWarning("quillarbor: the session bus refused %s (%s); a second start will not find "
                 "this one",
                 qPrintable(kBusName), qPrintable(reply.error().message()));
        return true;
    }
    return reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

bool DesktopSessionSlot::askHolderToShow() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return askOverSocket();
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kBusName, kObjectPath, kInterface, QStringLiteral("Show"));
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, kAnswerMs).type() == QDBusMessage::ReplyMessage;
}

void DesktopSessionSlot::Show() {
    emit showRequested();
}

bool DesktopSessionSlot::takeSocket() {
    // The user's own runtime folder ($XDG_RUNTIME_DIR), so each user has a place of their own.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    socketPath_ = QDir(folder).filePath(QStringLiteral("quillarbor.socket"));
    // Two starts at once must not both find the place empty. A lock left by a copy that died is
    // recognised by its process id and taken over.
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    lock.tryLock(kAnswerMs);
    {
        QLocalSocket holder;
        holder.connectToServer(socketPath_);
        if (holder.waitForConnected(kAnswerMs)) {
            return false;
        }
    }
    // Nobody answers there: what is left is a dead copy's socket.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socketPath_)) {
        qWarning("quillarbor: cannot listen at %s (%s); a second start will not find this one",
                 qPrintable(socketPath_), qPrintable(server_->errorString()));
        return true;
    }
    connect(server_, &QLocalServer::newConnection, this, &DesktopSessionSlot::answer);
    return true;
}

void DesktopSessionSlot::answer() {
    while (QLocalSocket* caller = server_->nextPendingConnection()) {
        connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
        connect(caller, &QLocalSocket::readyRead, this, [this, caller] {
            if (!caller->canReadLine()) {
                return;
            }
            if (caller->readLine() == kShow.toByteArray()) {
                caller->write(kShown.data(), kShown.size());
                caller->flush();
                emit showRequested();
            }
            caller->disconnectFromServer();
        });
    }
}

bool DesktopSessionSlot::askOverSocket() {
    if (socketPath_.isEmpty()) {
        return false;
    }
    QLocalSocket holder;
    holder.connectToServer(socketPath_);
    if (!holder.waitForConnected(kAnswerMs)) {
        return false;
    }
    holder.write(kShow.data(), kShow.size());
    if (!holder.waitForBytesWritten(kAnswerMs)) {
        return false;
    }
    while (!holder.canReadLine()) {
        if (!holder.waitForReadyRead(kAnswerMs)) {
            return false;
        }
    }
    return holder.readLine() == kShown.toByteArray();
}

} // namespace quillarbor
