#include "settings/portable_store.h"
#include "settings/registry_backend.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillarbor {

namespace {

// Larger than any store this program writes by orders of magnitude; a file this
// big is not ours and is kept aside rather than read into memory.
constexpr off_t kMaxStoreBytes = 64L * 1024 * 1024;

void warn(const std::string& message) {
    std::fprintf(stderr, "quillarbor: %s\n", message.c_str());
}

std::string errorText(int err) {
    return std::strerror(err);
}

std::string dirName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool makeDirs(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::string parent = dirName(dir);
    if (parent != dir && !makeDirs(parent)) {
        return false;
    }
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Holds the exclusive lock of one store for the life of the object.
class StoreLock {
public:
    explicit StoreLock(const std::string& storeFile)
        : fd_(::open((storeFile + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_.get() < 0) {
            error_ = errno;
            return;
        }
        while (::flock(fd_.get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                return;
            }
        }
        locked_ = true;
    }
    bool locked() const { return locked_; }
    int error() const { return error_; }

private:
    Fd fd_;
    bool locked_ = false;
    int error_ = 0;
};

std::string rootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v != nullptr && *v != '\0') ? std::string(v) : fallback;
}

// The environment is read on every call, so a changed XDG_CONFIG_HOME takes
// effect at once (tests rely on it).
PortableStore storeFor(RegRoot root) {
    if (root == RegRoot::LocalMachine) {
        return PortableStore(PortableStore::machineStorePath().value_or(std::string()), false);
    }
    return PortableStore(PortableStore::userStorePath(), true);
}

void ignoreFileSizeSignal() {
    // Past RLIMIT_FSIZE a write raises SIGXFSZ, whose default action ends the
    // process; ignored, the write fails with EFBIG and the old file stays whole.
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            std::signal(SIGXFSZ, SIG_IGN);
        }
    });
}

} // namespace

std::string storeKeyPath(RegRoot root, std::string_view subKey) {
    std::string path = rootName(root);
    std::size_t pos = 0;
    while (pos <= subKey.size()) {
        auto end = subKey.find('\\', pos);
        if (end == std::string_view::npos) {
            end = subKey.size();
        }
        if (end > pos) {
            path += '\\';
            path += subKey.substr(pos, end - pos);
        }
        pos = end + 1;
    }
    return path;
}

PortableStore::PortableStore(std::string path, bool writable)
    : path_(std::move(path)), writable_(writable) {
}

std::string PortableStore::userStorePath() {
    const std::string home = envOr("HOME", "");
    return envOr("XDG_CONFIG_HOME", home + "/.config") + "/quillarbor/user.reg";
}

std::optional<std::string> PortableStore::machineStorePath() {
    const std::string dirs = envOr("XDG_CONFIG_DIRS", "/etc/xdg");
    std::size_t pos = 0;
    while (pos <= dirs.size()) {
        auto end = dirs.find(':', pos);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        if (end > pos) {
            std::string candidate = dirs.substr(pos, end - pos) + "/quillarbor/machine.reg";
            if (::access(candidate.c_str(), F_OK) == 0) {
                return candidate;
            }
        }
        pos = end + 1;
    }
    return std::nullopt;
}

std::string PortableStore::resolvedPath() const {
    std::string current = path_;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0) {
            return current;
        }
        target.resize(static_cast<std::size_t>(n));
        current = target[0] == '/' ? target : dirName(current) + "/" + target;
    }
    return current;
}

PortableStore::Loaded PortableStore::load(const std::string& file) const {
    Loaded result;
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = errno == ENOENT ? Load::Missing : Load::Unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        result.status = Load::Unreadable;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = Load::Unreadable;
        return result;
    }
    if (st.st_size > kMaxStoreBytes) {
        result.status = Load::Damaged;
        return result;
    }
    std::string text;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.status = Load::Unreadable;
            return result;
        }
        if (n == 0) {
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
        if (static_cast<off_t>(text.size()) > kMaxStoreBytes) {
            result.status = Load::Damaged;
            return result;
        }
    }
    auto parsed = regfile::parse(text);
    if (auto* doc = std::get_if<regfile::Document>(&parsed)) {
        result.doc = std::move(*doc);
        result.status = Load::Loaded;
    } else {
        result.status = Load::Damaged;
    }
    return result;
}

bool PortableStore::quarantine(const std::string& file) const {
    // Called with the lock held, so no other writer can slip a new store in
    // between the check and the move.
    if (load(file).status != Load::Damaged) {
        return true;
    }
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = file + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        if (::access(aside.c_str(), F_OK) == 0) {
            continue;
        }
        if (::rename(file.c_str(), aside.c_str()) == 0) {
            warn(file + " could not be read as a settings file; kept it as " + aside +
                 " and started with empty settings");
            return true;
        }
        warn(file + " could not be read as a settings file and could not be moved aside (" +
             errorText(errno) + "); leaving it untouched");
        return false;
    }
    return false;
}

