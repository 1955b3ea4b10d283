#include "qt/SessionSlot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

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

// A socket descriptor closed when it goes out of scope.
struct Socket {
    explicit Socket(int descriptor) : fd(descriptor) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int fd;
};

// The address of a socket at `path`; false when the path is too long for one.
bool socketAddress(const QByteArray& path, sockaddr_un& address) {
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// Whether `fd` has something to read within the time a copy has to answer.
bool readable(int fd) {
    pollfd wait{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&wait, 1, kAnswerMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

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
    const QByteArray path = QFile::encodeName(socketPath_);
    // Two starts at once must not both find the place empty. A lock left by a copy that died is
    // recognised by its process id and taken over.
    QLockFile lock(socketPath_ + QStringLiteral(".lock"));
    lock.tryLock(kAnswerMs);
    sockaddr_un address{};
    if (!socketAddress(path, address)) {
        qWarning("quillarbor: the path %s is too long for a socket; a second start will not find "
                 "this one",
                 path.constData());
        return true;
    }
    if (Socket holder(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        holder.fd >= 0) {
        // A copy listening there answers at once, or is too busy to take the call now.
        if (::connect(holder.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
                0 ||
            errno == EAGAIN) {
            return false;
        }
    }
    // Nobody listens there: what is left is a dead copy's socket.
    ::unlink(path.constData());
    Socket listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (listener.fd < 0 ||
        ::bind(listener.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(listener.fd, 8) != 0) {
        qWarning("quillarbor: cannot listen at %s (%s); a second start will not find this one",
                 path.constData(), std::strerror(errno));
        return true;
    }
    listener_ = std::exchange(listener.fd, -1);
    auto* calls = new QSocketNotifier(listener_, QSocketNotifier::Read, this);
    connect(calls, &QSocketNotifier::activated, this, &DesktopSessionSlot::answer);
    return true;
}

DesktopSessionSlot::~DesktopSessionSlot() {
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(QFile::encodeName(socketPath_).constData());
    }
}

void DesktopSessionSlot::answer() {
    const int caller = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (caller < 0) {
        return;
    }
    // A second start writes its line at once; the answer waits for it without holding up the
    // window.
    auto* line = new QSocketNotifier(caller, QSocketNotifier::Read, this);
    connect(line, &QSocketNotifier::activated, this, [this, line, caller] {
        char text[16];
        const ssize_t got = ::recv(caller, text, sizeof text, 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        const bool asked = got >= 0 && QByteArrayView(text, got) == kShow;
        if (asked) {
            ::send(caller, kShown.data(), static_cast<std::size_t>(kShown.size()), MSG_NOSIGNAL);
        }
        line->setEnabled(false);
        line->deleteLater();
        ::close(caller);
        if (asked) {
            emit showRequested();
        }
    });
}

bool DesktopSessionSlot::askOverSocket() {
    sockaddr_un address{};
    if (socketPath_.isEmpty() || !socketAddress(QFile::encodeName(socketPath_), address)) {
        return false;
    }
    // Without waiting to be let in: a copy too busy to take the call does not answer.
    const Socket holder(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (holder.fd < 0 ||
        ::connect(holder.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::send(holder.fd, kShow.data(), static_cast<std::size_t>(kShow.size()), MSG_NOSIGNAL) !=
            kShow.size() ||
        !readable(holder.fd)) {
        return false;
    }
    char text[16];
    const ssize_t got = ::recv(holder.fd, text, sizeof text, 0);
    return got > 0 && QByteArrayView(text, got) == kShown;
}

} // namespace quillarbor
