#include "app/CheckinCode.h"

#include "platform/EventFolder.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <openssl/evp.h>
#include <openssl/hmac.h>

QString CheckinCode::of(const QString& line) const
{
    const QByteArray bytes = line.toUtf8();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    HMAC(EVP_sha256(), m_key.constData(), static_cast<int>(m_key.size()),
         reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<size_t>(bytes.size()), digest,
         &length);
    // Six letters of five bits: the digest's first 30 bits, most significant first.
    const quint32 bits =
        (quint32(digest[0]) << 24) | (quint32(digest[1]) << 16) | (quint32(digest[2]) << 8) | digest[3];
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    QString code;
    for (int i = 0; i < Letters; ++i)
        code += QLatin1Char(alphabet[(bits >> (27 - 5 * i)) & 31]);
    return code;
}

QString CheckinCode::normalized(const QString& typed)
{
    QString code;
    for (const QChar c : typed) {
        if (c.isSpace() || c == QLatin1Char('-'))
            continue;
        const QChar upper = c.toUpper();
        if (upper == QLatin1Char('0'))
            code += QLatin1Char('O');
        else if (upper == QLatin1Char('1'))
            code += QLatin1Char('I');
        else if (upper == QLatin1Char('8'))
            code += QLatin1Char('B');
        else
            code += upper;
    }
    return code;
}

std::optional<QByteArray> CheckinCode::eventKey(const EventFolder& folder)
{
    const QString path = folder.file(KeyFile);
    std::string bytes;
    if (QFileInfo::exists(path)) {
        if (TextFile::readAll(path, bytes) && bytes.size() == size_t(KeyBytes))
            return QByteArray::fromStdString(bytes);
        // A key cut short or grown would give other codes than those handed out.
        return std::nullopt;
    }
    QByteArray key(KeyBytes, '\0');
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(key.data()),
                                         reinterpret_cast<quint32*>(key.data() + key.size()));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !TextFile::writeAtomically(path, key.toStdString()))
        return std::nullopt;
    return key;
}
