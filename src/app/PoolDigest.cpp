#include "app/PoolDigest.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

QByteArray PoolText(const std::vector<tstring>& names)
{
    QByteArray text;
    for (const tstring& name : names)
        text += QString::fromStdWString(name).toUtf8() + '\n';
    return text;
}

tstring PoolDigest(const std::vector<tstring>& names)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const tstring& name : names) {
        hash.addData(QString::fromStdWString(name).toUtf8());
        hash.addData(QByteArrayView("\n", 1));
    }
    return QString::fromLatin1(hash.result().toHex()).toStdWString();
}
