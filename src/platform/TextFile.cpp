#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool TextFile::readAll(const QString& path, std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
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

bool TextFile::writeAtomically(const QString& path, const std::string& bytes)
{
    if (isReadOnly(path) || QFileInfo(path).isDir())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
