#include "settings/Registry.h"

#include "base/Log.h"
#include "settings/RegistryError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace horavia {

namespace {

// How long a save waits for another running copy to finish its own save.
constexpr int LockWaitMs = 5000;
constexpr int LockPollMs = 5;

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

struct StoreContents {
    enum class Status { Missing, Loaded, Unreadable, Corrupt };
    Status status = Status::Missing;
    RegistryFile file;
    std::string text; // the file's bytes as read, when it parsed
    QString reason;
};

class Fd final {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

StoreContents ReadStore(const QString& path) {
    StoreContents result;
    // O_NONBLOCK: opening a FIFO or a device must not wait for a writer; only a regular file is read.
    Fd fd(::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        // ENOTDIR: something other than a folder stands where the settings folder belongs, so there
        // is no settings file; creating one will fail and say why.
        if (errno == ENOENT || errno == ENOTDIR) {
            return result;
        }
        result.status = StoreContents::Status::Unreadable;
        result.reason = ErrnoText();
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = StoreContents::Status::Unreadable;
        result.reason = QStringLiteral("not a regular file");
        return result;
    }
    if (static_cast<std::uint64_t>(st.st_size) > MaxStoreFileBytes) {
        result.status = StoreContents::Status::Corrupt;
        result.reason = QStringLiteral("larger than %1 bytes").arg(MaxStoreFileBytes);
        return result;
    }
    // Read one byte past the bound so a file that grew since fstat is still caught.
    std::string text(MaxStoreFileBytes + 1, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result.status = StoreContents::Status::Unreadable;
            result.reason = ErrnoText();
            return result;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    std::string error;
    std::optional<RegistryFile> parsed = RegistryFile::Parse(text, &error);
    if (!parsed) {
        result.status = StoreContents::Status::Corrupt;
        result.reason = QString::fromStdString(error);
        return result;
    }
    result.status = StoreContents::Status::Loaded;
    result.file = std::move(*parsed);
    result.text = std::move(text);
    return result;
}

// An exclusive advisory lock on a file beside the store, held for one read-modify-write. flock is
// released by the kernel when a holder dies, so a killed copy never leaves the store locked.
class StoreLock final {
public:
    explicit StoreLock(const QString& lockPath)
        : fd_(::open(Native(lockPath).constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600)) {
        if (fd_.get() < 0) {
            reason_ = ErrnoText();
            return;
        }
        for (int waited = 0;; waited += LockPollMs) {
            if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) {
                locked_ = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                reason_ = ErrnoText();
                return;
            }
            if (waited >= LockWaitMs) {
                reason_ = QStringLiteral("another program holds the lock");
                return;
            }
            const timespec pause{0, LockPollMs * 1000000L};
            ::nanosleep(&pause, nullptr);
        }
    }

    bool Locked() const { return locked_; }
    const QString& Reason() const { return reason_; }

private:
    Fd fd_;
    bool locked_ = false;
    QString reason_;
};

bool EnsureDirectory(const QString& dir, QString& reason) {
    if (QFileInfo(dir).isDir()) {
        return true;
    }
    const QString parent = QFileInfo(dir).path();
    if (!QDir().mkpath(parent)) {
        reason = QStringLiteral("cannot create folder %1").arg(parent);
        return false;
    }
    // Settings are the user's own: keep the folder private.
    if (::mkdir(Native(dir).constData(), 0700) != 0 && errno != EEXIST) {
        reason = QStringLiteral("cannot create folder %1: %2").arg(dir, ErrnoText());
        return false;
    }
    return true;
}

// The file a write really replaces: the target of a symbolic link, so a linked settings file stays linked.
QString ResolvedTarget(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        return target.isEmpty() ? info.symLinkTarget() : target;
    }
    return path;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces path with bytes so that a crash at any moment leaves either the old or the new file.
bool ReplaceAtomically(const QString& path, const std::string& bytes, QString& reason) {
    const QString target = ResolvedTarget(path);
    const QFileInfo info(target);
    QByteArray tmpl = Native(info.absolutePath() + QLatin1Char('/') + info.fileName() + QStringLiteral(".tmp-XXXXXX"));
    Fd fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0) {
        reason = QStringLiteral("cannot create a temporary file: %1").arg(ErrnoText());
        return false;
    }
    struct stat old {};
    const mode_t mode = ::stat(Native(target).constData(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    const bool written = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    const int closed = ::close(fd.release());
    if (!written || closed != 0 || ::rename(tmpl.constData(), Native(target).constData()) != 0) {
        reason = QStringLiteral("cannot write %1: %2").arg(target, ErrnoText());
        ::unlink(tmpl.constData());
        return false;
    }
    // The rename itself must reach the disk too, or a power cut could bring the old name back.
    Fd dir(::open(Native(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

// Temporary files are only alive while their writer holds the lock; any found under the lock were
// left by a copy of the program that died while saving.
void RemoveStaleTemporaries(const QString& path) {
    const QFileInfo info(ResolvedTarget(path));
    QDir dir(info.absolutePath());
    const QStringList stale =
        dir.entryList({info.fileName() + QStringLiteral(".tmp-??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : stale) {
        dir.remove(name);
    }
}

// A free name beside the store for keeping a copy of it: "<store>.corrupt-<local time>", numbered
// when a copy of the same second is already there; empty when none is free.
QString AsideName(const QString& path) {
    const QString base =
        path + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = base;
    for (int n = 1; QFileInfo::exists(aside) && n < 1000; ++n) {
        aside = base + QLatin1Char('-') + QString::number(n);
    }
    return QFileInfo::exists(aside) ? QString() : aside;
}

// Keeps a store that does not parse under a new name so the user can recover it; false when that fails.
bool MoveAside(const QString& path, const QString& why) {
    const QString aside = AsideName(path);
    if (aside.isEmpty() || ::rename(Native(path).constData(), Native(aside).constData()) != 0) {
        qCWarning(lcSettings).noquote()
            << QStringLiteral(
                   "Cannot read settings file %1 (%2), and it could not be moved aside; leaving it untouched")
                   .arg(path, why);
        return false;
    }
    qCWarning(lcSettings).noquote()
        << QStringLiteral("Cannot read settings file %1 (%2); kept as %3 and starting from the defaults")
               .arg(path, why, aside);
    return true;
}

// Keeps a copy of the store's bytes before a save replaces values that could not be read, so what the
// user stored there is not lost; false when the copy cannot be made.
bool CopyAside(const QString& path, const std::string& bytes, QString& reason) {
    const QString aside = AsideName(path);
    if (aside.isEmpty()) {
        reason = QStringLiteral("no free name to keep the original under");
        return false;
    }
    Fd fd(::open(Native(aside).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (fd.get() < 0 || !WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
        reason = QStringLiteral("cannot keep the original as %1: %2").arg(aside, ErrnoText());
        ::unlink(Native(aside).constData());
        return false;
    }
    qCWarning(lcSettings).noquote()
        << QStringLiteral("Settings file %1 held values that could not be read; the original is kept as %2")
               .arg(path, aside);
    return true;
}

// Under the lock: re-reads the store, adds key and the pending values, and replaces the file. With
// keepOriginal, the file as it was is first copied aside.
bool Commit(const QString& path, const std::string& key,
            const std::vector<std::pair<std::string, RegistryValue>>& values, bool keepOriginal, QString& reason) {
    if (!EnsureDirectory(QFileInfo(path).absolutePath(), reason)) {
        return false;
    }
    StoreLock lock(path + QStringLiteral(".lock"));
    if (!lock.Locked()) {
        reason = QStringLiteral("cannot lock the settings file: %1").arg(lock.Reason());
        return false;
    }
    RemoveStaleTemporaries(path);

    StoreContents current = ReadStore(path);
    switch (current.status) {
    case StoreContents::Status::Missing:
    case StoreContents::Status::Loaded:
        break;
    case StoreContents::Status::Unreadable:
        reason = QStringLiteral("cannot read %1: %2").arg(path, current.reason);
        return false;
    case StoreContents::Status::Corrupt:
        if (!MoveAside(path, current.reason)) {
            reason = QStringLiteral("%1 is unusable and could not be moved aside").arg(path);
            return false;
        }
        current.file = RegistryFile();
        break;
    }
    if (values.empty() && current.file.FindKey(key) != nullptr) {
        return true;
    }
    if (keepOriginal && current.status == StoreContents::Status::Loaded && !CopyAside(path, current.text, reason)) {
        return false;
    }
    RegistryKey& target = current.file.AddKey(key);
    for (const auto& [name, value] : values) {
        target.Set(name, value);
    }
    const std::string bytes = current.file.Serialize();
    if (bytes.size() > MaxStoreFileBytes) {
        reason = QStringLiteral("the settings file would grow beyond %1 bytes").arg(MaxStoreFileBytes);
        return false;
    }
    return ReplaceAtomically(path, bytes, reason);
}

} // namespace

QString Registry::UserStorePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid by the XDG rules and must be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home)) {
            return {};
        }
        base = home + QStringLiteral("/.config");
    }
    return QDir::cleanPath(base + QStringLiteral("/horavia/settings.conf"));
}

std::unique_ptr<Registry> Registry::Create(Access access, const QString& storePath) {
    if (storePath.isEmpty()) {
        qCWarning(lcSettings) << "No folder for the settings file (neither XDG_CONFIG_HOME nor HOME is set)";
        return nullptr;
    }
    return std::unique_ptr<Registry>(new Registry(access, storePath));
}

Registry::Registry(Access access, QString storePath) : access_(access), path_(std::move(storePath)) {}

Registry::~Registry() {
    if (!pending_.empty()) {
        qCWarning(lcSettings) << "Discarding" << pending_.size() << "unsaved settings values after a failure";
    }
}

QString Registry::Message(const char* format, const QString& name) {
    return QString::fromLatin1(format).arg(name);
}

void Registry::Raise(const char* format, const QString& name, const QString& why) const {
    // A hostile or broken name must not flood the log; the exception still carries it whole.
    constexpr qsizetype LoggedNameUnits = 100;
    const QString shown = name.size() > LoggedNameUnits ? name.left(LoggedNameUnits) + QStringLiteral("...") : name;
    if (why.isEmpty()) {
        qCWarning(lcSettings).noquote() << Message(format, shown) << "in" << path_;
    } else {
        qCWarning(lcSettings).noquote() << Message(format, shown) << "in" << path_ << ":" << why;
    }
    throw RegistryError(Message(format, name));
}

void Registry::RaiseUnlogged(const char* format, const QString& name) {
    throw RegistryError(Message(format, name));
}

bool Registry::KeyExists(const QString& key) const {
    // A quiet look: a store that cannot be read is reported by the load that opens it.
    const StoreContents contents = ReadStore(path_);
    return contents.status == StoreContents::Status::Loaded && contents.file.FindKey(key.toStdString()) != nullptr;
}

bool Registry::OpenKey(const QString& key, bool canCreate) {
    CloseKey();
    const std::string name = key.toStdString();
    const StoreContents contents = ReadStore(path_);
    unreadable_ = contents.status == StoreContents::Status::Unreadable;
    if (unreadable_) {
        // A file that does not parse is reported where it is moved aside; this one stays where it is.
        qCWarning(lcSettings).noquote()
            << QStringLiteral("Cannot read settings file %1 (%2); it is left as it is and nothing is saved to it")
                   .arg(path_, contents.reason);
        return false;
    }
    if (contents.status == StoreContents::Status::Loaded) {
        if (const RegistryKey* found = contents.file.FindKey(name)) {
            snapshot_ = *found;
            openKey_ = name;
            return true;
        }
    }
    if (!canCreate || access_ != Access::Full) {
        return false;
    }
    QString reason;
    if (!Commit(path_, name, {}, false, reason)) {
        qCWarning(lcSettings) << "Cannot create settings key" << key << ":" << reason;
        return false;
    }
    snapshot_ = RegistryKey{name, {}};
    openKey_ = name;
    return true;
}

void Registry::CreateKey(const QString& key) {
    QString reason;
    if (access_ != Access::Full) {
        Raise("Failed to create key %1", key);
    }
    if (!Commit(path_, key.toStdString(), {}, false, reason)) {
        Raise("Failed to create key %1", key, reason);
    }
}

bool Registry::ValueExists(const QString& name) const {
    return openKey_ && snapshot_.Find(name.toStdString()) != nullptr;
}

std::int32_t Registry::ReadInteger(const QString& name) const {
    const RegistryValue* value = openKey_ ? snapshot_.Find(name.toStdString()) : nullptr;
    if (value == nullptr) {
        RaiseUnlogged("Failed to get data for '%1'", name);
    }
    if (value->type != RegDword) {
        RaiseUnlogged("Invalid data type for '%1'", name);
    }
    if (value->data.size() != 4) {
        RaiseUnlogged("Failed to get data for '%1'", name);
    }
    const auto& d = value->data;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(d[0]) | (static_cast<std::uint32_t>(d[1]) << 8) |
                                     (static_cast<std::uint32_t>(d[2]) << 16) |
                                     (static_cast<std::uint32_t>(d[3]) << 24));
}

int Registry::ReadBinaryData(const QString& name, void* buffer, int bufSize) const {
    const RegistryValue* value = openKey_ ? snapshot_.Find(name.toStdString()) : nullptr;
    if (value == nullptr) {
        RaiseUnlogged("Failed to get data for '%1'", name);
    }
    if (value->type != RegBinary || bufSize < 0 || value->data.size() > static_cast<std::size_t>(bufSize)) {
        RaiseUnlogged("Invalid data type for '%1'", name);
    }
    if (!value->data.empty()) {
        std::memcpy(buffer, value->data.data(), value->data.size());
    }
    return static_cast<int>(value->data.size());
}

void Registry::WriteValue(const QString& name, RegistryValue value) {
    const std::string key = name.toStdString();
    if (!openKey_ || access_ != Access::Full || key.size() > MaxNameBytes || value.data.size() > MaxValueDataBytes) {
        Raise("Failed to set data for '%1'", name);
    }
    snapshot_.Set(key, value);
    for (auto& [pendingName, pendingValue] : pending_) {
        if (pendingName == key) {
            pendingValue = std::move(value);
            return;
        }
    }
    pending_.emplace_back(key, std::move(value));
}

void Registry::WriteInteger(const QString& name, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    WriteValue(name, RegistryValue{RegDword,
                                   {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                    static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}});
}

void Registry::WriteBinaryData(const QString& name, const void* buffer, int bufSize) {
    if (bufSize < 0 || static_cast<std::size_t>(bufSize) > MaxValueDataBytes || (bufSize > 0 && buffer == nullptr)) {
        Raise("Failed to set data for '%1'", name);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    WriteValue(name, RegistryValue{RegBinary, std::vector<std::uint8_t>(bytes, bytes + bufSize)});
}

void Registry::CloseKey() {
    if (!openKey_) {
        return;
    }
    const std::string key = *std::exchange(openKey_, std::nullopt);
    snapshot_ = RegistryKey();
    if (pending_.empty()) {
        return;
    }
    const auto values = std::exchange(pending_, {});
    QString reason;
    if (!Commit(path_, key, values, std::exchange(keepOriginal_, false), reason)) {
        Raise("Failed to set data for '%1'", QString::fromStdString(key),
              QStringLiteral("settings not saved: ") + reason);
    }
}

} // namespace horavia
