#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<TextFile::Step> g_failingStep;
std::function<void()> g_killPoint;

void killPoint()
{
    if (g_killPoint)
        g_killPoint();
}

// False, as an I/O error, when a test makes the step fail.
bool allowed(TextFile::Step step)
{
    if (g_failingStep != step)
        return true;
    errno = EIO;
    return false;
}

bool writeAll(int fd, const std::string& bytes)
{
    if (!allowed(TextFile::Step::Write))
        return false;
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool sync(int fd)
{
    return allowed(TextFile::Step::Sync) && ::fsync(fd) == 0;
}

// The descriptor is closed whatever the answer.
bool closeChecked(int fd)
{
    const bool closed = ::close(fd) == 0;
    return allowed(TextFile::Step::Close) && closed;
}

// The new name of a replaced file reaches the disk with its folder. The
// replacement has been made by then, so a folder that cannot be synced
// (some file systems refuse it) does not make it a failure.
void syncFolder(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

int createBeside(const QByteArray& target, QByteArray& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (!allowed(TextFile::Step::Create))
            return -1;
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

void TextFile::setKillPoint(std::function<void()> point)
{
    g_killPoint = std::move(point);
}

void TextFile::setFailingStep(std::optional<Step> step)
{
    g_failingStep = step;
}

bool TextFile::readAll(const QString& path, std::string& bytes)
{
    // An event file that is a FIFO or a device would stall or flood the show.
    QFile file(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat info = {};
    if (fd < 0)
        return false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    // Straight into the caller's string: a big name list is not copied twice.
    bytes.clear();
    if (!file.isSequential() && file.size() > 0) {
        bytes.resize(static_cast<size_t>(file.size()));
        const qint64 read = file.read(bytes.data(), file.size());
        if (read < 0)
            return false;
        bytes.resize(static_cast<size_t>(read));
    }
    // Whatever is left, or all of a file whose size is not known in advance.
    const QByteArray rest = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    bytes.append(rest.constData(), static_cast<size_t>(rest.size()));
    return true;
}

bool TextFile::isReadOnly(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    constexpr QFileDevice::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & writeBits) == 0;
}

// Qt's buffered save lets a failed flush through its commit, so the steps
// are our own: each is checked before the rename makes the content current.
bool TextFile::writeAtomically(const QString& path, const std::string& bytes)
{
    const QFileInfo info(path);
    if (isReadOnly(path) || info.isDir())
        return false;
    // A link stays a link: the file it names gets the content.
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray name = QFile::encodeName(target);
    struct stat old = {};
    const bool existed = ::stat(name.constData(), &old) == 0;
    QByteArray temporary;
    const int fd = createBeside(name, temporary);
    if (fd < 0)
        return false;
    // The old file's permissions go over; a file system without them (a
    // FAT stick) still takes the content.
    if (existed)
        ::fchmod(fd, old.st_mode & 07777);
    bool written = writeAll(fd, bytes) && sync(fd);
    written = closeChecked(fd) && written;
    if (written)
        killPoint();
    if (!written || !allowed(Step::Rename) || ::rename(temporary.constData(), name.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    killPoint();
    syncFolder(target);
    return true;
}

bool TextFile::replaceWith(const QString& temporary, const QString& path)
{
    const QByteArray from = QFile::encodeName(temporary);
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    bool synced = fd >= 0 && sync(fd);
    if (fd >= 0)
        synced = closeChecked(fd) && synced;
    if (synced)
        killPoint();
    if (!synced || isReadOnly(path) || QFileInfo(path).isDir() || !allowed(Step::Rename) ||
        ::rename(from.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(from.constData());
        return false;
    }
    killPoint();
    syncFolder(path);
    return true;
}

bool TextFile::append(const QString& path, const std::string& bytes)
{
    if (isReadOnly(path) || QFileInfo(path).isDir())
        return false;
    const QByteArray name = QFile::encodeName(path);
    const bool existed = QFileInfo::exists(path);
    if (!allowed(Step::Create))
        return false;
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat before = {};
    const bool known = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
    if (known)
        killPoint();
    bool written = known && writeAll(fd, bytes) && sync(fd);
    if (written)
        killPoint();
    if (!written && known && ::ftruncate(fd, before.st_size) == 0)
        ::fsync(fd);
    if (!closeChecked(fd) && written) {
        written = false;
        // A cut that fails too leaves a torn last line, which the file's reader cuts off.
        [[maybe_unused]] const int cut = ::truncate(name.constData(), before.st_size);
    }
    if (!written && !existed)
        ::unlink(name.constData());
    return written;
}

bool TextFile::truncate(const QString& path, qint64 length)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool cut = ::ftruncate(fd, static_cast<off_t>(length)) == 0 && sync(fd);
    return closeChecked(fd) && cut;
}