backend::ReadResult PortableStore::read(std::string_view keyPath, std::string_view name,
                                        std::optional<std::size_t> maxBytes) const {
    backend::ReadResult result;
    if (path_.empty()) {
        return result;
    }
    const std::string file = resolvedPath();
    Loaded loaded = load(file);
    if (loaded.status == Load::Damaged) {
        if (writable_) {
            StoreLock lock(file);
            if (lock.locked()) {
                quarantine(file);
            }
        } else {
            warn(file + " could not be read as a settings file; ignoring it");
        }
        return result;
    }
    if (loaded.status != Load::Loaded) {
        return result;
    }
    if (loaded.doc.findKey(keyPath) == nullptr) {
        return result;
    }
    const backend::RawValue* value = loaded.doc.findValue(keyPath, name);
    if (value == nullptr) {
        result.status = backend::ReadStatus::NoValue;
        return result;
    }
    if (maxBytes && value->bytes.size() > *maxBytes) {
        result.status = backend::ReadStatus::TooLarge;
        return result;
    }
    result.status = backend::ReadStatus::Ok;
    result.value = *value;
    return result;
}

template <typename Change> std::optional<SaveError> PortableStore::modify(Change change) {
    // Every failure is told on stderr, as a write's caller may not ask, and returned.
    const auto fail = [](std::string place, std::string reason, const std::string& consequence) {
        warn("cannot write " + place + ": " + reason + "; " + consequence);
        return SaveError{std::move(place), std::move(reason)};
    };
    if (!writable_ || path_.empty()) {
        warn("the machine-wide settings are read-only; nothing was written");
        return SaveError{path_, "the machine-wide settings are read-only"};
    }
    ignoreFileSizeSignal();
    const std::string file = resolvedPath();
    const std::string dir = dirName(file);
    if (!makeDirs(dir)) {
        return fail(dir, "cannot create the folder: " + errorText(errno), "settings not saved");
    }
    StoreLock lock(file);
    if (!lock.locked()) {
        return fail(file, "cannot lock it: " + errorText(lock.error()), "settings not saved");
    }
    Loaded loaded = load(file);
    if (loaded.status == Load::Unreadable) {
        return fail(file, "cannot read it", "settings not saved");
    }
    if (loaded.status == Load::Damaged && !quarantine(file)) {
        return SaveError{file, "it is damaged and could not be moved aside"};
    }
    if (!change(loaded.doc)) {
        return std::nullopt; // nothing changed: the file stays as it is
    }
    const std::string text = regfile::serialize(loaded.doc);

    // One fixed name, used only under the lock: what a killed writer leaves
    // behind is removed by the next one instead of piling up. Created afresh so
    // a link planted under that name is never written through.
    const std::string temp = file + ".tmp";
    ::unlink(temp.c_str());
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.get() < 0) {
        return fail(temp, errorText(errno), "settings not saved");
    }
    struct stat st {};
    const mode_t mode = ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600;
    ::fchmod(out.get(), mode);
    const bool written = writeAll(out.get(), text) && ::fsync(out.get()) == 0;
    const int writeError = errno;
    if (!written || ::close(out.release()) != 0 || ::rename(temp.c_str(), file.c_str()) != 0) {
        const int error = written ? errno : writeError;
        ::unlink(temp.c_str());
        return fail(file, errorText(error), "the previous settings are kept");
    }
    // The rename is durable only once the folder itself reaches the disk.
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0) {
        ::fsync(dirFd.get());
    }
    return std::nullopt;
}

std::optional<SaveError> PortableStore::write(std::string_view keyPath, std::string_view name,
                                              const backend::RawValue& value) {
    if (!regfile::isStorableName(keyPath) || !regfile::isStorableName(name)) {
        warn("a setting name holds a line break or NUL and cannot be stored");
        return SaveError{path_, "a setting name holds a line break or NUL"};
    }
    return modify([&](regfile::Document& doc) { return doc.setValue(keyPath, name, value); });
}

void PortableStore::remove(std::string_view keyPath, std::string_view name) {
    modify([&](regfile::Document& doc) { return doc.deleteValue(keyPath, name); });
}

namespace backend {

ReadResult readValue(RegRoot root, std::string_view subKey, std::string_view valueName,
                     std::optional<std::size_t> maxBytes) {
    return storeFor(root).read(storeKeyPath(root, subKey), valueName, maxBytes);
}

std::optional<SaveError> writeValue(RegRoot root, std::string_view subKey,
                                    std::string_view valueName, const RawValue& value) {
    return storeFor(root).write(storeKeyPath(root, subKey), valueName, value);
}

void deleteValue(RegRoot root, std::string_view subKey, std::string_view valueName) {
    storeFor(root).remove(storeKeyPath(root, subKey), valueName);
}

} // namespace backend

} // namespace quillarbor
